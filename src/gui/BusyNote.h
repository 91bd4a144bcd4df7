#pragma once

#include "gui/WaitCursor.h"

#include <QProgressDialog>

class QString;
class QWidget;

// A box that says what runs while the window's thread is busy with it, for
// work that cannot be cancelled: shown at once and painted before the work,
// with the wait cursor, until the note goes.
class TBusyNote {
public:
    TBusyNote(QWidget* parent, const QString& title, const QString& text);
    TBusyNote(const TBusyNote&) = delete;
    TBusyNote& operator=(const TBusyNote&) = delete;

private:
    QProgressDialog dialog_;
    WaitCursor wait_;
};
