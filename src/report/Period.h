#pragma once

#include "core/DateUtil.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The span of days that a report looks back on. Days are whole day numbers
// as DayNumber gives them (days since 30.12.1899); an entry whose date is no
// calendar day lies in no period.
namespace report {

enum class PeriodKind : std::uint8_t {
    ThisMonth,
    LastMonth,
    ThisQuarter,
    LastQuarter,
    ThisYear,
    LastYear,
    Range, // from a chosen day to a chosen day
};

struct Period {
    std::int64_t first = 0; // first day, inclusive
    std::int64_t last = -1; // last day, inclusive; before `first` for no day at all

    [[nodiscard]] bool Contains(std::int64_t day) const { return day >= first && day <= last; }
    [[nodiscard]] std::int64_t Days() const { return last >= first ? last - first + 1 : 0; }
    friend bool operator==(const Period&, const Period&) = default;
};

// The calendar period of `kind` as seen on `today` (Range: the day itself).
Period PeriodOf(PeriodKind kind, const CivilDate& today);
// From `from` to `to`, both inclusive; nothing when `to` lies before `from`.
std::optional<Period> RangeOf(const CivilDate& from, const CivilDate& to);
// The period just before: as many whole months when `period` is whole months
// (a month, a quarter, a year), otherwise as many days.
Period PreviousPeriod(const Period& period);
// The twelve months up to the month of the period's last day.
Period TrendMonths(const Period& period);

// The first and last calendar day numbers that a date can name.
std::int64_t FirstCalendarDay();
std::int64_t LastCalendarDay();

// Texts (UTF-8): "letzter Monat" etc. for the choice, and the period itself in
// words: "Oktober 2026", "3. Quartal 2026", "2026" or "01.10.2026 bis
// 15.10.2026".
const char* PeriodCaption(PeriodKind kind);
std::string PeriodTitle(const Period& period);
// "Januar" .. "Dezember" for 1 .. 12.
const char* MonthName(int month);

// The names that `mvd report --period` takes: "this-month", "last-month",
// "this-quarter", "last-quarter", "this-year", "last-year".
std::optional<PeriodKind> PeriodFromName(std::string_view name);

} // namespace report
