#include "gui/RecentFilesMenu.h"

#include "fileio/FileErrors.h"
#include "gui/ErrorReport.h"
#include "gui/Prompt.h"
#include "settings/RecentFileList.h"
#include "settings/UserManager.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <exception>
#include <filesystem>

namespace {

QString DisplayName(const std::string& file) {
    return QFile::decodeName(QByteArray::fromStdString(file));
}

// "&1 fehler.mvd"; a name that two listed files share gets its folder.
QString Caption(int number, const QString& path, const QStringList& names) {
    const QFileInfo info(path);
    QString text = info.fileName();
    if (names.count(text) > 1)
        text += QStringLiteral(" (%1)").arg(info.path());
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(number).arg(text);
}

} // namespace

TRecentFilesMenu::TRecentFilesMenu(QWidget* parent)
    : QMenu(QStringLiteral("&Zuletzt geöffnet"), parent) {
    setObjectName(QStringLiteral("RecentFilesItem"));
    menuAction()->setObjectName(QStringLiteral("RecentFilesItemAction"));
    menuAction()->setStatusTip(QStringLiteral("öffnet eine der zuletzt verwendeten Datenbanken"));
    setToolTipsVisible(true); // the full path of each file
    ClearItem = new QAction(QStringLiteral("Liste leeren"), this);
    ClearItem->setObjectName(QStringLiteral("ClearRecentFilesItem"));
    ClearItem->setStatusTip(QStringLiteral("leert die Liste der zuletzt verwendeten Datenbanken"));
    ClearItem->setToolTip(ClearItem->statusTip());
    // Not with the menu as receiver: a menu cuts its connections to an
    // action that it lets go, and rebuild() lets go of this one each time.
    connect(ClearItem, &QAction::triggered, ClearItem,
            [this] { ErrorReport::Guard(parentWidget(), [this] { ClearItemClick(); }); });
    rebuild();
}

TRecentFilesMenu::~TRecentFilesMenu() = default;

std::unique_ptr<settings::RecentFileList> TRecentFilesMenu::storedList() {
    if (!userManager_ || !userManager_->Valid)
        return nullptr;
    return std::make_unique<settings::RecentFileList>(*userManager_);
}

template <class Change> void TRecentFilesMenu::changeStored(Change&& change) {
    try {
        if (auto list = storedList())
            files_ = change(*list);
    } catch (const std::exception& error) {
        ErrorReport::Show(parentWidget(), error);
    }
    rebuild();
}

void TRecentFilesMenu::SetUserManager(TUserManager* userManager) {
    userManager_ = userManager;
    files_.clear();
    changeStored([](settings::RecentFileList& list) { return list.Read(); });
}

void TRecentFilesMenu::Refresh() {
    // Quietly: a list that can't be read now keeps what it showed.
    try {
        if (auto list = storedList())
            files_ = list->Read();
    } catch (const std::exception&) {
    }
    rebuild();
}

void TRecentFilesMenu::AddFile(const std::string& file) {
    if (file.empty())
        return;
    files_ = settings::RecentFileList::PutOnTop(std::move(files_), file);
    changeStored([&](settings::RecentFileList& list) { return list.Add(file); });
}

void TRecentFilesMenu::RemoveFile(const std::string& file) {
    files_.erase(std::remove(files_.begin(), files_.end(), file), files_.end());
    changeStored([&](settings::RecentFileList& list) { return list.Remove(file); });
}

void TRecentFilesMenu::ClearItemClick() {
    files_.clear();
    changeStored([](settings::RecentFileList& list) {
        list.Clear();
        return settings::RecentFileList::Files();
    });
}

void TRecentFilesMenu::Forget() {
    files_.clear();
    rebuild();
}

void TRecentFilesMenu::SetItemsEnabled(bool enabled) {
    itemsEnabled_ = enabled;
    menuAction()->setEnabled(itemsEnabled_ && !files_.empty());
}

void TRecentFilesMenu::rebuild() {
    // Later, not now: the item being chosen may be the one that is replaced.
    for (QAction* action : actions()) {
        removeAction(action);
        if (action != ClearItem)
            action->deleteLater();
    }
    QStringList names;
    for (const std::string& file : files_)
        names << QFileInfo(DisplayName(file)).fileName();
    int number = 0;
    for (const std::string& file : files_) {
        const QString path = DisplayName(file);
        QAction* item = addAction(Caption(++number, path, names));
        item->setObjectName(QStringLiteral("RecentFileItem%1").arg(number));
        item->setStatusTip(path);
        item->setToolTip(path);
        connect(item, &QAction::triggered, this, [this, file] { choose(file); });
    }
    if (!files_.empty())
        addSeparator();
    addAction(ClearItem);
    SetItemsEnabled(itemsEnabled_);
}

// A file that is gone is reported and leaves the list; the open database
// stays as it is.
void TRecentFilesMenu::choose(const std::string& file) {
    if (!itemsEnabled_)
        return;
    std::error_code error; // asked of the path's own bytes
    if (!std::filesystem::exists(std::filesystem::path(file), error)) {
        Prompt::Message(parentWidget(), Prompt::Kind::Error,
                        QString::fromUtf8(fileio::FileErrorMessage(ENOENT)), Prompt::Ok);
        RemoveFile(file);
        return;
    }
    emit FileChosen(file);
}
