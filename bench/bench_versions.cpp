// Benchmark of keeping older versions: a save of the generated database
// (a million entries) with versions on beside the same save with versions
// off, interleaved, so that both see the same machine; the same with a file
// of two names (written in place: the version is a reflink or a copy); and
// listing 200 versions with their numbers of entries, from the index, cold
// (every version loaded) and as `mvd versions` in a fresh process when mvd
// lies beside this program.
//
//   bench_versions [--entries N] [--repeat R]
// BENCH_VERSIONS_SAMPLES=1 prints every pair of saves.
#include "BenchData.h"
#include "BenchSupport.h"
#include "core/DataBase.h"
#include "fileio/FileStamp.h"
#include "versions/Keeper.h"
#include "versions/VersionFolder.h"
#include "versions/VersionIndex.h"
#include "versions/VersionList.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kListedVersions = 200;
constexpr std::uint32_t kListedEntries = 5000;

// What the database knew of each file after its last save, so that one
// database can save two files as if each had its own window.
struct Known {
    fileio::FileStamp stamp;
    std::int64_t entries = -1;
};

double TimedSave(TDataBase& db, const std::string& file, std::map<std::string, Known>& known,
                 const fileio::KeepOldFile& keep) {
    db.FileName = file;
    db.DiskStamp = known[file].stamp;
    db.DiskEntries = known[file].entries;
    db.KeepOldFile = keep;
    db.Modified = true;
    bench::Stopwatch watch;
    db.Save();
    const double seconds = watch.Seconds();
    known[file] = {db.DiskStamp, db.DiskEntries};
    return seconds;
}

// The keeper's hook, timed: what keeping a version adds to a save, measured
// inside it (the link before the rename, then mode, thinning and index).
fileio::KeepOldFile Timed(const fileio::KeepOldFile& hook, std::vector<double>& spent) {
    return [hook, &spent](const fileio::OldFile& old) -> fileio::OldFileOutcome {
        bench::Stopwatch watch;
        fileio::OldFileOutcome outcome = hook(old);
        const double before = watch.Seconds();
        return [outcome, before, &spent](bool replaced) {
            bench::Stopwatch after;
            if (outcome)
                outcome(replaced);
            spent.push_back(before + after.Seconds());
        };
    };
}

std::vector<double> LastThird(std::vector<double> samples) {
    return {samples.end() - static_cast<std::ptrdiff_t>(samples.size() / 3), samples.end()};
}

void PrintRatio(const std::string& what, double value, double base, double target) {
    bench::PrintRow(what, base > 0 ? value / base : 0, "x", target);
}

} // namespace

int main(int argc, char** argv) {
    try {
        const auto options = bench::ParseSizeOptions(argc, argv, "bench_versions", 20);
        if (!options)
            return 2;
        const bool full = options->Full();
        bench::TempDir dir;
        // The versions go below the temporary folder, on the same file system
        // as the database (the usual case: both below the home folder).
        ::setenv("XDG_DATA_HOME", dir.File("data").c_str(), 1);

        const std::string input = dir.File("input.mvd");
        const bench::GeneratedFile generated = bench::WriteDatabaseFile(input, options->entries);
        TDataBase db;
        bench::LoadOrThrow(db, input);
        std::printf("Datenbank: %d Eintr\u00E4ge, %.1f MB\n\n", db.Count(),
                    static_cast<double>(generated.bytes) / 1e6);

        // Save with versions off and on, interleaved.
        versions::Keeper keeper;
        std::map<std::string, Known> known;
        const std::string off = dir.File("ohne.mvd");
        const std::string on = dir.File("mit.mvd");
        TimedSave(db, off, known, {});
        TimedSave(db, on, known, keeper.HookFor(db));
        std::vector<double> saveOff, saveOn, keeping;
        // Each round in the other order, so that what one save leaves to the
        // file system (freeing the replaced file's blocks) weighs on both alike.
        for (int r = 0; r < options->repeat; ++r) {
            if (r % 2 == 0)
                saveOff.push_back(TimedSave(db, off, known, {}));
            saveOn.push_back(TimedSave(db, on, known, Timed(keeper.HookFor(db), keeping)));
            if (keeper.LastKept().empty())
                throw std::runtime_error("no version kept: " + keeper.TakeWarning());
            if (r % 2 == 1)
                saveOff.push_back(TimedSave(db, off, known, {}));
        }
        const auto kept = versions::ScanFolder(versions::FolderOf(on));
        if (std::getenv("BENCH_VERSIONS_SAMPLES"))
            for (std::size_t i = 0; i < saveOn.size(); ++i)
                std::printf("  %zu: ohne %.3f s, mit %.3f s, davon %.1f ms\n", i, saveOff[i],
                            saveOn[i], keeping[i] * 1000);

        // A file of two names: written in place, the version a reflink or a copy.
        const std::string twoNames = dir.File("zwei-namen.mvd");
        TimedSave(db, twoNames, known, {});
        std::filesystem::create_hard_link(twoNames, dir.File("zweiter-name.mvd"));
        std::vector<double> inPlaceOff, inPlaceOn, copying;
        const int inPlaceRepeat = std::max(1, options->repeat / 3);
        for (int r = 0; r < inPlaceRepeat; ++r) {
            inPlaceOff.push_back(TimedSave(db, twoNames, known, {}));
            inPlaceOn.push_back(TimedSave(db, twoNames, known, Timed(keeper.HookFor(db), copying)));
        }

        // Rebuilding the index entries of the large versions: each one loaded.
        const std::string largeFolder = versions::FolderOf(on);
        std::filesystem::remove(largeFolder + "/" + versions::IndexFileName);
        bench::Stopwatch rebuildWatch;
        const auto rebuilt = versions::ListVersions(on);
        const double rebuild = rebuildWatch.Seconds();

        // 200 versions of a small database, listed.
        const std::string small = dir.File("klein.mvd");
        bench::WriteDatabaseFile(small, kListedEntries, 7);
        TDataBase smallDb;
        bench::LoadOrThrow(smallDb, small);
        versions::Keeper listKeeper({.Keep = true, .SizeLimit = std::uint64_t{1} << 40});
        smallDb.KeepOldFile = listKeeper.HookFor(smallDb);
        for (int i = 0; i < kListedVersions; ++i) {
            smallDb.AddRecord(TRecordData{"Bench", "Liste", "V", "", 40000.0 + i, 0, 1});
            smallDb.Save();
        }
        std::vector<double> listWarm;
        std::size_t listed = 0;
        std::int64_t counted = 0;
        for (int r = 0; r < options->repeat; ++r) {
            bench::Stopwatch watch;
            const auto list = versions::ListVersions(small);
            listWarm.push_back(watch.Seconds());
            listed = list.size();
            counted = list.empty() ? -1 : list.back().entries;
        }
        const std::string smallFolder = versions::FolderOf(small);
        std::filesystem::remove(smallFolder + "/" + versions::IndexFileName);
        bench::Stopwatch coldWatch;
        (void)versions::ListVersions(small);
        const double listCold = coldWatch.Seconds();
        const std::string mvd =
            std::filesystem::path(bench::SelfPath()).parent_path().string() + "/mvd";
        const bool withMvd = ::access(mvd.c_str(), X_OK) == 0;
        std::vector<double> mvdWall;
        if (withMvd)
            for (int r = 0; r < options->repeat; ++r)
                mvdWall.push_back(bench::RunMeasured({mvd, "versions", small}).wall);

        std::printf("Median von %d L\u00E4ufen, abwechselnd ohne und mit Versionen\n",
                    options->repeat);
        bench::PrintRow("Save ohne Versionen", bench::Median(saveOff), "s", 0);
        bench::PrintRow("Save mit Versionen (harter Link)", bench::Median(saveOn), "s", 0);
        PrintRatio("  dazu", bench::Median(saveOn), bench::Median(saveOff), full ? 1.05 : 0);
        bench::PrintRow("  davon das Aufbewahren (im Hook gemessen)", bench::Median(keeping) * 1000,
                        "ms", 0);
        PrintRatio("  Save ohne Versionen plus Aufbewahren",
                   bench::Median(saveOff) + bench::Median(keeping), bench::Median(saveOff),
                   full ? 1.05 : 0);
        std::vector<double> lastOff = LastThird(saveOff), lastOn = LastThird(saveOn);
        PrintRatio("  letztes Drittel (Ausd\u00FCnnen l\u00F6scht)", bench::Median(lastOn),
                   bench::Median(lastOff), 0);
        std::printf("  aufbewahrte Versionen: %zu (Grenze 1 GiB)\n", kept.size());
        bench::PrintRow("Save, zwei Namen, ohne Versionen", bench::Median(inPlaceOff), "s", 0);
        bench::PrintRow("Save, zwei Namen, mit Versionen (Kopie)", bench::Median(inPlaceOn), "s",
                        0);
        bench::PrintRow("  davon die Kopie (im Hook gemessen)", bench::Median(copying), "s", 0);
        bench::PrintRow("Index neu: Versionen geladen", static_cast<double>(rebuilt.size()), "", 0);
        bench::PrintRow("  Zeit je Version",
                        rebuilt.empty() ? 0 : rebuild / static_cast<double>(rebuilt.size()), "s",
                        0);
        std::printf("%d Versionen von %u Eintr\u00E4gen: gelistet %zu, \u00E4lteste mit %lld\n",
                    kListedVersions, kListedEntries, listed, static_cast<long long>(counted));
        bench::PrintRow("ListVersions mit Index, Median", bench::Median(listWarm) * 1000, "ms",
                        1000);
        bench::PrintRow("ListVersions ohne Index (alle geladen)", listCold, "s", 0);
        if (withMvd)
            bench::PrintRow("mvd versions, ganzer Prozess, Median", bench::Median(mvdWall) * 1000,
                            "ms", 1000);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_versions: %s\n", e.what());
        return 1;
    }
}
