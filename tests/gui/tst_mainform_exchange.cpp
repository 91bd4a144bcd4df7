// Exchange with spreadsheets from the main window: the export writes the
// listed entries in list order; the CSV import adds rows through the
// duplicate rule and reports refused rows in its report window.
#include "core/DataBase.h"
#include "gui/ImportReportForm.h"
#include "gui/MainForm.h"
#include "gui/Prompt.h"
#include "gui/RefusedRowsModel.h"
#include "support/CoreTestUtil.h"
#include "support/DialogDriver.h"
#include "support/WindowProbe.h"

#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>
#include <map>
#include <memory>

namespace {

std::unique_ptr<TTestForm> MakeForm() {
    auto form = std::make_unique<TTestForm>();
    form->Fill(
        {coretest::Entry("C++", "Zeiger", "Web", coretest::Day(2001, 3, 7), 15, "a;b"),
         coretest::Entry("Java", "Syntax", "Web", coretest::Day(2001, 3, 8), 30, "zwei\r\nZeilen"),
         coretest::Entry("Java", "Zeiger", "Shop", coretest::Day(2002, 12, 1), 145, "\xC4rger")});
    return form;
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestMainFormExchange : public QObject {
    Q_OBJECT
private slots:
    void init() { Prompt::Testing::Begin(); }
    void cleanup() { Prompt::Testing::End(); }

    void csvExportWritesTheListedEntries_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("separator");
        QTest::newRow("semicolon") << "CSV mit Semikolon (*.csv)"
                                   << ";";
        QTest::newRow("comma") << "CSV mit Komma (*.csv)"
                               << ",";
    }
    void csvExportWritesTheListedEntries() {
        QFETCH(QString, filter);
        QFETCH(QString, separator);
        auto form = MakeForm();
        form->SearchEdit()->setText("java");
        QTRY_VERIFY(!form->SearchPending());
        QCOMPARE(form->ItemCount(), 2);
        QTemporaryDir dir;
        const QString path = dir.filePath("liste.csv");
        Prompt::Testing::QueueFile(std::nullopt); // the dialog is made at its first use
        form->ExportCsvAction()->trigger();
        form->MadeChild<QFileDialog>("CsvExportDialog")->selectNameFilter(filter);
        Prompt::Testing::QueueFile(path);
        form->ExportCsvAction()->trigger();

        const std::map<std::uint32_t, QByteArray> rows{
            {30, "Java;Syntax;Web;08.03.2001;30;\"zwei\r\nZeilen\"\r\n"},
            {145, "Java;Zeiger;Shop;01.12.2002;145;\xC3\x84rger\r\n"}};
        QByteArray expected =
            "\xEF\xBB\xBFSprache;Kategorie;Projekt;Datum;Aufwand;Beschreibung\r\n";
        for (int row = 0; row < form->ItemCount(); ++row)
            expected += rows.at(form->ItemRecord(row)->TimeNeeded);
        expected.replace(';', separator.toLatin1());
        QCOMPARE(Read(path), expected);
    }

    void reportWindowAfterRefusedRows() {
        auto form = MakeForm();
        QTemporaryDir dir;
        const QString csv = dir.filePath("zeilen.csv");
        Write(csv, "Sprache;Kategorie;Projekt;Datum;Aufwand;Beschreibung\n"
                   "Go;Syntax;Neu;01.02.2003;10;gut\n"
                   "java;syntax;web;08.03.2001;30;schon da\n"
                   "Go;Syntax;Neu;01.02.2003;-5;negativ\n"
                   "Go;Syntax;Neu;31.02.2003;5;kein Tag\n");
        const QString saved = dir.filePath("bericht.txt");
        Prompt::Testing::QueueFile(csv);
        Prompt::Testing::QueueFile(saved);
        QString shown, copied;
        DialogDriver driver([&](QDialog& d) {
            auto& report = static_cast<TImportReportForm&>(d);
            shown = report.ReportText();
            report.CopyButton->click();
            copied = QApplication::clipboard()->text();
            report.SaveButton->click();
            report.CloseButton->click();
        });
        form->ImportCsvAction()->trigger();
        QVERIFY(driver.ran && !driver.leftOpen);
        QCOMPARE(shown, QStringLiteral("zeilen.csv: 1 Eintrag importiert, 1 Duplikat "
                                       "übersprungen, 2 Zeilen fehlerhaft\n"
                                       "Zeile 4: negativer Aufwand „-5“\n"
                                       "    Go;Syntax;Neu;01.02.2003;-5;negativ\n"
                                       "Zeile 5: ungültiges Datum „31.02.2003“ (erwartet "
                                       "TT.MM.JJJJ oder JJJJ-MM-TT)\n"
                                       "    Go;Syntax;Neu;31.02.2003;5;kein Tag\n"));
        QCOMPARE(copied, shown);
        QCOMPARE(QString::fromUtf8(Read(saved)), shown);
        QCOMPARE(form->ItemCount(), 4);
        QVERIFY(form->DataBase().Modified);
        QCOMPARE(Prompt::Testing::Messages().size(), 0);
    }

    // A file whose every row is refused: the list shows each row as the file
    // holds it, "Speichern..." writes them all, or says in German why not.
    void everyRowRefused_data() {
        QTest::addColumn<QString>("target"); // where the report is saved
        QTest::addColumn<QString>("message");
        QTest::newRow("saved") << "bericht.txt" << QString();
        QTest::newRow("into a folder that is missing")
            << "fehlt/bericht.txt"
            << "Der Bericht konnte nicht gespeichert werden: Datei nicht gefunden.";
    }
    void everyRowRefused() {
        QFETCH(QString, target);
        QFETCH(QString, message);
        auto form = MakeForm();
        QTemporaryDir dir;
        const QString csv = dir.filePath("abgelehnt.csv");
        constexpr int Rows = 30000; // beyond one block of the file read at once
        QByteArray rows = "Sprache;Kategorie;Projekt;Datum;Aufwand;Beschreibung\n";
        for (int i = 0; i < Rows; ++i)
            rows += "Go;Syntax;Neu;31.02.2003;" + QByteArray::number(i) + ";kein Tag\n";
        Write(csv, rows);
        Prompt::Testing::QueueFile(csv);
        Prompt::Testing::QueueFile(dir.filePath(target));
        QStringList shown;
        QString report;
        DialogDriver driver([&](QDialog& d) {
            auto& window = static_cast<TImportReportForm&>(d);
            const QAbstractItemModel* list = window.RefusedList->model();
            QCOMPARE(list->rowCount(), Rows);
            for (int row : {0, Rows - 1})
                for (int column = 0; column < list->columnCount(); ++column)
                    shown << list->index(row, column).data().toString();
            report = window.ReportText();
            window.SaveButton->click();
            window.CloseButton->click();
        });
        form->ImportCsvAction()->trigger();
        QVERIFY(driver.ran && !driver.leftOpen);
        const QString reason =
            "ungültiges Datum „31.02.2003“ (erwartet TT.MM.JJJJ oder JJJJ-MM-TT)";
        QCOMPARE(shown,
                 (QStringList{"2", reason, "Go;Syntax;Neu;31.02.2003;0;kein Tag",
                              QString::number(Rows + 1), reason,
                              QString("Go;Syntax;Neu;31.02.2003;%1;kein Tag").arg(Rows - 1)}));
        QCOMPARE(report.count('\n'), 1 + 2 * Rows);
        QVERIFY(report.endsWith(QString("Zeile %1: %2\n    Go;Syntax;Neu;31.02.2003;%3;kein Tag\n")
                                    .arg(Rows + 1)
                                    .arg(reason)
                                    .arg(Rows - 1)));
        if (message.isEmpty()) {
            QCOMPARE(QString::fromUtf8(Read(dir.filePath(target))), report);
            QCOMPARE(Prompt::Testing::Messages().size(), 0);
        } else {
            QCOMPARE(Prompt::Testing::Messages().size(), 1);
            QCOMPARE(Prompt::Testing::Messages()[0].text, message);
        }
        QCOMPARE(form->ItemCount(), 3);
    }

    void importWithoutReportWindow_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("listed");
        QTest::newRow("every row taken")
            << QByteArray("language,category,project,date,minutes\nGo,Syntax,Neu,,\n"
                          "C++,Zeiger,Web,2001-03-07,15\n")
            << int(Prompt::Kind::Information)
            << "x.csv: 1 Eintrag importiert, 1 Duplikat übersprungen, 0 Zeilen fehlerhaft" << 4;
        QTest::newRow("no project column")
            << QByteArray("Sprache;Kategorie\nGo;Syntax\n") << int(Prompt::Kind::Error)
            << "x.csv: In der Kopfzeile fehlt die Spalte „Projekt“. Es wurde nichts importiert."
            << 3;
    }
    void importWithoutReportWindow() {
        QFETCH(QByteArray, content);
        QFETCH(int, kind);
        QFETCH(QString, message);
        QFETCH(int, listed);
        auto form = MakeForm();
        QTemporaryDir dir;
        Write(dir.filePath("x.csv"), content);
        Prompt::Testing::QueueFile(dir.filePath("x.csv"));
        form->ImportCsvAction()->trigger();
        QCOMPARE(Prompt::Testing::Messages().size(), 1);
        QCOMPARE(int(Prompt::Testing::Messages()[0].kind), kind);
        QCOMPARE(Prompt::Testing::Messages()[0].text, message);
        QCOMPARE(form->ItemCount(), listed);
    }
};

QTEST_MAIN(TestMainFormExchange)
#include "tst_mainform_exchange.moc"
