#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Where a second window of the program goes on the screen.
namespace placement {

// A stored place is used when the window's title bar lands on a screen.
[[nodiscard]] bool OnSomeScreen(const QRect& place);

// Beside `window`, on the side with more room on its screen, kept on the
// screen: the window stays in sight as far as the screen allows.
[[nodiscard]] QPoint BesideTheWindow(const QWidget& window, const QSize& size);

} // namespace placement
