#include "gui/Bevel.h"

#include <QPainter>

TBevel::TBevel(Shape shape, QWidget* parent) : QWidget(parent), shape_(shape) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void TBevel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor dark = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    const int r = width() - 1;
    const int b = height() - 1;
    switch (shape_) {
    case Shape::Frame: // a groove: a dark rectangle with a light one beside it
        p.setPen(dark);
        p.drawRect(0, 0, r - 1, b - 1);
        p.setPen(light);
        p.drawLine(1, 1, r - 2, 1);
        p.drawLine(1, 1, 1, b - 2);
        p.drawLine(0, b, r, b);
        p.drawLine(r, 0, r, b);
        break;
    case Shape::Box: // lowered: dark at top and left, light at bottom and right
        p.setPen(dark);
        p.drawLine(0, 0, r, 0);
        p.drawLine(0, 0, 0, b);
        p.setPen(light);
        p.drawLine(0, b, r, b);
        p.drawLine(r, 0, r, b);
        break;
    case Shape::TopLine: // raised: light over dark
        p.setPen(light);
        p.drawLine(0, 0, r, 0);
        p.setPen(dark);
        p.drawLine(0, 1, r, 1);
        break;
    }
}
