#include "exchange/CsvWriter.h"

#include "core/DateUtil.h"
#include "exchange/Columns.h"
#include "exchange/ExportFile.h"
#include "exchange/TextMark.h"
#include "exchange/Utf8Out.h"

#include <algorithm>
#include <charconv>
#include <ostream>

namespace exchange {

namespace {

constexpr std::size_t BlockSize = std::size_t{64} * 1024;
constexpr std::size_t EntriesPerStep = 16384; // between two calls of the progress

bool NeedsQuotes(std::string_view text, char separator) {
    for (char c : text)
        if (c == separator || c == '"' || c == '\r' || c == '\n')
            return true;
    return false;
}

// A Windows-1252 field as UTF-8, written straight into `out` (this runs for
// every text of every entry, so without a string of its own).
void AppendDatabaseText(std::string& out, std::string_view bytes, char separator, bool marks) {
    const bool quoted = NeedsQuotes(bytes, separator);
    const bool marked = marks && NeedsTextMark(bytes);
    const std::size_t start = out.size();
    // At most 3 UTF-8 bytes (or 2 quotes) a byte, the quotes and the mark.
    out.resize(start + 3 * bytes.size() + 3);
    char* p = out.data() + start;
    if (quoted)
        *p++ = '"';
    if (marked)
        *p++ = '\'';
    for (char c : bytes) {
        if (c == '"' && quoted)
            *p++ = '"';
        p = PutUtf8(p, static_cast<unsigned char>(c));
    }
    if (quoted)
        *p++ = '"';
    out.resize(static_cast<std::size_t>(p - out.data()));
}

void AppendNumber(std::string& out, std::uint32_t value) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

void AppendTwoDigits(std::string& out, int value) {
    out += static_cast<char>('0' + value / 10);
    out += static_cast<char>('0' + value % 10);
}

// dd.mm.yyyy, or nothing when the date is no calendar day.
void AppendDate(std::string& out, double date) {
    const auto day = DecodeDate(date);
    if (!day)
        return;
    AppendTwoDigits(out, day->day);
    out += '.';
    AppendTwoDigits(out, day->month);
    out += '.';
    AppendTwoDigits(out, day->year / 100);
    AppendTwoDigits(out, day->year % 100);
}

void AppendRecord(std::string& out, const TRecordView& entry, const CsvFormat& format) {
    const char sep = format.separator;
    if (format.idColumn) {
        AppendNumber(out, entry.ID);
        out += sep;
    }
    const bool marks = format.textMarks;
    AppendDatabaseText(out, entry.Language, sep, marks);
    out += sep;
    AppendDatabaseText(out, entry.ErrorType, sep, marks);
    out += sep;
    AppendDatabaseText(out, entry.Project, sep, marks);
    out += sep;
    AppendDate(out, entry.Date);
    out += sep;
    AppendNumber(out, entry.TimeNeeded);
    out += sep;
    AppendDatabaseText(out, entry.Description, sep, marks);
    out += "\r\n";
}

} // namespace

void AppendCsvField(std::string& out, std::string_view utf8, char separator) {
    const bool quoted = NeedsQuotes(utf8, separator);
    if (quoted)
        out += '"';
    if (NeedsTextMark(utf8))
        out += '\'';
    if (!quoted) {
        out += utf8;
        return;
    }
    for (char c : utf8) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

bool WriteCsv(const CsvSink& sink, std::span<const TDataRecord* const> entries,
              const CsvFormat& format, const Progress& progress) {
    std::string block;
    block.reserve(BlockSize + 4096);
    if (format.byteOrderMark)
        block += "\xEF\xBB\xBF";
    if (format.idColumn) {
        block += "ID";
        block += format.separator;
    }
    for (std::size_t i = 0; i < ColumnCount; ++i) {
        if (i > 0)
            block += format.separator;
        AppendCsvField(block, GermanHeaders[i], format.separator);
    }
    block += "\r\n";
    const std::uint64_t total = std::max<std::size_t>(entries.size(), 1);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (progress && i % EntriesPerStep == 0 && i > 0 && !progress(i, total))
            return false;
        AppendRecord(block, entries[i]->View(), format);
        if (block.size() >= BlockSize) {
            sink(block);
            block.clear();
        }
    }
    sink(block);
    return !progress || progress(total, total);
}

bool WriteCsv(std::ostream& out, std::span<const TDataRecord* const> entries,
              const CsvFormat& format) {
    WriteCsv([&out](std::string_view block) { out.write(block.data(), std::ssize(block)); },
             entries, format);
    out.flush();
    return static_cast<bool>(out);
}

namespace {

// A cancel in the middle of an export: the replace of the file is given up.
struct ExportCancelled {};

} // namespace

bool ExportCsvFile(const std::string& path, std::span<const TDataRecord* const> entries,
                   const CsvFormat& format, const Progress& progress) {
    try {
        WriteExportFile(path, [&](fileio::OutputFile& out) {
            if (!WriteCsv([&out](std::string_view block) { out.Write(block.data(), block.size()); },
                          entries, format, progress))
                throw ExportCancelled{}; // the file stays as it was
        });
    } catch (const ExportCancelled&) {
        return false;
    }
    return true;
}

} // namespace exchange
