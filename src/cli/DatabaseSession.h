#pragma once

#include "DataBase.h"

#include <iosfwd>
#include <string>

// A TDataBase whose load failures are printed to `err` (as the error box shows
// them), with the report of the last load, so a command can tell whether a
// load was complete and how many entries it skipped.
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

    // What the last Open/Import did.
    [[nodiscard]] const LoadReport& LastLoad() const { return lastLoad_; }

private:
    std::ostream& err_;
    LoadReport lastLoad_;
};
