// Benchmark of the analysis figures on a generated database of a million
// entries, all listed: the value list's lookup per entry, a full count per
// grouping (entries in database order and shuffled, as a list sorted by a
// column gives them), single entries leaving and joining the count, the table
// after a change, and the heap that the figures keep and need while counting.
// Beside wall times it prints the CPU time of this thread, which a busy
// machine disturbs less.
//
//   bench_analysis [--entries N] [--repeat R]
#include "BenchData.h"
#include "BenchSupport.h"
#include "analysis/FigureEngine.h"
#include "core/DataBase.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <malloc.h>
#include <new>
#include <optional>
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

double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Wall and CPU milliseconds of calls.
struct Samples {
    std::vector<double> wall, cpu;
    template <typename Call> void Time(Call&& call) {
        const double cpuBefore = ThreadCpuMs();
        bench::Stopwatch watch;
        call();
        wall.push_back(watch.Seconds() * 1e3);
        cpu.push_back(ThreadCpuMs() - cpuBefore);
    }
    [[nodiscard]] double MaxCpu() const { return *std::max_element(cpu.begin(), cpu.end()); }
};

void PrintMedians(const std::string& what, Samples& samples, double target) {
    bench::PrintRow(what, bench::Median(samples.wall), "ms", target);
    bench::PrintRow("    CPU-Zeit", bench::Median(samples.cpu), "ms", 0);
}

// Nanoseconds per entry of the value list's own lookup of the entry's text.
double LookupNanoseconds(const TValueList& list, const std::vector<const TDataRecord*>& listed,
                         const std::string& (TDataRecord::*field)() const) {
    bench::Stopwatch watch;
    long found = 0;
    for (const TDataRecord* record : listed)
        found += list.IndexOf((record->*field)()) >= 0 ? 1 : 0;
    const double ns = watch.Seconds() * 1e9 / static_cast<double>(listed.size());
    if (found != static_cast<long>(listed.size()))
        std::printf("(unerwartet: Wert nicht gefunden)\n");
    return ns;
}

const std::pair<Grouping, const char*> kGroupings[] = {{Grouping::Language, "Sprache"},
                                                       {Grouping::Category, "Kategorie"},
                                                       {Grouping::Project, "Projekt"},
                                                       {Grouping::Month, "Monat"},
                                                       {Grouping::Weekday, "Wochentag"}};

void MeasureFullCounts(const TDataBase& db, FigureEngine& engine,
                       const std::vector<const TDataRecord*>& listed, int repeat, bool full) {
    for (const auto& [grouping, name] : kGroupings) {
        Samples samples;
        for (int r = 0; r < repeat; ++r)
            samples.Time([&] { engine.Recompute(grouping, listed); });
        PrintMedians(std::string("  ") + name, samples, full ? 60 : 0);
        // The heap of a fresh engine: what it keeps and its peak while counting.
        const std::size_t before = heapInUse;
        heapPeak = before;
        std::size_t kept = 0;
        {
            FigureEngine probe(db);
            probe.Recompute(grouping, listed);
            kept = heapInUse - before;
        }
        bench::PrintRow("    Heap der Zahlen danach", MiB(kept), "MiB", full ? 16 : 0);
        bench::PrintRow("    Heap-Spitze beim Z\u00E4hlen", MiB(heapPeak - before), "MiB", 0);
    }
}

// Single entries leave and join the count again, as after a change or a
// deletion, each followed by the table; then new entries with a project that
// no entry had before.
void MeasureEdits(TDataBase& db, FigureEngine& engine,
                  const std::vector<const TDataRecord*>& listed, int count, bool full) {
    Samples removes, adds, tables, newValues;
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> pick(0, listed.size() - 1);
    std::size_t rows = 0;
    for (int i = 0; i < count; ++i) {
        const TDataRecord& record = *listed[pick(random)];
        removes.Time([&] { engine.Remove(record.ID); });
        adds.Time([&] { engine.Add(record); });
        tables.Time([&] { rows += engine.Table(Measure::Minutes).size(); });
    }
    for (int i = 0; i < count / 10; ++i) {
        TRecordData fresh = listed[pick(random)]->Data();
        fresh.Project = "Neues Projekt " + std::to_string(i);
        const TDataRecord* adopted = db.AddRecord(fresh);
        newValues.Time([&] { engine.Add(*adopted); });
        const std::uint32_t id = adopted->ID;
        engine.Remove(id);
        db.DeleteRecord(id);
    }
    if (rows == 0)
        std::printf("(unerwartet: leere Tabelle)\n");
    const double target = full ? 5 : 0;
    for (auto [what, samples] :
         {std::pair{"Remove", &removes}, std::pair{"Add", &adds},
          std::pair{"Add mit neuem Projekt", &newValues}, std::pair{"Tabelle danach", &tables}}) {
        bench::PrintRow(std::string("  ") + what + ", Median", bench::Median(samples->wall), "ms",
                        target);
        bench::PrintRow("    h\u00F6chste CPU-Zeit", samples->MaxCpu(), "ms", target);
    }
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
        const std::optional<bench::SizeOptions> options =
            bench::ParseSizeOptions(argc, argv, "bench_analysis", 5);
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
        const std::vector<const TDataRecord*> listed = analysis::ListedEntries(db);
        std::printf("Eintr\u00E4ge gez\u00E4hlt: %zu\n\n", listed.size());

        std::printf("Suche in der Werteliste je Eintrag (IndexOf)\n");
        bench::PrintRow("  Sprache",
                        LookupNanoseconds(db.Languages, listed, &TDataRecord::Language), "ns", 0);
        bench::PrintRow("  Projekt", LookupNanoseconds(db.Projects, listed, &TDataRecord::Project),
                        "ns", 0);

        FigureEngine engine(db);
        std::printf("\nVolle Z\u00E4hlung (Recompute), Eintr\u00E4ge in Datenbankreihenfolge, "
                    "Median von %d L\u00E4ufen\n",
                    repeat);
        MeasureFullCounts(db, engine, listed, repeat, full);
        std::vector<const TDataRecord*> shuffled = listed;
        std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(3));
        std::printf("\nVolle Z\u00E4hlung, Eintr\u00E4ge gemischt, Median von %d L\u00E4ufen\n",
                    repeat);
        MeasureFullCounts(db, engine, shuffled, repeat, full);

        const int count = 2000;
        std::printf("\nEinzelne \u00C4nderung nach Projekt, %d Stichproben\n", count);
        engine.Recompute(Grouping::Project, listed);
        MeasureEdits(db, engine, listed, count, full);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_analysis: %s\n", e.what());
        return 1;
    }
}
