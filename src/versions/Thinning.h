#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Which older versions of a database stay: every version of the last 24
// hours, one a day for the last 30 days, one a week for a year, and of those
// only as many, newest first, as fit into the size limit. The newest version
// always stays, also when it alone is larger than the limit.
namespace versions {

struct AgedVersion {
    std::int64_t ageSeconds =
        0;                  // how long ago it was kept; negative (a clock put back) counts as 0
    std::uint64_t size = 0; // bytes
};

// `newestFirst` in order of age, the newest (smallest age) first; the result
// says for each whether it stays. Of the versions of one day (one week), the
// oldest stays: as all of them age alike, the survivors then keep a day (a
// week) apart instead of each newcomer pushing the last one out.
[[nodiscard]] std::vector<bool> VersionsToKeep(std::span<const AgedVersion> newestFirst,
                                               std::uint64_t sizeLimit);

} // namespace versions
