#pragma once

#include "exchange/Columns.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

// The header line of an imported CSV file: which separator it uses and which
// field holds which column.
namespace exchange {

// The separator among semicolon, comma and tab that the header line uses most
// (semicolon on a tie, or when there is none).
char DetectSeparator(std::string_view firstLine);

struct HeaderColumns {
    std::array<std::optional<std::size_t>, ColumnCount> field; // field index of each column
    std::size_t fieldCount = 0;
};

// Matches the header names without regard to letter case, blanks around them
// or order, in German or English; other names are ignored. Refuses (German
// message) a header without Sprache, Kategorie or Projekt, or with a column
// twice.
std::variant<HeaderColumns, std::string> MatchHeader(std::span<const std::string> names);

} // namespace exchange
