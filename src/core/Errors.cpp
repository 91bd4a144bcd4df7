#include "core/Errors.h"

const char* const InvalidEntryException::Message =
    "Es ist bereits ein identischer Eintrag in der Datenbank vorhanden!";

InvalidEntryException::InvalidEntryException() : std::runtime_error(Message) {}

std::string GeneralReportText(std::string_view message) {
    std::string text(message);
    // Every byte of a character beyond ASCII sorts after the full stop, as the character does.
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.')
        text += '.';
    return text;
}
