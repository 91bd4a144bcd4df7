#include "gui/Anchors.h"

#include <QEvent>
#include <QWidget>

TAnchors::TAnchors(QWidget* parent) : QObject(parent), parent_(parent) {
    parent->installEventFilter(this);
}

void TAnchors::Anchor(QWidget* child, int edges) {
    const QRect g = child->geometry();
    Entry e;
    e.widget = child;
    e.edges = edges;
    e.left = g.x();
    e.top = g.y();
    e.right = parent_->width() - (g.x() + g.width());
    e.bottom = parent_->height() - (g.y() + g.height());
    e.width = g.width();
    e.height = g.height();
    if (!entries_.contains(child))
        order_.append(child);
    entries_.insert(child, e);
}

int TAnchors::Edges(QWidget* child) const {
    return entries_.value(child).edges;
}

void TAnchors::Apply() {
    const int pw = parent_->width();
    const int ph = parent_->height();
    for (QWidget* key : order_) {
        const Entry& e = entries_[key];
        QWidget* w = e.widget.data();
        if (w == nullptr)
            continue;
        const QRect old = w->geometry();
        QRect g = old;
        if ((e.edges & akLeft) && (e.edges & akRight))
            g = QRect(e.left, g.y(), std::max(0, pw - e.left - e.right), g.height());
        else if (e.edges & akRight)
            g.moveLeft(pw - e.right - e.width);
        if ((e.edges & akTop) && (e.edges & akBottom))
            g = QRect(g.x(), e.top, g.width(), std::max(0, ph - e.top - e.bottom));
        else if (e.edges & akBottom)
            g.moveTop(ph - e.bottom - e.height);
        if (g != old)
            w->setGeometry(g);
    }
}

bool TAnchors::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent_ && event->type() == QEvent::Resize)
        Apply();
    return QObject::eventFilter(watched, event);
}
