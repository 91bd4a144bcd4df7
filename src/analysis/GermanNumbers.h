#pragma once

#include <cstdint>
#include <string>

// Numbers as German readers write them: a point between thousands, a comma
// before the decimals. Plain ASCII, so the texts fit Windows-1252 and UTF-8
// alike; the C locale is not consulted.
namespace analysis {

// 1234567 -> "1.234.567".
std::string FormatInteger(std::uint64_t value);
// 1234.56 with 1 decimal -> "1.234,6"; halves round away from zero. Empty for
// a value that is no finite number.
std::string FormatDecimal(double value, int decimals);
// 12.5 -> "12,5 %": one decimal.
std::string FormatPercent(double percent);
// 75 -> "1:15", 100000 -> "1.666:40": hours and two-digit minutes.
std::string FormatHoursMinutes(std::uint64_t minutes);

} // namespace analysis
