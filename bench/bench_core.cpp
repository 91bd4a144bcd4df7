// Benchmark of the data core on a generated database of a million entries:
// LoadFromFile, Save, SetAndFilter and the peak resident memory of a load
// (measured in a fresh process, so nothing else inflates it), each beside what
// the machine can do at best in the same run: the floor, a bare walk of the
// same file (one read, every length followed, nothing kept), and for Save one
// write and fsync of the same bytes. `mvd check` is measured when the mvd
// program lies beside this one.
//
//   bench_core [--entries N] [--repeat R]
//   bench_core --write FILE [--entries N]   writes the generated database only
#include "BenchData.h"
#include "BenchSupport.h"
#include "core/DataBase.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::uint32_t U32At(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// Child mode: the floor. Reads the whole file with one read and follows every
// length without keeping anything; prints wall seconds and the entries walked.
int WalkInFreshProcess(const std::string& file) {
    bench::Stopwatch watch;
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0)
        return 1;
    const auto size = static_cast<std::size_t>(st.st_size);
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[size]);
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, bytes.get() + got, size - got);
        if (n <= 0)
            return 1;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    const unsigned char* p = bytes.get() + 23;
    const unsigned char* end = bytes.get() + size;
    const std::uint32_t count = U32At(p);
    p += 4;
    std::uint32_t walked = 0;
    std::uint64_t sum = 0; // keeps the walk from being optimised away
    const auto skipString = [&] {
        const auto length = static_cast<std::int32_t>(U32At(p));
        p += 4;
        if (length > 0) {
            sum += static_cast<std::uint32_t>(length);
            p += length;
        }
    };
    for (; walked < count && p < end; ++walked) {
        skipString();
        skipString();
        skipString();
        p += 12;
        skipString();
    }
    const double seconds = watch.Seconds();
    std::printf("%.6f %u %llu\n", seconds, walked, static_cast<unsigned long long>(sum));
    return p == end ? 0 : 1;
}

// The floor of Save: the same bytes with one write and an fsync into `folder`.
double WriteOnce(const std::string& bytes, const std::string& folder) {
    const std::string name = folder + "/write-once.bin";
    bench::Stopwatch watch;
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
        ::fsync(fd) != 0)
        throw std::runtime_error("cannot write " + name);
    ::close(fd);
    const double seconds = watch.Seconds();
    std::filesystem::remove(name);
    return seconds;
}

std::string ReadAll(const std::string& name) {
    std::string bytes(std::filesystem::file_size(name), '\0');
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(name.c_str(), "rb"), std::fclose);
    if (!f || std::fread(bytes.data(), 1, bytes.size(), f.get()) != bytes.size())
        throw std::runtime_error("cannot read " + name);
    return bytes;
}

// A figure beside its floor: the ratio and, when there is one, its target.
void PrintRatio(const std::string& what, double value, double floor, double target) {
    bench::PrintRow(what, floor > 0 ? value / floor : 0, "x", target);
}

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
            if (arg == "--walk-child" && i + 1 < argc)
                return WalkInFreshProcess(argv[++i]);
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

        // The floor, the load and `mvd check`, each in fresh processes.
        std::vector<double> walkInside, walkWall, walkPeak;
        std::vector<double> loadInside, loadCpu, loadSys, loadWall, loadPeak, loadBase;
        std::vector<double> checkWall, checkUser, checkSys, checkPeak;
        const std::string mvd = (std::filesystem::path(bench::SelfPath()).parent_path() / "mvd");
        const bool withCheck = std::filesystem::exists(mvd);
        const int expected = static_cast<int>(file.records - file.duplicates);
        for (int r = 0; r < repeat; ++r) {
            const bench::ChildRun walk =
                bench::RunMeasured({bench::SelfPath(), "--walk-child", input});
            double seconds = 0;
            unsigned walked = 0;
            if (std::sscanf(walk.output.c_str(), "%lf %u", &seconds, &walked) != 2 ||
                walked != file.records)
                throw std::runtime_error("unexpected walk output: " + walk.output);
            walkInside.push_back(seconds);
            walkWall.push_back(walk.wall);
            walkPeak.push_back(walk.peakMiB);

            const bench::ChildRun load =
                bench::RunMeasured({bench::SelfPath(), "--load-child", input});
            double wall = 0, cpu = 0, peak = 0, base = 0;
            int count = 0;
            if (std::sscanf(load.output.c_str(), "%lf %lf %lf %lf %d", &wall, &cpu, &peak, &base,
                            &count) != 5)
                throw std::runtime_error("unexpected child output: " + load.output);
            if (count != expected)
                throw std::runtime_error("loaded " + std::to_string(count) + " entries, expected " +
                                         std::to_string(expected));
            loadInside.push_back(wall);
            loadCpu.push_back(cpu);
            loadSys.push_back(load.system);
            loadWall.push_back(load.wall);
            loadPeak.push_back(load.peakMiB);
            loadBase.push_back(base);

            if (withCheck) {
                const bench::ChildRun check = bench::RunMeasured({mvd, "check", input});
                checkWall.push_back(check.wall);
                checkUser.push_back(check.user);
                checkSys.push_back(check.system);
                checkPeak.push_back(check.peakMiB);
            }
        }
        const double floorInside = bench::Median(walkInside);
        const double floorWall = bench::Median(walkWall);
        const double fileMiB = static_cast<double>(file.bytes) / (1024.0 * 1024.0);

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
        std::vector<double> writes;
        for (int r = 0; r < repeat; ++r) {
            bench::Stopwatch watch;
            db->Save();
            saves.push_back(watch.Seconds());
        }
        {
            const std::string savedBytes = ReadAll(dir.File("saved.mvd"));
            for (int r = 0; r < repeat; ++r)
                writes.push_back(WriteOnce(savedBytes, dir.Path()));
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
        bench::PrintRow("Boden: Datei einmal gelesen und durchlaufen", floorInside, "s", 0);
        bench::PrintRow("  ganzer Prozess", floorWall, "s", 0);
        bench::PrintRow("  Spitzen-RSS", bench::Median(walkPeak), "MiB", 0);
        bench::PrintRow("LoadFromFile, frischer Prozess", bench::Median(loadInside), "s",
                        full ? 1.0 : 0);
        PrintRatio("  zum Boden", bench::Median(loadInside), floorInside, full ? 3.0 : 0);
        bench::PrintRow("  davon CPU-Zeit (user + sys)", bench::Median(loadCpu), "s", 0);
        bench::PrintRow("  Systemzeit des ganzen Prozesses", bench::Median(loadSys), "s",
                        full ? 0.1 : 0);
        bench::PrintRow("  ganzer Prozess", bench::Median(loadWall), "s", 0);
        PrintRatio("  ganzer Prozess zum Boden", bench::Median(loadWall), floorWall, 0);
        bench::PrintRow("LoadFromFile (Reload), Median", bench::Median(loads), "s", full ? 1.0 : 0);
        PrintRatio("  zum Boden", bench::Median(loads), floorInside, full ? 4.0 : 0);
        bench::PrintRow("Save, Median", bench::Median(saves), "s", full ? 0.5 : 0);
        bench::PrintRow("  ein write und fsync derselben Bytes", bench::Median(writes), "s", 0);
        PrintRatio("  Save dazu", bench::Median(saves), bench::Median(writes), full ? 2.0 : 0);
        bench::PrintRow("SetAndFilter, Median", bench::Median(filters), "s", full ? 0.1 : 0);
        bench::PrintRow("Spitzen-RSS beim Laden (frischer Prozess)", bench::Median(loadPeak), "MiB",
                        full ? 400 : 0);
        bench::PrintRow("  davon vor dem Laden", bench::Median(loadBase), "MiB", 0);
        PrintRatio("  zur Dateigr\u00F6\u00DFe", bench::Median(loadPeak), fileMiB, full ? 1.5 : 0);
        if (withCheck) {
            bench::PrintRow("mvd check, ganzer Prozess", bench::Median(checkWall), "s", 0);
            PrintRatio("  zum Boden (ganzer Prozess)", bench::Median(checkWall), floorWall,
                       full ? 3.5 : 0);
            bench::PrintRow("  user", bench::Median(checkUser), "s", 0);
            bench::PrintRow("  sys", bench::Median(checkSys), "s", 0);
            bench::PrintRow("  Spitzen-RSS", bench::Median(checkPeak), "MiB", 0);
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_core: %s\n", e.what());
        return 1;
    }
}
