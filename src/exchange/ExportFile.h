#pragma once

#include "fileio/ReplaceFile.h"

#include <string>

// The file that an export writes, through the file layer's replace: the
// content goes to a temporary file beside the target that takes its place
// only when complete, so a failed export leaves a file of that name as it
// was; a replaced file keeps its permissions. A target that is no regular
// file (a pipe, /dev/stdout) is written straight into. Failures throw
// std::runtime_error with the German text of the file layer
// ("Dateizugriff verweigert", ...), or as `write` threw them.
namespace exchange {

void WriteExportFile(const std::string& target, const fileio::ContentWriter& write);

} // namespace exchange
