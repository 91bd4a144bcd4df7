#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

// Entries hold Windows-1252 bytes; the GUI shows them as QString. Both ways
// use the core's lossless converter (every byte maps to one code point).
namespace GuiText {
// Table-driven, so the list can convert texts per row without a UTF-8 detour.
QString FromCp1252(std::string_view bytes);
// Nothing when the text holds a character that Windows-1252 cannot hold.
std::optional<std::string> ToCp1252(const QString& text);

// A description keeps its line breaks as CR LF; a text field breaks lines at
// LF. Shown, a CR LF is one line break; stored, every LF that has no CR
// before it gets one (a bare LF from an older file stays one break).
QString ShownLines(std::string_view bytes);
std::string StoredLines(std::string_view bytes);
} // namespace GuiText
