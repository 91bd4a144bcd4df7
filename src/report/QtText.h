#pragma once

#include <QString>
#include <string_view>

// The data core's Windows-1252 texts and the report's UTF-8 texts as Qt
// strings for painting and markup.
namespace report {

// Windows-1252 bytes as text; control characters (which neither a page nor
// XML can hold) become blanks. Line breaks stay when `keepLineBreaks`
// (CR LF and lone CR become one LF), otherwise they become blanks too.
QString FromCp1252(std::string_view bytes, bool keepLineBreaks = false);
QString FromUtf8(std::string_view utf8);

} // namespace report
