#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// Line breaking of Windows-1252 text by a table of character widths: greedy,
// at blanks, inside a word only when it is longer than a line; CR LF, CR and
// LF break the line. The print layout counts lines with it in one streaming
// pass and paints the very same lines later, so that the page breaks it
// counted are the ones it paints. A control character counts as a blank, as
// it is painted as one.
namespace report {

using CharWidths = std::array<double, 256>;

struct TextLine {
    std::size_t begin = 0; // bytes [begin, end) of the text, trailing blanks left out
    std::size_t end = 0;
};

// Calls `line(TextLine)` for every line from the first (0-based) `skip` on
// and returns the number of lines in all. Line breaks and blanks at the end
// of the text make no lines; an empty text has none.
template <typename OnLine>
std::size_t WrapText(std::string_view text, const CharWidths& widths, double maxWidth,
                     std::size_t skip, OnLine&& line);

namespace detail {
inline bool IsBlank(unsigned char c) {
    return c == ' ' || c == '\t' || (c < 0x20 && c != '\r' && c != '\n');
}
} // namespace detail

template <typename OnLine>
std::size_t WrapText(std::string_view text, const CharWidths& widths, double maxWidth,
                     std::size_t skip, OnLine&& line) {
    std::size_t size = text.size();
    while (size > 0 && (detail::IsBlank(static_cast<unsigned char>(text[size - 1])) ||
                        text[size - 1] == '\r' || text[size - 1] == '\n'))
        --size;
    std::size_t lines = 0;
    std::size_t i = 0;
    while (i < size) {
        const std::size_t begin = i;
        std::size_t breakAt = 0; // after the last blank of this line, 0: none
        double width = 0.0;
        while (i < size && text[i] != '\r' && text[i] != '\n') {
            const auto c = static_cast<unsigned char>(text[i]);
            const double w = widths[c];
            if (width + w > maxWidth && i > begin && !detail::IsBlank(c)) {
                if (breakAt > begin)
                    i = breakAt;
                break;
            }
            width += w;
            ++i;
            if (detail::IsBlank(c))
                breakAt = i;
        }
        std::size_t end = i;
        while (end > begin && detail::IsBlank(static_cast<unsigned char>(text[end - 1])))
            --end;
        if (lines >= skip)
            line(TextLine{begin, end});
        ++lines;
        if (i < size && (text[i] == '\r' || text[i] == '\n')) {
            i += (text[i] == '\r' && i + 1 < size && text[i + 1] == '\n') ? std::size_t{2}
                                                                          : std::size_t{1};
        } else {
            // A soft break: the blanks at the break belong to neither line.
            while (i < size && detail::IsBlank(static_cast<unsigned char>(text[i])))
                ++i;
        }
    }
    return lines;
}

inline std::size_t CountLines(std::string_view text, const CharWidths& widths, double maxWidth) {
    return WrapText(text, widths, maxWidth, static_cast<std::size_t>(-1), [](TextLine) {});
}

} // namespace report
