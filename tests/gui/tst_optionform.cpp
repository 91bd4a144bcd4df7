#include "gui/OptionForm.h"
#include "gui/Prompt.h"
#include "settings/UserManager.h"
#include "settings/VersionSettings.h"
#include "support/DialogDriver.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>
#include <memory>

namespace {

struct Flags {
    bool saveOnExit;
    bool saveContents;
    bool saveWindowConfig;
};

// A store whose user has settings on disk with the given flags. SaveOnExit is
// written as given but kept off in memory afterwards unless asked, so that
// destroying the store writes nothing behind the test's back.
std::unique_ptr<TUserManager> StoredUser(const std::string& name, Flags flags) {
    {
        TUserManager writer(name);
        writer.Valid = true;
        writer.SaveOnExit = flags.saveOnExit;
        writer.SaveContents = flags.saveContents;
        writer.SaveWindowConfig = flags.saveWindowConfig;
        writer.DataBaseName = "/tmp/fehler.mvd";
        writer.Save();
        writer.SaveOnExit = false;
    }
    auto store = std::make_unique<TUserManager>(name);
    if (!store->Valid)
        return nullptr;
    return store;
}

void Compare(const TUserManager& store, Flags flags) {
    QCOMPARE(store.SaveOnExit, flags.saveOnExit);
    QCOMPARE(store.SaveContents, flags.saveContents);
    QCOMPARE(store.SaveWindowConfig, flags.saveWindowConfig);
}

QString Question(const QString& name) {
    return QStringLiteral("Sollen beim nächsten Start wirklich wieder die "
                          "Originaleinstellungen verwendet werden? Die bisher gemachten "
                          "Einstellungen für ") +
           name + QStringLiteral(" gehen dabei verloren. ");
}

} // namespace

class TestOptionForm : public QObject {
    Q_OBJECT
private slots:
    void init() { Prompt::Testing::Begin(); }
    void cleanup() { Prompt::Testing::End(); }

    void showsStoreAndUserName_data();
    void showsStoreAndUserName();
    void closingWays_data();
    void closingWays();
    void okWritesNothing();
    void deletionQuestion_data();
    void deletionQuestion();
    void deletionNoKeepsEverything();
    void deletionYesDeletesAndAborts();
    void keyboardOrder();
    void checkBoxesTakeClicksOverTheirDesignedWidth_data();
    void checkBoxesTakeClicksOverTheirDesignedWidth();
    void storesVersionPolicy_data();
    void storesVersionPolicy();
};

void TestOptionForm::showsStoreAndUserName_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<bool>("saveOnExit");
    QTest::addColumn<bool>("saveContents");
    QTest::addColumn<bool>("saveWindowConfig");
    QTest::newRow("first-start flags") << "anna" << false << true << false;
    QTest::newRow("all set") << "Jürgen Groß" << true << true << true;
    QTest::newRow("window only") << "w" << false << false << true;
}

void TestOptionForm::showsStoreAndUserName() {
    QFETCH(QString, user);
    QFETCH(bool, saveOnExit);
    QFETCH(bool, saveContents);
    QFETCH(bool, saveWindowConfig);
    TUserManager store(user.toStdString());
    store.SaveOnExit = saveOnExit;
    store.SaveContents = saveContents;
    store.SaveWindowConfig = saveWindowConfig;

    TOptionForm form;
    bool okHadFocus = false;
    DialogDriver driver([&](QDialog&) {
        QCOMPARE(form.UserLabel->text(), user);
        QVERIFY(form.UserLabel->font().bold());
        QCOMPARE(form.TitleLabel->text(), QStringLiteral("Einstellungen für Nutzer"));
        QCOMPARE(form.SaveOnExitCheckBox->isChecked(), saveOnExit);
        QCOMPARE(form.SaveContentsCheckBox->isChecked(), saveContents);
        QCOMPARE(form.SaveWindowConfigCheckBox->isChecked(), saveWindowConfig);
        okHadFocus = form.focusWidget() == form.OkButton;
        QTest::mouseClick(form.CancelButton, Qt::LeftButton);
    });
    QVERIFY(form.Execute(store));
    QVERIFY(driver.ran);
    QVERIFY(okHadFocus);
    store.SaveOnExit = false;
}

void TestOptionForm::closingWays_data() {
    DialogDriver::AddClosingWays();
}

void TestOptionForm::closingWays() {
    QFETCH(QString, way);
    QFETCH(bool, accepts);
    TUserManager store(QByteArray("closer-").append(QTest::currentDataTag()).toStdString());
    store.SaveOnExit = true;
    store.SaveContents = false;
    store.SaveWindowConfig = true;

    TOptionForm form;
    DialogDriver driver([&](QDialog& dialog) {
        // Every box is turned over before closing.
        for (QCheckBox* box :
             {form.SaveOnExitCheckBox, form.SaveContentsCheckBox, form.SaveWindowConfigCheckBox})
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
        form.OkButton->setFocus();
        DialogDriver::Close(dialog, form.OkButton, form.CancelButton, way);
    });
    QVERIFY(form.Execute(store));
    QVERIFY(driver.ran);
    QVERIFY(!driver.leftOpen);
    if (accepts)
        Compare(store, {false, true, false});
    else
        Compare(store, {true, false, true});
    QVERIFY(Prompt::Testing::Messages().isEmpty());
    store.Valid = false; // this test writes nothing at its end
}

void TestOptionForm::okWritesNothing() {
    auto store = StoredUser("okuser", {false, true, false});
    QVERIFY(store);
    TOptionForm form;
    DialogDriver driver([&](QDialog&) {
        form.SaveOnExitCheckBox->setChecked(true);
        form.SaveWindowConfigCheckBox->setChecked(true);
        form.SaveContentsCheckBox->setChecked(false);
        QTest::mouseClick(form.OkButton, Qt::LeftButton);
    });
    QVERIFY(form.Execute(*store));
    Compare(*store, {true, false, true});
    QVERIFY(store->Valid);
    // The stored settings are those of before the dialog.
    {
        TUserManager reread("okuser");
        QVERIFY(reread.Valid);
        Compare(reread, {false, true, false});
    }
    store->Valid = false;
}

void TestOptionForm::deletionQuestion_data() {
    QTest::addColumn<QString>("user");
    QTest::newRow("plain") << "erika";
    QTest::newRow("umlauts and blank") << "Jörg Müller";
    QTest::newRow("dotted") << "e.mustermann";
}

void TestOptionForm::deletionQuestion() {
    QFETCH(QString, user);
    TUserManager store(user.toStdString());
    TOptionForm form;
    Prompt::Testing::QueueAnswer(Prompt::No);
    DialogDriver driver([&](QDialog&) {
        QTest::mouseClick(form.DeleteButton, Qt::LeftButton);
        QTest::mouseClick(form.CancelButton, Qt::LeftButton);
    });
    QVERIFY(form.Execute(store));
    const auto& shown = Prompt::Testing::Messages();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].kind, Prompt::Kind::Warning);
    QCOMPARE(shown[0].buttons, Prompt::Yes | Prompt::No);
    QCOMPARE(shown[0].text, Question(user));
    QVERIFY(shown[0].text.endsWith(QStringLiteral("verloren. ")));
    QVERIFY(shown[0].text.contains(QStringLiteral("für ") + user + QStringLiteral(" gehen")));
}

void TestOptionForm::deletionNoKeepsEverything() {
    auto store = StoredUser("keeper", {true, false, true});
    QVERIFY(store);
    store->SaveOnExit = true;
    TOptionForm form;
    Prompt::Testing::QueueAnswer(Prompt::No);
    bool stayedOpen = false;
    DialogDriver driver([&](QDialog& dialog) {
        QTest::mouseClick(form.DeleteButton, Qt::LeftButton);
        stayedOpen = dialog.isVisible();
        QTest::mouseClick(form.CancelButton, Qt::LeftButton);
    });
    QVERIFY(form.Execute(*store));
    QVERIFY(stayedOpen);
    QVERIFY(store->Valid);
    QCOMPARE(Prompt::Testing::PendingAnswers(), 0);
    TUserManager reread("keeper");
    QVERIFY(reread.Valid);
    Compare(reread, {true, false, true});
    store->SaveOnExit = false;
    reread.SaveOnExit = false;
}

void TestOptionForm::deletionYesDeletesAndAborts() {
    auto store = StoredUser("leaver", {false, true, true});
    QVERIFY(store);
    TOptionForm form;
    Prompt::Testing::QueueAnswer(Prompt::Yes);
    DialogDriver driver([&](QDialog&) {
        // Ticks set before the deletion are not taken over.
        form.SaveOnExitCheckBox->setChecked(true);
        form.SaveContentsCheckBox->setChecked(false);
        QTest::mouseClick(form.DeleteButton, Qt::LeftButton);
    });
    QVERIFY(!form.Execute(*store));
    QVERIFY(driver.ran);
    QVERIFY(!driver.leftOpen);
    QCOMPARE(form.result(), TOptionForm::AbortResult);
    QVERIFY(!store->Valid);
    Compare(*store, {false, true, true});
    // The stored settings are gone: the next start finds none.
    TUserManager reread("leaver");
    QVERIFY(!reread.Valid);

    // The next opening works on the store again and reports no deletion.
    DialogDriver again([&](QDialog&) { QTest::mouseClick(form.OkButton, Qt::LeftButton); });
    QVERIFY(form.Execute(*store));
}

void TestOptionForm::keyboardOrder() {
    TUserManager store("tabber");
    TOptionForm form;
    QList<QWidget*> seen;
    DialogDriver driver([&](QDialog&) {
        seen << QApplication::focusWidget();
        for (int i = 0; i < 8; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            seen << QApplication::focusWidget();
        }
        QTest::mouseClick(form.CancelButton, Qt::LeftButton);
    });
    form.Execute(store);
    const QList<QWidget*> expected = {form.OkButton,
                                      form.CancelButton,
                                      form.SaveWindowConfigCheckBox,
                                      form.SaveContentsCheckBox,
                                      form.DeleteButton,
                                      form.SaveOnExitCheckBox,
                                      form.KeepVersionsCheckBox,
                                      form.VersionsLimitEdit,
                                      form.OkButton};
    QCOMPARE(seen, expected);
}

void TestOptionForm::checkBoxesTakeClicksOverTheirDesignedWidth_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("designed");
    QTest::newRow("Fensterkonfiguration sichern") << "SaveWindowConfigCheckBox" << 201;
    QTest::newRow("Fensterinhalt speichern") << "SaveContentsCheckBox" << 201;
    QTest::newRow("Einstellungen beim Beenden speichern") << "SaveOnExitCheckBox" << 209;
    QTest::newRow("Ältere Versionen aufbewahren") << "KeepVersionsCheckBox" << 201;
}

// At least as wide as designed, and a click right of the caption ticks it.
void TestOptionForm::checkBoxesTakeClicksOverTheirDesignedWidth() {
    QFETCH(QString, name);
    QFETCH(int, designed);
    TOptionForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto* box = form.findChild<QCheckBox*>(name);
    QVERIFY(box->width() >= designed);
    QVERIFY(box->geometry().right() <= 16 + 217); // inside the frame
    const bool before = box->isChecked();
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(designed - 3, box->height() / 2));
    QCOMPARE(box->isChecked(), !before);
}

void TestOptionForm::storesVersionPolicy_data() {
    QTest::addColumn<quint64>("stored"); // limit in bytes
    QTest::addColumn<bool>("keep");      // ticked when closing
    QTest::addColumn<int>("typed");      // MiB typed into the box, 0 for none
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("keptAfter");
    QTest::addColumn<quint64>("limitAfter");
    constexpr quint64 MiB = 1 << 20;
    const quint64 gib = versions::DefaultSizeLimit;
    QTest::newRow("switched off") << gib << false << 0 << "ok" << false << gib;
    QTest::newRow("smaller limit") << gib << true << 256 << "ok" << true << 256 * MiB;
    QTest::newRow("limit by Enter") << gib << true << 4096 << "enter" << true << 4096 * MiB;
    QTest::newRow("cancelled") << gib << false << 64 << "cancel" << true << gib;
    // The box shows 1431 MiB; unchanged, the exact limit stays.
    QTest::newRow("odd limit unchanged")
        << quint64{1500000000} << true << 0 << "ok" << true << quint64{1500000000};
}

void TestOptionForm::storesVersionPolicy() {
    QFETCH(quint64, stored);
    QFETCH(bool, keep);
    QFETCH(int, typed);
    QFETCH(QString, way);
    QFETCH(bool, keptAfter);
    QFETCH(quint64, limitAfter);
    auto store = StoredUser(QByteArray("versions-").append(QTest::currentDataTag()).toStdString(),
                            {false, true, false});
    QVERIFY(store);
    settings::SaveVersionPolicy(*store, {true, stored});
    TOptionForm form;
    bool limitFollowsTick = false;
    DialogDriver driver([&](QDialog& dialog) {
        QVERIFY(form.KeepVersionsCheckBox->isChecked());
        form.KeepVersionsCheckBox->setChecked(keep);
        limitFollowsTick = form.VersionsLimitEdit->isEnabled() == keep;
        if (typed > 0) {
            form.VersionsLimitEdit->setFocus();
            form.VersionsLimitEdit->selectAll();
            QTest::keyClicks(form.VersionsLimitEdit, QString::number(typed));
        }
        DialogDriver::Close(dialog, form.OkButton, form.CancelButton, way);
    });
    QVERIFY(form.Execute(*store));
    QVERIFY(limitFollowsTick);
    const versions::Policy after = settings::LoadVersionPolicy(*store);
    QCOMPARE(after.Keep, keptAfter);
    QCOMPARE(after.SizeLimit, limitAfter);
    store->Valid = false;
}

QTEST_MAIN(TestOptionForm)
#include "tst_optionform.moc"
