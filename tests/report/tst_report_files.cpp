// The written report read back by real readers: the PDF by pdftotext and
// pdfinfo (totals, page count, "Seite n von m"), the HTML by an XML reader
// (well-formed, whatever the texts hold); and the printed list: every entry
// once and in order, long descriptions complete across pages, no line
// beyond the paper's text width.

#include "analysis/FigureEngine.h"
#include "report/ListPrintLayout.h"
#include "report/ReportFile.h"
#include "report/TextWrap.h"
#include "support/CoreTestUtil.h"
#include "support/ToolOutput.h"

#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

using coretest::Day;
using coretest::Entry;
using namespace report;

namespace {

int PdfPages(const QString& path) {
    const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
    return pages.match(ToolOutput("pdfinfo", {path})).captured(1).toInt();
}

// September and October 2026, one entry without day; texts that markup
// must escape.
void Fill(TDataBase& db, int projects, int descriptionWords) {
    db.AddRecord(Entry("C++", "Zeigerfehler", "Kasse", Day(2026, 9, 15), 30));
    db.AddRecord(Entry("C++", "Zeigerfehler", "Kasse", Day(2026, 10, 1), 10, "a < b && c > d"));
    db.AddRecord(Entry("Java", "Eins-daneben-Fehler", "Lager", Day(2026, 10, 15), 45,
                       "Steuer\x01zeichen \x1b und \"Anf\xFChrung\"\r\nzweite Zeile"));
    db.AddRecord(Entry("Rust",
                       "\xDC"
                       "berlauf",
                       "<Neu & Co>", Day(2026, 10, 31), 100));
    db.AddRecord(Entry("Go", "Zeigerfehler", "Kasse", std::nan(""), 7));
    std::string words;
    for (int w = 0; w < descriptionWords; ++w)
        words += "Wort" + std::to_string(w) + " ";
    for (int p = 0; p < projects; ++p)
        db.AddRecord(Entry("SQL", "vergessene Anweisung", "Projekt " + std::to_string(p),
                           Day(2026, 10, 2 + p % 20), 1 + static_cast<std::uint32_t>(p), words));
}

QStringList Lines(std::string_view text, double width) {
    CharWidths widths;
    widths.fill(1.0);
    QStringList lines;
    WrapText(text, widths, width, 0, [&](TextLine line) {
        lines << QString::fromLatin1(text.substr(line.begin, line.end - line.begin));
    });
    return lines;
}

} // namespace

class ReportFilesTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

private slots:
    void pdfAndHtml_data() {
        QTest::addColumn<int>("projects");
        QTest::addColumn<int>("descriptionWords");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QStringList>("expected"); // patterns of lines of the PDF's text
        // Overview rows: this period, the one before, the change.
        QTest::newRow("October against September")
            << 0 << 0 << "01.10.2026"
            << "31.10.2026"
            << QStringList{"Fehlerbericht Oktober 2026",
                           "Eintr\u00E4ge\\s+3\\s+1\\s+\u2191 \\+200,0 %",
                           "Aufwand \\(h:mm\\)\\s+2:35\\s+0:30\\s+\u2191 \\+416,7 %",
                           "Mittel \\(Minuten je Eintrag\\)\\s+51,7\\s+30,0\\s+\u2191 \\+72,2 %",
                           "Median \\(Minuten je Eintrag\\)\\s+45,0\\s+30,0\\s+\u2191 \\+50,0 %",
                           "1 Eintrag ohne Kalendertag",
                           "Sprachen: Java, Rust",
                           "Kategorien: Eins-daneben-Fehler, \u00DCberlauf"};
        QTest::newRow("empty period")
            << 0 << 0 << "01.01.2030"
            << "31.01.2030"
            << QStringList{"Fehlerbericht Januar 2030", "Eintr\u00E4ge\\s+0\\s+0\\s+\u2013",
                           "Im Zeitraum gibt es keine Eintr\u00E4ge"};
        QTest::newRow("many projects, long descriptions")
            << 30 << 200 << "01.10.2026"
            << "31.10.2026"
            << QStringList{"Eintr\u00E4ge\\s+33\\s+1", "und 21 weitere Projekte mit zusammen",
                           "Wort1 Wort2", "\u2026"};
    }

    void pdfAndHtml() {
        QFETCH(int, projects);
        QFETCH(int, descriptionWords);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QStringList, expected);
        TDataBase db;
        Fill(db, projects, descriptionWords);
        const Period period =
            *RangeOf(*ParseDate(from.toStdString()), *ParseDate(to.toStdString()));
        const ReportHeading heading{"pr\u00FCfung.mvd", "alle", QDate(2026, 12, 7)};
        const auto entries = analysis::ListedEntries(db);

        const QString pdf = dir_.filePath("bericht.pdf");
        const int pages =
            WriteReport(db, entries, period, heading, ReportFormat::Pdf, pdf.toStdString());
        QCOMPARE(PdfPages(pdf), pages);
        const QString text = ToolOutput("pdftotext", {"-layout", pdf, "-"});
        for (const QString& pattern : expected)
            QVERIFY2(text.contains(QRegularExpression(pattern)), qPrintable(pattern + "\n" + text));
        for (int page = 1; page <= pages; ++page)
            QVERIFY(text.contains(QStringLiteral("Seite %1 von %2").arg(page).arg(pages)));

        const QString html = dir_.filePath("bericht.html");
        WriteReport(db, entries, period, heading, ReportFormat::Html, html.toStdString());
        QFile file(html);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QString words;
        while (!xml.atEnd())
            if (xml.readNext() == QXmlStreamReader::Characters)
                words += xml.text().toString() + QLatin1Char(' ');
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        words = words.simplified();
        QVERIFY(words.contains(heading.database));
        for (const QString& pattern : expected)
            if (!pattern.contains(QStringLiteral("\\s+"))) // table cells are elements apart
                QVERIFY2(words.contains(QRegularExpression(pattern)), qPrintable(pattern));
    }

    void wrap_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("lines"); // at ten characters of width 1
        QTest::newRow("empty") << QByteArray() << QStringList{};
        QTest::newRow("at blanks")
            << QByteArray("abc def ghi jkl") << QStringList{"abc def", "ghi jkl"};
        QTest::newRow("exactly full") << QByteArray("abcde fghi") << QStringList{"abcde fghi"};
        QTest::newRow("long word")
            << QByteArray("abcdefghijklmno") << QStringList{"abcdefghij", "klmno"};
        QTest::newRow("line breaks")
            << QByteArray("ab\r\ncd\rX\nY") << QStringList{"ab", "cd", "X", "Y"};
        QTest::newRow("empty line kept, trailing breaks not")
            << QByteArray("a\r\n\r\nb  \r\n\r\n") << QStringList{"a", "", "b"};
        QTest::newRow("blanks past the edge")
            << QByteArray("word         next") << QStringList{"word", "next"};
        QTest::newRow("control characters are blanks") << QByteArray("abc\x01"
                                                                     "def\tghij")
                                                       << QStringList{"abc\x01"
                                                                      "def",
                                                                      "ghij"};
    }

    void wrap() {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, lines);
        const std::string_view view(text.constData(), static_cast<std::size_t>(text.size()));
        QCOMPARE(Lines(view, 10.0), lines);
        CharWidths widths;
        widths.fill(1.0);
        QCOMPARE(CountLines(view, widths, 10.0), static_cast<std::size_t>(lines.size()));
    }

    void printedList_data() {
        QTest::addColumn<int>("entries");
        QTest::addColumn<bool>("columns");
        QTest::newRow("no entry") << 0 << true;
        QTest::newRow("300 entries") << 300 << true;
        QTest::newRow("without columns") << 120 << false;
    }

    void printedList() {
        QFETCH(int, entries);
        QFETCH(bool, columns);
        TDataBase db;
        for (int i = 0; i < entries; ++i) {
            std::string description = "Eintrag" + std::to_string(10000 + i);
            const int words = i == 7 ? 1500 : (i * 37) % 60; // entry 7 spans pages
            for (int w = 0; w < words; ++w)
                description += (w % 13 == 12 ? "\r\n" : " ") + std::string("w") +
                               std::to_string(w) +
                               (w % 5 == 0 ? "Gr\xF6\xDF"
                                             "enverh\xE4ltnis"
                                           : "");
            db.AddRecord(
                Entry("C++", "Zeigerfehler", "Kasse", Day(2026, 1, 1) + i, 5, description));
        }
        const auto rows = analysis::ListedEntries(db);
        ListPrintLayout layout(
            rows,
            columns ? std::vector<TColumnKind>{ckDate, ckLanguage, ckTime}
                    : std::vector<TColumnKind>{},
            {"Datum", "Sprache", "Aufwand"},
            {"liste.mvd", "alle Eintr\u00E4ge", "Suche: \u201Ex\u201C", QDate(2026, 12, 7)});

        const QString path = dir_.filePath("liste.pdf");
        {
            QPdfWriter writer(path);
            writer.setPageSize(QPageSize(QPageSize::A4));
            QVERIFY(layout.Print(writer));
        }
        const int pages = layout.PageCount();
        QCOMPARE(PdfPages(path), pages);
        const QStringList pageTexts = ToolOutput("pdftotext", {path, "-"}).split(QChar('\f'));
        for (int page = 0; page < pages; ++page)
            QVERIFY(pageTexts[page].contains(
                QStringLiteral("Seite %1 von %2").arg(page + 1).arg(pages)));
        const QString text = pageTexts.join(' ');
        if (entries == 0)
            QVERIFY(text.contains(QStringLiteral("Die Liste ist leer.")));
        // Every entry once and in list order; the long one complete.
        qsizetype at = 0;
        for (int i = 0; i < entries; ++i) {
            const QString marker = QStringLiteral("Eintrag%1").arg(10000 + i);
            const qsizetype found = text.indexOf(marker, at);
            QVERIFY2(found >= 0, qPrintable(marker));
            QCOMPARE(text.indexOf(marker, found + 1), -1);
            at = found;
        }
        if (entries > 7) {
            const qsizetype start = text.indexOf(QStringLiteral("Eintrag10007"));
            qsizetype word = start;
            for (int w = 0; w < 1500; w += 97) {
                word = text.indexOf(QRegularExpression(QStringLiteral("\\bw%1(?![0-9])").arg(w)),
                                    word);
                QVERIFY2(word > 0, qPrintable(QString::number(w)));
            }
            QVERIFY(pages > 3);
        }
        // No word beyond the right edge of the text area.
        const QString boxes = ToolOutput("pdftotext", {"-bbox", path, "-"});
        const QRegularExpression word(QStringLiteral("xMax=\"([0-9.]+)\""));
        double right = 0;
        for (auto match = word.globalMatch(boxes); match.hasNext();)
            right = std::max(right, match.next().captured(1).toDouble());
        QPdfWriter probe(dir_.filePath("probe.pdf"));
        probe.setPageSize(QPageSize(QPageSize::A4));
        const double edge = probe.pageLayout().paintRect(QPageLayout::Point).right();
        QVERIFY2(right <= edge + 0.5, qPrintable(QStringLiteral("%1 > %2").arg(right).arg(edge)));
    }
};

QTEST_MAIN(ReportFilesTest)
#include "tst_report_files.moc"
