#pragma once

#include "settings/RegistryKey.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// The settings of one user between runs: the database to reopen, the 52-byte
// window configuration record (opaque here) and three option flags, kept in the
// per-user settings store under Software\Orbelon\Mavrolin\<UserName>.
namespace settings {
class SettingsStore;
}

class TUserManager {
public:
    static constexpr std::size_t ConfigurationSize = 52;
    // Shows a warning to the user (UTF-8 text; the GUI shows a "Warnung" box).
    using WarningReporter = std::function<void(const std::string& text)>;

    // Stores the name, runs Load and sets Valid to its result. Raises
    // std::runtime_error("Fehler beim Bearbeiten der Windows-Registrierdatenbank!")
    // when the store cannot be read or written.
    explicit TUserManager(std::string userName, WarningReporter warn = {});
    // Saves first when Valid and SaveOnExit are both set.
    ~TUserManager();
    TUserManager(const TUserManager&) = delete;
    TUserManager& operator=(const TUserManager&) = delete;

    std::string UserName;     // UTF-8, as the login step delivered it
    std::string DataBaseName; // native path bytes, as the database holds them
    std::array<std::uint8_t, ConfigurationSize> Configuration{};
    bool Valid = false;
    bool SaveOnExit = false;
    bool SaveContents = false;
    bool SaveWindowConfig = false;

    bool Load();
    void Save();
    void DeleteSettings();

    // Values of their own in the user's key that are written at once, not by
    // Save (the stopwatch). `change` runs on the user's key under the store's
    // lock and the file is written when it returns true; nothing is written
    // while Valid is false, so that deleted settings stay deleted in this run.
    void UpdateUserKey(const std::function<bool(settings::RegKey& key)>& change);
    // The values of the user's key as stored now; none when there is no key.
    std::vector<std::pair<QString, settings::RegValue>> ReadUserValues() const;

private:
    void report(const std::string& text) const;

    WarningReporter warn_;
    std::unique_ptr<settings::SettingsStore> store_;
};
