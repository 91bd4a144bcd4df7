#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Dates are doubles: days since 30 Dec 1899, the fraction being the time of day.
struct CivilDate {
    int year;  // 1..9999
    int month; // 1..12
    int day;   // 1..31
};

// The calendar day of a date value, or nothing when the value is no day
// between 01.01.0001 and 31.12.9999 (NaN, infinity, out of range).
std::optional<CivilDate> DecodeDate(double value);
// The whole day number of the same days (the calendar left out), or nothing.
std::optional<std::int64_t> DayNumber(double value);
// The date value (a whole day) of a calendar day; the day must be valid.
double EncodeDate(const CivilDate& date);
// "dd.mm.yyyy", or empty when the value is no calendar day.
std::string FormatDate(double value);
// Parses "dd.mm.yyyy" (also d.m.yyyy); nothing when it is no valid day.
std::optional<CivilDate> ParseDate(const std::string& text);
