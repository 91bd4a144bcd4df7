// Undo and redo in the real main window (offscreen): the captions and enabled
// states of the two commands, the current entry after undoing a deletion, the
// close question after undoing back to the saved point, and Ctrl+Z while an
// entry is being edited.
#include "CoreTestUtil.h"
#include "DataBase.h"
#include "MainForm.h"
#include "Prompt.h"

#include <QAction>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>
#include <memory>

namespace {

// A shown main window with `n` saved entries; entry i has i + 1 minutes.
std::unique_ptr<TMainForm> MakeForm(int n) {
    auto form = std::make_unique<TMainForm>();
    for (int i = 0; i < n; ++i)
        form->DataBase->AddRecord(coretest::Entry(
            "C++", "Zeiger", "Alpha", coretest::Day(2001, 3, 7), static_cast<unsigned>(i + 1)));
    form->DataBase->Modified = false;
    form->RebuildList();
    form->show();
    form->activateWindow();
    if (!QTest::qWaitForWindowActive(form.get()))
        qWarning("main window not active");
    return form;
}

// Runs one of the steps that the window can undo.
void RunStep(TMainForm& form, const QString& step, const QString& importFile) {
    if (step == QLatin1String("delete")) {
        Prompt::Testing::QueueAnswer(Prompt::Yes);
        form.DeleteItemAction->trigger();
    } else if (step == QLatin1String("import")) {
        Prompt::Testing::QueueFile(importFile);
        form.ImportDataBaseAction->trigger();
    } else {
        (step == QLatin1String("new") ? form.NewItemAction : form.ChangeItemAction)->trigger();
        form.LanguageBox->setEditText(QStringLiteral("Rust"));
        form.OkButton->click();
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
        QTest::newRow("new") << "new"
                             << "neuer Datensatz";
        QTest::newRow("change") << "change"
                                << "Datensatz ändern";
        QTest::newRow("delete") << "delete"
                                << "Datensatz löschen";
        QTest::newRow("import") << "import"
                                << "Datenbank importieren";
    }
    void captionsAndEnabledStates() {
        QFETCH(QString, step);
        QFETCH(QString, name);
        QTemporaryDir dir;
        TDataBase other;
        other.AddRecord(coretest::Entry("Java", "Zeiger", "Beta", coretest::Day(2002, 1, 1), 9));
        other.AddRecord(coretest::Entry("Java", "Zeiger", "Beta", coretest::Day(2002, 1, 1), 8));
        other.FileName = coretest::Native(dir.filePath(QStringLiteral("other.mvd")));
        other.Save();
        auto form = MakeForm(3);
        auto state = [&form] {
            return QStringList{
                form->UndoAction->text(), QString::number(form->UndoAction->isEnabled()),
                form->RedoAction->text(), QString::number(form->RedoAction->isEnabled())};
        };
        QCOMPARE(state(), (QStringList{"&Rückgängig", "0", "&Wiederherstellen", "0"}));
        RunStep(*form, step, QString::fromStdString(other.FileName));
        QCOMPARE(state(), (QStringList{"&Rückgängig: " + name, "1", "&Wiederherstellen", "0"}));
        form->ChangeItemAction->trigger(); // editing: no undo, no redo
        QCOMPARE(state(), (QStringList{"&Rückgängig: " + name, "0", "&Wiederherstellen", "0"}));
        form->CancelButton->click();
        form->UndoAction->trigger();
        QCOMPARE(state(), (QStringList{"&Rückgängig", "0", "&Wiederherstellen: " + name, "1"}));
        QCOMPARE(form->DataBase->Count(), 3);
        form->RedoAction->trigger();
        QCOMPARE(state(), (QStringList{"&Rückgängig: " + name, "1", "&Wiederherstellen", "0"}));
        QCOMPARE(form->DataBase->Count(), step == "new"      ? 4
                                          : step == "delete" ? 2
                                          : step == "import" ? 5
                                                             : 3);
    }

    // The deleted entry comes back as the current one, shown in the panel;
    // undoing the new entry after it keeps the current entry.
    void undoDeletionRestoresCurrentEntry() {
        auto form = MakeForm(5);
        form->SetCurrentItem(2);
        form->ShowSelectedRecord();
        TDataRecord* entry = form->ItemRecord(2);
        const std::uint32_t id = entry->ID;
        const int position = [&] {
            for (int i = 0; i < form->DataBase->Count(); ++i)
                if (form->DataBase->GetRecord(i) == entry)
                    return i;
            return -1;
        }();
        Prompt::Testing::QueueAnswer(Prompt::Yes);
        form->DeleteItemAction->trigger();
        QCOMPARE(form->ItemCount(), 4);
        QVERIFY(form->ItemRecord(form->CurrentItem())->ID != id);
        form->UndoAction->trigger();
        QCOMPARE(form->ItemCount(), 5);
        QCOMPARE(form->ItemRecord(form->CurrentItem()), entry);
        QCOMPARE(form->DataBase->GetRecord(position), entry);
        QCOMPARE(form->TimeEdit->value(), static_cast<int>(entry->TimeNeeded));
        QVERIFY(form->DeleteItemAction->isEnabled() && form->ChangeItemAction->isEnabled());
        form->FirstItemActionExecute();
        form->RedoAction->trigger();
        QCOMPARE(form->ItemCount(), 4);
        QCOMPARE(form->CurrentItem(), 0);
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
        form->DataBase->FileName = coretest::Native(dir.filePath(QStringLiteral("saved.mvd")));
        Prompt::Testing::QueueAnswer(Prompt::Yes);
        form->DeleteItemAction->trigger();
        form->SaveDataBaseAction->trigger();
        Prompt::Testing::QueueAnswer(Prompt::Yes);
        form->DeleteItemAction->trigger();
        for (int i = 0; i < undos; ++i)
            form->UndoAction->trigger();
        for (int i = 0; i < redos; ++i)
            form->RedoAction->trigger();
        const auto shown = Prompt::Testing::Messages().size();
        Prompt::Testing::QueueAnswer(Prompt::Cancel);
        TMainForm::TCloseAction action = TMainForm::TCloseAction::caFree;
        form->FormClose(action);
        QCOMPARE(Prompt::Testing::Messages().size() > shown, asked);
        QCOMPARE(action == TMainForm::TCloseAction::caNone, asked);
    }

    // While an entry is edited, Ctrl+Z undoes typing in the field, never a step.
    void ctrlZInAFieldUndoesTyping() {
        auto form = MakeForm(2);
        Prompt::Testing::QueueAnswer(Prompt::Yes);
        form->DeleteItemAction->trigger();
        form->ChangeItemAction->trigger();
        form->DescriptionMemo->setFocus();
        QTest::keyClicks(form->DescriptionMemo, QStringLiteral("xy"));
        QTest::keyClick(form->DescriptionMemo, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(form->DataBase->Count(), 1);
        QVERIFY(!form->DescriptionMemo->toPlainText().contains(QStringLiteral("xy")));
        QVERIFY(form->Editing);
    }
};

QTEST_MAIN(MainFormUndoTest)
#include "tst_mainform_undo.moc"
