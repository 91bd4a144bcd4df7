#include "search/SearchFields.h"

#include "core/DateUtil.h"

namespace search {

void PrefetchEntry(const TDataRecord* entry) {
    if (entry == nullptr)
        return;
    __builtin_prefetch(entry);
    __builtin_prefetch(reinterpret_cast<const char*>(entry) + 64);
}

void PrefetchTexts(const TDataRecord* entry) {
    if (entry == nullptr)
        return;
    for (const char* text : {entry->Language().data(), entry->ErrorType().data(),
                             entry->Project().data(), entry->Description().data()})
        __builtin_prefetch(text);
}

std::size_t DateText(double date, char (&out)[10]) {
    const auto day = DecodeDate(date);
    if (!day)
        return 0;
    auto put = [&out](std::size_t at, int value, int digits) {
        for (int k = digits - 1; k >= 0; --k, value /= 10)
            out[at + static_cast<std::size_t>(k)] = static_cast<char>('0' + value % 10);
    };
    put(0, day->day, 2);
    out[2] = '.';
    put(3, day->month, 2);
    out[5] = '.';
    put(6, day->year, 4);
    return 10;
}

} // namespace search
