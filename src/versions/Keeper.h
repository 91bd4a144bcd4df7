#pragma once

#include "fileio/FileStamp.h"
#include "fileio/ReplaceFile.h"

#include <cstdint>
#include <string>

class TDataBase;

// Keeps the file that a save replaces as an older version of the database,
// in the database's versions folder (see VersionFolder.h), and thins the
// versions after each save (see Thinning.h):
// - a save that renames its new file over the old one leaves the old file to
//   a hard link in the versions folder, made right before the rename: no byte
//   is copied, and after the rename the old file has the version's name only
//   (then it is made readable by its owner only, 0600);
// - a save that writes in place (a file with several names) would change a
//   hard-linked version too: there the version is a reflink (FICLONE) where
//   the file system offers it, otherwise a copy;
// - a versions folder on another file system, or a file of another owner,
//   gets a reflink or a copy as well.
// A failure to keep a version never stops the save: it is noted as a warning
// that the caller shows once per keeper (TakeWarning), and the save goes on.
namespace versions {

inline constexpr std::uint64_t DefaultSizeLimit = std::uint64_t{1} << 30; // per database

struct Policy {
    bool Keep = true;                           // switched off, the versions kept so far stay
    std::uint64_t SizeLimit = DefaultSizeLimit; // bytes per database
};

// What a caller knows of the file that it replaces: its stamp and the number
// of entries it held then (from a complete load or its own save), so that
// the index learns the new version's entries without loading it.
struct KnownContent {
    fileio::FileStamp stamp;
    std::int64_t entries = -1; // -1: not known
};

class Keeper {
public:
    explicit Keeper(Policy policy = {}) : policy_(policy) {}

    // The policy, changed by the options; the next save follows it.
    void SetPolicy(const Policy& policy) { policy_ = policy; }
    [[nodiscard]] const Policy& GetPolicy() const { return policy_; }

    // The hook of the saves of `db` (TDataBase::KeepOldFile): keeps the file
    // that a save replaces while the policy says so, with what `db` knows of
    // it (DiskStamp, DiskEntries). The keeper and `db` must outlive its use.
    [[nodiscard]] fileio::KeepOldFile HookFor(const TDataBase& db);
    // A hook that keeps the replaced file whatever the policy says (a
    // restore that replaces a database by a version).
    [[nodiscard]] fileio::KeepOldFile HookAlways(KnownContent known = {});

    // The German warning about the first version that could not be kept by a
    // save that went on, once per keeper; empty otherwise.
    [[nodiscard]] std::string TakeWarning();

    // The path of the version that the last save kept; empty when it kept none.
    [[nodiscard]] const std::string& LastKept() const { return lastKept_; }

private:
    fileio::OldFileOutcome keep(const fileio::OldFile& old, const KnownContent& known);

    Policy policy_;
    bool warned_ = false;
    std::string warning_;
    std::string lastKept_;
};

} // namespace versions
