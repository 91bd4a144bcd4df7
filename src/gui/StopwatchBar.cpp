// The fix-time stopwatch on the main window: its time on the toolbar, the
// state of its two actions, and its ties to the settings store (every change
// is stored at once) and to new entries (which take its minutes).
#include "gui/StopwatchBar.h"

#include "gui/ErrorReport.h"
#include "gui/FormSetup.h"
#include "gui/Prompt.h"
#include "settings/StopwatchSettings.h"

#include <QAction>
#include <QFrame>
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

} // namespace

TStopwatchBar::TStopwatchBar(QToolBar* toolBar, QAction* after, QAction* startStop, QAction* reset)
    : QObject(toolBar), startStop_(startStop), reset_(reset) {
    setObjectName(QStringLiteral("StopwatchBar"));
    const QIcon icon(QStringLiteral(":/icons/stopwatch.svg"));
    // The time on the toolbar, right after the designed buttons whatever is
    // added to the toolbar later, so that it keeps its place.
    auto* line = new QFrame(toolBar);
    line->setObjectName(QStringLiteral("SplitButton3"));
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setFixedSize(10, 22);
    button_ = new QToolButton(toolBar);
    button_->setObjectName(QStringLiteral("StopwatchButton"));
    button_->setIcon(icon);
    button_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button_->setAutoRaise(true);
    button_->setCheckable(true); // pressed while running
    button_->setFont(FormFont());
    button_->setFixedHeight(22);
    // Wide enough for 99 hours, so that the width does not change each second.
    button_->setMinimumWidth(button_->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")) +
                             16 + 14);
    const QList<QAction*> bar = toolBar->actions();
    const qsizetype at = bar.indexOf(after);
    QAction* before = at >= 0 && at + 1 < bar.size() ? bar[at + 1] : nullptr;
    barActions_ = {toolBar->insertWidget(before, line), toolBar->insertWidget(before, button_)};

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("StopwatchTimer"));
    timer_->setSingleShot(true);
    timer_->setTimerType(Qt::PreciseTimer);
    QWidget* window = toolBar->window();
    ErrorReport::Connect(button_, &QToolButton::clicked, window,
                         [this] { StopwatchButtonClick(); });
    ErrorReport::Connect(timer_, &QTimer::timeout, window, [this] { ShowStopwatch(); });
    ShowStopwatch();
}

void TStopwatchBar::StopwatchActionExecute() {
    changeStopwatch(stopwatch_.Running() ? &TStopwatch::Stop : &TStopwatch::Start);
}

void TStopwatchBar::ResetStopwatchActionExecute() {
    changeStopwatch(&TStopwatch::Reset);
}

void TStopwatchBar::StopwatchButtonClick() {
    startStop_->trigger();
    ShowStopwatch();
}

void TStopwatchBar::changeStopwatch(void (TStopwatch::*command)()) {
    TStopwatch changed = stopwatch_;
    (changed.*command)();
    if (userManager_)
        settings::SaveStopwatch(*userManager_, changed.Record());
    stopwatch_ = std::move(changed);
    ShowStopwatch();
}

void TStopwatchBar::Restore() {
    if (!userManager_)
        return;
    const settings::StoredStopwatch stored = settings::LoadStopwatch(*userManager_);
    if (stored.Invalid)
        Prompt::Message(button_->window(), Prompt::Kind::Warning,
                        QString::fromUtf8(settings::InvalidStopwatchWarning), Prompt::Ok);
    stopwatch_.Restore(stored.Record);
    ShowStopwatch();
}

void TStopwatchBar::SetEditing(bool editing) {
    editing_ = editing;
    ShowStopwatch();
}

void TStopwatchBar::ShowStopwatch() {
    const bool running = stopwatch_.Running();
    const QString& hint = running ? StopHint : StartHint;
    startStop_->setText(running ? StopCaption : StartCaption);
    startStop_->setToolTip(hint);
    startStop_->setStatusTip(hint);
    reset_->setEnabled(!editing_ && stopwatch_.HoldsTime());

    const TStopwatch::Duration elapsed = stopwatch_.Elapsed();
    button_->setText(QString::fromStdString(TStopwatch::Text(elapsed)));
    button_->setToolTip(hint);
    button_->setChecked(running);
    // The toolbar's actions of the two widgets show and enable them.
    for (QAction* shown : barActions_)
        shown->setVisible(stopwatch_.HoldsTime());
    barActions_.back()->setEnabled(startStop_->isEnabled());

    // The next update comes just after the next whole second of the time.
    if (running)
        timer_->start(static_cast<int>(1000 - elapsed.count() % 1000 + 5));
    else
        timer_->stop();
}

int TStopwatchBar::OfferMinutes(int maximum) {
    offered_ = stopwatch_.HoldsTime();
    if (!offered_)
        return 0;
    return static_cast<int>(std::min<std::int64_t>(stopwatch_.ElapsedMinutes(), maximum));
}

void TStopwatchBar::NewEntryStored() {
    if (!std::exchange(offered_, false))
        return;
    changeStopwatch(&TStopwatch::Reset);
}
