#include "report/Period.h"

#include <algorithm>

namespace report {
namespace {

std::int64_t DayOf(const CivilDate& date) {
    return static_cast<std::int64_t>(EncodeDate(date));
}

CivilDate DateOf(std::int64_t day) {
    return *DecodeDate(static_cast<double>(day));
}

// Months counted from January of year 0, and back.
int MonthIndex(const CivilDate& date) {
    return date.year * 12 + date.month - 1;
}

std::int64_t FirstDayOfMonth(int monthIndex) {
    return DayOf({monthIndex / 12, monthIndex % 12 + 1, 1});
}

std::int64_t LastDayOfMonth(int monthIndex) {
    return FirstDayOfMonth(monthIndex + 1) - 1;
}

// The months from `firstMonth` to `lastMonth`, cut to the days a date can name.
Period Months(int firstMonth, int lastMonth) {
    const int earliest = 12; // January of year 1
    const int latest = 9999 * 12 + 11;
    if (lastMonth < earliest)
        return Period{FirstCalendarDay(), FirstCalendarDay() - 1};
    return Period{FirstDayOfMonth(std::max(firstMonth, earliest)),
                  LastDayOfMonth(std::min(lastMonth, latest))};
}

std::string TwoDigits(int value) {
    return std::string(1, static_cast<char>('0' + value / 10)) +
           static_cast<char>('0' + value % 10);
}

std::string DayText(std::int64_t day) {
    const CivilDate date = DateOf(day);
    std::string year = std::to_string(date.year);
    year.insert(0, 4 - std::min<std::size_t>(4, year.size()), '0');
    return TwoDigits(date.day) + "." + TwoDigits(date.month) + "." + year;
}

// Whole months: the month numbers of the first and the last, or nothing.
std::optional<std::pair<int, int>> WholeMonths(const Period& period) {
    if (period.Days() == 0)
        return std::nullopt;
    const CivilDate first = DateOf(period.first);
    const CivilDate last = DateOf(period.last);
    if (first.day != 1 || period.last != LastDayOfMonth(MonthIndex(last)))
        return std::nullopt;
    return std::pair{MonthIndex(first), MonthIndex(last)};
}

} // namespace

std::int64_t FirstCalendarDay() {
    return DayOf({1, 1, 1});
}

std::int64_t LastCalendarDay() {
    return DayOf({9999, 12, 31});
}

Period PeriodOf(PeriodKind kind, const CivilDate& today) {
    const int month = MonthIndex(today);
    const int quarter = month - (today.month - 1) % 3;
    const int year = month - (today.month - 1);
    switch (kind) {
    case PeriodKind::ThisMonth:
        return Months(month, month);
    case PeriodKind::LastMonth:
        return Months(month - 1, month - 1);
    case PeriodKind::ThisQuarter:
        return Months(quarter, quarter + 2);
    case PeriodKind::LastQuarter:
        return Months(quarter - 3, quarter - 1);
    case PeriodKind::ThisYear:
        return Months(year, year + 11);
    case PeriodKind::LastYear:
        return Months(year - 12, year - 1);
    case PeriodKind::Range:
        break;
    }
    return Period{DayOf(today), DayOf(today)};
}

std::optional<Period> RangeOf(const CivilDate& from, const CivilDate& to) {
    const Period period{DayOf(from), DayOf(to)};
    if (period.last < period.first)
        return std::nullopt;
    return period;
}

Period PreviousPeriod(const Period& period) {
    if (const auto months = WholeMonths(period)) {
        const int count = months->second - months->first + 1;
        return Months(months->first - count, months->first - 1);
    }
    const std::int64_t first = std::max(period.first - period.Days(), FirstCalendarDay());
    return Period{first, period.first - 1};
}

Period TrendMonths(const Period& period) {
    const int last =
        MonthIndex(DateOf(std::clamp(period.last, FirstCalendarDay(), LastCalendarDay())));
    return Months(last - 11, last);
}

const char* PeriodCaption(PeriodKind kind) {
    switch (kind) {
    case PeriodKind::ThisMonth:
        return "dieser Monat";
    case PeriodKind::LastMonth:
        return "letzter Monat";
    case PeriodKind::ThisQuarter:
        return "dieses Quartal";
    case PeriodKind::LastQuarter:
        return "letztes Quartal";
    case PeriodKind::ThisYear:
        return "dieses Jahr";
    case PeriodKind::LastYear:
        return "letztes Jahr";
    case PeriodKind::Range:
        return "von \u2013 bis";
    }
    return "";
}

std::string PeriodTitle(const Period& period) {
    if (period.Days() == 0)
        return "kein Tag";
    if (const auto months = WholeMonths(period)) {
        const int first = months->first;
        const int count = months->second - first + 1;
        const std::string year = std::to_string(first / 12);
        if (count == 1)
            return std::string(MonthName(first % 12 + 1)) + " " + year;
        if (count == 3 && first % 3 == 0)
            return std::to_string(first % 12 / 3 + 1) + ". Quartal " + year;
        if (count == 12 && first % 12 == 0)
            return year;
    }
    if (period.first == period.last)
        return DayText(period.first);
    return DayText(period.first) + " bis " + DayText(period.last);
}

const char* MonthName(int month) {
    static constexpr const char* kNames[] = {"Januar",    "Februar", "M\u00E4rz", "April",
                                             "Mai",       "Juni",    "Juli",      "August",
                                             "September", "Oktober", "November",  "Dezember"};
    return month >= 1 && month <= 12 ? kNames[month - 1] : "";
}

std::optional<PeriodKind> PeriodFromName(std::string_view name) {
    constexpr std::pair<std::string_view, PeriodKind> kNames[] = {
        {"this-month", PeriodKind::ThisMonth},     {"last-month", PeriodKind::LastMonth},
        {"this-quarter", PeriodKind::ThisQuarter}, {"last-quarter", PeriodKind::LastQuarter},
        {"this-year", PeriodKind::ThisYear},       {"last-year", PeriodKind::LastYear}};
    for (const auto& [text, kind] : kNames)
        if (name == text)
            return kind;
    return std::nullopt;
}

} // namespace report
