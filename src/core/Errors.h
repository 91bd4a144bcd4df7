#pragma once

#include "fileio/FileErrors.h"

#include <stdexcept>
#include <string>
#include <string_view>

// Failures are raised as std::runtime_error carrying the German text the user
// sees (UTF-8). A refused duplicate has a type of its own.
class InvalidEntryException : public std::runtime_error {
public:
    InvalidEntryException();
    static const char* const Message; // "Es ist bereits ein identischer Eintrag ..."
};

// The text of a failure as the general error report shows it (UTF-8): a full
// stop is appended when the last character sorts after the full stop, so a
// text ending in "!" stays as it is and one ending in a letter gets ".".
std::string GeneralReportText(std::string_view message);

// Messages of a load that are not errno values.
namespace loadmsg {
inline constexpr const char* PastEnd = fileio::PastEndMessage;
inline constexpr const char* BadMagic = "Die angegebene Datei ist keine gültige Datenbank!";
inline constexpr const char* RangeCheck = "Fehler bei Bereichsprüfung";
inline constexpr const char* OutOfMemory = "Zu wenig Arbeitsspeicher";
} // namespace loadmsg
