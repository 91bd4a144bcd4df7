// Start-up and shut-down of the main window: the settings store of the
// logged-in user, restoring the stored layout or putting the first-start
// defaults in place, the splitter with its drag limits, the close question,
// the options items and the tooltip time.
#include "gui/AnalysisWindow.h"
#include "gui/Document.h"
#include "gui/EntryPanel.h"
#include "gui/ErrorReport.h"
#include "gui/MainActions.h"
#include "gui/MainForm.h"
#include "gui/MainMenus.h"
#include "gui/NativePath.h"
#include "gui/OptionForm.h"
#include "gui/PanelSplitter.h"
#include "gui/Prompt.h"
#include "gui/RecentFilesMenu.h"
#include "gui/RecordListPanel.h"
#include "gui/StopwatchBar.h"
#include "gui/ToolTipTime.h"
#include "settings/FirstStartSettings.h"
#include "settings/UserManager.h"
#include "settings/VersionSettings.h"
#include "settings/WindowConfiguration.h"

#include <QAction>
#include <QCloseEvent>
#include <algorithm>

void TMainForm::createSplitter() {
    splitter_ = new TPanelSplitter(listPanel_, detailPanel_, SplitterWidth, this);
    splitter_->SetHooks([this](int& newSize, bool& accept) { SplitterCanResize(newSize, accept); },
                        [this](int width) { SetDetailWidth(width); });
    setCentralWidget(splitter_);
}

void TMainForm::FormCreate(const std::string& userName, const std::string& fileName) {
    // The window was created with a new, empty database.
    userManager_ = std::make_unique<TUserManager>(userName, [this](const std::string& text) {
        Prompt::Message(this, Prompt::Kind::Warning, QString::fromUtf8(text), Prompt::Ok);
    });
    setWindowTitle(QStringLiteral("Mavrolin - ") + QString::fromUtf8(userName));

    const bool firstStart = !userManager_->Valid;
    const WindowConfiguration layout =
        firstStart ? WindowConfiguration::FirstStart()
                   : WindowConfiguration::Decode(userManager_->Configuration);
    applyConfiguration(layout);
    if (firstStart) {
        CenterOnScreen();
        settings::StoreFirstStart(*userManager_, layout.Encode(), document_->FileName());
    }
    // Once the settings may be written, also after the first-start defaults.
    menus_->RecentFilesItem->SetUserManager(userManager_.get());
    stopwatchBar_->SetUserManager(userManager_.get());
    document_->SetVersionPolicy(settings::LoadVersionPolicy(*userManager_));
    // An opening fills the list in the restored sort order.
    if (!fileName.empty())
        document_->OpenAtStart(nativepath::Absolute(fileName));
    else if (!firstStart)
        document_->Open(userManager_->DataBaseName);
    else
        RebuildList();
    SetApplicationToolTipTime(ToolTipTime);
    stopwatchBar_->Restore();
}

void TMainForm::applyConfiguration(const WindowConfiguration& record) {
    move(record.Left, record.Top);
    centreFrame_ = false; // a given place, unless CenterOnScreen follows
    listPanel_->RestoreLayout(record);
    SetClientHeight(record.ClientHeight);
    resize(record.ClientWidth, height());
    // The window's minimum size may have changed what was set.
    SetDetailWidth(record.DetailWidth);
    // The list view follows its panel through the panel's layout.
}

int TMainForm::DetailWidth() const {
    return splitter_->isVisible() ? splitter_->sizes().value(1) : splitter_->PlannedDetailWidth();
}

void TMainForm::SetDetailWidth(int width) {
    const int planned = std::max(0, width);
    splitter_->SetPlannedDetailWidth(planned);
    splitter_->setSizes({std::max(0, this->width() - SplitterWidth - planned), planned});
}

void TMainForm::StoreWindowConfiguration() {
    if (!userManager_)
        return;
    WindowConfiguration record;
    record.Top = y();
    record.Left = x();
    record.ClientWidth = width();
    record.ClientHeight = ClientHeight();
    record.DetailWidth = DetailWidth();
    listPanel_->StoreLayout(record);
    userManager_->Configuration = record.Encode();
}

void TMainForm::storeAnalysisPlace() {
    if (userManager_)
        analysisWindow_->StorePlace(*userManager_);
}

void TMainForm::SaveOptionItemClick() {
    if (!userManager_)
        return;
    if (Prompt::Message(this, Prompt::Kind::Confirmation,
                        QStringLiteral("Möchten sie diese Einstellungen wirklich speichern?"),
                        Prompt::Yes | Prompt::No) != Prompt::Yes)
        return;
    if (userManager_->SaveWindowConfig) {
        StoreWindowConfiguration();
        storeAnalysisPlace();
    }
    if (userManager_->SaveContents)
        userManager_->DataBaseName = document_->FileName();
    userManager_->Save();
}

void TMainForm::ConfigItemClick() {
    if (!userManager_ || !optionForm_)
        return;
    // After the stored settings were deleted nothing more is written in this
    // run, so both options items go until the next edit ends.
    const bool kept = optionForm_->Execute(*userManager_);
    actions_->SaveOptionItem->setEnabled(kept);
    actions_->ConfigItem->setEnabled(kept);
    // The deletion took the stored stopwatch and the recent files with it.
    if (!kept) {
        stopwatchBar_->ResetStopwatchActionExecute();
        menus_->RecentFilesItem->Forget();
    }
    document_->SetVersionPolicy(settings::LoadVersionPolicy(*userManager_));
}

// The list panel keeps its minimum width first, then the detail panel its own;
// in a window too narrow for both the detail panel gives way.
void TMainForm::SplitterCanResize(int& newSize, bool& accept) const {
    const int clientWidth = width();
    if (clientWidth - newSize - SplitterWidth < ListPanelMinWidth)
        newSize = clientWidth - SplitterWidth - ListPanelMinWidth;
    else if (newSize < DetailPanelMinWidth)
        newSize = DetailPanelMinWidth;
    accept = true;
}

void TMainForm::FormClose(TCloseAction& action) {
    const auto save = [this] {
        actionFailed_ = false;
        actions_->SaveDataBaseAction->trigger(); // does nothing while it is disabled
        return !std::exchange(actionFailed_, false);
    };
    switch (document_->AskToSaveChanges(save)) {
    case TDocument::TChangesAnswer::Proceed:
        break;
    case TDocument::TChangesAnswer::Stay:
        action = TCloseAction::caNone;
        break;
    case TDocument::TChangesAnswer::SaveFailed:
        // The save's error has been reported; it ends the close here.
        action = TCloseAction::caNone;
        return;
    }
    // On every close attempt, also a refused one.
    if (userManager_) {
        userManager_->DataBaseName = document_->FileName();
        StoreWindowConfiguration();
    }
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (closeQuestionDone_) {
        event->accept(); // ExitActionExecute has asked already
        return;
    }
    TCloseAction action = TCloseAction::caFree;
    bool failed = true;
    ErrorReport::Guard(this, [this, &action, &failed] {
        FormClose(action);
        failed = false;
    });
    if (failed || action == TCloseAction::caNone)
        event->ignore();
    else
        event->accept();
}

void TMainForm::FormDestroy() {
    listPanel_->ClearList();
    // Saves when the settings are valid and the user chose to save on exit;
    // the close handler has put the database name and the layout in place.
    // The save is made here rather than by the store's destructor, so that a
    // failure reaches the general error report like every other error.
    if (userManager_ && userManager_->Valid && userManager_->SaveOnExit) {
        ErrorReport::Guard(this, [this] {
            if (userManager_->SaveWindowConfig)
                storeAnalysisPlace();
            userManager_->Save();
        });
        userManager_->Valid = false; // written or reported: nothing more to write
    }
    menus_->RecentFilesItem->SetUserManager(nullptr);
    stopwatchBar_->SetUserManager(nullptr);
    analysisWindow_->Close(); // it counts the database's entries
    userManager_.reset();
    document_->New(); // the entries go; the window follows an empty database
}
