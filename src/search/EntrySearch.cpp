#include "search/EntrySearch.h"

#include "core/Cp1252.h"
#include "search/CaseFold.h"
#include "search/SearchFields.h"

#include <algorithm>
#include <charconv>

namespace search {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

Query Query::FromUtf8(std::string_view text) {
    Query query;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i]))
            ++i;
        std::size_t end = i;
        while (end < text.size() && !IsBlank(text[end]))
            ++end;
        if (end == i)
            break;
        const std::optional<std::string> bytes = cp1252::FromUtf8(text.substr(i, end - i));
        i = end;
        if (!bytes) {
            query.unmatchable_ = true;
            continue;
        }
        Word word;
        word.folded = *bytes;
        for (char& c : word.folded)
            c = static_cast<char>(casefold::Lower(static_cast<unsigned char>(c)));
        word.dateLike = std::all_of(word.folded.begin(), word.folded.end(),
                                    [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
        word.number = std::all_of(word.folded.begin(), word.folded.end(),
                                  [](char c) { return c >= '0' && c <= '9'; });
        if (std::find(query.words_.begin(), query.words_.end(), word) == query.words_.end())
            query.words_.push_back(std::move(word));
    }
    std::stable_sort(query.words_.begin(), query.words_.end(), [](const Word& a, const Word& b) {
        return a.folded.size() > b.folded.size();
    });
    return query;
}

bool Query::Matches(const TDataRecord& entry) const {
    if (unmatchable_)
        return false;
    if (words_.empty())
        return true;
    const TRecordView fields = entry.View();
    char date[10];
    std::size_t dateLength = 0;
    bool dateMade = false;
    char minutes[10];
    std::size_t minutesLength = 0;
    for (const Word& word : words_) {
        const std::string_view w = word.folded;
        auto in = [w](std::string_view text) {
            return casefold::Find(text, w) != std::string_view::npos;
        };
        if (in(fields.Language) || in(fields.ErrorType) || in(fields.Project) ||
            in(fields.Description))
            continue;
        // Dates and minutes hold digits and dots only: their texts are made
        // only for words that could be found there.
        if (word.dateLike) {
            if (!dateMade) {
                dateLength = DateText(fields.Date, date);
                dateMade = true;
            }
            if (in(std::string_view(date, dateLength)))
                continue;
        }
        if (word.number) {
            if (minutesLength == 0)
                minutesLength = static_cast<std::size_t>(
                    std::to_chars(minutes, minutes + sizeof minutes, fields.TimeNeeded).ptr -
                    minutes);
            if (in(std::string_view(minutes, minutesLength)))
                continue;
        }
        return false;
    }
    return true;
}

bool Query::Narrows(const Query& wider) const {
    if (unmatchable_)
        return true; // matches nothing
    if (wider.unmatchable_)
        return false;
    return std::all_of(wider.words_.begin(), wider.words_.end(), [this](const Word& outer) {
        return std::any_of(words_.begin(), words_.end(), [&outer](const Word& inner) {
            return inner.folded.find(outer.folded) != std::string::npos;
        });
    });
}

} // namespace search
