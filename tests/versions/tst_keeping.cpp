// Keeping the replaced file as a version at a save: a hard link where the
// save renames, a reflink or copy where it writes in place or the versions
// live on another file system; the modes; a versions folder that fails (also
// step by step) never blocks the save; a failed save leaves no version and no
// second name behind.

#include "core/DataBase.h"
#include "fileio/FileIO.h"
#include "support/CoreTestUtil.h"
#include "versions/Keeper.h"
#include "versions/StepFaults.h"
#include "versions/VersionFolder.h"
#include "versions/VersionIndex.h"
#include "versions/VersionList.h"

#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace coretest;

namespace {

enum class Mode { OneName, SeveralNames, OtherFileSystem };

struct stat StatOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        st.st_ino = 0;
    return st;
}

mode_t ModeOf(const QString& path) {
    return StatOf(path).st_mode & 07777;
}

QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

QStringList VersionFiles(const QString& folder) {
    return QDir(folder).entryList({"*-*-*.mvd"}, QDir::Files, QDir::Name);
}

void AddEntries(TDataBase& db, int from, int count) {
    for (int i = from; i < from + count; ++i)
        db.AddRecord(Entry("C++", "Zeigerfehler", "P", 36000.0 + i, 5, std::string(100, 'x')));
}

} // namespace

class KeepingTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<QTemporaryDir> data_;
    QString file_;

    QString versionsFolder() const {
        return QString::fromStdString(versions::FolderOf(Native(file_)));
    }
    // A database of `count` entries saved to file_ (a new file: no version).
    void start(TDataBase& db, int count) {
        db.FileName = Native(file_);
        AddEntries(db, 0, count);
        db.Save();
    }

private slots:
    void initTestCase() { fileio::SetDurable(false); }

    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        data_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid() && data_->isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(data_->path()));
        file_ = dir_->filePath("fehler.mvd");
    }

    void cleanup() {
        fileio::SetFaultHook({});
        versions::SetStepFault({});
    }

    void keep_data() {
        QTest::addColumn<Mode>("mode");
        QTest::newRow("one name: hard link") << Mode::OneName;
        QTest::newRow("several names: copy, written in place") << Mode::SeveralNames;
        QTest::newRow("versions on another file system: copy") << Mode::OtherFileSystem;
    }

    void keep() {
        QFETCH(Mode, mode);
        std::unique_ptr<QTemporaryDir> shm;
        if (mode == Mode::OtherFileSystem) {
            if (!QFileInfo(QStringLiteral("/dev/shm")).isWritable())
                QSKIP("no second file system at /dev/shm");
            shm = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/versions-XXXXXX"));
            QVERIFY(shm->isValid());
            QVERIFY(StatOf(shm->path()).st_dev != StatOf(dir_->path()).st_dev);
            qputenv("XDG_DATA_HOME", QFile::encodeName(shm->path()));
        }
        versions::Keeper keeper;
        TDataBase db;
        db.KeepOldFile = keeper.HookFor(db);
        start(db, 2);
        QVERIFY(keeper.LastKept().empty());
        QVERIFY(::chmod(QFile::encodeName(file_).constData(), 0640) == 0);
        const QString other = dir_->filePath("anderer-name.mvd");
        if (mode == Mode::SeveralNames)
            QCOMPARE(
                ::link(QFile::encodeName(file_).constData(), QFile::encodeName(other).constData()),
                0);

        const QByteArray first = ReadBytes(file_);
        const struct stat before = StatOf(file_);
        AddEntries(db, 2, 1);
        db.Save();
        const QByteArray second = ReadBytes(file_);
        QVERIFY(second != first);
        QCOMPARE(QString::fromStdString(keeper.TakeWarning()), QString());

        const QString folder = versionsFolder();
        const QStringList kept = VersionFiles(folder);
        QCOMPARE(kept.size(), 1);
        const QString version = folder + "/" + kept.front();
        QCOMPARE(QString::fromStdString(keeper.LastKept()), version);
        QCOMPARE(ReadBytes(version), first);
        const bool linked = mode == Mode::OneName;
        QCOMPARE(StatOf(version).st_ino == before.st_ino, linked);
        QCOMPARE(StatOf(version).st_nlink, nlink_t(1));
        QCOMPARE(StatOf(file_).st_nlink, nlink_t(mode == Mode::SeveralNames ? 2 : 1));
        // Only the owner may read versions; the file keeps its own mode.
        QCOMPARE(ModeOf(version), mode_t(0600));
        QCOMPARE(ModeOf(folder), mode_t(0700));
        QCOMPARE(ModeOf(QFileInfo(folder).path()), mode_t(0700));
        QCOMPARE(ModeOf(file_), mode_t(0640));
        if (mode == Mode::SeveralNames)
            QCOMPARE(ReadBytes(other), second);
        // What the database knew of its file went into the index.
        QCOMPARE(versions::ReadIndex(Native(folder)).begin()->second.entries, std::int64_t(2));

        // The next save keeps the second state beside the first, unchanged.
        AddEntries(db, 3, 1);
        db.Save();
        QCOMPARE(VersionFiles(folder).size(), 2);
        QCOMPARE(ReadBytes(version), first);
        QCOMPARE(ReadBytes(folder + "/" + VersionFiles(folder).back()), second);
        QCOMPARE(StatOf(file_).st_nlink, nlink_t(mode == Mode::SeveralNames ? 2 : 1));
        // No temporary file is left anywhere.
        QCOMPARE(FilesIn(dir_->path()).size(), mode == Mode::SeveralNames ? 2 : 1);
        QCOMPARE(FilesIn(folder).size(), 3); // two versions and the index
    }

    // A save killed between the version's link and its rename leaves the file
    // a second name in the versions folder; the next save writes in place and
    // must not change that version with it.
    void linkOfAKilledSave() {
        versions::Keeper keeper;
        TDataBase db;
        db.KeepOldFile = keeper.HookFor(db);
        start(db, 2);
        const QByteArray first = ReadBytes(file_);
        const QString folder = versionsFolder();
        QCOMPARE(versions::MakeFolder(Native(folder)), 0);
        const QString stale = folder + "/20200101-000000-000000.mvd";
        QCOMPARE(::link(QFile::encodeName(file_).constData(), QFile::encodeName(stale).constData()),
                 0);

        AddEntries(db, 2, 1);
        db.Save(); // in place: the file had two names
        const QStringList kept = VersionFiles(folder);
        QCOMPARE(kept.size(), 1);
        QVERIFY(kept.front() != "20200101-000000-000000.mvd");
        QCOMPARE(ReadBytes(folder + "/" + kept.front()), first);
        QCOMPARE(StatOf(file_).st_nlink, nlink_t(1));

        // From now on a rename again.
        const ino_t inode = StatOf(file_).st_ino;
        AddEntries(db, 3, 1);
        db.Save();
        QVERIFY(StatOf(file_).st_ino != inode);
        QCOMPARE(StatOf(file_).st_nlink, nlink_t(1));
    }

    // A versions folder that cannot be made: the save goes on, the warning
    // comes once.
    void unwritableFolderNeverBlocksTheSave() {
        QVERIFY(WriteBytes(data_->filePath("mavrolin"), "no folder"));
        versions::Keeper keeper;
        TDataBase db;
        db.KeepOldFile = keeper.HookFor(db);
        start(db, 1);
        for (int round = 0; round < 2; ++round) {
            AddEntries(db, 1 + round, 1);
            const QByteArray old = ReadBytes(file_);
            db.Save();
            QVERIFY(!db.Modified && ReadBytes(file_).size() > old.size());
            const QString warning = QString::fromStdString(keeper.TakeWarning());
            if (round == 0)
                QVERIFY2(warning.startsWith("Die bisherige Fassung der Datenbank konnte nicht als "
                                            "ältere Version aufbewahrt werden (Ungültiger "
                                            "Dateiname: ") &&
                             warning.endsWith("). Die Datenbank wurde trotzdem gesichert."),
                         qPrintable(warning));
            else
                QCOMPARE(warning, QString());
        }
    }

    // Every step of keeping a version fails in turn: the save succeeds, and
    // either a version with the old content is there or the warning says why.
    void versionStepSweep_data() {
        QTest::addColumn<bool>("inPlace");
        QTest::addColumn<int>("errnum");
        QTest::newRow("rename, I/O error") << false << EIO;
        QTest::newRow("rename, folder full") << false << ENOSPC;
        QTest::newRow("rename, another file system") << false << EXDEV;
        QTest::newRow("in place, I/O error") << true << EIO;
    }

    void versionStepSweep() {
        QFETCH(bool, inPlace);
        QFETCH(int, errnum);
        TDataBase db;
        start(db, 50);
        if (inPlace)
            QCOMPARE(::link(QFile::encodeName(file_).constData(),
                            QFile::encodeName(dir_->filePath("zweiter.mvd")).constData()),
                     0);
        const QString folder = versionsFolder();
        // The k-th step fails, until k passes the last one.
        for (std::size_t k = 0;; ++k) {
            for (const QString& name : VersionFiles(folder))
                QVERIFY(QFile::remove(folder + "/" + name));
            versions::Keeper keeper;
            db.KeepOldFile = keeper.HookFor(db);
            std::size_t seen = 0;
            versions::SetStepFault([&](versions::Step) { return seen++ == k ? errnum : 0; });
            const QByteArray old = ReadBytes(file_);
            AddEntries(db, 50 + static_cast<int>(k), 1);
            db.Save();
            const QString context = QString("k=%1").arg(k);
            QVERIFY2(!db.Modified && ReadBytes(file_) != old, qPrintable(context));
            QCOMPARE(static_cast<int>(StatOf(file_).st_nlink), inPlace ? 2 : 1);
            QCOMPARE(FilesIn(dir_->path()).size(), inPlace ? 2 : 1);
            const QStringList kept = VersionFiles(folder);
            const std::string warning = keeper.TakeWarning();
            QVERIFY2(kept.size() <= 1 && kept.isEmpty() != warning.empty(), qPrintable(context));
            if (!kept.isEmpty())
                QVERIFY2(ReadBytes(folder + "/" + kept.front()) == old, qPrintable(context));
            QVERIFY2(FilesIn(folder).filter(".~").isEmpty(), qPrintable(context));
            if (seen <= k) {
                QVERIFY(k >= 3); // folder, link or copy, index at least
                break;
            }
        }
    }

    // A save that fails at any step of the file layer leaves no version and no
    // second name of the file behind.
    void failedSaveKeepsNothing_data() {
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("rename") << false;
        QTest::newRow("in place") << true;
    }

    void failedSaveKeepsNothing() {
        QFETCH(bool, inPlace);
        versions::Keeper keeper;
        TDataBase db;
        db.KeepOldFile = keeper.HookFor(db);
        start(db, 300);
        if (inPlace)
            QCOMPARE(::link(QFile::encodeName(file_).constData(),
                            QFile::encodeName(dir_->filePath("zweiter.mvd")).constData()),
                     0);
        const QByteArray old = ReadBytes(file_);
        const ino_t inode = StatOf(file_).st_ino;
        AddEntries(db, 300, 1);
        const QString folder = versionsFolder();
        // The k-th operation fails, until k passes the last one.
        for (std::size_t k = 0;; ++k) {
            std::size_t seen = 0;
            fileio::SetFaultHook([&](fileio::Op) { return seen++ == k ? EIO : 0; });
            try {
                db.Save();
                QVERIFY(k >= 2); // a write and a flush at least
                break;
            } catch (const std::runtime_error&) {
            }
            fileio::SetFaultHook({});
            QCOMPARE(ReadBytes(file_), old);
            QCOMPARE(StatOf(file_).st_ino, inode);
            QCOMPARE(static_cast<int>(StatOf(file_).st_nlink), inPlace ? 2 : 1);
            QCOMPARE(VersionFiles(folder), QStringList());
        }
        QCOMPARE(VersionFiles(folder).size(), 1);
        QCOMPARE(ReadBytes(folder + "/" + VersionFiles(folder).front()), old);
        QCOMPARE(QString::fromStdString(keeper.TakeWarning()), QString());
    }

    // With a limit that leaves one version, each save removes the one before:
    // the folder keeps one version, and the index does not grow without end.
    void limitKeepsTheNewest() {
        versions::Keeper keeper({.Keep = true, .SizeLimit = 1});
        TDataBase db;
        db.KeepOldFile = keeper.HookFor(db);
        start(db, 1);
        for (int i = 1; i <= 40; ++i) {
            AddEntries(db, i, 1);
            db.Save();
        }
        const QString folder = versionsFolder();
        QCOMPARE(VersionFiles(folder).size(), 1);
        QVERIFY(versions::ReadIndex(Native(folder)).size() <= 19);
        const std::vector<versions::Version> listed = versions::ListVersions(Native(file_));
        QCOMPARE(listed.size(), std::size_t(1));
        QCOMPARE(listed[0].entries, std::int64_t(40));
    }
};

QTEST_GUILESS_MAIN(KeepingTest)
#include "tst_keeping.moc"
