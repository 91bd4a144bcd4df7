#pragma once

#include <optional>
#include <string>
#include <string_view>

// Lossless conversion between the database's Windows-1252 bytes and UTF-8.
// All 256 byte values map to a code point (the five undefined codes to the C1
// controls, as ICU's "windows-1252" converter does), so bytes survive a round
// trip unchanged.
namespace cp1252 {
std::string ToUtf8(std::string_view bytes);
// std::nullopt when the text holds a character that Windows-1252 cannot hold
// (or is not valid UTF-8).
std::optional<std::string> FromUtf8(std::string_view utf8);
// The Unicode character of one byte, and a whole text as UTF-16 (for ICU).
char16_t ToUnicode(unsigned char byte);
std::u16string ToUtf16(std::string_view bytes);
} // namespace cp1252
