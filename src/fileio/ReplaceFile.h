#pragma once

#include "fileio/FileStamp.h"
#include "fileio/OutputFile.h"

#include <functional>
#include <string>
#include <sys/types.h>

namespace fileio {

struct ReplaceOptions {
    // Permissions of a file that does not exist yet, before the umask; a file
    // that is replaced keeps its owner and permissions.
    mode_t newFileMode = 0666;
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
