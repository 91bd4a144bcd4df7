#include "versions/VersionList.h"

#include "core/DataBase.h"
#include "versions/VersionFolder.h"
#include "versions/VersionIndex.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace versions {
namespace {

// Loads the version as the program would open it.
void Check(Version& version) {
    TDataBase loaded;
    const LoadReport report = loaded.LoadFromFile(version.path);
    if (report.Error.empty()) {
        version.state = VersionState::Readable;
        version.entries = loaded.Count();
    } else {
        version.state = VersionState::Unreadable;
        version.entries = -1;
    }
}

} // namespace

std::vector<Version> ScanFolder(const std::string& folder) {
    std::vector<Version> found;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return found;
    while (const dirent* entry = ::readdir(dir)) {
        const std::optional<std::int64_t> kept = TimeOfName(entry->d_name);
        struct stat st {};
        if (!kept || ::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode))
            continue;
        Version version;
        version.name = entry->d_name;
        version.path = folder + "/" + version.name;
        version.keptMicros = *kept;
        version.size = static_cast<std::uint64_t>(st.st_size);
        version.changedNs =
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        version.inode = static_cast<std::uint64_t>(st.st_ino);
        found.push_back(std::move(version));
    }
    ::closedir(dir);
    // Names sort by time.
    std::sort(found.begin(), found.end(),
              [](const Version& a, const Version& b) { return a.name > b.name; });
    return found;
}

std::vector<Version> ListVersions(const std::string& databaseFile, const CheckProgress& progress) {
    const std::string folder = FolderOf(databaseFile);
    if (folder.empty())
        return {};
    std::vector<Version> list = ScanFolder(folder);
    const Index stored = ReadIndex(folder);
    std::vector<Version*> unchecked;
    for (Version& version : list) {
        const auto it = stored.find(version.name);
        if (it == stored.end() ||
            !Fits(it->second, version.size, version.changedNs, version.inode)) {
            unchecked.push_back(&version);
            continue;
        }
        version.entries = it->second.entries;
        version.state = version.entries >= 0 ? VersionState::Readable : VersionState::Unreadable;
    }
    if (unchecked.empty())
        return list;
    std::size_t done = 0;
    for (Version* version : unchecked) {
        if (progress && !progress(done, unchecked.size()))
            break;
        Check(*version);
        ++done;
    }
    if (progress)
        (void)progress(done, unchecked.size());
    // Written back with what the listing found: lines of versions that are
    // gone leave it.
    Index index;
    for (const Version& version : list)
        if (version.state != VersionState::Unchecked)
            index[version.name] = {version.size, version.changedNs, version.inode, version.entries};
    (void)WriteIndex(folder, FullPath(databaseFile), index);
    return list;
}

std::optional<Version> FindVersion(const std::string& databaseFile, const std::string& name) {
    const std::string wanted =
        name.size() > 4 && name.compare(name.size() - 4, 4, ".mvd") == 0 ? name : name + ".mvd";
    for (Version& version : ListVersions(databaseFile))
        if (version.name == wanted)
            return std::move(version);
    return std::nullopt;
}

} // namespace versions
