#include "analysis/GroupKeys.h"

#include "core/DataBase.h"
#include "core/DateUtil.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace analysis {
namespace {

constexpr std::uint32_t kNoGroup = std::numeric_limits<std::uint32_t>::max();
constexpr std::int32_t kNoDate = -1;
// Month numbers of 01.0001 .. 12.9999 lie below this.
constexpr std::int32_t kMonthNumbers = 10000 * 12;
constexpr std::uint32_t kCachedDays = 1u << 14; // 44 years of consecutive days

const std::string& ListText(const TDataRecord& record, Grouping grouping) {
    switch (grouping) {
    case Grouping::Category:
        return record.ErrorType();
    case Grouping::Project:
        return record.Project();
    default:
        return record.Language();
    }
}

// Day 0 (30.12.1899) was a Saturday; the day is the whole part of the date
// as the calendar decoding takes it.
std::int32_t WeekdayOf(double date) {
    const auto day = static_cast<std::int64_t>(std::trunc(date));
    return static_cast<std::int32_t>(((day + 5) % 7 + 7) % 7);
}

} // namespace

GroupKeys::GroupKeys(const TDataBase& database, Grouping grouping) : grouping_(grouping) {
    switch (grouping) {
    case Grouping::Language:
        list_ = &database.Languages;
        break;
    case Grouping::Category:
        list_ = &database.ErrorTypes;
        break;
    case Grouping::Project:
        list_ = &database.Projects;
        break;
    case Grouping::Month:
        byKey_.assign(kMonthNumbers + 1, kNoGroup);
        break;
    case Grouping::Weekday:
        byKey_.assign(8, kNoGroup);
        break;
    }
    if (!list_)
        byDay_.assign(kCachedDays, CachedDay{0, kNoGroup});
}

std::uint32_t GroupKeys::GroupOf(const TDataRecord& record) {
    if (list_)
        return ListGroup(ListText(record, grouping_));
    return DateGroup(record.Date);
}

std::uint32_t GroupKeys::GroupOfCached(const TDataRecord& record) {
    if (!list_)
        return DateGroup(record.Date);
    const std::string& text = ListText(record, grouping_);
    std::uint32_t group = bySpelling_.Find(&text);
    if (group == SpellingCache::None) {
        group = ListGroup(text);
        bySpelling_.Insert(&text, group);
    }
    return group;
}

void GroupKeys::PrefetchField(const TDataRecord& record) const {
    if (list_)
        __builtin_prefetch(&record);
    else
        __builtin_prefetch(&record.Date);
}

std::uint32_t GroupKeys::ListGroup(std::string_view text) {
    const int position = list_->IndexOf(text);
    // A text that the list does not hold (an entry the database has not
    // adopted) is a group of its own spelling.
    const std::string_view value = position >= 0 ? std::string_view(list_->Value(position)) : text;
    if (const auto hit = byValue_.find(value); hit != byValue_.end())
        return hit->second;
    const std::uint32_t group = Register(std::string(value), 0);
    byValue_.emplace(std::string(value), group);
    return group;
}

std::uint32_t GroupKeys::DateGroup(double date) {
    // The group depends on the whole day alone, as the calendar decoding
    // takes it.
    const double whole = std::trunc(date);
    if (!(std::fabs(whole) < 1e9))
        return DecodedDateGroup(date);
    const auto day = static_cast<std::int32_t>(whole);
    CachedDay& cached = byDay_[static_cast<std::uint32_t>(day) & (kCachedDays - 1)];
    if (cached.day != day || cached.group == kNoGroup)
        cached = CachedDay{day, DecodedDateGroup(date)};
    return cached.group;
}

std::uint32_t GroupKeys::DecodedDateGroup(double date) {
    const auto day = DecodeDate(date);
    std::int32_t key = kNoDate;
    if (day)
        key = grouping_ == Grouping::Month ? day->year * 12 + day->month - 1 : WeekdayOf(date);
    std::uint32_t& group = byKey_[static_cast<std::size_t>(key + 1)];
    if (group != kNoGroup)
        return group;
    std::string label;
    if (!day) {
        label = NoDateLabel;
    } else if (grouping_ == Grouping::Month) {
        char text[16];
        std::snprintf(text, sizeof text, "%02d.%04d", day->month, day->year);
        label = text;
    } else {
        label = WeekdayName(key);
    }
    group = Register(std::move(label), key);
    return group;
}

std::uint32_t GroupKeys::Register(std::string label, std::int32_t key) {
    labels_.push_back(std::move(label));
    keys_.push_back(key);
    return static_cast<std::uint32_t>(labels_.size() - 1);
}

std::int64_t GroupKeys::Order(std::uint32_t group) const {
    if (list_) {
        const int position = list_->IndexOf(labels_[group]);
        return position >= 0 ? position : list_->Count();
    }
    const std::int32_t key = keys_[group];
    return key == kNoDate ? std::numeric_limits<std::int64_t>::max() : key;
}

std::int32_t GroupKeys::MonthNumber(std::uint32_t group) const {
    return grouping_ == Grouping::Month ? keys_[group] : kNoDate;
}

} // namespace analysis
