#include "exchange/CsvReader.h"

#include "core/Cp1252.h"
#include "core/Errors.h"
#include "exchange/CsvHeader.h"
#include "exchange/CsvParser.h"
#include "exchange/ImportText.h"
#include "exchange/ImportValues.h"
#include "fileio/InputFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <exception>
#include <new>
#include <optional>
#include <system_error>
#include <thread>

namespace exchange {

namespace {

constexpr std::size_t ShownRowLength = 500; // characters of a refused row in the report

std::size_t LineOf(std::string_view text, std::size_t pos) {
    std::size_t line = 1;
    for (std::size_t i = 0; i < pos; ++i)
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')))
            ++line;
    return line;
}

std::string_view FirstLine(std::string_view text) {
    const std::size_t start = text.find_first_not_of("\r\n");
    if (start == std::string_view::npos)
        return {};
    const std::size_t end = text.find_first_of("\r\n", start);
    return text.substr(start, end == std::string_view::npos ? end : end - start);
}

bool IsBlank(std::span<const std::string> fields) {
    return std::all_of(fields.begin(), fields.end(), [](const std::string& field) {
        return field.find_first_not_of(" \t") == std::string::npos;
    });
}

std::string ColumnName(Column column) {
    return "\u201E" + std::string(GermanHeaders[static_cast<std::size_t>(column)]) + "\u201C";
}

constexpr std::size_t BytesPerStep = std::size_t{1} << 20; // between two calls of the progress

struct ReadCancelled {};

// The progress of a read, in bytes of the text, shared by the readers of its
// parts: the reader on the calling thread tells `progress`, the one of a
// second part only notes how far it is. A cancel stops both at their next
// step (by ReadCancelled).
class ReadProgress {
public:
    ReadProgress(const Progress& progress, std::string_view text)
        : progress_(progress), text_(text), total_(std::max<std::size_t>(text.size(), 1)) {}

    [[nodiscard]] bool Wanted() const { return static_cast<bool>(progress_); }
    // A second part, read on another thread, begins at `offset`.
    void SecondPartAt(std::size_t offset) { secondStart_ = offset; }
    // The parts are read again as one.
    void OnePart() { secondDone_.store(0, std::memory_order_relaxed); }

    void Reached(const char* at, bool secondPart) {
        if (cancelled_.load(std::memory_order_relaxed))
            throw ReadCancelled{};
        const auto offset = static_cast<std::size_t>(at - text_.data());
        if (secondPart) {
            secondDone_.store(offset - secondStart_, std::memory_order_relaxed);
            return;
        }
        const std::uint64_t done = offset + secondDone_.load(std::memory_order_relaxed);
        if (!progress_(std::min(done, total_), total_)) {
            cancelled_.store(true, std::memory_order_relaxed);
            throw ReadCancelled{};
        }
    }
    // The last call, once the whole text is read.
    [[nodiscard]] bool Finished() const { return !progress_ || progress_(total_, total_); }

private:
    const Progress& progress_;
    std::string_view text_;
    std::uint64_t total_;
    std::size_t secondStart_ = 0;
    std::atomic<std::size_t> secondDone_{0};
    std::atomic<bool> cancelled_{false};
};

// Turns the rows after the header into entries or refusals.
class RowReader {
public:
    RowReader(TextEncoding encoding, CsvReadResult& result, ReadProgress& progress,
              bool secondPart = false)
        : encoding_(encoding), result_(result), progress_(progress), secondPart_(secondPart) {}

    void Record(const CsvRecord& record) {
        if (!result_.failure.empty())
            return;
        if (progress_.Wanted() && record.text.data() >= nextStep_) {
            progress_.Reached(record.text.data(), secondPart_);
            nextStep_ = record.text.data() + BytesPerStep;
        }
        if (!header_) {
            ReadHeader(record);
            return;
        }
        if (IsBlank(record.fields))
            return;
        std::string reason;
        TRecordView entry;
        if (ToEntry(record.fields, entry, reason)) {
            result_.entries.push_back(entry);
            result_.lines.push_back(record.line);
        } else {
            Refuse(record, std::move(reason));
        }
    }

    void MisplacedQuote(const CsvRecord& record) {
        if (!result_.failure.empty())
            return;
        if (!header_)
            result_.failure = "Die Kopfzeile (Zeile " + std::to_string(record.line) +
                              ") enth\u00E4lt ein Anf\u00FChrungszeichen an falscher Stelle.";
        else
            Refuse(record, "Anf\u00FChrungszeichen an falscher Stelle");
    }

    [[nodiscard]] bool SawHeader() const { return header_.has_value(); }
    // Reads rows under the header that `other` read.
    void TakeHeader(const RowReader& other) { header_ = other.header_; }
    [[nodiscard]] CsvEvents Events() {
        return {[this](const CsvRecord& record) { Record(record); },
                [this](const CsvRecord& record) { MisplacedQuote(record); }};
    }

private:
    void ReadHeader(const CsvRecord& record) {
        auto matched = MatchHeader(record.fields);
        if (auto* message = std::get_if<std::string>(&matched))
            result_.failure = std::move(*message);
        else
            header_ = std::get<HeaderColumns>(matched);
    }

    void Refuse(const CsvRecord& record, std::string reason) {
        result_.refused.push_back(
            {record.line, std::move(reason), DisplayText(record.text, encoding_, ShownRowLength)});
    }

    const std::string* Field(std::span<const std::string> fields, Column column) const {
        const auto& index = header_->field[static_cast<std::size_t>(column)];
        return index ? &fields[*index] : nullptr;
    }

    // A text field converted into the result's texts; an absent column is empty.
    std::optional<std::string_view> Text(std::span<const std::string> fields, Column column,
                                         std::string& reason) const {
        const std::string* field = Field(fields, column);
        if (!field)
            return std::string_view();
        char* at = result_.texts.Room(field->size());
        const std::optional<std::size_t> size = ToDatabaseText(*field, encoding_, at);
        if (!size) {
            reason = ColumnName(column) + " " + UnstorableReason(*field);
            return std::nullopt;
        }
        return result_.texts.Keep(at, *size);
    }

    // A number or date cell as UTF-8 (only the reason can show other bytes).
    std::string_view Utf8(const std::string& field, std::string& converted) const {
        if (encoding_ == TextEncoding::Utf8)
            return field;
        converted = cp1252::ToUtf8(field);
        return converted;
    }

    bool ToEntry(std::span<const std::string> fields, TRecordView& entry,
                 std::string& reason) const {
        if (fields.size() != header_->fieldCount) {
            reason = "falsche Anzahl Felder: " + std::to_string(fields.size()) + " statt " +
                     std::to_string(header_->fieldCount);
            return false;
        }
        auto language = Text(fields, Column::Language, reason);
        auto category = language ? Text(fields, Column::Category, reason) : std::nullopt;
        auto project = category ? Text(fields, Column::Project, reason) : std::nullopt;
        auto description = project ? Text(fields, Column::Description, reason) : std::nullopt;
        if (!description)
            return false;
        entry.Language = *language;
        entry.ErrorType = *category;
        entry.Project = *project;
        entry.Description = *description;

        entry.Date = NoCalendarDay;
        std::string converted;
        if (const std::string* field = Field(fields, Column::Date)) {
            auto date = ParseDateCell(Utf8(*field, converted));
            if (auto* refusal = std::get_if<CellRefusal>(&date)) {
                reason = std::move(refusal->reason);
                return false;
            }
            entry.Date = std::get<double>(date);
        }
        if (const std::string* field = Field(fields, Column::Minutes)) {
            auto minutes = ParseMinutesCell(Utf8(*field, converted));
            if (auto* refusal = std::get_if<CellRefusal>(&minutes)) {
                reason = std::move(refusal->reason);
                return false;
            }
            entry.TimeNeeded = std::get<std::uint32_t>(minutes);
        }
        return true;
    }

    TextEncoding encoding_;
    CsvReadResult& result_;
    ReadProgress& progress_;
    bool secondPart_;
    const char* nextStep_ = nullptr;
    std::optional<HeaderColumns> header_;
};

CsvReadResult Refused(std::string message) {
    CsvReadResult result;
    result.failure = std::move(message);
    return result;
}

CsvReadResult OpenQuoteAtEnd(std::size_t line) {
    return Refused("Das Feld in Anf\u00FChrungszeichen, das in Zeile " + std::to_string(line) +
                   " beginnt, wird bis zum Dateiende nicht geschlossen; die Datei ist keine "
                   "vollst\u00E4ndige CSV-Datei.");
}

// At most one row a line: the lists of rows grow only once.
void ReserveRows(CsvReadResult& result, std::string_view text) {
    std::size_t lines = 0;
    for (const char *p = text.data(), *end = p + text.size();
         (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p))));
         ++p)
        ++lines;
    result.entries.reserve(lines);
    result.lines.reserve(lines);
}

// Reads the rows after a header of one line in two halves at once, the second
// on a thread of its own. The halves meet at the start of a line, which is
// the start of a record when the first half ends outside a quoted field;
// when it does not (or the header is not one plain line), nothing, and the
// caller reads the text in one piece.
std::optional<CsvReadResult> ReadInHalves(std::string_view text, char separator,
                                          TextEncoding encoding, ReadProgress& progress) {
    const std::size_t headerStart = text.find_first_not_of("\r\n");
    if (headerStart == std::string_view::npos)
        return std::nullopt;
    std::size_t headerEnd = text.find_first_of("\r\n", headerStart);
    if (headerEnd == std::string_view::npos ||
        text.substr(headerStart, headerEnd - headerStart).find('"') != std::string_view::npos)
        return std::nullopt;
    headerEnd += text.substr(headerEnd, 2) == "\r\n" ? 2u : 1u;
    const std::size_t middle = text.size() / 2;
    const void* feed = std::memchr(text.data() + middle, '\n', text.size() - middle);
    if (!feed)
        return std::nullopt;
    const auto split = static_cast<std::size_t>(static_cast<const char*>(feed) - text.data()) + 1;
    if (split <= headerEnd || split >= text.size())
        return std::nullopt;

    CsvReadResult first;
    RowReader firstReader(encoding, first, progress);
    const CsvEnd header = ParseCsv(text.substr(0, headerEnd), separator, firstReader.Events());
    if (!first.failure.empty() || !firstReader.SawHeader() || header.openQuote != 0)
        return std::nullopt;
    CsvReadResult second;
    RowReader secondReader(encoding, second, progress, /*secondPart=*/true);
    secondReader.TakeHeader(firstReader);
    progress.SecondPartAt(split);
    ReserveRows(first, text.substr(0, split));
    ReserveRows(second, text.substr(split));

    CsvEnd secondEnd;
    std::exception_ptr secondFailed;
    std::thread worker;
    try {
        worker = std::thread([&] {
            try {
                secondEnd = ParseCsv(text.substr(split), separator, secondReader.Events());
            } catch (...) {
                secondFailed = std::current_exception();
            }
        });
    } catch (const std::system_error&) {
        return std::nullopt; // no thread to be had: read in one piece
    }
    CsvEnd firstEnd;
    try {
        firstEnd = ParseCsv(text.substr(headerEnd, split - headerEnd), separator,
                            firstReader.Events(), header.lines + 1);
    } catch (...) {
        worker.join();
        throw;
    }
    worker.join();
    if (secondFailed)
        std::rethrow_exception(secondFailed);
    if (firstEnd.openQuote != 0)
        return std::nullopt; // the halves met inside a quoted field
    const std::size_t offset = header.lines + firstEnd.lines;
    if (secondEnd.openQuote != 0)
        return OpenQuoteAtEnd(secondEnd.openQuote + offset);
    for (std::size_t& line : second.lines)
        line += offset;
    for (RefusedRow& row : second.refused)
        row.line += offset;
    first.entries.insert(first.entries.end(), second.entries.begin(), second.entries.end());
    first.lines.insert(first.lines.end(), second.lines.begin(), second.lines.end());
    first.refused.insert(first.refused.end(), std::make_move_iterator(second.refused.begin()),
                         std::make_move_iterator(second.refused.end()));
    first.texts.Adopt(std::move(second.texts));
    return first;
}

} // namespace

char* RowTexts::Room(std::size_t size) {
    if (static_cast<std::size_t>(end_ - next_) < size) {
        // Blocks of 1 MiB, or one of its own for a longer text.
        const std::size_t blockSize = std::max<std::size_t>(size, std::size_t{1} << 20);
        blocks_.reserve(blocks_.size() + 1);
        blocks_.emplace_back(new char[blockSize]);
        next_ = blocks_.back().get();
        end_ = next_ + blockSize;
    }
    return next_;
}

std::string_view RowTexts::Keep(const char* at, std::size_t used) {
    next_ += used;
    return {at, used};
}

void RowTexts::Adopt(RowTexts&& other) {
    blocks_.reserve(blocks_.size() + other.blocks_.size());
    for (auto& block : other.blocks_)
        blocks_.push_back(std::move(block));
    other = RowTexts();
}

namespace {

CsvReadResult ReadText(std::string_view bytes, std::size_t parallelAbove,
                       const Progress& progress) {
    // Excel's "Unicode text" is UTF-16, which would otherwise be taken for
    // binary data because of its NUL bytes.
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))
        return Refused("Die Datei ist in UTF-16 gespeichert; CSV-Dateien werden in UTF-8 oder "
                       "Windows-1252 gelesen.");
    const InputText input = DetectEncoding(bytes);
    const std::string_view text = input.text;
    // libcsv would take a NUL as a character like any other, but a text
    // file holds none: this is binary data.
    if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos)
        return Refused("Die Datei enth\u00E4lt in Zeile " + std::to_string(LineOf(text, nul)) +
                       " Bin\u00E4rdaten (ein Nullbyte) und ist keine CSV-Datei.");

    const char separator = DetectSeparator(FirstLine(text));
    ReadProgress told(progress, text);
    if (text.size() > parallelAbove)
        if (std::optional<CsvReadResult> halves =
                ReadInHalves(text, separator, input.encoding, told)) {
            if (halves->failure.empty() && !told.Finished())
                throw ReadCancelled{};
            return std::move(*halves);
        }
    told.OnePart();
    CsvReadResult result;
    ReserveRows(result, text);
    RowReader reader(input.encoding, result, told);
    const CsvEnd end = ParseCsv(text, separator, reader.Events());
    if (!result.failure.empty())
        return Refused(std::move(result.failure));
    if (end.openQuote != 0)
        return OpenQuoteAtEnd(end.openQuote);
    if (!reader.SawHeader())
        return Refused("Die Datei ist leer; ihr fehlt die Kopfzeile mit den Spalten\u00FCber"
                       "schriften.");
    if (!told.Finished())
        throw ReadCancelled{};
    return result;
}

} // namespace

CsvReadResult ReadCsv(std::string_view bytes, std::size_t parallelAbove, const Progress& progress) {
    try {
        return ReadText(bytes, parallelAbove, progress);
    } catch (const ReadCancelled&) {
        CsvReadResult cancelled;
        cancelled.cancelled = true;
        return cancelled;
    }
}

CsvReadResult ReadCsvFile(const std::string& path, const Progress& progress) {
    try {
        std::unique_ptr<char[]> bytes;
        std::size_t size = 0;
        try {
            fileio::InputFile file(path, fileio::InputFile::Access::ReadOnly);
            // Read straight into one buffer of the file's size (not filled with
            // zeros first); a file that grows meanwhile, or one that has no size
            // (a pipe), is read to its end.
            std::size_t capacity =
                file.SizeKnown() ? static_cast<std::size_t>(file.Remaining()) : 0;
            bytes.reset(new char[capacity]);
            char more[64 * 1024];
            for (;;) {
                const bool full = size == capacity;
                const std::size_t read = full ? file.ReadSome(more, sizeof more)
                                              : file.ReadSome(bytes.get() + size, capacity - size);
                if (read == 0)
                    break;
                if (full) {
                    const std::size_t grown = std::max(capacity * 2, size + read);
                    std::unique_ptr<char[]> larger(new char[grown]);
                    std::memcpy(larger.get(), bytes.get(), size);
                    std::memcpy(larger.get() + size, more, read);
                    bytes.swap(larger);
                    capacity = grown;
                }
                size += read;
            }
        } catch (const std::runtime_error& error) {
            return Refused(error.what()); // the file layer's German message
        }
        return ReadCsv(std::string_view(bytes.get(), size), ParallelReadAbove, progress);
    } catch (const std::bad_alloc&) {
        return Refused(loadmsg::OutOfMemory);
    }
}

} // namespace exchange
