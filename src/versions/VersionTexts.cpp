#include "versions/VersionTexts.h"

#include <cstdio>
#include <ctime>

namespace versions {

std::string KeptText(std::int64_t keptMicros) {
    const auto seconds = static_cast<std::time_t>(keptMicros / 1000000);
    std::tm local{};
    ::localtime_r(&seconds, &local);
    char text[64];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d:%02d", local.tm_mday,
                  local.tm_mon + 1, local.tm_year + 1900, local.tm_hour, local.tm_min,
                  local.tm_sec);
    return text;
}

std::string CountText(std::uint64_t count) {
    const std::string digits = std::to_string(count);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += '.';
        grouped += digits[i];
    }
    return grouped;
}

std::string SizeText(std::uint64_t bytes) {
    if (bytes < 1024)
        return std::to_string(bytes) + (bytes == 1 ? " Byte" : " Bytes");
    const char* units[] = {"KB", "MB", "GB", "TB"};
    double value = static_cast<double>(bytes) / 1024.0;
    std::size_t unit = 0;
    while (value >= 1023.95 && unit + 1 < std::size(units)) {
        value /= 1024.0;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, units[unit]);
    std::string result = text;
    if (const auto dot = result.find('.'); dot != std::string::npos)
        result[dot] = ',';
    return result;
}

std::string DifferenceText(std::size_t missing, std::size_t onlyOpen) {
    std::string text = "+";
    text += CountText(missing);
    text += " / \u2212";
    text += CountText(onlyOpen);
    text += " Eintr\u00E4ge";
    return text;
}

} // namespace versions
