#pragma once

#include "ColumnKind.h"
#include "UserManager.h"

#include <QMainWindow>
#include <memory>
#include <optional>

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
class QToolBar;
class QToolButton;
class TAnchors;
class TBevel;
class TDataBase;
class TDataRecord;
class TDatePicker;
class TFilterForm;
class TInfoForm;
class TOptionForm;
class TRecordListModel;
struct WindowConfiguration;

// The program's main window: toolbar, the record list on the left, the detail
// panel on the right, the main menu and the list's column menu.
//
// Files by concern: MainForm.cpp builds the window (actions, menus, toolbar,
// pop-up menu, list, splitter, detail panel); MainFormList.cpp holds the record
// list's operations and handlers; MainFormEdit.cpp the editing state and the
// entry commands; MainFormFilter.cpp the filter command; MainFormDatabase.cpp
// the database commands and the close question; MainFormStartup.cpp the
// window's creation from the stored settings, the options commands and its
// destruction.
//
// A list item is addressed by its row (0 = topmost); -1 means no item. Rows
// change when the list is sorted, so an item's row is valid only until the
// next operation that adds, refills or sorts items.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // --- Data --------------------------------------------------------------
    std::unique_ptr<TDataBase> DataBase;

    // --- List state ----------------------------------------------------------
    TColumnOrder ColumnOrder{ckLanguage, ckType, ckDate, ckNone, ckNone};
    TColumnKind SortColumn = ckNone;
    bool SortDescending = true;
    bool UpdatingPanel = false;

    // --- Commands (caption, hint, shortcut, picture, enabled state) ---------
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
    // Every action above, in the order of the command table.
    QList<QAction*> ActionList;
    // The two options items that are no commands.
    QAction* ConfigItem = nullptr;
    QAction* SaveOptionItem = nullptr;

    // --- Menus, toolbar ------------------------------------------------------
    QMenu* DataBaseItem = nullptr;
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

    // --- List ----------------------------------------------------------------
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

    // --- Detail panel --------------------------------------------------------
    QWidget* DetailPanel = nullptr;
    TAnchors* DetailAnchors = nullptr; // anchoring of the panel's controls
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

    // --- File dialogs (kept between uses) -------------------------------------
    QFileDialog* SaveDialog = nullptr;
    QFileDialog* OpenDialog = nullptr;

    // --- Designed sizes ------------------------------------------------------
    static constexpr int DesignedClientWidth = 639;
    static constexpr int DesignedClientHeight = 420; // toolbar and panels, without the menu bar
    static constexpr int DesignedDetailWidth = 283;
    static constexpr int ListPanelMinWidth = 150;
    static constexpr int DetailPanelMinWidth = 253;
    static constexpr int SplitterWidth = 3;

    // Height of the client area below the menu bar (toolbar and panels).
    int ClientHeight() const;
    void SetClientHeight(int height);
    // Moves the window's frame to the centre of its screen's available area.
    void CenterOnScreen();

    // --- Record list (MainFormList.cpp) ---------------------------------------
    void RebuildList();
    void ClearList();
    // Refills `item` from `entry` (the entry reference and so all its texts)
    // and moves it to its sorted place; returns its new row.
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
    // The current item (the list's focus item), -1 for none.
    int CurrentItem() const;
    void SetCurrentItem(int item);
    // The list's compare callback with the present SortColumn/SortDescending.
    int ListViewCompare(const TDataRecord& e1, const TDataRecord& e2) const;
    // Loads copies of the three value lists into the combo boxes.
    void LoadValueBoxes();

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

    // --- Record editing (MainFormEdit.cpp) ------------------------------------
    bool Editing = false;      // the detail panel is an input form
    bool AddingRecord = false; // the edit was started by the new-entry command
    // Enter (also the keypad's) confirms and Escape abandons, only while editing.
    QShortcut* ReturnKey = nullptr;
    QShortcut* EnterKey = nullptr;
    QShortcut* EscapeKey = nullptr;
    void SetEditState(bool editing);
    void NewItemActionExecute();
    void ChangeItemActionExecute();
    void DeleteItemActionExecute();
    void OkButtonClick();
    void CancelButtonClick();
    // The focus entered one of the panel's input controls.
    void EnterEditElement();
    void DatePickerChange();
    // Wires the editing commands, buttons, keys, date picker and focus guard.
    void connectEditing();
    // --- end of record editing ------------------------------------------------

    // --- Filter command (MainFormFilter.cpp) ----------------------------------
    // Uses FilterForm; a window without one (tests, tools) makes its own.
    void FilterActionExecute();
    void connectFilter();
    // --- end of filter command ------------------------------------------------

    // --- Start-up and shut-down (MainFormStartup.cpp) -------------------------
    // The settings of the logged-in user; from FormCreate to FormDestroy.
    std::unique_ptr<TUserManager> UserManager;
    // The dialogs, created hidden by the program body after the main window
    // and reused for the whole run; the window does not own them.
    TFilterForm* FilterForm = nullptr;
    TInfoForm* InfoForm = nullptr;
    TOptionForm* OptionForm = nullptr;
    // The rest of the window's creation once the login named the user: the
    // settings store, the caption, the stored layout or the first-start
    // defaults, the stored database, the list and the tooltip time. Throws
    // what the settings store throws; the window can't be used then.
    void FormCreate(const std::string& userName);
    // Empties the list, then destroys the settings store (which saves when
    // asked to) and the database.
    void FormDestroy();
    // Copies the present layout into UserManager->Configuration.
    void StoreWindowConfiguration();
    void SaveOptionItemClick();
    void ConfigItemClick();
    // newSize: the proposed width of DetailPanel, changed to stay in limits.
    void SplitterCanResize(int& newSize, bool& accept) const;
    // The designed position of the window (used when nothing is stored).
    static constexpr int DesignedLeft = 259;
    static constexpr int DesignedTop = 143;
    // The time for which a tooltip stays visible.
    static constexpr int ToolTipTime = 10000;
    // Width of DetailPanel as the splitter places it. While the window is
    // hidden the splitter has no real geometry: the width it will get when
    // shown counts then.
    int DetailWidth() const;
    void SetDetailWidth(int width);

private:
    // Shows the record's columns with their widths and ticks their pop-up items.
    void restoreColumns(const WindowConfiguration& record);
    int PlannedDetailWidth = DesignedDetailWidth;
    friend class TSplitterHook;

public:
    // --- end of start-up and shut-down ------------------------------------------

    // --- Database commands (MainFormDatabase.cpp) ------------------------------
    // What the close handler decides: let the window close, or keep it open.
    enum class TCloseAction { caNone, caFree };
    void NewDataBaseActionExecute();
    void LoadDataBaseActionExecute();
    void ImportDataBaseActionExecute();
    void SaveDataBaseActionExecute();
    void SaveDataBaseAsActionExecute();
    void ExitActionExecute();
    void InfoActionExecute();
    // The close question; runs on every close of the window (closeEvent).
    // `action` arrives as caFree; caNone keeps the window open.
    void FormClose(TCloseAction& action);

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void connectDataBaseCommands();
    // Runs a command handler under the general error report; a failure sets
    // CommandFailed, which the close question reads around its save.
    void runDataBaseCommand(void (TMainForm::*handler)());
    bool CommandFailed = false;
    // Set while ExitActionExecute closes the window after its own close question.
    bool CloseQuestionDone = false;
    std::optional<QString> chooseFile(QFileDialog& dialog, const QString& preset);
    // The folder of the file chosen last in a file dialog.
    QString lastFolder_;
    // --- end of database commands ----------------------------------------------

private:
    void createActions();
    void createMenus();
    void createToolBar();
    void createListPanel();
    void createDetailPanel();
    void createFileDialogs();
    QAction* columnItem(TColumnKind kind) const;
    void toggleColumn(TColumnKind kind);
    void setTimeEditHidden(bool hidden);
    // The description as ShowSelectedRecord put it into the field: a change
    // that leaves it so keeps the entry's bytes.
    QString shownDescription_;
    // A first start's centring waits for the window manager's frame.
    bool centreFrame_ = false;
};
