#include "core/DataBase.h"
#include "gui/InfoForm.h"
#include "support/CoreTestUtil.h"
#include "support/DialogDriver.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {

// Receives the URLs that the desktop would open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

TRecordData Record(const std::string& language, std::uint32_t minutes) {
    return coretest::Entry(language, "Zeigerfehler", "Mavrolin", 45000.0, minutes);
}

} // namespace

class TestInfoForm : public QObject {
    Q_OBJECT
private slots:
    void caption_data();
    void caption();
    void newDataBase();
    void countsHiddenEntriesAndShowsNameOnly();
    void showsTheCurrentDataBaseEachTime();
    void mailButtonOpensMailto_data();
    void mailButtonOpensMailto();
    void leftThroughOkOnly_data();
    void leftThroughOkOnly();
    void showsTheProgramIcon();
};

void TestInfoForm::caption_data() {
    QTest::addColumn<QByteArray>("fileName");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no file: two blanks") << QByteArray() << 0 << "Datenbank:  (0)";
    QTest::newRow("folder path") << QByteArray("/home/erika/daten/fehler.mvd") << 12
                                 << "Datenbank: fehler.mvd (12)";
    QTest::newRow("bare name") << QByteArray("fehler.mvd") << 1 << "Datenbank: fehler.mvd (1)";
    QTest::newRow("no separators in the count")
        << QByteArray("/a/b.mvd") << 1234567 << "Datenbank: b.mvd (1234567)";
    QTest::newRow("colon and backslash are part of a name")
        << QByteArray("/daten/a:b\\c.mvd") << 3 << "Datenbank: a:b\\c.mvd (3)";
    QTest::newRow("umlaut in the name") << QByteArray("/daten/Fehlerbuch J\xC3\xB6rg.mvd") << 2
                                        << "Datenbank: Fehlerbuch Jörg.mvd (2)";
}

void TestInfoForm::caption() {
    QFETCH(QByteArray, fileName);
    QFETCH(int, count);
    QFETCH(QString, expected);
    QCOMPARE(TInfoForm::DataBaseCaption(fileName.toStdString(), count), expected);
}

void TestInfoForm::newDataBase() {
    TDataBase db;
    TInfoForm form;
    QString shown;
    DialogDriver driver([&](QDialog&) {
        shown = form.DataBaseLabel->text();
        QTest::mouseClick(form.OkButton, Qt::LeftButton);
    });
    form.Execute(db);
    QVERIFY(driver.ran);
    QCOMPARE(shown, QStringLiteral("Datenbank:  (0)"));
    // The label is sized to its text.
    QCOMPARE(form.DataBaseLabel->width(), form.DataBaseLabel->sizeHint().width());
}

void TestInfoForm::countsHiddenEntriesAndShowsNameOnly() {
    TDataBase db;
    for (std::uint32_t i = 0; i < 12; ++i)
        db.AddRecord(Record(i < 5 ? "Java" : "C++", i + 1));
    const int java = db.Languages.IndexOf("Java");
    QVERIFY(java >= 0);
    db.Languages.Filter(java).Checked = false;
    db.SetAndFilter(true);
    int hidden = 0;
    for (int i = 0; i < db.Count(); ++i)
        hidden += db.GetRecord(i)->Hidden ? 1 : 0;
    QCOMPARE(hidden, 5);
    db.FileName = "/home/erika/Dokumente/fehler.mvd";

    TInfoForm form;
    form.Fill(db);
    QCOMPARE(form.DataBaseLabel->text(), QStringLiteral("Datenbank: fehler.mvd (12)"));
}

void TestInfoForm::showsTheCurrentDataBaseEachTime() {
    TDataBase db;
    db.FileName = "/tmp/erste.mvd";
    TInfoForm form;
    QStringList shown;
    auto look = [&](QDialog&) {
        shown << form.DataBaseLabel->text() << form.VersionLabel->text();
        QTest::mouseClick(form.OkButton, Qt::LeftButton);
    };
    {
        DialogDriver driver(look);
        form.Execute(db);
    }
    db.AddRecord(Record("Java", 3));
    db.FileName = "/tmp/zweite.mvd";
    {
        DialogDriver driver(look);
        form.Execute(db);
    }
    QCOMPARE(shown, QStringList({"Datenbank: erste.mvd (0)", "Version 1.5",
                                 "Datenbank: zweite.mvd (1)", "Version 1.5"}));
}

void TestInfoForm::mailButtonOpensMailto_data() {
    QTest::addColumn<bool>("byEnter");
    QTest::newRow("click") << false;
    QTest::newRow("Enter on the focused button") << true;
}

void TestInfoForm::mailButtonOpensMailto() {
    QFETCH(bool, byEnter);
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher, "open");
    TDataBase db;
    TInfoForm form;
    bool stayedOpen = false;
    DialogDriver driver([&](QDialog& dialog) {
        if (byEnter) {
            form.MailButton->setFocus();
            DialogDriver::Key(dialog, Qt::Key_Return);
        } else
            QTest::mouseClick(form.MailButton, Qt::LeftButton);
        stayedOpen = dialog.isVisible();
        QTest::mouseClick(form.OkButton, Qt::LeftButton);
    });
    form.Execute(db);
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    QVERIFY(stayedOpen);
    QCOMPARE(catcher.urls, QList<QUrl>({QUrl(QStringLiteral("mailto:mavrolin@example.org"))}));
    QCOMPARE(form.eMailLabel->text(), QStringLiteral("eMail:  'mavrolin@example.org'"));
}

void TestInfoForm::leftThroughOkOnly_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("closes");
    QTest::newRow("Escape keeps it open") << int(Qt::Key_Escape) << false;
    QTest::newRow("Enter closes") << int(Qt::Key_Return) << true;
    QTest::newRow("keypad Enter closes") << int(Qt::Key_Enter) << true;
}

void TestInfoForm::leftThroughOkOnly() {
    QFETCH(int, key);
    QFETCH(bool, closes);
    TDataBase db;
    TInfoForm form;
    bool closed = false;
    DialogDriver driver([&](QDialog& dialog) {
        QCOMPARE(dialog.focusWidget(), form.OkButton);
        DialogDriver::Key(dialog, key);
        closed = !dialog.isVisible();
        if (!closed)
            QTest::mouseClick(form.OkButton, Qt::LeftButton);
    });
    form.Execute(db);
    QVERIFY(driver.ran);
    QCOMPARE(closed, closes);
    QVERIFY(!driver.leftOpen);
    // No close box and no system menu in the title bar.
    QVERIFY(!(form.windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(!(form.windowFlags() & Qt::WindowSystemMenuHint));
}

void TestInfoForm::showsTheProgramIcon() {
    TInfoForm form;
    QVERIFY(!form.Icon->pixmap().isNull());
}

QTEST_MAIN(TestInfoForm)
#include "tst_infoform.moc"
