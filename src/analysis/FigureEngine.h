#pragma once

#include "analysis/FigureRows.h"
#include "analysis/GroupKeys.h"
#include "analysis/Grouping.h"
#include "analysis/MinuteHistogram.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class TDataBase;
class TDataRecord;

namespace analysis {

// The figures of the analysis: per group the number of entries, their minutes
// in total, mean and median, in Pareto order of a measure. It counts exactly
// the entries it is given (those the main list shows) under one grouping.
// A full count takes the whole set (after a change of filter, search or
// grouping, or a new or loaded database); single entries that become listed
// or stop being listed update the sums in place. Per counted entry it keeps
// only its group and minutes, by ID; the database must outlive it (its value
// lists name and order the groups).
class FigureEngine {
public:
    explicit FigureEngine(const TDataBase& database);
    ~FigureEngine();
    FigureEngine(const FigureEngine&) = delete;
    FigureEngine& operator=(const FigureEngine&) = delete;

    // Counting: a full count of `listed` (entries with the same ID count once),
    // then single changes by ID. Add counts `record` in place of a counted
    // entry with its ID (so a changed entry is simply added again).
    void Recompute(Grouping grouping, std::span<const TDataRecord* const> listed);
    void Add(const TDataRecord& record);
    bool Remove(std::uint32_t id); // false when no counted entry has that ID

    // Totals of what is counted.
    [[nodiscard]] Grouping CurrentGrouping() const { return keys_->Kind(); }
    [[nodiscard]] std::uint64_t EntryCount() const { return count_; }
    [[nodiscard]] std::uint64_t TotalMinutes() const { return minutes_; }

    // Results: every group with entries, in Pareto order of `measure`
    // (descending, ties in the grouping's own order); the chart's largest
    // bars plus "übrige"; for the grouping by month every month from the
    // first to the last one with entries, empty months as zero (entries
    // without calendar day are in the table only).
    [[nodiscard]] std::vector<TableRow> Table(Measure measure) const;
    [[nodiscard]] std::vector<ParetoBar> Pareto(Measure measure) const;
    [[nodiscard]] std::vector<MonthPoint> MonthSeries() const;
    static constexpr std::size_t ParetoBars = 12;

private:
    struct Slot {
        std::uint32_t group;
        std::uint32_t minutes;
    };
    struct GroupFigures {
        std::uint64_t minutes = 0;
        MinuteHistogram histogram; // its count is the group's number of entries
    };
    Slot& SlotOf(std::uint32_t id) { return id < slots_.size() ? slots_[id] : GrowSlots(id); }
    Slot& GrowSlots(std::uint32_t id);
    std::uint32_t CountEntries(std::span<const TDataRecord* const> listed);
    template <typename Key> void CountRuns(unsigned minuteBits);

    const TDataBase& database_;
    std::unique_ptr<GroupKeys> keys_;
    std::vector<Slot> slots_; // by entry ID
    std::vector<GroupFigures> groups_;
    std::uint64_t count_ = 0;
    std::uint64_t minutes_ = 0;
};

// The entries that the filter lets through, in database order.
std::vector<const TDataRecord*> ListedEntries(const TDataBase& database);

} // namespace analysis
