#include "exchange/ExportFile.h"

#include "fileio/FileErrors.h"

#include <cerrno>

namespace exchange {

void WriteExportFile(const std::string& target, const fileio::ContentWriter& write) {
    if (target.empty())
        throw fileio::FileError(ENOENT);
    fileio::ReplaceOptions options;
    options.intoStreams = true;
    fileio::ReplaceFile(target, write, options);
}

} // namespace exchange
