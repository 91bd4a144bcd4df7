// Measures the editing and filter commands of the main window on a database of
// 1,000,000 entries (offscreen unless a display is chosen): confirming the
// filter dialog (flags, SetAndFilter, RebuildList), OK of a new entry, OK of a
// change, and a deletion. Each figure includes the events that the command
// leaves queued (repaint of the list), as the user would wait for them.
//
//   bench_edit [entries]   (at least that many entries are loaded)
#include "BenchSupport.h"
#include "WindowBench.h"
#include "core/DataBase.h"
#include "gui/FilterForm.h"
#include "gui/MainForm.h"
#include "gui/Prompt.h"
#include "support/WindowProbe.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

namespace {

// Runs the filter command; `ticks` sets the dialog before OK. Returns the
// seconds from OK to the rebuilt list.
double ConfirmFilter(TTestForm& form, const std::function<void(TFilterForm&)>& ticks) {
    std::optional<bench::Stopwatch> watch;
    std::function<void()> answer = [&] {
        auto* dialog = qobject_cast<TFilterForm*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            QTimer::singleShot(1, answer);
            return;
        }
        ticks(*dialog);
        watch.emplace();
        dialog->OkButton->click();
    };
    QTimer::singleShot(0, answer);
    form.FilterAction()->trigger();
    bench::Settle();
    return watch ? watch->Seconds() : -1.0;
}

int Measure(TTestForm& form) {
    Prompt::Testing::Begin(); // the delete question is answered from the queue
    form.RebuildList();
    bench::Settle();
    std::vector<double> filter, added, changed, deleted;
    for (int round = 0; round < 5; ++round) {
        // Every other language unticked, AND mode; then everything shown again.
        filter.push_back(ConfirmFilter(form, [](TFilterForm& d) {
            for (int i = 0; i < d.LanguageCheck->count(); i += 2)
                d.LanguageCheck->item(i)->setCheckState(Qt::Unchecked);
            d.AndFilterCheckBox->setChecked(true);
        }));
        filter.push_back(ConfirmFilter(form, [](TFilterForm& d) { d.FilterResetClick(); }));

        // A new entry (listed, sorted in by ID at the top).
        bench::FillNewEntry(form, round + 1);
        bench::Stopwatch a;
        form.OkButton()->click();
        bench::Settle();
        added.push_back(a.Seconds());

        // A change of an entry in the middle of the list.
        form.SetCurrentItem(form.ItemCount() / 2);
        form.ShowSelectedRecord();
        form.ChangeItemAction()->trigger();
        form.DescriptionMemo()->setPlainText(QStringLiteral("geändert in Runde %1").arg(round));
        bench::Settle();
        bench::Stopwatch c;
        form.OkButton()->click();
        bench::Settle();
        changed.push_back(c.Seconds());

        // Deleting the entry added above (current after a jump to the top).
        form.FirstItemAction()->trigger();
        bench::Settle();
        Prompt::Testing::QueueAnswer(Prompt::Yes);
        bench::Stopwatch d;
        form.DeleteItemAction()->trigger();
        bench::Settle();
        deleted.push_back(d.Seconds());
    }
    std::printf("listed entries: %d, messages shown: %lld\n", form.ItemCount(),
                static_cast<long long>(Prompt::Testing::Messages().size()));
    auto worst = [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); };
    std::printf("slowest: filter %.3f s, new %.3f ms, change %.3f ms, deletion %.3f ms\n",
                worst(filter), worst(added) * 1000.0, worst(changed) * 1000.0,
                worst(deleted) * 1000.0);
    bench::PrintRow("filter dialog OK: flags, SetAndFilter, RebuildList (median of 10)",
                    bench::Median(filter), "s", 1.5);
    bench::PrintRow("OK of a new entry (median of 5)", bench::Median(added) * 1000.0, "ms", 50.0);
    bench::PrintRow("OK of a change (median of 5)", bench::Median(changed) * 1000.0, "ms", 50.0);
    bench::PrintRow("deletion (median of 5)", bench::Median(deleted) * 1000.0, "ms", 50.0);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // The generated file repeats about 2 % of its records, which the load
    // skips: write enough that at least `count` entries remain.
    return bench::RunWindowBenchmark(
        argc, argv, [](std::uint32_t count) { return count + count / 40; }, Measure);
}
