// Measures the quick search on a main window that lists 1,000,000 entries
// (offscreen unless a display is chosen): for each change of the search text,
// the time from the end of the typing pause until the list shows the result
// (matching in slices, then the list rebuilt), and the longest time the window
// could not handle an event meanwhile (a key typed then waits that long).
// Also the resident memory that searching adds at its peak.
//
//   bench_search [entries]
#include "BenchSupport.h"
#include "WindowBench.h"
#include "core/DataBase.h"
#include "gui/MainForm.h"
#include "support/WindowProbe.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Resident memory now and at its peak since the last ResetPeak, in MiB.
double StatusMiB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::stod(line.substr(std::string(field).size())) / 1024.0;
    return -1.0;
}
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

struct Change {
    double seconds = 0;      // pause over -> list shows the result
    double cpu = 0;          // CPU time of the process meanwhile
    double longestBlock = 0; // longest time between two turns of the event loop
    int listed = 0;
};

// Applies `text` as if typed and the pause had passed; a zero timer fires at
// every turn of the event loop and records the gaps between its turns.
Change Apply(TTestForm& form, const QString& text) {
    {
        const QSignalBlocker quiet(form.SearchEdit()); // no pause: it is measured from its end
        form.SearchEdit()->setText(text);
    }
    QElapsedTimer gap;
    double longest = 0;
    QTimer probe;
    probe.setInterval(0);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        longest = std::max(longest, static_cast<double>(gap.nsecsElapsed()) / 1e9);
        gap.restart();
    });
    probe.start();
    bench::Stopwatch watch;
    const double cpu = bench::CpuSeconds();
    gap.start();
    form.Search().SearchTimerTimer();
    while (form.SearchPending())
        QApplication::processEvents();
    bench::Settle(); // the repaint of the list
    Change change;
    change.seconds = watch.Seconds();
    change.cpu = bench::CpuSeconds() - cpu;
    change.longestBlock = std::max(longest, static_cast<double>(gap.nsecsElapsed()) / 1e9);
    change.listed = form.ItemCount();
    return change;
}

int Measure(TTestForm& form) {
    form.RebuildList();
    bench::Settle();
    const double baseline = StatusMiB("VmRSS:");
    ResetPeak();
    // Typing from nothing (the listed rows are narrowed), a new word that
    // widens the search (the database is matched and the result sorted),
    // and clearing it (every entry listed and sorted again), in the list's
    // own order and sorted by "Datum" and by "Kategorie".
    const std::vector<QString> texts = {"e",    "er",       "erw",    "zeiger", "zeiger 2",
                                        "z",    "müller x", "müller", "",       "kasse",
                                        "BÜRO", "ß",        "2003",   ""};
    std::vector<std::vector<double>> seconds(texts.size()), cpus(texts.size()),
        blocks(texts.size());
    std::vector<int> listed(texts.size());
    const int rounds = 5;
    for (int round = 0; round < rounds; ++round) {
        // The last two rounds sorted by "Datum" and by "Kategorie".
        if (round == rounds - 2)
            emit form.ListView()->horizontalHeader()->sectionClicked(2);
        if (round == rounds - 1)
            emit form.ListView()->horizontalHeader()->sectionClicked(1);
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const Change c = Apply(form, texts[i]);
            seconds[i].push_back(c.seconds);
            cpus[i].push_back(c.cpu);
            blocks[i].push_back(c.longestBlock);
            listed[i] = c.listed;
        }
    }
    const double peak = StatusMiB("VmHWM:");
    std::printf("%-12s %9s %14s %10s %16s\n", "search", "listed", "applied (ms)", "CPU (ms)",
                "longest block (ms)");
    double worst = 0, worstBlock = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const double median = bench::Median(seconds[i]);
        const double block = *std::max_element(blocks[i].begin(), blocks[i].end());
        worst = std::max(worst, median);
        worstBlock = std::max(worstBlock, block);
        std::printf("%-12s %9d %14.1f %10.1f %16.1f\n",
                    ("\"" + texts[i].toStdString() + "\"").c_str(), listed[i], median * 1000.0,
                    bench::Median(cpus[i]) * 1000.0, block * 1000.0);
    }
    bench::PrintRow("slowest search change applied (median of 5)", worst * 1000.0, "ms", 150.0);
    bench::PrintRow("longest block of the window while searching (max)", worstBlock * 1000.0, "ms",
                    0.0);
    bench::PrintRow("resident memory before searching", baseline, "MiB", 0.0);
    bench::PrintRow("peak resident memory while searching", peak, "MiB", 0.0);
    bench::PrintRow("peak added by searching", (peak - baseline) / baseline * 100.0, "%", 10.0);
    std::printf("CPU time of the process: %.2f s\n", bench::CpuSeconds());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    return bench::RunWindowBenchmark(
        argc, argv, [](std::uint32_t count) { return count; }, Measure);
}
