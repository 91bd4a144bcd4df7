#pragma once

#include "exchange/Progress.h"

#include <QString>
#include <functional>

class QWidget;

// Long work of the window (an export, the read of a CSV file) runs on a thread
// of its own while the event loop goes on: the window repaints, and from half
// a second on a progress dialog shows how far the work is and can cancel it.
// The dialog is modal for the window, so nothing the user does changes what
// the work reads meanwhile.
//
// `work` gets the progress to pass on; it returns false once "Abbrechen" was
// pressed (the work then ends as its library says: an export leaves no file,
// a read gives no rows). What `work` throws is thrown here, on the window's
// thread.
void RunWithProgress(QWidget* window, const QString& label,
                     const std::function<void(const exchange::Progress& progress)>& work);
