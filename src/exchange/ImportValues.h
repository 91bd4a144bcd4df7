#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

// The Datum and Aufwand cells of an imported row (UTF-8). Blanks around a value are
// ignored; an empty cell is a date that is no calendar day, or 0 minutes.
namespace exchange {

// Why a cell was refused (German, for the import report).
struct CellRefusal {
    std::string reason;
};

// The date value that an empty Datum cell gives: no calendar day (shown and
// exported as an empty date). It sorts before every real day.
inline constexpr double NoCalendarDay = -693594.0; // the day before 01.01.0001

// dd.mm.yyyy, d.m.yyyy or yyyy-mm-dd; a whole day.
std::variant<double, CellRefusal> ParseDateCell(std::string_view text);
// Whole minutes from 0 to 4294967295 (a fraction of zeros such as "15,0" is
// allowed, as spreadsheets write numbers).
std::variant<std::uint32_t, CellRefusal> ParseMinutesCell(std::string_view text);

} // namespace exchange
