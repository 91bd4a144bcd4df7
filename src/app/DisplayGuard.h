#pragma once

// Qt ends a program with abort() and an English message when the application
// object finds no display to open. While a DisplayGuard lives (around the
// making of the application object), such a fatal message of Qt ends the
// program with status 1 and a German explanation on standard error instead;
// Qt's other messages of that time are held and handed on when the guard
// goes.
class DisplayGuard {
public:
    DisplayGuard();
    ~DisplayGuard();
    DisplayGuard(const DisplayGuard&) = delete;
    DisplayGuard& operator=(const DisplayGuard&) = delete;
};
