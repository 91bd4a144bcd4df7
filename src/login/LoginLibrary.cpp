// The login library: logs in the operating-system account that runs the
// program, notes the login in the user's state folder and shows nothing.

#include "login/LoginLibrary.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#define LOGIN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::string loggedUser;

std::string AccountName() {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_name && *found->pw_name)
        return found->pw_name;
    // An account without a passwd entry (common in containers) is known by its
    // number.
    return std::to_string(::getuid());
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir)
        return found->pw_dir;
    return {};
}

// $XDG_STATE_HOME/Mavrolin, normally ~/.local/state/Mavrolin; created when
// missing. Empty when there is no usable folder.
std::string LogFolder() {
    std::string state;
    if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg && *xdg == '/')
        state = xdg;
    else if (std::string home = HomeFolder(); !home.empty())
        state = home + "/.local/state";
    else
        return {};
    std::string folder = state + "/Mavrolin";
    // mkdir -p, each level private to the user as the XDG rules ask.
    for (std::size_t pos = 1; pos <= folder.size(); ++pos) {
        if (pos == folder.size() || folder[pos] == '/') {
            const std::string part = folder.substr(0, pos);
            if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
                return {};
        }
    }
    return folder;
}

// Only the file name part of the log name is used: the log never lands in the
// working folder or anywhere else.
std::string LogFileName(const char* requested) {
    std::string name = requested ? requested : "";
    if (const auto slash = name.rfind('/'); slash != std::string::npos)
        name.erase(0, slash + 1);
    if (name.empty() || name == "." || name == "..")
        name = "login.log";
    return name;
}

void AppendLogLine(const std::string& path, const std::string& application,
                   const std::string& user) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%d.%m.%Y\t%H:%M:%S", &local);
    const std::string line = std::string(stamp) + '\t' + application + '\t' + user + '\n';
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    // One write with O_APPEND keeps lines of concurrent logins whole.
    [[maybe_unused]] const ssize_t written = ::write(fd, line.data(), line.size());
    ::close(fd);
}

} // namespace

LOGIN_EXPORT bool StartLogin(const char* applicationName, const char* logFileName) {
    try {
        loggedUser = AccountName();
        // The log is a record, not a condition of the login: a log that cannot
        // be written does not refuse the user.
        if (const std::string folder = LogFolder(); !folder.empty())
            AppendLogLine(folder + '/' + LogFileName(logFileName),
                          applicationName ? applicationName : "", loggedUser);
        return true;
    } catch (...) {
        loggedUser.clear();
        return false;
    }
}

LOGIN_EXPORT int GetLoggedUserNameLength() {
    return static_cast<int>(loggedUser.size());
}

LOGIN_EXPORT void GetLoggedUser(char* buffer) {
    if (!buffer)
        return;
    std::memcpy(buffer, loggedUser.c_str(), loggedUser.size() + 1);
}
