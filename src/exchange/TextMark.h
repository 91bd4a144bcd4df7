#pragma once

#include <string_view>

// Spreadsheets take a cell that begins with =, +, -, @, a tab or a carriage
// return for a formula, and a leading apostrophe marks a cell as text. A text
// that begins with such a character (after apostrophes of its own) is
// exported with one apostrophe more, and the import takes exactly one
// apostrophe off the same texts, so that a round trip keeps every byte.
namespace exchange {

inline bool IsFormulaStart(char c) {
    return c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r';
}

// True when `text` is written with a leading apostrophe.
inline bool NeedsTextMark(std::string_view text) {
    const std::size_t start = text.find_first_not_of('\'');
    return start != std::string_view::npos && IsFormulaStart(text[start]);
}

// An imported field without the apostrophe that marked it as text.
inline std::string_view WithoutTextMark(std::string_view field) {
    return !field.empty() && field.front() == '\'' && NeedsTextMark(field) ? field.substr(1)
                                                                           : field;
}

} // namespace exchange
