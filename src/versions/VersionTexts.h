#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The German texts of a version as the window and mvd show them (UTF-8).
namespace versions {

inline constexpr char UnreadableText[] = "nicht lesbar";

// "07.03.2026 14:05:12" in local time.
[[nodiscard]] std::string KeptText(std::int64_t keptMicros);
// "1.234.567" (thousands grouped with full stops).
[[nodiscard]] std::string CountText(std::uint64_t count);
// "512 Bytes", "12,3 KB", "117,2 MB", "1,1 GB" (units of 1024).
[[nodiscard]] std::string SizeText(std::uint64_t bytes);
// "+12 / −340 Einträge": the version's entries that the open database lacks,
// and the open database's entries that the version lacks.
[[nodiscard]] std::string DifferenceText(std::size_t missing, std::size_t onlyOpen);

} // namespace versions
