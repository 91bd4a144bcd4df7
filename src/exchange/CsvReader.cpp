#include "exchange/CsvReader.h"

#include "core/Errors.h"
#include "exchange/CsvHeader.h"
#include "exchange/CsvParser.h"
#include "exchange/ImportText.h"
#include "exchange/RowConverter.h"
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

// Turns the rows after the header into entries or refusals. A refused row
// is kept by its place in `file` (the bytes read, from their first one).
class RowReader {
public:
    RowReader(TextEncoding encoding, char separator, const char* file, CsvReadResult& result,
              ReadProgress& progress, bool secondPart = false)
        : file_(file), result_(result), progress_(progress), secondPart_(secondPart) {
        result_.layout.encoding = encoding;
        result_.layout.separator = separator;
    }

    void Record(const CsvRecord& record) {
        if (!result_.failure.empty())
            return;
        if (progress_.Wanted() && record.text.data() >= nextStep_) {
            progress_.Reached(record.text.data(), secondPart_);
            nextStep_ = record.text.data() + BytesPerStep;
        }
        if (!sawHeader_) {
            ReadHeader(record);
            return;
        }
        if (IsBlank(record.fields))
            return;
        TRecordView entry;
        if (const auto refusal = ToEntry(result_.layout, record.fields, result_.texts, entry)) {
            Refuse(record, refusal->kind);
        } else {
            result_.entries.push_back(entry);
            result_.lines.push_back(record.line);
        }
    }

    void MisplacedQuote(const CsvRecord& record) {
        if (!result_.failure.empty())
            return;
        if (!sawHeader_)
            result_.failure = "Die Kopfzeile (Zeile " + std::to_string(record.line) +
                              ") enth\u00E4lt ein Anf\u00FChrungszeichen an falscher Stelle.";
        else
            Refuse(record, RefusalKind::MisplacedQuote);
    }

    [[nodiscard]] bool SawHeader() const { return sawHeader_; }
    // Reads rows under the header that `other` read.
    void TakeHeader(const RowReader& other) {
        result_.layout.header = other.result_.layout.header;
        sawHeader_ = other.sawHeader_;
    }
    [[nodiscard]] CsvEvents Events() {
        return {[this](const CsvRecord& record) { Record(record); },
                [this](const CsvRecord& record) { MisplacedQuote(record); }};
    }

private:
    void ReadHeader(const CsvRecord& record) {
        auto matched = MatchHeader(record.fields);
        if (auto* message = std::get_if<std::string>(&matched)) {
            result_.failure = std::move(*message);
        } else {
            result_.layout.header = std::get<HeaderColumns>(matched);
            sawHeader_ = true;
        }
    }

    void Refuse(const CsvRecord& record, RefusalKind kind) {
        result_.refused.push_back(
            {record.line, static_cast<std::uint64_t>(record.text.data() - file_),
             static_cast<std::uint32_t>(std::min<std::size_t>(record.text.size(), UINT32_MAX)),
             kind});
    }

    const char* file_;
    CsvReadResult& result_;
    ReadProgress& progress_;
    bool secondPart_;
    bool sawHeader_ = false;
    const char* nextStep_ = nullptr;
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

// Where rows can end: the line feeds outside quoted fields, by the parity of
// the quotes before them. A quote out of place in an unquoted field upsets
// the parity, so this is a guess, which the read checks. The lists of rows
// are reserved for the rows it counts (a field over many lines counts once),
// and the text can be read in halves that meet after the first row break at
// or after its middle.
struct RowBreaks {
    std::size_t total = 0;
    std::size_t split = std::string_view::npos; // after the row break at or after the middle
    std::size_t beforeSplit = 0;                // row breaks up to `split`
};

RowBreaks FindRowBreaks(std::string_view text) {
    RowBreaks breaks;
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const auto next = [end](const char* from, char c) {
        return static_cast<const char*>(std::memchr(from, c, static_cast<std::size_t>(end - from)));
    };
    const char* quote = next(begin, '"');
    bool quoted = false;
    for (const char* feed = next(begin, '\n'); feed; feed = next(feed + 1, '\n')) {
        for (; quote && quote < feed; quote = next(quote + 1, '"'))
            quoted = !quoted;
        if (quoted)
            continue;
        ++breaks.total;
        if (breaks.split == std::string_view::npos &&
            static_cast<std::size_t>(feed - begin) >= text.size() / 2) {
            breaks.split = static_cast<std::size_t>(feed - begin) + 1;
            breaks.beforeSplit = breaks.total;
        }
    }
    return breaks;
}

void ReserveRows(CsvReadResult& result, std::size_t rows) {
    result.entries.reserve(rows);
    result.lines.reserve(rows);
}

// Reads the rows after a header of one line in two halves at once, the second
// on a thread of its own. The halves meet at the start of a line, which is
// the start of a record when the first half ends outside a quoted field;
// when it does not (or the header is not one plain line), nothing, and the
// caller reads the text in one piece.
std::optional<CsvReadResult> ReadInHalves(std::string_view text, const RowBreaks& breaks,
                                          const char* file, char separator, TextEncoding encoding,
                                          ReadProgress& progress) {
    const std::size_t headerStart = text.find_first_not_of("\r\n");
    if (headerStart == std::string_view::npos)
        return std::nullopt;
    std::size_t headerEnd = text.find_first_of("\r\n", headerStart);
    if (headerEnd == std::string_view::npos ||
        text.substr(headerStart, headerEnd - headerStart).find('"') != std::string_view::npos)
        return std::nullopt;
    headerEnd += text.substr(headerEnd, 2) == "\r\n" ? 2u : 1u;
    const std::size_t split = breaks.split;
    if (split == std::string_view::npos || split <= headerEnd || split >= text.size())
        return std::nullopt;

    CsvReadResult first;
    RowReader firstReader(encoding, separator, file, first, progress);
    const CsvEnd header = ParseCsv(text.substr(0, headerEnd), separator, firstReader.Events());
    if (!first.failure.empty() || !firstReader.SawHeader() || header.openQuote != 0)
        return std::nullopt;
    CsvReadResult second;
    RowReader secondReader(encoding, separator, file, second, progress, /*secondPart=*/true);
    secondReader.TakeHeader(firstReader);
    progress.SecondPartAt(split);
    ReserveRows(first, breaks.beforeSplit);
    ReserveRows(second, breaks.total - breaks.beforeSplit);

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
    first.refused.insert(first.refused.end(), second.refused.begin(), second.refused.end());
    first.texts.Adopt(std::move(second.texts));
    return first;
}

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
    const RowBreaks breaks = FindRowBreaks(text);
    if (text.size() > parallelAbove)
        if (std::optional<CsvReadResult> halves =
                ReadInHalves(text, breaks, bytes.data(), separator, input.encoding, told)) {
            if (halves->failure.empty() && !told.Finished())
                throw ReadCancelled{};
            halves->source = bytes;
            return std::move(*halves);
        }
    told.OnePart();
    CsvReadResult result;
    ReserveRows(result, breaks.total + 1); // the last row may end without a break
    RowReader reader(input.encoding, separator, bytes.data(), result, told);
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
    result.source = bytes;
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
        // The stamp of the file as read; empty when it changed meanwhile.
        fileio::FileStamp stamp = fileio::StampOf(path);
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
        if (fileio::StampOf(path) != stamp)
            stamp = {};
        CsvReadResult result =
            ReadCsv(std::string_view(bytes.get(), size), ParallelReadAbove, progress);
        result.ReleaseSource();
        if (!result.refused.empty()) {
            // Kept for reporting the refused rows.
            result.source = std::string_view(bytes.get(), size);
            result.ownedSource = std::move(bytes);
            result.sourceStamp = stamp;
        }
        return result;
    } catch (const std::bad_alloc&) {
        return Refused(loadmsg::OutOfMemory);
    }
}

} // namespace exchange
