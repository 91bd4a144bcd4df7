#include "search/CaseFold.h"

#include <array>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace casefold {
namespace {

struct Tables {
    std::array<unsigned char, 256> lower{};
    std::array<unsigned char, 256> upper{};
    constexpr Tables() {
        for (std::size_t b = 0; b < 256; ++b)
            lower[b] = upper[b] = static_cast<unsigned char>(b);
        auto pair = [this](std::size_t up, std::size_t low) constexpr {
            lower[up] = static_cast<unsigned char>(low);
            upper[low] = static_cast<unsigned char>(up);
        };
        for (std::size_t b = 'A'; b <= 'Z'; ++b)
            pair(b, b + 0x20);
        for (std::size_t b = 0xC0; b <= 0xDE; ++b)
            if (b != 0xD7) // ×
                pair(b, b + 0x20);
        pair(0x8A, 0x9A); // Š š
        pair(0x8C, 0x9C); // Œ œ
        pair(0x8E, 0x9E); // Ž ž
        pair(0x9F, 0xFF); // Ÿ ÿ
    }
};

constexpr Tables Folding;

constexpr const Tables& Table() {
    return Folding;
}

bool RestMatches(const unsigned char* at, std::string_view folded, const Tables& t) {
    for (std::size_t k = 1; k < folded.size(); ++k)
        if (t.lower[at[k]] != static_cast<unsigned char>(folded[k]))
            return false;
    return true;
}

} // namespace

unsigned char Lower(unsigned char byte) {
    return Table().lower[byte];
}

unsigned char Upper(unsigned char byte) {
    return Table().upper[byte];
}

std::size_t Find(std::string_view text, std::string_view folded) {
    if (folded.empty())
        return 0;
    if (folded.size() > text.size())
        return std::string_view::npos;
    const Tables& t = Table();
    const auto* data = reinterpret_cast<const unsigned char*>(text.data());
    const auto first = static_cast<unsigned char>(folded[0]);
    const unsigned char firstUpper = t.upper[first];
    const std::size_t last = text.size() - folded.size(); // last possible start
    std::size_t i = 0;
#if defined(__SSE2__)
    // Sixteen candidate starts at a time: bytes equal to either case of the
    // first letter, followed by either case of the second one. Only whole
    // blocks inside the text are read.
    const __m128i lowerFirst = _mm_set1_epi8(static_cast<char>(first));
    const __m128i upperFirst = _mm_set1_epi8(static_cast<char>(firstUpper));
    const auto second = static_cast<unsigned char>(folded.size() > 1 ? folded[1] : 0);
    const __m128i lowerSecond = _mm_set1_epi8(static_cast<char>(second));
    const __m128i upperSecond = _mm_set1_epi8(static_cast<char>(t.upper[second]));
    const std::size_t readAhead = folded.size() > 1 ? 17 : 16;
    for (; i + readAhead <= text.size() && i <= last; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        __m128i candidates =
            _mm_or_si128(_mm_cmpeq_epi8(block, lowerFirst), _mm_cmpeq_epi8(block, upperFirst));
        if (folded.size() > 1) {
            const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i + 1));
            candidates = _mm_and_si128(candidates, _mm_or_si128(_mm_cmpeq_epi8(next, lowerSecond),
                                                                _mm_cmpeq_epi8(next, upperSecond)));
        }
        auto hits = static_cast<unsigned>(_mm_movemask_epi8(candidates));
        while (hits != 0) {
            const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(hits));
            if (at > last)
                return std::string_view::npos;
            if (RestMatches(data + at, folded, t))
                return at;
            hits &= hits - 1;
        }
    }
#endif
    for (; i <= last; ++i)
        if ((data[i] == first || data[i] == firstUpper) && RestMatches(data + i, folded, t))
            return i;
    return std::string_view::npos;
}

} // namespace casefold
