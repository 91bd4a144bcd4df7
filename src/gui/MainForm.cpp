#include "gui/MainForm.h"

#include "commands/DataBaseCommands.h"
#include "gui/AnalysisWindow.h"
#include "gui/DataBaseDrop.h"
#include "gui/Document.h"
#include "gui/EntryPanel.h"
#include "gui/FormSetup.h"
#include "gui/Handbook.h"
#include "gui/ListPrinter.h"
#include "gui/ListReport.h"
#include "gui/MainActions.h"
#include "gui/MainMenus.h"
#include "gui/PanelSplitter.h"
#include "gui/RecentFilesMenu.h"
#include "gui/RecordListPanel.h"
#include "gui/SearchBar.h"
#include "gui/SpreadsheetExchange.h"
#include "gui/StopwatchBar.h"
#include "settings/UserManager.h"
#include "settings/WindowConfiguration.h"

#include <QAction>
#include <QFrame>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      fileChooser_([this] { return document_->FileName(); }) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Mavrolin"));
    QIcon programIcon;
    programIcon.addFile(QStringLiteral(":/icons/mavrolin16.svg"), QSize(16, 16));
    programIcon.addFile(QStringLiteral(":/icons/mavrolin32.svg"), QSize(32, 32));
    setWindowIcon(programIcon);
    setContextMenuPolicy(Qt::NoContextMenu); // no toolbar-toggle menu

    document_ = new TDocument(this);
    actions_ = std::make_unique<TMainActions>(this);
    menus_ = std::make_unique<TMainMenus>(this, *actions_);
    createParts();
    createSplitter();
    connectHandlers();
    connectDocument();
    new TDataBaseDropTarget(
        this, [this](Qt::KeyboardModifiers modifiers) { return FormDragOver(modifiers); },
        [this](const QString& file, Qt::KeyboardModifiers modifiers) {
            runGuarded([&] { FormDragDrop(file, modifiers); });
        });

    const int menuHeight = menuBar()->sizeHint().height();
    setMinimumSize(410 - 8, 370 - 46 + menuHeight); // outer 410 x 370 with the designed frame
    applyConfiguration(WindowConfiguration::FirstStart());
    CenterOnScreen();
    listPanel_->View()->setFocus();
    ShowUndoState();
    ShowSelectedRecord();
}

TMainForm::~TMainForm() {
    // QWidget's destructor still moves the focus and the parts go one by
    // one: nothing follows the database any more.
    disconnect(&document_->Commands(), nullptr, this, nullptr);
    splitter_->SetHooks({}, {});
    // The list refers to the database's entries: empty it before they go.
    listPanel_->ClearList();
}

void TMainForm::SetDialogs(TFilterForm* filterForm, TInfoForm* infoForm, TOptionForm* optionForm) {
    filterForm_ = filterForm;
    infoForm_ = infoForm;
    optionForm_ = optionForm;
}

void TMainForm::createParts() {
    listPanel_ = new TRecordListPanel(this);
    detailPanel_ = new TEntryPanel(this);
    detailPanel_->setMinimumWidth(DetailPanelMinWidth);
    stopwatchBar_ = new TStopwatchBar(menus_->ToolBar, actions_->FilterAction,
                                      actions_->StopwatchAction, actions_->ResetStopwatchAction);
    searchBar_ =
        new TSearchBar(menus_->ToolBar, actions_->SearchAction, document_->DataBase(), *listPanel_);
    exchange_ = new TSpreadsheetExchange(this, *document_, *listPanel_, fileChooser_);
    printer_ = new TListPrinter(this, *document_, *listPanel_, *searchBar_);
    report_ = new TListReport(this, *document_, *listPanel_, *searchBar_, fileChooser_);
    analysisWindow_ = new TAnalysisWindow(this, document_->DataBase(), listPanel_->Model());

    saveDialog_ =
        TFileChooser::DataBaseDialog(this, "SaveDialog", QStringLiteral("Datenbank sichern"), true);
    openDialog_ =
        TFileChooser::DataBaseDialog(this, "OpenDialog", QStringLiteral("Datenbank öffnen"), false);
}

void TMainForm::connectHandlers() {
    using M = TMainForm;
    const std::pair<QAction*, void (M::*)()> handlers[] = {
        {actions_->NewDataBaseAction, &M::NewDataBaseActionExecute},
        {actions_->LoadDataBaseAction, &M::LoadDataBaseActionExecute},
        {actions_->ImportDataBaseAction, &M::ImportDataBaseActionExecute},
        {actions_->SaveDataBaseAction, &M::SaveDataBaseActionExecute},
        {actions_->SaveDataBaseAsAction, &M::SaveDataBaseAsActionExecute},
        {actions_->RestoreVersionAction, &M::RestoreVersionActionExecute},
        {actions_->ExitAction, &M::ExitActionExecute},
        {actions_->InfoAction, &M::InfoActionExecute},
        {actions_->FirstItemAction, &M::FirstItemActionExecute},
        {actions_->LastItemAction, &M::LastItemActionExecute},
        {actions_->NextItemAction, &M::NextItemActionExecute},
        {actions_->PreviousItemAction, &M::PreviousItemActionExecute},
        {actions_->NewItemAction, &M::NewItemActionExecute},
        {actions_->ChangeItemAction, &M::ChangeItemActionExecute},
        {actions_->DeleteItemAction, &M::DeleteItemActionExecute},
        {actions_->FilterAction, &M::FilterActionExecute},
        {actions_->AnalysisAction, &M::AnalysisActionExecute},
        {actions_->UndoAction, &M::UndoActionExecute},
        {actions_->RedoAction, &M::RedoActionExecute},
        {actions_->ConfigItem, &M::ConfigItemClick},
        {actions_->SaveOptionItem, &M::SaveOptionItemClick},
    };
    for (const auto& [action, handler] : handlers)
        connectGuarded(action, &QAction::triggered, handler);

    // Actions whose work is a part's own.
    const auto delegate = [this](QAction* action, auto work) {
        connect(action, &QAction::triggered, this, [this, work] { runGuarded(work); });
    };
    delegate(actions_->StopwatchAction, [this] { stopwatchBar_->StopwatchActionExecute(); });
    delegate(actions_->ResetStopwatchAction,
             [this] { stopwatchBar_->ResetStopwatchActionExecute(); });
    delegate(actions_->SearchAction, [this] { searchBar_->SearchActionExecute(); });
    delegate(actions_->HandbookAction, [this] { handbook::Open(this); });
    delegate(actions_->ImportCsvAction, [this] { exchange_->ImportCsv(); });
    delegate(actions_->ExportCsvAction, [this] { exchange_->ExportCsv(); });
    delegate(actions_->ExportXlsxAction, [this] { exchange_->ExportXlsx(); });
    delegate(actions_->ReportAction, [this] { report_->Write(); });
    delegate(actions_->PrintPreviewAction, [this] { printer_->Preview(); });
    delegate(actions_->PrintAction, [this] { printer_->Print(); });

    connectGuarded(menus_->RecentFilesItem, &TRecentFilesMenu::FileChosen, &M::RecentFileItemClick);
    // The recent files are shown as stored now, and usable when the load is.
    connect(menus_->DataBaseItem, &QMenu::aboutToShow, menus_->RecentFilesItem,
            &TRecentFilesMenu::Refresh);
    connect(actions_->LoadDataBaseAction, &QAction::enabledChanged, menus_->RecentFilesItem,
            &TRecentFilesMenu::SetItemsEnabled);

    // The list and the detail panel.
    connectGuarded(listPanel_, &TRecordListPanel::SelectionChanged, &M::ListViewSelectItem);
    connectGuarded(listPanel_, &TRecordListPanel::Sorted, &M::ShowSelectedRecord);
    connectGuarded(searchBar_, &TSearchBar::Applied, &M::ShowSelectedRecord);
    connectGuarded(detailPanel_, &TEntryPanel::OkClicked, &M::OkButtonClick);
    connectGuarded(detailPanel_, &TEntryPanel::CancelClicked, &M::CancelButtonClick);
    connectGuarded(analysisWindow_, &TAnalysisWindow::GroupChosen, &M::analysisGroupChosen);
    connect(detailPanel_, &TEntryPanel::ViewingFocusRefused, this,
            [this] { listPanel_->View()->setFocus(); });
}

// The list, the panel, the undo actions and the recent files follow the
// document.
void TMainForm::connectDocument() {
    using M = TMainForm;
    TDataBaseCommands* commands = &document_->Commands();
    connect(commands, &TDataBaseCommands::HistoryChanged, this, &M::ShowUndoState);
    listPanel_->Follow(document_->DataBase(), *commands,
                       [this](const TDataRecord& entry) { return searchBar_->IsListed(entry); });
    connect(listPanel_, &TRecordListPanel::Followed, this, &M::listFollowed);
    connect(commands, &TDataBaseCommands::FilterChanged, this, &M::RebuildList);
    connect(commands, &TDataBaseCommands::DataBaseReplaced, this, &M::dataBaseReplaced);
    const auto remember = [this](const std::string& file) {
        menus_->RecentFilesItem->AddFile(file);
    };
    connect(document_, &TDocument::Opened, this, remember);
    connect(document_, &TDocument::Saved, this, remember);
}

int TMainForm::ClientHeight() const {
    const QWidget* menu = menuWidget();
    const int menuHeight =
        menu ? (menu->isVisible() ? menu->height() : menu->sizeHint().height()) : 0;
    return height() - menuHeight;
}

void TMainForm::SetClientHeight(int height) {
    resize(width(), height + (this->height() - ClientHeight()));
}

void TMainForm::CenterOnScreen() {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    const QRect area = s->availableGeometry();
    const QRect frame = frameGeometry();
    move(area.center() - QPoint(frame.width() / 2, frame.height() / 2));
    // Until the window manager has framed the window its frame is unknown:
    // centre again once it is.
    centreFrame_ = frame.size() == size();
}

void TMainForm::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (centreFrame_ && isVisible() && frameGeometry().size() != size())
        CenterOnScreen();
}
