// The filter command on the real main window with the real filter dialog:
// what OK writes back (flags by position, AND mode, list), what Cancel keeps.
#include "core/DataBase.h"
#include "core/DateUtil.h"
#include "gui/FilterForm.h"
#include "gui/MainForm.h"
#include "support/CoreTestUtil.h"
#include "support/DialogDriver.h"
#include "support/WindowProbe.h"

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

TRecordData Entry(const char* language, const char* type, const char* project,
                  std::uint32_t minutes) {
    return coretest::Entry(language, type, project, EncodeDate({2001, 3, 7}), minutes);
}

// Four entries over two languages, two categories and two projects.
std::unique_ptr<TTestForm> MakeForm() {
    auto form = std::make_unique<TTestForm>();
    form->Fill({Entry("C++", "Zeiger", "P1", 0), Entry("C++", "Syntax", "P2", 1),
                Entry("Java", "Zeiger", "P2", 2), Entry("Java", "Syntax", "P1", 3)});
    return form;
}

// Flags of a value list as a string of 0/1, then the mode.
QString Flags(const TValueList& list) {
    QString s;
    for (int i = 0; i < list.Count(); ++i)
        s += list.Filter(i).Checked ? QLatin1Char('1') : QLatin1Char('0');
    return s;
}

QString State(const TTestForm& form) {
    const TDataBase& db = form.DataBase();
    return QStringLiteral("%1 %2 %3 %4 listed %5")
        .arg(Flags(db.Languages), Flags(db.ErrorTypes), Flags(db.Projects),
             db.AndFilter ? QStringLiteral("AND") : QStringLiteral("OR"))
        .arg(form.ItemCount());
}

void Popup(TFilterForm& dialog, QListWidget* list, QAction* command) {
    const QPoint pos(5, 5);
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, list->viewport()->mapToGlobal(pos));
    QApplication::sendEvent(list->viewport(), &event);
    command->trigger();
    dialog.CheckPopup->hide();
}

int Index(const TValueList& list, const char* value) {
    return list.IndexOf(value);
}

using Step = std::function<void(TFilterForm&)>;

// Runs the filter command; `step` acts on the shown dialog and closes it.
void RunFilter(TTestForm& form, const Step& step) {
    DialogDriver driver([&](QDialog& d) { step(static_cast<TFilterForm&>(d)); });
    form.FilterAction()->trigger();
    QVERIFY(driver.ran);
    QVERIFY(!driver.leftOpen);
}

} // namespace

class TestMainFormFilter : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setApplicationName(QStringLiteral("Mavrolin")); }
    void cases_data();
    void cases();
    void showsLastConfirmedAndNewValuesTicked();
};

void TestMainFormFilter::cases_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected"); // State() after the command
    QTest::newRow("cancel after reset keeps everything") << "cancelReset"
                                                         << "keep";
    QTest::newRow("cancel after popup commands keeps everything") << "cancelPopup"
                                                                  << "keep";
    QTest::newRow("reset and OK shows every entry") << "reset"
                                                    << "all";
    QTest::newRow("no languages, OR: entries with a ticked category stay") << "noLangOr"
                                                                           << "4";
    QTest::newRow("no languages, AND: every entry hidden") << "noLangAnd"
                                                           << "0";
    QTest::newRow("popup acts on its own list only") << "ownList"
                                                     << "2";
    QTest::newRow("OK without change recomputes Hidden") << "unchanged"
                                                         << "2";
}

void TestMainFormFilter::cases() {
    QFETCH(QString, name);
    QFETCH(QString, expected);
    auto form = MakeForm();
    const TDataBase& db = form->DataBase();
    // A filter in place before: "Java" unticked in AND mode (two listed).
    form->SetFilterTick(db.Languages, "Java", false, true);
    QCOMPARE(form->ItemCount(), 2);
    const QString before = State(*form);
    if (name == "unchanged") {
        // Another filter, which the dialog shows and OK keeps.
        form->SetFilterTick(db.Languages, "Java", true, true);
        form->SetFilterTick(db.ErrorTypes, "Syntax", false, true);
    }

    RunFilter(*form, [&](TFilterForm& d) {
        if (name == "cancelReset") {
            d.FilterResetClick();
            d.CancelButton->click();
        } else if (name == "cancelPopup") {
            Popup(d, d.LanguageCheck, d.SelectAll);
            Popup(d, d.ProjectCheck, d.Invert);
            DialogDriver::Key(d, Qt::Key_Escape);
        } else if (name == "reset") {
            d.FilterReset->click();
            d.OkButton->click();
        } else if (name == "noLangOr" || name == "noLangAnd") {
            d.FilterResetClick();
            Popup(d, d.LanguageCheck, d.SelectNothing);
            d.AndFilterCheckBox->setChecked(name == "noLangAnd");
            d.OkButton->click();
        } else if (name == "ownList") {
            // All ticked, AND mode; then no category but "Zeiger".
            d.FilterResetClick();
            d.AndFilterCheckBox->setChecked(true);
            Popup(d, d.ErrorCheck, d.SelectNothing);
            d.ErrorCheck->item(Index(db.ErrorTypes, "Zeiger"))->setCheckState(Qt::Checked);
            d.OkButton->click();
        } else {
            d.OkButton->click();
        }
    });

    if (expected == "keep") {
        QCOMPARE(State(*form), before);
        return;
    }
    QCOMPARE(db.Languages.Filter(Index(db.Languages, "Java")).Checked,
             name != "noLangOr" && name != "noLangAnd");
    if (expected == "all") {
        QCOMPARE(State(*form), QStringLiteral("%1 %2 %3 OR listed 4")
                                   .arg(QString(db.Languages.Count(), QLatin1Char('1')),
                                        QString(db.ErrorTypes.Count(), QLatin1Char('1')),
                                        QString(db.Projects.Count(), QLatin1Char('1'))));
        return;
    }
    QCOMPARE(form->ItemCount(), expected.toInt());
    for (int i = 0; i < form->ItemCount(); ++i)
        QVERIFY(!form->ItemRecord(i)->Hidden);
    if (name == "ownList") {
        QCOMPARE(Flags(db.Languages), QString(db.Languages.Count(), QLatin1Char('1')));
        QCOMPARE(Flags(db.Projects), QStringLiteral("11"));
        QVERIFY(db.AndFilter);
        for (int i = 0; i < db.ErrorTypes.Count(); ++i)
            QCOMPARE(db.ErrorTypes.Filter(i).Checked, db.ErrorTypes.Value(i) == "Zeiger");
    }
    if (name == "unchanged")
        for (int i = 0; i < form->ItemCount(); ++i)
            QCOMPARE(form->ItemRecord(i)->ErrorType(), std::string("Zeiger"));
    // The first item in sort order is current after the rebuild.
    QCOMPARE(form->CurrentItem(), form->ItemCount() > 0 ? 0 : -1);
}

// Opening again shows the ticks and mode last confirmed; a project that came
// with a new entry since then shows up ticked.
void TestMainFormFilter::showsLastConfirmedAndNewValuesTicked() {
    auto form = MakeForm();
    RunFilter(*form, [](TFilterForm& d) {
        d.ProjectCheck->item(0)->setCheckState(Qt::Unchecked); // P1
        d.AndFilterCheckBox->setChecked(true);
        d.OkButton->click();
    });
    QCOMPARE(form->ItemCount(), 2);
    form->Commands().AddEntry(Entry("C++", "Zeiger", "Neu", 4));

    QString projects;
    bool andMode = false;
    RunFilter(*form, [&](TFilterForm& d) {
        for (int i = 0; i < d.ProjectCheck->count(); ++i)
            projects += QStringLiteral("%1=%2 ").arg(
                d.ProjectCheck->item(i)->text(),
                d.ProjectCheck->item(i)->checkState() == Qt::Checked ? "1" : "0");
        andMode = d.AndFilterCheckBox->isChecked();
        d.CancelButton->click();
    });
    QCOMPARE(projects, QStringLiteral("Neu=1 P1=0 P2=1 "));
    QVERIFY(andMode);
}

QTEST_MAIN(TestMainFormFilter)
#include "tst_mainform_filter.moc"
