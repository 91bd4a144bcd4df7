#include "gui/FormSetup.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFrame>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <algorithm>

namespace {

// The application's style, but a check box takes clicks on its whole box.
class TWholeBoxClickStyle : public QProxyStyle {
public:
    TWholeBoxClickStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}
    QRect subElementRect(SubElement element, const QStyleOption* option,
                         const QWidget* widget) const override {
        if (element == SE_CheckBoxClickRect && option != nullptr)
            return option->rect;
        return QProxyStyle::subElementRect(element, option, widget);
    }
};

} // namespace

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

QPushButton* MakeOkButton(QDialog& dialog, const QString& hint, const QRect& geometry,
                          bool picture) {
    auto* button =
        MakeControl<QPushButton>(&dialog, "OkButton", QStringLiteral("OK"), hint, geometry);
    if (picture)
        button->setIcon(dialog.style()->standardIcon(QStyle::SP_DialogOkButton));
    button->setDefault(true);
    QObject::connect(button, &QPushButton::clicked, &dialog, &QDialog::accept);
    return button;
}

QPushButton* MakeCancelButton(QDialog& dialog, const QString& caption, const QString& hint,
                              const QRect& geometry, bool picture) {
    auto* button = MakeControl<QPushButton>(&dialog, "CancelButton", caption, hint, geometry);
    if (picture)
        button->setIcon(dialog.style()->standardIcon(QStyle::SP_DialogCancelButton));
    QObject::connect(button, &QPushButton::clicked, &dialog, &QDialog::reject);
    return button;
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& text, const QString& hint,
                        const QRect& geometry, int rightLimit) {
    auto* box = MakeControl<QCheckBox>(parent, name, text, hint, geometry);
    auto* style = new TWholeBoxClickStyle;
    style->setParent(box); // a widget does not own its style
    box->setStyle(style);
    const int fitted = std::min(box->sizeHint().width(), rightLimit - geometry.x());
    box->resize(std::max(geometry.width(), fitted), geometry.height());
    return box;
}

QFrame* MakeBevel(QWidget* parent, const char* name, const QRect& geometry) {
    auto* bevel = new QFrame(parent);
    bevel->setObjectName(QLatin1String(name));
    bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bevel->setGeometry(geometry);
    return bevel;
}
