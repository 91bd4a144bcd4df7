// Start-up and shut-down of the main window: the settings store of the
// logged-in user, restoring the stored layout or putting the first-start
// defaults in place, the splitter with its drag limits, the close question,
// the options commands and the tooltip time.
#include "gui/AnalysisForm.h"
#include "gui/Document.h"
#include "gui/EntryPanel.h"
#include "gui/ErrorReport.h"
#include "gui/MainForm.h"
#include "gui/NativePath.h"
#include "gui/OptionForm.h"
#include "gui/Prompt.h"
#include "gui/RecentFilesMenu.h"
#include "gui/RecordListPanel.h"
#include "gui/StopwatchBar.h"
#include "settings/AnalysisWindowSettings.h"
#include "settings/UserManager.h"
#include "settings/WindowConfiguration.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QMouseEvent>
#include <QSplitter>
#include <QSplitterHandle>
#include <algorithm>

namespace {

// Keeps every tooltip of the application visible for a fixed time: widgets
// that have no display time of their own get it just before their tooltip
// shows (Qt's own default grows with the text's length).
class ToolTipTime : public QObject {
public:
    ToolTipTime(int milliseconds, QObject* parent) : QObject(parent), time_(milliseconds) {
        setObjectName(QStringLiteral("ToolTipTime"));
    }
    void SetTime(int milliseconds) { time_ = milliseconds; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ToolTip && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget->toolTipDuration() != time_)
                widget->setToolTipDuration(time_);
        }
        return false;
    }

private:
    int time_;
};

void SetApplicationToolTipTime(int milliseconds) {
    auto* app = QCoreApplication::instance();
    if (!app)
        return;
    if (auto* filter = app->findChild<ToolTipTime*>(QStringLiteral("ToolTipTime"),
                                                    Qt::FindDirectChildrenOnly)) {
        filter->SetTime(milliseconds);
        return;
    }
    app->installEventFilter(new ToolTipTime(milliseconds, app));
}

} // namespace

// Two jobs at the splitter: a drag of its handle passes through
// SplitterCanResize (the handle's own move is replaced by the size that the
// hook settles on), and the detail panel's planned width is applied when the
// splitter is shown and kept when it is hidden, since a hidden splitter has no
// real geometry.
class TSplitterHook : public QObject {
public:
    explicit TSplitterHook(TMainForm* form) : QObject(form) {
        setObjectName(QStringLiteral("SplitterHook"));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Null once the window's own destructor has run (its widgets are
        // hidden and deleted after that).
        auto* form = qobject_cast<TMainForm*>(parent());
        if (!form)
            return false;
        if (watched == form->splitter_) {
            if (event->type() == QEvent::Show)
                form->SetDetailWidth(form->plannedDetailWidth_);
            else if (event->type() == QEvent::Hide)
                form->plannedDetailWidth_ = form->splitter_->sizes().value(1);
            return false;
        }
        auto* handle = qobject_cast<QSplitterHandle*>(watched);
        if (!handle)
            return false;
        if (event->type() == QEvent::MouseButtonPress) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            // Measured from the visible bar: a thin handle's widget reaches
            // beyond it on both sides.
            if (mouse->button() == Qt::LeftButton)
                grabOffset_ =
                    static_cast<int>(mouse->position().x()) - handle->contentsRect().left();
            return false; // the handle keeps its pressed look
        }
        if (event->type() != QEvent::MouseMove)
            return false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (!(mouse->buttons() & Qt::LeftButton))
            return false;
        QSplitter* splitter = handle->splitter();
        const int handleLeft =
            static_cast<int>(splitter->mapFromGlobal(mouse->globalPosition()).x()) - grabOffset_;
        int detailWidth = splitter->width() - handleLeft - splitter->handleWidth();
        bool accept = true;
        ErrorReport::Guard(form, [&] { form->SplitterCanResize(detailWidth, accept); });
        if (accept)
            form->SetDetailWidth(detailWidth);
        return true;
    }

private:
    int grabOffset_ = 0;
};

void TMainForm::createSplitter() {
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("Splitter"));
    splitter_->setHandleWidth(SplitterWidth);
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(listPanel_);
    splitter_->addWidget(detailPanel_);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 0);
    setCentralWidget(splitter_);
}

void TMainForm::installSplitterHook() {
    splitter_->setOpaqueResize(true); // a release never moves the splitter on its own
    auto* hook = new TSplitterHook(this);
    splitter_->installEventFilter(hook);
    splitter_->handle(1)->installEventFilter(hook);
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
        // The first-start layout is the record that later starts restore.
        userManager_->Configuration = layout.Encode();
        userManager_->DataBaseName = document_->FileName();
        userManager_->SaveOnExit = false;
        userManager_->SaveContents = true;
        userManager_->SaveWindowConfig = true;
        userManager_->Valid = true;
        userManager_->Save();
        // From now on the record is written only when the user asks for it.
        userManager_->SaveWindowConfig = false;
        userManager_->Save();
    }
    // Once the settings may be written, also after the first-start defaults.
    recentFilesItem_->SetUserManager(userManager_.get());
    stopwatchBar_->SetUserManager(userManager_.get());
    if (!fileName.empty())
        document_->OpenAtStart(nativepath::Absolute(fileName));
    else if (!firstStart)
        document_->Open(userManager_->DataBaseName);
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
    return splitter_->isVisible() ? splitter_->sizes().value(1) : plannedDetailWidth_;
}

void TMainForm::SetDetailWidth(int width) {
    plannedDetailWidth_ = std::max(0, width);
    splitter_->setSizes(
        {std::max(0, this->width() - SplitterWidth - plannedDetailWidth_), plannedDetailWidth_});
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
    if (!analysisForm_ || !userManager_)
        return;
    settings::SaveAnalysisPlace(*userManager_, {analysisForm_->x(), analysisForm_->y(),
                                                analysisForm_->width(), analysisForm_->height()});
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
    // run, so both options commands go until the next edit ends.
    const bool kept = optionForm_->Execute(*userManager_);
    saveOptionItem_->setEnabled(kept);
    configItem_->setEnabled(kept);
    // The deletion took the stored stopwatch and the recent files with it.
    if (!kept) {
        stopwatchBar_->ResetStopwatchActionExecute();
        recentFilesItem_->Forget();
    }
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
        commandFailed_ = false;
        saveDataBaseAction_->trigger(); // does nothing while it is disabled
        return !std::exchange(commandFailed_, false);
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
    recentFilesItem_->SetUserManager(nullptr);
    stopwatchBar_->SetUserManager(nullptr);
    analysisForm_.reset(); // it counts the database's entries
    userManager_.reset();
    document_->New(); // the entries go; the window follows an empty database
}
