#pragma once

#include "settings/SettingsStore.h"
#include "versions/Keeper.h"

#include <QString>
#include <string>

class TUserManager;

// Whether saves keep older versions of the database, and how many bytes of
// them per database, in the user's key of the settings store: "keep
// versions" (32-bit integer, 1 or 0) and "versions limit" (64-bit integer,
// bytes). Written at once when the options change, so that mvd follows them;
// a missing or unusable value gives its default (on, 1 GiB). Switching the
// versions off keeps those already kept.
namespace settings {

inline constexpr char KeepVersionsValue[] = "keep versions";
inline constexpr char VersionsLimitValue[] = "versions limit";

// Throws the registry error when the store can't be read.
versions::Policy LoadVersionPolicy(const TUserManager& user);
// Writes at once; nothing while the user's settings are not valid. Throws the
// registry error.
void SaveVersionPolicy(TUserManager& user, const versions::Policy& policy);

// For mvd, which logs nobody in: the policy of `userName` in the store file
// `filePath`, read without the store's lock and without changing anything
// (the store replaces its file atomically, so a read sees one whole state).
// The defaults when the file, the key or a value is missing or unusable.
versions::Policy ReadVersionPolicy(const std::string& userName,
                                   const QString& filePath = SettingsStore::DefaultFilePath());

} // namespace settings
