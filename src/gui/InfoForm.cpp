#include "InfoForm.h"

#include "DataBase.h"

#include <QDesktopServices>
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

// Laid out in pixels for a font 11 pixels high; a font with Arial's widths
// keeps every text inside its box where the classic dialog font is missing.
QFont DialogFont() {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Arial"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans")});
    font.setPixelSize(11);
    return font;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    return label;
}

QFrame* MakeBevel(QWidget* parent, const char* name, const QRect& geometry) {
    auto* bevel = new QFrame(parent);
    bevel->setObjectName(QString::fromLatin1(name));
    bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bevel->setGeometry(geometry);
    return bevel;
}

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
    setObjectName(QStringLiteral("InfoForm"));
    setWindowTitle(QStringLiteral("Information"));
    // A title bar without close box or system menu: the dialog is left with OK.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFont(DialogFont());
    setFixedSize(272, 263);
    move(302, 244);

    ProjectNameLabel =
        MakeLabel(this, "ProjectNameLabel", QStringLiteral("Mavrolin"), QRect(15, 20, 102, 29));
    QFont titleFont;
    titleFont.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                           QStringLiteral("Nimbus Sans")});
    titleFont.setPixelSize(24);
    titleFont.setBold(true);
    ProjectNameLabel->setFont(titleFont);

    VersionLabel =
        MakeLabel(this, "VersionLabel", QStringLiteral("Version 1.5"), QRect(20, 55, 53, 13));
    CompanyLabel = MakeLabel(this, "CompanyLabel", QStringLiteral("© 2026 Mavrolin-Projekt"),
                             QRect(20, 75, 147, 13));

    Bevel1 = MakeBevel(this, "Bevel1", QRect(195, 25, 56, 61));
    Icon = MakeLabel(this, "Icon", QString(), QRect(205, 35, 36, 41));
    Icon->setAlignment(Qt::AlignCenter);
    Icon->setPixmap(ProgramIcon().pixmap(32, 32));

    DataBaseLabel =
        MakeLabel(this, "DataBaseLabel", QStringLiteral("Datenbank:"), QRect(20, 115, 56, 13));
    DataBaseLabel->setToolTip(
        QStringLiteral("Name der Datenbank und Anzahl der enthaltenen Datensätze"));

    // The caption sits on the frame's top line, hiding it behind its text, so
    // the frame comes first and the caption paints its background.
    Bevel2 = MakeBevel(this, "Bevel2", QRect(20, 150, 231, 61));
    ProgrammerLabel = MakeLabel(this, "ProgrammerLabel", QStringLiteral("programmiert von:"),
                                QRect(30, 143, 84, 13));
    ProgrammerLabel->setAutoFillBackground(true);
    ProgrammernameLabel = MakeLabel(this, "ProgrammernameLabel", QStringLiteral("Mavrolin-Projekt"),
                                    QRect(30, 170, 101, 13));
    QFont bold = ProgrammernameLabel->font();
    bold.setBold(true);
    ProgrammernameLabel->setFont(bold);
    eMailLabel = MakeLabel(this, "eMailLabel",
                           QStringLiteral("eMail:  '") + ContactAddress() + QLatin1Char('\''),
                           QRect(30, 190, 179, 13));

    OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setToolTip(QStringLiteral("schließt den Info-Dialog"));
    OkButton->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    OkButton->setDefault(true);
    OkButton->setGeometry(150, 225, 101, 25);

    MailButton = new QPushButton(QStringLiteral("e&Mail schreiben"), this);
    MailButton->setObjectName(QStringLiteral("MailButton"));
    MailButton->setToolTip(QStringLiteral("eine eMail an den Programmierer schicken"));
    MailButton->setAutoDefault(false);
    MailButton->setGeometry(20, 225, 111, 25);

    // The labels size themselves to their text, as the sizes above are those of
    // the texts in the classic dialog font; a wider font must not clip them.
    for (QLabel* label : {ProjectNameLabel, VersionLabel, CompanyLabel, DataBaseLabel,
                          ProgrammerLabel, ProgrammernameLabel, eMailLabel})
        label->adjustSize();

    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
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
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + ContactAddress()));
}

void TInfoForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
