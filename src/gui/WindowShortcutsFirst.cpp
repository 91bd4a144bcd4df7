#include "gui/WindowShortcutsFirst.h"

#include <QAction>
#include <QKeyEvent>
#include <QWidget>

bool TWindowShortcutsFirst::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType())
        return false;
    const QKeySequence key(static_cast<QKeyEvent*>(event)->keyCombination());
    const QWidget* window = static_cast<QWidget*>(watched)->window();
    for (const QAction* action : window->findChildren<QAction*>())
        if (action->isEnabled() && action->shortcuts().contains(key))
            return true; // not accepted here: the shortcut map takes the key
    return false;
}
