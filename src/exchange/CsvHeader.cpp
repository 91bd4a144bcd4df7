#include "exchange/CsvHeader.h"

#include <algorithm>
#include <vector>

namespace exchange {

namespace {

constexpr Column Required[] = {Column::Language, Column::Category, Column::Project};

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) {
                   return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
               };
               return lower(x) == lower(y);
           });
}

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::optional<std::size_t> ColumnOf(std::string_view name) {
    for (std::size_t i = 0; i < ColumnCount; ++i)
        if (SameName(name, GermanHeaders[i]) || SameName(name, EnglishHeaders[i]))
            return i;
    return std::nullopt;
}

std::string Named(std::size_t column) {
    return "\u201E" + std::string(GermanHeaders[column]) + "\u201C";
}

} // namespace

char DetectSeparator(std::string_view firstLine) {
    char best = ';';
    std::ptrdiff_t most = 0;
    for (char candidate : {';', ',', '\t'}) {
        const std::ptrdiff_t count = std::count(firstLine.begin(), firstLine.end(), candidate);
        if (count > most) {
            most = count;
            best = candidate;
        }
    }
    return best;
}

std::variant<HeaderColumns, std::string> MatchHeader(std::span<const std::string> names) {
    HeaderColumns header;
    header.fieldCount = names.size();
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto column = ColumnOf(Trimmed(names[i]));
        if (!column)
            continue;
        if (header.field[*column])
            return "Die Spalte " + Named(*column) + " steht mehrfach in der Kopfzeile.";
        header.field[*column] = i;
    }
    std::vector<std::string> missing;
    for (Column column : Required)
        if (!header.field[static_cast<std::size_t>(column)])
            missing.push_back(Named(static_cast<std::size_t>(column)));
    if (missing.empty())
        return header;
    if (missing.size() == 1)
        return "In der Kopfzeile fehlt die Spalte " + missing.front() + ".";
    std::string list = missing.front();
    for (std::size_t i = 1; i + 1 < missing.size(); ++i)
        list += ", " + missing[i];
    return "In der Kopfzeile fehlen die Spalten " + list + " und " + missing.back() + ".";
}

} // namespace exchange
