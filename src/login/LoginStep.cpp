#include "login/LoginStep.h"

#include "login/LoginLibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <dlfcn.h>
#include <vector>

std::string LoggedUserName;

namespace {

// A user name is short; a length beyond this means the library is broken.
constexpr int MaxNameLength = 1 << 16;

// Unloads the library on every path.
class LoadedLibrary {
public:
    explicit LoadedLibrary(const QByteArray& path)
        : handle_(::dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL)) {}
    ~LoadedLibrary() {
        if (handle_)
            ::dlclose(handle_);
    }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    bool IsLoaded() const { return handle_ != nullptr; }
    template <typename Function> Function Lookup(const char* name) const {
        return reinterpret_cast<Function>(::dlsym(handle_, name));
    }

private:
    void* handle_;
};

} // namespace

LoginResult PerformLogin(const std::string& applicationName, const QString& libraryFolder) {
    // Loaded by its full path, so no search path can substitute another library.
    const QByteArray path =
        QFile::encodeName(libraryFolder + QLatin1Char('/') + QLatin1String(login::LibraryFileName));
    LoadedLibrary library(path);
    if (!library.IsLoaded())
        return LoginResult::LibraryMissing;
    const auto startLogin = library.Lookup<StartLoginFunction>(login::StartLoginName);
    const auto getUser = library.Lookup<GetLoggedUserFunction>(login::GetLoggedUserName);
    const auto getLength =
        library.Lookup<GetLoggedUserNameLengthFunction>(login::GetLoggedUserNameLengthName);
    if (!startLogin || !getUser || !getLength)
        return LoginResult::LibraryMissing;

    const bool loggedIn = startLogin(applicationName.c_str(), "login.log");
    const int length = getLength();
    if (length < 0 || length > MaxNameLength)
        return LoginResult::LibraryMissing;
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    getUser(buffer.data());
    buffer.back() = '\0'; // the name ends at the terminator even if the library forgot it
    LoggedUserName = buffer.data();
    return loggedIn ? LoginResult::LoggedIn : LoginResult::Refused;
}

QString LoginLibraryFolder(const QString& programFolder) {
    const QString installed = QDir::cleanPath(programFolder + QLatin1Char('/') +
                                              QLatin1String(login::InstalledLibraryFolder));
    if (QFileInfo::exists(installed + QLatin1Char('/') + QLatin1String(login::LibraryFileName)))
        return installed;
    return programFolder;
}

LoginResult PerformLogin(const std::string& applicationName) {
    return PerformLogin(applicationName,
                        LoginLibraryFolder(QCoreApplication::applicationDirPath()));
}
