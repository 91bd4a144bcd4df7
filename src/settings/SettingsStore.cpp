#include "settings/SettingsStore.h"

#include "fileio/Leftovers.h"
#include "fileio/ReplaceFile.h"
#include "settings/RegFileFormat.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtDebug>
#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace settings {

void ThrowRegistryError() {
    throw std::runtime_error(RegistryErrorText);
}

namespace {

// Holds the exclusive lock on the store's lock file while alive. A separate
// lock file is needed because the settings file itself is replaced by rename.
class StoreLock {
public:
    StoreLock(const QString& path, std::chrono::milliseconds timeout) {
        const QByteArray native = QFile::encodeName(path);
        fd_ = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ < 0)
            ThrowRegistryError();
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            if ((errno != EWOULDBLOCK && errno != EINTR) ||
                std::chrono::steady_clock::now() >= deadline) {
                ::close(fd_);
                ThrowRegistryError();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    ~StoreLock() { ::close(fd_); } // closing releases the lock
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

private:
    int fd_ = -1;
};

// Replaces the file atomically (see fileio::ReplaceFile); a new file is
// readable by its owner only.
void WriteFile(const QString& path, const QByteArray& bytes) {
    try {
        fileio::ReplaceFile(QFile::encodeName(path).toStdString(),
                            [&](fileio::OutputFile& out) {
                                out.Write(bytes.constData(),
                                          static_cast<std::size_t>(bytes.size()));
                            },
                            {.newFileMode = 0600});
    } catch (const std::exception&) {
        ThrowRegistryError();
    }
}

void MoveAside(const QString& path) {
    const QString base = path + QStringLiteral(".invalid-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = base;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = base + QStringLiteral("-%1").arg(n);
    if (::rename(QFile::encodeName(path).constData(), QFile::encodeName(target).constData()) != 0)
        ThrowRegistryError();
    qWarning("settings file %s kept aside as %s", qPrintable(path), qPrintable(target));
}

// Reads the tree; a corrupt file is moved aside and an empty tree returned.
RegKey ReadTree(const QString& path, QStringList& warnings) {
    if (!QFileInfo::exists(path))
        return RegKey();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        ThrowRegistryError();
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        ThrowRegistryError();
    file.close();
    QString error;
    if (auto tree = regfile::Parse(bytes, &error))
        return std::move(*tree);
    qWarning("settings file %s cannot be read: %s", qPrintable(path), qPrintable(error));
    MoveAside(path);
    warnings << QString::fromUtf8(InvalidValuesWarning);
    return RegKey();
}

} // namespace

SettingsStore::SettingsStore(QString filePath, Warn warn)
    : filePath_(std::move(filePath)), warn_(std::move(warn)) {}

QString SettingsStore::DefaultFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Mavrolin/registry.reg");
}

void SettingsStore::Update(const Change& change) {
    QStringList warnings;
    auto report = [&] {
        for (const QString& text : warnings) {
            if (warn_)
                warn_(text);
            else
                qWarning("%s", qPrintable(text));
        }
    };
    try {
        const QString folder = QFileInfo(filePath_).absolutePath();
        if (!QDir().mkpath(folder))
            ThrowRegistryError();
        StoreLock lock(LockFilePath(), lockTimeout_);
        fileio::RemoveLeftovers(QFile::encodeName(filePath_).toStdString());
        RegKey tree = ReadTree(filePath_, warnings);
        if (change(tree))
            WriteFile(filePath_, regfile::Write(tree));
    } catch (...) {
        report();
        throw;
    }
    report();
}

RegKey SettingsStore::Read() {
    RegKey snapshot;
    Update([&](RegKey& tree) {
        snapshot = std::move(tree);
        return false;
    });
    return snapshot;
}

} // namespace settings
