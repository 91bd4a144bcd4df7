#include "gui/RecordCompare.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace RecordCompare {

std::string TextKey(std::string_view text) {
    std::string key(text);
    for (char& c : key)
        c = static_cast<char>(FoldByte(static_cast<unsigned char>(c)));
    return key;
}

int CompareTextKeys(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char ka = FoldByte(static_cast<unsigned char>(a[i]));
        const unsigned char kb = FoldByte(static_cast<unsigned char>(b[i]));
        if (ka != kb)
            return ka < kb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

namespace {

const std::string& TextField(const TDataRecord& e, TColumnKind column) {
    switch (column) {
    case ckLanguage:
        return e.Language();
    case ckType:
        return e.ErrorType();
    default:
        return e.Project();
    }
}

template <class T> int CompareNumbers(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

// Ascending comparison of the sort keys.
int CompareKeys(const TDataRecord& e1, const TDataRecord& e2, TColumnKind column) {
    switch (column) {
    case ckNone:
        return CompareNumbers(e1.ID, e2.ID);
    case ckLanguage:
    case ckType:
    case ckProject:
        return CompareTextKeys(TextField(e1, column), TextField(e2, column));
    case ckDate:
        return CompareNumbers(e1.Date, e2.Date);
    case ckTime:
        return CompareNumbers(e1.TimeNeeded, e2.TimeNeeded);
    }
    return 0;
}

} // namespace

int CompareEntries(const TDataRecord& e1, const TDataRecord& e2, TColumnKind sortColumn,
                   bool descending) {
    const int ascending = CompareKeys(e1, e2, sortColumn);
    return descending ? -ascending : ascending;
}

std::uint64_t PackedKey(const TDataRecord& e, TColumnKind sortColumn) {
    switch (sortColumn) {
    case ckNone:
        return e.ID;
    case ckLanguage:
    case ckType:
    case ckProject: {
        const std::string& text = TextField(e, sortColumn);
        std::uint64_t key = 0;
        for (std::size_t i = 0; i < 8; ++i) {
            const unsigned char c =
                i < text.size() ? FoldByte(static_cast<unsigned char>(text[i])) : 0;
            key = (key << 8) | c;
        }
        return key;
    }
    case ckDate: {
        const double d = e.Date == 0.0 ? 0.0 : e.Date; // -0.0 and 0.0 are one key
        const auto bits = std::bit_cast<std::uint64_t>(d);
        return (bits & 0x8000000000000000ULL) ? ~bits : bits | 0x8000000000000000ULL;
    }
    case ckTime:
        return e.TimeNeeded;
    }
    return 0;
}

} // namespace RecordCompare
