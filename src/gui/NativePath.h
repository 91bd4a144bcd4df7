#pragma once

#include <QString>
#include <string>

// The database and the settings keep file names as native path bytes; dialogs,
// menus and drops speak QString.
namespace nativepath {

QString ToQString(const std::string& path);
std::string FromQString(const QString& path);
// `path` made absolute against the working folder and cleaned of "." and
// "..", unless its bytes do not survive the trip through QString: then only
// the working folder is put in front.
std::string Absolute(const std::string& path);

} // namespace nativepath
