#include "DataRecord.h"

#include "DateUtil.h"
#include "RecordIdentity.h"

#include <cmath>
#include <limits>
#include <string_view>

namespace {

constexpr unsigned char FoldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

bool EqualFolded(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(static_cast<unsigned char>(a[i])) !=
            FoldAscii(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// FNV-1a over the folded bytes; the length closes each field so that
// ("ab", "c") and ("a", "bc") hash apart.
void HashFolded(std::uint64_t& h, std::string_view text) {
    for (char c : text) {
        h ^= FoldAscii(static_cast<unsigned char>(c));
        h *= 1099511628211ull;
    }
    h ^= text.size() + 0x9E3779B97F4A7C15ull;
    h *= 1099511628211ull;
}

void HashWord(std::uint64_t& h, std::uint64_t value) {
    h ^= value;
    h *= 1099511628211ull;
    h ^= h >> 29;
}

} // namespace

std::string TDataRecord::FieldText(std::uint8_t index) const {
    switch (index) {
    case ckLanguage:
        return Language;
    case ckType:
        return ErrorType;
    case ckProject:
        return Project;
    case ckDate:
        return FormatDate(Date);
    case ckTime:
        return std::to_string(TimeNeeded);
    default:
        return {};
    }
}

bool TDataRecord::IsIdentical(const TDataRecord& other) const {
    return identity::Equal(*this, other);
}

namespace identity {

std::int64_t DayKey(double date) {
    if (!DecodeDate(date))
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(std::trunc(date));
}

bool Equal(const TDataRecord& a, const TDataRecord& b) {
    return a.TimeNeeded == b.TimeNeeded && EqualFolded(a.Language, b.Language) &&
           EqualFolded(a.ErrorType, b.ErrorType) && EqualFolded(a.Project, b.Project) &&
           DayKey(a.Date) == DayKey(b.Date);
}

std::uint64_t Hash(const TDataRecord& record) {
    std::uint64_t h = 14695981039346656037ull;
    HashFolded(h, record.Language);
    HashFolded(h, record.ErrorType);
    HashFolded(h, record.Project);
    HashWord(h, static_cast<std::uint64_t>(DayKey(record.Date)));
    HashWord(h, record.TimeNeeded);
    // Final avalanche (MurmurHash3's fmix64): the index uses the low bits.
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 33;
    return h;
}

} // namespace identity
