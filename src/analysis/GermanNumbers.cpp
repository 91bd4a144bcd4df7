#include "analysis/GermanNumbers.h"

#include <algorithm>
#include <cmath>

namespace analysis {

std::string FormatInteger(std::uint64_t value) {
    std::string digits = std::to_string(value);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), 1, '.');
    return digits;
}

std::string FormatDecimal(double value, int decimals) {
    decimals = std::clamp(decimals, 0, 9);
    const double scale = std::pow(10.0, decimals);
    const double scaled = std::round(std::fabs(value) * scale); // halves away from zero
    if (!std::isfinite(scaled) || scaled >= 1.8e19)
        return {};
    const auto units = static_cast<std::uint64_t>(scaled);
    const auto divisor = static_cast<std::uint64_t>(scale);
    std::string text = value < 0 && units != 0 ? "-" : "";
    text += FormatInteger(units / divisor);
    if (decimals > 0) {
        const std::string fraction = std::to_string(units % divisor);
        text +=
            ',' + std::string(static_cast<std::size_t>(decimals) - fraction.size(), '0') + fraction;
    }
    return text;
}

std::string FormatPercent(double percent) {
    return FormatDecimal(percent, 1) + " %";
}

std::string FormatHoursMinutes(std::uint64_t minutes) {
    const std::uint64_t rest = minutes % 60;
    return FormatInteger(minutes / 60) + (rest < 10 ? ":0" : ":") + std::to_string(rest);
}

} // namespace analysis
