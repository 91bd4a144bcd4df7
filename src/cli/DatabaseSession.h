#pragma once

#include "core/DataBase.h"
#include "fileio/FileLock.h"
#include "versions/Keeper.h"

#include <iosfwd>
#include <memory>
#include <string>

// A TDataBase whose load failures are printed to `err` (as the error box shows
// them), with the report of the last load, so a verb can tell whether a
// load was complete and how many entries it skipped.
class DatabaseSession {
public:
    explicit DatabaseSession(std::ostream& err);

    TDataBase db;

    // Takes the database lock of `file` for the rest of the session, so that
    // no other `mvd` run changes the file between this one's load and save;
    // from then on a closed output (SIGPIPE) no longer ends mvd.
    // Returns false, with a message, when another run held it too long or
    // the lock's name is no regular file.
    bool Lock(const std::string& file);

    // Opens `file` the way the program's "open" does: FileName, then Reload.
    // Returns false when the load reported an error.
    bool Open(const std::string& file);
    // The start of a read-change-save verb: takes the lock of `file`, then
    // opens it. A missing `file` starts a new database when `missingIsNew`;
    // any other `file` must load completely, since saving a partly read
    // database would cut off the entries behind the damage. Returns false,
    // with a message, when the verb must end.
    bool OpenForChange(const std::string& file, bool missingIsNew);
    // Imports `file` the way the program's "import" does (LoadFromFile).
    // Returns false when the load reported an error.
    bool Import(const std::string& file);
    // Saves to FileName, keeping the replaced file as an older version as the
    // user's settings say (UserVersionPolicy); a failure is printed as the
    // general error report shows it, a version that could not be kept as a
    // warning. Returns false on failure.
    bool Save();

    // Keeps the versions of the session's saves.
    versions::Keeper& VersionKeeper() { return keeper_; }

    // What the last Open/Import did.
    [[nodiscard]] const LoadReport& LastLoad() const { return lastLoad_; }

private:
    std::ostream& err_;
    LoadReport lastLoad_;
    std::unique_ptr<fileio::FileLock> lock_;
    versions::Keeper keeper_;
};
