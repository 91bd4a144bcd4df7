#include "analysis/MinuteHistogram.h"

#include <algorithm>

namespace analysis {
namespace {

auto LowerBound(std::vector<MinuteHistogram::Run>& runs, std::uint32_t minutes) {
    return std::lower_bound(
        runs.begin(), runs.end(), minutes,
        [](const MinuteHistogram::Run& run, std::uint32_t m) { return run.minutes < m; });
}

} // namespace

void MinuteHistogram::Add(std::uint32_t minutes) {
    const auto it = LowerBound(runs_, minutes);
    if (it != runs_.end() && it->minutes == minutes)
        ++it->count;
    else
        runs_.insert(it, Run{minutes, 1});
    ++count_;
    medianValid_ = false;
}

bool MinuteHistogram::Remove(std::uint32_t minutes) {
    const auto it = LowerBound(runs_, minutes);
    if (it == runs_.end() || it->minutes != minutes)
        return false;
    if (--it->count == 0)
        runs_.erase(it);
    --count_;
    medianValid_ = false;
    return true;
}

void MinuteHistogram::Append(Run run) {
    runs_.push_back(run);
    count_ += run.count;
    medianValid_ = false;
}

std::uint32_t MinuteHistogram::ValueAt(std::uint64_t position) const {
    for (const Run& run : runs_) {
        if (position < run.count)
            return run.minutes;
        position -= run.count;
    }
    return 0;
}

double MinuteHistogram::Median() const {
    if (!medianValid_) {
        if (count_ == 0) {
            median_ = 0.0;
        } else {
            const std::uint32_t lower = ValueAt((count_ - 1) / 2);
            const std::uint32_t upper = count_ % 2 != 0 ? lower : ValueAt(count_ / 2);
            median_ = (static_cast<double>(lower) + static_cast<double>(upper)) / 2.0;
        }
        medianValid_ = true;
    }
    return median_;
}

} // namespace analysis
