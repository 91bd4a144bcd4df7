#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Code of an entry field as a list column; the same codes select a field's
// display text through TDataRecord::FieldText.
enum TColumnKind : std::uint8_t {
    ckNone = 0,
    ckLanguage = 1,
    ckType = 2,
    ckProject = 3,
    ckDate = 4,
    ckTime = 5,
};

struct TSpelling;

// The fields of an entry, over the type of its texts. Texts are the user's
// single-byte text (Windows-1252) exactly as the database file stores it.
template <typename Text> struct TRecordFields {
    Text Language;
    Text ErrorType;
    Text Project;
    Text Description;
    double Date = 0.0;            // days since 30 Dec 1899, the fraction is the time of day
    std::uint32_t ID = 0;         // the database gives it; adding an entry ignores it
    std::uint32_t TimeNeeded = 0; // minutes

    // The same fields viewed, valid while these texts live unchanged.
    [[nodiscard]] TRecordFields<std::string_view> View() const {
        return {Language, ErrorType, Project, Description, Date, ID, TimeNeeded};
    }
};

// The fields as a caller fills them in for the database to adopt
// (TDataBase::AddRecord, ChangeRecord).
using TRecordData = TRecordFields<std::string>;
// The fields viewed in texts that live elsewhere: a stored entry's (see
// TDataRecord::View), or the rows of an import, added without a copy of each.
using TRecordView = TRecordFields<std::string_view>;

// One logged programming error as the database holds it. Only the database
// makes them: the three values refer to the exact spellings that their value
// lists keep once, the description lies in the database's text arena, and the
// entry itself in one of its blocks, at an address that stays while it lives.
class TDataRecord {
public:
    [[nodiscard]] const std::string& Language() const;
    [[nodiscard]] const std::string& ErrorType() const;
    [[nodiscard]] const std::string& Project() const;
    [[nodiscard]] std::string_view Description() const { return {description_, descriptionSize_}; }
    double Date = 0.0;
    std::uint32_t ID = 0;
    std::uint32_t TimeNeeded = 0;
    bool Hidden = false;

    // The fields viewed where the database keeps them, valid while the entry
    // lives unchanged.
    [[nodiscard]] TRecordView View() const;
    // The fields as a caller fills them in, e.g. to change a copy.
    [[nodiscard]] TRecordData Data() const;

    // Display text of a field, in Windows-1252 bytes: 0 empty, 1 Language,
    // 2 ErrorType, 3 Project, 4 Date as "dd.mm.yyyy" (empty when Date is no
    // calendar day), 5 TimeNeeded in decimal digits.
    [[nodiscard]] std::string FieldText(std::uint8_t index) const;

    // True when field texts 1 to 5 agree with ASCII letters folded to lower case.
    [[nodiscard]] bool IsIdentical(const TDataRecord& other) const;

private:
    friend class TDataBase;
    friend class TRecordStore;
    friend struct TRecordAccess;
    TDataRecord() = default;

    // Beside Hidden, in the padding after it: an entry takes 56 bytes.
    // The database's disk mark when the entry was read from its file or last
    // written there; 0 when it has been new or changed since.
    std::uint16_t onDisk_ = 0;
    std::uint32_t descriptionSize_ = 0;
    const TSpelling* language_ = nullptr;
    const TSpelling* errorType_ = nullptr;
    const TSpelling* project_ = nullptr;
    const char* description_ = nullptr;
};
