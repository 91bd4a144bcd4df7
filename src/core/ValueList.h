#pragma once

#include "core/Filter.h"

#include <memory>
#include <span>
#include <string>
#include <string_view>

struct TSpelling;

// A sorted list of values (languages, categories or projects), each owning one
// TFilter. Order and lookup use the user's locale collation with letter case
// ignored, so "c++" finds "C++"; the list never holds two values equal under it.
// Values are Windows-1252 bytes. Positions are 0-based and are the positions at
// which the filter dialog shows the values.
class TValueList {
public:
    TValueList();
    ~TValueList();
    TValueList(const TValueList&) = delete;
    TValueList& operator=(const TValueList&) = delete;

    [[nodiscard]] int Count() const;
    [[nodiscard]] const std::string& Value(int index) const;
    [[nodiscard]] TFilter& Filter(int index);
    [[nodiscard]] const TFilter& Filter(int index) const;

    // Position of the value equal to `value` under the list's comparison, or -1.
    [[nodiscard]] int IndexOf(std::string_view value) const;

    // Inserts `value` with a new, ticked TFilter at its sorted place unless the
    // list already holds it. Returns true when it was inserted.
    bool Add(std::string_view value);
    // Delete and Clear leave a value that database entries still use (see
    // UseCount) in place: every entry's value must stay findable.
    void Delete(int index);
    void Clear();

    // Number of database entries whose field uses the value at `index` (in any
    // letter case); the database keeps it, a value with uses is never unused.
    [[nodiscard]] int UseCount(int index) const;

    // One listed value; its layout is private to the core.
    struct Node;

private:
    friend class TDataBase;
    struct Impl;

    // Lookups by node, for the database: stable pointers while the value stays.
    [[nodiscard]] Node* find(std::string_view value) const;
    Node* findOrInsert(std::string_view value);
    // The exact spelling when it is kept already (no collation), or nullptr.
    [[nodiscard]] const TSpelling* findSpelling(std::string_view exact) const;
    // The kept exact spelling, inserting the value when the list lacks it.
    const TSpelling* intern(std::string_view value);
    void remove(Node* node);
    // Makes `values` the whole list, all ticked; only when no entry uses any
    // value. The nodes of values already listed in that spelling are kept,
    // so a new database does not rebuild its default lists from scratch.
    void resetTo(std::span<const char* const> values);

    std::unique_ptr<Impl> d_;
};
