#include "gui/ErrorReport.h"
#include "gui/Prompt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>
#include <stdexcept>

Q_DECLARE_METATYPE(Prompt::Kind)
Q_DECLARE_METATYPE(Prompt::Button)

// Presses the button with `text` in the modal box that is about to open and
// reports what the box showed.
struct BoxSpy {
    QString title, text;
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

static void PressLater(const QString& press, BoxSpy* spy) {
    QTimer::singleShot(0, [press, spy] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return PressLater(press, spy);
        spy->title = box->windowTitle();
        spy->text = box->text();
        spy->icon = box->icon();
        for (QAbstractButton* b : box->buttons())
            spy->buttons << b->text();
        if (press.isEmpty()) {
            box->reject(); // closed without a button (Escape or the close box)
            return;
        }
        for (QAbstractButton* b : box->buttons())
            if (b->text() == press)
                return b->click();
    });
}

class PromptTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { Prompt::Testing::End(); }

    void reportText_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "Fehler bei Bereichsprüfung"
                                << "Fehler bei Bereichsprüfung.";
        QTest::newRow("exclamation") << "Es ist bereits ein identischer Eintrag vorhanden!"
                                     << "Es ist bereits ein identischer Eintrag vorhanden!";
        QTest::newRow("full stop") << "Ende."
                                   << "Ende.";
        QTest::newRow("digit sorts after") << "Code 7"
                                           << "Code 7.";
        QTest::newRow("comma sorts before") << "a,"
                                            << "a,";
        QTest::newRow("umlaut") << "Größe"
                                << "Größe.";
        QTest::newRow("empty") << ""
                               << "";
    }
    void reportText() {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(ErrorReport::ReportText(message), shown);
    }

    void guardShowsTheReport() {
        QCoreApplication::setApplicationName("Mavrolin");
        Prompt::Testing::Begin();
        bool after = false;
        ErrorReport::Guard(nullptr, [] { throw std::runtime_error("Datei nicht gefunden"); });
        ErrorReport::Guard(nullptr, [&] { after = true; });
        QVERIFY(after);
        QCOMPARE(Prompt::Testing::Messages().size(), 1);
        const auto& m = Prompt::Testing::Messages().first();
        QCOMPARE(m.kind, Prompt::Kind::General);
        QCOMPARE(m.title, QString("Mavrolin"));
        QCOMPARE(m.text, QString("Datei nicht gefunden."));
        QCOMPARE(m.buttons, Prompt::Buttons(Prompt::Ok));
    }

    void scriptedAnswers_data() {
        QTest::addColumn<Prompt::Kind>("kind");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<bool>("queue");
        QTest::addColumn<Prompt::Button>("answer");
        QTest::addColumn<QString>("title");
        QTest::newRow("queued yes") << Prompt::Kind::Confirmation << int(Prompt::Yes | Prompt::No)
                                    << true << Prompt::Yes << "Bestätigung";
        QTest::newRow("closed yes/no gives no")
            << Prompt::Kind::Confirmation << int(Prompt::Yes | Prompt::No) << false << Prompt::No
            << "Bestätigung";
        QTest::newRow("closed with cancel")
            << Prompt::Kind::Warning << int(Prompt::Yes | Prompt::No | Prompt::Cancel) << false
            << Prompt::Cancel << "Warnung";
        QTest::newRow("error ok") << Prompt::Kind::Error << int(Prompt::Ok) << false << Prompt::Ok
                                  << "Fehler";
        QTest::newRow("information")
            << Prompt::Kind::Information << int(Prompt::Ok) << true << Prompt::Ok << "Information";
    }
    void scriptedAnswers() {
        QFETCH(Prompt::Kind, kind);
        QFETCH(int, buttons);
        QFETCH(bool, queue);
        QFETCH(Prompt::Button, answer);
        QFETCH(QString, title);
        Prompt::Testing::Begin();
        if (queue)
            Prompt::Testing::QueueAnswer(answer);
        QCOMPARE(Prompt::Message(nullptr, kind, "Frage?", buttons), answer);
        QCOMPARE(Prompt::Testing::PendingAnswers(), 0);
        QCOMPARE(Prompt::Testing::Messages().size(), 1);
        QCOMPARE(Prompt::Testing::Messages().first().title, title);
        QCOMPARE(Prompt::Testing::Messages().first().text, QString("Frage?"));
        QCOMPARE(Prompt::Testing::Messages().first().buttons, buttons);
    }

    void scriptedFileDialog() {
        Prompt::Testing::Begin();
        QFileDialog dialog;
        dialog.setWindowTitle("Datenbank sichern");
        Prompt::PresetFile(dialog, "/tmp/alt.mvd");
        Prompt::Testing::QueueFile(QString("/tmp/neu.mvd"));
        Prompt::Testing::QueueFile(std::nullopt);
        QCOMPARE(Prompt::RunFileDialog(dialog), std::optional<QString>("/tmp/neu.mvd"));
        QCOMPARE(Prompt::RunFileDialog(dialog), std::optional<QString>());
        QCOMPARE(Prompt::RunFileDialog(dialog), std::optional<QString>()); // nothing queued
        const auto& shown = Prompt::Testing::FileDialogs();
        QCOMPARE(shown.size(), 3);
        QCOMPARE(shown[0].title, QString("Datenbank sichern"));
        QCOMPARE(shown[0].selectedFile, QString("/tmp/alt.mvd"));
        QCOMPARE(shown[1].selectedFile, QString("/tmp/neu.mvd")); // keeps the last choice
    }

    // The real box: German button texts, kind titles and icons, and the answer
    // of the pressed button.
    void realBox_data() {
        QTest::addColumn<Prompt::Kind>("kind");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QString>("press");
        QTest::addColumn<Prompt::Button>("answer");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<int>("icon");
        QTest::newRow("confirm yes")
            << Prompt::Kind::Confirmation << int(Prompt::Yes | Prompt::No) << "&Ja" << Prompt::Yes
            << "Bestätigung" << QStringList{"&Ja", "&Nein"} << int(QMessageBox::Question);
        QTest::newRow("warning cancel pressed")
            << Prompt::Kind::Warning << int(Prompt::Yes | Prompt::No | Prompt::Cancel)
            << "Abbrechen" << Prompt::Cancel << "Warnung"
            << QStringList{"&Ja", "&Nein", "Abbrechen"} << int(QMessageBox::Warning);
        QTest::newRow("warning closed")
            << Prompt::Kind::Warning << int(Prompt::Yes | Prompt::No | Prompt::Cancel) << ""
            << Prompt::Cancel << "Warnung" << QStringList{"&Ja", "&Nein", "Abbrechen"}
            << int(QMessageBox::Warning);
        QTest::newRow("error ok") << Prompt::Kind::Error << int(Prompt::Ok) << "OK" << Prompt::Ok
                                  << "Fehler" << QStringList{"OK"} << int(QMessageBox::Critical);
        QTest::newRow("general") << Prompt::Kind::General << int(Prompt::Ok) << "OK" << Prompt::Ok
                                 << "Mavrolin" << QStringList{"OK"} << int(QMessageBox::Critical);
    }
    void realBox() {
        QFETCH(Prompt::Kind, kind);
        QFETCH(int, buttons);
        QFETCH(QString, press);
        QFETCH(Prompt::Button, answer);
        QFETCH(QString, title);
        QFETCH(QStringList, texts);
        QFETCH(int, icon);
        QCoreApplication::setApplicationName("Mavrolin");
        BoxSpy spy;
        PressLater(press, &spy);
        QCOMPARE(Prompt::Message(nullptr, kind, "Text", buttons), answer);
        QCOMPARE(spy.title, title);
        QCOMPARE(spy.text, QString("Text"));
        spy.buttons.sort();
        texts.sort();
        QCOMPARE(spy.buttons, texts);
        QCOMPARE(int(spy.icon), icon);
    }
};

QTEST_MAIN(PromptTest)
#include "tst_prompt.moc"
