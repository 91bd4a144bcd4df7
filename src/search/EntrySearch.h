#pragma once

#include "core/DataRecord.h"

#include <string>
#include <string_view>
#include <vector>

// The quick search: the typed text is split at blanks into words, and an
// entry matches when every word occurs, letter case ignored (all of
// Windows-1252), in one of its fields as the list shows them: language,
// category, project, date (dd.mm.yyyy), minutes or description.
namespace search {

class Query {
public:
    // The empty query, which matches every entry.
    Query() = default;
    // From the typed text (UTF-8). A word holding a character that
    // Windows-1252 cannot hold is found nowhere.
    static Query FromUtf8(std::string_view text);

    // No words: every entry matches.
    [[nodiscard]] bool Empty() const { return words_.empty() && !unmatchable_; }
    [[nodiscard]] bool Matches(const TDataRecord& entry) const;
    // True when every entry that this query matches is matched by `wider`
    // too (each of its words lies inside one of ours), so that this query's
    // result can be taken from `wider`'s.
    [[nodiscard]] bool Narrows(const Query& wider) const;
    friend bool operator==(const Query&, const Query&) = default;

private:
    struct Word {
        std::string folded;    // Windows-1252, lower case
        bool number = false;   // digits only: minutes and dates may hold it
        bool dateLike = false; // digits and dots only: dates may hold it
        friend bool operator==(const Word&, const Word&) = default;
    };
    std::vector<Word> words_; // longest first: the rarest to find, tried first
    bool unmatchable_ = false;
};

} // namespace search
