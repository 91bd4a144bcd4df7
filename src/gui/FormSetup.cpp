#include "FormSetup.h"

#include <QDialog>
#include <QFrame>

QFont FormFont() {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(11);
    return font;
}

void SetUpDialog(QDialog& dialog, const char* name, const QString& caption, Qt::WindowFlags flags,
                 QSize clientSize) {
    dialog.setObjectName(QLatin1String(name));
    dialog.setWindowTitle(caption);
    dialog.setWindowFlags(flags);
    dialog.setFont(FormFont());
    dialog.setFixedSize(clientSize);
}

QFrame* MakeBevel(QWidget* parent, const char* name, const QRect& geometry) {
    auto* bevel = new QFrame(parent);
    bevel->setObjectName(QLatin1String(name));
    bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bevel->setGeometry(geometry);
    return bevel;
}
