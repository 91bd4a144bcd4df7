#include "core/DateUtil.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

// Day numbers of the first and the last calendar day that a date may name:
// 01.01.0001 and 31.12.9999, counted from 30.12.1899.
constexpr std::int64_t kFirstDay = -693593;
constexpr std::int64_t kLastDay = 2958465;
// Days from 01.01.1970 back to 30.12.1899.
constexpr std::int64_t kEpochShift = 25569;

// Proleptic Gregorian calendar arithmetic (days relative to 01.01.1970).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

CivilDate CivilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return CivilDate{static_cast<int>(y + (m <= 2 ? 1 : 0)), static_cast<int>(m),
                     static_cast<int>(d)};
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)))
        return 29;
    return kDays[month - 1];
}

} // namespace

std::optional<std::int64_t> DayNumber(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    // The whole part is the day, also for negative values (-1.25 is 29.12.1899
    // at 6:00), as the stored format has always counted.
    const double day = std::trunc(value);
    if (day < static_cast<double>(kFirstDay) || day > static_cast<double>(kLastDay))
        return std::nullopt;
    return static_cast<std::int64_t>(day);
}

std::optional<CivilDate> DecodeDate(double value) {
    const auto day = DayNumber(value);
    if (!day)
        return std::nullopt;
    return CivilFromDays(*day - kEpochShift);
}

double EncodeDate(const CivilDate& date) {
    return static_cast<double>(DaysFromCivil(date.year, static_cast<unsigned>(date.month),
                                             static_cast<unsigned>(date.day)) +
                               kEpochShift);
}

std::string FormatDate(double value) {
    const auto date = DecodeDate(value);
    if (!date)
        return {};
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d.%02d.%04d", date->day, date->month, date->year);
    return buffer;
}

std::optional<CivilDate> ParseDate(const std::string& text) {
    int parts[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int part = 0;
    for (char c : text) {
        if (c == '.') {
            if (++part > 2)
                return std::nullopt;
        } else if (c >= '0' && c <= '9') {
            if (++digits[part] > 4)
                return std::nullopt;
            parts[part] = parts[part] * 10 + (c - '0');
        } else {
            return std::nullopt;
        }
    }
    if (part != 2 || digits[0] < 1 || digits[0] > 2 || digits[1] < 1 || digits[1] > 2 ||
        digits[2] != 4)
        return std::nullopt;
    const CivilDate date{parts[2], parts[1], parts[0]};
    if (date.year < 1 || date.month < 1 || date.month > 12 || date.day < 1 ||
        date.day > DaysInMonth(date.year, date.month))
        return std::nullopt;
    return date;
}
