#include "fileio/FileErrors.h"

#include <cerrno>

namespace fileio {

std::string FileErrorMessage(int errnum) {
    switch (errnum) {
    case ENOENT:
        return "Datei nicht gefunden";
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ENXIO: // a device or socket without a counterpart: no file to use
    case ENODEV:
    case ETXTBSY: // a program that is running
        return "Dateizugriff verweigert";
    case ENAMETOOLONG:
    case ELOOP:   // a loop of symbolic links
    case ENOTDIR: // a part of the path is a file, not a folder
        return "Ungültiger Dateiname";
    case EMFILE:
    case ENFILE:
        return "Zu viele geöffnete Dateien";
    case ENOSPC:
    case EDQUOT:
    case EFBIG: // the file size limit: the write could not write all its bytes
        return "Zu wenig Speicherplatz";
    case ENOMEM:
        return "Zu wenig Arbeitsspeicher";
    default:
        return "E/A-Fehler " + std::to_string(errnum);
    }
}

std::runtime_error FileError(int errnum) {
    return std::runtime_error(FileErrorMessage(errnum));
}

} // namespace fileio
