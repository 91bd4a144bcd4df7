#pragma once

#include <string>
#include <string_view>
#include <vector>

// CSV output after RFC 4180: comma-separated fields, records ended by CRLF, a
// field quoted when it holds a comma, a double quote, a carriage return or a
// line feed; quotes inside a quoted field are doubled. Line breaks inside a
// field are kept as they are.
namespace csv {

// One field, quoted only when needed.
std::string Field(std::string_view text);

// Appends one record (the fields and the closing CRLF) to `out`.
void AppendRow(std::string& out, const std::vector<std::string>& fields);

} // namespace csv
