#pragma once

// The standard output of a command-line tool that the tests read files with
// (pdftotext, pdfinfo from poppler-utils), or a note that names the tool and
// its error output when it fails, so that a comparison shows why.
#include <QProcess>
#include <QString>
#include <QStringList>

inline QString ToolOutput(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QStringLiteral("(%1 failed: %2)")
            .arg(program, QString::fromLocal8Bit(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}
