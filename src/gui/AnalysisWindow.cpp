#include "gui/AnalysisWindow.h"

#include "gui/AnalysisFeed.h"
#include "gui/AnalysisForm.h"
#include "gui/RecordListModel.h"
#include "gui/WindowPlacement.h"
#include "settings/AnalysisWindowSettings.h"

TAnalysisWindow::TAnalysisWindow(QWidget* mainWindow, const TDataBase& dataBase,
                                 TRecordListModel& list)
    : QObject(mainWindow), mainWindow_(mainWindow), dataBase_(dataBase), list_(list) {
    setObjectName(QStringLiteral("AnalysisWindow"));
}

TAnalysisWindow::~TAnalysisWindow() = default;

void TAnalysisWindow::Show(const TUserManager* settings) {
    if (!form_) {
        const TRecordListModel* list = &list_;
        form_ = std::make_unique<TAnalysisForm>(
            dataBase_,
            [list] {
                const std::vector<TDataRecord*>& rows = list->Records();
                return std::span<const TDataRecord* const>(rows.data(), rows.size());
            },
            mainWindow_);
        new TAnalysisFeed(list_, *form_);
        connect(form_.get(), &TAnalysisForm::GroupChosen, this, &TAnalysisWindow::GroupChosen);
        std::optional<settings::WindowPlace> place;
        if (settings)
            place = settings::LoadAnalysisPlace(*settings);
        if (place &&
            placement::OnSomeScreen(QRect(place->Left, place->Top, place->Width, place->Height))) {
            form_->move(place->Left, place->Top);
            form_->resize(place->Width, place->Height);
        } else {
            form_->move(placement::BesideTheWindow(*mainWindow_, *form_));
        }
    }
    form_->show();
    form_->raise();
    form_->activateWindow();
}

void TAnalysisWindow::StorePlace(TUserManager& settings) const {
    if (form_)
        settings::SaveAnalysisPlace(settings,
                                    {form_->x(), form_->y(), form_->width(), form_->height()});
}

void TAnalysisWindow::Close() {
    form_.reset();
}
