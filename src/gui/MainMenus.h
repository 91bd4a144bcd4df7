#pragma once

class QMainWindow;
class QMenu;
class QToolBar;
class TRecentFilesMenu;
struct TMainActions;

// The main menu and the toolbar of the main window, which show its actions:
// menu items in menu order (the order in which shortcuts are looked up),
// toolbar buttons with pictures only. Made with the window, whose children
// they are.
struct TMainMenus {
    TMainMenus(QMainWindow* window, const TMainActions& actions);
    // The menus belong to the window; a copy would only share its pointers.
    TMainMenus(const TMainMenus&) = delete;
    TMainMenus& operator=(const TMainMenus&) = delete;

    QMenu* DataBaseItem = nullptr;
    TRecentFilesMenu* RecentFilesItem = nullptr; // "&Zuletzt geöffnet", in DataBaseItem
    QMenu* ShowItem = nullptr;
    QMenu* DataItem = nullptr;
    QMenu* OptionItem = nullptr;
    QMenu* HelpItem = nullptr;
    QToolBar* ToolBar = nullptr;
};
