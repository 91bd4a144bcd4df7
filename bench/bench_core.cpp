// Benchmark of the data core on a generated database of a million entries:
// LoadFromFile, Save, SetAndFilter and the peak resident memory of a load
// (measured in a fresh process, so nothing else inflates it).
//
//   bench_core [--entries N] [--repeat R]
//   bench_core --write FILE [--entries N]   writes the generated database only
#include "BenchData.h"
#include "BenchSupport.h"
#include "DataBase.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// Child mode: one load in this fresh process; prints wall seconds, CPU
// seconds, peak RSS in MiB, the RSS before the load and the entries loaded.
int LoadInFreshProcess(const std::string& file) {
    const double before = bench::PeakRssMiB();
    TDataBase db;
    db.OnLoadError = [](const std::string& message) {
        std::fprintf(stderr, "load error: %s\n", message.c_str());
        std::exit(1);
    };
    const double cpuBefore = bench::CpuSeconds();
    bench::Stopwatch watch;
    db.FileName = file;
    db.Reload();
    const double seconds = watch.Seconds();
    std::printf("%.6f %.6f %.3f %.3f %d\n", seconds, bench::CpuSeconds() - cpuBefore,
                bench::PeakRssMiB(), before, db.Count());
    return 0;
}

void Untick(TValueList& list, int every) {
    for (int i = 0; i < list.Count(); i += every)
        list.Filter(i).Checked = false;
}

} // namespace

int main(int argc, char** argv) {
    try {
        std::uint32_t entries = 1000000;
        int repeat = 5;
        std::string writeOnly;
        for (int i = 1; i < argc; ++i) {
            const std::string arg = argv[i];
            if (arg == "--load-child" && i + 1 < argc)
                return LoadInFreshProcess(argv[++i]);
            if (arg == "--write" && i + 1 < argc)
                writeOnly = argv[++i];
            else if (arg == "--entries" && i + 1 < argc)
                entries = static_cast<std::uint32_t>(std::stoul(argv[++i]));
            else if (arg == "--repeat" && i + 1 < argc)
                repeat = std::max(1, std::stoi(argv[++i]));
            else {
                std::fprintf(stderr, "usage: bench_core [--entries N] [--repeat R] | "
                                     "--write FILE [--entries N]\n");
                return 2;
            }
        }
        if (!writeOnly.empty()) {
            const bench::GeneratedFile file = bench::WriteDatabaseFile(writeOnly, entries);
            std::printf("%s: %u Eintr\u00E4ge, davon %u Doppelte\n", writeOnly.c_str(),
                        file.records, file.duplicates);
            return 0;
        }
        const bool full = entries == 1000000;

        bench::TempDir dir;
        const std::string input = dir.File("input.mvd");
        bench::Stopwatch generate;
        const bench::GeneratedFile file = bench::WriteDatabaseFile(input, entries);
        std::printf(
            "Datenbank: %u Eintr\u00E4ge, davon %u Doppelte, %.1f MB (erzeugt in %.2f s)\n\n",
            file.records, file.duplicates, static_cast<double>(file.bytes) / 1e6,
            generate.Seconds());

        // Load and peak memory in a fresh process.
        double childSeconds = 0, childCpu = 0, childPeak = 0, childBase = 0;
        int childCount = 0;
        const std::string output =
            bench::RunAndCapture("'" + bench::SelfPath() + "' --load-child '" + input + "'");
        if (std::sscanf(output.c_str(), "%lf %lf %lf %lf %d", &childSeconds, &childCpu, &childPeak,
                        &childBase, &childCount) != 5)
            throw std::runtime_error("unexpected child output: " + output);
        if (childCount != static_cast<int>(file.records - file.duplicates))
            throw std::runtime_error("loaded " + std::to_string(childCount) +
                                     " entries, expected " +
                                     std::to_string(file.records - file.duplicates));

        // Load, save and filter in this process, each repeated.
        std::vector<double> loads, saves, filters;
        auto db = std::make_unique<TDataBase>();
        db->OnLoadError = [](const std::string& message) {
            throw std::runtime_error("load error: " + message);
        };
        for (int r = 0; r < repeat; ++r) {
            db->FileName = input;
            bench::Stopwatch watch;
            db->Reload();
            loads.push_back(watch.Seconds());
        }
        db->FileName = dir.File("saved.mvd");
        for (int r = 0; r < repeat; ++r) {
            bench::Stopwatch watch;
            db->Save();
            saves.push_back(watch.Seconds());
        }
        // A filter that hides part of the entries in both modes.
        Untick(db->Languages, 3);
        Untick(db->ErrorTypes, 4);
        Untick(db->Projects, 5);
        for (int r = 0; r < repeat; ++r) {
            for (bool mode : {true, false}) {
                bench::Stopwatch watch;
                db->SetAndFilter(mode);
                filters.push_back(watch.Seconds());
            }
        }
        int hidden = 0;
        for (int i = 0; i < db->Count(); ++i)
            hidden += db->GetRecord(i)->Hidden ? 1 : 0;

        const auto savedSize = std::filesystem::file_size(dir.File("saved.mvd"));
        std::printf("Eintr\u00E4ge nach dem Laden: %d, gesichert: %.1f MB, im OR-Modus verborgen: "
                    "%d\n\n",
                    db->Count(), static_cast<double>(savedSize) / 1e6, hidden);

        std::printf("Median von %d L\u00E4ufen (SetAndFilter: %d L\u00E4ufe, beide Modi)\n", repeat,
                    2 * repeat);
        bench::PrintRow("LoadFromFile, frischer Prozess", childSeconds, "s", full ? 1.0 : 0);
        bench::PrintRow("  davon CPU-Zeit (user + sys)", childCpu, "s", 0);
        bench::PrintRow("LoadFromFile (Reload), Median", bench::Median(loads), "s", full ? 1.0 : 0);
        bench::PrintRow("Save, Median", bench::Median(saves), "s", full ? 0.5 : 0);
        bench::PrintRow("SetAndFilter, Median", bench::Median(filters), "s", full ? 0.1 : 0);
        bench::PrintRow("Spitzen-RSS beim Laden (frischer Prozess)", childPeak, "MiB",
                        full ? 400 : 0);
        bench::PrintRow("  davon vor dem Laden", childBase, "MiB", 0);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_core: %s\n", e.what());
        return 1;
    }
}
