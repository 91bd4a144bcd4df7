// Drives record editing on the real main window (offscreen): the switch between
// viewing and editing with its geometry, the enabling of the commands, new
// entries and changes through OK, refused input, Enter/Escape, deleting, and
// the focus guard of the detail panel.
#include "core/DataBase.h"
#include "core/DateUtil.h"
#include "gui/Anchors.h"
#include "gui/Bevel.h"
#include "gui/DatePicker.h"
#include "gui/MainForm.h"
#include "gui/Prompt.h"
#include "gui/RecordListModel.h"
#include "support/CoreTestUtil.h"
#include "support/WindowProbe.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QtTest>
#include <memory>

namespace {

const QString DuplicateText =
    QStringLiteral("Es ist bereits ein identischer Eintrag in der Datenbank vorhanden!");

double Today() {
    const QDate d = QDate::currentDate();
    return coretest::Day(d.year(), d.month(), d.day());
}

TRecordData Entry(const char* language, const char* type, const char* project, double date,
                  unsigned minutes, const char* description = "") {
    return coretest::Entry(language, type, project, date, minutes, description);
}

// A shown, active main window with `n` entries (entry i has i + 1 minutes, so
// the minutes name an entry). Listed by ID, highest first, as on a first start.
// `more` entries follow them.
std::unique_ptr<TTestForm> MakeForm(int n, std::vector<TRecordData> more = {}) {
    auto form = std::make_unique<TTestForm>();
    std::vector<TRecordData> entries;
    for (int i = 0; i < n; ++i)
        entries.push_back(Entry("C++", "Zeiger", "Alpha", coretest::Day(2001, 3, 7) + 0.25,
                                static_cast<unsigned>(i + 1), "Beschreibung"));
    entries.insert(entries.end(), more.begin(), more.end());
    form->Fill(entries);
    form->show();
    form->activateWindow();
    if (!QTest::qWaitForWindowActive(form.get()))
        qWarning("main window not active");
    form->ListView()->setFocus();
    return form;
}

unsigned CurrentMinutes(const TTestForm& form) {
    const TDataRecord* e = form.ItemRecord(form.CurrentItem());
    return e ? e->TimeNeeded : 0;
}

QStringList Items(const QComboBox* box) {
    QStringList result;
    for (int i = 0; i < box->count(); ++i)
        result << box->itemText(i);
    return result;
}

int DetailTop(const TTestForm& form) {
    return form.DetailPanel()->mapTo(&form, QPoint(0, 0)).y() -
           (form.height() - form.ClientHeight());
}

void TypeInto(QWidget* w, const QString& text) {
    w->setFocus();
    QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : w;
    for (const QChar c : text) {
        if (c == QLatin1Char('\n'))
            QTest::keyClick(target, Qt::Key_Return);
        else
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// The messages shown since the last Prompt::Testing::Begin, as "kind|title|text".
QStringList ShownMessages() {
    QStringList result;
    for (const auto& m : Prompt::Testing::Messages())
        result << QStringLiteral("%1|%2|%3").arg(static_cast<int>(m.kind)).arg(m.title, m.text);
    return result;
}

QString Report(const QString& text) {
    return QStringLiteral("%1|Mavrolin|%2").arg(static_cast<int>(Prompt::Kind::General)).arg(text);
}

} // namespace

class TestMainFormEdit : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setApplicationName(QStringLiteral("Mavrolin")); }
    void init() { Prompt::Testing::Begin(); }
    void cleanup() { Prompt::Testing::End(); }

    void stateSwitch_data();
    void stateSwitch();
    void shortcutsRunCommands_data();
    void shortcutsRunCommands();
    void newEntryOfferedSorted();
    void typedTextKeptWhenTabLeaves();
    void lineBreaks_data();
    void lineBreaks();
    void hiddenNewEntryNotListed();
    void duplicateRefused_data();
    void duplicateRefused();
    void unstorableTextRefused_data();
    void unstorableTextRefused();
    void minutesOutOfRange_data();
    void minutesOutOfRange();
    void changeKeepsOrRefillsItem();
    void dateRules_data();
    void dateRules();
    void changedEntryHidden_data();
    void changedEntryHidden();
    void keys_data();
    void keys();
    void deleteItem_data();
    void deleteItem();
    void focusGuard_data();
    void focusGuard();
};

void TestMainFormEdit::stateSwitch_data() {
    QTest::addColumn<bool>("adding");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<int>("entries");
    QTest::newRow("new, OK") << true << true << 2;
    QTest::newRow("new, Cancel") << true << false << 2;
    QTest::newRow("new on empty list, Cancel") << true << false << 0;
    QTest::newRow("change, OK") << false << true << 2;
    QTest::newRow("change, Cancel") << false << false << 2;
}

// The editing state: every command but "&Beenden" off, the panel an input
// form, the window taller by the buttons' height plus 10 with the description
// and frames unchanged; leaving puts the buttons 5 pixels below the panel.
void TestMainFormEdit::stateSwitch() {
    QFETCH(bool, adding);
    QFETCH(bool, confirm);
    QFETCH(int, entries);
    auto form = MakeForm(entries);
    const int memoBefore = form->DescriptionMemo()->height();
    const int bevel2Before = form->Child<TBevel>("Bevel2")->height();
    const int bevel3Before = form->Child<TBevel>("Bevel3")->height();
    const QString languageBefore = form->LanguageBox()->currentText();

    (adding ? form->NewItemAction() : form->ChangeItemAction())->trigger();

    QVERIFY(form->Editing());
    QCOMPARE(form->AddingRecord(), adding);
    for (QAction* a : form->ActionList())
        QCOMPARE(a->isEnabled(), a == form->ExitAction());
    QVERIFY(!form->ConfigItem()->isEnabled());
    QVERIFY(!form->SaveOptionItem()->isEnabled());
    QVERIFY(!form->ListPanel()->isEnabled());
    QVERIFY(form->LanguageBox()->isEditable() && form->TypeBox()->isEditable() &&
            form->ProjectBox()->isEditable());
    QCOMPARE(form->LanguageBox()->currentText(), adding ? QString() : languageBefore);
    QVERIFY(!form->TimeEdit()->isReadOnly());
    QVERIFY(!form->DescriptionMemo()->isReadOnly());
    QVERIFY(form->DatePicker()->isEnabled());
    QVERIFY(form->LanguageBox()->hasFocus());
    QVERIFY(form->OkButton()->isVisible() && form->CancelButton()->isVisible());
    QCOMPARE(form->TimeEdit()->palette().color(QPalette::Text),
             QApplication::palette(form->TimeEdit()).color(QPalette::Text));
    const int editingHeight = form->ClientHeight();
    QCOMPARE(editingHeight,
             DetailTop(*form) + form->OkButton()->y() + form->OkButton()->height() + 5);
    QCOMPARE(form->DetailPanel()->height(), form->OkButton()->y() + form->OkButton()->height() + 5);
    QCOMPARE(form->DescriptionMemo()->height(), memoBefore);
    QCOMPARE(form->Child<TBevel>("Bevel2")->height(), bevel2Before);
    QCOMPARE(form->Child<TBevel>("Bevel3")->height(), bevel3Before);
    QCOMPARE(form->CancelButton()->y(), form->OkButton()->y());
    // Commands and their keys do nothing now.
    QTest::keyClick(form.get(), Qt::Key_Delete, Qt::ControlModifier);
    QTest::keyClick(form.get(), Qt::Key_I, Qt::ControlModifier);
    QVERIFY(ShownMessages().isEmpty());
    QVERIFY(form->Editing());

    if (confirm) {
        form->LanguageBox()->setEditText(QStringLiteral("Ada"));
        form->TypeBox()->setEditText(QStringLiteral("Syntax"));
        form->OkButton()->click();
    } else {
        form->CancelButton()->click();
    }
    QVERIFY(ShownMessages().isEmpty());
    QVERIFY(!form->Editing());
    QVERIFY(form->OkButton()->isHidden() && form->CancelButton()->isHidden());
    QVERIFY(form->ListPanel()->isEnabled());
    QVERIFY(!form->LanguageBox()->isEditable());
    QVERIFY(form->ListView()->hasFocus());
    QVERIFY(form->ConfigItem()->isEnabled() && form->SaveOptionItem()->isEnabled());
    QCOMPARE(form->ClientHeight(), editingHeight - form->OkButton()->height() - 10);
    QCOMPARE(form->DetailPanel()->height(), form->OkButton()->y() - 5);
    QCOMPARE(form->DescriptionMemo()->height(), memoBefore);
    // The viewing enabling again: the topmost item of a list of several.
    const bool any = form->ItemCount() > 0;
    QCOMPARE(form->ChangeItemAction()->isEnabled(), any);
    QCOMPARE(form->DeleteItemAction()->isEnabled(), any);
    QCOMPARE(form->LastItemAction()->isEnabled(), form->ItemCount() > 1);
    QVERIFY(form->NewItemAction()->isEnabled() && form->FilterAction()->isEnabled() &&
            form->SaveDataBaseAction()->isEnabled());
    if (confirm)
        QCOMPARE(form->LanguageBox()->currentText(), QStringLiteral("Ada"));
    else
        QCOMPARE(form->LanguageBox()->currentText(), languageBefore);

    // The anchors are back: a taller window moves the buttons and stretches
    // the description.
    const int okTop = form->OkButton()->y();
    form->SetClientHeight(form->ClientHeight() + 40);
    QTRY_COMPARE(form->OkButton()->y(), okTop + 40);
    QCOMPARE(form->DescriptionMemo()->height(), memoBefore + 40);
}

void TestMainFormEdit::shortcutsRunCommands_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("editing");
    QTest::addColumn<bool>("adding");
    QTest::addColumn<int>("messages");
    QTest::newRow("Ctrl+Ins: new") << int(Qt::Key_Insert) << true << true << 0;
    QTest::newRow("Ctrl+Enter: change") << int(Qt::Key_Return) << true << false << 0;
    QTest::newRow("Ctrl+Del: delete question") << int(Qt::Key_Delete) << false << false << 1;
}

void TestMainFormEdit::shortcutsRunCommands() {
    QFETCH(int, key);
    QFETCH(bool, editing);
    QFETCH(bool, adding);
    QFETCH(int, messages);
    auto form = MakeForm(2);
    Prompt::Testing::QueueAnswer(Prompt::No);
    QTest::keyClick(form->ListView(), static_cast<Qt::Key>(key), Qt::ControlModifier);
    QCOMPARE(form->Editing(), editing);
    if (editing)
        QCOMPARE(form->AddingRecord(), adding);
    QCOMPARE(Prompt::Testing::Messages().size(), messages);
    if (messages) {
        const auto& m = Prompt::Testing::Messages().front();
        QCOMPARE(m.kind, Prompt::Kind::Confirmation);
        QCOMPARE(m.text, QStringLiteral("Soll dieser Datensatz wirklich gelöscht werden?"));
        QCOMPARE(m.buttons, Prompt::Yes | Prompt::No);
        QCOMPARE(form->DataBase().Count(), 2); // answered "&Nein"
    }
}

// Typed values are stored and from then on offered in the drop-downs, in the
// order of their value lists; the new entry becomes the current item.
void TestMainFormEdit::newEntryOfferedSorted() {
    auto form = MakeForm(2);
    form->NewItemAction()->trigger();
    QVERIFY(form->LanguageBox()->currentText().isEmpty());
    QCOMPARE(form->TimeEdit()->value(), 0);
    QVERIFY(form->DescriptionMemo()->toPlainText().isEmpty());
    QCOMPARE(form->DateEdit()->text(), QString::fromStdString(FormatDate(Today())));
    TypeInto(form->LanguageBox(), QStringLiteral("Cobol"));
    TypeInto(form->TypeBox(), QStringLiteral("Überlauf"));
    TypeInto(form->ProjectBox(), QStringLiteral("beta"));
    TypeInto(form->TimeEdit(), QStringLiteral("42"));
    TypeInto(form->DescriptionMemo(), QStringLiteral("zwei\nZeilen"));
    form->OkButton()->click();
    QVERIFY2(ShownMessages().isEmpty(), qPrintable(ShownMessages().join('\n')));
    QVERIFY(!form->Editing());

    QCOMPARE(form->DataBase().Count(), 3);
    QVERIFY(form->Document().Modified());
    const TDataRecord* e = form->DataBase().GetRecord(2);
    QCOMPARE(e->Language(), std::string("Cobol"));
    QCOMPARE(e->ErrorType(), std::string("\xDC"
                                         "berlauf"));
    QCOMPARE(e->Project(), std::string("beta"));
    QCOMPARE(e->TimeNeeded, 42u);
    QCOMPARE(std::string(e->Description()), std::string("zwei\r\nZeilen"));
    QCOMPARE(e->Date, Today());
    QCOMPARE(form->ItemRecord(form->CurrentItem()), e);
    QCOMPARE(form->CurrentItem(), 0); // highest ID first
    QCOMPARE(form->ItemCount(), 3);

    QVERIFY(Items(form->LanguageBox()).contains(QStringLiteral("Cobol")));
    QCOMPARE(Items(form->ProjectBox()), QStringList({"Alpha", "beta"}));
    QCOMPARE(Items(form->LanguageBox()).size(), form->DataBase().Languages.Count());
    for (int i = 0; i < form->DataBase().Languages.Count(); ++i)
        QCOMPARE(form->LanguageBox()->itemText(i).toStdString(),
                 form->DataBase().Languages.Value(i)); // ASCII values: same bytes
    QVERIFY(Items(form->TypeBox()).contains(QStringLiteral("Überlauf")));
    QCOMPARE(Items(form->TypeBox()).size(), form->DataBase().ErrorTypes.Count());
    QCOMPARE(form->LanguageBox()->currentText(), QStringLiteral("Cobol"));
    QCOMPARE(form->TypeBox()->currentText(), QStringLiteral("Überlauf"));
}

// Tab out of a box keeps the text as typed, also where an item matches it in
// other letter case; "äpfel-fehler" is then no duplicate of "Äpfel-Fehler".
void TestMainFormEdit::typedTextKeptWhenTabLeaves() {
    auto form =
        MakeForm(0, {Entry("C++", "\xC4pfel-Fehler", "Alpha", coretest::Day(2001, 3, 7), 1)});
    form->NewItemAction()->trigger();
    for (const auto& [box, text] : {std::pair{form->LanguageBox(), QStringLiteral("c++")},
                                    std::pair{form->TypeBox(), QStringLiteral("äpfel-fehler")},
                                    std::pair{form->ProjectBox(), QStringLiteral("Alpha")}}) {
        TypeInto(box, text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(!box->hasFocus());
        QCOMPARE(box->currentText(), text);
    }
    form->DatePicker()->SetDate(coretest::Day(2001, 3, 7));
    form->TimeEdit()->setValue(1);
    form->OkButton()->click();
    QVERIFY2(ShownMessages().isEmpty(), qPrintable(ShownMessages().join('\n')));
    QCOMPARE(form->DataBase().Count(), 2);
    QCOMPARE(form->DataBase().GetRecord(1)->Language(), std::string("c++"));
    QCOMPARE(form->DataBase().GetRecord(1)->ErrorType(), std::string("\xE4pfel-fehler"));
}

void TestMainFormEdit::lineBreaks_data() {
    QTest::addColumn<QByteArray>("read"); // the entry's description before; null: a new entry
    QTest::addColumn<QString>("typed");   // appended by key presses; "-": the field is not touched
    QTest::addColumn<QString>("shown");   // the field before typing
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("new entry: typed breaks become CR LF")
        << QByteArray() << "eins\nzwei\ndrei"
        << "" << QByteArray("eins\r\nzwei\r\ndrei");
    QTest::newRow("CR LF shows as one break, kept unedited") << QByteArray("a\r\nb") << "-"
                                                             << "a\nb" << QByteArray("a\r\nb");
    QTest::newRow("bare LF of an older file kept unedited") << QByteArray("a\nb") << "-"
                                                            << "a\nb" << QByteArray("a\nb");
    QTest::newRow("edited: every break CR LF") << QByteArray("a\nb\r\nc") << "\nd"
                                               << "a\nb\nc" << QByteArray("a\r\nb\r\nc\r\nd");
}

void TestMainFormEdit::lineBreaks() {
    QFETCH(QByteArray, read);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QByteArray, stored);
    std::vector<TRecordData> more;
    if (!read.isNull())
        more.push_back(Entry("C", "Zeiger", "P", coretest::Day(2001, 3, 7), 1, read.constData()));
    auto form = MakeForm(0, more);
    (read.isNull() ? form->NewItemAction() : form->ChangeItemAction())->trigger();
    QCOMPARE(form->DescriptionMemo()->toPlainText(), shown);
    form->TimeEdit()->setValue(5); // a change of another field
    if (typed != "-") {
        form->DescriptionMemo()->setFocus();
        form->DescriptionMemo()->moveCursor(QTextCursor::End);
        for (const QChar c : typed)
            QTest::sendKeyEvent(QTest::Click, form->DescriptionMemo(),
                                c == '\n' ? Qt::Key_Return : Qt::Key_unknown, QString(c), {});
    }
    form->OkButton()->click();
    QVERIFY2(ShownMessages().isEmpty(), qPrintable(ShownMessages().join('\n')));
    QCOMPARE(QByteArray::fromStdString(std::string(form->DataBase().GetRecord(0)->Description())),
             stored);
}

// With "C++" unticked in AND mode, a new C++ entry is stored but not listed;
// the panel keeps showing the entry that was current.
void TestMainFormEdit::hiddenNewEntryNotListed() {
    auto form = MakeForm(0, {Entry("Java", "Zeiger", "Alpha", coretest::Day(2001, 1, 1), 1),
                             Entry("Java", "Zeiger", "Alpha", coretest::Day(2001, 1, 1), 2),
                             Entry("C++", "Zeiger", "Alpha", coretest::Day(2001, 1, 1), 3)});
    form->SetFilterTick(form->DataBase().Languages, "C++", false, true);
    QCOMPARE(form->ItemCount(), 2);
    form->LastItemAction()->trigger();
    const TDataRecord* current = form->ItemRecord(form->CurrentItem());

    form->NewItemAction()->trigger();
    form->LanguageBox()->setEditText(QStringLiteral("c++"));
    form->TypeBox()->setEditText(QStringLiteral("Zeiger"));
    form->ProjectBox()->setEditText(QStringLiteral("Alpha"));
    form->TimeEdit()->setValue(9);
    form->OkButton()->click();
    QVERIFY(ShownMessages().isEmpty());
    QVERIFY(!form->Editing());
    QCOMPARE(form->DataBase().Count(), 4);
    QVERIFY(form->DataBase().GetRecord(3)->Hidden);
    QVERIFY(form->Document().Modified());
    QCOMPARE(form->ItemCount(), 2);
    QCOMPARE(form->ItemRecord(form->CurrentItem()), current);
    QCOMPARE(form->TimeEdit()->value(), 1);
}

void TestMainFormEdit::duplicateRefused_data() {
    QTest::addColumn<bool>("adding");
    QTest::newRow("new entry equal to another but for letter case") << true;
    QTest::newRow("change into another entry") << false;
}

// The general error report shows the refusal; the window stays in the editing
// state with the input as typed and nothing is stored.
void TestMainFormEdit::duplicateRefused() {
    QFETCH(bool, adding);
    auto form = MakeForm(2); // minutes 2 (current, topmost) and 1
    (adding ? form->NewItemAction() : form->ChangeItemAction())->trigger();
    form->LanguageBox()->setEditText(QStringLiteral("c++"));
    form->TypeBox()->setEditText(QStringLiteral("ZEIGER"));
    form->ProjectBox()->setEditText(QStringLiteral("alpha"));
    form->DatePicker()->SetDate(coretest::Day(2001, 3, 7));
    form->TimeEdit()->setValue(1);
    form->DescriptionMemo()->setPlainText(QStringLiteral("anders"));
    QTest::keyClick(form->TimeEdit(), Qt::Key_Return);

    QCOMPARE(ShownMessages(), QStringList{Report(DuplicateText)});
    QVERIFY(form->Editing());
    QCOMPARE(form->AddingRecord(), adding);
    QVERIFY(form->OkButton()->isVisible());
    QCOMPARE(form->LanguageBox()->currentText(), QStringLiteral("c++"));
    QCOMPARE(form->TypeBox()->currentText(), QStringLiteral("ZEIGER"));
    QCOMPARE(form->ProjectBox()->currentText(), QStringLiteral("alpha"));
    QCOMPARE(form->TimeEdit()->text(), QStringLiteral("1"));
    QCOMPARE(form->DescriptionMemo()->toPlainText(), QStringLiteral("anders"));
    QCOMPARE(form->DataBase().Count(), 2);
    QVERIFY(!form->Document().Modified());
    QCOMPARE(form->DataBase().GetRecord(1)->TimeNeeded, 2u);
    QCOMPARE(form->ItemRecord(0), form->DataBase().GetRecord(1));

    // Corrected and confirmed again, it is stored.
    form->TimeEdit()->setValue(7);
    form->OkButton()->click();
    QCOMPARE(ShownMessages().size(), 1);
    QVERIFY(!form->Editing());
    QCOMPARE(form->DataBase().Count(), adding ? 3 : 2);
}

void TestMainFormEdit::unstorableTextRefused_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("adding");
    QTest::newRow("language, new") << "Sprache" << true;
    QTest::newRow("category, change") << "Kategorie" << false;
    QTest::newRow("project, new") << "Projekt" << true;
    QTest::newRow("description, change") << "Beschreibung" << false;
}

// "Ω" has no Windows-1252 code: refused with a message that names field and
// character; the state, the input and the database stay as they were.
void TestMainFormEdit::unstorableTextRefused() {
    QFETCH(QString, field);
    QFETCH(bool, adding);
    auto form = MakeForm(1);
    (adding ? form->NewItemAction() : form->ChangeItemAction())->trigger();
    const QString text = QStringLiteral("Widerstand in Ω");
    if (field == "Sprache")
        form->LanguageBox()->setEditText(text);
    else if (field == "Kategorie")
        form->TypeBox()->setEditText(text);
    else if (field == "Projekt")
        form->ProjectBox()->setEditText(text);
    else
        form->DescriptionMemo()->setPlainText(text);
    form->OkButton()->click();

    QCOMPARE(Prompt::Testing::Messages().size(), 1);
    const auto& m = Prompt::Testing::Messages().front();
    QCOMPARE(m.kind, Prompt::Kind::General);
    QVERIFY2(m.text.contains(QStringLiteral("\u201E%1\u201C").arg(field)), qPrintable(m.text));
    QVERIFY2(m.text.contains(QStringLiteral("\u201EΩ\u201C")), qPrintable(m.text));
    QVERIFY(form->Editing());
    QCOMPARE(form->DataBase().Count(), 1);
    QVERIFY(!form->Document().Modified());
    QCOMPARE(std::string(form->DataBase().GetRecord(0)->Description()),
             std::string("Beschreibung"));
    const QString shown = field == "Sprache"     ? form->LanguageBox()->currentText()
                          : field == "Kategorie" ? form->TypeBox()->currentText()
                          : field == "Projekt"   ? form->ProjectBox()->currentText()
                                                 : form->DescriptionMemo()->toPlainText();
    QCOMPARE(shown, text);
}

void TestMainFormEdit::minutesOutOfRange_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("byEnter");
    QTest::addColumn<unsigned>("corrected");
    QTest::newRow("negative, Enter while the minutes have the focus: refused")
        << "-5" << true << 0u;
    QTest::newRow("negative, click on OK: corrected to 0 first") << "-5" << false << 0u;
    QTest::newRow("above the maximum, Enter: refused") << "2000000" << true << 0u;
    QTest::newRow("above the maximum, click on OK: corrected to 1000000")
        << "2000000" << false << 1000000u;
    QTest::newRow("longer than any number, click on OK")
        << "123456789012345678901" << false << 1000000u;
}

// A typed number outside 0 to 1000000 stays as typed, all its digits, until
// the focus leaves, which corrects it to the nearer bound.
void TestMainFormEdit::minutesOutOfRange() {
    QFETCH(QString, typed);
    QFETCH(bool, byEnter);
    QFETCH(unsigned, corrected);
    auto form = MakeForm(1); // the entry needs 1 minute
    form->ChangeItemAction()->trigger();
    TypeInto(form->TimeEdit(), typed);
    QCOMPARE(form->TimeEdit()->text(), typed);
    if (byEnter) {
        QTest::keyClick(form->TimeEdit(), Qt::Key_Return);
        QCOMPARE(ShownMessages(),
                 QStringList{Report(QStringLiteral("Fehler bei Bereichsprüfung."))});
        QVERIFY(form->Editing());
        QCOMPARE(form->TimeEdit()->text(), typed);
        QCOMPARE(form->DataBase().GetRecord(0)->TimeNeeded, 1u);
        QVERIFY(!form->Document().Modified());
    } else {
        // Corrected to the nearer bound, not back to the previous value.
        QTest::mouseClick(form->OkButton(), Qt::LeftButton);
        QVERIFY(ShownMessages().isEmpty());
        QVERIFY(!form->Editing());
        QCOMPARE(form->DataBase().Count(), 1);
        QCOMPARE(form->DataBase().GetRecord(0)->TimeNeeded, corrected);
    }
}

// A change refills the current item: it moves to its sorted place, stays
// current, and every column shows the changed entry; a description-only change
// is no duplicate of itself.
void TestMainFormEdit::changeKeepsOrRefillsItem() {
    auto form = MakeForm(3); // rows: minutes 3, 2, 1
    form->NextItemAction()->trigger();
    QCOMPARE(CurrentMinutes(*form), 2u);
    const std::uint32_t id = form->ItemRecord(1)->ID;

    form->ChangeItemAction()->trigger();
    form->DescriptionMemo()->setPlainText(QStringLiteral("nur die Beschreibung"));
    form->OkButton()->click();
    QVERIFY2(ShownMessages().isEmpty(), qPrintable(ShownMessages().join('\n')));
    QCOMPARE(form->DataBase().Count(), 3);
    QCOMPARE(form->CurrentItem(), 1);
    const TDataRecord* e = form->ItemRecord(1);
    QCOMPARE(e->ID, id);
    QCOMPARE(std::string(e->Description()), std::string("nur die Beschreibung"));
    QCOMPARE(e->Date, coretest::Day(2001, 3, 7) + 0.25);
    QVERIFY(form->Document().Modified());

    // Sorted by minutes (ascending after two clicks on the "Aufwand" column).
    form->Child<QAction>("colTimeItem")->trigger();
    form->ListViewColumnClick(3);
    form->ListViewColumnClick(3);
    QCOMPARE(CurrentMinutes(*form), 2u);
    QCOMPARE(form->CurrentItem(), 1);
    form->ChangeItemAction()->trigger();
    form->LanguageBox()->setEditText(QStringLiteral("Rust"));
    form->TimeEdit()->setValue(50);
    form->OkButton()->click();
    QVERIFY(ShownMessages().isEmpty());
    QCOMPARE(form->CurrentItem(), 2);
    QCOMPARE(CurrentMinutes(*form), 50u);
    const TDataRecord* changed = form->ItemRecord(2);
    for (int column = 0; column < 4; ++column)
        QCOMPARE(form->ListModel()->index(2, column).data().toString().toStdString(),
                 changed->FieldText(form->ColumnOrder()[static_cast<std::size_t>(column)]));
    QCOMPARE(form->ListModel()->index(2, 0).data().toString(), QStringLiteral("Rust"));
    QVERIFY(form->LastItemAction()->isEnabled() == false);
}

void TestMainFormEdit::dateRules_data() {
    QTest::addColumn<bool>("adding");
    QTest::addColumn<QDate>("picked"); // invalid: nothing picked
    QTest::addColumn<bool>("byKeys");  // chosen in the calendar with the keys, taken by Enter
    QTest::addColumn<double>("expected");
    QTest::addColumn<QString>("shown");
    const double stored = coretest::Day(2001, 3, 7) + 0.25;
    QTest::newRow("new: today as a whole day") << true << QDate() << false << Today() << QString();
    QTest::newRow("new: picked day")
        << true << QDate(2001, 3, 7) << false << coretest::Day(2001, 3, 7) << "07.03.2001";
    QTest::newRow("change: stored value kept")
        << false << QDate() << false << stored << "07.03.2001";
    QTest::newRow("change: same day picked keeps the time")
        << false << QDate(2001, 3, 7) << false << stored << "07.03.2001";
    QTest::newRow("change: other day as a whole day")
        << false << QDate(1999, 12, 31) << false << coretest::Day(1999, 12, 31) << "31.12.1999";
    QTest::newRow("change: other day chosen with the keys")
        << false << QDate(2001, 3, 6) << true << coretest::Day(2001, 3, 6) << "06.03.2001";
}

void TestMainFormEdit::dateRules() {
    QFETCH(bool, adding);
    QFETCH(QDate, picked);
    QFETCH(bool, byKeys);
    QFETCH(double, expected);
    QFETCH(QString, shown);
    auto form = MakeForm(1);
    (adding ? form->NewItemAction() : form->ChangeItemAction())->trigger();
    if (adding)
        form->LanguageBox()->setEditText(QStringLiteral("Ada"));
    if (picked.isValid()) {
        form->DatePicker()->DropDown();
        QCalendarWidget* calendar = form->DatePicker()->Calendar();
        if (byKeys) {
            calendar->setSelectedDate(picked);
            QTest::keyClick(calendar->findChild<QTableView*>(), Qt::Key_Return);
        } else
            emit calendar->clicked(picked);
        QVERIFY(!calendar->isVisible());
    }
    if (!shown.isEmpty())
        QCOMPARE(form->DateEdit()->text(), shown);
    form->OkButton()->click();
    QVERIFY(ShownMessages().isEmpty());
    const TDataRecord* e = form->ItemRecord(form->CurrentItem());
    QCOMPARE(e->Date, expected);
}

void TestMainFormEdit::changedEntryHidden_data() {
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("row");
    QTest::addColumn<unsigned>("nextMinutes"); // 0: no current item
    QTest::newRow("middle: the next one") << 3 << 1 << 1u;
    QTest::newRow("last: the one before") << 3 << 2 << 2u;
    QTest::newRow("first: the next one") << 3 << 0 << 2u;
    QTest::newRow("only: none") << 1 << 0 << 0u;
}

// A change that the filter now hides loses its list item; the item that would
// follow it after a deletion becomes current.
void TestMainFormEdit::changedEntryHidden() {
    QFETCH(int, entries);
    QFETCH(int, row);
    QFETCH(unsigned, nextMinutes);
    auto form = MakeForm(entries); // "Java" is a default language
    form->SetFilterTick(form->DataBase().Languages, "Java", false, true);
    QCOMPARE(form->ItemCount(), entries);
    form->SetCurrentItem(row);
    form->ShowSelectedRecord();
    const std::uint32_t id = form->ItemRecord(row)->ID;

    form->ChangeItemAction()->trigger();
    form->LanguageBox()->setEditText(QStringLiteral("Java"));
    form->OkButton()->click();
    QVERIFY(ShownMessages().isEmpty());
    QVERIFY(!form->Editing());
    QCOMPARE(form->ItemCount(), entries - 1);
    for (int i = 0; i < form->ItemCount(); ++i)
        QVERIFY(form->ItemRecord(i)->ID != id);
    QCOMPARE(form->DataBase().Count(), entries);
    QCOMPARE(CurrentMinutes(*form), nextMinutes);
    QCOMPARE(form->ChangeItemAction()->isEnabled(), nextMinutes != 0);
}

void TestMainFormEdit::keys_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("stillEditing");
    QTest::addColumn<int>("entriesAfter");
    QTest::newRow("Enter in the language box confirms")
        << "language" << int(Qt::Key_Return) << int(Qt::NoModifier) << false << 2;
    QTest::newRow("keypad Enter in the minutes confirms")
        << "time" << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << false << 2;
    QTest::newRow("Enter on the OK button confirms")
        << "ok" << int(Qt::Key_Return) << int(Qt::NoModifier) << false << 2;
    QTest::newRow("Enter on the cancel button abandons")
        << "cancel" << int(Qt::Key_Return) << int(Qt::NoModifier) << false << 1;
    QTest::newRow("Escape abandons")
        << "language" << int(Qt::Key_Escape) << int(Qt::NoModifier) << false << 1;
    QTest::newRow("Escape in the description abandons")
        << "memo" << int(Qt::Key_Escape) << int(Qt::NoModifier) << false << 1;
    QTest::newRow("Enter in the description is a line break")
        << "memo" << int(Qt::Key_Return) << int(Qt::NoModifier) << true << 1;
    QTest::newRow("Ctrl+Enter does nothing while editing")
        << "language" << int(Qt::Key_Return) << int(Qt::ControlModifier) << true << 1;
}

void TestMainFormEdit::keys() {
    QFETCH(QString, target);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, stillEditing);
    QFETCH(int, entriesAfter);
    auto form = MakeForm(1);
    form->NewItemAction()->trigger();
    form->LanguageBox()->setEditText(QStringLiteral("Ada"));
    form->DescriptionMemo()->setPlainText(QStringLiteral("x"));
    QWidget* w = target == "language" ? static_cast<QWidget*>(form->LanguageBox())
                 : target == "time"   ? static_cast<QWidget*>(form->TimeEdit())
                 : target == "ok"     ? static_cast<QWidget*>(form->OkButton())
                 : target == "cancel" ? static_cast<QWidget*>(form->CancelButton())
                                      : static_cast<QWidget*>(form->DescriptionMemo());
    w->setFocus();
    if (target == "memo")
        form->DescriptionMemo()->moveCursor(QTextCursor::End);
    QWidget* receiver = QApplication::focusWidget();
    QVERIFY(receiver != nullptr);
    QTest::keyClick(receiver, static_cast<Qt::Key>(key), Qt::KeyboardModifiers(modifiers));
    QVERIFY(ShownMessages().isEmpty());
    QCOMPARE(form->Editing(), stillEditing);
    QCOMPARE(form->DataBase().Count(), entriesAfter);
    if (target == "memo" && stillEditing)
        QCOMPARE(form->DescriptionMemo()->toPlainText(), QStringLiteral("x\n"));
}

void TestMainFormEdit::deleteItem_data() {
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("answer");
    QTest::addColumn<unsigned>("currentAfter"); // minutes; 0: none
    QTest::newRow("first: the next one") << 3 << 0 << int(Prompt::Yes) << 2u;
    QTest::newRow("middle: the next one") << 3 << 1 << int(Prompt::Yes) << 1u;
    QTest::newRow("last: the one before") << 3 << 2 << int(Prompt::Yes) << 2u;
    QTest::newRow("only: none") << 1 << 0 << int(Prompt::Yes) << 0u;
    QTest::newRow("answer Nein keeps everything") << 3 << 1 << int(Prompt::No) << 2u;
    QTest::newRow("box closed keeps everything") << 3 << 1 << int(Prompt::Cancel) << 2u;
}

void TestMainFormEdit::deleteItem() {
    QFETCH(int, entries);
    QFETCH(int, row);
    QFETCH(int, answer);
    QFETCH(unsigned, currentAfter);
    auto form = MakeForm(entries);
    form->SetCurrentItem(row);
    form->ShowSelectedRecord();
    const unsigned deleted = CurrentMinutes(*form);
    Prompt::Testing::QueueAnswer(static_cast<Prompt::Button>(answer));
    form->DeleteItemAction()->trigger();

    QCOMPARE(Prompt::Testing::Messages().size(), 1);
    const auto& m = Prompt::Testing::Messages().front();
    QCOMPARE(m.kind, Prompt::Kind::Confirmation);
    QCOMPARE(m.title, QStringLiteral("Bestätigung"));
    const bool yes = answer == Prompt::Yes;
    QCOMPARE(form->DataBase().Count(), yes ? entries - 1 : entries);
    QCOMPARE(form->ItemCount(), yes ? entries - 1 : entries);
    QCOMPARE(form->Document().Modified(), yes);
    for (int i = 0; i < form->DataBase().Count(); ++i)
        QVERIFY(!yes || form->DataBase().GetRecord(i)->TimeNeeded != deleted);
    QCOMPARE(CurrentMinutes(*form), currentAfter);
    QCOMPARE(form->TimeEdit()->value(), static_cast<int>(currentAfter));
    QCOMPARE(form->ChangeItemAction()->isEnabled(), currentAfter != 0);
    QCOMPARE(form->DeleteItemAction()->isEnabled(), currentAfter != 0);
    if (currentAfter == 0) {
        QVERIFY(form->LanguageBox()->currentText().isEmpty());
        QVERIFY(form->DescriptionMemo()->toPlainText().isEmpty());
        QVERIFY(form->DateEdit()->text().isEmpty());
    }
}

void TestMainFormEdit::focusGuard_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("editing");
    for (const char* c : {"description", "minutes", "language", "date"}) {
        QTest::newRow(qPrintable(QStringLiteral("%1, viewing").arg(c))) << c << false;
        QTest::newRow(qPrintable(QStringLiteral("%1, editing").arg(c))) << c << true;
    }
}

// Clicking into the panel while viewing leaves the focus in the list; while
// editing the control keeps it.
void TestMainFormEdit::focusGuard() {
    QFETCH(QString, control);
    QFETCH(bool, editing);
    auto form = MakeForm(2);
    if (editing)
        form->ChangeItemAction()->trigger();
    QWidget* w = control == "description" ? form->DescriptionMemo()->viewport()
                 : control == "minutes"   ? static_cast<QWidget*>(form->TimeEdit())
                 : control == "language"  ? static_cast<QWidget*>(form->LanguageBox())
                                          : static_cast<QWidget*>(form->DateEdit());
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QWidget* expected = editing ? (control == "description" ? form->DescriptionMemo() : w)
                                : static_cast<QWidget*>(form->ListView());
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus != nullptr);
    QVERIFY2(focus == expected || expected->isAncestorOf(focus), qPrintable(focus->objectName()));
    if (!editing) {
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("9"));
        QCOMPARE(form->TimeEdit()->value(), 2);
        QCOMPARE(form->DescriptionMemo()->toPlainText(), QStringLiteral("Beschreibung"));
    }
    // No drop-down opened: the viewing panel offers no choice.
    QCOMPARE(QApplication::activePopupWidget(), nullptr);
}

QTEST_MAIN(TestMainFormEdit)
#include "tst_mainform_edit.moc"
