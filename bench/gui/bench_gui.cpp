// Measures the main window's record list on a database of 1,000,000 entries
// (offscreen unless a display is chosen): RebuildList, a header click that
// sorts by "Kategorie", moving to the last item and back, the heap that the
// list adds per listed entry, and "Datenbank laden" of the same file from the
// chosen file to the list painted with its first rows.
#include "BenchSupport.h"
#include "WindowBench.h"
#include "core/DataBase.h"
#include "gui/MainForm.h"
#include "gui/Prompt.h"
#include "gui/RecordListModel.h"
#include "support/WindowProbe.h"

#include <QAction>
#include <QHeaderView>
#include <QTableView>
#include <cstdio>
#include <malloc.h>
#include <vector>

namespace {

std::size_t HeapInUse() {
    return mallinfo2().uordblks;
}

// "Datenbank laden" with the file dialog answered: from the command to the
// list painted with its first rows, median of 5.
double LoadThroughMenu(TTestForm& form) {
    const QString file = QString::fromStdString(form.DataBase().FileName);
    std::vector<double> loads;
    Prompt::Testing::Begin();
    for (int round = 0; round < 5; ++round) {
        Prompt::Testing::QueueFile(file);
        bench::Stopwatch w;
        form.LoadDataBaseAction()->trigger();
        bench::Settle();
        form.ListView()->viewport()->repaint();
        loads.push_back(w.Seconds());
    }
    Prompt::Testing::End();
    return bench::Median(loads);
}

int Measure(TTestForm& form) {
    const double loaded = LoadThroughMenu(form);
    std::vector<double> rebuild, sort, navigate;
    std::size_t perEntry = 0;
    for (int round = 0; round < 5; ++round) {
        form.List().ClearList();
        bench::Settle();
        const std::size_t before = HeapInUse();
        bench::Stopwatch w;
        form.RebuildList();
        bench::Settle();
        rebuild.push_back(w.Seconds());
        const std::size_t after = HeapInUse();
        const int listed = form.ItemCount();
        if (listed > 0 && after > before)
            perEntry = (after - before) / static_cast<std::size_t>(listed);

        // Two clicks on "Kategorie": larger first, then smaller first.
        QHeaderView* header = form.ListView()->horizontalHeader();
        for (int click = 0; click < 2; ++click) {
            bench::Stopwatch s;
            emit header->sectionClicked(1);
            bench::Settle();
            sort.push_back(s.Seconds());
        }
        form.ListViewColumnClick(1); // back to larger first for the next round
        form.List().SetSort(ckNone, form.SortDescending());

        bench::Stopwatch n;
        form.LastItemAction()->trigger();
        bench::Settle();
        form.FirstItemAction()->trigger();
        bench::Settle();
        navigate.push_back(n.Seconds());
    }
    std::printf("listed entries: %d\n", form.ItemCount());
    bench::PrintRow("RebuildList (median of 5)", bench::Median(rebuild), "s", 1.0);
    bench::PrintRow("header click sorting by Kategorie (median of 10)", bench::Median(sort), "s",
                    1.0);
    bench::PrintRow("last item and back (median of 5)", bench::Median(navigate) * 1000.0, "ms",
                    50.0);
    bench::PrintRow("heap added per listed entry", static_cast<double>(perEntry), "bytes", 16.0);
    bench::PrintRow("\"Datenbank laden\" to the painted rows (median of 5)", loaded, "s", 0.0);
    bench::PrintRow("peak resident memory", bench::PeakRssMiB(), "MiB", 0.0);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    return bench::RunWindowBenchmark(
        argc, argv, [](std::uint32_t count) { return count; }, Measure);
}
