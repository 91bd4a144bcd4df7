#include "gui/NativePath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace nativepath {

QString ToQString(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string FromQString(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

std::string Absolute(const std::string& path) {
    const QString text = ToQString(path);
    if (FromQString(text) == path)
        return FromQString(QDir::cleanPath(QFileInfo(text).absoluteFilePath()));
    if (!path.empty() && path.front() == '/')
        return path;
    return FromQString(QDir::currentPath()) + '/' + path;
}

} // namespace nativepath
