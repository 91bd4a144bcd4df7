// Measures "Druckvorschau..." on a main window that lists about 1,000,000
// entries (offscreen unless a display is chosen): from the command to the
// first page painted in the preview (the list copied, its pages counted on
// the printer at 1200 dpi, the dialog shown), five times; the memory that
// the open preview adds (heap kept, and the resident peak above the resident
// size before it); and paging to the last page.
//
//   bench_print_preview [entries]   (at least that many entries are loaded)
#include "BenchSupport.h"
#include "WindowBench.h"
#include "gui/PreviewPages.h"
#include "gui/PrintPreviewForm.h"
#include "support/WindowProbe.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <string>
#include <vector>

namespace {

double HeapMiB() {
    return static_cast<double>(mallinfo2().uordblks) / (1024.0 * 1024.0);
}

// VmRSS or VmHWM of this process in MiB.
double StatusMiB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::stod(line.substr(std::string(field).size() + 1)) / 1024.0;
    return 0.0;
}

struct Opening {
    double firstPage = 0; // seconds to the first painted page
    double lastPage = 0;  // seconds from End to the last page painted
    double heapAdded = 0; // MiB the open preview keeps
    double peakAdded = 0; // MiB resident at the peak above before
    int pages = 0;
    QString label;
};

// Opens the preview, waits for its first painted page, goes to the last page
// and closes it.
Opening Open(TTestForm& form) {
    Opening opening;
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5"; // the resident peak starts anew
    const double rssBefore = StatusMiB("VmRSS:");
    const double heapBefore = HeapMiB();
    QElapsedTimer clock;
    auto* poll = new QTimer(&form);
    bool ended = false;
    QObject::connect(poll, &QTimer::timeout, poll, [&] {
        auto* preview = qobject_cast<TPrintPreviewForm*>(QApplication::activeModalWidget());
        if (preview == nullptr || preview->Pages->PaintCount() == 0)
            return;
        if (opening.firstPage == 0) {
            opening.firstPage = static_cast<double>(clock.nsecsElapsed()) / 1e9;
            opening.heapAdded = HeapMiB() - heapBefore;
            opening.peakAdded = StatusMiB("VmHWM:") - rssBefore;
            opening.pages = preview->Pages->PageCount();
            clock.restart();
            QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
            QApplication::sendEvent(preview->Pages, &end);
            return;
        }
        if (!ended && preview->Pages->LastPainted() == opening.pages - 1) {
            ended = true;
            opening.lastPage = static_cast<double>(clock.nsecsElapsed()) / 1e9;
            opening.label = preview->PageLabel->text();
            preview->reject();
            poll->deleteLater();
        }
    });
    poll->start(1);
    clock.start();
    form.PrintPreviewAction()->trigger();
    bench::Settle();
    return opening;
}

int Measure(TTestForm& form) {
    form.RebuildList();
    bench::Settle();
    std::printf("resident memory with the list shown: %.0f MiB\n", StatusMiB("VmRSS:"));
    std::vector<double> first, last;
    double heap = 0, peak = 0;
    Opening opening;
    for (int round = 0; round < 5; ++round) {
        opening = Open(form);
        first.push_back(opening.firstPage * 1000.0);
        last.push_back(opening.lastPage * 1000.0);
        heap = std::max(heap, opening.heapAdded);
        peak = std::max(peak, opening.peakAdded);
    }
    std::printf("listed entries: %d, pages: %d, at the end: %s\n", form.ItemCount(), opening.pages,
                qPrintable(opening.label));
    bench::PrintRow("command to the first painted page (median of 5)", bench::Median(first), "ms",
                    1000.0);
    bench::PrintRow("End to the last page painted (median of 5)", bench::Median(last), "ms", 0.0);
    bench::PrintRow("heap the open preview keeps (most of 5)", heap, "MiB", 50.0);
    bench::PrintRow("resident peak added while opening (most of 5)", peak, "MiB", 50.0);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // The generated file repeats about 2 % of its records: write enough that
    // at least `count` entries remain.
    return bench::RunWindowBenchmark(
        argc, argv, [](std::uint32_t count) { return count + count / 40; }, Measure);
}
