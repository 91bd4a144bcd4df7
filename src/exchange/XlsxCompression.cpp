#include "exchange/XlsxCompression.h"

#include <dlfcn.h>
#include <xlsxwriter/third_party/zip.h>

namespace {

thread_local int fastScopes = 0;

} // namespace

namespace exchange {

FastCompression::FastCompression() {
    ++fastScopes;
}

FastCompression::~FastCompression() {
    --fastScopes;
}

} // namespace exchange

// minizip's function, defined here so that the dynamic linker binds
// libxlsxwriter's calls to it (a program's own definitions come first); it
// chooses the level and hands the call on to minizip.
extern "C" int zipOpenNewFileInZip4_64(zipFile file, const char* filename,
                                       const zip_fileinfo* zipfi, const void* extrafield_local,
                                       uInt size_extrafield_local, const void* extrafield_global,
                                       uInt size_extrafield_global, const char* comment, int method,
                                       int level, int raw, int windowBits, int memLevel,
                                       int strategy, const char* password, uLong crcForCrypting,
                                       uLong versionMadeBy, uLong flagBase, int zip64) {
    using Open = decltype(&zipOpenNewFileInZip4_64);
    static const auto next = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "zipOpenNewFileInZip4_64"));
    if (!next)
        return ZIP_INTERNALERROR;
    if (fastScopes > 0 && method == Z_DEFLATED)
        level = Z_BEST_SPEED;
    return next(file, filename, zipfi, extrafield_local, size_extrafield_local, extrafield_global,
                size_extrafield_global, comment, method, level, raw, windowBits, memLevel, strategy,
                password, crcForCrypting, versionMadeBy, flagBase, zip64);
}
