#pragma once

#include "fileio/FileStamp.h"
#include "fileio/OutputFile.h"

#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

namespace fileio {

// The file that a replace is about to replace, as ReplaceOptions::keepOld sees it.
struct OldFile {
    std::string path;      // the file itself (symbolic links followed)
    struct stat status {}; // as the replace found it before deciding how to replace it
    bool inPlace = false;  // written in place; otherwise a rename puts a new file in its place
};
// Told once the replace is over whether the old content was replaced.
using OldFileOutcome = std::function<void(bool replaced)>;
// Keeps the file that a replace is about to replace (an older version of it).
// Called once per replace of an existing file, when the new content is ready
// and the way of replacing is decided: right before the rename, or right
// before the write in place. Its failures are its own business, never the
// replace's (what it throws is dropped). What it returns, when not empty, is
// called after the replace succeeded or failed.
using KeepOldFile = std::function<OldFileOutcome(const OldFile& old)>;

struct ReplaceOptions {
    // Permissions of a file that does not exist yet, before the umask; a file
    // that is replaced keeps its owner and permissions.
    mode_t newFileMode = 0666;
    // Empty: the old content simply goes.
    KeepOldFile keepOld{};
    // A target that is no regular file (a pipe, a terminal, /dev/stdout) is
    // written straight into instead of being refused.
    bool intoStreams = false;
};

// Puts the new content out (OutputFile::WriteByName for a writer that opens
// its output by name); may throw, which ends the replace.
using ContentWriter = std::function<void(OutputFile& out)>;

// Replaces the file `name` by the content that `write` puts out, so that
// readers and a crash see either the old or the new content, never a torn one:
// a symbolic link is followed to the file it names (the link stays a link);
// the content goes to a hidden temporary file in the same folder, is flushed
// to disk and renamed over the file; then the folder is flushed. A folder, a
// device or a write-protected file is refused, as a write into it would be
// (see ReplaceOptions::intoStreams).
// On failure nothing is left behind and the old file is unchanged: the
// failure is thrown as std::runtime_error with the German message of the file
// layer, or passed on as `write` threw it. Leftover temporary files of killed
// saves are removed first (see RemoveLeftovers).
// A file with more than one hard link, and a writable file in a folder that
// refuses the temporary file, are written in place instead (not atomic; a
// failed write puts the old content back). Returns the stamp of the written
// file (an empty stamp for a file in memory).
FileStamp ReplaceFile(const std::string& name, const ContentWriter& write,
                      const ReplaceOptions& options = {});

} // namespace fileio
