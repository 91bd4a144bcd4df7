#pragma once

#include <cstdint>
#include <vector>

namespace analysis {

// The minutes of one group's entries as ascending runs of equal minutes, so a
// change costs a binary search and the median a walk over the distinct values
// (a few hundred in practice), never a sort.
class MinuteHistogram {
public:
    struct Run {
        std::uint32_t minutes;
        std::uint32_t count;
    };

    void Add(std::uint32_t minutes);
    // False (and nothing changes) when no entry has these minutes.
    bool Remove(std::uint32_t minutes);
    // Builds the histogram from runs in ascending order of distinct minutes.
    void Append(Run run);

    [[nodiscard]] std::uint64_t Count() const { return count_; }
    // The middle value; of an even count the mean of the two middle values;
    // 0 when empty. Kept until the next change.
    [[nodiscard]] double Median() const;

private:
    [[nodiscard]] std::uint32_t ValueAt(std::uint64_t position) const;

    std::vector<Run> runs_;
    std::uint64_t count_ = 0;
    mutable double median_ = 0.0;
    mutable bool medianValid_ = true;
};

} // namespace analysis
