// Measures the window's long exchange work on a database of 1,000,000 entries
// (offscreen unless a display is chosen): the workbook and the CSV export of
// the whole list and the import of that CSV file into an empty database,
// each run off the event loop. Beside each time it prints the longest pause
// of the window's event loop meanwhile (a timer that asks every 10 ms), which
// must stay under 100 ms for the exports so that the window repaints; the
// import adds the entries read on the window's thread (the database and its
// observers change there), a pause that is shown without a target.
//
//   bench_export_window [entries]   (at least that many entries are loaded)
#include "BenchSupport.h"
#include "WindowBench.h"
#include "gui/Prompt.h"
#include "support/WindowProbe.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

struct Figures {
    double seconds = 0;
    qint64 longestPauseMs = 0;
};

// Triggers `action` with the file dialog answered by `file`; the work's time
// and the event loop's longest pause while it ran.
Figures Run(QAction* action, const QString& file) {
    Prompt::Testing::QueueFile(file);
    QElapsedTimer sinceTick;
    qint64 longest = 0;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { longest = std::max(longest, sinceTick.restart()); });
    bench::Stopwatch watch;
    sinceTick.start();
    ticker.start();
    action->trigger();
    const double seconds = watch.Seconds();
    // What the action did on the window's thread after its last look counts too.
    longest = std::max(longest, sinceTick.elapsed());
    ticker.stop();
    bench::Settle();
    return {seconds, longest};
}

int Measure(TTestForm& form) {
    Prompt::Testing::Begin(); // file dialogs and the import's report from the queue
    form.RebuildList();
    bench::Settle();
    bench::TempDir dir;
    const QString xlsx = QString::fromStdString(dir.File("liste.xlsx"));
    const QString csv = QString::fromStdString(dir.File("liste.csv"));
    const Figures workbook = Run(form.ExportXlsxAction(), xlsx);
    const Figures exported = Run(form.ExportCsvAction(), csv);
    form.NewDataBaseAction()->trigger();
    bench::Settle();
    const Figures imported = Run(form.ImportCsvAction(), csv);
    std::printf("entries after the import: %d\n", form.DataBase().Count());
    bool met = true;
    const auto show = [&met](const char* what, const Figures& f, double target,
                             bool pauseTarget = true) {
        const bool ok = (!pauseTarget || f.longestPauseMs < 100) && f.seconds < target;
        met = met && ok;
        std::printf("%-28s %7.2f s (target < %.0f s), longest pause %4lld ms%s%s\n", what,
                    f.seconds, target, static_cast<long long>(f.longestPauseMs),
                    pauseTarget ? " (target < 100 ms)" : "", ok ? "" : "  MISSED");
    };
    show("workbook export", workbook, 10);
    show("CSV export", exported, 1);
    show("CSV import", imported, 2, false);
    return met ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    return bench::RunWindowBenchmark(
        argc, argv, [](std::uint32_t count) { return count; }, Measure);
}
