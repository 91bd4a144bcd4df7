#pragma once

#include "DataBase.h"

#include <iosfwd>
#include <string>

// A TDataBase whose load failures are printed to `err` (as the error box shows
// them) and remembered, so a command can tell whether a load was complete.
class DatabaseSession {
public:
    explicit DatabaseSession(std::ostream& err);

    TDataBase db;

    // Opens `file` the way the program's "open" does: FileName, then Reload.
    // Returns false when the load reported an error.
    bool Open(const std::string& file);
    // Imports `file` the way the program's "import" does (LoadFromFile).
    // Returns false when the load reported an error.
    bool Import(const std::string& file);
    // Saves to FileName; a failure is printed as the general error report
    // shows it. Returns false on failure.
    bool Save();

    // The error message of the last Open/Import, empty when it succeeded.
    [[nodiscard]] const std::string& LastLoadError() const { return lastError_; }

private:
    std::ostream& err_;
    bool failed_ = false;
    std::string lastError_;
};

// The text of an exception as the general error report shows it: a full stop
// is appended when the last character sorts after the full stop.
std::string GeneralReportText(const std::string& message);
