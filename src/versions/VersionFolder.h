#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Where the older versions of a database file are kept and how they are
// named. No Qt: the program, mvd and the tests share it.
namespace versions {

// $XDG_DATA_HOME/mavrolin/versions, or ~/.local/share/mavrolin/versions when
// XDG_DATA_HOME is unset or not absolute; empty when no home is known either.
[[nodiscard]] std::string VersionsRoot();

// The full path of a database file as its versions know it: symbolic links
// followed to the file they name, its folder absolute and free of links. The
// file itself need not exist, so that a deleted database keeps its versions.
[[nodiscard]] std::string FullPath(const std::string& databaseFile);

// The folder of a database's versions:
// <root>/<file name without ".mvd">-<12 hex digits of a hash of the full path>;
// empty when VersionsRoot is.
[[nodiscard]] std::string FolderOf(const std::string& databaseFile);

// Creates `folder` and the levels above it that are missing; new levels, the
// folder itself and the versions root are private to their owner (0700).
// 0 or the errno value of the failure.
[[nodiscard]] int MakeFolder(const std::string& folder);

// The file name of a version kept at `micros` (microseconds since 1970, UTC):
// "YYYYMMDD-HHMMSS-uuuuuu.mvd", so that names sort by time.
[[nodiscard]] std::string VersionName(std::int64_t micros);
// The time in a version's file name; nothing for any other name.
[[nodiscard]] std::optional<std::int64_t> TimeOfName(std::string_view name);

} // namespace versions
