#include "gui/InfoForm.h"

#include "core/DataBase.h"
#include "gui/FormSetup.h"
#include "gui/Prompt.h"

#include <QFile>
#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QUrl>

// The icons live in the GUI library's resources, which a static library must
// register explicitly.
static void InitIconResources() {
    Q_INIT_RESOURCE(Icons);
}

namespace {

// The program's own icon, with its 32 x 32 and 16 x 16 images.
QIcon ProgramIcon() {
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/mavrolin32.svg"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/icons/mavrolin16.svg"), QSize(16, 16));
    return icon;
}

} // namespace

TInfoForm::TInfoForm(QWidget* parent) : QDialog(parent) {
    InitIconResources();
    // A title bar without close box or system menu: the dialog is left with OK.
    SetUpDialog(*this, "InfoForm", QStringLiteral("Information"),
                Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint, QSize(272, 263));
    move(302, 244);

    ProjectNameLabel = MakeControl<QLabel>(this, "ProjectNameLabel", QStringLiteral("Mavrolin"), {},
                                           QRect(15, 20, 102, 29));
    QFont titleFont;
    titleFont.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                           QStringLiteral("Nimbus Sans")});
    titleFont.setPixelSize(24);
    titleFont.setBold(true);
    ProjectNameLabel->setFont(titleFont);

    VersionLabel = MakeControl<QLabel>(this, "VersionLabel", QStringLiteral("Version 1.5"), {},
                                       QRect(20, 55, 53, 13));
    CompanyLabel =
        MakeControl<QLabel>(this, "CompanyLabel", QStringLiteral("© 2026 Mavrolin-Projekt"), {},
                            QRect(20, 75, 147, 13));

    Bevel1 = MakeBevel(this, "Bevel1", QRect(195, 25, 56, 61));
    Icon = MakeControl<QLabel>(this, "Icon", QString(), {}, QRect(205, 35, 36, 41));
    Icon->setAlignment(Qt::AlignCenter);
    Icon->setPixmap(ProgramIcon().pixmap(32, 32));

    DataBaseLabel = MakeControl<QLabel>(
        this, "DataBaseLabel", QStringLiteral("Datenbank:"),
        QStringLiteral("Name der Datenbank und Anzahl der enthaltenen Datensätze"),
        QRect(20, 115, 56, 13));

    // The caption sits on the frame's top line, hiding it behind its text, so
    // the frame comes first and the caption paints its background.
    Bevel2 = MakeBevel(this, "Bevel2", QRect(20, 150, 231, 61));
    ProgrammerLabel = MakeControl<QLabel>(
        this, "ProgrammerLabel", QStringLiteral("programmiert von:"), {}, QRect(30, 143, 84, 13));
    ProgrammerLabel->setAutoFillBackground(true);
    ProgrammernameLabel =
        MakeControl<QLabel>(this, "ProgrammernameLabel", QStringLiteral("Mavrolin-Projekt"), {},
                            QRect(30, 170, 101, 13));
    QFont bold = ProgrammernameLabel->font();
    bold.setBold(true);
    ProgrammernameLabel->setFont(bold);
    eMailLabel = MakeControl<QLabel>(
        this, "eMailLabel", QStringLiteral("eMail:  '") + ContactAddress() + QLatin1Char('\''), {},
        QRect(30, 190, 179, 13));

    OkButton = MakeOkButton(*this, QStringLiteral("schließt den Info-Dialog"),
                            QRect(150, 225, 101, 25), true);
    MailButton = MakeControl<QPushButton>(
        this, "MailButton", QStringLiteral("e&Mail schreiben"),
        QStringLiteral("eine eMail an den Programmierer schicken"), QRect(20, 225, 111, 25));

    // The labels size themselves to their text, as the sizes above are those of
    // the texts in the classic dialog font; a wider font must not clip them.
    for (QLabel* label : {ProjectNameLabel, VersionLabel, CompanyLabel, DataBaseLabel,
                          ProgrammerLabel, ProgrammernameLabel, eMailLabel})
        label->adjustSize();

    connect(MailButton, &QPushButton::clicked, this, &TInfoForm::MailButtonClick);
    setTabOrder(OkButton, MailButton);
}

QString TInfoForm::DataBaseCaption(const std::string& fileName, int count) {
    const QString path = QFile::decodeName(QByteArray::fromStdString(fileName));
    const QString namePart = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    return QStringLiteral("Datenbank: ") + namePart + QStringLiteral(" (") +
           QString::number(count) + QLatin1Char(')');
}

void TInfoForm::Fill(const TDataBase& dataBase) {
    DataBaseLabel->setText(DataBaseCaption(dataBase.FileName, dataBase.Count()));
    DataBaseLabel->adjustSize();
}

void TInfoForm::Execute(const TDataBase& dataBase) {
    Fill(dataBase);
    OkButton->setFocus();
    exec();
}

void TInfoForm::MailButtonClick() {
    Prompt::OpenUrl(QUrl(QStringLiteral("mailto:") + ContactAddress()));
}

void TInfoForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
