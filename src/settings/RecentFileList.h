#pragma once

#include "settings/RegistryKey.h"

#include <functional>
#include <string>
#include <vector>

class TUserManager;

namespace settings {

// The databases opened or saved last, most recent first, kept in the user's
// key as the value "recent": a REG_MULTI_SZ of native path bytes (each name
// followed by a zero, one more zero at the end).
//
// Every change goes through TUserManager::UpdateUserKey: it locks the store,
// reads the stored list afresh, changes it and writes it back, so that two
// running instances never drop each other's entries, and it writes nothing
// while the settings are not Valid. A user's key without "options" holds no
// settings (another instance deleted them): it is left as it is, since a key
// holding nothing but this value would look like damaged settings at the next
// start.
class RecentFileList {
public:
    using Files = std::vector<std::string>;
    static constexpr std::size_t MaxCount = 8;
    static constexpr std::uint32_t MultiStringType = 7; // REG_MULTI_SZ
    static constexpr char ValueName[] = "recent";

    explicit RecentFileList(TUserManager& settings) : settings_(settings) {}

    // The stored list; empty when the key or the value is missing or the
    // value is not a REG_MULTI_SZ.
    Files Read() const;
    // Puts `file` on top (moving it there when it is listed already), keeps
    // at most MaxCount names and returns the new list.
    Files Add(const std::string& file);
    // Takes `file` out and returns the new list.
    Files Remove(const std::string& file);
    // Deletes the value.
    void Clear();

    // The list a stored value holds: empty names and repeats are skipped, at
    // most MaxCount names are taken.
    static Files Decode(const RegValue* value);
    static RegValue Encode(const Files& files);
    static Files PutOnTop(Files files, const std::string& file);

private:
    // Runs `change` on the stored list and writes the result back when it
    // differs; returns the list as it stands afterwards.
    Files update(const std::function<void(Files&)>& change);

    TUserManager& settings_;
};

} // namespace settings
