// The fix-time stopwatch of the main window: its two commands in the
// "Datensatz" menu, its time on the toolbar, and its ties to the settings store
// (every change is stored at once) and to new entries (which take its minutes).
#include "gui/FormSetup.h"
#include "gui/MainForm.h"
#include "gui/Prompt.h"
#include "settings/StopwatchSettings.h"

#include <QAction>
#include <QFrame>
#include <QMenu>
#include <QSpinBox>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <utility>

namespace {

const QString StartCaption = QStringLiteral("Stoppuhr &starten");
const QString StopCaption = QStringLiteral("Stoppuhr &anhalten");
const QString StartHint = QStringLiteral(
    "startet die Stoppuhr, deren Zeit ein neuer Datensatz als benötigte Zeit übernimmt");
const QString StopHint = QStringLiteral("hält die Stoppuhr an; die gemessene Zeit bleibt erhalten");
const QString ResetHint =
    QStringLiteral("setzt die Stoppuhr zurück und verwirft die gemessene Zeit");

} // namespace

void TMainForm::createStopwatch() {
    Stopwatch = std::make_unique<TStopwatch>();
    const QIcon icon(QStringLiteral(":/icons/stopwatch.svg"));

    // Commands, after the filter in the "Datensatz" menu.
    StopwatchAction = new QAction(StartCaption, this);
    StopwatchAction->setObjectName(QStringLiteral("StopwatchAction"));
    StopwatchAction->setShortcut(QKeySequence(Qt::Key_F5));
    StopwatchAction->setIcon(icon);
    ResetStopwatchAction = new QAction(QStringLiteral("Stoppuhr &zurücksetzen"), this);
    ResetStopwatchAction->setObjectName(QStringLiteral("ResetStopwatchAction"));
    ResetStopwatchAction->setToolTip(ResetHint);
    ResetStopwatchAction->setStatusTip(ResetHint);
    ActionList.append({StopwatchAction, ResetStopwatchAction});
    DataItem->addSeparator();
    DataItem->addActions({StopwatchAction, ResetStopwatchAction});

    // The time on the toolbar, right after the designed buttons whatever is
    // added to the toolbar later, so that it keeps its place.
    auto* line = new QFrame(ToolBar);
    line->setObjectName(QStringLiteral("SplitButton3"));
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setFixedSize(10, 22);
    SplitButton3 = line;
    StopwatchButton = new QToolButton(ToolBar);
    StopwatchButton->setObjectName(QStringLiteral("StopwatchButton"));
    StopwatchButton->setIcon(icon);
    StopwatchButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    StopwatchButton->setAutoRaise(true);
    StopwatchButton->setCheckable(true); // pressed while running
    StopwatchButton->setFont(FormFont());
    StopwatchButton->setFixedHeight(22);
    // Wide enough for 99 hours, so that the width does not change each second.
    StopwatchButton->setMinimumWidth(
        StopwatchButton->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")) + 16 + 14);
    const QList<QAction*> bar = ToolBar->actions();
    const qsizetype filter = bar.indexOf(FilterAction);
    QAction* before = filter >= 0 && filter + 1 < bar.size() ? bar[filter + 1] : nullptr;
    stopwatchBarActions_ = {ToolBar->insertWidget(before, SplitButton3),
                            ToolBar->insertWidget(before, StopwatchButton)};

    StopwatchTimer = new QTimer(this);
    StopwatchTimer->setObjectName(QStringLiteral("StopwatchTimer"));
    StopwatchTimer->setSingleShot(true);
    StopwatchTimer->setTimerType(Qt::PreciseTimer);
    ShowStopwatch();
}

void TMainForm::StopwatchActionExecute() {
    changeStopwatch(Stopwatch->Running() ? &TStopwatch::Stop : &TStopwatch::Start);
}

void TMainForm::ResetStopwatchActionExecute() {
    changeStopwatch(&TStopwatch::Reset);
}

// Runs the command; the button, which pressed or released itself, then shows
// the state again, also when the command failed.
void TMainForm::StopwatchButtonClick() {
    StopwatchAction->trigger();
    ShowStopwatch();
}

// The change is stored before it is shown: a store that refuses it leaves the
// stopwatch as it was, and the error report says why.
void TMainForm::changeStopwatch(void (TStopwatch::*command)()) {
    TStopwatch changed = *Stopwatch;
    (changed.*command)();
    if (UserManager)
        settings::SaveStopwatch(*UserManager, changed.Record());
    *Stopwatch = std::move(changed);
    ShowStopwatch();
}

void TMainForm::restoreStopwatch() {
    const settings::StoredStopwatch stored = settings::LoadStopwatch(*UserManager);
    if (stored.Invalid)
        Prompt::Message(this, Prompt::Kind::Warning,
                        QString::fromUtf8(settings::InvalidStopwatchWarning), Prompt::Ok);
    Stopwatch->Restore(stored.Record);
    ShowStopwatch();
}

void TMainForm::ShowStopwatch() {
    const bool running = Stopwatch->Running();
    const QString& hint = running ? StopHint : StartHint;
    StopwatchAction->setText(running ? StopCaption : StartCaption);
    StopwatchAction->setToolTip(hint);
    StopwatchAction->setStatusTip(hint);
    ResetStopwatchAction->setEnabled(!Editing && Stopwatch->HoldsTime());

    const TStopwatch::Duration elapsed = Stopwatch->Elapsed();
    StopwatchButton->setText(QString::fromStdString(TStopwatch::Text(elapsed)));
    StopwatchButton->setToolTip(hint);
    StopwatchButton->setChecked(running);
    // The toolbar's actions of the two widgets show and enable them.
    for (QAction* shown : stopwatchBarActions_)
        shown->setVisible(Stopwatch->HoldsTime());
    stopwatchBarActions_.back()->setEnabled(StopwatchAction->isEnabled());

    // The next update comes just after the next whole second of the time.
    if (running)
        StopwatchTimer->start(static_cast<int>(1000 - elapsed.count() % 1000 + 5));
    else
        StopwatchTimer->stop();
}

int TMainForm::offerStopwatchMinutes() {
    stopwatchOffered_ = Stopwatch->HoldsTime();
    if (!stopwatchOffered_)
        return 0;
    return static_cast<int>(
        std::min<std::int64_t>(Stopwatch->ElapsedMinutes(), TimeEdit->maximum()));
}

void TMainForm::newEntryStored() {
    if (!std::exchange(stopwatchOffered_, false))
        return;
    changeStopwatch(&TStopwatch::Reset);
}
