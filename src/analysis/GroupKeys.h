#pragma once

#include "analysis/Grouping.h"
#include "analysis/SpellingCache.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TDataBase;
class TDataRecord;
class TValueList;

namespace analysis {

// The one step from an entry to its group, and the groups' names and order.
// Languages, categories and projects group by the value-list value that the
// entry's text belongs to, found by the list's own lookup (so "java" counts
// towards "Java"); months and weekdays by the calendar day of the date, an
// entry whose date is no calendar day under "ohne Datum" (last in either
// order). Group numbers are dense and stay while this object lives.
class GroupKeys {
public:
    GroupKeys(const TDataBase& database, Grouping grouping);

    [[nodiscard]] Grouping Kind() const { return grouping_; }

    // The group of `record`, registering a group seen for the first time.
    std::uint32_t GroupOf(const TDataRecord& record);
    // The same, remembering the answer per exact spelling, which is only right
    // while the value lists do not change and the spellings stay: for one
    // full count, then forget.
    std::uint32_t GroupOfCached(const TDataRecord& record);
    void ForgetSpellings() { bySpelling_.Clear(); }
    // A full count walks entries scattered over the heap; it asks for the
    // field that GroupOf reads some entries ahead so that the memory loads
    // overlap.
    void PrefetchField(const TDataRecord& record) const;

    [[nodiscard]] std::uint32_t Count() const { return static_cast<std::uint32_t>(labels_.size()); }
    // The group's name in Windows-1252 bytes: the list's spelling of the value,
    // "mm.yyyy", a weekday's name or "ohne Datum".
    [[nodiscard]] const std::string& Label(std::uint32_t group) const { return labels_[group]; }
    // Place in the grouping's own order: the value's position in its list as
    // it is now (a value the list does not hold comes after all), the month
    // counted from year 0, the weekday from Monday; "ohne Datum" last.
    [[nodiscard]] std::int64_t Order(std::uint32_t group) const;
    // year * 12 + month - 1 of a month group; -1 for every other group.
    [[nodiscard]] std::int32_t MonthNumber(std::uint32_t group) const;

private:
    std::uint32_t ListGroup(std::string_view text);
    std::uint32_t DateGroup(double date);
    std::uint32_t DecodedDateGroup(double date);
    std::uint32_t Register(std::string label, std::int32_t key);

    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>{}(s);
        }
    };
    using TextMap = std::unordered_map<std::string, std::uint32_t, TextHash, std::equal_to<>>;

    Grouping grouping_;
    const TValueList* list_ = nullptr; // for Language, Category, Project
    std::vector<std::string> labels_;
    std::vector<std::int32_t> keys_;   // month number or weekday; -1 "ohne Datum"
    TextMap byValue_;                  // list groups by the list's spelling
    SpellingCache bySpelling_;         // list groups by the entries' spelling
    std::vector<std::uint32_t> byKey_; // date groups by key + 1
    // Date groups by day number, direct-mapped: a full count decodes each
    // day once instead of once per entry.
    struct CachedDay {
        std::int32_t day;
        std::uint32_t group;
    };
    std::vector<CachedDay> byDay_;
};

} // namespace analysis
