#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Where a second window of the program goes on the screen.
namespace placement {

// A stored place is used when the window's title bar lands on a screen.
[[nodiscard]] bool OnSomeScreen(const QRect& place);

// Where a window of `size` goes on `area` (a screen's available part) next to
// a window at `frame`: beside it where there is room (on the side with more
// room first, then below, above), else where it hides the least of it; always on `area`.
[[nodiscard]] QPoint BesideOrLeastHiding(const QRect& frame, const QSize& size, const QRect& area);

// Where `second` goes beside `window`, on its screen (the place of its frame).
[[nodiscard]] QPoint BesideTheWindow(const QWidget& window, const QWidget& second);

} // namespace placement
