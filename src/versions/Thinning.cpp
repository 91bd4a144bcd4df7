#include "versions/Thinning.h"

#include <algorithm>

namespace versions {
namespace {

constexpr std::int64_t kDay = 24 * 60 * 60;
constexpr std::int64_t kWeek = 7 * kDay;
constexpr std::int64_t kDailyUntil = 30 * kDay;
constexpr std::int64_t kWeeklyUntil = 365 * kDay;

// The period whose oldest version stays: -1 for the last 24 hours (every
// version stays), then days, then weeks; nothing beyond a year.
std::int64_t PeriodOf(std::int64_t age) {
    if (age < kDay)
        return -1;
    if (age < kDailyUntil)
        return (age - kDay) / kDay;
    if (age < kWeeklyUntil)
        return 1000 + (age - kDailyUntil) / kWeek;
    return -2;
}

} // namespace

std::vector<bool> VersionsToKeep(std::span<const AgedVersion> newestFirst,
                                 std::uint64_t sizeLimit) {
    const std::size_t count = newestFirst.size();
    std::vector<bool> keep(count, false);
    // From the oldest to the newest: the first one met in a period is its oldest.
    std::int64_t lastPeriod = -3;
    for (std::size_t i = count; i-- > 0;) {
        const std::int64_t period = PeriodOf(std::max<std::int64_t>(0, newestFirst[i].ageSeconds));
        if (period == -1 || (period >= 0 && period != lastPeriod))
            keep[i] = true;
        lastPeriod = period;
    }
    if (count > 0)
        keep[0] = true;
    // The size limit, newest first: the oldest go first.
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (!keep[i])
            continue;
        total += newestFirst[i].size;
        if (i > 0 && total > sizeLimit)
            keep[i] = false;
    }
    return keep;
}

} // namespace versions
