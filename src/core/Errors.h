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
