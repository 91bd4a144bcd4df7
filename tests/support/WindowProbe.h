#pragma once

// Reads and drives the main window the way a test needs: its widgets and
// actions by object name, its parts (document, list, detail panel, search,
// stopwatch), and a database filled as a load would leave it.

#include "commands/DataBaseCommands.h"
#include "core/DataBase.h"
#include "gui/AnalysisForm.h"
#include "gui/DatePicker.h"
#include "gui/Document.h"
#include "gui/EntryPanel.h"
#include "gui/ListPrinter.h"
#include "gui/MainForm.h"
#include "gui/Prompt.h"
#include "gui/RecentFilesMenu.h"
#include "gui/RecordListModel.h"
#include "gui/RecordListPanel.h"
#include "gui/SearchBar.h"
#include "gui/StopwatchBar.h"
#include "settings/UserManager.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <initializer_list>
#include <stdexcept>
#include <vector>

class TWindowProbe {
public:
    explicit TWindowProbe(TMainForm& form) : form_(&form) {}

    [[nodiscard]] TMainForm& Form() const { return *form_; }

    // A child of the window by object name; a missing one fails loudly.
    template <class T = QWidget> T* Child(const char* name) const {
        T* child = form_->findChild<T*>(QLatin1String(name));
        if (!child)
            throw std::logic_error(std::string("no child named ") + name);
        return child;
    }
    // A child that exists only after its first use (a file dialog), or null.
    template <class T> T* MadeChild(const char* name) const {
        return form_->findChild<T*>(QLatin1String(name));
    }
    [[nodiscard]] QAction* Action(const char* name) const { return Child<QAction>(name); }
    // The file dialog that `command` shows (made at its first use): made by
    // running the command once with the dialog cancelled, in scripted mode.
    QFileDialog* FileDialog(QAction* command, const char* name) const {
        if (auto* made = MadeChild<QFileDialog>(name))
            return made;
        Prompt::Testing::QueueFile(std::nullopt);
        command->trigger();
        return Child<QFileDialog>(name);
    }

    // The parts.
    [[nodiscard]] TDocument& Document() const { return *Part(document_, "Document"); }
    [[nodiscard]] const TDataBase& DataBase() const { return Document().DataBase(); }
    [[nodiscard]] TDataBaseCommands& Commands() const { return Document().Commands(); }
    [[nodiscard]] TRecordListPanel& List() const { return *Part(list_, "ListPanel"); }
    [[nodiscard]] TEntryPanel& Panel() const { return *Part(panel_, "DetailPanel"); }
    [[nodiscard]] TSearchBar& Search() const { return *Child<TSearchBar>("SearchBar"); }
    [[nodiscard]] TStopwatchBar& StopwatchBar() const {
        return *Child<TStopwatchBar>("StopwatchBar");
    }
    [[nodiscard]] TListPrinter& ListPrinter() const { return *Child<TListPrinter>("ListPrinter"); }
    [[nodiscard]] TAnalysisForm* AnalysisForm() const {
        return MadeChild<TAnalysisForm>("AnalysisForm");
    }

    // The detail panel.
    [[nodiscard]] TEntryPanel* DetailPanel() const { return &Panel(); }
    [[nodiscard]] QComboBox* LanguageBox() const { return Child<QComboBox>("LanguageBox"); }
    [[nodiscard]] QComboBox* TypeBox() const { return Child<QComboBox>("TypeBox"); }
    [[nodiscard]] QComboBox* ProjectBox() const { return Child<QComboBox>("ProjectBox"); }
    [[nodiscard]] QLineEdit* DateEdit() const { return Child<QLineEdit>("DateEdit"); }
    [[nodiscard]] TDatePicker* DatePicker() const { return Child<TDatePicker>("DatePicker"); }
    [[nodiscard]] QSpinBox* TimeEdit() const { return Child<QSpinBox>("TimeEdit"); }
    [[nodiscard]] QPlainTextEdit* DescriptionMemo() const {
        return Child<QPlainTextEdit>("DescriptionMemo");
    }
    [[nodiscard]] QPushButton* OkButton() const { return Child<QPushButton>("OkButton"); }
    [[nodiscard]] QPushButton* CancelButton() const { return Child<QPushButton>("CancelButton"); }
    [[nodiscard]] bool Editing() const { return Panel().Editing(); }
    [[nodiscard]] bool AddingRecord() const { return Panel().AddingRecord(); }

    // The list.
    [[nodiscard]] TRecordListPanel* ListPanel() const { return &List(); }
    [[nodiscard]] QTableView* ListView() const { return Child<QTableView>("ListView"); }
    [[nodiscard]] TRecordListModel* ListModel() const { return &List().Model(); }
    [[nodiscard]] QMenu* ListViewPopup() const { return Child<QMenu>("ListViewPopup"); }
    [[nodiscard]] int ItemCount() const { return List().ItemCount(); }
    [[nodiscard]] TDataRecord* ItemRecord(int item) const { return List().ItemRecord(item); }
    [[nodiscard]] int CurrentItem() const { return List().CurrentItem(); }
    void SetCurrentItem(int item) const { List().SetCurrentItem(item); }
    [[nodiscard]] bool IsFirstItem(int item) const { return List().IsFirstItem(item); }
    [[nodiscard]] bool IsLastItem(int item) const { return List().IsLastItem(item); }
    [[nodiscard]] int SelectNextItem() const { return List().SelectNextItem(); }
    [[nodiscard]] int SelectPreviousItem() const { return List().SelectPreviousItem(); }
    [[nodiscard]] TColumnKind SortColumn() const { return List().SortColumn(); }
    [[nodiscard]] bool SortDescending() const { return List().SortDescending(); }
    [[nodiscard]] const TColumnOrder& ColumnOrder() const { return List().ColumnOrder(); }
    void ListViewColumnClick(int position) const { List().ListViewColumnClick(position); }
    void SetSort(TColumnKind column, bool descending) const { List().SetSort(column, descending); }

    // Menus, toolbar, search and stopwatch.
    [[nodiscard]] QMenu* DataBaseItem() const { return Child<QMenu>("DataBaseItem"); }
    [[nodiscard]] QMenu* ShowItem() const { return Child<QMenu>("ShowItem"); }
    [[nodiscard]] QMenu* DataItem() const { return Child<QMenu>("DataItem"); }
    [[nodiscard]] QMenu* OptionItem() const { return Child<QMenu>("OptionItem"); }
    [[nodiscard]] QMenu* HelpItem() const { return Child<QMenu>("HelpItem"); }
    [[nodiscard]] TRecentFilesMenu* RecentFilesItem() const {
        return Child<TRecentFilesMenu>("RecentFilesItem");
    }
    [[nodiscard]] QToolBar* ToolBar() const { return Child<QToolBar>("ToolBar"); }
    [[nodiscard]] QLineEdit* SearchEdit() const { return Child<QLineEdit>("SearchEdit"); }
    [[nodiscard]] QLabel* SearchCountLabel() const { return Child<QLabel>("SearchCountLabel"); }
    [[nodiscard]] bool SearchPending() const { return Search().Pending(); }
    [[nodiscard]] QToolButton* StopwatchButton() const {
        return Child<QToolButton>("StopwatchButton");
    }
    [[nodiscard]] QTimer* StopwatchTimer() const { return Child<QTimer>("StopwatchTimer"); }

    // The commands.
    QAction* ExitAction() const { return Action("ExitAction"); }
    QAction* NewDataBaseAction() const { return Action("NewDataBaseAction"); }
    QAction* LoadDataBaseAction() const { return Action("LoadDataBaseAction"); }
    QAction* ImportDataBaseAction() const { return Action("ImportDataBaseAction"); }
    QAction* SaveDataBaseAction() const { return Action("SaveDataBaseAction"); }
    QAction* SaveDataBaseAsAction() const { return Action("SaveDataBaseAsAction"); }
    QAction* RestoreVersionAction() const { return Action("RestoreVersionAction"); }
    QAction* FirstItemAction() const { return Action("FirstItemAction"); }
    QAction* LastItemAction() const { return Action("LastItemAction"); }
    QAction* NextItemAction() const { return Action("NextItemAction"); }
    QAction* PreviousItemAction() const { return Action("PreviousItemAction"); }
    QAction* NewItemAction() const { return Action("NewItemAction"); }
    QAction* ChangeItemAction() const { return Action("ChangeItemAction"); }
    QAction* DeleteItemAction() const { return Action("DeleteItemAction"); }
    QAction* FilterAction() const { return Action("FilterAction"); }
    QAction* InfoAction() const { return Action("InfoAction"); }
    QAction* AnalysisAction() const { return Action("AnalysisAction"); }
    QAction* UndoAction() const { return Action("UndoAction"); }
    QAction* RedoAction() const { return Action("RedoAction"); }
    QAction* StopwatchAction() const { return Action("StopwatchAction"); }
    QAction* ResetStopwatchAction() const { return Action("ResetStopwatchAction"); }
    QAction* SearchAction() const { return Action("SearchAction"); }
    QAction* ImportCsvAction() const { return Action("ImportCsvAction"); }
    QAction* ExportCsvAction() const { return Action("ExportCsvAction"); }
    QAction* ExportXlsxAction() const { return Action("ExportXlsxAction"); }
    QAction* ReportAction() const { return Action("ReportAction"); }
    QAction* PrintPreviewAction() const { return Action("PrintPreviewAction"); }
    QAction* PrintAction() const { return Action("PrintAction"); }
    QAction* ConfigItem() const { return Action("ConfigItem"); }
    QAction* SaveOptionItem() const { return Action("SaveOptionItem"); }
    // Every command that the editing state disables, in the command table's order.
    [[nodiscard]] QList<QAction*> ActionList() const {
        QList<QAction*> list;
        for (const char* name :
             {"ExitAction",           "NewDataBaseAction",    "LoadDataBaseAction",
              "ImportDataBaseAction", "SaveDataBaseAction",   "SaveDataBaseAsAction",
              "FirstItemAction",      "LastItemAction",       "NextItemAction",
              "PreviousItemAction",   "NewItemAction",        "ChangeItemAction",
              "DeleteItemAction",     "FilterAction",         "InfoAction",
              "HandbookAction",       "AnalysisAction",       "UndoAction",
              "RedoAction",           "StopwatchAction",      "ResetStopwatchAction",
              "SearchAction",         "ImportCsvAction",      "ExportCsvAction",
              "ExportXlsxAction",     "RestoreVersionAction", "ReportAction",
              "PrintPreviewAction",   "PrintAction"})
            list.append(Action(name));
        return list;
    }

    // Makes `entries` the window's database as opening a file with them
    // would: IDs from 1 in this order, no history, nothing unsaved, no file
    // name. A refused duplicate stays out, as in a load.
    void Fill(const std::vector<TRecordData>& entries) const {
        QTemporaryDir dir;
        TDataBase written;
        for (const TRecordData& entry : entries)
            written.AddRecord(entry);
        written.FileName =
            QFile::encodeName(dir.filePath(QStringLiteral("fill.mvd"))).toStdString();
        written.Save();
        Commands().Open(written.FileName);
        Commands().Name({});
    }
    // Ticks or unticks one value of the filter, with the given mode.
    void SetFilterTick(const TValueList& list, const std::string& value, bool checked,
                       bool andFilter) const {
        const TDataBase& db = DataBase();
        TFilterTicks ticks{Ticks(db.Languages), Ticks(db.ErrorTypes), Ticks(db.Projects),
                           andFilter};
        std::vector<bool>& line = &list == &db.Languages    ? ticks.Languages
                                  : &list == &db.ErrorTypes ? ticks.ErrorTypes
                                                            : ticks.Projects;
        line.at(static_cast<std::size_t>(list.IndexOf(value))) = checked;
        Commands().SetFilter(ticks);
    }

private:
    // A part, looked up once: tests read the list row by row.
    template <class T> T* Part(T*& cached, const char* name) const {
        if (!cached)
            cached = Child<T>(name);
        return cached;
    }
    static std::vector<bool> Ticks(const TValueList& list) {
        std::vector<bool> ticks;
        for (int i = 0; i < list.Count(); ++i)
            ticks.push_back(list.Filter(i).Checked);
        return ticks;
    }

    TMainForm* form_;
    mutable TDocument* document_ = nullptr;
    mutable TRecordListPanel* list_ = nullptr;
    mutable TEntryPanel* panel_ = nullptr;
};

// A main window that a test owns, with the probe's accessors.
class TTestForm : public TMainForm, public TWindowProbe {
public:
    TTestForm() : TWindowProbe(static_cast<TMainForm&>(*this)) {}
};
