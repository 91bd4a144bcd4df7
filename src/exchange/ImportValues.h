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

// dd.mm.yyyy, d.m.yyyy, yyyy-mm-dd, or dd.mm.yy (d.m.yy) with 00-29 in
// 2000-2029 and 30-99 in 1930-1999; a whole day.
std::variant<double, CellRefusal> ParseDateCell(std::string_view text);
// Whole minutes from 0 to 4294967295 as a German spreadsheet writes them:
// a dot between groups of three digits separates thousands ("1.000"), a
// fraction of zeros after a comma is still whole ("15,0", "1.000,00"; after
// a dot too, "15.00", where the dot separates no thousands). A comma before
// groups of three ("1,000") is refused as ambiguous, like every other
// fraction, exponent or sign but a leading one.
std::variant<std::uint32_t, CellRefusal> ParseMinutesCell(std::string_view text);

} // namespace exchange
