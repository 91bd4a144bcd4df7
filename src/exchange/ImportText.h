#pragma once

#include <optional>
#include <string>
#include <string_view>

// The text of an imported file: UTF-8 (with or without byte order mark) when
// it is valid UTF-8, otherwise Windows-1252, the database's own encoding.
namespace exchange {

enum class TextEncoding { Utf8, Windows1252 };

struct InputText {
    TextEncoding encoding = TextEncoding::Utf8;
    std::string_view text; // without the byte order mark
};

InputText DetectEncoding(std::string_view bytes);

// A field as database text (Windows-1252), written to `out`, which has room
// for field.size() bytes (the text never grows); returns its length, or
// nothing when the field holds a character that Windows-1252 cannot hold (or
// bytes that are no UTF-8 after a byte order mark).
std::optional<std::size_t> ToDatabaseText(std::string_view field, TextEncoding encoding, char* out);
// Why ToDatabaseText refused `field` (German), naming the first character.
std::string UnstorableReason(std::string_view field);
// Text of the file for showing it (UTF-8), cut after `limit` characters.
std::string DisplayText(std::string_view bytes, TextEncoding encoding, std::size_t limit);

} // namespace exchange
