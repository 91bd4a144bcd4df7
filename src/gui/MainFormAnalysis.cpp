// The analysis window of the main window: opening it, narrowing the list to a
// group chosen in it, and its place in the user's settings.
#include "core/DataBase.h"
#include "gui/AnalysisFeed.h"
#include "gui/AnalysisForm.h"
#include "gui/ErrorReport.h"
#include "gui/MainForm.h"
#include "gui/RecordListModel.h"
#include "settings/AnalysisWindowSettings.h"
#include "settings/UserManager.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace {

// A stored place is used when the window's title bar lands on a screen.
bool OnSomeScreen(const QRect& place) {
    const QRect titleBar(place.topLeft(), QSize(place.width(), 24));
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(titleBar))
            return true;
    return false;
}

} // namespace

// Beside the main window, on the side with more room on the screen, kept on
// the screen: the list stays in sight as far as the screen allows.
QPoint TMainForm::besideTheWindow(const QSize& size) const {
    const QRect frame = frameGeometry();
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return frame.topLeft();
    const QRect area = s->availableGeometry();
    const bool right = area.right() - frame.right() >= frame.left() - area.left();
    int x = right ? frame.right() + 1 : frame.left() - size.width();
    x = std::max(area.left(), std::min(x, area.right() + 1 - size.width()));
    const int y = std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - size.height()));
    return {x, y};
}

void TMainForm::AnalysisActionExecute() {
    if (!AnalysisForm) {
        const TRecordListModel* list = ListModel;
        AnalysisForm = std::make_unique<TAnalysisForm>(
            *DataBase,
            [list] {
                const std::vector<TDataRecord*>& rows = list->Records();
                return std::span<const TDataRecord* const>(rows.data(), rows.size());
            },
            this);
        new TAnalysisFeed(*ListModel, *AnalysisForm);
        connect(AnalysisForm.get(), &TAnalysisForm::GroupChosen, this,
                [this](analysis::Grouping grouping, const std::string& value) {
                    ErrorReport::Guard(this, [&] {
                        ShowOnlyValue(grouping == analysis::Grouping::Language ? DataBase->Languages
                                      : grouping == analysis::Grouping::Category
                                          ? DataBase->ErrorTypes
                                          : DataBase->Projects,
                                      value);
                    });
                });
        std::optional<settings::WindowPlace> place;
        if (UserManager)
            place = settings::LoadAnalysisPlace(*UserManager);
        if (place && OnSomeScreen(QRect(place->Left, place->Top, place->Width, place->Height))) {
            AnalysisForm->move(place->Left, place->Top);
            AnalysisForm->resize(place->Width, place->Height);
        } else {
            AnalysisForm->move(besideTheWindow(AnalysisForm->frameGeometry().size()));
        }
    }
    AnalysisForm->show();
    AnalysisForm->raise();
    AnalysisForm->activateWindow();
}

void TMainForm::StoreAnalysisPlace() {
    if (!AnalysisForm || !UserManager)
        return;
    settings::SaveAnalysisPlace(*UserManager, {AnalysisForm->x(), AnalysisForm->y(),
                                               AnalysisForm->width(), AnalysisForm->height()});
}
