// Measures the main window's record list on a database of 1,000,000 entries
// (offscreen unless a display is chosen): RebuildList, a header click that
// sorts by "Kategorie", moving to the last item and back, and the heap that the
// list adds per listed entry.
#include "BenchData.h"
#include "BenchSupport.h"
#include "DataBase.h"
#include "MainForm.h"
#include "RecordListModel.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QTableView>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <vector>

namespace {

std::size_t heapInUse() {
    return mallinfo2().uordblks;
}

void settle() {
    QApplication::processEvents();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::uint32_t count = argc > 1 ? static_cast<std::uint32_t>(std::atol(argv[1])) : 1000000;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mavrolin"));

    bench::TempDir dir;
    const std::string file = dir.File("bench.mvd");
    bench::WriteDatabaseFile(file, count);

    TMainForm form;
    form.show();
    settle();
    form.DataBase->FileName = file;
    form.DataBase->Reload();
    std::printf("entries in the database: %d\n", form.DataBase->Count());

    std::vector<double> rebuild, sort, navigate;
    std::size_t perEntry = 0;
    for (int round = 0; round < 5; ++round) {
        form.ClearList();
        settle();
        const std::size_t before = heapInUse();
        bench::Stopwatch w;
        form.RebuildList();
        settle();
        rebuild.push_back(w.Seconds());
        const std::size_t after = heapInUse();
        const int listed = form.ItemCount();
        if (listed > 0 && after > before)
            perEntry = (after - before) / static_cast<std::size_t>(listed);

        // Two clicks on "Kategorie": larger first, then smaller first.
        QHeaderView* header = form.ListView->horizontalHeader();
        for (int click = 0; click < 2; ++click) {
            bench::Stopwatch s;
            emit header->sectionClicked(1);
            settle();
            sort.push_back(s.Seconds());
        }
        form.ListViewColumnClick(1); // back to larger first for the next round
        form.SortColumn = ckNone;

        bench::Stopwatch n;
        form.LastItemAction->trigger();
        settle();
        form.FirstItemAction->trigger();
        settle();
        navigate.push_back(n.Seconds());
    }
    std::printf("listed entries: %d\n", form.ItemCount());
    bench::PrintRow("RebuildList (median of 5)", bench::Median(rebuild), "s", 1.0);
    bench::PrintRow("header click sorting by Kategorie (median of 10)", bench::Median(sort), "s",
                    1.0);
    bench::PrintRow("last item and back (median of 5)", bench::Median(navigate) * 1000.0, "ms",
                    50.0);
    bench::PrintRow("heap added per listed entry", static_cast<double>(perEntry), "bytes", 16.0);
    bench::PrintRow("peak resident memory", bench::PeakRssMiB(), "MiB", 0.0);
    return 0;
}
