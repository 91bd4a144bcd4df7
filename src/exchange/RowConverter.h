#pragma once

#include "core/DataRecord.h"
#include "exchange/CsvHeader.h"
#include "exchange/ImportText.h"
#include "exchange/RowTexts.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// Turns the fields of one imported CSV row into an entry, or says why the row
// is refused. The same rules read the rows and, later, find the reason of a
// refused row again from its bytes (RefusedRows.h).
namespace exchange {

// The kinds of reasons for refusing a row, as a list of refused rows keeps them.
enum class RefusalKind : std::uint8_t { FieldCount, Unstorable, Date, Minutes, MisplacedQuote };

// What the rows of one file are read with.
struct RowLayout {
    TextEncoding encoding = TextEncoding::Utf8;
    char separator = ';';
    HeaderColumns header;
};

struct RowRefusal {
    RefusalKind kind;
    std::string reason; // German, UTF-8
};

// The entry of `fields` (read under `layout`), its texts kept in `texts`; or
// why the row is refused. Of a text field one leading apostrophe is taken
// off where it marks a text for spreadsheets (TextMark.h); the line breaks
// of the description (LF, CR LF, a lone CR) become CR LF, as a typed one.
std::optional<RowRefusal> ToEntry(const RowLayout& layout, std::span<const std::string> fields,
                                  RowTexts& texts, TRecordView& entry);

} // namespace exchange
