#include "exchange/RowConverter.h"

#include "core/Cp1252.h"
#include "exchange/ImportValues.h"
#include "exchange/TextMark.h"

#include <cstring>

namespace exchange {

namespace {

std::string ColumnName(Column column) {
    return "\u201E" + std::string(GermanHeaders[static_cast<std::size_t>(column)]) + "\u201C";
}

// The line breaks of `text` that are no CR LF: an LF without a CR before it,
// a CR without an LF after it. (CR and LF are the same byte in UTF-8 and
// Windows-1252 and never part of another character.)
std::size_t BareBreaks(std::string_view text) {
    std::size_t bare = 0;
    for (const char *p = text.data(), *end = p + text.size();
         (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p))));
         ++p)
        bare += p == text.data() || p[-1] != '\r';
    for (const char *p = text.data(), *end = p + text.size();
         (p = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(end - p))));
         ++p)
        bare += p + 1 == end || p[1] != '\n';
    return bare;
}

// Turns every bare line break of the `size` bytes at `text` into CR LF, in
// place from the back; the room holds `bare` bytes more. Returns the new size.
std::size_t WithCrLf(char* text, std::size_t size, std::size_t bare) {
    std::size_t out = size + bare;
    char next = '\0'; // the byte after `in` as it was
    for (std::size_t in = size; in-- > 0;) {
        const char c = text[in];
        if (c == '\n') {
            text[--out] = '\n';
            if (in == 0 || text[in - 1] != '\r')
                text[--out] = '\r';
        } else if (c == '\r' && next != '\n') {
            text[--out] = '\n';
            text[--out] = '\r';
        } else {
            text[--out] = c;
        }
        next = c;
    }
    return size + bare;
}

class Converter {
public:
    Converter(const RowLayout& layout, std::span<const std::string> fields, RowTexts& texts)
        : layout_(layout), fields_(fields), texts_(texts) {}

    std::optional<RowRefusal> ToEntry(TRecordView& entry) {
        if (fields_.size() != layout_.header.fieldCount)
            return RowRefusal{RefusalKind::FieldCount,
                              "falsche Anzahl Felder: " + std::to_string(fields_.size()) +
                                  " statt " + std::to_string(layout_.header.fieldCount)};
        const Column texts[] = {Column::Language, Column::Category, Column::Project,
                                Column::Description};
        std::string_view* targets[] = {&entry.Language, &entry.ErrorType, &entry.Project,
                                       &entry.Description};
        for (std::size_t i = 0; i < std::size(texts); ++i)
            if (auto refusal = Text(texts[i], *targets[i]))
                return refusal;

        entry.Date = NoCalendarDay;
        std::string converted;
        if (const std::string* field = Field(Column::Date)) {
            auto date = ParseDateCell(Utf8(*field, converted));
            if (auto* refusal = std::get_if<CellRefusal>(&date))
                return RowRefusal{RefusalKind::Date, std::move(refusal->reason)};
            entry.Date = std::get<double>(date);
        }
        entry.TimeNeeded = 0;
        if (const std::string* field = Field(Column::Minutes)) {
            auto minutes = ParseMinutesCell(Utf8(*field, converted));
            if (auto* refusal = std::get_if<CellRefusal>(&minutes))
                return RowRefusal{RefusalKind::Minutes, std::move(refusal->reason)};
            entry.TimeNeeded = std::get<std::uint32_t>(minutes);
        }
        return std::nullopt;
    }

private:
    const std::string* Field(Column column) const {
        const auto& index = layout_.header.field[static_cast<std::size_t>(column)];
        return index ? &fields_[*index] : nullptr;
    }

    // A text field converted into the texts; an absent column is empty.
    std::optional<RowRefusal> Text(Column column, std::string_view& text) {
        const std::string* field = Field(column);
        if (!field) {
            text = {};
            return std::nullopt;
        }
        const std::string_view value = WithoutTextMark(*field);
        const std::size_t bare = column == Column::Description ? BareBreaks(value) : 0;
        char* at = texts_.Room(value.size() + bare);
        const std::optional<std::size_t> size = ToDatabaseText(value, layout_.encoding, at);
        if (!size)
            return RowRefusal{RefusalKind::Unstorable,
                              ColumnName(column) + " " + UnstorableReason(value)};
        text = texts_.Keep(at, bare > 0 ? WithCrLf(at, *size, bare) : *size);
        return std::nullopt;
    }

    // A number or date cell as UTF-8 (only the reason can show other bytes).
    std::string_view Utf8(const std::string& field, std::string& converted) const {
        if (layout_.encoding == TextEncoding::Utf8)
            return field;
        converted = cp1252::ToUtf8(field);
        return converted;
    }

    const RowLayout& layout_;
    std::span<const std::string> fields_;
    RowTexts& texts_;
};

} // namespace

std::optional<RowRefusal> ToEntry(const RowLayout& layout, std::span<const std::string> fields,
                                  RowTexts& texts, TRecordView& entry) {
    return Converter(layout, fields, texts).ToEntry(entry);
}

} // namespace exchange
