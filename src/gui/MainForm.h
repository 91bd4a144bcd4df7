#pragma once

#include "analysis/Grouping.h"
#include "gui/ErrorReport.h"
#include "gui/FileChooser.h"
#include "gui/FileDialogSlot.h"

#include <QMainWindow>
#include <memory>
#include <string>

class TAnalysisWindow;
struct TMainActions;
struct TMainMenus;
class TPanelSplitter;
class TDocument;
class TEntryPanel;
class TFilterForm;
class TInfoForm;
class TListPrinter;
class TListReport;
class TOptionForm;
class TRecordListPanel;
class TSearchBar;
class TSpreadsheetExchange;
class TStopwatchBar;
class TUserManager;
class TValueList;
struct WindowConfiguration;

// The program's main window: the menu, the toolbar, the record list on the
// left and the detail panel on the right. Its parts own their widgets and
// state (see ARCHITECTURE.md); the window owns the actions, menus, toolbar,
// the database menu's file dialogs and the layout, and wires the parts: each
// handler hands its work to the part that owns it. MainForm.cpp builds and
// wires; MainFormHandlers.cpp the handlers; MainFormView.cpp the list and
// panel following the database; MainFormLayout.cpp start-up, layout, options
// and shut-down.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window with an empty database in the first-start layout.
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // The rest of the window's creation once the login named the user: the
    // settings store, the caption, the stored layout or the first-start one,
    // the stored database (or `fileName` when one is given), the list and the
    // tooltip time. Throws what the settings store throws; the window can't be
    // used then.
    void FormCreate(const std::string& userName, const std::string& fileName = {});
    // Empties the list, then destroys the settings store (which saves when
    // asked to) and releases the database's entries.
    void FormDestroy();
    // The dialogs, created hidden by the program body after the main window
    // and reused for the whole run; the window does not own them. Without a
    // filter dialog the window makes its own at the first use.
    void SetDialogs(TFilterForm* filterForm, TInfoForm* infoForm, TOptionForm* optionForm);

    // The settings of the logged-in user, from FormCreate to FormDestroy.
    [[nodiscard]] TUserManager* UserManager() const { return userManager_.get(); }

    // Fills the list anew from the database: the entries that the filter and
    // the search let through, sorted, the first one current.
    void RebuildList();
    // Shows the current entry in the detail panel and enables the navigation
    // and entry actions accordingly.
    void ShowSelectedRecord();

    // Window geometry: the client area below the menu bar, the detail panel's
    // width as the splitter places it (or will, while hidden), the centring.
    [[nodiscard]] int ClientHeight() const;
    void SetClientHeight(int height);
    [[nodiscard]] int DetailWidth() const;
    void SetDetailWidth(int width);
    // Moves the window's frame to the centre of its screen's available area.
    void CenterOnScreen();
    // The present layout into the user's settings.
    void StoreWindowConfiguration();
    // newSize: the proposed width of the detail panel, changed to stay in limits.
    void SplitterCanResize(int& newSize, bool& accept) const;

    // Fixed sizes and times of the window (its first-start layout is
    // WindowConfiguration::FirstStart()).
    static constexpr int ListPanelMinWidth = 150;
    static constexpr int DetailPanelMinWidth = 253;
    static constexpr int SplitterWidth = 3;
    static constexpr int ToolTipTime = 10000; // how long a tooltip stays visible

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    // Building (MainForm.cpp).
    void createParts();
    void connectHandlers();
    void connectDocument();
    // Connects a signal to a member handler that runs under the general
    // error report; a failure sets actionFailed_, which the close question
    // reads around its save.
    template <class Sender, class Signal, class... Args>
    void connectGuarded(Sender* sender, Signal signal, void (TMainForm::*handler)(Args...));
    template <class Body> void runGuarded(Body&& body);

    // Handlers of the actions (MainFormHandlers.cpp).
    void NewDataBaseActionExecute();
    void LoadDataBaseActionExecute();
    void ImportDataBaseActionExecute();
    void SaveDataBaseActionExecute();
    void SaveDataBaseAsActionExecute();
    void RestoreVersionActionExecute();
    void ExitActionExecute();
    void InfoActionExecute();
    void FirstItemActionExecute();
    void LastItemActionExecute();
    void NextItemActionExecute();
    void PreviousItemActionExecute();
    void NewItemActionExecute();
    void ChangeItemActionExecute();
    void DeleteItemActionExecute();
    void OkButtonClick();
    void CancelButtonClick();
    void FilterActionExecute();
    void AnalysisActionExecute();
    void analysisGroupChosen(analysis::Grouping grouping, const std::string& value);
    void UndoActionExecute();
    void RedoActionExecute();
    void RecentFileItemClick(const std::string& file);
    // Whether the window takes a dropped database now: with Ctrl held a drop
    // imports, else it opens (not while an entry is being edited).
    [[nodiscard]] bool FormDragOver(Qt::KeyboardModifiers modifiers) const;
    // A dropped database: imported with Ctrl, else opened after the question
    // about unsaved changes.
    void FormDragDrop(const QString& file, Qt::KeyboardModifiers modifiers);
    // Lists only the entries of one value (see OnlyValueTicks); not while an
    // entry is edited.
    void ShowOnlyValue(const TValueList& list, const std::string& value);

    // The list and the panel following the database (MainFormView.cpp).
    void SetEditState(bool editing);
    void ListViewSelectItem();
    void ShowUndoState(); // captions naming the step; enabled while there is one
    void listFollowed();
    void dataBaseReplaced();

    // Start-up, layout, options and shut-down (MainFormLayout.cpp).
    enum class TCloseAction { caNone, caFree }; // let the window close, or keep it open
    // Runs on every close of the window; `action` arrives as caFree, caNone keeps it open.
    void FormClose(TCloseAction& action);
    void SaveOptionItemClick();
    void ConfigItemClick();
    // Places and sizes the window, sets the sort order and the columns.
    void applyConfiguration(const WindowConfiguration& record);
    void createSplitter();
    // Stores the analysis window's place when it was opened in this run.
    void storeAnalysisPlace();

    // The parts.
    TDocument* document_ = nullptr;
    std::unique_ptr<TUserManager> userManager_; // from FormCreate to FormDestroy
    TRecordListPanel* listPanel_ = nullptr;
    TEntryPanel* detailPanel_ = nullptr;
    TSearchBar* searchBar_ = nullptr;
    TStopwatchBar* stopwatchBar_ = nullptr;
    TSpreadsheetExchange* exchange_ = nullptr;
    TListPrinter* printer_ = nullptr; // "Drucken...", "Druckvorschau..."
    TListReport* report_ = nullptr;   // "Bericht..."
    TAnalysisWindow* analysisWindow_ = nullptr;
    TFilterForm* filterForm_ = nullptr;
    TInfoForm* infoForm_ = nullptr;
    TOptionForm* optionForm_ = nullptr;

    // The actions, which the menus and the toolbar show.
    std::unique_ptr<TMainActions> actions_;
    // The menus and the toolbar, which show them.
    std::unique_ptr<TMainMenus> menus_;
    TPanelSplitter* splitter_ = nullptr;

    // The file dialogs of the database menu, made at their first use
    // and kept between uses.
    TFileDialogSlot saveDialog_;
    TFileDialogSlot openDialog_;
    TFileChooser fileChooser_;

    bool updatingPanel_ = false;     // ShowSelectedRecord is filling the panel
    bool actionFailed_ = false;      // see runGuarded
    bool closeQuestionDone_ = false; // ExitActionExecute closes after its own question
    bool centreFrame_ = false;       // a first start's centring waits for the frame
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
        actionFailed_ = true;
}

template <class Sender, class Signal, class... Args>
void TMainForm::connectGuarded(Sender* sender, Signal signal, void (TMainForm::*handler)(Args...)) {
    connect(sender, signal, this,
            [this, handler](Args... args) { runGuarded([&] { (this->*handler)(args...); }); });
}
