// Benchmark of the review report and the printed list on a generated
// database of a million entries (01.01.2000 to 31.12.2024):
//  - the report of a month, a year and all 25 years, from the loaded
//    database to the written PDF (and HTML), in this process;
//  - `mvd report` of a month as a fresh process, loading the file included;
//  - the print layout of the whole list: paging and the first page painted,
//    then 200 pages printed to a PDF, with the memory each adds.
// Memory added is the resident peak during the step above the resident
// size before it (the peak is reset through /proc/self/clear_refs).
//
//   bench_report [--entries N] [--repeat R]
#include "BenchData.h"
#include "BenchSupport.h"
#include "analysis/FigureEngine.h"
#include "core/DataBase.h"
#include "report/FilterWords.h"
#include "report/ListPrintLayout.h"
#include "report/ReportFile.h"

#include <QBuffer>
#include <QDate>
#include <QFile>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <string>
#include <vector>

namespace {

// VmRSS or VmHWM of this process in MiB.
double StatusMiB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::stod(line.substr(std::string(field).size() + 1)) / 1024.0;
    return 0.0;
}

// Runs `step` and returns the memory it added at its peak, in MiB.
template <typename Step> double AddedPeakMiB(Step&& step) {
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
    const double before = StatusMiB("VmRSS:");
    step();
    return StatusMiB("VmHWM:") - before;
}

report::Period Days(int y1, int m1, int d1, int y2, int m2, int d2) {
    return *report::RangeOf({y1, m1, d1}, {y2, m2, d2});
}

} // namespace

int main(int argc, char** argv) {
    try {
        const std::optional<bench::SizeOptions> options =
            bench::ParseSizeOptions(argc, argv, "bench_report", 3);
        if (!options)
            return 2;
        const bool full = options->Full();
        int qtArgc = 3;
        char name[] = "bench_report", option[] = "-platform", platform[] = "offscreen";
        char* qtArgv[] = {name, option, platform, nullptr};
        QGuiApplication application(qtArgc, qtArgv);

        bench::TempDir dir;
        const std::string input = dir.File("input.mvd");
        bench::WriteDatabaseFile(input, options->entries);
        TDataBase db;
        bench::LoadOrThrow(db, input);
        const std::vector<const TDataRecord*> listed = analysis::ListedEntries(db);
        std::printf("Eintr\u00E4ge: %zu\n\n", listed.size());

        report::ReportHeading heading{QStringLiteral("input.mvd"), report::FilterInWords(db),
                                      QDate::currentDate()};
        std::printf("Bericht bis zur geschriebenen Datei, Median von %d L\u00E4ufen\n",
                    options->repeat);
        const std::pair<const char*, report::Period> periods[] = {
            {"Monat 12.2024", Days(2024, 12, 1, 2024, 12, 31)},
            {"Jahr 2024", Days(2024, 1, 1, 2024, 12, 31)},
            {"alle 25 Jahre", Days(2000, 1, 1, 2024, 12, 31)}};
        for (const auto& [what, period] : periods)
            for (const auto format : {report::ReportFormat::Pdf, report::ReportFormat::Html}) {
                const bool pdf = format == report::ReportFormat::Pdf;
                std::vector<double> seconds;
                int pages = 0;
                const std::string output = dir.File(pdf ? "report.pdf" : "report.html");
                for (int r = 0; r < options->repeat; ++r) {
                    bench::Stopwatch watch;
                    pages = report::WriteReport(db, listed, period, heading, format, output);
                    seconds.push_back(watch.Seconds() * 1e3);
                }
                bench::PrintRow(std::string("  ") + what + (pdf ? ", PDF" : ", HTML"),
                                bench::Median(seconds), "ms", full ? 2000 : 0);
                if (pdf)
                    std::printf("    %d Seiten\n", pages);
            }

        std::printf("\nmvd report eines Monats als neuer Prozess (mit Laden der Datei)\n");
        std::vector<double> seconds;
        double peak = 0;
        for (int r = 0; r < options->repeat; ++r) {
            const bench::ChildRun run =
                bench::RunMeasured({MVD_PATH, "report", input, "--from", "01.12.2024", "--to",
                                    "31.12.2024", "--output", dir.File("mvd.pdf")});
            seconds.push_back(run.wall * 1e3);
            peak = run.peakMiB;
        }
        bench::PrintRow("  Laufzeit", bench::Median(seconds), "ms", 0);
        bench::PrintRow("  Speicherspitze", peak, "MiB", 0);

        std::printf("\nDruck der Liste (alle Eintr\u00E4ge, A4, 1200 dpi)\n");
        std::vector<TColumnKind> columns = {ckLanguage, ckType, ckProject, ckDate, ckTime};
        const QStringList captions = {"Sprache", "Kategorie", "Projekt", "Datum", "Aufwand"};
        report::ListPrintLayout layout(listed, columns, captions,
                                       {QStringLiteral("input.mvd"), report::FilterInWords(db),
                                        QString(), QDate::currentDate()});
        {
            std::vector<double> first, cpu;
            double added = 0;
            for (int r = 0; r < options->repeat; ++r) {
                QBuffer buffer;
                buffer.open(QIODevice::WriteOnly);
                QPdfWriter writer(&buffer);
                writer.setPageSize(QPageSize(QPageSize::A4));
                added = AddedPeakMiB([&] {
                    const double cpuBefore = bench::CpuSeconds();
                    bench::Stopwatch watch;
                    layout.Paginate(writer);
                    QPainter painter(&writer);
                    layout.PaintPage(painter, 0);
                    painter.end();
                    first.push_back(watch.Seconds() * 1e3);
                    cpu.push_back((bench::CpuSeconds() - cpuBefore) * 1e3);
                });
            }
            bench::PrintRow("  Seiten z\u00E4hlen + erste Seite", bench::Median(first), "ms",
                            full ? 1000 : 0);
            bench::PrintRow("    CPU-Zeit", bench::Median(cpu), "ms", 0);
            bench::PrintRow("  Speicher dazu (Spitze)", added, "MiB", full ? 50 : 0);
            std::printf("    %d Seiten\n", layout.PageCount());
        }
        {
            double ms = 0, cpu = 0;
            const double added = AddedPeakMiB([&] {
                const double cpuBefore = bench::CpuSeconds();
                bench::Stopwatch watch;
                QPdfWriter writer(QString::fromStdString(dir.File("list.pdf")));
                writer.setPageSize(QPageSize(QPageSize::A4));
                layout.Print(writer, 1, 200);
                ms = watch.Seconds() * 1e3;
                cpu = (bench::CpuSeconds() - cpuBefore) * 1e3;
            });
            bench::PrintRow("  200 Seiten in ein PDF", ms, "ms", 0);
            bench::PrintRow("    CPU-Zeit", cpu, "ms", 0);
            bench::PrintRow("  Speicher dazu (Spitze)", added, "MiB", full ? 50 : 0);
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_report: %s\n", e.what());
        return 1;
    }
}
