#include "gui/Handbook.h"

#include "gui/Prompt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace handbook {

QString File() {
    const QString installed = QDir(QCoreApplication::applicationDirPath())
                                  .filePath(QStringLiteral("../share/doc/mavrolin/handbuch.md"));
    for (const QString& candidate :
         {installed, QStringLiteral(MAVROLIN_SOURCE_DIR "/docs/handbuch.md")})
        if (QFileInfo(candidate).isFile())
            return QFileInfo(candidate).canonicalFilePath();
    return {};
}

void Open(QWidget* window) {
    const QString file = File();
    if (file.isEmpty()) {
        Prompt::Message(window, Prompt::Kind::Error,
                        QStringLiteral("Das Handbuch wurde nicht gefunden."), Prompt::Ok);
        return;
    }
    if (!Prompt::OpenUrl(QUrl::fromLocalFile(file)))
        Prompt::Message(window, Prompt::Kind::Error,
                        QStringLiteral("Das Handbuch \u201E%1\u201C konnte nicht angezeigt "
                                       "werden: Es ist kein Programm zum Anzeigen eingerichtet.")
                            .arg(file),
                        Prompt::Ok);
}

} // namespace handbook
