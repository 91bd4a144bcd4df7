#include "exchange/CsvParser.h"

#include <algorithm>
#include <cstring>
#include <csv.h>
#include <new>
#include <vector>

namespace exchange {

namespace {

constexpr unsigned char ParserOptions = CSV_STRICT | CSV_STRICT_FINI;

// libcsv grows its field buffer by a fixed block (128 bytes unless told),
// which makes a large field cost time and memory far beyond its size. The
// block is set before each line: the line's length, or what the record has
// taken so far (so a field over many lines grows geometrically), at least
// this much.
constexpr std::size_t SmallestBlock = 4096;
// A record with a field longer than this gives its buffers back once it is
// reported, so that one large field does not keep twice its size for the
// rest of the read.
constexpr std::size_t LargeField = std::size_t{1} << 20;

// libcsv trims blanks and tabs by default; a field keeps them here.
int NoBlanks(unsigned char /*c*/) {
    return 0;
}

// The fields of the record being read and where it stands.
struct State {
    std::vector<std::string> fields;
    std::size_t used = 0;
    bool ended = false;
    std::size_t line = 0;      // the physical line being fed
    std::size_t fieldLine = 0; // the line on which the open field begins
    std::size_t longest = 0;   // the longest field of the record so far
};

void OnField(void* data, std::size_t size, void* context) {
    auto& state = *static_cast<State*>(context);
    if (state.used == state.fields.size())
        state.fields.emplace_back();
    state.fields[state.used++].assign(static_cast<const char*>(data), size);
    state.fieldLine = state.line;
    state.longest = std::max(state.longest, size);
}

void OnRecordEnd(int /*terminator*/, void* context) {
    static_cast<State*>(context)->ended = true;
}

class Parser {
public:
    explicit Parser(char separator) : separator_(separator) { Init(); }
    ~Parser() { csv_free(&parser_); }
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    // False at a misplaced quote. `recordSoFar` is how many bytes of the
    // record were fed before.
    bool Feed(std::string_view bytes, std::size_t recordSoFar, State& state) {
        csv_set_blk_size(&parser_, std::max({SmallestBlock, bytes.size(), recordSoFar}));
        return csv_parse(&parser_, bytes.data(), bytes.size(), OnField, OnRecordEnd, &state) ==
               bytes.size();
    }
    // False when a quoted field is still open.
    bool Finish(State& state) { return csv_fini(&parser_, OnField, OnRecordEnd, &state) == 0; }
    void Reset() {
        csv_free(&parser_);
        Init();
    }

private:
    void Init() {
        if (csv_init(&parser_, ParserOptions) != 0)
            throw std::bad_alloc();
        csv_set_delim(&parser_, static_cast<unsigned char>(separator_));
        csv_set_space_func(&parser_, NoBlanks);
    }
    char separator_;
    csv_parser parser_{};
};

// The length of the line break at `pos` (0 when there is none).
std::size_t BreakLength(std::string_view text, std::size_t pos) {
    if (text[pos] == '\n')
        return 1;
    if (text[pos] == '\r')
        return pos + 1 < text.size() && text[pos + 1] == '\n' ? 2 : 1;
    return 0;
}

// Finds where each line ends (at its CR, LF or CR LF, or at the end of the
// text). The next LF is remembered, so that a text with CR line ends is not
// searched to its end for every line.
class LineEnds {
public:
    explicit LineEnds(std::string_view text) : text_(text) {}
    std::size_t From(std::size_t pos) {
        if (nextFeed_ < pos || nextFeed_ == Unknown) {
            const void* feed = std::memchr(text_.data() + pos, '\n', text_.size() - pos);
            nextFeed_ =
                feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - text_.data())
                     : text_.size();
        }
        const void* cr = std::memchr(text_.data() + pos, '\r', nextFeed_ - pos);
        return cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - text_.data())
                  : nextFeed_;
    }

private:
    static constexpr std::size_t Unknown = static_cast<std::size_t>(-1);
    std::string_view text_;
    std::size_t nextFeed_ = Unknown;
};

} // namespace

CsvEnd ParseCsv(std::string_view text, char separator, const CsvEvents& events,
                std::size_t firstLine) {
    Parser parser(separator);
    State state;
    state.line = firstLine - 1;
    bool inRecord = false;
    std::size_t recordStart = 0;
    std::size_t recordLine = 0;

    const auto report = [&](std::size_t end, bool misplaced) {
        const bool large = state.longest > LargeField;
        if (large && !misplaced)
            parser.Reset(); // its buffer goes before the fields are converted
        const CsvRecord record{recordLine, text.substr(recordStart, end - recordStart),
                               misplaced
                                   ? std::span<const std::string>()
                                   : std::span<const std::string>(state.fields.data(), state.used)};
        (misplaced ? events.misplacedQuote : events.record)(record);
        if (large)
            for (std::string& field : state.fields)
                if (field.capacity() > LargeField)
                    std::string().swap(field);
        state.used = 0;
        state.ended = false;
        state.longest = 0;
        inRecord = false;
    };

    LineEnds lineEnds(text);
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t lineEnd = lineEnds.From(pos);
        const std::size_t next = lineEnd + (lineEnd < text.size() ? BreakLength(text, lineEnd) : 0);
        ++state.line;
        if (!inRecord) {
            if (lineEnd == pos) { // an empty line between records
                pos = next;
                continue;
            }
            inRecord = true;
            recordStart = pos;
            recordLine = state.line;
            state.fieldLine = state.line;
        }
        if (!parser.Feed(text.substr(pos, next - pos), pos - recordStart, state)) {
            report(lineEnd, true);
            parser.Reset();
        } else if (state.ended) {
            report(lineEnd, false);
        }
        pos = next;
    }
    const std::size_t lines = state.line - (firstLine - 1);
    if (!parser.Finish(state))
        return {state.fieldLine, lines};
    if (state.ended)
        report(text.size(), false);
    return {0, lines};
}

} // namespace exchange
