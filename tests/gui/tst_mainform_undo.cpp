// Undo and redo in the real main window (offscreen): the captions and enabled
// states of the two commands (also while editing), the current entry after
// undoing a deletion, the close question after undoing back to the saved point.
#include "core/DataBase.h"
#include "gui/MainForm.h"
#include "gui/Prompt.h"
#include "support/CoreTestUtil.h"
#include "support/WindowProbe.h"

#include <QAction>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>
#include <memory>

namespace {

// A shown main window with `n` saved entries; entry i has i + 1 minutes.
std::unique_ptr<TTestForm> MakeForm(int n) {
    auto form = std::make_unique<TTestForm>();
    std::vector<TRecordData> entries;
    for (int i = 0; i < n; ++i)
        entries.push_back(coretest::Entry("C++", "Zeiger", "Alpha", coretest::Day(2001, 3, 7),
                                          static_cast<unsigned>(i + 1)));
    form->Fill(entries);
    form->show();
    form->activateWindow();
    if (!QTest::qWaitForWindowActive(form.get()))
        qWarning("main window not active");
    return form;
}

// Runs one of the steps that the window can undo.
void RunStep(TTestForm& form, const QString& step, const QString& importFile) {
    if (step == QLatin1String("delete")) {
        Prompt::Testing::QueueAnswer(Prompt::Yes);
        form.DeleteItemAction()->trigger();
    } else if (step == QLatin1String("import")) {
        Prompt::Testing::QueueFile(importFile);
        form.ImportDataBaseAction()->trigger();
    } else {
        (step == QLatin1String("new") ? form.NewItemAction() : form.ChangeItemAction())->trigger();
        form.LanguageBox()->setEditText(QStringLiteral("Rust"));
        form.OkButton()->click();
    }
}

} // namespace

class MainFormUndoTest : public QObject {
    Q_OBJECT
private slots:
    void init() { Prompt::Testing::Begin(); }
    void cleanup() { Prompt::Testing::End(); }

    void captionsAndEnabledStates_data() {
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("after"); // entries after the step
        QTest::newRow("new") << "new"
                             << "neuer Datensatz" << 4;
        QTest::newRow("change") << "change"
                                << "Datensatz ändern" << 3;
        QTest::newRow("delete") << "delete"
                                << "Datensatz löschen" << 2;
        QTest::newRow("import") << "import"
                                << "Datenbank importieren" << 5;
    }
    void captionsAndEnabledStates() {
        QFETCH(QString, step);
        QFETCH(QString, name);
        QFETCH(int, after);
        QTemporaryDir dir;
        TDataBase other;
        for (unsigned minutes : {8u, 9u})
            other.AddRecord(coretest::Entry("Java", "Zeiger", "Beta", 1.0, minutes));
        other.FileName = coretest::Native(dir.filePath(QStringLiteral("other.mvd")));
        other.Save();
        auto form = MakeForm(3);
        auto state = [&form] {
            return QStringList{
                form->UndoAction()->text(), QString::number(form->UndoAction()->isEnabled()),
                form->RedoAction()->text(), QString::number(form->RedoAction()->isEnabled())};
        };
        const QString undo = "&Rückgängig", redo = "&Wiederherstellen";
        QCOMPARE(state(), (QStringList{undo, "0", redo, "0"}));
        RunStep(*form, step, QString::fromStdString(other.FileName));
        QCOMPARE(state(), (QStringList{undo + ": " + name, "1", redo, "0"}));
        // Editing: no undo, no redo; Ctrl+Z in a field undoes the typing there.
        form->ChangeItemAction()->trigger();
        QCOMPARE(state(), (QStringList{undo + ": " + name, "0", redo, "0"}));
        QTest::keyClicks(form->DescriptionMemo(), QStringLiteral("xy"));
        QTest::keyClick(form->DescriptionMemo(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!form->DescriptionMemo()->toPlainText().contains(QStringLiteral("xy")));
        QCOMPARE(form->DataBase().Count(), after);
        form->CancelButton()->click();
        form->UndoAction()->trigger();
        QCOMPARE(state(), (QStringList{undo, "0", redo + ": " + name, "1"}));
        QCOMPARE(form->DataBase().Count(), 3);
        form->RedoAction()->trigger();
        QCOMPARE(state(), (QStringList{undo + ": " + name, "1", redo, "0"}));
        QCOMPARE(form->DataBase().Count(), after);
    }

    // The deleted entry comes back at its place as the current one, shown in
    // the panel; redo makes its neighbour current again.
    void undoDeletionRestoresCurrentEntry() {
        auto form = MakeForm(5);
        form->SetCurrentItem(2);
        form->ShowSelectedRecord();
        TDataRecord* entry = form->ItemRecord(2);
        TDataRecord* neighbour = form->ItemRecord(3);
        QCOMPARE(form->DataBase().GetRecord(2), entry); // listed by ID, highest first
        Prompt::Testing::QueueAnswer(Prompt::Yes);
        form->DeleteItemAction()->trigger();
        QCOMPARE(form->ItemRecord(form->CurrentItem()), neighbour);
        form->UndoAction()->trigger();
        QCOMPARE(form->ItemCount(), 5);
        QCOMPARE(form->ItemRecord(form->CurrentItem()), entry);
        QCOMPARE(form->DataBase().GetRecord(2), entry);
        QCOMPARE(form->TimeEdit()->value(), static_cast<int>(entry->TimeNeeded));
        QVERIFY(form->DeleteItemAction()->isEnabled() && form->ChangeItemAction()->isEnabled());
        form->RedoAction()->trigger();
        QCOMPARE(form->ItemRecord(form->CurrentItem()), neighbour);
    }

    // Saving marks the point; undoing back to it needs no question, a step
    // away from it does.
    void closeQuestionFollowsTheSavedPoint_data() {
        QTest::addColumn<int>("undos");
        QTest::addColumn<int>("redos");
        QTest::addColumn<bool>("asked");
        QTest::newRow("at the saved point") << 1 << 0 << false;
        QTest::newRow("step away again") << 1 << 1 << true;
        QTest::newRow("behind the saved point") << 2 << 0 << true;
    }
    void closeQuestionFollowsTheSavedPoint() {
        QFETCH(int, undos);
        QFETCH(int, redos);
        QFETCH(bool, asked);
        QTemporaryDir dir;
        auto form = MakeForm(4);
        form->Commands().Name(coretest::Native(dir.filePath(QStringLiteral("saved.mvd"))));
        Prompt::Testing::QueueAnswer(Prompt::Yes);
        form->DeleteItemAction()->trigger();
        form->SaveDataBaseAction()->trigger();
        Prompt::Testing::QueueAnswer(Prompt::Yes);
        form->DeleteItemAction()->trigger();
        for (int i = 0; i < undos; ++i)
            form->UndoAction()->trigger();
        for (int i = 0; i < redos; ++i)
            form->RedoAction()->trigger();
        const auto shown = Prompt::Testing::Messages().size();
        Prompt::Testing::QueueAnswer(Prompt::Cancel);
        const bool closed = form->close(); // "Abbrechen" keeps it open
        QCOMPARE(Prompt::Testing::Messages().size() > shown, asked);
        QCOMPARE(!closed, asked);
    }
};

QTEST_MAIN(MainFormUndoTest)
#include "tst_mainform_undo.moc"
