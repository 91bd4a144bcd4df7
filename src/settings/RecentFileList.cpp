#include "settings/RecentFileList.h"

#include "settings/UserManager.h"

#include <algorithm>

namespace settings {

RecentFileList::Files RecentFileList::Decode(const RegValue* value) {
    Files files;
    if (!value || value->type != MultiStringType)
        return files;
    for (const QByteArray& name : value->data.split('\0')) {
        if (files.size() == MaxCount)
            break;
        std::string file = name.toStdString();
        if (!file.empty() && std::find(files.begin(), files.end(), file) == files.end())
            files.push_back(std::move(file));
    }
    return files;
}

RegValue RecentFileList::Encode(const Files& files) {
    QByteArray data;
    for (const std::string& file : files) {
        data.append(file.data(), static_cast<qsizetype>(file.size()));
        data.append('\0');
    }
    data.append('\0');
    return {MultiStringType, data};
}

RecentFileList::Files RecentFileList::PutOnTop(Files files, const std::string& file) {
    Files top;
    top.reserve(std::min(files.size() + 1, MaxCount));
    top.push_back(file);
    for (std::string& other : files)
        if (other != file && top.size() < MaxCount)
            top.push_back(std::move(other));
    return top;
}

RecentFileList::Files RecentFileList::update(const std::function<void(Files&)>& change) {
    Files files;
    settings_.UpdateUserKey([&](RegKey& user) {
        if (!user.HasValue(QStringLiteral("options")))
            return false;
        const QString name = QString::fromLatin1(ValueName);
        files = Decode(user.Value(name));
        const Files before = files;
        change(files);
        if (files == before && user.HasValue(name) == !files.empty())
            return false;
        if (files.empty())
            user.DeleteValue(name);
        else
            user.SetValue(name, Encode(files));
        return true;
    });
    return files;
}

RecentFileList::Files RecentFileList::Read() const {
    for (const auto& [name, value] : settings_.ReadUserValues())
        if (name.compare(QLatin1String(ValueName), Qt::CaseInsensitive) == 0)
            return Decode(&value);
    return {};
}

RecentFileList::Files RecentFileList::Add(const std::string& file) {
    if (file.empty())
        return Read();
    return update([&](Files& files) { files = PutOnTop(std::move(files), file); });
}

RecentFileList::Files RecentFileList::Remove(const std::string& file) {
    return update([&](Files& files) {
        files.erase(std::remove(files.begin(), files.end(), file), files.end());
    });
}

void RecentFileList::Clear() {
    update([](Files& files) { files.clear(); });
}

} // namespace settings
