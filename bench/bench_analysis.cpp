// Benchmark of the analysis figures on a generated database of a million
// entries, all listed: the value-list lookup per entry, a full count per
// grouping, single entries leaving and joining the count, the table after a
// change, and the heap that the figures keep.
//
//   bench_analysis [--entries N] [--repeat R]
#include "BenchData.h"
#include "BenchSupport.h"
#include "DataBase.h"
#include "FigureEngine.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <new>
#include <random>
#include <string>
#include <vector>

namespace {

using analysis::FigureEngine;
using analysis::Grouping;
using analysis::Measure;

// Heap in use and its peak, counted by the replaced operator new below.
std::size_t heapInUse = 0;
std::size_t heapPeak = 0;

double MiB(std::size_t bytes) {
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

double Milliseconds(const bench::Stopwatch& watch) {
    return watch.Seconds() * 1000.0;
}

// Nanoseconds per entry of the value list's own lookup of the entry's text.
double LookupNanoseconds(const TValueList& list, const std::vector<const TDataRecord*>& listed,
                         const std::string TDataRecord::*field) {
    bench::Stopwatch watch;
    long sum = 0;
    for (const TDataRecord* record : listed)
        sum += list.IndexOf(record->*field);
    const double ns = watch.Seconds() * 1e9 / static_cast<double>(listed.size());
    if (sum < 0)
        std::printf("(unerwartet: Wert nicht gefunden)\n");
    return ns;
}

struct EditFigures {
    std::vector<double> removes, adds, tables, newValues;
};

// Single entries leave and join the count again, as after a change or a
// deletion; then new entries with a project that no entry had before.
EditFigures MeasureEdits(TDataBase& db, FigureEngine& engine,
                         const std::vector<const TDataRecord*>& listed, int samples) {
    EditFigures figures;
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> pick(0, listed.size() - 1);
    for (int i = 0; i < samples; ++i) {
        const TDataRecord& record = *listed[pick(random)];
        bench::Stopwatch remove;
        engine.Remove(record.ID);
        figures.removes.push_back(Milliseconds(remove));
        bench::Stopwatch add;
        engine.Add(record);
        figures.adds.push_back(Milliseconds(add));
        bench::Stopwatch table;
        const auto rows = engine.Table(Measure::Minutes);
        figures.tables.push_back(Milliseconds(table));
        if (rows.empty())
            std::printf("(unerwartet: leere Tabelle)\n");
    }
    for (int i = 0; i < samples / 10; ++i) {
        auto fresh = std::make_unique<TDataRecord>(*listed[pick(random)]);
        fresh->Project = "Neues Projekt " + std::to_string(i);
        const TDataRecord* adopted = db.AddRecord(std::move(fresh));
        bench::Stopwatch add;
        engine.Add(*adopted);
        figures.newValues.push_back(Milliseconds(add));
        const std::uint32_t id = adopted->ID;
        engine.Remove(id);
        db.DeleteRecord(id);
    }
    return figures;
}

double Max(const std::vector<double>& samples) {
    return samples.empty() ? 0.0 : *std::max_element(samples.begin(), samples.end());
}

} // namespace

void* operator new(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr)
        throw std::bad_alloc();
    heapInUse += malloc_usable_size(block);
    heapPeak = std::max(heapPeak, heapInUse);
    return block;
}

void operator delete(void* block) noexcept {
    if (block != nullptr)
        heapInUse -= malloc_usable_size(block);
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    operator delete(block);
}

int main(int argc, char** argv) {
    try {
        std::uint32_t entries = 1000000;
        int repeat = 5;
        for (int i = 1; i < argc; ++i) {
            const std::string arg = argv[i];
            if (arg == "--entries" && i + 1 < argc)
                entries = static_cast<std::uint32_t>(std::stoul(argv[++i]));
            else if (arg == "--repeat" && i + 1 < argc)
                repeat = std::max(1, std::stoi(argv[++i]));
            else {
                std::fprintf(stderr, "usage: bench_analysis [--entries N] [--repeat R]\n");
                return 2;
            }
        }
        const bool full = entries == 1000000;

        bench::TempDir dir;
        const std::string input = dir.File("input.mvd");
        bench::WriteDatabaseFile(input, entries);
        TDataBase db;
        db.OnLoadError = [](const std::string& message) {
            throw std::runtime_error("load error: " + message);
        };
        db.FileName = input;
        db.Reload();
        const std::vector<const TDataRecord*> listed = analysis::ListedEntries(db);
        std::printf("Eintr\u00E4ge gez\u00E4hlt: %zu\n\n", listed.size());

        std::printf("Suche in der Werteliste je Eintrag (IndexOf)\n");
        bench::PrintRow("  Sprache",
                        LookupNanoseconds(db.Languages, listed, &TDataRecord::Language), "ns", 0);
        bench::PrintRow("  Projekt", LookupNanoseconds(db.Projects, listed, &TDataRecord::Project),
                        "ns", 0);

        const std::pair<Grouping, const char*> groupings[] = {{Grouping::Language, "Sprache"},
                                                              {Grouping::Category, "Kategorie"},
                                                              {Grouping::Project, "Projekt"},
                                                              {Grouping::Month, "Monat"},
                                                              {Grouping::Weekday, "Wochentag"}};
        const std::size_t heapBefore = heapInUse;
        FigureEngine engine(db);
        std::printf("\nVolle Z\u00E4hlung (Recompute), Median von %d L\u00E4ufen; Heap der "
                    "Zahlen danach und seine Spitze w\u00E4hrend der Z\u00E4hlung\n",
                    repeat);
        for (const auto& [grouping, name] : groupings) {
            std::vector<double> times, cpu;
            for (int r = 0; r < repeat; ++r) {
                const double cpuBefore = bench::CpuSeconds();
                bench::Stopwatch watch;
                engine.Recompute(grouping, listed);
                times.push_back(Milliseconds(watch));
                cpu.push_back((bench::CpuSeconds() - cpuBefore) * 1000.0);
            }
            bench::PrintRow(std::string("  ") + name, bench::Median(times), "ms", full ? 60 : 0);
            bench::PrintRow("    davon CPU-Zeit", bench::Median(cpu), "ms", 0);
            const std::size_t kept = heapInUse - heapBefore;
            heapPeak = heapInUse;
            engine.Recompute(grouping, listed);
            bench::PrintRow("    Heap der Zahlen", MiB(kept), "MiB", full ? 16 : 0);
            bench::PrintRow("    Heap-Spitze beim Z\u00E4hlen", MiB(heapPeak - heapBefore), "MiB",
                            0);
            bench::Stopwatch table;
            const auto rows = engine.Table(Measure::Count);
            const auto bars = engine.Pareto(Measure::Minutes);
            const auto series = engine.MonthSeries();
            bench::PrintRow("    Tabelle + Pareto + Monate", Milliseconds(table), "ms", 0);
            std::printf("    %zu Gruppen, %zu Balken, %zu Monate\n", rows.size(), bars.size(),
                        series.size());
        }

        // The list shows its entries sorted by a column, not in the order of
        // the heap: the same count over the entries in shuffled order.
        std::vector<const TDataRecord*> shuffled = listed;
        std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(3));
        std::printf("\nVolle Z\u00E4hlung, Eintr\u00E4ge in gemischter Reihenfolge\n");
        for (const auto& [grouping, name] : groupings) {
            std::vector<double> times;
            for (int r = 0; r < repeat; ++r) {
                bench::Stopwatch watch;
                engine.Recompute(grouping, shuffled);
                times.push_back(Milliseconds(watch));
            }
            bench::PrintRow(std::string("  ") + name, bench::Median(times), "ms", full ? 60 : 0);
        }

        const int samples = 2000;
        std::printf("\nEinzelne \u00C4nderung nach Projekt, %d Stichproben: Median / Maximum\n",
                    samples);
        engine.Recompute(Grouping::Project, listed);
        EditFigures edits = MeasureEdits(db, engine, listed, samples);
        const double maxRemove = Max(edits.removes), maxAdd = Max(edits.adds),
                     maxTable = Max(edits.tables), maxNew = Max(edits.newValues);
        bench::PrintRow("  Remove", bench::Median(edits.removes), "ms", full ? 5 : 0);
        bench::PrintRow("  Remove, Maximum", maxRemove, "ms", full ? 5 : 0);
        bench::PrintRow("  Add", bench::Median(edits.adds), "ms", full ? 5 : 0);
        bench::PrintRow("  Add, Maximum", maxAdd, "ms", full ? 5 : 0);
        bench::PrintRow("  Add mit neuem Projekt", bench::Median(edits.newValues), "ms",
                        full ? 5 : 0);
        bench::PrintRow("  Add mit neuem Projekt, Maximum", maxNew, "ms", full ? 5 : 0);
        bench::PrintRow("  Tabelle danach", bench::Median(edits.tables), "ms", 0);
        bench::PrintRow("  Tabelle danach, Maximum", maxTable, "ms", 0);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_analysis: %s\n", e.what());
        return 1;
    }
}
