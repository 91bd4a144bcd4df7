#include "core/DataRecord.h"

#include "core/DateUtil.h"
#include "core/RecordIdentity.h"
#include "core/Spelling.h"

#include <limits>
#include <string_view>

// A million entries: every byte of an entry counts. The disk mark and the
// description's size share the padding after Hidden.
static_assert(sizeof(TDataRecord) == 56);

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

bool SameFolded(const TSpelling* a, const TSpelling* b) {
    return a == b || (a->foldedHash == b->foldedHash && EqualFolded(a->text, b->text));
}

void HashWord(std::uint64_t& h, std::uint64_t value) {
    h ^= value;
    h *= 1099511628211ull;
    h ^= h >> 29;
}

} // namespace

struct TRecordAccess {
    static const TSpelling* Language(const TDataRecord& r) { return r.language_; }
    static const TSpelling* ErrorType(const TDataRecord& r) { return r.errorType_; }
    static const TSpelling* Project(const TDataRecord& r) { return r.project_; }
};

const std::string& TDataRecord::Language() const {
    return language_->text;
}
const std::string& TDataRecord::ErrorType() const {
    return errorType_->text;
}
const std::string& TDataRecord::Project() const {
    return project_->text;
}

TRecordView TDataRecord::View() const {
    return {language_->text, errorType_->text, project_->text, Description(), Date, ID, TimeNeeded};
}

TRecordData TDataRecord::Data() const {
    return TRecordData{Language(), ErrorType(), Project(), std::string(Description()),
                       Date,       ID,          TimeNeeded};
}

std::string TDataRecord::FieldText(std::uint8_t index) const {
    switch (index) {
    case ckLanguage:
        return Language();
    case ckType:
        return ErrorType();
    case ckProject:
        return Project();
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
    return DayNumber(date).value_or(std::numeric_limits<std::int64_t>::min());
}

std::uint64_t FoldedHash(std::string_view text) {
    // FNV-1a over the folded bytes, closed by the length.
    std::uint64_t h = 14695981039346656037ull;
    for (char c : text) {
        h ^= FoldAscii(static_cast<unsigned char>(c));
        h *= 1099511628211ull;
    }
    h ^= text.size() + 0x9E3779B97F4A7C15ull;
    h *= 1099511628211ull;
    return h;
}

bool Equal(const TDataRecord& a, const TDataRecord& b) {
    return a.TimeNeeded == b.TimeNeeded &&
           SameFolded(TRecordAccess::Language(a), TRecordAccess::Language(b)) &&
           SameFolded(TRecordAccess::ErrorType(a), TRecordAccess::ErrorType(b)) &&
           SameFolded(TRecordAccess::Project(a), TRecordAccess::Project(b)) &&
           DayKey(a.Date) == DayKey(b.Date);
}

std::uint64_t Hash(const TDataRecord& record) {
    // The fields in order, so that equal texts in different fields hash apart.
    std::uint64_t h = 14695981039346656037ull;
    HashWord(h, TRecordAccess::Language(record)->foldedHash);
    HashWord(h, TRecordAccess::ErrorType(record)->foldedHash);
    HashWord(h, TRecordAccess::Project(record)->foldedHash);
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
