#pragma once

#include <array>
#include <cstddef>

// The six columns of an exchanged entry table, in the order in which exports
// write them, with the header names that an import accepts.
namespace exchange {

enum class Column : std::size_t { Language, Category, Project, Date, Minutes, Description };
inline constexpr std::size_t ColumnCount = 6;

// The headers that exports write (UTF-8, all ASCII).
inline constexpr std::array<const char*, ColumnCount> GermanHeaders = {
    "Sprache", "Kategorie", "Projekt", "Datum", "Aufwand", "Beschreibung"};
// Accepted on import as well.
inline constexpr std::array<const char*, ColumnCount> EnglishHeaders = {
    "Language", "Category", "Project", "Date", "Minutes", "Description"};

} // namespace exchange
