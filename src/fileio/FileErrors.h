#pragma once

#include <stdexcept>
#include <string>

// Failures of the file layer are raised as std::runtime_error carrying the
// German text the user sees (UTF-8).
namespace fileio {

// The German text of a failure, by errno value: "Datei nicht gefunden",
// "Dateizugriff verweigert", ..., otherwise "E/A-Fehler <errno>".
std::string FileErrorMessage(int errnum);
// The failure with that message.
std::runtime_error FileError(int errnum);

// A read that needs more bytes than the file has.
inline constexpr const char* PastEndMessage = "Versuch hinter dem Dateiende zu lesen";

} // namespace fileio
