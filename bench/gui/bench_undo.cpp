// Measures undo and redo in the main window on a database of 1,000,000 entries
// (offscreen unless a display is chosen): single steps (a deletion, a change,
// a new entry) with the million listed, and the import of another file of a
// million entries as one step. Each figure includes the events that the
// command leaves queued, as the user would wait for them.
//
//   bench_undo [entries]   (at least that many entries are loaded and imported)
#include "BenchData.h"
#include "BenchSupport.h"
#include "WindowBench.h"
#include "commands/DataBaseCommands.h"
#include "core/DataBase.h"
#include "gui/MainForm.h"
#include "gui/Prompt.h"
#include "support/WindowProbe.h"

#include <QAction>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

// Wall seconds of a command with the events it leaves queued; `cpu` gets
// the process's CPU seconds, less disturbed when other work shares the machine.
double Timed(const std::function<void()>& command, std::vector<double>& cpu) {
    const double cpuBefore = bench::CpuSeconds();
    bench::Stopwatch watch;
    command();
    bench::Settle();
    cpu.push_back(bench::CpuSeconds() - cpuBefore);
    return watch.Seconds();
}

void Row(const char* what, std::vector<double>& wall, std::vector<double>& cpu, double scale,
         const char* unit, double target) {
    bench::PrintRow(std::string(what) + " (median of 5)", bench::Median(wall) * scale, unit,
                    target);
    bench::PrintRow(std::string(what) + ", CPU time", bench::Median(cpu) * scale, unit, target);
}

int Measure(TTestForm& form) {
    Prompt::Testing::Begin(); // questions and the file dialog are answered from the queue
    form.RebuildList();
    bench::Settle();
    const int loaded = form.DataBase().Count();
    auto undo = [&form] { form.UndoAction()->trigger(); };
    auto redo = [&form] { form.RedoAction()->trigger(); };
    // The deletion itself is measured too, as the yardstick under the same load.
    std::vector<double> del, delCpu, undoDel, undoDelCpu, redoDel, redoDelCpu, undoChange,
        undoChangeCpu, undoNew, undoNewCpu;
    for (int round = 0; round < 5; ++round) {
        form.SetCurrentItem(form.ItemCount() / 2);
        form.ShowSelectedRecord();
        Prompt::Testing::QueueAnswer(Prompt::Yes);
        del.push_back(Timed([&form] { form.DeleteItemAction()->trigger(); }, delCpu));
        undoDel.push_back(Timed(undo, undoDelCpu));
        redoDel.push_back(Timed(redo, redoDelCpu));

        form.SetCurrentItem(form.ItemCount() / 3);
        form.ShowSelectedRecord();
        form.ChangeItemAction()->trigger();
        form.DescriptionMemo()->setPlainText(QStringLiteral("geändert in Runde %1").arg(round));
        form.OkButton()->click();
        bench::Settle();
        undoChange.push_back(Timed(undo, undoChangeCpu));

        form.NewItemAction()->trigger();
        form.LanguageBox()->setEditText(QStringLiteral("Bench"));
        form.TypeBox()->setEditText(QStringLiteral("Laufzeit"));
        form.ProjectBox()->setEditText(QStringLiteral("Messung %1").arg(round));
        form.OkButton()->click();
        bench::Settle();
        undoNew.push_back(Timed(undo, undoNewCpu));
    }
    std::printf("listed entries: %d\n", form.ItemCount());
    Row("deletion itself", del, delCpu, 1000.0, "ms", 0.0);
    Row("undo of a deletion", undoDel, undoDelCpu, 1000.0, "ms", 20.0);
    Row("redo of a deletion", redoDel, redoDelCpu, 1000.0, "ms", 20.0);
    Row("undo of a change", undoChange, undoChangeCpu, 1000.0, "ms", 20.0);
    Row("undo of a new entry", undoNew, undoNewCpu, 1000.0, "ms", 20.0);

    // Another file of as many entries, imported on top as one step.
    bench::TempDir dir;
    const std::string other = dir.File("import.mvd");
    bench::WriteDatabaseFile(other, static_cast<std::uint32_t>(loaded), 77);
    Prompt::Testing::QueueFile(QString::fromStdString(other));
    form.ImportDataBaseAction()->trigger();
    bench::Settle();
    const int imported = form.DataBase().Count() - loaded;
    std::vector<double> undoImport, undoImportCpu, redoImport, redoImportCpu;
    for (int round = 0; round < 5; ++round) {
        undoImport.push_back(Timed(undo, undoImportCpu));
        redoImport.push_back(Timed(redo, redoImportCpu));
    }
    // The command layer's share: the same steps with the window not told (the
    // list is not painted in between, and redo brings back the same entries).
    std::vector<double> layerUndo, layerUndoCpu, layerRedo, layerRedoCpu;
    {
        const QSignalBlocker quiet(&form.Commands());
        for (int round = 0; round < 5; ++round) {
            const double cpu = bench::CpuSeconds();
            bench::Stopwatch u;
            form.Commands().Undo();
            layerUndo.push_back(u.Seconds());
            layerUndoCpu.push_back(bench::CpuSeconds() - cpu);
            const double cpu2 = bench::CpuSeconds();
            bench::Stopwatch r;
            form.Commands().Redo();
            layerRedo.push_back(r.Seconds());
            layerRedoCpu.push_back(bench::CpuSeconds() - cpu2);
        }
    }
    Row("undo of the import, command layer only", layerUndo, layerUndoCpu, 1.0, "s", 0.0);
    Row("redo of the import, command layer only", layerRedo, layerRedoCpu, 1.0, "s", 0.0);
    std::printf("imported entries: %d, listed after redo: %d, peak memory %.0f MiB\n", imported,
                form.ItemCount(), bench::PeakRssMiB());
    Row("undo of the import", undoImport, undoImportCpu, 1.0, "s", 0.5);
    Row("redo of the import", redoImport, redoImportCpu, 1.0, "s", 0.5);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // The generated file repeats about 2 % of its records, which the load
    // skips: write enough that at least `count` entries remain.
    return bench::RunWindowBenchmark(
        argc, argv, [](std::uint32_t count) { return count + count / 40; }, Measure);
}
