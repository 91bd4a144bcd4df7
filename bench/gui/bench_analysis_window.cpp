// Measures the analysis window on a main window that lists about 1,000,000
// entries (offscreen unless a display is chosen): opening it to the painted
// chart (the window counts afresh at each opening), the heap it keeps while
// open and the most it needs while opening, a filter change and a new entry
// with the window open (list and window brought up to date).
//
//   bench_analysis_window [entries]   (at least that many entries are loaded)
#include "BenchSupport.h"
#include "WindowBench.h"
#include "core/DataBase.h"
#include "gui/AnalysisForm.h"
#include "gui/MainForm.h"
#include "support/WindowProbe.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <malloc.h>
#include <vector>

namespace {

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double HeapMiB() {
    return static_cast<double>(mallinfo2().uordblks) / (1024.0 * 1024.0);
}

// Opens the window and waits until it is painted; returns the seconds, and
// adds the CPU seconds of this thread (a busy machine disturbs them less).
double Open(TTestForm& form, std::vector<double>* cpu = nullptr) {
    const double cpuBefore = ThreadCpuSeconds();
    bench::Stopwatch watch;
    form.AnalysisAction()->trigger();
    bench::Settle();
    form.AnalysisForm()->repaint(); // the chart painted, not only scheduled
    const double seconds = watch.Seconds();
    if (cpu)
        cpu->push_back(ThreadCpuSeconds() - cpuBefore);
    return seconds;
}

int Measure(TTestForm& form) {
    form.RebuildList();
    bench::Settle();
    const double before = HeapMiB();
    std::vector<double> opened, openedCpu;
    double kept = 0.0;
    for (int round = 0; round < 5; ++round) {
        opened.push_back(Open(form, &openedCpu));
        kept = std::max(kept, HeapMiB() - before);
        form.AnalysisForm()->hide();
        bench::Settle();
    }
    Open(form);
    std::vector<double> filtered, added;
    for (int round = 0; round < 5; ++round) {
        // Every other language unticked, then all ticked again.
        const TDataBase& db = form.DataBase();
        TFilterTicks ticks{std::vector<bool>(static_cast<std::size_t>(db.Languages.Count()), true),
                           std::vector<bool>(static_cast<std::size_t>(db.ErrorTypes.Count()), true),
                           std::vector<bool>(static_cast<std::size_t>(db.Projects.Count()), true),
                           true};
        for (std::size_t i = 0; i < ticks.Languages.size(); i += 2)
            ticks.Languages[i] = round % 2 != 0;
        bench::Stopwatch f;
        form.Commands().SetFilter(ticks); // the list follows
        bench::Settle();
        form.AnalysisForm()->repaint();
        filtered.push_back(f.Seconds());

        bench::FillNewEntry(form, round + 1);
        bench::Stopwatch a;
        form.OkButton()->click();
        bench::Settle();
        form.AnalysisForm()->repaint();
        added.push_back(a.Seconds());
    }
    std::printf("listed entries: %d, groups shown: %s\n", form.ItemCount(),
                qPrintable(form.AnalysisForm()->GroupingBox->currentText()));
    bench::PrintRow("opening the window to the painted chart (median of 5)",
                    bench::Median(opened) * 1000.0, "ms", 300.0);
    bench::PrintRow("    CPU time", bench::Median(openedCpu) * 1000.0, "ms", 0.0);
    bench::PrintRow("heap the open window keeps (most of 5)", kept, "MiB", 16.0);
    bench::PrintRow("filter change, list and window (median of 5)",
                    bench::Median(filtered) * 1000.0, "ms", 0.0);
    bench::PrintRow("OK of a new entry, list and window (median of 5)",
                    bench::Median(added) * 1000.0, "ms", 0.0);
    std::printf("peak resident memory of the process: %.0f MiB\n", bench::PeakRssMiB());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // The generated file repeats about 2 % of its records: write enough that
    // at least `count` entries remain.
    return bench::RunWindowBenchmark(
        argc, argv, [](std::uint32_t count) { return count + count / 40; }, Measure);
}
