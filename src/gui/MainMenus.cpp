#include "gui/MainMenus.h"

#include "gui/FormSetup.h"
#include "gui/MainActions.h"
#include "gui/RecentFilesMenu.h"

#include <QAction>
#include <QFrame>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

TMainMenus::TMainMenus(QMainWindow* window, const TMainActions& actions) {
    QMenuBar* bar = window->menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));
    auto menu = [bar](const char* name, const QString& caption) {
        QMenu* m = bar->addMenu(caption);
        m->setObjectName(QLatin1String(name));
        m->setToolTipsVisible(false);
        return m;
    };
    DataBaseItem = menu("DataBaseItem", QStringLiteral("&Datenbank"));
    DataBaseItem->addActions(
        {actions.NewDataBaseAction, actions.LoadDataBaseAction, actions.SaveDataBaseAction,
         actions.SaveDataBaseAsAction, actions.ImportDataBaseAction, actions.ImportCsvAction,
         actions.ExportCsvAction, actions.ExportXlsxAction, actions.ReportAction});
    DataBaseItem->addSeparator();
    DataBaseItem->addActions({actions.PrintPreviewAction, actions.PrintAction});
    DataBaseItem->addSeparator();
    DataBaseItem->addAction(actions.RestoreVersionAction);
    DataBaseItem->addSeparator();
    RecentFilesItem = new TRecentFilesMenu(window);
    DataBaseItem->addMenu(RecentFilesItem);
    DataBaseItem->addSeparator();
    DataBaseItem->addAction(actions.ExitAction);

    ShowItem = menu("ShowItem", QStringLiteral("&Ansicht"));
    ShowItem->addActions({actions.NextItemAction, actions.PreviousItemAction,
                          actions.FirstItemAction, actions.LastItemAction});
    ShowItem->addSeparator();
    ShowItem->addAction(actions.AnalysisAction);

    DataItem = menu("DataItem", QStringLiteral("&Datensatz"));
    DataItem->addActions({actions.UndoAction, actions.RedoAction});
    DataItem->addSeparator();
    DataItem->addActions(
        {actions.NewItemAction, actions.DeleteItemAction, actions.ChangeItemAction});
    DataItem->addSeparator();
    DataItem->addAction(actions.FilterAction);
    DataItem->addSeparator();
    DataItem->addActions({actions.StopwatchAction, actions.ResetStopwatchAction});

    OptionItem = menu("OptionItem", QStringLiteral("&Optionen"));
    OptionItem->addActions({actions.ConfigItem, actions.SaveOptionItem});

    HelpItem = menu("HelpItem", QStringLiteral("&Hilfe"));
    HelpItem->addActions({actions.HandbookAction, actions.InfoAction});

    ToolBar = new QToolBar(QStringLiteral("ToolBar"), window);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setMovable(false);
    ToolBar->setFloatable(false);
    ToolBar->setIconSize(QSize(16, 16));
    ToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar->setFixedHeight(29);
    ToolBar->setFont(FormFont());
    // A line along the top and the bottom edge, buttons packed without gaps.
    ToolBar->setStyleSheet(QStringLiteral(
        "QToolBar#ToolBar { border: none; border-top: 1px solid palette(mid);"
        " border-bottom: 1px solid palette(mid); spacing: 0px; padding: 0px 1px; }"));
    window->addToolBar(Qt::TopToolBarArea, ToolBar);

    auto button = [this](QAction* action, const char* name) {
        ToolBar->addAction(action);
        auto* b = qobject_cast<QToolButton*>(ToolBar->widgetForAction(action));
        b->setObjectName(QLatin1String(name));
        b->setFixedSize(23, 22);
        b->setAutoRaise(true);
    };
    auto separator = [this](const char* name) {
        auto* line = new QFrame(ToolBar);
        line->setObjectName(QLatin1String(name));
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Sunken);
        line->setFixedSize(10, 22);
        ToolBar->addWidget(line);
    };
    button(actions.FirstItemAction, "FirstButton");
    button(actions.PreviousItemAction, "PreviousButton");
    button(actions.NextItemAction, "NextButton");
    button(actions.LastItemAction, "LastButton");
    separator("SplitButton1");
    button(actions.NewItemAction, "NewButton");
    button(actions.DeleteItemAction, "DeleteButton");
    button(actions.ChangeItemAction, "ChangeButton");
    separator("SplitButton2");
    button(actions.FilterAction, "FilterButton");
}
