// Measures the window's CSV import of a file whose rows are all refused
// (79 MB, a million rows with an impossible date) against `mvd import` of the
// same file into the same database: the time from the command to the shown
// report (for mvd: to its end, the report written to /dev/null) and the peak
// resident memory of each process; then the report's "Speichern..." of all
// its rows.
//
//   bench_import_report [ENTRIES]   (entries of the database imported into: 1,000)
#include "BenchData.h"
#include "BenchSupport.h"
#include "WindowBench.h"
#include "gui/ImportReportForm.h"
#include "gui/MainForm.h"
#include "gui/Prompt.h"
#include "support/WindowProbe.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace {

constexpr std::size_t RefusedRows = 1000000;

// A row of 79 bytes (with its CR LF) that the import refuses for its date.
void WriteRefusedCsv(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "Sprache;Kategorie;Projekt;Datum;Aufwand;Beschreibung\r\n";
    char row[96];
    for (std::size_t i = 0; i < RefusedRows; ++i) {
        std::snprintf(row, sizeof row,
                      "C++;Zeigerfehler;Mavrolin;31.02.2001;%07zu;eine Beschreibung ohne Tag\r\n",
                      i);
        out << row;
    }
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}

// The resident memory of this process now, in MiB.
double RssMiB() {
    std::ifstream statm("/proc/self/statm");
    double pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4096.0 / (1 << 20);
}

struct WindowTimes {
    double shown = 0; // from the command to the report shown and painted
    double saved = 0; // its "Speichern..." into `report`
};

// Runs the window's "CSV-Datei importieren..." on `csv`: the report window is
// saved into `report` once shown, then closed.
std::optional<WindowTimes> ImportThroughWindow(TTestForm& form, const std::string& csv,
                                               const std::string& report) {
    Prompt::Testing::Begin();
    Prompt::Testing::QueueFile(QString::fromStdString(csv));
    Prompt::Testing::QueueFile(QString::fromStdString(report));
    std::optional<WindowTimes> times;
    bench::Stopwatch watch;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* window = qobject_cast<TImportReportForm*>(QApplication::activeModalWidget());
        if (window == nullptr)
            return;
        window->repaint();
        times = WindowTimes{watch.Seconds(), 0};
        const bench::Stopwatch saving;
        window->SaveButton->click();
        times->saved = saving.Seconds();
        window->done(QDialog::Accepted);
    });
    poll.start(1);
    form.ImportCsvAction()->trigger();
    poll.stop();
    Prompt::Testing::End();
    return times;
}

int Measure(TTestForm& form, const std::string& database) {
    bench::TempDir dir;
    const std::string csv = dir.File("abgelehnt.csv");
    WriteRefusedCsv(csv);
    std::printf("CSV file: %.1f MB, %zu rows, all refused\n",
                static_cast<double>(std::filesystem::file_size(csv)) / 1e6, RefusedRows);

    // mvd first, into a copy of the window's database (its folder private).
    const std::string copy = dir.File("kopie.mvd");
    std::filesystem::copy_file(database, copy);
    const bench::ChildRun cli = bench::RunMeasured(
        {"/bin/sh", "-c", "XDG_DATA_HOME=\"$3\" exec \"$0\" import \"$1\" \"$2\" 2>/dev/null",
         MVD_PATH, copy, csv, dir.Path()},
        1);

    const double before = RssMiB();
    const std::optional<WindowTimes> window =
        ImportThroughWindow(form, csv, dir.File("bericht.txt"));
    if (!window) {
        std::fprintf(stderr, "bench_import_report: the report window did not show\n");
        return 1;
    }
    const double peak = bench::PeakRssMiB();
    bench::PrintRow("mvd import: time to its end", cli.wall, "s", 0.0);
    bench::PrintRow("mvd import: peak resident memory", cli.peakMiB, "MiB", 0.0);
    bench::PrintRow("window: time to the shown report", window->shown, "s", 1.5 * cli.wall);
    bench::PrintRow("window: peak resident memory", peak, "MiB", 1.5 * cli.peakMiB);
    bench::PrintRow("window: resident memory before the import", before, "MiB", 0.0);
    bench::PrintRow("window: \"Speichern...\" of the report", window->saved, "s", 0.0);
    std::printf("report saved: %.1f MB\n",
                static_cast<double>(std::filesystem::file_size(dir.File("bericht.txt"))) / 1e6);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    return bench::RunWindowBenchmark(
        argc, argv, [argc](std::uint32_t count) { return argc > 1 ? count : 1000u; },
        [](TTestForm& form) { return Measure(form, form.DataBase().FileName); });
}
