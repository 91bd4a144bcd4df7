// Benchmark of the exchange with spreadsheets on the generated database of a
// million entries: CSV export, Excel workbook export, and CSV import into an
// empty database (the CSV repeats every 50th entry, so the import also skips
// duplicates).
//
//   bench_exchange [--entries N] [--repeat R]
#include "BenchData.h"
#include "BenchSupport.h"
#include "core/DataBase.h"
#include "exchange/CsvImport.h"
#include "exchange/CsvWriter.h"
#include "exchange/XlsxWriter.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    try {
        const std::optional<bench::SizeOptions> options =
            bench::ParseSizeOptions(argc, argv, "bench_exchange", 3);
        if (!options)
            return 2;
        const std::uint32_t entries = options->entries;
        const int repeat = options->repeat;
        const bool full = options->Full();

        bench::TempDir dir;
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
        bench::PrintRow("Spitzen-RSS des Prozesses", bench::PeakRssMiB(), "MiB", 0);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_exchange: %s\n", e.what());
        return 1;
    }
}
