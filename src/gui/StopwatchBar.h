#pragma once

#include "stopwatch/Stopwatch.h"

#include <QList>
#include <QObject>

class QAction;
class QTimer;
class QToolBar;
class QToolButton;
class TUserManager;

// The user's fix-time stopwatch on the main window: its time on the toolbar
// while it runs or holds time (a click starts or stops it), the captions and
// enabling of its two actions, and a timer that updates the time each
// second while it runs. Every change is stored in the settings store at
// once; a new entry takes its minutes.
class TStopwatchBar : public QObject {
    Q_OBJECT
public:
    // Places the time on `toolBar` right after `after`'s button; shows the
    // state of `startStop` ("Stoppuhr starten"/"anhalten") and `reset`.
    TStopwatchBar(QToolBar* toolBar, QAction* after, QAction* startStop, QAction* reset);

    // The settings store that keeps the stopwatch (none: it is not kept).
    void SetUserManager(TUserManager* userManager) { userManager_ = userManager; }
    // Restores it from the settings store, at start; an unreadable record is
    // reported and the stopwatch starts empty.
    void Restore();
    // While an entry is edited nothing can be reset.
    void SetEditing(bool editing);

    void StopwatchActionExecute();
    void ResetStopwatchActionExecute();
    // Runs the start/stop action; the button, which pressed or released
    // itself, then shows the state again, also when the action failed.
    void StopwatchButtonClick();
    // Shows the state: captions, enabling, the time on the toolbar.
    void ShowStopwatch();

    // The minutes a new entry starts with: the stopwatch's when it holds
    // time (at most `maximum`), else 0. The entry's OK then resets it
    // (NewEntryStored).
    int OfferMinutes(int maximum);
    void NewEntryStored();

    // The stopwatch itself, to read; its clock can be replaced (tests).
    [[nodiscard]] const TStopwatch& Stopwatch() const { return stopwatch_; }
    void SetClock(TStopwatch::Clock clock) { stopwatch_.SetClock(std::move(clock)); }

private:
    // Stores the change before it is shown: a store that refuses it leaves
    // the stopwatch as it was, and the error report says why.
    void changeStopwatch(void (TStopwatch::*command)());

    TStopwatch stopwatch_;
    TUserManager* userManager_ = nullptr;
    bool editing_ = false;
    bool offered_ = false; // the new entry being edited took the stopwatch's minutes
    QAction* startStop_;
    QAction* reset_;
    QToolButton* button_ = nullptr;
    QTimer* timer_ = nullptr;
    QList<QAction*> barActions_; // the separator and the button on the toolbar
};
