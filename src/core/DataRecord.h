#pragma once

#include <cstdint>
#include <string>

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

// One logged programming error. Strings hold the user's single-byte text
// (Windows-1252) exactly as it is stored in the database file.
class TDataRecord {
public:
    std::string Language;
    std::string ErrorType;
    std::string Project;
    std::string Description;
    double Date = 0.0; // days since 30 Dec 1899, the fraction is the time of day
    std::uint32_t ID = 0;
    std::uint32_t TimeNeeded = 0; // minutes
    bool Hidden = false;

    // Display text of a field, in Windows-1252 bytes: 0 empty, 1 Language,
    // 2 ErrorType, 3 Project, 4 Date as "dd.mm.yyyy" (empty when Date is no
    // calendar day), 5 TimeNeeded in decimal digits.
    [[nodiscard]] std::string FieldText(std::uint8_t index) const;

    // True when field texts 1 to 5 agree with ASCII letters folded to lower case.
    [[nodiscard]] bool IsIdentical(const TDataRecord& other) const;
};
