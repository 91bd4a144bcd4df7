#include "gui/ListReport.h"

#include "fileio/PathUtil.h"
#include "gui/Document.h"
#include "gui/ErrorReport.h"
#include "gui/FileChooser.h"
#include "gui/NativePath.h"
#include "gui/Prompt.h"
#include "gui/RecordListModel.h"
#include "gui/RecordListPanel.h"
#include "gui/ReportForm.h"
#include "gui/SearchBar.h"
#include "report/FilterWords.h"
#include "report/ReportFile.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <exception>
#include <span>

TListReport::TListReport(QWidget* window, const TDocument& document, const TRecordListPanel& list,
                         const TSearchBar& search, TFileChooser& chooser)
    : QObject(window), window_(window), document_(document), list_(list), search_(search),
      chooser_(chooser), fileDialog_([window] {
          auto* dialog = new QFileDialog(window, QStringLiteral("Bericht speichern"));
          dialog->setObjectName(QStringLiteral("ReportDialog"));
          dialog->setOption(QFileDialog::DontUseNativeDialog);
          dialog->setAcceptMode(QFileDialog::AcceptSave);
          dialog->setFileMode(QFileDialog::AnyFile);
          return dialog;
      }) {
    setObjectName(QStringLiteral("ListReport"));
}

void TListReport::Write() {
    if (form_ == nullptr)
        form_ = new TReportForm(window_);
    const std::optional<TReportForm::TChoice> choice = form_->Execute(QDate::currentDate());
    if (!choice)
        return;
    const bool pdf = choice->format == report::ReportFormat::Pdf;
    QFileDialog& dialog = *fileDialog_;
    dialog.setNameFilters({pdf ? QStringLiteral("PDF-Dokument (*.pdf)")
                               : QStringLiteral("HTML-Seite (*.html *.htm)")});
    dialog.setDefaultSuffix(pdf ? QStringLiteral("pdf") : QStringLiteral("html"));
    // "fehler Bericht Oktober 2026.pdf" beside the database.
    QString preset = QStringLiteral("Bericht ") +
                     QString::fromUtf8(report::PeriodTitle(choice->period).c_str()) +
                     (pdf ? QStringLiteral(".pdf") : QStringLiteral(".html"));
    if (!document_.FileName().empty())
        preset = QFileInfo(nativepath::ToQString(document_.FileName())).completeBaseName() +
                 QLatin1Char(' ') + preset;
    const std::optional<QString> chosen = chooser_.Choose(dialog, preset);
    if (!chosen)
        return;
    const std::string path = nativepath::FromQString(*chosen);
    const QString name = QFileInfo(*chosen).fileName();
    if (fileio::SameFile(path, document_.FileName())) {
        Prompt::Message(window_, Prompt::Kind::Error,
                        QStringLiteral("„%1“ ist die geöffnete Datenbank; sie wurde nicht "
                                       "überschrieben.")
                            .arg(name),
                        Prompt::Ok);
        return;
    }
    const std::vector<TDataRecord*>& rows = list_.Model().Records();
    const report::ReportHeading heading{
        document_.DisplayName(),
        report::SelectionInWords(document_.DataBase(), search_.SearchText()), QDate::currentDate()};
    try {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        report::WriteReport(document_.DataBase(),
                            std::span<const TDataRecord* const>(rows.data(), rows.size()),
                            choice->period, heading, choice->format, path);
        QApplication::restoreOverrideCursor();
    } catch (const std::exception& error) {
        QApplication::restoreOverrideCursor();
        Prompt::Message(window_, Prompt::Kind::Error,
                        QStringLiteral("Der Bericht „%1“ wurde nicht geschrieben: %2")
                            .arg(name, ErrorReport::ReportText(QString::fromUtf8(error.what()))),
                        Prompt::Ok);
    }
}
