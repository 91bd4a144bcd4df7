#include "WindowBench.h"

#include "BenchData.h"
#include "BenchSupport.h"
#include "core/DataBase.h"
#include "gui/MainForm.h"
#include "support/WindowProbe.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QSpinBox>
#include <cstdio>
#include <cstdlib>

namespace bench {

void Settle() {
    QApplication::processEvents();
}

void FillNewEntry(TTestForm& form, int minutes) {
    form.NewItemAction()->trigger();
    form.LanguageBox()->setEditText(QStringLiteral("Bench"));
    form.TypeBox()->setEditText(QStringLiteral("Laufzeit"));
    form.ProjectBox()->setEditText(QStringLiteral("Messung"));
    form.TimeEdit()->setValue(minutes);
    Settle();
}

int RunWindowBenchmark(int argc, char** argv, const RecordsFor& records,
                       const WindowMeasure& measure) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::uint32_t count = argc > 1 ? static_cast<std::uint32_t>(std::atol(argv[1])) : 1000000;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mavrolin"));

    TempDir dir;
    const std::string file = dir.File("bench.mvd");
    WriteDatabaseFile(file, records(count));

    TTestForm form;
    form.show();
    Settle();
    form.Commands().Open(file);
    std::printf("entries in the database: %d\n", form.DataBase().Count());
    return measure(form);
}

} // namespace bench
