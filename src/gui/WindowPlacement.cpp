#include "gui/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace placement {

bool OnSomeScreen(const QRect& place) {
    const QRect titleBar(place.topLeft(), QSize(place.width(), 24));
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(titleBar))
            return true;
    return false;
}

QPoint BesideTheWindow(const QWidget& window, const QSize& size) {
    const QRect frame = window.frameGeometry();
    const QScreen* s = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!s)
        return frame.topLeft();
    const QRect area = s->availableGeometry();
    const bool right = area.right() - frame.right() >= frame.left() - area.left();
    int x = right ? frame.right() + 1 : frame.left() - size.width();
    x = std::max(area.left(), std::min(x, area.right() + 1 - size.width()));
    const int y = std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - size.height()));
    return {x, y};
}

} // namespace placement
