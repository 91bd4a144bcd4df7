// Measures the window's CSV import of a file whose rows are all refused
// (79 MB, a million rows with an impossible date) against `mvd import` of the
// same file into the same database: the time from the command to the shown
// report (for mvd: to its end, the report written to /dev/null) and the peak
// resident memory of each process.
//
//   bench_import_report [ENTRIES]   (entries of the database imported into: 1,000)
#include "BenchData.h"
#include "BenchSupport.h"
#include "WindowBench.h"
#include "gui/MainForm.h"
#include "gui/Prompt.h"
#include "support/WindowProbe.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
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

// Runs the window's "CSV-Datei importieren..." on `csv` and returns the
// seconds until its report window is shown and painted (then it is closed).
std::optional<double> ImportThroughWindow(TTestForm& form, const std::string& csv) {
    Prompt::Testing::Begin();
    Prompt::Testing::QueueFile(QString::fromStdString(csv));
    std::optional<double> shown;
    bench::Stopwatch watch;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* report = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (report == nullptr)
            return;
        report->repaint();
        shown = watch.Seconds();
        report->done(QDialog::Accepted);
    });
    poll.start(1);
    form.ImportCsvAction()->trigger();
    poll.stop();
    Prompt::Testing::End();
    return shown;
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
        {"/bin/sh", "-c", "exec \"$0\" import \"$1\" \"$2\" 2>/dev/null", MVD_PATH, copy, csv}, 1);

    const double before = RssMiB();
    const std::optional<double> window = ImportThroughWindow(form, csv);
    if (!window) {
        std::fprintf(stderr, "bench_import_report: the report window did not show\n");
        return 1;
    }
    const double peak = bench::PeakRssMiB();
    bench::PrintRow("mvd import: time to its end", cli.wall, "s", 0.0);
    bench::PrintRow("mvd import: peak resident memory", cli.peakMiB, "MiB", 0.0);
    bench::PrintRow("window: time to the shown report", *window, "s", 1.5 * cli.wall);
    bench::PrintRow("window: peak resident memory", peak, "MiB", 1.5 * cli.peakMiB);
    bench::PrintRow("window: resident memory before the import", before, "MiB", 0.0);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    return bench::RunWindowBenchmark(
        argc, argv, [argc](std::uint32_t count) { return argc > 1 ? count : 1000u; },
        [](TTestForm& form) { return Measure(form, form.DataBase().FileName); });
}
