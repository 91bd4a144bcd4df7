// Measures "Ältere Version wiederherstellen..." with a version of 1,000,000
// entries (offscreen unless a display is chosen): the loaded file is saved
// once, so that it becomes a version, and another generated database of half
// as many entries is opened under the file's name. Then: listing, the time
// until the version is compared and its missing entries are shown with the
// longest stretch in which the window did not answer meanwhile, bringing all
// of them back (one step) and its undo, opening the whole version, and
// closing the dialog while it compares.
//
//   bench_versions_window [entries]
#include "BenchData.h"
#include "BenchSupport.h"
#include "WindowBench.h"
#include "commands/DataBaseCommands.h"
#include "core/DataBase.h"
#include "gui/Prompt.h"
#include "gui/VersionEntriesModel.h"
#include "gui/VersionsForm.h"
#include "support/WindowProbe.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

// Wall seconds of a command with the events it leaves queued.
double Timed(const std::function<void()>& command) {
    bench::Stopwatch watch;
    command();
    bench::Settle();
    return watch.Seconds();
}

// Runs the event loop until `done`, and gives the longest time in seconds
// between two ticks of a 5 ms timer: how long the window did not answer.
double LongestBlockUntil(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    tick.start(5);
    while (!done())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    longest = std::max(longest, clock.elapsed() - last);
    return static_cast<double>(longest) / 1000.0;
}

int Measure(TTestForm& form, std::uint32_t count) {
    Prompt::Testing::Begin();
    const bench::TempDir data; // the versions go here, not to the user's folder
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(data.Path()));
    const std::string file = form.DataBase().FileName;
    form.SaveDataBaseAction()->trigger(); // the loaded file becomes the version
    const std::string other = data.File("anders.mvd");
    bench::WriteDatabaseFile(other, count / 2, 7);
    form.Commands().Open(other);
    form.Commands().Name(file);
    bench::Settle();
    std::printf("entries open: %d\n", form.DataBase().Count());

    TVersionsForm dialog(form.Document(), &form);
    bench::PrintRow("listing the versions", Timed([&] { dialog.Load(); }), "s", 1.0);
    bench::Stopwatch compared; // the comparison runs from here on
    dialog.show();
    bench::Settle(); // the dialog's first paint
    const double block = LongestBlockUntil([&] { return dialog.TakeOverButton->isEnabled(); });
    bench::PrintRow("version compared and its missing entries shown", compared.Seconds(), "s", 0);
    bench::PrintRow("longest block of the window meanwhile", block, "s", 0.1);
    std::printf("missing entries: %d\n", dialog.MissingModel->rowCount());

    const int before = form.DataBase().Count();
    bench::PrintRow("bringing all of them back (one step)",
                    Timed([&] { dialog.TakeOverButton->click(); }), "s", 0);
    std::printf("entries brought back: %d\n", form.DataBase().Count() - before);
    bench::PrintRow("undo of it", Timed([&] { form.UndoAction()->trigger(); }), "s", 0);

    Prompt::Testing::QueueAnswer(Prompt::No); // the open database's changes go
    bench::PrintRow("opening the whole version", Timed([&] { dialog.OpenVersionButton->click(); }),
                    "s", 0);
    std::printf("entries open: %d\n", form.DataBase().Count());

    // Closed at once, the dialog waits for the comparison it started.
    TVersionsForm again(form.Document(), &form);
    again.Load();
    again.show();
    bench::Settle();
    bench::PrintRow("closing while a version is compared", Timed([&] { again.reject(); }), "s", 0);
    std::printf("peak memory: %.0f MiB\n", bench::PeakRssMiB());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::uint32_t count = 0;
    return bench::RunWindowBenchmark(
        argc, argv,
        [&count](std::uint32_t n) {
            count = n;
            return n;
        },
        [&count](TTestForm& form) { return Measure(form, count); });
}
