#pragma once

#include <QMenu>
#include <memory>
#include <string>
#include <vector>

class TUserManager;
namespace settings {
class RecentFileList;
}

// The submenu "&Zuletzt geöffnet" of the menu "&Datenbank": the databases
// opened or saved last, most recent first, numbered 1 to 8 with access keys,
// the full path as status tip and tooltip, then a separator and "Liste
// leeren". Choosing a name emits FileChosen; the main window opens it.
//
// While the user's settings may be written (TUserManager::Valid) the list
// lives in the settings store and Refresh reads it afresh, so that files a
// second window used show up. Without a store, or after the settings were
// deleted in this run, it lives in memory only. A store that fails is
// reported with the general error report and never stops the action that
// opened or saved the file.
class TRecentFilesMenu : public QMenu {
    Q_OBJECT
public:
    explicit TRecentFilesMenu(QWidget* parent);
    ~TRecentFilesMenu() override;

    // The list's store: the user's settings, or none. Reads the stored list.
    void SetUserManager(TUserManager* userManager);
    // Reads the stored list again (when the settings may be written).
    void Refresh();
    // The names listed, most recent first (native path bytes).
    const std::vector<std::string>& Files() const { return files_; }

    // A database was opened or saved under `file`: it goes on top.
    void AddFile(const std::string& file);
    void RemoveFile(const std::string& file);
    // The settings were deleted: the list is empty and nothing is written.
    void Forget();
    // The submenu can be used when `enabled` (it follows the load action)
    // and something is listed.
    void SetItemsEnabled(bool enabled);

    // "Liste leeren".
    QAction* ClearItem = nullptr;
    void ClearItemClick();

signals:
    // A listed file that exists was chosen while the menu can be used.
    void FileChosen(const std::string& file);

private:
    // The stored list, or nothing when the list lives in memory.
    std::unique_ptr<settings::RecentFileList> storedList();
    // Runs a change of the stored list; a failure is reported and the list
    // shown stays as it was.
    template <class Change> void changeStored(Change&& change);
    void rebuild();
    void choose(const std::string& file);

    TUserManager* userManager_ = nullptr;
    std::vector<std::string> files_;
    bool itemsEnabled_ = true;
};
