#include "gui/ListPrinter.h"

#include "core/DataBase.h"
#include "fileio/PathUtil.h"
#include "gui/ColumnKind.h"
#include "gui/Document.h"
#include "gui/ErrorReport.h"
#include "gui/NativePath.h"
#include "gui/PrintPreviewForm.h"
#include "gui/Prompt.h"
#include "gui/RecordListModel.h"
#include "gui/RecordListPanel.h"
#include "gui/SearchBar.h"
#include "report/FilterWords.h"
#include "report/ListPrintJob.h"
#include "report/ListPrintLayout.h"

#include <QDate>
#include <QFileInfo>
#include <QLocale>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <exception>

namespace {

// The progress of a long print: shown once the work has taken half a second,
// with "Abbrechen". Each step reports through a callback that returns false
// once the user cancelled.
class TPrintProgress {
public:
    explicit TPrintProgress(QWidget* window)
        : dialog_(QString(), QStringLiteral("Abbrechen"), 0, Scale, window) {
        dialog_.setObjectName(QStringLiteral("PrintProgress"));
        dialog_.setWindowTitle(QStringLiteral("Mavrolin"));
        dialog_.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowCloseButtonHint);
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setMinimumDuration(500);
        dialog_.setAutoClose(false);
        dialog_.setAutoReset(false);
        dialog_.setValue(0);
    }

    // `label` takes the numbers done and total (%1 and %2).
    report::ListPrintLayout::Progress Step(const QString& label) {
        return [this, label](std::size_t done, std::size_t total) {
            const QLocale german(QLocale::German, QLocale::Germany);
            dialog_.setLabelText(label.arg(german.toString(static_cast<qulonglong>(done)),
                                           german.toString(static_cast<qulonglong>(total))));
            dialog_.setValue(total == 0 ? 0
                                        : static_cast<int>(static_cast<double>(done) * Scale /
                                                           static_cast<double>(total)));
            return !dialog_.wasCanceled();
        };
    }
    report::PrintProgress Steps() {
        return {Step(QStringLiteral("Die Seiten werden eingeteilt: %1 von %2 Einträgen...")),
                Step(QStringLiteral("Seite %1 von %2 wird gedruckt..."))};
    }

private:
    static constexpr int Scale = 1000;
    QProgressDialog dialog_;
};

} // namespace

TListPrinter::TListPrinter(QWidget* window, const TDocument& document, const TRecordListPanel& list,
                           const TSearchBar& search)
    : QObject(window), window_(window), document_(document), list_(list), search_(search) {
    setObjectName(QStringLiteral("ListPrinter"));
}

TListPrinter::~TListPrinter() = default;

QPrinter& TListPrinter::Printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setCreator(QStringLiteral("Mavrolin"));
    }
    return *printer_;
}

std::unique_ptr<report::ListPrintLayout> TListPrinter::listLayout() {
    const std::vector<TDataRecord*>& records = list_.Model().Records();
    rows_.assign(records.begin(), records.end());
    std::vector<TColumnKind> columns;
    QStringList captions;
    for (const TColumnKind kind : list_.ColumnOrder())
        if (kind != ckNone) {
            columns.push_back(kind);
            captions << ColumnCaptions[kind];
        }
    const TDataBase& db = document_.DataBase();
    return std::make_unique<report::ListPrintLayout>(
        std::span<const TDataRecord* const>(rows_.data(), rows_.size()), std::move(columns),
        captions,
        report::ListPrintHead{document_.DisplayName(), report::FilterInWords(db),
                              report::SearchInWords(search_.SearchText()), QDate::currentDate()});
}

void TListPrinter::Print() {
    QPrinter& printer = Printer();
    printer.setDocName(document_.DisplayName());
    QPrintDialog dialog(&printer, window_);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    dialog.setWindowTitle(QStringLiteral("Liste drucken"));
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::unique_ptr<report::ListPrintLayout> layout = listLayout();
    printLayout(*layout);
    rows_ = {};
}

void TListPrinter::printLayout(report::ListPrintLayout& layout) {
    QPrinter& printer = Printer();
    const QString file = printer.outputFileName();
    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
    if (toFile && fileio::SameFile(nativepath::FromQString(file), document_.FileName())) {
        Prompt::Message(window_, Prompt::Kind::Error,
                        QStringLiteral("„%1“ ist die geöffnete Datenbank; sie wurde nicht "
                                       "überschrieben.")
                            .arg(QFileInfo(file).fileName()),
                        Prompt::Ok);
        return;
    }
    const report::PageRange asked = printer.printRange() == QPrinter::PageRange
                                        ? report::PageRange{printer.fromPage(), printer.toPage()}
                                        : report::PageRange{};
    report::PrintOutcome outcome = report::PrintOutcome::Cancelled;
    QString failure;
    {
        TPrintProgress progress(window_);
        if (toFile) {
            try {
                outcome = report::WriteListPdf(
                    layout, nativepath::FromQString(file),
                    {printer.pageLayout(), printer.resolution(), printer.docName(), asked},
                    progress.Steps());
            } catch (const std::exception& error) {
                failure = QStringLiteral("Das PDF „%1“ wurde nicht geschrieben: %2")
                              .arg(QFileInfo(file).fileName(),
                                   ErrorReport::ReportText(QString::fromUtf8(error.what())));
            }
        } else {
            outcome = printOnPrinter(layout, asked, progress.Steps());
            if (outcome == report::PrintOutcome::Failed)
                failure = QStringLiteral("Der Drucker „%1“ hat den Auftrag nicht angenommen.")
                              .arg(printer.printerName());
        }
    }
    if (!failure.isEmpty())
        Prompt::Message(window_, Prompt::Kind::Error, failure, Prompt::Ok);
    else if (outcome == report::PrintOutcome::NoPages)
        Prompt::Message(
            window_, Prompt::Kind::Information,
            (layout.PageCount() == 1
                 ? QStringLiteral("Die Liste hat nur eine Seite")
                 : QStringLiteral("Die Liste hat nur %1 Seiten").arg(layout.PageCount())) +
                QStringLiteral("; ab Seite %1 gibt es nichts zu drucken.").arg(asked.first),
            Prompt::Ok);
}

report::PrintOutcome TListPrinter::printOnPrinter(report::ListPrintLayout& layout,
                                                  report::PageRange asked,
                                                  const report::PrintProgress& progress) {
    QPrinter& printer = Printer();
    // Paging comes first: cancelled there, nothing reaches the printer.
    if (!layout.Paginate(printer, progress.paging))
        return report::PrintOutcome::Cancelled;
    const report::PageRange range = report::PagesToPrint(layout, asked);
    if (range.first > range.last)
        return report::PrintOutcome::NoPages;
    QPainter painter;
    if (!painter.begin(&printer))
        return report::PrintOutcome::Failed;
    if (!report::PaintPages(layout, printer, painter, range, progress.painting)) {
        // Qt's printers may send on what they already took; asked all the same.
        printer.abort();
        painter.end();
        return report::PrintOutcome::Cancelled;
    }
    return painter.end() ? report::PrintOutcome::Printed : report::PrintOutcome::Failed;
}

void TListPrinter::Preview() {
    QPrinter& printer = Printer();
    const std::unique_ptr<report::ListPrintLayout> layout = listLayout();
    bool print = false;
    {
        TPrintProgress progress(window_);
        if (!layout->Paginate(printer, progress.Steps().paging)) {
            rows_ = {};
            return;
        }
    }
    if (previewForm_ == nullptr)
        previewForm_ = new TPrintPreviewForm(window_);
    print = previewForm_->Execute(*layout, printer.pageLayout(), printer.resolution());
    rows_ = {};
    if (print)
        Print();
}
