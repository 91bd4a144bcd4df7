// The quick search on the real main window: what the list shows as the text
// changes (narrowing and widening), with the filter and after edits, the
// current entry, the count, Ctrl+E and Escape, and what clears it.
#include "core/Cp1252.h"
#include "core/DataBase.h"
#include "gui/MainForm.h"
#include "gui/Prompt.h"
#include "support/CoreTestUtil.h"
#include "support/WindowProbe.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QToolButton>
#include <QtTest>
#include <algorithm>
#include <memory>

namespace {

std::unique_ptr<TTestForm> MakeForm() {
    auto form = std::make_unique<TTestForm>();
    std::vector<TRecordData> entries;
    auto add = [&entries](const char* language, const char* type, const char* project, double date,
                          std::uint32_t minutes, const char* description) {
        entries.push_back(coretest::Entry(language, type, project, date, minutes,
                                          cp1252::FromUtf8(description).value()));
    };
    add("C++", "Zeiger", "Web", coretest::Day(2001, 3, 7), 15, "Ärger mit delete");
    add("Java", "Syntax", "Web", coretest::Day(2001, 3, 8), 30, "Semikolon fehlt");
    add("Java", "Zeiger", "Shop", coretest::Day(2002, 12, 1), 145, "NullPointer im Warenkorb");
    add("Python", "Logik", "Shop", coretest::Day(2002, 12, 2), 5, "Schleife zu früh beendet");
    form->Fill(entries);
    return form;
}

// The minutes of the listed entries, ascending: each entry's are unique.
QString Listed(const TTestForm& form) {
    QList<int> minutes;
    for (int row = 0; row < form.ItemCount(); ++row)
        minutes << static_cast<int>(form.ItemRecord(row)->TimeNeeded);
    std::sort(minutes.begin(), minutes.end());
    QStringList texts;
    for (int m : minutes)
        texts << QString::number(m);
    return texts.join(' ');
}

// Types `text` into the field and waits until the list shows its result.
void Search(TTestForm& form, const QString& text) {
    form.SearchEdit()->setText(text);
    QVERIFY(form.SearchPending());
    QTRY_VERIFY(!form.SearchPending());
}

// The count as shown; the toolbar shows and hides its widgets when it lays
// them out.
QString Count(const TTestForm& form) {
    QApplication::processEvents();
    return form.SearchCountLabel()->isVisibleTo(&form) ? form.SearchCountLabel()->text()
                                                       : QString();
}

} // namespace

class TestMainFormSearch : public QObject {
    Q_OBJECT
private slots:
    void init() { Prompt::Testing::Begin(); }
    void cleanup() { Prompt::Testing::End(); }

    // One window, the texts in this order, so that each search narrows or
    // widens the one before it.
    void narrowsAndWidens() {
        auto form = MakeForm();
        form->show();
        const struct {
            const char* typed;
            const char* listed;
        } steps[] = {
            {"j", "30 145"},       {"java", "30 145"},        {"java s", "30 145"},
            {"java sy", "30"},     {"ja", "30 145"},          {"ÄRGER", "15"},
            {"web 2001", "15 30"}, {"12.2002 SHOP", "5 145"}, {"14", "145"},
            {"früh logik", "5"},   {"java nix", ""},          {"java", "30 145"},
            {"  ", "5 15 30 145"},
        };
        for (const auto& step : steps) {
            const QString typed = QString::fromUtf8(step.typed);
            Search(*form, typed);
            QCOMPARE(Listed(*form), QString::fromUtf8(step.listed));
            const bool active = !typed.trimmed().isEmpty();
            QCOMPARE(Count(*form),
                     active ? QStringLiteral("%1 von 4").arg(form->ItemCount()) : QString());
        }
    }

    void keepsTheCurrentEntryWhenItMatches() {
        auto form = MakeForm();
        for (int row = 0; row < form->ItemCount(); ++row)
            if (form->ItemRecord(row)->TimeNeeded == 145)
                form->SetCurrentItem(row);
        Search(*form, "java");
        QCOMPARE(form->ItemRecord(form->CurrentItem())->TimeNeeded, 145u);
        Search(*form, "web");
        QCOMPARE(form->CurrentItem(), 0);
        QCOMPARE(form->DescriptionMemo()->toPlainText(),
                 QString::fromStdString(
                     cp1252::ToUtf8(std::string(form->ItemRecord(0)->Description()))));
    }

    // The search works inside the filter, and entries that are stored while
    // it is applied follow it as they follow the filter.
    void followsFilterAndEdits() {
        auto form = MakeForm();
        form->show();
        form->SetFilterTick(form->DataBase().Languages, "Java", false, true);
        Search(*form, "web");
        QCOMPARE(Listed(*form), QStringLiteral("15"));
        for (const char* language : {"Web", "Go"}) {
            form->NewItemAction()->trigger();
            form->LanguageBox()->setEditText(language);
            form->TypeBox()->setEditText("Neu");
            form->ProjectBox()->setEditText("Neu");
            form->TimeEdit()->setValue(7);
            form->OkButton()->click();
        }
        QCOMPARE(Listed(*form), QStringLiteral("7 15"));
        QCOMPARE(Count(*form), QStringLiteral("2 von 6"));
        // A change that no longer matches leaves the list.
        form->SetCurrentItem(0);
        form->ChangeItemAction()->trigger();
        form->ProjectBox()->setEditText("Shop");
        form->LanguageBox()->setEditText(form->ItemRecord(0)->TimeNeeded == 7 ? "Go2" : "C#");
        form->OkButton()->click();
        QCOMPARE(form->ItemCount(), 1);
        QCOMPARE(Count(*form), QStringLiteral("1 von 6"));
    }

    // The edit refers to the current row: the list waits until it ends.
    void waitsForAnEditToEnd() {
        auto form = MakeForm();
        form->SearchEdit()->setText("java");
        form->ChangeItemAction()->trigger();
        QTest::qWait(2 * TSearchBar::SearchPause);
        QCOMPARE(form->ItemCount(), 4);
        QVERIFY(form->SearchPending());
        form->CancelButton()->click();
        QTRY_COMPARE(Listed(*form), QStringLiteral("30 145"));
    }

    void keysAndClearing() {
        auto form = MakeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(form.get(), Qt::Key_E, Qt::ControlModifier);
        QVERIFY(form->SearchEdit()->hasFocus());
        QTest::keyClicks(form->SearchEdit(), "shop");
        QTRY_COMPARE(Listed(*form), QStringLiteral("5 145"));
        QTest::keyClick(form->SearchEdit(), Qt::Key_Escape);
        QCOMPARE(form->SearchEdit()->text(), QString());
        QVERIFY(form->ListView()->hasFocus());
        QCOMPARE(form->ItemCount(), 4); // at once, without the pause
        QCOMPARE(Count(*form), QString());

        // While an entry is edited the search is off.
        form->NewItemAction()->trigger();
        QVERIFY(!form->SearchEdit()->isEnabled());
        form->CancelButton()->click();
        QVERIFY(form->SearchEdit()->isEnabled());

        Search(*form, "shop");
        form->NewDataBaseAction()->trigger();
        QCOMPARE(form->SearchEdit()->text(), QString());
        QCOMPARE(Count(*form), QString());
        QVERIFY(!form->SearchPending());
        // The field's clear button goes with its text.
        const auto* clear = form->SearchEdit()->findChild<QToolButton*>();
        QVERIFY(clear);
        QTRY_VERIFY(!clear->isVisible());
    }

    // The window's shortcuts work in the field too ("search, nothing found,
    // add it"); a key whose action is disabled stays the field's.
    void windowShortcutsInTheField_data() {
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("Ctrl+Ins: new entry")
            << QKeySequence(Qt::CTRL | Qt::Key_Insert) << "NewItemAction" << true;
        QTest::newRow("Ctrl+Del: delete")
            << QKeySequence(Qt::CTRL | Qt::Key_Delete) << "DeleteItemAction" << true;
        QTest::newRow("Ctrl+Home: first entry")
            << QKeySequence(Qt::CTRL | Qt::Key_Home) << "FirstItemAction" << true;
        QTest::newRow("Ctrl+Z with nothing to undo: the field's")
            << QKeySequence(Qt::CTRL | Qt::Key_Z) << "UndoAction" << false;
    }
    void windowShortcutsInTheField() {
        QFETCH(QKeySequence, key);
        QFETCH(QString, action);
        QFETCH(bool, enabled);
        auto form = MakeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        form->LastItemAction()->trigger(); // so that "first entry" has somewhere to go
        QAction* command = form->Action(action.toLatin1().constData());
        QCOMPARE(command->isEnabled(), enabled);
        QSignalSpy triggered(command, &QAction::triggered);
        Prompt::Testing::QueueAnswer(Prompt::No); // the deletion's question
        form->SearchEdit()->setFocus();
        QTest::keyClicks(form->SearchEdit(), "nix");
        QTest::keySequence(form->SearchEdit(), key);
        QCOMPARE(triggered.count(), enabled ? 1 : 0);
    }
};

QTEST_MAIN(TestMainFormSearch)
#include "tst_mainform_search.moc"
