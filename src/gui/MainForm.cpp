#include "gui/MainForm.h"

#include "commands/DataBaseCommands.h"
#include "gui/AnalysisForm.h"
#include "gui/DataBaseDrop.h"
#include "gui/Document.h"
#include "gui/EntryPanel.h"
#include "gui/FormSetup.h"
#include "gui/RecentFilesMenu.h"
#include "gui/RecordListPanel.h"
#include "gui/SearchBar.h"
#include "gui/SpreadsheetExchange.h"
#include "gui/StopwatchBar.h"
#include "settings/UserManager.h"
#include "settings/WindowConfiguration.h"

#include <QAction>
#include <QFileDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>

static void InitIconResources() {
    Q_INIT_RESOURCE(Icons);
}

namespace {

QIcon ToolIcon(const char* name) {
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}

} // namespace

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      fileChooser_([this] { return document_->FileName(); }) {
    InitIconResources();
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Mavrolin"));
    QIcon programIcon;
    programIcon.addFile(QStringLiteral(":/icons/mavrolin16.svg"), QSize(16, 16));
    programIcon.addFile(QStringLiteral(":/icons/mavrolin32.svg"), QSize(32, 32));
    setWindowIcon(programIcon);
    setContextMenuPolicy(Qt::NoContextMenu); // no toolbar-toggle menu

    document_ = new TDocument(this);
    createActions();
    createMenus();
    createToolBar();
    createParts();
    createSplitter();
    installSplitterHook();
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
    // The list refers to the database's entries: empty it before they go.
    listPanel_->ClearList();
}

void TMainForm::SetDialogs(TFilterForm* filterForm, TInfoForm* infoForm, TOptionForm* optionForm) {
    filterForm_ = filterForm;
    infoForm_ = infoForm;
    optionForm_ = optionForm;
}

void TMainForm::createActions() {
    auto make = [this](const char* name, const QString& caption, const QString& hint,
                       const QKeySequence& shortcut, const char* icon) {
        auto* action = new QAction(caption, this);
        action->setObjectName(QLatin1String(name));
        action->setToolTip(hint);
        action->setStatusTip(hint);
        if (!shortcut.isEmpty())
            action->setShortcut(shortcut);
        if (icon)
            action->setIcon(ToolIcon(icon));
        actionList_.append(action);
        return action;
    };
    using K = QKeySequence;
    exitAction_ = make("ExitAction", "&Beenden", "beendet das Programm", {}, nullptr);
    newDataBaseAction_ = make("NewDataBaseAction", "&neue Datenbank",
                              "erstellt eine neue Datenbank", K(Qt::CTRL | Qt::Key_N), nullptr);
    loadDataBaseAction_ =
        make("LoadDataBaseAction", "Datenbank &laden...",
             "öffnet eine bereits vorhandene Datenbank", K(Qt::CTRL | Qt::Key_L), nullptr);
    importDataBaseAction_ =
        make("ImportDataBaseAction", "Datenbank &importieren...",
             "fügt die Einträge einer anderen Datenbank der geöffneten Datenbank hinzu",
             K(Qt::CTRL | Qt::Key_I), nullptr);
    saveDataBaseAction_ =
        make("SaveDataBaseAction", "Datenbank &sichern", "speichert die aktuelle Datenbank",
             K(Qt::CTRL | Qt::Key_S), nullptr);
    saveDataBaseAsAction_ = make("SaveDataBaseAsAction", "Datenbank sichern &unter...",
                                 "speichert die aktuelle Datenbank unter einem neuen Namen",
                                 K(Qt::CTRL | Qt::Key_U), nullptr);
    firstItemAction_ =
        make("FirstItemAction", "&Anfang der Datenbank",
             "springt zum ersten Datensatz der Datenbank", K(Qt::CTRL | Qt::Key_Home), "first");
    lastItemAction_ =
        make("LastItemAction", "&Ende der Datenbank", "springt zum letzten Datensatz der Datenbank",
             K(Qt::CTRL | Qt::Key_End), "last");
    nextItemAction_ = make("NextItemAction", "&nächster Datensatz",
                           "springt zum nächsten Datensatz der Datenbank", {}, "next");
    previousItemAction_ = make("PreviousItemAction", "&vorheriger Datensatz",
                               "springt zum vorherigen Datensatz der Datenbank", {}, "previous");
    newItemAction_ =
        make("NewItemAction", "&neuer Datensatz", "erstellt einen neuen Datensatz in der Datenbank",
             K(Qt::CTRL | Qt::Key_Insert), "new");
    changeItemAction_ =
        make("ChangeItemAction", "Datensatz &ändern", "ändert den aktuellen Datensatz",
             K(Qt::CTRL | Qt::Key_Return), "change");
    changeItemAction_->setShortcuts({K(Qt::CTRL | Qt::Key_Return), K(Qt::CTRL | Qt::Key_Enter)});
    deleteItemAction_ =
        make("DeleteItemAction", "Datensatz &löschen", "löscht den aktuellen Datensatz",
             K(Qt::CTRL | Qt::Key_Delete), "delete");
    filterAction_ = make("FilterAction", "Filtern ...", "Filtern der Datensätze",
                         K(Qt::CTRL | Qt::Key_F), "filter");
    // Ctrl+I belongs to the import, which comes first in the menu. The
    // information item shows the key but does not register it: two actions
    // with one shortcut would make Qt run neither.
    infoAction_ = make("InfoAction",
                       QStringLiteral("Information...\t%1")
                           .arg(K(Qt::CTRL | Qt::Key_I).toString(QKeySequence::NativeText)),
                       "zeigt den Informationsdialog an", {}, nullptr);
    analysisAction_ =
        make("AnalysisAction", "&Auswertung...", "zeigt Häufigkeit und Aufwand der Fehler",
             K(Qt::CTRL | Qt::Key_T), "analysis");
    // Undo and redo: the captions name the step (ShowUndoState).
    undoAction_ =
        make("UndoAction", {}, "nimmt den letzten Schritt zurück", K(Qt::CTRL | Qt::Key_Z), "undo");
    redoAction_ =
        make("RedoAction", {}, "führt den zurückgenommenen Schritt wieder aus", {}, "redo");
    redoAction_->setShortcuts({K(Qt::CTRL | Qt::Key_Y), K(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    // The stopwatch: the caption and hint follow its state (TStopwatchBar).
    stopwatchAction_ = make("StopwatchAction", {}, {}, K(Qt::Key_F5), "stopwatch");
    resetStopwatchAction_ =
        make("ResetStopwatchAction", "Stoppuhr &zurücksetzen",
             "setzt die Stoppuhr zurück und verwirft die gemessene Zeit", {}, nullptr);
    // The quick search: its key works without a menu item.
    searchAction_ = make("SearchAction", "&Suchen", "sucht in allen Feldern der Einträge (Strg+E)",
                         K(Qt::CTRL | Qt::Key_E), "search");
    addAction(searchAction_);
    // Exchange with spreadsheets.
    importCsvAction_ =
        make("ImportCsvAction", "CSV-Datei impor&tieren...",
             "fügt die Zeilen einer CSV-Datei der geöffneten Datenbank hinzu", {}, nullptr);
    exportCsvAction_ =
        make("ExportCsvAction", "als CSV e&xportieren...",
             "schreibt die angezeigten Einträge in eine CSV-Datei für Tabellen", {}, nullptr);
    exportXlsxAction_ =
        make("ExportXlsxAction", "als Excel-Arbeitsmappe ex&portieren...",
             "schreibt die angezeigten Einträge in eine Excel-Arbeitsmappe", {}, nullptr);

    configItem_ = new QAction(QStringLiteral("&Konfigurieren..."), this);
    configItem_->setObjectName(QStringLiteral("ConfigItem"));
    configItem_->setShortcut(K(Qt::CTRL | Qt::Key_K));
    saveOptionItem_ = new QAction(QStringLiteral("Konfiguration &Speichern"), this);
    saveOptionItem_->setObjectName(QStringLiteral("SaveOptionItem"));
    saveOptionItem_->setShortcut(K(Qt::SHIFT | Qt::Key_F9));
}

void TMainForm::createMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));
    auto menu = [bar](const char* name, const QString& caption) {
        QMenu* m = bar->addMenu(caption);
        m->setObjectName(QLatin1String(name));
        m->setToolTipsVisible(false);
        return m;
    };
    dataBaseItem_ = menu("DataBaseItem", QStringLiteral("&Datenbank"));
    dataBaseItem_->addActions({newDataBaseAction_, loadDataBaseAction_, saveDataBaseAction_,
                               saveDataBaseAsAction_, importDataBaseAction_, importCsvAction_,
                               exportCsvAction_, exportXlsxAction_});
    dataBaseItem_->addSeparator();
    recentFilesItem_ = new TRecentFilesMenu(this);
    dataBaseItem_->addMenu(recentFilesItem_);
    dataBaseItem_->addSeparator();
    dataBaseItem_->addAction(exitAction_);

    showItem_ = menu("ShowItem", QStringLiteral("&Ansicht"));
    showItem_->addActions(
        {nextItemAction_, previousItemAction_, firstItemAction_, lastItemAction_});
    showItem_->addSeparator();
    showItem_->addAction(analysisAction_);

    dataItem_ = menu("DataItem", QStringLiteral("&Datensatz"));
    dataItem_->addActions({undoAction_, redoAction_});
    dataItem_->addSeparator();
    dataItem_->addActions({newItemAction_, deleteItemAction_, changeItemAction_});
    dataItem_->addSeparator();
    dataItem_->addAction(filterAction_);
    dataItem_->addSeparator();
    dataItem_->addActions({stopwatchAction_, resetStopwatchAction_});

    optionItem_ = menu("OptionItem", QStringLiteral("&Optionen"));
    optionItem_->addActions({configItem_, saveOptionItem_});

    helpItem_ = menu("HelpItem", QStringLiteral("&Hilfe"));
    helpItem_->addAction(infoAction_);
}

void TMainForm::createToolBar() {
    toolBar_ = new QToolBar(QStringLiteral("ToolBar"), this);
    toolBar_->setObjectName(QStringLiteral("ToolBar"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(16, 16));
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolBar_->setFixedHeight(29);
    toolBar_->setFont(FormFont());
    // A line along the top and the bottom edge, buttons packed without gaps.
    toolBar_->setStyleSheet(QStringLiteral(
        "QToolBar#ToolBar { border: none; border-top: 1px solid palette(mid);"
        " border-bottom: 1px solid palette(mid); spacing: 0px; padding: 0px 1px; }"));
    addToolBar(Qt::TopToolBarArea, toolBar_);

    auto button = [this](QAction* action, const char* name) {
        toolBar_->addAction(action);
        auto* b = qobject_cast<QToolButton*>(toolBar_->widgetForAction(action));
        b->setObjectName(QLatin1String(name));
        b->setFixedSize(23, 22);
        b->setAutoRaise(true);
    };
    auto separator = [this](const char* name) {
        auto* line = new QFrame(toolBar_);
        line->setObjectName(QLatin1String(name));
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Sunken);
        line->setFixedSize(10, 22);
        toolBar_->addWidget(line);
    };
    button(firstItemAction_, "FirstButton");
    button(previousItemAction_, "PreviousButton");
    button(nextItemAction_, "NextButton");
    button(lastItemAction_, "LastButton");
    separator("SplitButton1");
    button(newItemAction_, "NewButton");
    button(deleteItemAction_, "DeleteButton");
    button(changeItemAction_, "ChangeButton");
    separator("SplitButton2");
    button(filterAction_, "FilterButton");
}

void TMainForm::createParts() {
    listPanel_ = new TRecordListPanel(this);
    detailPanel_ = new TEntryPanel(this);
    detailPanel_->setMinimumWidth(DetailPanelMinWidth);
    stopwatchBar_ =
        new TStopwatchBar(toolBar_, filterAction_, stopwatchAction_, resetStopwatchAction_);
    searchBar_ = new TSearchBar(toolBar_, searchAction_, document_->DataBase(), *listPanel_);
    exchange_ = new TSpreadsheetExchange(this, *document_, *listPanel_, fileChooser_);

    const auto make = [this](const char* name, const QString& title, QFileDialog::AcceptMode mode) {
        return TFileDialogSlot([this, name, title, mode] {
            auto* dialog = new QFileDialog(this, title);
            dialog->setObjectName(QLatin1String(name));
            // Qt's own dialog: the same titles, filters and behaviour on every desktop.
            dialog->setOption(QFileDialog::DontUseNativeDialog);
            dialog->setAcceptMode(mode);
            dialog->setFileMode(QFileDialog::AnyFile); // an opened file need not exist
            dialog->setDefaultSuffix(QStringLiteral("mvd"));
            dialog->setNameFilters({QStringLiteral("Mavrolin-Datenbank (*.mvd)"),
                                    QStringLiteral("alle Dateien (*.*)")});
            return dialog;
        });
    };
    saveDialog_ = make("SaveDialog", QStringLiteral("Datenbank sichern"), QFileDialog::AcceptSave);
    openDialog_ = make("OpenDialog", QStringLiteral("Datenbank öffnen"), QFileDialog::AcceptOpen);
}

void TMainForm::connectHandlers() {
    using M = TMainForm;
    const std::pair<QAction*, void (M::*)()> commands[] = {
        {newDataBaseAction_, &M::NewDataBaseActionExecute},
        {loadDataBaseAction_, &M::LoadDataBaseActionExecute},
        {importDataBaseAction_, &M::ImportDataBaseActionExecute},
        {saveDataBaseAction_, &M::SaveDataBaseActionExecute},
        {saveDataBaseAsAction_, &M::SaveDataBaseAsActionExecute},
        {exitAction_, &M::ExitActionExecute},
        {infoAction_, &M::InfoActionExecute},
        {firstItemAction_, &M::FirstItemActionExecute},
        {lastItemAction_, &M::LastItemActionExecute},
        {nextItemAction_, &M::NextItemActionExecute},
        {previousItemAction_, &M::PreviousItemActionExecute},
        {newItemAction_, &M::NewItemActionExecute},
        {changeItemAction_, &M::ChangeItemActionExecute},
        {deleteItemAction_, &M::DeleteItemActionExecute},
        {filterAction_, &M::FilterActionExecute},
        {analysisAction_, &M::AnalysisActionExecute},
        {undoAction_, &M::UndoActionExecute},
        {redoAction_, &M::RedoActionExecute},
        {configItem_, &M::ConfigItemClick},
        {saveOptionItem_, &M::SaveOptionItemClick},
    };
    for (const auto& [action, handler] : commands)
        connectGuarded(action, &QAction::triggered, handler);

    // Commands whose work is a part's own.
    const auto delegate = [this](QAction* action, auto work) {
        connect(action, &QAction::triggered, this, [this, work] { runGuarded(work); });
    };
    delegate(stopwatchAction_, [this] { stopwatchBar_->StopwatchActionExecute(); });
    delegate(resetStopwatchAction_, [this] { stopwatchBar_->ResetStopwatchActionExecute(); });
    delegate(searchAction_, [this] { searchBar_->SearchActionExecute(); });
    delegate(importCsvAction_, [this] { exchange_->ImportCsv(); });
    delegate(exportCsvAction_, [this] { exchange_->ExportCsv(); });
    delegate(exportXlsxAction_, [this] { exchange_->ExportXlsx(); });

    connectGuarded(recentFilesItem_, &TRecentFilesMenu::FileChosen, &M::RecentFileItemClick);
    // The recent files are shown as stored now, and usable when the load is.
    connect(dataBaseItem_, &QMenu::aboutToShow, recentFilesItem_, &TRecentFilesMenu::Refresh);
    connect(loadDataBaseAction_, &QAction::enabledChanged, recentFilesItem_,
            &TRecentFilesMenu::SetCommandsEnabled);

    // The list and the detail panel.
    connectGuarded(listPanel_, &TRecordListPanel::SelectionChanged, &M::ListViewSelectItem);
    connectGuarded(listPanel_, &TRecordListPanel::Sorted, &M::ShowSelectedRecord);
    connectGuarded(searchBar_, &TSearchBar::Applied, &M::ShowSelectedRecord);
    connectGuarded(detailPanel_, &TEntryPanel::OkClicked, &M::OkButtonClick);
    connectGuarded(detailPanel_, &TEntryPanel::CancelClicked, &M::CancelButtonClick);
    connect(detailPanel_, &TEntryPanel::ViewingFocusRefused, this,
            [this] { listPanel_->View()->setFocus(); });
}

// The list, the panel, the undo commands and the recent files follow the
// document.
void TMainForm::connectDocument() {
    using M = TMainForm;
    TDataBaseCommands* commands = &document_->Commands();
    connect(commands, &TDataBaseCommands::HistoryChanged, this, &M::ShowUndoState);
    connect(commands, &TDataBaseCommands::EntriesAdded, this, &M::entriesAdded);
    connect(commands, &TDataBaseCommands::EntriesChanged, this, &M::entriesChanged);
    connect(commands, &TDataBaseCommands::EntriesRemoved, this, &M::entriesRemoved);
    connect(commands, &TDataBaseCommands::EntriesImported, this, &M::RebuildList);
    connect(commands, &TDataBaseCommands::FilterChanged, this, &M::RebuildList);
    connect(commands, &TDataBaseCommands::DataBaseReplaced, this, &M::dataBaseReplaced);
    const auto remember = [this](const std::string& file) { recentFilesItem_->AddFile(file); };
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
