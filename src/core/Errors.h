#pragma once

#include <stdexcept>
#include <string>

// Failures are raised as std::runtime_error carrying the German text the user
// sees (UTF-8). A refused duplicate has a type of its own.
class InvalidEntryException : public std::runtime_error {
public:
    InvalidEntryException();
    static const char* const Message; // "Es ist bereits ein identischer Eintrag ..."
};

// The German text of a failure of the file layer, by errno value: "Datei nicht
// gefunden", "Dateizugriff verweigert", ..., otherwise "E/A-Fehler <errno>".
std::string FileErrorMessage(int errnum);

// Messages of a load that are not errno values.
namespace loadmsg {
inline constexpr const char* PastEnd = "Versuch hinter dem Dateiende zu lesen";
inline constexpr const char* BadMagic = "Die angegebene Datei ist keine gültige Datenbank!";
inline constexpr const char* RangeCheck = "Fehler bei Bereichsprüfung";
inline constexpr const char* OutOfMemory = "Zu wenig Arbeitsspeicher";
} // namespace loadmsg
