// Printing and the review report from the main window: Ctrl+P prints the
// listed entries (filter, search, sort) through Qt's print dialog, the
// preview pages as the printer does, "Bericht..." writes the report of the
// listed entries in the chosen period; pdftotext and pdfinfo read the PDFs.
#include "gui/PreviewPages.h"
#include "gui/PrintPreviewForm.h"
#include "gui/ReportForm.h"
#include "report/ListPrintLayout.h"
#include "support/CoreTestUtil.h"
#include "support/DialogDriver.h"
#include "support/ToolOutput.h"
#include "support/WindowProbe.h"

#include <QDateEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QRegularExpression>
#include <QtTest>
#include <memory>

using coretest::Day;
using coretest::Entry;

namespace {

int PdfPages(const QString& path) {
    static const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
    return pages.match(ToolOutput("pdfinfo", {path})).captured(1).toInt();
}

// Entries of 2025 and 2026 in three languages; "Lisp" is filtered out and
// entry 5 has a description that runs over several pages.
std::unique_ptr<TTestForm> MakeForm() {
    auto form = std::make_unique<TTestForm>();
    std::string longText;
    for (int w = 0; w < 3000; ++w)
        longText += "Wort" + std::to_string(w) + (w % 40 == 39 ? "\r\n" : " ");
    form->Fill(
        {Entry("C++", "Zeigerfehler", "Kasse", Day(2026, 1, 10), 30, "Eintrag-A"),
         Entry("Java", "Syntax", "Lager", Day(2026, 1, 20), 45, "Eintrag-B"),
         Entry("Lisp", "Syntax", "Lager", Day(2026, 1, 21), 500, "Eintrag-C"),
         Entry("C++", "Syntax", "Kasse", Day(2026, 2, 3), 15, "Eintrag-D"),
         Entry("Java", "Zeigerfehler", "Kasse", Day(2025, 12, 31), 60, "Eintrag-E"),
         Entry("C++", "Zeigerfehler", "Lager", Day(2026, 1, 5), 20, "Eintrag-F " + longText)});
    form->SetFilterTick(form->DataBase().Languages, "Lisp", false, true);
    form->SetSort(ckTime, true); // most minutes first
    form->RebuildList();
    return form;
}

// The listed entries' descriptions in list order, as the printout starts them.
QStringList ListedMarkers(TTestForm& form) {
    QStringList markers;
    for (int row = 0; row < form.ItemCount(); ++row)
        markers << QString::fromLatin1(form.ItemRecord(row)->Description().substr(0, 9));
    return markers;
}

} // namespace

class TestPrinting : public QObject {
    Q_OBJECT
private slots:
    void init() { Prompt::Testing::Begin(); }
    void cleanup() { Prompt::Testing::End(); }

    // Ctrl+P opens Qt's print dialog; to a PDF file it prints the listed
    // entries in list order on numbered pages; cancelled, it prints nothing.
    void ctrlPPrintsTheList_data() {
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("search");
        QTest::newRow("printed") << true << QString();
        QTest::newRow("printed with search") << true << QStringLiteral("zeiger");
        QTest::newRow("dialog cancelled") << false << QString();
    }
    void ctrlPPrintsTheList() {
        QFETCH(bool, accept);
        QFETCH(QString, search);
        auto form = MakeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        if (!search.isEmpty()) {
            form->SearchEdit()->setText(search);
            QTRY_VERIFY(!form->SearchPending());
        }
        QTemporaryDir dir;
        const QString path = dir.filePath("liste.pdf");
        form->ListPrinter().Printer().setOutputFileName(path);

        QString dialogName;
        DialogDriver driver([&](QDialog& dialog) {
            dialogName = dialog.objectName();
            if (qobject_cast<QPrintDialog*>(&dialog) && accept)
                dialog.accept();
            else
                dialog.reject();
        });
        form->ListView()->setFocus();
        QTest::keyClick(form.get(), Qt::Key_P, Qt::ControlModifier);
        QVERIFY(driver.ran);
        QCOMPARE(dialogName, QStringLiteral("PrintDialog"));
        QCOMPARE(QFile::exists(path), accept);
        if (!accept)
            return;

        const int pages = PdfPages(path);
        QVERIFY(pages > 2); // the long description runs on
        const QStringList pageTexts = ToolOutput("pdftotext", {path, "-"}).split(QChar('\f'));
        for (int page = 0; page < pages; ++page)
            QVERIFY2(pageTexts[page].contains(
                         QStringLiteral("Seite %1 von %2").arg(page + 1).arg(pages)),
                     qPrintable(pageTexts[page]));
        const QString text = pageTexts.join(' ');
        QVERIFY(!text.contains("Eintrag-C")); // filtered out
        qsizetype at = 0;
        for (const QString& marker : ListedMarkers(*form)) {
            const qsizetype found = text.indexOf(marker, at);
            QVERIFY2(found >= at, qPrintable(marker));
            at = found;
        }
        QVERIFY(text.contains("Wort2999")); // the long description to its end
        QCOMPARE(text.contains(QStringLiteral("Suche: \u201Ezeiger\u201C")), !search.isEmpty());
        QCOMPARE(Prompt::Testing::Messages().size(), 0);
    }

    // The preview paginates as the printer does, paints the page in view
    // and its buttons page on; "Drucken..." leads to the print dialog.
    void previewShowsPages() {
        auto form = MakeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QPrinter& printer = form->ListPrinter().Printer();
        const std::vector<TDataRecord*>& records = form->ListModel()->Records();
        report::ListPrintLayout layout(
            std::span<const TDataRecord* const>(records.data(), records.size()),
            {form->ColumnOrder().begin(), form->ColumnOrder().end()},
            {"Sprache", "Kategorie", "Projekt", "Datum", "Aufwand"}, {});
        QVERIFY(layout.Paginate(printer));
        const int pages = layout.PageCount();
        QVERIFY(pages > 2);

        QStringList seen;
        bool printDialogShown = false;
        DialogDriver driver([&](QDialog& dialog) {
            auto& preview = static_cast<TPrintPreviewForm&>(dialog);
            QCOMPARE(dialog.objectName(), QStringLiteral("PrintPreviewForm"));
            QTRY_VERIFY(preview.Pages->PaintCount() > 0);
            QCOMPARE(preview.Pages->FirstPainted(), 0);
            seen << preview.PageLabel->text();
            QTest::mouseClick(preview.NextPageButton, Qt::LeftButton);
            seen << preview.PageLabel->text();
            QTest::keyClick(preview.Pages, Qt::Key_End);
            QTRY_COMPARE(preview.Pages->LastPainted(), pages - 1);
            seen << preview.PageLabel->text();
            // The print dialog follows the preview.
            auto* poll = new QTimer(form.get());
            connect(poll, &QTimer::timeout, poll, [&, poll] {
                if (auto* print = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
                    printDialogShown = true;
                    print->reject();
                    poll->deleteLater();
                }
            });
            poll->start(20);
            QTest::mouseClick(preview.PrintButton, Qt::LeftButton);
        });
        form->PrintPreviewAction()->trigger();
        QVERIFY(driver.ran && !driver.leftOpen);
        QCOMPARE(seen, (QStringList{QStringLiteral("Seite 1 von %1").arg(pages),
                                    QStringLiteral("Seite 2 von %1").arg(pages),
                                    QStringLiteral("Seite %1 von %1").arg(pages)}));
        QTRY_VERIFY(printDialogShown);
    }

    // "Bericht..." writes the report of the listed entries (the filter
    // applied) in the chosen period, to the chosen file.
    void reportWritesListedEntries() {
        auto form = MakeForm();
        QTemporaryDir dir;
        const QString path = dir.filePath("bericht.pdf");
        Prompt::Testing::QueueFile(path);
        bool defaults = false;
        DialogDriver driver([&](QDialog& dialog) {
            auto& report = static_cast<TReportForm&>(dialog);
            defaults = report.ChosenKind() == report::PeriodKind::LastMonth &&
                       report.PdfButton->isChecked();
            report.PeriodBox->setCurrentIndex(static_cast<int>(report::PeriodKind::Range));
            report.FromEdit->setDate(QDate(2026, 1, 1));
            report.ToEdit->setDate(QDate(2026, 1, 31));
            QTest::mouseClick(report.OkButton, Qt::LeftButton);
        });
        form->ReportAction()->trigger();
        QVERIFY(driver.ran && !driver.leftOpen);
        QVERIFY(defaults);
        QCOMPARE(Prompt::Testing::FileDialogs().size(), 1);
        QVERIFY(Prompt::Testing::FileDialogs()[0].selectedFile.endsWith(".pdf"));
        QCOMPARE(Prompt::Testing::Messages().size(), 0);
        // January 2026 lists A, B and F (C is filtered out): 95 minutes;
        // December 2025 before it holds E.
        const QString text = ToolOutput("pdftotext", {"-layout", path, "-"});
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("Eintr\u00E4ge\\s+3\\s+1"))),
                 qPrintable(text));
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("Aufwand \\(h:mm\\)\\s+1:35"))));
    }

    // A report that cannot be written, or would overwrite the open database,
    // is reported in German and leaves the files as they were.
    void reportFailuresAreReported_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing folder")
            << "fehlt/bericht.pdf"
            << "Der Bericht \u201Ebericht.pdf\u201C wurde nicht geschrieben: ";
        QTest::newRow("the open database")
            << "daten.mvd"
            << "\u201Edaten.mvd\u201C ist die ge\u00F6ffnete Datenbank";
    }
    void reportFailuresAreReported() {
        QFETCH(QString, target);
        QFETCH(QString, message);
        auto form = MakeForm();
        QTemporaryDir dir;
        form->Commands().SaveAs(coretest::Native(dir.filePath("daten.mvd")));
        const QByteArray saved = coretest::ReadBytes(dir.filePath("daten.mvd"));
        Prompt::Testing::QueueFile(dir.filePath(target));
        DialogDriver driver([](QDialog& dialog) { dialog.accept(); });
        form->ReportAction()->trigger();
        QVERIFY(driver.ran);
        QCOMPARE(Prompt::Testing::Messages().size(), 1);
        QCOMPARE(Prompt::Testing::Messages()[0].kind, Prompt::Kind::Error);
        QVERIFY2(Prompt::Testing::Messages()[0].text.startsWith(message),
                 qPrintable(Prompt::Testing::Messages()[0].text));
        QCOMPARE(coretest::ReadBytes(dir.filePath("daten.mvd")), saved);
    }

    // The period choices as seen on 15.02.2026; "bis" before "von" is refused.
    void reportPeriods_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QDate>("first");
        QTest::addColumn<QDate>("last");
        using K = report::PeriodKind;
        QTest::newRow("this month") << int(K::ThisMonth) << QDate(2026, 2, 1) << QDate(2026, 2, 28);
        QTest::newRow("last month") << int(K::LastMonth) << QDate(2026, 1, 1) << QDate(2026, 1, 31);
        QTest::newRow("this quarter")
            << int(K::ThisQuarter) << QDate(2026, 1, 1) << QDate(2026, 3, 31);
        QTest::newRow("last quarter")
            << int(K::LastQuarter) << QDate(2025, 10, 1) << QDate(2025, 12, 31);
        QTest::newRow("this year") << int(K::ThisYear) << QDate(2026, 1, 1) << QDate(2026, 12, 31);
        QTest::newRow("last year") << int(K::LastYear) << QDate(2025, 1, 1) << QDate(2025, 12, 31);
        QTest::newRow("from-to") << int(K::Range) << QDate(2024, 2, 29) << QDate(2024, 3, 1);
        QTest::newRow("from-to reversed")
            << int(K::Range) << QDate(2024, 3, 2) << QDate(2024, 3, 1);
    }
    void reportPeriods() {
        QFETCH(int, kind);
        QFETCH(QDate, first);
        QFETCH(QDate, last);
        TReportForm form(nullptr);
        std::optional<TReportForm::TChoice> choice;
        bool editable = false;
        QString shown;
        DialogDriver driver([&](QDialog&) {
            form.PeriodBox->setCurrentIndex(kind);
            editable = form.FromEdit->isEnabled() && form.ToEdit->isEnabled();
            if (editable) {
                form.FromEdit->setDate(first);
                form.ToEdit->setDate(last);
            }
            shown = form.FromEdit->date().toString("dd.MM.yyyy") + '-' +
                    form.ToEdit->date().toString("dd.MM.yyyy");
            form.HtmlButton->setChecked(true);
            QTest::mouseClick(form.OkButton, Qt::LeftButton);
        });
        choice = form.Execute(QDate(2026, 2, 15));
        QCOMPARE(editable, kind == int(report::PeriodKind::Range));
        QCOMPARE(shown, first.toString("dd.MM.yyyy") + '-' + last.toString("dd.MM.yyyy"));
        if (first > last) { // refused with a warning; the dialog stayed open
            QVERIFY(driver.leftOpen);
            QVERIFY(!choice);
            QCOMPARE(Prompt::Testing::Messages().size(), 1);
            return;
        }
        QVERIFY(choice);
        const QDate dayZero(1899, 12, 30);
        QCOMPARE(dayZero.addDays(choice->period.first), first);
        QCOMPARE(dayZero.addDays(choice->period.last), last);
        QCOMPARE(choice->format, report::ReportFormat::Html);
    }
};

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
