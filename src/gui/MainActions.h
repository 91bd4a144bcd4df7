#pragma once

#include <QList>

class QAction;
class QWidget;

// The actions of the main window, with caption, hint, shortcut,
// picture and enabled state, which its menu items and toolbar buttons show.
// Made with the window, whose children they are.
struct TMainActions {
    explicit TMainActions(QWidget* window);
    // The actions belong to the window; a copy would only share its pointers.
    TMainActions(const TMainActions&) = delete;
    TMainActions& operator=(const TMainActions&) = delete;

    QAction* ExitAction = nullptr;
    QAction* NewDataBaseAction = nullptr;
    QAction* LoadDataBaseAction = nullptr;
    QAction* ImportDataBaseAction = nullptr;
    QAction* SaveDataBaseAction = nullptr;
    QAction* SaveDataBaseAsAction = nullptr;
    QAction* RestoreVersionAction = nullptr;
    QAction* FirstItemAction = nullptr;
    QAction* LastItemAction = nullptr;
    QAction* NextItemAction = nullptr;
    QAction* PreviousItemAction = nullptr;
    QAction* NewItemAction = nullptr;
    QAction* ChangeItemAction = nullptr;
    QAction* DeleteItemAction = nullptr;
    QAction* FilterAction = nullptr;
    QAction* InfoAction = nullptr;
    QAction* HandbookAction = nullptr;
    QAction* AnalysisAction = nullptr;
    QAction* UndoAction = nullptr;
    QAction* RedoAction = nullptr;
    QAction* StopwatchAction = nullptr;
    QAction* ResetStopwatchAction = nullptr;
    QAction* SearchAction = nullptr;
    QAction* ImportCsvAction = nullptr;
    QAction* ExportCsvAction = nullptr;
    QAction* ExportXlsxAction = nullptr;
    QAction* ReportAction = nullptr;
    QAction* PrintPreviewAction = nullptr;
    QAction* PrintAction = nullptr;
    // Every action above, in the order of the designed action table; the editing
    // state disables all but ExitAction.
    QList<QAction*> ActionList;
    // The two options items, which are no actions of the table.
    QAction* ConfigItem = nullptr;
    QAction* SaveOptionItem = nullptr;
};
