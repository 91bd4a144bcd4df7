#include "exchange/XlsxWriter.h"

#include "core/DateUtil.h"
#include "core/Errors.h"
#include "exchange/Columns.h"
#include "exchange/ExportFile.h"
#include "exchange/Utf8Out.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <future>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <xlsxwriter.h>

namespace exchange {

namespace {

constexpr std::size_t CellTextLimit = 32767;                      // characters per Excel cell
constexpr std::size_t RowsPerSheet = LXW_ROW_MAX - 1;             // below the header row
constexpr double MaxTextWidth = 40.0, MaxDescriptionWidth = 60.0; // in characters
constexpr double LineHeight = 15.0, MaxRowHeight = 409.0;         // points, Excel's limit

// Excel's date cells start at 01.01.1900; earlier days are written as text.
constexpr int FirstExcelYear = 1900;

struct Workbook {
    lxw_workbook* book = nullptr;
    ~Workbook() {
        if (book)
            workbook_close(book); // only after a failure: the file is dropped anyway
    }
};

struct Formats {
    lxw_format* header;
    lxw_format* date;
    lxw_format* wrapped;
};

[[noreturn]] void Fail(lxw_error error) {
    if (error == LXW_ERROR_MEMORY_MALLOC_FAILED)
        throw std::runtime_error(loadmsg::OutOfMemory);
    // Failures of the files (the workbook, its temporary parts) carry the
    // system's reason, in German like every file error.
    const int err = errno;
    const bool fileError =
        error == LXW_ERROR_CREATING_XLSX_FILE || error == LXW_ERROR_CREATING_TMPFILE ||
        error == LXW_ERROR_READING_TMPFILE || error == LXW_ERROR_ZIP_FILE_OPERATION ||
        error == LXW_ERROR_ZIP_CLOSE || error == LXW_ERROR_ZIP_FILE_ADD;
    if (fileError && err != 0)
        throw std::runtime_error(fileio::FileErrorMessage(err));
    throw std::runtime_error(
        std::string("Die Excel-Arbeitsmappe konnte nicht geschrieben werden (") +
        lxw_strerror(error) + ").");
}

void Check(lxw_error error) {
    if (error != LXW_NO_ERROR)
        Fail(error);
}

// Column widths in characters: the header or the longest text, within bounds.
// Windows-1252 has one byte per character.
std::array<double, ColumnCount> ColumnWidths(std::span<const TDataRecord* const> entries) {
    std::array<std::size_t, ColumnCount> longest{};
    for (std::size_t i = 0; i < ColumnCount; ++i)
        longest[i] = std::string_view(GermanHeaders[i]).size();
    longest[static_cast<std::size_t>(Column::Date)] = 10;
    for (const TDataRecord* record : entries) {
        const TRecordView entry = record->View();
        longest[0] = std::max(longest[0], entry.Language.size());
        longest[1] = std::max(longest[1], entry.ErrorType.size());
        longest[2] = std::max(longest[2], entry.Project.size());
        std::size_t digits = 1;
        for (std::uint32_t rest = entry.TimeNeeded; rest >= 10; rest /= 10)
            ++digits;
        longest[4] = std::max(longest[4], digits);
        // The longest line of the description counts, as it is wrapped.
        std::size_t line = 0;
        for (char c : entry.Description) {
            line = (c == '\n' || c == '\r') ? 0 : line + 1;
            longest[5] = std::max(longest[5], line);
        }
    }
    std::array<double, ColumnCount> widths{};
    for (std::size_t i = 0; i < ColumnCount; ++i) {
        const double limit = i == 5 ? MaxDescriptionWidth : MaxTextWidth;
        widths[i] = std::min(static_cast<double>(longest[i]) + 2.0, limit);
    }
    return widths;
}

lxw_worksheet* AddSheet(lxw_workbook* book, std::size_t number, std::size_t rows,
                        const std::array<double, ColumnCount>& widths, const Formats& formats) {
    const std::string name =
        number == 1 ? "Eintr\u00E4ge" : "Eintr\u00E4ge " + std::to_string(number);
    lxw_worksheet* sheet = workbook_add_worksheet(book, name.c_str());
    if (!sheet)
        Fail(LXW_ERROR_MEMORY_MALLOC_FAILED);
    for (lxw_col_t col = 0; col < ColumnCount; ++col)
        Check(worksheet_set_column(sheet, col, col, widths[col],
                                   col == 5 ? formats.wrapped : nullptr));
    for (lxw_col_t col = 0; col < ColumnCount; ++col)
        Check(worksheet_write_string(sheet, 0, col, GermanHeaders[col], formats.header));
    worksheet_freeze_panes(sheet, 1, 0);
    Check(worksheet_autofilter(sheet, 0, 0, static_cast<lxw_row_t>(rows), ColumnCount - 1));
    return sheet;
}

// The cell text in UTF-8, into `text` (one buffer for all cells), and whether
// it was cut. A cell's line breaks are line feeds in Excel (a carriage return
// would show as a character): CR LF and a lone CR become LF first, then the
// text is cut after the characters that a cell holds. Each Windows-1252 byte
// is one character, also one UTF-16 unit as Excel counts, so a cut never
// falls inside a character or a line break.
bool CellText(std::string_view bytes, std::string& text) {
    text.resize(3 * std::min(bytes.size(), CellTextLimit) + 1);
    char* p = text.data();
    std::size_t characters = 0;
    std::size_t i = 0;
    for (; i < bytes.size() && characters < CellTextLimit; ++i, ++characters) {
        if (bytes[i] != '\r') {
            p = PutUtf8(p, static_cast<unsigned char>(bytes[i]));
        } else {
            *p++ = '\n';
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        }
    }
    *p = '\0';
    return i < bytes.size();
}

// The lines a wrapped description takes in a column `width` characters wide.
std::size_t WrappedLines(std::string_view text, double width) {
    const auto perLine = static_cast<std::size_t>(std::max(1.0, width - 1.0));
    std::size_t lines = 0;
    std::size_t length = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\n' || text[i] == '\r') {
            lines += 1 + (length == 0 ? 0 : (length - 1) / perLine);
            length = 0;
            if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n')
                ++i;
        } else {
            ++length;
        }
    }
    return lines;
}

// A text cell; a text beyond Excel's limit is cut to it.
void WriteText(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, std::string_view bytes,
               lxw_format* format, std::size_t& shortened) {
    if (bytes.empty())
        return;
    thread_local std::string text;
    if (CellText(bytes, text))
        ++shortened;
    Check(worksheet_write_string(sheet, row, col, text.data(), format));
}

void WriteDate(lxw_worksheet* sheet, lxw_row_t row, double date, const Formats& formats) {
    const auto day = DecodeDate(date);
    if (!day)
        return; // no calendar day: an empty cell
    const auto col = static_cast<lxw_col_t>(Column::Date);
    if (day->year < FirstExcelYear) {
        Check(worksheet_write_string(sheet, row, col, FormatDate(date).c_str(), nullptr));
        return;
    }
    lxw_datetime cell{day->year, day->month, day->day, 0, 0, 0.0};
    Check(worksheet_write_datetime(sheet, row, col, &cell, formats.date));
}

// A row written is one step; packing the workbook (libxlsxwriter compresses
// its parts with zlib's default level when it closes it) takes about twice
// as long as writing the rows, and counts two steps a row.
constexpr std::uint64_t PackingPerWriting = 2;
constexpr std::size_t RowsPerStep = 16384; // between two calls of the progress
constexpr auto PackingTick = std::chrono::milliseconds(100);

XlsxOutcome Cancelled() {
    XlsxOutcome outcome;
    outcome.cancelled = true;
    return outcome;
}

struct Packing {
    std::uint64_t firstStep; // where the packing's steps begin
    std::uint64_t total;
    std::chrono::steady_clock::duration expected; // how long it should take
};

struct Closed {
    lxw_error error = LXW_NO_ERROR;
    int err = 0; // errno after the close
    bool cancelled = false;
};

Closed CloseHere(lxw_workbook* book) {
    errno = 0;
    Closed closed;
    closed.error = workbook_close(book);
    closed.err = errno;
    return closed;
}

// Closes the workbook, which packs it into its file. The packing gives no
// sign of its progress and cannot be stopped: it runs on a thread of its
// own, while this one tells `progress` how far it should be by the time
// gone (never past 95 % of its steps). A cancel takes effect when the
// packing has ended.
Closed Close(lxw_workbook* book, const Progress& progress, const Packing& packing) {
    if (!progress)
        return CloseHere(book);
    std::future<Closed> closing;
    try {
        closing = std::async(std::launch::async, CloseHere, book);
    } catch (const std::system_error&) {
        return CloseHere(book); // no thread to be had: without progress
    }
    const auto start = std::chrono::steady_clock::now();
    const std::uint64_t steps = packing.total - packing.firstStep;
    bool cancelled = false;
    while (closing.wait_for(PackingTick) == std::future_status::timeout && !cancelled) {
        const std::chrono::duration<double> gone = std::chrono::steady_clock::now() - start;
        const double share =
            std::min(0.95, gone / std::chrono::duration<double>(packing.expected + PackingTick));
        cancelled = !progress(packing.firstStep +
                                  static_cast<std::uint64_t>(share * static_cast<double>(steps)),
                              packing.total);
    }
    Closed closed = closing.get();
    closed.cancelled = cancelled;
    return closed;
}

// The workbook of the entries, written to the file `path`; cancelled as
// `progress` says (the workbook is then dropped).
XlsxOutcome WriteWorkbook(const std::string& path, std::span<const TDataRecord* const> entries,
                          const Progress& progress) {
    XlsxOutcome outcome;
    const std::uint64_t rowSteps = entries.size();
    const std::uint64_t total = std::max<std::uint64_t>(rowSteps * (1 + PackingPerWriting), 1);
    // Constant-memory mode streams each row out as it is written.
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    Workbook workbook;
    workbook.book = workbook_new_opt(path.c_str(), &options);
    if (!workbook.book)
        Fail(LXW_ERROR_MEMORY_MALLOC_FAILED);
    Formats formats{workbook_add_format(workbook.book), workbook_add_format(workbook.book),
                    workbook_add_format(workbook.book)};
    format_set_bold(formats.header);
    format_set_num_format(formats.date, "dd.mm.yyyy");
    format_set_text_wrap(formats.wrapped);
    format_set_align(formats.wrapped, LXW_ALIGN_VERTICAL_TOP);

    const auto widths = ColumnWidths(entries);
    const auto writingStart = std::chrono::steady_clock::now();
    std::size_t done = 0;
    std::size_t sheetNumber = 0;
    do {
        const std::size_t rows = std::min(RowsPerSheet, entries.size() - done);
        lxw_worksheet* sheet = AddSheet(workbook.book, ++sheetNumber, rows, widths, formats);
        for (std::size_t i = 0; i < rows; ++i) {
            if (progress && (done + i) % RowsPerStep == 0 && done + i > 0 &&
                !progress(done + i, total))
                return Cancelled(); // the workbook is closed and dropped on the way
            const TRecordView entry = entries[done + i]->View();
            const auto row = static_cast<lxw_row_t>(i + 1);
            // Excel does not grow a row for wrapped text when it opens a file.
            if (const std::size_t lines = WrappedLines(entry.Description, widths[5]); lines > 1)
                Check(worksheet_set_row(
                    sheet, row, std::min(MaxRowHeight, LineHeight * static_cast<double>(lines)),
                    nullptr));
            WriteText(sheet, row, 0, entry.Language, nullptr, outcome.shortenedTexts);
            WriteText(sheet, row, 1, entry.ErrorType, nullptr, outcome.shortenedTexts);
            WriteText(sheet, row, 2, entry.Project, nullptr, outcome.shortenedTexts);
            WriteDate(sheet, row, entry.Date, formats);
            Check(worksheet_write_number(sheet, row, 4, entry.TimeNeeded, nullptr));
            WriteText(sheet, row, 5, entry.Description, formats.wrapped, outcome.shortenedTexts);
        }
        done += rows;
    } while (done < entries.size());

    lxw_workbook* book = workbook.book;
    workbook.book = nullptr;
    const Packing packing{rowSteps, total,
                          (std::chrono::steady_clock::now() - writingStart) * PackingPerWriting};
    const Closed closed = Close(book, progress, packing);
    errno = closed.err;
    Check(closed.error);
    if (closed.cancelled)
        return Cancelled();
    if (progress)
        progress(total, total);
    return outcome;
}

// A cancel in the middle of an export: the replace of the file is given up.
struct ExportCancelled {};

} // namespace

std::string ShortenedTextsNote(std::size_t count) {
    return std::to_string(count) +
           (count == 1 ? " Text war l\u00E4nger als die 32767 Zeichen einer Excel-Zelle und "
                         "wurde gek\u00FCrzt."
                       : " Texte waren l\u00E4nger als die 32767 Zeichen einer Excel-Zelle und "
                         "wurden gek\u00FCrzt.");
}

XlsxOutcome ExportXlsxFile(const std::string& path, std::span<const TDataRecord* const> entries,
                           const Progress& progress) {
    XlsxOutcome outcome;
    try {
        // libxlsxwriter writes the workbook to a file that it opens by name.
        WriteExportFile(path, [&](fileio::OutputFile& out) {
            out.WriteByName([&](const std::string& file) {
                outcome = WriteWorkbook(file, entries, progress);
                if (outcome.cancelled)
                    throw ExportCancelled{}; // the file stays as it was
            });
        });
    } catch (const ExportCancelled&) {
        return Cancelled();
    }
    return outcome;
}

} // namespace exchange
