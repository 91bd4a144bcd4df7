// Benchmark of the exchange with spreadsheets on the generated database of a
// million entries: CSV export, Excel workbook export, and CSV import into an
// empty database (the CSV repeats every 50th entry, so the import also skips
// duplicates); then the import of a CSV file whose one row holds a field of
// 50 MiB (one line, or lines of 60 characters), each in a fresh process of
// its own: time, and peak memory against the field's size.
//
//   bench_exchange [--entries N] [--repeat R]
//   bench_exchange --import FILE      (the child: imports FILE into an empty database)
#include "BenchData.h"
#include "BenchSupport.h"
#include "core/DataBase.h"
#include "exchange/CsvImport.h"
#include "exchange/CsvReader.h"
#include "exchange/CsvWriter.h"
#include "exchange/XlsxWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr std::size_t LargeFieldBytes = std::size_t{50} << 20;

// The child's work: FILE read and its rows added to an empty database.
int ImportOnly(const std::string& file) {
    const exchange::CsvReadResult read = exchange::ReadCsvFile(file);
    if (!read.failure.empty()) {
        std::fprintf(stderr, "bench_exchange: %s\n", read.failure.c_str());
        return 1;
    }
    TDataBase target;
    std::vector<std::uint32_t> ids;
    std::printf("%zu\n", target.AddRecords(read.entries, ids));
    return 0;
}

// A CSV file of one entry whose description of `size` bytes is one line, or
// lines of 60 characters, quoted as an export quotes such a text.
void WriteLargeFieldFile(const std::string& path, std::size_t size, bool lines) {
    std::string description(size, 'x');
    for (std::size_t i = 60; i + 1 < size; i += 62) {
        description[i] = lines ? '\r' : ';';
        description[i + 1] = lines ? '\n' : ' ';
    }
    std::ofstream out(path, std::ios::binary);
    out << "Sprache;Kategorie;Projekt;Datum;Aufwand;Beschreibung\r\n"
        << "C++;Zeigerfehler;Mavrolin;05.03.2001;15;\"" << description << "\"\r\n";
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}

// Imports the file in a fresh process of this program, so that the peak
// memory is the import's own: the median time and peak memory of `repeat` runs.
std::pair<double, double> MeasureImportProcess(const std::string& file, int repeat) {
    std::vector<double> times, peaks;
    for (int r = 0; r < repeat; ++r) {
        const bench::ChildRun run = bench::RunMeasured({bench::SelfPath(), "--import", file});
        if (run.output != "1\n")
            throw std::runtime_error("large field import gave " + run.output);
        times.push_back(run.wall);
        peaks.push_back(run.peakMiB);
    }
    return {bench::Median(times), bench::Median(peaks)};
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--import") == 0)
        return ImportOnly(argv[2]);
    try {
        const std::optional<bench::SizeOptions> options =
            bench::ParseSizeOptions(argc, argv, "bench_exchange", 3);
        if (!options)
            return 2;
        const std::uint32_t entries = options->entries;
        const int repeat = options->repeat;
        const bool full = options->Full();

        bench::TempDir dir;
        // The large field first, while this process is small: a child counts
        // what it shared with its parent before its exec into its peak.
        // The child's own need, from the import of a field of 1 KiB.
        const std::string largeCsv = dir.File("large-field.csv");
        WriteLargeFieldFile(largeCsv, 1024, false);
        const double basePeak = MeasureImportProcess(largeCsv, repeat).second;
        WriteLargeFieldFile(largeCsv, LargeFieldBytes, false);
        const auto [oneLineTime, oneLinePeak] = MeasureImportProcess(largeCsv, repeat);
        WriteLargeFieldFile(largeCsv, LargeFieldBytes, true);
        const auto [linesTime, linesPeak] = MeasureImportProcess(largeCsv, repeat);
        const double fieldMiB = static_cast<double>(LargeFieldBytes) / (1 << 20);

        const std::string input = dir.File("input.mvd");
        bench::WriteDatabaseFile(input, entries);
        TDataBase db;
        bench::LoadOrThrow(db, input);
        std::vector<const TDataRecord*> all;
        std::vector<const TDataRecord*> withRepeats;
        for (int i = 0; i < db.Count(); ++i) {
            all.push_back(db.GetRecord(i));
            withRepeats.push_back(db.GetRecord(i));
            if (i % 50 == 49)
                withRepeats.push_back(db.GetRecord(i - 7));
        }

        // Wall and CPU seconds of each run; the CPU time is less disturbed when
        // other work shares the machine.
        std::vector<double> csvTimes, xlsxTimes, importTimes, csvCpu, xlsxCpu, importCpu;
        const auto measure = [](std::vector<double>& wall, std::vector<double>& cpu,
                                const auto& work) {
            const double cpuBefore = bench::CpuSeconds();
            bench::Stopwatch watch;
            work();
            wall.push_back(watch.Seconds());
            cpu.push_back(bench::CpuSeconds() - cpuBefore);
        };
        const std::string csv = dir.File("export.csv");
        for (int r = 0; r < repeat; ++r)
            measure(csvTimes, csvCpu,
                    [&] { exchange::ExportCsvFile(csv, all, exchange::SpreadsheetCsv); });
        const std::string xlsx = dir.File("export.xlsx");
        for (int r = 0; r < repeat; ++r)
            measure(xlsxTimes, xlsxCpu, [&] { exchange::ExportXlsxFile(xlsx, all); });

        const std::string importCsv = dir.File("import.csv");
        exchange::ExportCsvFile(importCsv, withRepeats, exchange::SpreadsheetCsv);
        std::size_t imported = 0;
        std::size_t duplicates = 0;
        std::size_t refused = 0;
        for (int r = 0; r < repeat; ++r) {
            TDataBase target;
            measure(importTimes, importCpu, [&] {
                exchange::CsvReadResult read = exchange::ReadCsvFile(importCsv);
                refused = read.refused.size();
                if (!read.failure.empty())
                    throw std::runtime_error("import refused: " + read.failure);
                std::vector<std::uint32_t> ids;
                imported = target.AddRecords(read.entries, ids);
                duplicates = read.entries.size() - imported;
            });
        }
        if (imported != all.size() || duplicates != withRepeats.size() - all.size() || refused != 0)
            throw std::runtime_error("import gave " + std::to_string(imported) + " + " +
                                     std::to_string(duplicates) + " duplicates + " +
                                     std::to_string(refused) + " refused");

        std::printf("Eintr\u00E4ge: %zu; CSV %.1f MB, Arbeitsmappe %.1f MB; Import: %zu Zeilen, "
                    "%zu importiert, %zu Duplikate\n\n",
                    all.size(), static_cast<double>(std::filesystem::file_size(csv)) / 1e6,
                    static_cast<double>(std::filesystem::file_size(xlsx)) / 1e6, withRepeats.size(),
                    imported, duplicates);
        std::printf("Median von %d L\u00E4ufen\n", repeat);
        bench::PrintRow("CSV-Export", bench::Median(csvTimes), "s", full ? 1.0 : 0);
        bench::PrintRow("  davon CPU-Zeit (user + sys)", bench::Median(csvCpu), "s", 0);
        bench::PrintRow("Excel-Export (.xlsx)", bench::Median(xlsxTimes), "s", full ? 10.0 : 0);
        bench::PrintRow("  davon CPU-Zeit (user + sys)", bench::Median(xlsxCpu), "s", 0);
        bench::PrintRow("CSV-Import in eine leere Datenbank", bench::Median(importTimes), "s",
                        full ? 2.0 : 0);
        bench::PrintRow("  davon CPU-Zeit (user + sys)", bench::Median(importCpu), "s", 0);
        bench::PrintRow("Feld von 50 MiB in einer Zeile importieren", oneLineTime, "s", 1.0);
        bench::PrintRow("  Spitzen-RSS des Prozesses / Feldgr\u00F6\u00DFe", oneLinePeak / fieldMiB,
                        "x", 0);
        bench::PrintRow("  dasselbe ohne den Grundbedarf des Prozesses",
                        (oneLinePeak - basePeak) / fieldMiB, "x", 3.0);
        bench::PrintRow("Feld von 50 MiB in Zeilen zu 60 Zeichen", linesTime, "s", 1.0);
        bench::PrintRow("  Spitzen-RSS des Prozesses / Feldgr\u00F6\u00DFe", linesPeak / fieldMiB,
                        "x", 0);
        bench::PrintRow("  dasselbe ohne den Grundbedarf des Prozesses",
                        (linesPeak - basePeak) / fieldMiB, "x", 3.0);
        bench::PrintRow("  Grundbedarf (Feld von 1 KiB)", basePeak, "MiB", 0);
        bench::PrintRow("Spitzen-RSS des Prozesses", bench::PeakRssMiB(), "MiB", 0);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_exchange: %s\n", e.what());
        return 1;
    }
}
