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

QPoint BesideOrLeastHiding(const QRect& frame, const QSize& size, const QRect& area) {
    const auto onArea = [&](int x, int y) {
        x = std::max(area.left(), std::min(x, area.right() + 1 - size.width()));
        y = std::max(area.top(), std::min(y, area.bottom() + 1 - size.height()));
        return QPoint(x, y);
    };
    const auto hidden = [&](QPoint at) {
        const QRect overlap = QRect(at, size).intersected(frame);
        return overlap.isEmpty() ? 0LL : 1LL * overlap.width() * overlap.height();
    };
    // Beside each edge, aligned with the frame, then the screen's corners;
    // of equal ones the first.
    const int right = frame.right() + 1, left = frame.left() - size.width();
    const int below = frame.bottom() + 1, above = frame.top() - size.height();
    const int areaRight = area.right() + 1 - size.width();
    const int areaBottom = area.bottom() + 1 - size.height();
    const bool rightFirst = area.right() - frame.right() >= frame.left() - area.left();
    const QPoint candidates[] = {
        onArea(rightFirst ? right : left, frame.top()),
        onArea(rightFirst ? left : right, frame.top()),
        onArea(frame.left(), below),
        onArea(frame.left(), above),
        // Below before above: the window's menu and toolbar stay in sight.
        onArea(areaRight, areaBottom),
        onArea(area.left(), areaBottom),
        onArea(areaRight, area.top()),
        onArea(area.left(), area.top()),
    };
    QPoint best = candidates[0];
    for (const QPoint& at : candidates)
        if (hidden(at) < hidden(best))
            best = at;
    return best;
}

QPoint BesideTheWindow(const QWidget& window, const QWidget& second) {
    const QRect frame = window.frameGeometry();
    // A window not shown yet has no frame: it gets the one `window` has.
    QSize size = second.frameGeometry().size();
    if (size == second.size())
        size += frame.size() - window.size();
    const QScreen* s = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!s)
        return frame.topLeft();
    return BesideOrLeastHiding(frame, size, s->availableGeometry());
}

} // namespace placement
