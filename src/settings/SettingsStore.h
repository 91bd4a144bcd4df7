#pragma once

#include "settings/RegistryKey.h"

#include <QString>
#include <chrono>
#include <functional>

// The per-user settings store on disk: one REGEDIT4 file in the user's
// configuration folder, changed only under an exclusive lock and replaced
// atomically, so that two running instances never lose each other's changes.
namespace settings {

// The one error text of the store, for any key or file that cannot be created,
// read or written.
inline constexpr char RegistryErrorText[] =
    "Fehler beim Bearbeiten der Windows-Registrierdatenbank!";
// Shown when stored settings cannot be used and defaults take their place.
inline constexpr char InvalidValuesWarning[] =
    "Die Windows-Registrierdatenbank enthält ungültige Werte. Es werden die "
    "Standardeinstellungen restauriert.";

// Throws std::runtime_error(RegistryErrorText).
[[noreturn]] void ThrowRegistryError();

class SettingsStore {
public:
    using Warn = std::function<void(const QString& text)>;
    // Returns true when the tree was changed and must be written back.
    using Change = std::function<bool(RegKey& root)>;

    // filePath: the settings file; its folder is created when missing.
    explicit SettingsStore(QString filePath = DefaultFilePath(), Warn warn = {});

    // <configuration folder>/Mavrolin/registry.reg, the configuration folder
    // being $XDG_CONFIG_HOME (normally ~/.config) as Qt reports it now.
    static QString DefaultFilePath();
    const QString& FilePath() const { return filePath_; }
    QString LockFilePath() const { return filePath_ + QStringLiteral(".lock"); }

    // How long Update waits for another instance to release the lock before
    // it gives up with the registry error.
    void SetLockTimeout(std::chrono::milliseconds timeout) { lockTimeout_ = timeout; }

    // Locks the store, reads the file afresh, runs change on the tree and, when
    // change returns true, replaces the file atomically; then unlocks. A file
    // that cannot be parsed is renamed aside (<file>.invalid-<time>), the warning
    // InvalidValuesWarning is given and change starts from an empty tree.
    // Warnings are given after the lock is released. Throws the registry error
    // when the folder, the lock or the file cannot be created, read or written;
    // exceptions thrown by change pass through (nothing is written then).
    void Update(const Change& change);

    // A snapshot of the stored tree (same rules as Update, writes nothing).
    RegKey Read();

private:
    QString filePath_;
    Warn warn_;
    std::chrono::milliseconds lockTimeout_{10000};
};

} // namespace settings
