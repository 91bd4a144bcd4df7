#include "versions/VersionFolder.h"

#include "fileio/PathUtil.h"
#include "versions/StepFaults.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace versions {
namespace {

constexpr std::size_t kNameBytes = 100;      // of the database's name in its folder's name
constexpr std::size_t kVersionNameSize = 26; // "YYYYMMDD-HHMMSS-uuuuuu.mvd"

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir && *found->pw_dir == '/')
        return found->pw_dir;
    return {};
}

// FNV-1a: stable across runs and builds, so a database finds its folder again.
std::uint64_t PathHash(const std::string& path) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const char c : path) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ull;
    }
    return hash;
}

// At most `limit` bytes of `name`, not cut inside a UTF-8 character.
std::string CutName(const std::string& name, std::size_t limit) {
    if (name.size() <= limit)
        return name;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80)
        --end;
    return name.substr(0, end);
}

bool EndsWithMvd(const std::string& name) {
    if (name.size() <= 4)
        return false;
    std::string suffix = name.substr(name.size() - 4);
    for (char& c : suffix)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return suffix == ".mvd";
}

int MakeLevel(const std::string& path) {
    if (::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST)
        return 0;
    return errno;
}

// A folder of one's own that others may enter is closed to them.
int MakePrivate(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return errno;
    if (!S_ISDIR(st.st_mode))
        return ENOTDIR;
    if ((st.st_mode & 077) != 0 && st.st_uid == ::geteuid() && ::chmod(path.c_str(), 0700) != 0)
        return errno;
    return 0;
}

} // namespace

std::string VersionsRoot() {
    std::string data;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
        data = xdg;
    else if (std::string home = HomeFolder(); !home.empty())
        data = home + "/.local/share";
    else
        return {};
    while (data.size() > 1 && data.back() == '/')
        data.pop_back();
    return data + "/mavrolin/versions";
}

std::string FullPath(const std::string& databaseFile) {
    std::string file = databaseFile;
    try {
        file = fileio::ResolveLinks(databaseFile);
    } catch (...) {
        // A loop of links: the name as given.
    }
    const auto slash = file.rfind('/');
    const std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
    const std::string folder = fileio::DirectoryOf(file);
    char resolved[PATH_MAX];
    std::string absolute;
    if (::realpath(folder.c_str(), resolved))
        absolute = resolved;
    else if (!folder.empty() && folder[0] == '/')
        absolute = folder;
    else if (char* cwd = ::getcwd(resolved, sizeof resolved))
        absolute = std::string(cwd) + (folder == "." ? "" : "/" + folder);
    else
        absolute = folder;
    return absolute == "/" ? "/" + name : absolute + "/" + name;
}

std::string FolderOf(const std::string& databaseFile) {
    const std::string root = VersionsRoot();
    if (root.empty())
        return {};
    const std::string full = FullPath(databaseFile);
    std::string name = full.substr(full.rfind('/') + 1);
    if (EndsWithMvd(name))
        name.resize(name.size() - 4);
    char hash[16];
    std::snprintf(hash, sizeof hash, "%012llx",
                  static_cast<unsigned long long>(PathHash(full) >> 16));
    return root + "/" + CutName(name, kNameBytes) + "-" + hash;
}

int MakeFolder(const std::string& folder) {
    if (const int err = InjectedFault(Step::Folder))
        return err;
    if (folder.empty() || folder[0] != '/')
        return ENOENT;
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & 077) == 0)
        return 0; // made before, as every save after the first finds it
    for (std::size_t pos = 1; pos <= folder.size(); ++pos)
        if (pos == folder.size() || folder[pos] == '/')
            if (const int err = MakeLevel(folder.substr(0, pos)))
                return err;
    if (const int err = MakePrivate(fileio::DirectoryOf(folder)))
        return err;
    return MakePrivate(folder);
}

std::string VersionName(std::int64_t micros) {
    const std::time_t seconds = static_cast<std::time_t>(micros / 1000000);
    std::tm utc{};
    ::gmtime_r(&seconds, &utc);
    char name[64];
    std::snprintf(name, sizeof name, "%04d%02d%02d-%02d%02d%02d-%06lld.mvd", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  static_cast<long long>(micros % 1000000));
    return name;
}

std::optional<std::int64_t> TimeOfName(std::string_view name) {
    if (name.size() != kVersionNameSize || name.substr(22) != ".mvd" || name[8] != '-' ||
        name[15] != '-')
        return std::nullopt;
    auto number = [&](std::size_t at, std::size_t digits) -> std::optional<int> {
        int value = 0;
        for (std::size_t i = at; i < at + digits; ++i) {
            if (name[i] < '0' || name[i] > '9')
                return std::nullopt;
            value = value * 10 + (name[i] - '0');
        }
        return value;
    };
    const auto year = number(0, 4), month = number(4, 2), day = number(6, 2);
    const auto hour = number(9, 2), minute = number(11, 2), second = number(13, 2);
    const auto micros = number(16, 6);
    if (!year || !month || !day || !hour || !minute || !second || !micros || *month < 1 ||
        *month > 12 || *day < 1 || *day > 31 || *hour > 23 || *minute > 59 || *second > 60)
        return std::nullopt;
    std::tm utc{};
    utc.tm_year = *year - 1900;
    utc.tm_mon = *month - 1;
    utc.tm_mday = *day;
    utc.tm_hour = *hour;
    utc.tm_min = *minute;
    utc.tm_sec = *second;
    return static_cast<std::int64_t>(::timegm(&utc)) * 1000000 + *micros;
}

} // namespace versions
