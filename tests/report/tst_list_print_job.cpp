// The printed list written to a PDF file: the page range, and a cancel at
// either step or a range after the last page leaving the old file as it was
// (pdfinfo and pdftotext read the written file).
#include "analysis/FigureEngine.h"
#include "report/ListPrintJob.h"
#include "support/CoreTestUtil.h"
#include "support/ToolOutput.h"

#include <QPageSize>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using coretest::Day;
using coretest::Entry;
using namespace report;

class ListPrintJobTest : public QObject {
    Q_OBJECT
private slots:
    void writeListPdf_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("cancelPaging");   // cancel at this call, 0 for never
        QTest::addColumn<int>("cancelPainting"); // cancel after this page, 0 for never
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("pages"); // pages written; 0: the old file stays
        QTest::newRow("all pages") << 0 << 0 << 0 << 0 << int(PrintOutcome::Printed) << -1;
        QTest::newRow("pages 2 to 3") << 2 << 3 << 0 << 0 << int(PrintOutcome::Printed) << 2;
        QTest::newRow("to beyond the end")
            << 2 << 9999 << 0 << 0 << int(PrintOutcome::Printed) << -2;
        QTest::newRow("from beyond the end")
            << 9999 << 0 << 0 << 0 << int(PrintOutcome::NoPages) << 0;
        QTest::newRow("cancelled while paging")
            << 0 << 0 << 1 << 0 << int(PrintOutcome::Cancelled) << 0;
        QTest::newRow("cancelled while painting")
            << 0 << 0 << 0 << 2 << int(PrintOutcome::Cancelled) << 0;
    }
    void writeListPdf() {
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(int, cancelPaging);
        QFETCH(int, cancelPainting);
        QFETCH(int, outcome);
        QFETCH(int, pages);
        // Enough entries for more than 256 pages, so that paging reports.
        TDataBase db;
        for (int i = 0; i < 12000; ++i)
            db.AddRecord(Entry("C++", "Zeigerfehler", "Kasse", Day(2026, 1, 1) + i % 300,
                               static_cast<std::uint32_t>(i), "Eintrag " + std::to_string(i)));
        const auto rows = analysis::ListedEntries(db);
        ListPrintLayout layout(rows, {ckLanguage, ckDate, ckTime}, {"Sprache", "Datum", "Aufwand"},
                               {"liste.mvd", "alle", {}, QDate(2026, 12, 7)});
        QTemporaryDir dir;
        const QString path = dir.filePath("liste.pdf");
        {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("alter Inhalt");
        }
        int pagingCalls = 0;
        const PrintProgress progress{
            [&](std::size_t, std::size_t) { return ++pagingCalls != cancelPaging; },
            [&](std::size_t done, std::size_t) {
                return static_cast<int>(done) != cancelPainting;
            }};
        const PdfFileSetup setup{QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                             QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter),
                                 1200, QStringLiteral("liste.mvd"), PageRange{first, last}};
        QCOMPARE(int(WriteListPdf(layout, path.toStdString(), setup, progress)), outcome);
        QVERIFY(pagingCalls > 0);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"liste.pdf"}); // no temporary file left behind

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        if (pages == 0) {
            QCOMPARE(file.readAll(), QByteArray("alter Inhalt"));
            return;
        }
        const int count = layout.PageCount();
        const int from = first > 0 ? first : 1;
        const int expected = pages > 0 ? pages : count - from + 1;
        static const QRegularExpression pagesLine(QStringLiteral("Pages:\\s+(\\d+)"));
        QCOMPARE(pagesLine.match(ToolOutput("pdfinfo", {path})).captured(1).toInt(), expected);
        const QStringList texts = ToolOutput("pdftotext", {path, "-"}).split(QChar('\f'));
        QVERIFY(texts[0].contains(QStringLiteral("Seite %1 von %2").arg(from).arg(count)));
        QVERIFY(texts[expected - 1].contains(
            QStringLiteral("Seite %1 von %2").arg(from + expected - 1).arg(count)));
    }
};

QTEST_MAIN(ListPrintJobTest)
#include "tst_list_print_job.moc"
