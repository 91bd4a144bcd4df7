// Drives the real main window (offscreen): enabling of the commands, the
// navigation, the sort rule through header clicks, the column toggles, the
// detail panel and the shortcuts.
#include "core/DataBase.h"
#include "core/DateUtil.h"
#include "gui/Anchors.h"
#include "gui/DatePicker.h"
#include "gui/MainForm.h"
#include "gui/Prompt.h"
#include "gui/RecordCompare.h"
#include "gui/RecordListModel.h"
#include "support/CoreTestUtil.h"
#include "support/ListViewProbe.h"
#include "support/WindowProbe.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>
#include <memory>
#include <random>

namespace {

struct EntryFields {
    const char* language;
    const char* type;
    const char* project;
    double date;
    unsigned minutes;
};

TRecordData Entry(const EntryFields& s, const char* description = "") {
    return coretest::Entry(s.language, s.type, s.project, s.date, s.minutes, description);
}

// A new entry through the command layer, as the user adds one.
TDataRecord* Add(TTestForm& form, const EntryFields& s, const char* description = "") {
    return form.Commands().AddEntry(Entry(s, description));
}

// Adds `n` distinct entries; entry i has TimeNeeded i.
void AddMany(TTestForm& form, int n) {
    for (int i = 0; i < n; ++i)
        Add(form, {"C++", "Zeiger", "P", coretest::Day(2001, 3, 7), static_cast<unsigned>(i)});
}

QStringList Column(const TTestForm& form, int position) {
    QStringList texts;
    for (int row = 0; row < form.ListModel()->rowCount(); ++row)
        texts << form.ListModel()->index(row, position).data().toString();
    return texts;
}

// Enabled state of: first, previous, next, last, change, delete, new, filter.
QString EnablingOf(const TTestForm& f) {
    QString s;
    for (QAction* a :
         {f.FirstItemAction(), f.PreviousItemAction(), f.NextItemAction(), f.LastItemAction(),
          f.ChangeItemAction(), f.DeleteItemAction(), f.NewItemAction(), f.FilterAction()})
        s += a->isEnabled() ? '1' : '0';
    return s;
}

// The list in its sort order; equal keys keep the database's order (the
// order of IDs), which the binary search of a single item relies on.
bool ListedInOrder(const TTestForm& form) {
    for (int row = 1; row < form.ItemCount(); ++row) {
        const TDataRecord& a = *form.ItemRecord(row - 1);
        const TDataRecord& b = *form.ItemRecord(row);
        const int c = form.List().ListViewCompare(a, b);
        if (c > 0 || (c == 0 && a.ID > b.ID))
            return false;
    }
    return true;
}

void ClickHeader(TTestForm& form, int position) {
    QHeaderView* header = form.ListView()->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(position) + header->sectionSize(position) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

class MainFormTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TTestForm> form_;

    TTestForm& shown() {
        form_->show();
        if (!QTest::qWaitForWindowExposed(form_.get()))
            qWarning("window not exposed");
        return *form_;
    }

private slots:
    void init() {
        Prompt::Testing::Begin();
        form_ = std::make_unique<TTestForm>();
    }
    void cleanup() {
        form_.reset();
        Prompt::Testing::End();
    }

    void designedWindow() {
        TTestForm& f = shown();
        QCOMPARE(f.ClientHeight(), 420);
        QCOMPARE(f.width(), 639);
        QCOMPARE(f.DetailPanel()->width(), 283);
        QCOMPARE(f.DetailPanel()->height(), 391);
        QCOMPARE(f.ListView()->geometry(), QRect(19, 16, 316, 365));
        QCOMPARE(f.ToolBar()->height(), 29);
        QVERIFY(!(f.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(f.windowFlags() & Qt::WindowMinimizeButtonHint);
        QCOMPARE(Headers(f), (QStringList{"Sprache", "Kategorie", "Datum"}));
        QCOMPARE(Widths(f), (QList<int>{70, 156, 70}));
        QCOMPARE(f.SortColumn(), ckNone);
        QVERIFY(f.SortDescending());
        QCOMPARE(Prompt::Testing::Messages().size(), 0);
    }

    void menusAndToolbar() {
        auto names = [](const QList<QAction*>& actions) {
            QStringList n;
            for (QAction* a : actions)
                n << (a->isSeparator() ? "-" : a->objectName());
            return n;
        };
        QCOMPARE(names(form_->DataBaseItem()->actions()),
                 (QStringList{"NewDataBaseAction", "LoadDataBaseAction", "SaveDataBaseAction",
                              "SaveDataBaseAsAction", "ImportDataBaseAction", "ImportCsvAction",
                              "ExportCsvAction", "ExportXlsxAction", "ReportAction", "-",
                              "PrintPreviewAction", "PrintAction", "-", "RestoreVersionAction", "-",
                              "RecentFilesItemAction", "-", "ExitAction"}));
        QSet<QChar> keys; // every access key of the menu once
        for (QAction* a : form_->DataBaseItem()->actions()) {
            const qsizetype at = a->text().indexOf('&');
            if (at < 0)
                continue;
            const QChar key = a->text()[at + 1].toLower();
            QVERIFY2(!keys.contains(key), qPrintable(a->text()));
            keys.insert(key);
        }
        QCOMPARE(names(form_->ShowItem()->actions()),
                 (QStringList{"NextItemAction", "PreviousItemAction", "FirstItemAction",
                              "LastItemAction", "-", "AnalysisAction"}));
        QCOMPARE(names(form_->DataItem()->actions()),
                 (QStringList{"UndoAction", "RedoAction", "-", "NewItemAction", "DeleteItemAction",
                              "ChangeItemAction", "-", "FilterAction", "-", "StopwatchAction",
                              "ResetStopwatchAction"}));
        QCOMPARE(names(form_->OptionItem()->actions()),
                 (QStringList{"ConfigItem", "SaveOptionItem"}));
        QCOMPARE(names(form_->HelpItem()->actions()),
                 (QStringList{"HandbookAction", "InfoAction"}));
        QStringList bar;
        for (QAction* a : form_->ToolBar()->actions()) {
            if (!a->isVisible()) // the stopwatch's time, shown while it holds time
                continue;
            QWidget* w = form_->ToolBar()->widgetForAction(a);
            bar << w->objectName();
            if (w->objectName().endsWith("Button"))
                QCOMPARE(w->width(), w->objectName().startsWith("SplitButton") ? 10 : 23);
        }
        QCOMPARE(bar, (QStringList{"FirstButton", "PreviousButton", "NextButton", "LastButton",
                                   "SplitButton1", "NewButton", "DeleteButton", "ChangeButton",
                                   "SplitButton2", "FilterButton", "SearchSpacer", "SplitButton4",
                                   "SearchEdit"}));
        // The search field sits at the right end of the toolbar.
        QVERIFY(shown().ToolBar()->width() - form_->SearchEdit()->geometry().right() <= 4);
        QCOMPARE(form_->ListView()->contextMenuPolicy(), Qt::CustomContextMenu);
        QStringList popup;
        for (QAction* a : form_->ListViewPopup()->actions())
            popup << QString("%1:%2").arg(a->text()).arg(a->isChecked());
        QCOMPARE(popup,
                 (QStringList{"Sprache:1", "Kategorie:1", "Projekt:0", "Datum:1", "Aufwand:0"}));
    }

    void actionProperties_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<QKeySequence>("shortcut");
        QTest::addColumn<bool>("picture");
        QTest::newRow("exit") << "ExitAction"
                              << "&Beenden"
                              << "beendet das Programm" << QKeySequence() << false;
        QTest::newRow("import") << "ImportDataBaseAction"
                                << "Datenbank &importieren..."
                                << "fügt die Einträge einer anderen Datenbank der geöffneten "
                                   "Datenbank hinzu"
                                << QKeySequence("Ctrl+I") << false;
        QTest::newRow("first") << "FirstItemAction"
                               << "&Anfang der Datenbank"
                               << "springt zum ersten Datensatz der Datenbank"
                               << QKeySequence("Ctrl+Home") << true;
        QTest::newRow("next") << "NextItemAction"
                              << "&nächster Datensatz"
                              << "springt zum nächsten Datensatz der Datenbank" << QKeySequence()
                              << true;
        QTest::newRow("new") << "NewItemAction"
                             << "&neuer Datensatz"
                             << "erstellt einen neuen Datensatz in der Datenbank"
                             << QKeySequence("Ctrl+Ins") << true;
        QTest::newRow("change") << "ChangeItemAction"
                                << "Datensatz &ändern"
                                << "ändert den aktuellen Datensatz"
                                << QKeySequence(Qt::CTRL | Qt::Key_Return) << true;
        QTest::newRow("delete") << "DeleteItemAction"
                                << "Datensatz &löschen"
                                << "löscht den aktuellen Datensatz" << QKeySequence("Ctrl+Del")
                                << true;
        QTest::newRow("undo") << "UndoAction"
                              << "&Rückgängig"
                              << "nimmt den letzten Schritt zurück" << QKeySequence("Ctrl+Z")
                              << true;
        QTest::newRow("redo") << "RedoAction"
                              << "&Wiederherstellen"
                              << "führt den zurückgenommenen Schritt wieder aus"
                              << QKeySequence("Ctrl+Y") << true;
        QTest::newRow("filter") << "FilterAction"
                                << "Filtern ..."
                                << "Filtern der Datensätze" << QKeySequence("Ctrl+F") << true;
        QTest::newRow("search") << "SearchAction"
                                << "&Suchen"
                                << "sucht in allen Feldern der Einträge (Strg+E)"
                                << QKeySequence("Ctrl+E") << true;
        QTest::newRow("analysis") << "AnalysisAction"
                                  << "&Auswertung..."
                                  << "zeigt Häufigkeit und Aufwand der Fehler"
                                  << QKeySequence("Ctrl+T") << true;
        QTest::newRow("print") << "PrintAction"
                               << "&Drucken..."
                               << "druckt die angezeigten Einträge in der Reihenfolge der Liste"
                               << QKeySequence("Ctrl+P") << false;
    }
    void actionProperties() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, hint);
        QFETCH(QKeySequence, shortcut);
        QFETCH(bool, picture);
        auto* a = form_->findChild<QAction*>(name);
        QVERIFY(a);
        QVERIFY(form_->ActionList().contains(a));
        QCOMPARE(a->text(), caption);
        QCOMPARE(a->toolTip(), hint);
        QCOMPARE(a->statusTip(), hint);
        QCOMPARE(a->shortcut(), shortcut);
        QCOMPARE(!a->icon().isNull(), picture);
        if (picture) // the SVG resource is found and drawn
            QVERIFY(!a->icon().pixmap(16, 16).toImage().isNull());
    }

    // Ctrl+I is the import's: the information item only shows the key.
    void ctrlIRunsTheImport_data() {
        QTest::addColumn<bool>("importEnabled");
        QTest::newRow("import enabled") << true;
        QTest::newRow("import disabled") << false;
    }
    void ctrlIRunsTheImport() {
        QFETCH(bool, importEnabled);
        TTestForm& f = shown();
        QApplication::setActiveWindow(&f);
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QVERIFY(f.InfoAction()->text().endsWith("\tCtrl+I"));
        QVERIFY(f.InfoAction()->shortcut().isEmpty());
        f.ImportDataBaseAction()->setEnabled(importEnabled);
        QSignalSpy import(f.ImportDataBaseAction(), &QAction::triggered);
        QSignalSpy info(f.InfoAction(), &QAction::triggered);
        QTest::keyClick(f.ListView(), Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(import.count(), importEnabled ? 1 : 0);
        QCOMPARE(info.count(), 0);
    }

    // F1 hands the handbook to the desktop.
    void handbookOnF1() {
        TTestForm& f = shown();
        QApplication::setActiveWindow(&f);
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QTest::keyClick(f.ListView(), Qt::Key_F1);
        QCOMPARE(Prompt::Testing::OpenedUrls().size(), 1);
        QVERIFY(Prompt::Testing::OpenedUrls()[0].toLocalFile().endsWith("docs/handbuch.md"));
        QVERIFY(Prompt::Testing::Messages().isEmpty());
    }

    void enabling_data() {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("current"); // -1: the one RebuildList chose
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty list") << 0 << -1 << "00000011";
        QTest::newRow("single entry") << 1 << -1 << "00001111";
        QTest::newRow("first of three") << 3 << 0 << "00111111";
        QTest::newRow("middle of three") << 3 << 1 << "11111111";
        QTest::newRow("last of three") << 3 << 2 << "11001111";
    }
    void enabling() {
        QFETCH(int, entries);
        QFETCH(int, current);
        QFETCH(QString, expected);
        AddMany(*form_, entries);
        form_->RebuildList();
        if (current >= 0) {
            form_->SetCurrentItem(current);
            form_->ShowSelectedRecord();
        }
        QCOMPARE(EnablingOf(*form_), expected);
        QCOMPARE(form_->IsFirstItem(form_->CurrentItem()), entries > 0 && expected[0] == '0');
        QCOMPARE(form_->IsLastItem(form_->CurrentItem()), entries > 0 && expected[3] == '0');
    }

    void emptyPanel() {
        form_->RebuildList();
        QCOMPARE(form_->CurrentItem(), -1);
        QCOMPARE(form_->LanguageBox()->currentText(), QString());
        QCOMPARE(form_->DateEdit()->text(), QString());
        QCOMPARE(form_->DatePicker()->Date(), 0.0);
        QCOMPARE(form_->TimeEdit()->value(), 0);
        const QPalette p = form_->TimeEdit()->palette();
        QCOMPARE(p.color(QPalette::Text), p.color(QPalette::Base)); // the 0 can't be seen
        QCOMPARE(form_->DescriptionMemo()->toPlainText(), QString());
    }

    // First start: sorted by ID, largest first, so the entry added last is on top
    // and current; the panel shows it.
    void rebuildShowsNewestFirst() {
        Add(*form_, {"Pascal", "Syntax", "Alt", coretest::Day(1999, 12, 31), 5});
        Add(*form_, {"C++", "Zeiger", "Neu", coretest::Day(2001, 3, 7), 42}, "Zeile\nzwei");
        form_->RebuildList();
        QCOMPARE(Column(*form_, 0), (QStringList{"C++", "Pascal"}));
        QCOMPARE(Column(*form_, 2), (QStringList{"07.03.2001", "31.12.1999"}));
        QCOMPARE(form_->CurrentItem(), 0);
        QVERIFY(form_->ListView()->selectionModel()->isRowSelected(0, {}));
        QCOMPARE(form_->LanguageBox()->currentText(), QString("C++"));
        QCOMPARE(form_->TypeBox()->currentText(), QString("Zeiger"));
        QCOMPARE(form_->ProjectBox()->currentText(), QString("Neu"));
        QCOMPARE(form_->DateEdit()->text(), QString("07.03.2001"));
        QCOMPARE(form_->DatePicker()->Date(), coretest::Day(2001, 3, 7));
        QCOMPARE(form_->TimeEdit()->value(), 42);
        const QPalette p = form_->TimeEdit()->palette();
        QVERIFY(p.color(QPalette::Text) != p.color(QPalette::Base));
        QCOMPARE(form_->DescriptionMemo()->toPlainText(), QString("Zeile\nzwei"));
        QCOMPARE(form_->LanguageBox()->count(), form_->DataBase().Languages.Count());
    }

    void hiddenEntriesAreNotListed() {
        Add(*form_, {"C++", "Zeiger", "P", coretest::Day(2001, 3, 7), 1});
        Add(*form_, {"Pascal", "Zeiger", "P", coretest::Day(2001, 3, 7), 1});
        form_->SetFilterTick(form_->DataBase().Languages, "Pascal", false, true);
        QCOMPARE(Column(*form_, 0), (QStringList{"C++"}));
    }

    void navigation() {
        for (unsigned i = 1; i <= 3; ++i)
            Add(*form_, {"C++", "Zeiger", "P", coretest::Day(2001, 3, 7), i});
        form_->RebuildList(); // rows show minutes 3, 2, 1
        auto minutes = [this] { return form_->TimeEdit()->value(); };
        QCOMPARE(minutes(), 3);
        QCOMPARE(form_->SelectPreviousItem(), -1);
        QCOMPARE(form_->SelectNextItem(), 1);
        form_->NextItemAction()->trigger();
        QCOMPARE(minutes(), 2);
        form_->LastItemAction()->trigger();
        QCOMPARE(minutes(), 1);
        QCOMPARE(form_->SelectNextItem(), -1);
        QVERIFY(!form_->NextItemAction()->isEnabled());
        form_->NextItemAction()->trigger(); // disabled: does nothing
        QCOMPARE(form_->CurrentItem(), 2);
        form_->PreviousItemAction()->trigger();
        QCOMPARE(minutes(), 2);
        form_->FirstItemAction()->trigger();
        QCOMPARE(minutes(), 3);
        QCOMPARE(form_->CurrentItem(), 0);
        QVERIFY(form_->ListView()->selectionModel()->isRowSelected(0, {}));
        form_->SetCurrentItem(-1);
        QCOMPARE(form_->SelectNextItem(), 0);
        QCOMPARE(form_->SelectPreviousItem(), -1);
    }

    void navigationShortcuts() {
        TTestForm& f = shown();
        QApplication::setActiveWindow(&f);
        QVERIFY(QTest::qWaitForWindowActive(&f));
        for (unsigned i = 1; i <= 3; ++i)
            Add(f, {"C++", "Zeiger", "P", coretest::Day(2001, 3, 7), i});
        f.RebuildList();
        QTest::keyClick(f.ListView(), Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(f.CurrentItem(), 2);
        QCOMPARE(f.TimeEdit()->value(), 1);
        QTest::keyClick(f.ListView(), Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(f.CurrentItem(), 0);
        QTest::keyClick(f.ListView(), Qt::Key_Down); // the arrow keys move the current item
        QCOMPARE(f.TimeEdit()->value(), 2);
        QVERIFY(f.ListView()->selectionModel()->isRowSelected(1, {}));
        // Home and End alone go to the first and the last entry, as in a report list.
        QTest::keyClick(f.ListView(), Qt::Key_End);
        QCOMPARE(f.CurrentItem(), 2);
        QVERIFY(f.ListView()->selectionModel()->isRowSelected(2, {}));
        QTest::keyClick(f.ListView(), Qt::Key_Home);
        QCOMPARE(f.CurrentItem(), 0);
        QCOMPARE(f.TimeEdit()->value(), 3);
    }

    void clickOnEmptyAreaKeepsCurrent() {
        TTestForm& f = shown();
        AddMany(f, 2);
        f.RebuildList();
        f.NextItemAction()->trigger();
        QWidget* viewport = f.ListView()->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(10, viewport->height() - 5));
        QCOMPARE(f.CurrentItem(), 1);
        QVERIFY(f.ListView()->selectionModel()->isRowSelected(1, {}));
        QCOMPARE(f.TimeEdit()->value(), 0);
        QVERIFY(f.LastItemAction()->isEnabled() == false);
    }

    void textKey_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("key");
        QTest::newRow("ascii") << QByteArray("Zeiger") << QByteArray("zeiger");
        QTest::newRow("lower umlauts") << QByteArray("\xE4\xF6\xFC") << QByteArray("aou");
        QTest::newRow("capitals and sharp s stay")
            << QByteArray("\xC4\xD6\xDC\xDF") << QByteArray("\xC4\xD6\xDC\xDF");
        QTest::newRow("other letters stay") << QByteArray("\xE9\xC9") << QByteArray("\xE9\xC9");
        QTest::newRow("digits") << QByteArray("C++ 7") << QByteArray("c++ 7");
    }
    void textKey() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, key);
        QCOMPARE(QByteArray::fromStdString(RecordCompare::TextKey(text.toStdString())), key);
    }

    void compareRule_data() {
        QTest::addColumn<QByteArray>("a");
        QTest::addColumn<QByteArray>("b");
        QTest::addColumn<int>("ascending"); // sign of the comparison of a with b
        QTest::newRow("case folds") << QByteArray("Zeiger") << QByteArray("zeiger") << 0;
        QTest::newRow("prefix first") << QByteArray("abc") << QByteArray("abcd") << -1;
        QTest::newRow("bytes unsigned") << QByteArray("\xC4pfel") << QByteArray("zebra") << 1;
        QTest::newRow("umlaut as vowel") << QByteArray("\xFC") << QByteArray("u") << 0;
        QTest::newRow("beyond eight bytes")
            << QByteArray("abcdefghX") << QByteArray("abcdefghY") << -1;
    }
    void compareRule() {
        QFETCH(QByteArray, a);
        QFETCH(QByteArray, b);
        QFETCH(int, ascending);
        TDataBase db;
        const TDataRecord& e1 = *db.AddRecord(coretest::Entry("L", a.toStdString(), "P", 1, 1));
        const TDataRecord& e2 = *db.AddRecord(coretest::Entry("L", b.toStdString(), "P", 1, 2));
        auto sign = [](int v) { return (v > 0) - (v < 0); };
        QCOMPARE(sign(RecordCompare::CompareEntries(e1, e2, ckType, false)), ascending);
        QCOMPARE(sign(RecordCompare::CompareEntries(e1, e2, ckType, true)), -ascending);
        // The packed key never contradicts the rule.
        const auto k1 = RecordCompare::PackedKey(e1, ckType);
        const auto k2 = RecordCompare::PackedKey(e2, ckType);
        if (k1 != k2)
            QCOMPARE(k1 < k2 ? -1 : 1, ascending);
    }

    // Header clicks: the first click sorts larger keys first, the second
    // smaller first, another header larger first again.
    void headerClickSorts_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<QStringList>("second");
        QTest::newRow("Kategorie") << 1 << QStringList{"Äpfel", "Zebra", "über", "apfel"}
                                   << QStringList{"apfel", "über", "Zebra", "Äpfel"};
        QTest::newRow("Datum") << 2 << QStringList{"über", "Zebra", "apfel", "Äpfel"}
                               << QStringList{"Äpfel", "apfel", "Zebra", "über"};
    }
    void headerClickSorts() {
        QFETCH(int, position);
        QFETCH(QStringList, first);
        QFETCH(QStringList, second);
        TTestForm& f = shown();
        const TDataBase& db = f.DataBase();
        // Dates: 31.12.1999 < 01.01.2000 < 01.01.2000 12:00 < 02.01.2000.
        Add(f, {"C", "\xC4pfel", "P", coretest::Day(1999, 12, 31), 1});
        Add(f, {"C", "apfel", "P", coretest::Day(2000, 1, 1), 1});
        Add(f, {"C", "Zebra", "P", coretest::Day(2000, 1, 1) + 0.5, 1});
        Add(f, {"C",
                "\xFC"
                "ber",
                "P", coretest::Day(2000, 1, 2), 1});
        f.RebuildList();
        f.SetCurrentItem(f.ListModel()->RowOf(db.GetRecord(1))); // "apfel"
        f.ShowSelectedRecord();
        ClickHeader(f, position);
        QCOMPARE(Column(f, 1), first);
        QCOMPARE(f.SortDescending(), true);
        // The current item stays the same entry, and the enabling follows its place.
        QCOMPARE(f.TypeBox()->currentText(), QString("apfel"));
        QCOMPARE(f.ItemRecord(f.CurrentItem()), db.GetRecord(1));
        QCOMPARE(f.LastItemAction()->isEnabled(), !f.IsLastItem(f.CurrentItem()));
        QCOMPARE(f.FirstItemAction()->isEnabled(), !f.IsFirstItem(f.CurrentItem()));
        ClickHeader(f, position);
        QCOMPARE(Column(f, 1), second);
        QCOMPARE(f.SortDescending(), false);
        QCOMPARE(f.ItemRecord(f.CurrentItem()), db.GetRecord(1));
        ClickHeader(f, 0); // another header: larger keys first
        QCOMPARE(f.SortColumn(), ckLanguage);
        QCOMPARE(f.SortDescending(), true);
    }

    // The current entry stays in view when a sort moves it far down or up.
    void sortKeepsCurrentInView_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("clicks"); // on the "Aufwand" header
        QTest::newRow("reversed: from the top to the bottom") << 3 << 2;
        QTest::newRow("reversed back: from the bottom to the top") << 296 << 3;
    }
    void sortKeepsCurrentInView() {
        QFETCH(int, row);
        QFETCH(int, clicks);
        TTestForm& f = shown();
        AddMany(f, 300); // listed by minutes, highest first
        f.RebuildList();
        f.Child<QAction>("colTimeItem")->trigger();
        for (int i = 1; i < clicks; ++i)
            f.ListViewColumnClick(3);
        f.SetCurrentItem(row);
        f.ShowSelectedRecord();
        const TDataRecord* current = f.ItemRecord(f.CurrentItem());
        ClickHeader(f, 3);
        QCOMPARE(f.ItemRecord(f.CurrentItem()), current);
        QVERIFY(qAbs(f.CurrentItem() - row) > 200);
        const QRect place = f.ListView()->visualRect(f.ListModel()->index(f.CurrentItem(), 0));
        QVERIFY2(f.ListView()->viewport()->rect().contains(place),
                 qPrintable(QString::number(place.y())));
    }

    void equalKeysKeepDatabaseOrder() {
        for (unsigned i = 0; i < 6; ++i)
            Add(*form_, {i % 2 ? "B" : "A", "Zeiger", "P", coretest::Day(2001, 3, 7), i});
        form_->RebuildList();
        form_->ListViewColumnClick(0); // Sprache, larger first
        QCOMPARE(Column(*form_, 0), (QStringList{"B", "B", "B", "A", "A", "A"}));
        QStringList minutes;
        for (int row = 0; row < form_->ItemCount(); ++row)
            minutes << QString::number(form_->ItemRecord(row)->TimeNeeded);
        QCOMPARE(minutes, (QStringList{"1", "3", "5", "0", "2", "4"}));
    }

    void headerClickOnEmptyList() {
        form_->RebuildList();
        form_->ListViewColumnClick(1);
        QCOMPARE(form_->SortColumn(), ckType);
        QVERIFY(form_->SortDescending());
        form_->ListViewColumnClick(1);
        QVERIFY(!form_->SortDescending());
        QCOMPARE(form_->ItemCount(), 0);
        QCOMPARE(EnablingOf(*form_), QString("00000011"));
    }

    // Each step toggles one column through its pop-up item.
    void columnToggles_data() {
        QTest::addColumn<QStringList>("toggles");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<QList<int>>("widths");
        QTest::addColumn<QString>("firstRow");
        QTest::addColumn<QString>("ticks");
        QTest::newRow("hide the leftmost")
            << QStringList{"colLanguageItem"} << QStringList{"Kategorie", "Datum"}
            << QList<int>{156, 70} << "Zeiger|07.03.2001"
            << "01010";
        QTest::newRow("show appends 50 wide")
            << QStringList{"colTimeItem"} << QStringList{"Sprache", "Kategorie", "Datum", "Aufwand"}
            << QList<int>{70, 156, 70, 50} << "C++|Zeiger|07.03.2001|42"
            << "11011";
        QTest::newRow("hide then show moves it right")
            << QStringList{"colLanguageItem", "colLanguageItem"}
            << QStringList{"Kategorie", "Datum", "Sprache"} << QList<int>{156, 70, 50}
            << "Zeiger|07.03.2001|C++"
            << "11010";
        QTest::newRow("show, then hide the leftmost")
            << QStringList{"colTimeItem", "colLanguageItem"}
            << QStringList{"Kategorie", "Datum", "Aufwand"} << QList<int>{156, 70, 50}
            << "Zeiger|07.03.2001|42"
            << "01011";
        QTest::newRow("hide all five")
            << QStringList{"colLanguageItem", "colTypeItem", "colDateItem"} << QStringList{}
            << QList<int>{} << ""
            << "00000";
        QTest::newRow("show one again")
            << QStringList{"colLanguageItem", "colTypeItem", "colDateItem", "colProjectItem"}
            << QStringList{"Projekt"} << QList<int>{50} << "Alpha"
            << "00100";
    }
    void columnToggles() {
        QFETCH(QStringList, toggles);
        QFETCH(QStringList, headers);
        QFETCH(QList<int>, widths);
        QFETCH(QString, firstRow);
        QFETCH(QString, ticks);
        TTestForm& f = shown();
        Add(f, {"C++", "Zeiger", "Alpha", coretest::Day(2001, 3, 7), 42});
        f.RebuildList();
        f.ListViewColumnClick(1); // sorted by Kategorie
        for (const QString& name : toggles)
            f.findChild<QAction*>(name)->trigger();
        QCOMPARE(::Headers(f), headers);
        QCOMPARE(::Widths(f), widths);
        QStringList texts;
        for (int p = 0; p < OccupiedSlots(f.ColumnOrder()); ++p)
            texts << f.ListModel()->index(0, p).data().toString();
        QCOMPARE(texts.join('|'), firstRow);
        QString t;
        for (QAction* a : f.ListViewPopup()->actions())
            t += a->isChecked() ? '1' : '0';
        QCOMPARE(t, ticks);
        QCOMPARE(f.SortColumn(), ckType); // toggles leave the sort alone
        QCOMPARE(f.CurrentItem(), 0);     // the item stays current
        QVERIFY(f.ListView()->selectionModel()->isRowSelected(0, {})); // in every column
        QCOMPARE(f.LanguageBox()->currentText(), QString("C++"));
    }

    void hidingTheSortColumnKeepsOrder() {
        for (const char* t : {"b", "c", "a"})
            Add(*form_, {"X", t, "P", coretest::Day(2001, 3, 7), 1});
        form_->RebuildList();
        form_->ListViewColumnClick(1);
        form_->Child<QAction>("colTypeItem")->trigger();
        QCOMPARE(form_->SortColumn(), ckType);
        QStringList order;
        for (int row = 0; row < form_->ItemCount(); ++row)
            order << QString::fromStdString(form_->ItemRecord(row)->ErrorType());
        QCOMPARE(order, (QStringList{"c", "b", "a"}));
    }

    void comboSelection_data() {
        QTest::addColumn<QByteArray>("language");
        QTest::addColumn<bool>("dropFromBox");
        QTest::addColumn<QString>("shown");
        QTest::newRow("same case") << QByteArray("Delphi") << false << "Delphi";
        QTest::newRow("other case finds the item") << QByteArray("delphi") << false << "Delphi";
        QTest::newRow("umlaut other case") << QByteArray("\xFC"
                                                         "bel")
                                           << false << "Übel";
        QTest::newRow("missing from the box") << QByteArray("Delphi") << true << "";
    }
    void comboSelection() {
        QFETCH(QByteArray, language);
        QFETCH(bool, dropFromBox);
        QFETCH(QString, shown);
        Add(*form_, {"Delphi", "Zeiger", "P", coretest::Day(2001, 3, 7), 1});
        Add(*form_, {"\xDC"
                     "bel",
                     "Zeiger", "P", coretest::Day(2001, 3, 7), 1});
        // Spelled as a loaded file may spell it.
        TDataRecord* e =
            Add(*form_, {language.constData(), "Zeiger", "P", coretest::Day(2001, 3, 7), 2});
        form_->RebuildList();
        if (dropFromBox)
            form_->LanguageBox()->removeItem(form_->LanguageBox()->findText("Delphi"));
        form_->SetCurrentItem(form_->ListModel()->RowOf(e));
        form_->ShowSelectedRecord();
        QCOMPARE(form_->LanguageBox()->currentText(), shown);
        QCOMPARE(form_->LanguageBox()->currentIndex() >= 0, !shown.isEmpty());
    }

    // Single items go to their sorted place without sorting the whole list.
    void singleItemsKeepSortOrder_data() {
        QTest::addColumn<int>("sortColumn");
        QTest::addColumn<bool>("descending");
        for (int c = ckNone; c <= ckTime; ++c)
            for (bool d : {false, true})
                QTest::addRow("column %d %s", c, d ? "desc" : "asc") << c << d;
    }
    void singleItemsKeepSortOrder() {
        QFETCH(int, sortColumn);
        QFETCH(bool, descending);
        std::mt19937 random(7);
        const char* words[] = {"a", "B", "\xE4", "\xC4", "ab", "abcdefghij", "abcdefghik", ""};
        // Entries of a database of the test's own, which the list shows.
        TDataBase db;
        auto entry = [&](unsigned i) {
            return db.AddRecord(
                Entry({words[random() % 8], words[random() % 8], words[random() % 8],
                       coretest::Day(2000, 1, 1) + double(random() % 5) * 0.5, i}));
        };
        std::vector<TDataRecord*> first;
        for (unsigned i = 0; i < 20; ++i)
            first.push_back(entry(i));
        form_->List().SetSort(static_cast<TColumnKind>(sortColumn), descending);
        form_->List().SetEntries(std::move(first));
        auto sorted = [this] { return ListedInOrder(*form_); };
        QVERIFY(sorted());
        for (unsigned i = 20; i < 40; ++i)
            form_->List().AddListItem(entry(i));
        QVERIFY(sorted());
        QCOMPARE(form_->ItemCount(), 40);
        // Refill items with other entries (as a change does).
        for (unsigned i = 40; i < 60; ++i) {
            const int row = static_cast<int>(random() % 40);
            const int now = form_->List().FillListItem(row, entry(i));
            QCOMPARE(form_->ItemRecord(now)->TimeNeeded, i);
            QVERIFY(sorted());
        }
        form_->List().RemoveListItem(5);
        QCOMPARE(form_->ItemCount(), 39);
        QVERIFY(sorted());
    }

    // A rebuild sorts by every column in both directions, from no entry to
    // more distinct values than the list ranks (it then sorts the rows by
    // their keys themselves).
    void rebuildSortsEveryColumn_data() {
        QTest::addColumn<int>("entries");
        for (int n : {0, 1, 70000})
            QTest::addRow("%d entries", n) << n;
    }
    void rebuildSortsEveryColumn() {
        QFETCH(int, entries);
        std::vector<TRecordData> filled;
        for (int i = 0; i < entries; ++i) {
            const std::string language = "L" + std::to_string(i % 70001);
            filled.push_back(Entry({language.c_str(), i % 3 ? "Zeiger" : "Syntax", "P",
                                    coretest::Day(2000, 1, 1) + i / 1000.0,
                                    static_cast<unsigned>((i * 7919) % 100000)}));
        }
        form_->Fill(filled);
        for (int c = ckNone; c <= ckTime; ++c)
            for (bool descending : {false, true}) {
                form_->List().SetSort(static_cast<TColumnKind>(c), descending);
                form_->RebuildList();
                QCOMPARE(form_->ItemCount(), entries);
                QVERIFY2(
                    ListedInOrder(*form_),
                    qPrintable(QStringLiteral("column %1, descending %2").arg(c).arg(descending)));
                // Sorted again from that order, as a header click does.
                form_->List().SetSort(static_cast<TColumnKind>(c == ckTime ? ckNone : c + 1),
                                      !descending);
                form_->ListModel()->Sort(form_->SortColumn(), form_->SortDescending());
                QVERIFY2(ListedInOrder(*form_),
                         qPrintable(QStringLiteral("sorted again after column %1").arg(c)));
            }
    }

    // The file dialogs are made at their first use, not with the window, and
    // kept with what the user chose in them.
    void fileDialogsAreMadeOnFirstUseAndKept() {
        QVERIFY(form_->findChildren<QFileDialog*>().isEmpty());
        auto cancelled = [this](QAction* command, const char* dialog) {
            Prompt::Testing::QueueFile(std::nullopt);
            command->trigger();
            return form_->MadeChild<QFileDialog>(dialog);
        };
        QFileDialog* csv = cancelled(form_->ExportCsvAction(), "CsvExportDialog");
        QCOMPARE(form_->findChildren<QFileDialog*>(), QList<QFileDialog*>{csv});
        QCOMPARE(csv->objectName(), QStringLiteral("CsvExportDialog"));
        csv->selectNameFilter(QStringLiteral("CSV mit Komma (*.csv)"));
        QCOMPARE(cancelled(form_->ExportCsvAction(), "CsvExportDialog"), csv);
        QCOMPARE(csv->selectedNameFilter(), QStringLiteral("CSV mit Komma (*.csv)"));
        const std::pair<QAction*, const char*> others[] = {
            {form_->SaveDataBaseAsAction(), "SaveDialog"},
            {form_->LoadDataBaseAction(), "OpenDialog"},
            {form_->ImportCsvAction(), "CsvImportDialog"},
            {form_->ExportXlsxAction(), "XlsxExportDialog"}};
        for (const auto& [command, name] : others) {
            QFileDialog* made = cancelled(command, name);
            QVERIFY(made != csv && made->parent() == form_.get());
        }
        QCOMPARE(form_->findChildren<QFileDialog*>().size(), 5);
    }

    void fillListItemKeepsCurrent() {
        TTestForm& f = shown();
        // Entries of a database of the test's own, which the list shows.
        TDataBase db;
        std::vector<TDataRecord*> entries;
        for (const char* t : {"a", "b", "c"})
            entries.push_back(db.AddRecord(Entry({"X", t, "P", coretest::Day(2001, 3, 7), 1})));
        f.List().SetEntries(std::move(entries));
        f.ListViewColumnClick(1); // c, b, a
        f.SetCurrentItem(2);      // "a"
        f.ShowSelectedRecord();
        TDataRecord* z = db.AddRecord(Entry({"X", "z", "P", coretest::Day(2001, 3, 7), 1}));
        f.Panel().LoadValueBoxes(db);
        QCOMPARE(f.List().FillListItem(2, z), 0);
        QCOMPARE(f.CurrentItem(), 0);
        f.ShowSelectedRecord();
        QCOMPARE(f.TypeBox()->currentText(), QString("z"));
        QCOMPARE(Column(f, 1), (QStringList{"z", "c", "b"}));
    }

    void detailPanelViewingState() {
        TTestForm& f = shown();
        QVERIFY(!f.LanguageBox()->isEditable());
        QVERIFY(!f.TypeBox()->isEditable());
        QVERIFY(!f.ProjectBox()->isEditable());
        QVERIFY(f.DateEdit()->isReadOnly());
        QVERIFY(!(f.DateEdit()->focusPolicy() & Qt::TabFocus));
        QVERIFY(!f.DatePicker()->isEnabled());
        QCOMPARE(f.DatePicker()->width(), 18);
        QVERIFY(f.TimeEdit()->isReadOnly());
        QCOMPARE(f.TimeEdit()->minimum(), 0);
        QCOMPARE(f.TimeEdit()->maximum(), 1000000);
        QVERIFY(f.DescriptionMemo()->isReadOnly());
        QVERIFY(!f.OkButton()->isVisible());
        QVERIFY(!f.CancelButton()->isVisible());
        QVERIFY(f.OkButton()->y() >= f.DetailPanel()->height()); // below the visible part
        QCOMPARE(f.OkButton()->text(), QString("OK"));
        QCOMPARE(f.CancelButton()->text(), QString("Abbruch"));
        // Enter and Escape reach no hidden button.
        QSignalSpy ok(f.OkButton(), &QPushButton::clicked);
        QSignalSpy cancel(f.CancelButton(), &QPushButton::clicked);
        QTest::keyClick(f.ListView(), Qt::Key_Return);
        QTest::keyClick(f.ListView(), Qt::Key_Escape);
        QCOMPARE(ok.count() + cancel.count(), 0);
        // Tab order within the panel skips DateEdit.
        // The next control of the panel that Tab stops at (inner widgets of a
        // control, such as a spin box's line edit, belong to it).
        auto nextTabStop = [&f](QWidget* w) {
            do
                w = w->nextInFocusChain();
            while (!(w->focusPolicy() & Qt::TabFocus) ||
                   (w->parentWidget() != f.DetailPanel() &&
                    w != static_cast<QWidget*>(f.DatePicker()->Button())));
            return w;
        };
        QWidget* w = f.LanguageBox();
        QStringList chain;
        for (int i = 0; i < 7; ++i)
            chain << (w = nextTabStop(w))->objectName();
        QCOMPARE(chain, (QStringList{"TypeBox", "ProjectBox", "DatePickerButton", "TimeEdit",
                                     "DescriptionMemo", "OkButton", "CancelButton"}));
    }

    // Positions at the designed size and after the window grew: each control
    // keeps its distances to the edges that it is anchored to.
    void detailAnchors_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("designed");
        QTest::addColumn<QRect>("grown"); // panel 60 wider and 40 higher
        QTest::newRow("Bevel1") << "Bevel1" << QRect(19, 16, 251, 71) << QRect(19, 16, 311, 71);
        QTest::newRow("LanguageBox")
            << "LanguageBox" << QRect(96, 26, 158, 21) << QRect(96, 26, 218, 21);
        QTest::newRow("ProjectBox")
            << "ProjectBox" << QRect(85, 120, 169, 21) << QRect(85, 120, 229, 21);
        QTest::newRow("Bevel2") << "Bevel2" << QRect(19, 108, 251, 273) << QRect(19, 108, 311, 313);
        QTest::newRow("DateEdit") << "DateEdit" << QRect(85, 172, 65, 21)
                                  << QRect(85, 172, 125, 21);
        QTest::newRow("DatePicker")
            << "DatePicker" << QRect(150, 172, 18, 21) << QRect(210, 172, 18, 21);
        QTest::newRow("TimeEdit") << "TimeEdit" << QRect(181, 172, 70, 22)
                                  << QRect(241, 172, 70, 22);
        QTest::newRow("Bevel3") << "Bevel3" << QRect(19, 206, 251, 173) << QRect(19, 206, 311, 213);
        QTest::newRow("DescriptionMemo")
            << "DescriptionMemo" << QRect(34, 236, 220, 129) << QRect(34, 236, 280, 169);
        QTest::newRow("OkButton") << "OkButton" << QRect(19, 398, 101, 24)
                                  << QRect(19, 438, 101, 24);
        QTest::newRow("CancelButton")
            << "CancelButton" << QRect(171, 398, 101, 24) << QRect(231, 438, 101, 24);
    }
    void detailAnchors() {
        QFETCH(QString, name);
        QFETCH(QRect, designed);
        QFETCH(QRect, grown);
        TTestForm& f = shown();
        auto* w = f.DetailPanel()->findChild<QWidget*>(name);
        QVERIFY(w);
        QCOMPARE(w->geometry(), designed);
        f.DetailPanel()->resize(f.DetailPanel()->width() + 60, f.DetailPanel()->height() + 40);
        QCOMPARE(w->geometry(), grown);
    }

    void windowMinimumSize() {
        TTestForm& f = shown();
        f.resize(100, 100);
        QVERIFY(f.width() >= 402);
        QVERIFY(f.ClientHeight() >= 324);
        QVERIFY(f.ListPanel()->width() >= TMainForm::ListPanelMinWidth);
    }
};

QTEST_MAIN(MainFormTest)
#include "tst_mainform.moc"
