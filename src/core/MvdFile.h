#pragma once

#include <string>
#include <string_view>

// Telling a database file by its first bytes, the magic text that every
// database file begins with (TDataBase loads and saves the files).

// Whether `bytes` begin like a database file.
[[nodiscard]] bool StartsLikeDataBase(std::string_view bytes);
// Whether the regular file `name` begins like a database file; false when it
// is no regular file or cannot be read.
[[nodiscard]] bool FileStartsLikeDataBase(const std::string& name);
