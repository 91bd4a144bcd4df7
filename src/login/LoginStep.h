#pragma once

#include <QString>
#include <string>

// The login at program start: loads the login library by file name from the
// program's private library folder (or, in the build folder, from beside the
// program), lets it log the user in and takes the user's name.

// The user name the login delivered (UTF-8); empty until PerformLogin ran.
extern std::string LoggedUserName;

enum class LoginResult {
    LoggedIn,       // the library accepted the login
    Refused,        // the library refused it; the program ends without a message
    LibraryMissing, // no usable library: show the fatal box below, then end
};

namespace login {
// The system message box shown for LoginResult::LibraryMissing (UTF-8).
inline constexpr char MissingLibraryText[] =
    "Fehler: Korrekte Login.dll nicht gefunden - Login nicht möglich.";
inline constexpr char MissingLibraryCaption[] = "Fataler Fehler";
// Where an installation keeps the library, relative to the program's folder
// (bin/../lib/mavrolin); never a folder of the system's library search path.
inline constexpr char InstalledLibraryFolder[] = MAVROLIN_LOGIN_FOLDER_FROM_PROGRAM;
} // namespace login

// The folder to load the login library from, for a program in programFolder:
// the installation's private folder when the library is there, otherwise the
// program's own folder, where the build puts it.
QString LoginLibraryFolder(const QString& programFolder);

// Loads <libraryFolder>/libLogin.so, calls StartLogin(applicationName,
// "login.log"), then, whatever its result, takes the name through
// GetLoggedUserNameLength and GetLoggedUser into LoggedUserName, and unloads
// the library. A library that cannot be loaded, lacks an entry point or
// reports a negative or absurd name length gives LibraryMissing.
LoginResult PerformLogin(const std::string& applicationName, const QString& libraryFolder);

// Same, from LoginLibraryFolder(QCoreApplication::applicationDirPath())
// (needs the application object).
LoginResult PerformLogin(const std::string& applicationName);
