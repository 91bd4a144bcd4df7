#pragma once

#include <QObject>

// Installed on a text field of the main window: a key that is the shortcut of
// one of the window's enabled actions runs that action instead of the field's
// own use of the key (Ctrl+Ins would copy, Ctrl+Home move the cursor). A key
// whose action is disabled stays the field's.
class TWindowShortcutsFirst : public QObject {
public:
    explicit TWindowShortcutsFirst(QObject* parent) : QObject(parent) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
