#include "analysis/FigureEngine.h"

#include "analysis/HeapOrder.h"
#include "analysis/RadixSort.h"
#include "core/DataBase.h"

#include <algorithm>
#include <bit>
#include <limits>

namespace analysis {
namespace {

constexpr std::uint32_t kFree = std::numeric_limits<std::uint32_t>::max();
// How many entries ahead a full count asks for an entry's memory.
constexpr std::size_t kAhead = 16;

double Percent(std::uint64_t part, std::uint64_t whole) {
    // part / whole first, so that the whole is exactly 100.
    return whole == 0 ? 0.0 : 100.0 * (static_cast<double>(part) / static_cast<double>(whole));
}

std::uint64_t MeasureOf(const TableRow& row, Measure measure) {
    return measure == Measure::Count ? row.Count : row.Minutes;
}

} // namespace

FigureEngine::FigureEngine(const TDataBase& database)
    : database_(database), keys_(std::make_unique<GroupKeys>(database, Grouping::Language)) {}

FigureEngine::~FigureEngine() = default;

FigureEngine::Slot& FigureEngine::GrowSlots(std::uint32_t id) {
    slots_.resize(std::max<std::size_t>(std::size_t{id} + 1 + id / 2, 1024), Slot{kFree, 0});
    return slots_[id];
}

void FigureEngine::Recompute(Grouping grouping, std::span<const TDataRecord* const> listed) {
    keys_ = std::make_unique<GroupKeys>(database_, grouping);
    groups_.clear();
    count_ = 0;
    minutes_ = 0;
    // Room for the IDs of the database and some new entries, so that adding
    // one rarely moves the table.
    const std::size_t ids = database_.NextID;
    slots_.assign(ids + ids / 16 + 1024, Slot{kFree, 0});

    // In the heap's order when the list's order jumps across it; that copy
    // goes before the histograms are built.
    const std::uint32_t mostMinutes = [&] {
        const std::vector<const TDataRecord*> reordered = InHeapOrder(listed);
        return CountEntries(reordered.empty() ? listed : reordered);
    }();
    keys_->ForgetSpellings();
    groups_.resize(keys_->Count());
    const auto minuteBits = static_cast<unsigned>(std::bit_width(mostMinutes));
    if (minuteBits + std::bit_width(keys_->Count()) <= 32)
        CountRuns<std::uint32_t>(minuteBits);
    else
        CountRuns<std::uint64_t>(32);
}

// Notes group and minutes of every entry by its ID; returns the most minutes.
std::uint32_t FigureEngine::CountEntries(std::span<const TDataRecord* const> listed) {
    std::uint32_t mostMinutes = 0;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        // The entries lie scattered over the heap: their loads are started
        // ahead, or each would wait for memory in turn.
        if (i + kAhead < listed.size()) {
            __builtin_prefetch(&listed[i + kAhead]->ID);
            keys_->PrefetchField(*listed[i + kAhead]);
        }
        const TDataRecord& record = *listed[i];
        Slot& slot = SlotOf(record.ID);
        if (slot.group != kFree)
            continue; // the same entry twice
        slot = Slot{keys_->GroupOfCached(record), record.TimeNeeded};
        mostMinutes = std::max(mostMinutes, record.TimeNeeded);
        ++count_;
    }
    return mostMinutes;
}

// Sorts the counted (group, minutes) pairs into runs of equal pairs, which
// become the groups' histograms: one sort of the whole set instead of one per
// group, on keys as narrow as the figures allow.
template <typename Key> void FigureEngine::CountRuns(unsigned minuteBits) {
    std::vector<Key> keys;
    keys.reserve(count_);
    for (const Slot& slot : slots_)
        if (slot.group != kFree)
            keys.push_back(static_cast<Key>(Key{slot.group} << minuteBits | slot.minutes));
    RadixSort(keys);
    const Key minuteMask = (Key{1} << minuteBits) - 1;
    for (std::size_t i = 0; i < keys.size();) {
        std::size_t end = i + 1;
        while (end < keys.size() && keys[end] == keys[i])
            ++end;
        const auto minutes = static_cast<std::uint32_t>(keys[i] & minuteMask);
        const std::uint64_t sum = std::uint64_t{minutes} * (end - i);
        GroupFigures& group = groups_[static_cast<std::size_t>(keys[i] >> minuteBits)];
        group.histogram.Append({minutes, static_cast<std::uint32_t>(end - i)});
        group.minutes += sum;
        minutes_ += sum;
        i = end;
    }
}

void FigureEngine::Add(const TDataRecord& record) {
    Remove(record.ID);
    const std::uint32_t group = keys_->GroupOf(record);
    if (group >= groups_.size())
        groups_.resize(std::size_t{group} + 1);
    SlotOf(record.ID) = Slot{group, record.TimeNeeded};
    groups_[group].histogram.Add(record.TimeNeeded);
    groups_[group].minutes += record.TimeNeeded;
    ++count_;
    minutes_ += record.TimeNeeded;
}

bool FigureEngine::Remove(std::uint32_t id) {
    if (id >= slots_.size() || slots_[id].group == kFree)
        return false;
    Slot& slot = slots_[id];
    GroupFigures& group = groups_[slot.group];
    group.histogram.Remove(slot.minutes);
    group.minutes -= slot.minutes;
    --count_;
    minutes_ -= slot.minutes;
    slot.group = kFree;
    return true;
}

std::vector<TableRow> FigureEngine::Table(Measure measure) const {
    std::vector<TableRow> rows;
    for (std::uint32_t g = 0; g < groups_.size(); ++g) {
        const GroupFigures& group = groups_[g];
        const std::uint64_t count = group.histogram.Count();
        if (count == 0)
            continue;
        TableRow row;
        row.Group = keys_->Label(g);
        row.Order = keys_->Order(g);
        row.Count = count;
        row.CountShare = Percent(count, count_);
        row.Minutes = group.minutes;
        row.MinutesShare = Percent(group.minutes, minutes_);
        row.MeanMinutes = static_cast<double>(group.minutes) / static_cast<double>(count);
        row.MedianMinutes = group.histogram.Median();
        rows.push_back(std::move(row));
    }
    std::sort(rows.begin(), rows.end(), [measure](const TableRow& a, const TableRow& b) {
        const std::uint64_t x = MeasureOf(a, measure);
        const std::uint64_t y = MeasureOf(b, measure);
        if (x != y)
            return x > y;
        return a.Order != b.Order ? a.Order < b.Order : a.Group < b.Group;
    });
    const std::uint64_t total = measure == Measure::Count ? count_ : minutes_;
    std::uint64_t running = 0;
    for (TableRow& row : rows) {
        running += MeasureOf(row, measure);
        row.Cumulative = Percent(running, total);
    }
    return rows;
}

std::vector<ParetoBar> FigureEngine::Pareto(Measure measure) const {
    const std::vector<TableRow> rows = Table(measure);
    const std::size_t shown = rows.size() > ParetoBars ? ParetoBars : rows.size();
    std::vector<ParetoBar> bars;
    for (std::size_t i = 0; i < shown; ++i)
        bars.push_back({rows[i].Group, false, MeasureOf(rows[i], measure), rows[i].Cumulative});
    if (shown < rows.size()) {
        ParetoBar rest{RestLabel, true, 0, rows.back().Cumulative};
        for (std::size_t i = shown; i < rows.size(); ++i)
            rest.Value += MeasureOf(rows[i], measure);
        bars.push_back(std::move(rest));
    }
    return bars;
}

std::vector<MonthPoint> FigureEngine::MonthSeries() const {
    std::int32_t first = std::numeric_limits<std::int32_t>::max();
    std::int32_t last = -1;
    for (std::uint32_t g = 0; g < groups_.size(); ++g) {
        const std::int32_t month = keys_->MonthNumber(g);
        if (month >= 0 && groups_[g].histogram.Count() > 0) {
            first = std::min(first, month);
            last = std::max(last, month);
        }
    }
    if (last < 0)
        return {};
    std::vector<MonthPoint> series(static_cast<std::size_t>(last - first + 1));
    for (std::size_t i = 0; i < series.size(); ++i) {
        const auto month = first + static_cast<std::int32_t>(i);
        series[i].Year = month / 12;
        series[i].Month = month % 12 + 1;
    }
    for (std::uint32_t g = 0; g < groups_.size(); ++g) {
        const std::int32_t month = keys_->MonthNumber(g);
        if (month < 0 || groups_[g].histogram.Count() == 0)
            continue;
        MonthPoint& point = series[static_cast<std::size_t>(month - first)];
        point.Count += groups_[g].histogram.Count();
        point.Minutes += groups_[g].minutes;
    }
    return series;
}

std::vector<const TDataRecord*> ListedEntries(const TDataBase& database) {
    std::vector<const TDataRecord*> listed;
    listed.reserve(static_cast<std::size_t>(database.Count()));
    for (int i = 0; i < database.Count(); ++i)
        if (const TDataRecord* record = database.GetRecord(i); !record->Hidden)
            listed.push_back(record);
    return listed;
}

} // namespace analysis
