#include "core/Cp1252.h"
#include "core/DataBase.h"
#include "gui/FilterForm.h"
#include "support/DialogDriver.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

namespace {

QString ShownText(const std::string& cp1252Bytes) {
    return QString::fromUtf8(cp1252::ToUtf8(cp1252Bytes));
}

// Ticks of one list as a string of '1' and '0', line by line.
QString Ticks(const QListWidget* list) {
    QString ticks;
    for (int i = 0; i < list->count(); ++i)
        ticks += list->item(i)->checkState() == Qt::Checked ? QLatin1Char('1') : QLatin1Char('0');
    return ticks;
}

void SetTicks(QListWidget* list, const QString& ticks) {
    QCOMPARE(list->count(), ticks.size());
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setCheckState(ticks[i] == QLatin1Char('1') ? Qt::Checked : Qt::Unchecked);
}

// Opens the popup menu the way a right click on the list does.
void OpenPopupOn(QListWidget* list) {
    const QPoint pos(5, 5);
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, list->viewport()->mapToGlobal(pos));
    QApplication::sendEvent(list->viewport(), &event);
}

// A database whose three lists hold known values: languages and categories as
// the core sets them up plus a few added ones, and three projects.
void FillDataBase(TDataBase& db) {
    db.AddLanguage("Zeta");
    db.AddLanguage("\xC4gyptisch"); // "Ägyptisch" in Windows-1252
    db.AddErrorType("Tippfehler");
    db.AddProject("Gamma");
    db.AddProject("alpha");
    db.AddProject("Beta");
}

} // namespace

class TestFilterForm : public QObject {
    Q_OBJECT
private slots:
    void showsValuesAndFlagsOfTheDataBase();
    void newValueShowsUpTicked();
    void closingWays_data();
    void closingWays();
    void cancelAfterChangesThenReopenShowsDataBaseState();
    void resetTicksEverythingAndClearsAnd();
    void popupActsOnItsOwnListOnly_data();
    void popupActsOnItsOwnListOnly();
    void popupOnEmptyListDoesNothing();
    void ticksAreReadBackByPosition();
    void andCheckBox_data();
    void andCheckBox();
    void keyboardOrder();
};

void TestFilterForm::showsValuesAndFlagsOfTheDataBase() {
    TDataBase db;
    FillDataBase(db);
    db.Languages.Filter(0).Checked = false;
    db.ErrorTypes.Filter(db.ErrorTypes.Count() - 1).Checked = false;
    db.Projects.Filter(1).Checked = false;
    db.AndFilter = true;

    TFilterForm form;
    form.Fill(db);

    const struct {
        const TValueList& values;
        QListWidget* list;
    } pairs[] = {{db.Languages, form.LanguageCheck},
                 {db.ErrorTypes, form.ErrorCheck},
                 {db.Projects, form.ProjectCheck}};
    for (const auto& [values, list] : pairs) {
        QCOMPARE(list->count(), values.Count());
        for (int i = 0; i < values.Count(); ++i) {
            QCOMPARE(list->item(i)->text(), ShownText(values.Value(i)));
            QCOMPARE(list->item(i)->checkState() == Qt::Checked, values.Filter(i).Checked);
        }
    }
    QVERIFY(form.AndFilterChecked());
    // Windows-1252 values are shown as the characters they stand for.
    QVERIFY(
        !form.LanguageCheck->findItems(QStringLiteral("Ägyptisch"), Qt::MatchExactly).isEmpty());
    QCOMPARE(Ticks(form.ProjectCheck), QStringLiteral("101"));
}

void TestFilterForm::newValueShowsUpTicked() {
    TDataBase db;
    FillDataBase(db);
    TFilterForm form;
    for (int i = 0; i < db.Projects.Count(); ++i)
        db.Projects.Filter(i).Checked = false;
    form.Fill(db);
    QCOMPARE(Ticks(form.ProjectCheck), QStringLiteral("000"));

    db.AddProject("Delta");
    form.Fill(db);
    const int delta = db.Projects.IndexOf("Delta");
    QVERIFY(delta >= 0);
    QCOMPARE(form.ProjectCheck->count(), 4);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(form.ProjectChecked(i), i == delta);
}

void TestFilterForm::closingWays_data() {
    DialogDriver::AddClosingWays();
}

void TestFilterForm::closingWays() {
    QFETCH(QString, way);
    QFETCH(bool, accepts);
    TDataBase db;
    FillDataBase(db);
    TFilterForm form;
    DialogDriver driver([&](QDialog& dialog) {
        DialogDriver::Close(dialog, form.OkButton, form.CancelButton, way);
    });
    QCOMPARE(form.Execute(db), accepts);
    QVERIFY(driver.ran);
    QVERIFY(!driver.leftOpen);
}

void TestFilterForm::cancelAfterChangesThenReopenShowsDataBaseState() {
    TDataBase db;
    FillDataBase(db);
    db.Languages.Filter(1).Checked = false;
    db.AndFilter = true;
    TFilterForm form;
    form.Fill(db);
    const QString languages = Ticks(form.LanguageCheck);
    const QString types = Ticks(form.ErrorCheck);
    const QString projects = Ticks(form.ProjectCheck);

    DialogDriver driver([&](QDialog&) {
        form.FilterResetClick();
        OpenPopupOn(form.ErrorCheck);
        form.SelectNothing->trigger();
        form.CheckPopup->hide();
        QTest::mouseClick(form.CancelButton, Qt::LeftButton);
    });
    QVERIFY(!form.Execute(db));
    QVERIFY(driver.ran);
    // Nothing of the cancelled use reached the database ...
    QVERIFY(!db.Languages.Filter(1).Checked);
    QVERIFY(db.AndFilter);
    // ... and the next opening shows the database's state, not the last ticks.
    DialogDriver again([&](QDialog&) { QTest::mouseClick(form.CancelButton, Qt::LeftButton); });
    QVERIFY(!form.Execute(db));
    QCOMPARE(Ticks(form.LanguageCheck), languages);
    QCOMPARE(Ticks(form.ErrorCheck), types);
    QCOMPARE(Ticks(form.ProjectCheck), projects);
    QVERIFY(form.AndFilterChecked());
}

void TestFilterForm::resetTicksEverythingAndClearsAnd() {
    TDataBase db;
    FillDataBase(db);
    TFilterForm form;
    form.Fill(db);
    SetTicks(form.ProjectCheck, QStringLiteral("010"));
    for (int i = 0; i < form.LanguageCheck->count(); ++i)
        form.LanguageCheck->item(i)->setCheckState(Qt::Unchecked);
    form.ErrorCheck->item(0)->setCheckState(Qt::Unchecked);
    form.AndFilterCheckBox->setChecked(true);

    QTest::mouseClick(form.FilterReset, Qt::LeftButton);
    for (QListWidget* list : {form.LanguageCheck, form.ErrorCheck, form.ProjectCheck})
        QCOMPARE(Ticks(list), QString(list->count(), QLatin1Char('1')));
    QVERIFY(!form.AndFilterChecked());
}

void TestFilterForm::popupActsOnItsOwnListOnly_data() {
    QTest::addColumn<int>("listIndex");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    const char* names[] = {"languages", "categories", "projects"};
    for (int list = 0; list < 3; ++list) {
        QTest::addRow("%s: alle auswählen", names[list]) << list << "all"
                                                         << "010"
                                                         << "111";
        QTest::addRow("%s: keine auswählen", names[list]) << list << "none"
                                                          << "110"
                                                          << "000";
        QTest::addRow("%s: invertieren", names[list]) << list << "invert"
                                                      << "110"
                                                      << "001";
    }
}

void TestFilterForm::popupActsOnItsOwnListOnly() {
    QFETCH(int, listIndex);
    QFETCH(QString, command);
    QFETCH(QString, before);
    QFETCH(QString, after);

    TDataBase db;
    FillDataBase(db);
    TFilterForm form;
    form.Fill(db);
    QListWidget* lists[] = {form.LanguageCheck, form.ErrorCheck, form.ProjectCheck};
    // The first three lines of the target carry `before`, the rest stays as
    // filled; the other lists get a pattern of their own.
    QStringList expected;
    for (int i = 0; i < 3; ++i) {
        QListWidget* list = lists[i];
        QVERIFY(list->count() >= 3);
        QString ticks(list->count(), QLatin1Char('1'));
        if (i == listIndex) {
            ticks.replace(0, 3, before);
        } else {
            for (int line = 0; line < ticks.size(); line += 2)
                ticks[line] = QLatin1Char('0');
        }
        SetTicks(list, ticks);
        if (i == listIndex) {
            QString rest = ticks.mid(3);
            if (command == QLatin1String("all"))
                rest.fill(QLatin1Char('1'));
            else if (command == QLatin1String("none"))
                rest.fill(QLatin1Char('0'));
            else
                rest.fill(QLatin1Char('0')); // the rest was all ticked
            ticks = after + rest;
        }
        expected << ticks;
    }

    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // The focus is on another list: the command follows the list the menu
    // was opened on.
    lists[(listIndex + 1) % 3]->setFocus();
    OpenPopupOn(lists[listIndex]);
    QCOMPARE(form.PopupList(), lists[listIndex]);
    QVERIFY(form.CheckPopup->isVisible());
    QAction* action = command == QLatin1String("all")    ? form.SelectAll
                      : command == QLatin1String("none") ? form.SelectNothing
                                                         : form.Invert;
    action->trigger();
    form.CheckPopup->hide();

    for (int i = 0; i < 3; ++i)
        QCOMPARE(Ticks(lists[i]), expected[i]);
}

void TestFilterForm::popupOnEmptyListDoesNothing() {
    TDataBase db; // a new database has no projects
    db.AddLanguage("Zeta");
    TFilterForm form;
    form.Fill(db);
    QCOMPARE(form.ProjectCheck->count(), 0);
    const QString languages = Ticks(form.LanguageCheck);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    OpenPopupOn(form.ProjectCheck);
    for (QAction* action : {form.SelectAll, form.SelectNothing, form.Invert})
        action->trigger();
    form.CheckPopup->hide();
    QCOMPARE(form.ProjectCheck->count(), 0);
    QCOMPARE(Ticks(form.LanguageCheck), languages);
    QVERIFY(!form.ProjectChecked(0));
}

void TestFilterForm::ticksAreReadBackByPosition() {
    TDataBase db;
    FillDataBase(db);
    TFilterForm form;
    form.Fill(db);
    SetTicks(form.ProjectCheck, QStringLiteral("101"));
    form.LanguageCheck->item(1)->setCheckState(Qt::Unchecked);
    form.ErrorCheck->item(0)->setCheckState(Qt::Unchecked);

    QCOMPARE(form.ProjectChecked(0), true);
    QCOMPARE(form.ProjectChecked(1), false);
    QCOMPARE(form.ProjectChecked(2), true);
    // Line i stands for position i of the database's sorted list.
    QCOMPARE(form.ProjectCheck->item(1)->text(), ShownText(db.Projects.Value(1)));
    for (int i = 0; i < db.Languages.Count(); ++i)
        QCOMPARE(form.LanguageChecked(i), i != 1);
    for (int i = 0; i < db.ErrorTypes.Count(); ++i)
        QCOMPARE(form.ErrorTypeChecked(i), i != 0);
    // Lines that do not exist read as unticked.
    QVERIFY(!form.ProjectChecked(3));
    QVERIFY(!form.LanguageChecked(-1));
    QVERIFY(!form.ErrorTypeChecked(db.ErrorTypes.Count()));

    // A click on a line's tick box changes that line only.
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QListWidget* list = form.ProjectCheck;
    const QRect rect = list->visualItemRect(list->item(1));
    const QPoint box(rect.left() + list->style()->pixelMetric(QStyle::PM_IndicatorWidth) / 2 + 3,
                     rect.center().y());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box);
    QCOMPARE(Ticks(list), QStringLiteral("111"));
}

void TestFilterForm::andCheckBox_data() {
    QTest::addColumn<bool>("stored");
    QTest::addColumn<bool>("click");
    QTest::addColumn<bool>("shown");
    QTest::newRow("OR mode") << false << false << false;
    QTest::newRow("AND mode") << true << false << true;
    QTest::newRow("OR mode, clicked") << false << true << true;
    QTest::newRow("AND mode, clicked") << true << true << false;
}

void TestFilterForm::andCheckBox() {
    QFETCH(bool, stored);
    QFETCH(bool, click);
    QFETCH(bool, shown);
    TDataBase db;
    db.AndFilter = stored;
    TFilterForm form;
    DialogDriver driver([&](QDialog&) {
        // The whole designed width (197) takes the click, not only tick and caption.
        QVERIFY(form.AndFilterCheckBox->width() >= 197);
        if (click)
            QTest::mouseClick(form.AndFilterCheckBox, Qt::LeftButton, {}, QPoint(194, 9));
        QTest::mouseClick(form.OkButton, Qt::LeftButton);
    });
    QVERIFY(form.Execute(db));
    QCOMPARE(form.AndFilterChecked(), shown);
}

void TestFilterForm::keyboardOrder() {
    TFilterForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QList<QWidget*> order = {form.LanguageCheck, form.ErrorCheck,   form.CancelButton,
                                   form.OkButton,      form.FilterReset,  form.AndFilterCheckBox,
                                   form.ProjectCheck,  form.LanguageCheck};
    form.LanguageCheck->setFocus();
    for (qsizetype i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), order[i]);
    }
}

QTEST_MAIN(TestFilterForm)
#include "tst_filterform.moc"
