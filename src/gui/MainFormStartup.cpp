// Start-up and shut-down of the main window: the settings store of the
// logged-in user, restoring the stored layout or putting the first-start
// defaults in place, the options commands, the splitter's drag limits and the
// tooltip time.
#include "core/DataBase.h"
#include "gui/AnalysisForm.h"
#include "gui/ErrorReport.h"
#include "gui/MainForm.h"
#include "gui/OptionForm.h"
#include "gui/Prompt.h"
#include "gui/RecentFilesMenu.h"
#include "gui/RecordListModel.h"
#include "settings/WindowConfiguration.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QSplitter>
#include <QSplitterHandle>
#include <QTableView>
#include <algorithm>

namespace {

// Width given to a restored column whose stored width is negative (the list
// view's "fit" widths, which the program never stores itself).
constexpr int FallbackColumnWidth = 50;

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
        if (watched == form->Splitter) {
            if (event->type() == QEvent::Show)
                form->SetDetailWidth(form->plannedDetailWidth_);
            else if (event->type() == QEvent::Hide)
                form->plannedDetailWidth_ = form->Splitter->sizes().value(1);
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

void TMainForm::installSplitterHook() {
    Splitter->setOpaqueResize(true); // a release never moves the splitter on its own
    auto* hook = new TSplitterHook(this);
    Splitter->installEventFilter(hook);
    Splitter->handle(1)->installEventFilter(hook);
}

void TMainForm::FormCreate(const std::string& userName, const std::string& fileName) {
    // The window was created with a new, empty database.
    UserManager = std::make_unique<TUserManager>(userName, [this](const std::string& text) {
        Prompt::Message(this, Prompt::Kind::Warning, QString::fromUtf8(text), Prompt::Ok);
    });
    setWindowTitle(QStringLiteral("Mavrolin - ") + QString::fromUtf8(userName));

    const bool firstStart = !UserManager->Valid;
    const WindowConfiguration layout =
        firstStart ? WindowConfiguration::FirstStart()
                   : WindowConfiguration::Decode(UserManager->Configuration);
    applyConfiguration(layout);
    if (firstStart) {
        CenterOnScreen();
        // The first-start layout is the record that later starts restore.
        UserManager->Configuration = layout.Encode();
        UserManager->DataBaseName = DataBase->FileName;
        UserManager->SaveOnExit = false;
        UserManager->SaveContents = true;
        UserManager->SaveWindowConfig = true;
        UserManager->Valid = true;
        UserManager->Save();
        // From now on the record is written only when the user asks for it.
        UserManager->SaveWindowConfig = false;
        UserManager->Save();
    }
    // Once the settings may be written, also after the first-start defaults.
    RecentFilesItem->SetUserManager(UserManager.get());
    if (!fileName.empty())
        openAtStart(fileName);
    else if (!firstStart)
        openDataBase(UserManager->DataBaseName);
    RebuildList();
    SetApplicationToolTipTime(ToolTipTime);
    restoreStopwatch();
}

void TMainForm::applyConfiguration(const WindowConfiguration& record) {
    move(record.Left, record.Top);
    centreFrame_ = false; // a given place, unless CenterOnScreen follows
    SortColumn = static_cast<TColumnKind>(record.SortColumn);
    SortDescending = record.SortDescending;
    restoreColumns(record);
    SetClientHeight(record.ClientHeight);
    resize(record.ClientWidth, height());
    // The window's minimum size may have changed what was set.
    SetDetailWidth(record.DetailWidth);
    // The list view follows its panel through the panel's layout.
}

// Shows the columns of the record's occupied slots with their widths and
// ticks their pop-up items. The first empty slot ends the columns; a code
// that is unknown or already shown counts as an empty slot.
void TMainForm::restoreColumns(const WindowConfiguration& record) {
    TColumnOrder order{};
    std::array<int, WindowConfiguration::Slots> widths{};
    for (std::size_t slot = 0; slot < WindowConfiguration::Slots; ++slot) {
        const auto kind = static_cast<TColumnKind>(record.ColumnOrder[slot]);
        if (kind == ckNone || record.ColumnOrder[slot] > WindowConfiguration::MaxColumnCode ||
            std::find(order.begin(), order.end(), kind) != order.end())
            break;
        order[slot] = kind;
        widths[slot] =
            record.ColumnWidths[slot] < 0 ? FallbackColumnWidth : record.ColumnWidths[slot];
    }
    ColumnOrder = order;
    ListModel->SetColumnOrder(ColumnOrder);
    QHeaderView* header = ListView->horizontalHeader();
    for (int position = 0; position < ListModel->columnCount(); ++position) {
        const auto slot = static_cast<std::size_t>(position);
        const bool occupied = slot < order.size() && order[slot] != ckNone;
        header->setSectionHidden(position, !occupied);
        if (occupied)
            header->resizeSection(position, widths[slot]);
    }
    for (TColumnKind kind : {ckLanguage, ckType, ckProject, ckDate, ckTime})
        columnItem(kind)->setChecked(std::find(order.begin(), order.end(), kind) != order.end());
    RebuildColumns();
}

int TMainForm::DetailWidth() const {
    return Splitter->isVisible() ? Splitter->sizes().value(1) : plannedDetailWidth_;
}

void TMainForm::SetDetailWidth(int width) {
    plannedDetailWidth_ = std::max(0, width);
    Splitter->setSizes(
        {std::max(0, this->width() - SplitterWidth - plannedDetailWidth_), plannedDetailWidth_});
}

void TMainForm::StoreWindowConfiguration() {
    if (!UserManager)
        return;
    WindowConfiguration record;
    record.Top = y();
    record.Left = x();
    record.ClientWidth = width();
    record.ClientHeight = ClientHeight();
    record.DetailWidth = DetailWidth();
    record.SortColumn = static_cast<std::uint8_t>(SortColumn);
    record.SortDescending = SortDescending;
    const QHeaderView* header = ListView->horizontalHeader();
    for (std::size_t slot = 0; slot < WindowConfiguration::Slots; ++slot) {
        record.ColumnOrder[slot] = static_cast<std::uint8_t>(ColumnOrder[slot]);
        record.ColumnWidths[slot] =
            ColumnOrder[slot] != ckNone ? header->sectionSize(static_cast<int>(slot)) : 0;
    }
    UserManager->Configuration = record.Encode();
}

void TMainForm::SaveOptionItemClick() {
    if (!UserManager)
        return;
    if (Prompt::Message(this, Prompt::Kind::Confirmation,
                        QStringLiteral("Möchten sie diese Einstellungen wirklich speichern?"),
                        Prompt::Yes | Prompt::No) != Prompt::Yes)
        return;
    if (UserManager->SaveWindowConfig) {
        StoreWindowConfiguration();
        StoreAnalysisPlace();
    }
    if (UserManager->SaveContents)
        UserManager->DataBaseName = DataBase->FileName;
    UserManager->Save();
}

void TMainForm::ConfigItemClick() {
    if (!UserManager || !OptionForm)
        return;
    // After the stored settings were deleted nothing more is written in this
    // run, so both options commands go until the next edit ends.
    const bool kept = OptionForm->Execute(*UserManager);
    SaveOptionItem->setEnabled(kept);
    ConfigItem->setEnabled(kept);
    // The deletion took the stored stopwatch and the recent files with it.
    if (!kept) {
        changeStopwatch(&TStopwatch::Reset);
        RecentFilesItem->Forget();
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

void TMainForm::FormDestroy() {
    ClearList();
    // Saves when the settings are valid and the user chose to save on exit;
    // the close handler has put the database name and the layout in place.
    // The save is made here rather than by the store's destructor, so that a
    // failure reaches the general error report like every other error.
    if (UserManager && UserManager->Valid && UserManager->SaveOnExit) {
        ErrorReport::Guard(this, [this] {
            if (UserManager->SaveWindowConfig)
                StoreAnalysisPlace();
            UserManager->Save();
        });
        UserManager->Valid = false; // written or reported: nothing more to write
    }
    RecentFilesItem->SetUserManager(nullptr);
    AnalysisForm.reset(); // it counts the database's entries
    UserManager.reset();
    DataBase.reset();
}
