#pragma once

#include <chrono>
#include <string>
#include <vector>

// Small helpers shared by the benchmark programs: timing, memory figures and
// the printed result table.
namespace bench {

class Stopwatch {
public:
    Stopwatch() : start_(std::chrono::steady_clock::now()) {}
    [[nodiscard]] double Seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }

private:
    std::chrono::steady_clock::time_point start_;
};

// Peak resident memory of this process so far, in MiB (getrusage).
double PeakRssMiB();

// CPU time (user + system) of this process so far, in seconds. Less disturbed
// than wall time when other work shares the machine.
double CpuSeconds();

// Median of the samples (the samples are sorted in place).
double Median(std::vector<double>& samples);

// One line of the result table: what was measured, the figure, the target
// (target <= 0: no target) and whether it was met.
void PrintRow(const std::string& what, double value, const std::string& unit, double target);

// The path of this program (for measuring in a fresh process of itself).
std::string SelfPath();

// Runs `command` through the shell and returns what it printed on stdout;
// throws when it cannot be started or fails.
std::string RunAndCapture(const std::string& command);

// What a finished child process used, from wait4: wall time measured around
// it, user and system CPU time, peak resident memory; and what it printed.
struct ChildRun {
    double wall = 0, user = 0, system = 0, peakMiB = 0;
    std::string output;
};

// Runs `args` (args[0] the program) without a shell and measures it; throws
// when it cannot be started or exits with another status than `expectedStatus`.
ChildRun RunMeasured(const std::vector<std::string>& args, int expectedStatus = 0);

// A fresh folder under the system's temporary folder, removed with its files
// when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    [[nodiscard]] const std::string& Path() const { return path_; }
    [[nodiscard]] std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

} // namespace bench
