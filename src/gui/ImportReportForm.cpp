#include "gui/ImportReportForm.h"

#include "gui/ErrorReport.h"
#include "gui/FormSetup.h"
#include "gui/Prompt.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

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
    RefusedMemo = new QPlainTextEdit(this);
    RefusedMemo->setObjectName(QStringLiteral("RefusedMemo"));
    RefusedMemo->setReadOnly(true);
    RefusedMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    RefusedMemo->setToolTip(
        QStringLiteral("Zeilennummer, Grund und Text jeder fehlerhaften Zeile"));
    listLabel->setBuddy(RefusedMemo);

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
    layout->addWidget(RefusedMemo, 1);
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

void TImportReportForm::Execute(const QString& summary, const QStringList& refusedRows) {
    SummaryLabel->setText(summary);
    RefusedMemo->setPlainText(refusedRows.join(QLatin1Char('\n')));
    CloseButton->setFocus();
    exec();
}

QString TImportReportForm::ReportText() const {
    return SummaryLabel->text() + QLatin1Char('\n') + RefusedMemo->toPlainText() +
           QLatin1Char('\n');
}

void TImportReportForm::CopyButtonClick() {
    QApplication::clipboard()->setText(ReportText());
}

void TImportReportForm::SaveButtonClick() {
    const std::optional<QString> chosen = Prompt::RunFileDialog(*SaveDialog);
    if (!chosen)
        return;
    QSaveFile file(*chosen);
    const QByteArray bytes = ReportText().toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        Prompt::Message(this, Prompt::Kind::Error,
                        QStringLiteral("Der Bericht konnte nicht gespeichert werden: %1")
                            .arg(file.errorString()),
                        Prompt::Ok);
}
