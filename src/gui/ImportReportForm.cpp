#include "gui/ImportReportForm.h"

#include "fileio/ReplaceFile.h"
#include "gui/ErrorReport.h"
#include "gui/FormSetup.h"
#include "gui/NativePath.h"
#include "gui/Prompt.h"
#include "gui/RefusedRowsModel.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <stdexcept>

TImportReportForm::TImportReportForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ImportReportForm"));
    setWindowTitle(QStringLiteral("CSV-Datei importieren"));
    setFont(FormFont());
    resize(560, 340);

    SummaryLabel = new QLabel(this);
    SummaryLabel->setObjectName(QStringLiteral("SummaryLabel"));
    SummaryLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    SummaryLabel->setWordWrap(true);
    auto* listLabel = new QLabel(QStringLiteral("&Fehlerhafte Zeilen:"), this);
    listLabel->setObjectName(QStringLiteral("RefusedLabel"));
    RefusedList = new QTreeView(this);
    RefusedList->setObjectName(QStringLiteral("RefusedList"));
    RefusedList->setRootIsDecorated(false);
    RefusedList->setUniformRowHeights(true); // a million rows cost no height each
    RefusedList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    RefusedList->setToolTip(
        QStringLiteral("Zeilennummer, Grund und Text jeder fehlerhaften Zeile"));
    listLabel->setBuddy(RefusedList);

    CopyButton = new QPushButton(QStringLiteral("&Kopieren"), this);
    CopyButton->setObjectName(QStringLiteral("CopyButton"));
    CopyButton->setToolTip(QStringLiteral("kopiert den Bericht in die Zwischenablage"));
    CopyButton->setAutoDefault(false);
    SaveButton = new QPushButton(QStringLiteral("&Speichern..."), this);
    SaveButton->setObjectName(QStringLiteral("SaveButton"));
    SaveButton->setToolTip(QStringLiteral("speichert den Bericht als Textdatei"));
    SaveButton->setAutoDefault(false);
    CloseButton = new QPushButton(QStringLiteral("Schließen"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    CloseButton->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CopyButton);
    buttons->addWidget(SaveButton);
    buttons->addStretch(1);
    buttons->addWidget(CloseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SummaryLabel);
    layout->addWidget(listLabel);
    layout->addWidget(RefusedList, 1);
    layout->addLayout(buttons);

    SaveDialog = new QFileDialog(this, QStringLiteral("Bericht speichern"));
    SaveDialog->setObjectName(QStringLiteral("ReportSaveDialog"));
    SaveDialog->setOption(QFileDialog::DontUseNativeDialog);
    SaveDialog->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog->setFileMode(QFileDialog::AnyFile);
    SaveDialog->setDefaultSuffix(QStringLiteral("txt"));
    SaveDialog->setNameFilters(
        {QStringLiteral("Textdateien (*.txt)"), QStringLiteral("alle Dateien (*.*)")});

    connect(CopyButton, &QPushButton::clicked, this,
            [this] { ErrorReport::Guard(this, [this] { CopyButtonClick(); }); });
    connect(SaveButton, &QPushButton::clicked, this,
            [this] { ErrorReport::Guard(this, [this] { SaveButtonClick(); }); });
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
}

TImportReportForm::~TImportReportForm() = default;

void TImportReportForm::Execute(const QString& summary,
                                std::unique_ptr<TRefusedRowsModel> refusedRows) {
    rows_ = std::move(refusedRows);
    SummaryLabel->setText(
        rows_->TextsReadable()
            ? summary
            : summary + QStringLiteral("\nDie Datei hat sich seit dem Import geändert; die "
                                       "Zeilen stehen ohne ihren Text da."));
    RefusedList->setModel(rows_.get());
    QHeaderView* header = RefusedList->header();
    header->setStretchLastSection(true);
    const QFontMetrics metrics(RefusedList->font());
    header->resizeSection(TRefusedRowsModel::LineColumn,
                          metrics.horizontalAdvance(QStringLiteral("Zeile 0000000")));
    header->resizeSection(TRefusedRowsModel::ReasonColumn,
                          metrics.horizontalAdvance(QLatin1Char('x')) * 40);
    CloseButton->setFocus();
    exec();
    RefusedList->setModel(nullptr);
}

QString TImportReportForm::ReportText() const {
    std::string text = SummaryLabel->text().toStdString() + '\n';
    if (rows_)
        rows_->WriteReport([&text](std::string_view row) { text += row; });
    return QString::fromStdString(text);
}

namespace {

// A save that the user cancelled: the replace of the file is given up.
struct SaveCancelled {};

} // namespace

bool TImportReportForm::writeReport(const std::function<void(std::string_view)>& sink) {
    const std::string summary = SummaryLabel->text().toStdString() + '\n';
    sink(summary);
    if (!rows_)
        return true;
    QProgressDialog progress(QStringLiteral("Der Bericht wird geschrieben..."),
                             QStringLiteral("Abbrechen"), 0, rows_->rowCount(), this);
    progress.setWindowTitle(windowTitle());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    return rows_->WriteReport(sink, [&progress](std::size_t done, std::size_t) {
        progress.setValue(static_cast<int>(done));
        return !progress.wasCanceled();
    });
}

void TImportReportForm::CopyButtonClick() {
    std::string text;
    if (writeReport([&text](std::string_view piece) { text += piece; }))
        QApplication::clipboard()->setText(QString::fromStdString(text));
}

void TImportReportForm::SaveButtonClick() {
    const std::optional<QString> chosen = Prompt::RunFileDialog(*SaveDialog);
    if (!chosen)
        return;
    try {
        fileio::ReplaceFile(nativepath::FromQString(*chosen), [this](fileio::OutputFile& out) {
            if (!writeReport(
                    [&out](std::string_view piece) { out.Write(piece.data(), piece.size()); }))
                throw SaveCancelled{};
        });
    } catch (const SaveCancelled&) {
        return; // a file of that name stays as it was
    } catch (const std::runtime_error& error) {
        Prompt::Message(this, Prompt::Kind::Error,
                        QStringLiteral("Der Bericht konnte nicht gespeichert werden: %1")
                            .arg(ErrorReport::ReportText(QString::fromUtf8(error.what()))),
                        Prompt::Ok);
    }
}
