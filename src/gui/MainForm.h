#pragma once

#include "gui/ColumnKind.h"
#include "gui/ErrorReport.h"
#include "gui/FileDialogSlot.h"
#include "search/EntrySearch.h"
#include "settings/UserManager.h"
#include "stopwatch/Stopwatch.h"

#include <QMainWindow>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QComboBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QShortcut;
class QSpinBox;
class QSplitter;
class QTableView;
class QTimer;
class QToolBar;
class QToolButton;
class TAnalysisForm;
class TAnchors;
class TBevel;
class TDataBase;
class TDataBaseCommands;
class TDataRecord;
class TValueList;
class TDatePicker;
class TFilterForm;
class TInfoForm;
class TOptionForm;
class TRecentFilesMenu;
class TRecordListModel;
struct TEntryChange;
struct WindowConfiguration;

// The program's main window: toolbar, the record list on the left, the detail
// panel on the right, the main menu and the list's column menu.
//
// Files by concern: MainForm.cpp builds the window (actions, menus, toolbar,
// pop-up menu, list, splitter, detail panel) and wires every handler;
// MainFormList.cpp holds the record list's operations and handlers;
// MainFormEdit.cpp the editing state and the entry commands;
// MainFormFilter.cpp the filter command; MainFormSearch.cpp the quick search;
// MainFormExchange.cpp the exchange with spreadsheets; MainFormDatabase.cpp the database
// commands and the close question; MainFormOpening.cpp the opening of
// databases named from outside the file dialogs (recent files, a drop, the
// command line); MainFormStartup.cpp the window's layout (first start or
// stored), the options commands and its destruction; MainFormStopwatch.cpp
// the fix-time stopwatch; MainFormUndo.cpp undo and redo.
//
// A list item is addressed by its row (0 = topmost); -1 means no item. Rows
// change when the list is sorted, so an item's row is valid only until the
// next operation that adds, refills or sorts items.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window with an empty database in the first-start layout.
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // Owned data: the database shown, and the settings of the logged-in user
    // (from FormCreate to FormDestroy).
    std::unique_ptr<TDataBase> DataBase;
    std::unique_ptr<TUserManager> UserManager;
    // Every change of the entries goes through it; it keeps the undo history.
    TDataBaseCommands* Commands = nullptr;
    // The dialogs, created hidden by the program body after the main window
    // and reused for the whole run; the window does not own them.
    TFilterForm* FilterForm = nullptr;
    TInfoForm* InfoForm = nullptr;
    TOptionForm* OptionForm = nullptr;

    // List state: the columns shown, the sort order, the panel being filled.
    TColumnOrder ColumnOrder{};
    TColumnKind SortColumn = ckNone;
    bool SortDescending = true;
    bool UpdatingPanel = false;
    // Editing state: the panel is an input form; started by the new-entry command.
    bool Editing = false;
    bool AddingRecord = false;

    // Commands (caption, hint, shortcut, picture, enabled state).
    QAction* ExitAction = nullptr;
    QAction* NewDataBaseAction = nullptr;
    QAction* LoadDataBaseAction = nullptr;
    QAction* ImportDataBaseAction = nullptr;
    QAction* SaveDataBaseAction = nullptr;
    QAction* SaveDataBaseAsAction = nullptr;
    QAction* FirstItemAction = nullptr;
    QAction* LastItemAction = nullptr;
    QAction* NextItemAction = nullptr;
    QAction* PreviousItemAction = nullptr;
    QAction* NewItemAction = nullptr;
    QAction* ChangeItemAction = nullptr;
    QAction* DeleteItemAction = nullptr;
    QAction* FilterAction = nullptr;
    QAction* InfoAction = nullptr;
    QAction* AnalysisAction = nullptr; // "&Auswertung...", in the Ansicht menu
    QList<QAction*> ActionList;        // every action above, in the order of the command table
    QAction* ConfigItem = nullptr;     // the two options items that are no commands
    QAction* SaveOptionItem = nullptr;
    // Undo and redo (MainFormUndo.cpp), in ActionList; their enabled state
    // follows the history as well as the editing state.
    QAction* UndoAction = nullptr;
    QAction* RedoAction = nullptr;
    void UndoActionExecute();
    void RedoActionExecute();
    // Captions naming the step, enabled while there is one and no entry is edited.
    void ShowUndoState();

    // Menus and toolbar.
    QMenu* DataBaseItem = nullptr;
    TRecentFilesMenu* RecentFilesItem = nullptr; // "&Zuletzt geöffnet", in DataBaseItem
    QMenu* ShowItem = nullptr;
    QMenu* DataItem = nullptr;
    QMenu* OptionItem = nullptr;
    QMenu* HelpItem = nullptr;
    QToolBar* ToolBar = nullptr;
    QToolButton* FirstButton = nullptr;
    QToolButton* PreviousButton = nullptr;
    QToolButton* NextButton = nullptr;
    QToolButton* LastButton = nullptr;
    QWidget* SplitButton1 = nullptr;
    QToolButton* NewButton = nullptr;
    QToolButton* DeleteButton = nullptr;
    QToolButton* ChangeButton = nullptr;
    QWidget* SplitButton2 = nullptr;
    QToolButton* FilterButton = nullptr;

    // The list side: splitter, list and its column menu.
    QSplitter* Splitter = nullptr;
    QWidget* ListPanel = nullptr;
    QTableView* ListView = nullptr;
    TRecordListModel* ListModel = nullptr;
    QMenu* ListViewPopup = nullptr;
    QAction* colLanguageItem = nullptr;
    QAction* colTypeItem = nullptr;
    QAction* colProjectItem = nullptr;
    QAction* colDateItem = nullptr;
    QAction* colTimeItem = nullptr;

    // The detail panel and the anchoring of its controls.
    QWidget* DetailPanel = nullptr;
    TAnchors* DetailAnchors = nullptr;
    TBevel* Bevel1 = nullptr;
    TBevel* Bevel2 = nullptr;
    TBevel* Bevel3 = nullptr;
    QLabel* LanguageLabel = nullptr;
    QLabel* TypeLabel = nullptr;
    QLabel* ProjectLabel = nullptr;
    QLabel* DateLabel = nullptr;
    QLabel* TimeLabel = nullptr;
    QLabel* DescriptionLabel = nullptr;
    QComboBox* LanguageBox = nullptr;
    QComboBox* TypeBox = nullptr;
    QComboBox* ProjectBox = nullptr;
    QLineEdit* DateEdit = nullptr;
    TDatePicker* DatePicker = nullptr;
    QSpinBox* TimeEdit = nullptr;
    QPlainTextEdit* DescriptionMemo = nullptr;
    QPushButton* OkButton = nullptr;
    QPushButton* CancelButton = nullptr;
    // Enter (also the keypad's) confirms and Escape abandons, only while editing.
    QShortcut* ReturnKey = nullptr;
    QShortcut* EnterKey = nullptr;
    QShortcut* EscapeKey = nullptr;

    // The user's fix-time stopwatch (MainFormStopwatch.cpp): two commands,
    // its time on the toolbar while it runs or holds time, a timer that
    // updates the time each second while it runs. Every change is stored in
    // the settings store at once; a new entry takes its minutes.
    std::unique_ptr<TStopwatch> Stopwatch;
    QAction* StopwatchAction = nullptr; // start or stop; the caption follows the state
    QAction* ResetStopwatchAction = nullptr;
    QWidget* SplitButton3 = nullptr;
    QToolButton* StopwatchButton = nullptr; // shows the time; a click starts or stops
    QTimer* StopwatchTimer = nullptr;
    void StopwatchActionExecute();
    void ResetStopwatchActionExecute();
    void StopwatchButtonClick();
    // Shows the stopwatch's state: captions, enabling, the time on the toolbar.
    void ShowStopwatch();

    // The quick search (MainFormSearch.cpp): a field at the right end of the
    // toolbar. The list shows the entries that the filter lets through and
    // the search matches. Typing applies the search after a pause; the
    // matching runs in slices between the window's events.
    QAction* SearchAction = nullptr; // Ctrl+E: the focus into the field
    QWidget* SearchSpacer = nullptr;
    QWidget* SplitButton4 = nullptr;
    QLineEdit* SearchEdit = nullptr;
    QLabel* SearchCountLabel = nullptr;     // "n von m" while a search is applied
    QTimer* SearchTimer = nullptr;          // the pause after the last key
    static constexpr int SearchPause = 150; // ms
    void SearchActionExecute();
    void SearchEditChange();
    void SearchEditEscape(); // clears the search at once, the focus back to the list
    void SearchTimerTimer(); // the pause is over: matching starts
    // Empties the field and lists what the filter lets through ("neue
    // Datenbank", "Datenbank laden" and every other opening).
    void ClearSearch();
    // Whether the list shows `entry`: the filter lets it through and the
    // applied search matches it.
    bool IsListed(const TDataRecord& entry) const;
    // True while a typed search waits for its pause or is being matched.
    bool SearchPending() const;

    // Exchange with spreadsheets (MainFormExchange.cpp): the listed entries
    // in list order to CSV or an Excel workbook, and the import of CSV rows.
    QAction* ImportCsvAction = nullptr;
    QAction* ExportCsvAction = nullptr;
    QAction* ExportXlsxAction = nullptr;
    TFileDialogSlot CsvImportDialog;
    TFileDialogSlot CsvExportDialog; // the filter chooses semicolon or comma
    TFileDialogSlot XlsxExportDialog;
    void ImportCsvActionExecute();
    void ExportCsvActionExecute();
    void ExportXlsxActionExecute();

    // File dialogs, made at their first use and kept between uses.
    TFileDialogSlot SaveDialog;
    TFileDialogSlot OpenDialog;

    // Fixed sizes and times of the window (its first-start layout is
    // WindowConfiguration::FirstStart()).
    static constexpr int ListPanelMinWidth = 150;
    static constexpr int DetailPanelMinWidth = 253;
    static constexpr int SplitterWidth = 3;
    static constexpr int ToolTipTime = 10000; // how long a tooltip stays visible

    // Window geometry: the client area below the menu bar, the detail panel's
    // width as the splitter places it (or will, while hidden), the centring.
    int ClientHeight() const;
    void SetClientHeight(int height);
    int DetailWidth() const;
    void SetDetailWidth(int width);
    // Moves the window's frame to the centre of its screen's available area.
    void CenterOnScreen();

    // Record list (MainFormList.cpp).
    void RebuildList();
    void ClearList();
    // Refills `item` from `entry` and moves it to its sorted place; returns its new row.
    int FillListItem(int item, TDataRecord* entry);
    // Appends a new item for `entry` at its sorted place; returns its row.
    int AddListItem(TDataRecord* entry);
    void RemoveListItem(int item);
    void RebuildColumns();
    void ShowSelectedRecord();
    bool IsFirstItem(int item) const;
    bool IsLastItem(int item) const;
    int SelectNextItem() const;
    int SelectPreviousItem() const;
    int ItemCount() const;
    TDataRecord* ItemRecord(int item) const;
    int CurrentItem() const; // the list's focus item, -1 for none
    void SetCurrentItem(int item);
    // The list's compare callback with the present SortColumn/SortDescending.
    int ListViewCompare(const TDataRecord& e1, const TDataRecord& e2) const;
    void LoadValueBoxes(); // copies of the three value lists into the combo boxes
    void FirstItemActionExecute();
    void LastItemActionExecute();
    void NextItemActionExecute();
    void PreviousItemActionExecute();
    void ListViewSelectItem();
    void ListViewColumnClick(int position);
    void colLanguageItemClick();
    void colTypeItemClick();
    void colProjectItemClick();
    void colDateItemClick();
    void colTimeItemClick();

    // Record editing (MainFormEdit.cpp).
    void SetEditState(bool editing);
    void NewItemActionExecute();
    void ChangeItemActionExecute();
    void DeleteItemActionExecute();
    void OkButtonClick();
    void CancelButtonClick();
    void EnterEditElement(); // the focus entered one of the panel's input controls
    void DatePickerChange();

    // Filter command (MainFormFilter.cpp); a window without FilterForm makes its own.
    void FilterActionExecute();
    // Lists only the entries of one value of a value list, as the filter
    // dialog does when only that value is ticked in its list (the other lists
    // stay, the mode becomes AND). Nothing happens while an entry is edited
    // or when the list does not hold the value.
    void ShowOnlyValue(TValueList& list, const std::string& value);

    // The analysis window (MainFormAnalysis.cpp): one, not modal, made at its
    // first opening; its place and size go with the window configuration.
    std::unique_ptr<TAnalysisForm> AnalysisForm;
    void AnalysisActionExecute();
    // Stores the analysis window's place when it was opened in this run.
    void StoreAnalysisPlace();

    // Database commands and the close question (MainFormDatabase.cpp).
    enum class TCloseAction { caNone, caFree }; // let the window close, or keep it open
    void NewDataBaseActionExecute();
    void LoadDataBaseActionExecute();
    void ImportDataBaseActionExecute();
    void SaveDataBaseActionExecute();
    void SaveDataBaseAsActionExecute();
    void ExitActionExecute();
    void InfoActionExecute();
    // Runs on every close of the window; `action` arrives as caFree, caNone keeps it open.
    void FormClose(TCloseAction& action);

    // Opening from outside the file dialogs (MainFormOpening.cpp).
    // A name of the recent files: opened as "Datenbank laden" opens; a file
    // that is gone is reported and leaves the list.
    void RecentFileItemClick(const std::string& file);
    // Whether the window takes a dropped database now: with Ctrl held a drop
    // imports, else it opens (not while an entry is being edited).
    bool FormDragOver(Qt::KeyboardModifiers modifiers) const;
    // A dropped database: imported with Ctrl, else opened after the question
    // about unsaved changes.
    void FormDragDrop(const QString& file, Qt::KeyboardModifiers modifiers);

    // Start-up, options and shut-down (MainFormStartup.cpp).
    // The rest of the window's creation once the login named the user: the
    // settings store, the caption, the stored layout or the first-start one,
    // the stored database (or `fileName` when one is given), the list and the
    // tooltip time. Throws what the settings store throws; the window can't be
    // used then.
    void FormCreate(const std::string& userName, const std::string& fileName = {});
    // Empties the list, then destroys the settings store (which saves when
    // asked to) and the database.
    void FormDestroy();
    void StoreWindowConfiguration(); // the present layout into UserManager->Configuration
    void SaveOptionItemClick();
    void ConfigItemClick();
    // newSize: the proposed width of DetailPanel, changed to stay in limits.
    void SplitterCanResize(int& newSize, bool& accept) const;

private:
    friend class TSplitterHook;

    // Building the window (MainForm.cpp).
    void createActions();
    void createMenus();
    void createToolBar();
    void createListPanel();
    void createDetailPanel();
    void createFileDialogs();
    void createSplitter();
    void createStopwatch();
    void createSearch();
    void createExchange();
    // Every signal of the window to its handler, in one place.
    void connectHandlers();
    // Connects a signal to a member handler that runs under the general
    // error report, so that no exception crosses Qt's event loop.
    template <class Sender, class Signal, class... Args>
    void connectGuarded(Sender* sender, Signal signal, void (TMainForm::*handler)(Args...));
    // Runs a handler body under the general error report; a failure sets
    // commandFailed_, which the close question reads around its save.
    template <class Body> void runGuarded(Body&& body);

    // Undo (MainFormUndo.cpp): the two actions, and the list and panel
    // following the command layer.
    void createUndoActions();
    void connectUndo();
    void entriesAdded(const std::vector<TDataRecord*>& entries);
    void entriesChanged(const std::vector<TEntryChange>& changes);
    void entriesRemoved(const std::vector<TDataRecord*>& entries);

    // Layout (MainFormStartup.cpp).
    void installSplitterHook();
    // Places and sizes the window, sets the sort order and the columns.
    void applyConfiguration(const WindowConfiguration& record);
    void restoreColumns(const WindowConfiguration& record);

    // List and panel helpers (MainFormList.cpp, MainFormEdit.cpp).
    QAction* columnItem(TColumnKind kind) const;
    void toggleColumn(TColumnKind kind);
    void showListViewPopup(const QPoint& at);
    void setTimeEditHidden(bool hidden);
    // Removes `item`; when it is the current one, the item after it becomes
    // current, else the one before it, else none.
    void removeListItemKeepingNeighbourCurrent(int item);
    void installEditingKeys();
    void panelFocusChanged(QWidget* old, QWidget* now);
    void confirmKeyPressed();

    // Stopwatch (MainFormStopwatch.cpp). The minutes that a new entry starts
    // with: the stopwatch's when it holds time, else 0; the entry's OK then
    // resets it (newEntryStored).
    void changeStopwatch(void (TStopwatch::*command)());
    void restoreStopwatch(); // from the settings store, at start
    int offerStopwatchMinutes();
    void newEntryStored();

    // File dialogs (MainFormDatabase.cpp).
    std::optional<QString> chooseFile(QFileDialog& dialog, const QString& preset);
    // The question about unsaved changes of the close path: Proceed when
    // there are none, after "Nein" and after "Ja" with a successful save; Stay
    // after "Abbrechen" or a save that was cancelled or did not run;
    // SaveFailed when the save raised (its error has been reported).
    enum class TChangesAnswer { Proceed, Stay, SaveFailed };
    TChangesAnswer askToSaveChanges();
    // Before a save to the open file: when someone else wrote the file since
    // it was loaded or saved here, asks whether to take its entries over
    // first (an import), to overwrite it or to cancel. True when the save may go on.
    bool settleChangesOnDisk();

    // Quick search (MainFormSearch.cpp). Matching runs over the listed rows
    // when the new query narrows the applied one (their order is kept), else
    // over the database (then sorted); any change of the list restarts it.
    void startSearchScan();
    void searchSlice();
    void applySearchScan();
    void listChangedDuringSearch();
    void showSearchCount();
    // Exchange (MainFormExchange.cpp): the listed entries in list order.
    std::vector<const TDataRecord*> listedEntries() const;

    // Opening (MainFormOpening.cpp). Opens `file` as "Datenbank laden" does,
    // without refilling the list; a file that loaded without an error joins
    // the recent files. Returns whether it did.
    bool openDataBase(const std::string& file);
    // Adds the entries of a database file as one step; FileName stays.
    void importDataBase(const std::string& file);

    // Where the analysis window opens first (MainFormAnalysis.cpp).
    QPoint besideTheWindow(const QSize& size) const;
    // The file named on the command line, in place of the stored database.
    void openAtStart(const std::string& file);

    int plannedDetailWidth_ = 0;     // DetailWidth while the splitter is hidden
    bool commandFailed_ = false;     // see runGuarded
    bool loadFailed_ = false;        // the database reported a load error
    bool closeQuestionDone_ = false; // ExitActionExecute closes after its own question
    QString lastFolder_;             // the folder of the file chosen last in a file dialog
    // The description as ShowSelectedRecord put it into the field: a change
    // that leaves it so keeps the entry's bytes.
    QString shownDescription_;
    bool centreFrame_ = false;            // a first start's centring waits for the frame
    QList<QAction*> stopwatchBarActions_; // SplitButton3 and StopwatchButton on the toolbar
    bool stopwatchOffered_ = false;       // the new entry being edited took the stopwatch's minutes
    search::Query searchQuery_;           // the search the list shows
    search::Query scanQuery_;             // the search being matched
    bool scanning_ = false;
    bool scanFromList_ = false; // over the listed rows, else over the database
    bool applyingSearch_ = false;
    std::size_t scanNext_ = 0;
    std::vector<TDataRecord*> scanFound_;
    QTimer* searchSliceTimer_ = nullptr;
    QAction* searchCountAction_ = nullptr; // SearchCountLabel on the toolbar

    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
};

// Defined here, where every file of the window sees them: a template that is
// only declared would link only where the compiler happens to emit it.
template <class Body> void TMainForm::runGuarded(Body&& body) {
    bool failed = true;
    ErrorReport::Guard(this, [&] {
        std::forward<Body>(body)();
        failed = false;
    });
    if (failed)
        commandFailed_ = true;
}

template <class Sender, class Signal, class... Args>
void TMainForm::connectGuarded(Sender* sender, Signal signal, void (TMainForm::*handler)(Args...)) {
    connect(sender, signal, this,
            [this, handler](Args... args) { runGuarded([&] { (this->*handler)(args...); }); });
}
