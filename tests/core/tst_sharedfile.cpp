// One database file saved by two programs, as by two windows that have it
// open: a reader never finds a torn file, and the last save wins. A program
// killed while it saves leaves the old or the new file, and the temporary
// file it leaves goes with the next save or load.
#include "support/CoreTestUtil.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// Loads `path`; the entry count, or -1 with the load's message in `error`.
int Load(const QString& path, std::string& error) {
    TDataBase db;
    error.clear();
    db.OnLoadError = [&error](const std::string& message) { error = message; };
    db.FileName = QFile::encodeName(path).toStdString();
    db.Reload();
    return error.empty() ? db.Count() : -1;
}

void Save(const QString& path, int entries, int saves) {
    QCOMPARE(QProcess::execute(SAVE_LOOP, {path, QString::number(entries), QString::number(saves)}),
             0);
}

QStringList FolderFiles(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

class SharedFileTest : public QObject {
    Q_OBJECT
private slots:
    void savesFromTwoProgramsNeverTear() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("geteilt.mvd");
        Save(path, 300, 1);
        QProcess first, second;
        first.start(SAVE_LOOP, {path, "300", "150"});
        second.start(SAVE_LOOP, {path, "500", "150"});
        QVERIFY(first.waitForStarted() && second.waitForStarted());
        int loads = 0;
        std::string error;
        while (first.state() != QProcess::NotRunning || second.state() != QProcess::NotRunning) {
            const int count = Load(path, error);
            QVERIFY2(count == 300 || count == 500, error.c_str());
            ++loads;
            QCoreApplication::processEvents();
        }
        QCOMPARE(first.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QVERIFY2(first.exitCode() == 0, first.readAllStandardError().constData());
        QVERIFY2(second.exitCode() == 0, second.readAllStandardError().constData());
        QVERIFY(loads > 10);
        // No temporary file is left behind.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"geteilt.mvd"});

        // Taking turns: whichever saved last is in the file.
        Save(path, 500, 1);
        Save(path, 300, 1);
        QCOMPARE(Load(path, error), 300);
        Save(path, 500, 1);
        QCOMPARE(Load(path, error), 500);
    }

    void killedSavesLeaveOldOrNewContent() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("abgebrochen.mvd");
        Save(path, 2000, 1);
        const QByteArray fresh = coretest::ReadBytes(path);
        int leftovers = 0;
        for (int kill = 0; kill < 24; ++kill) {
            // The next save (even rounds) or load (odd rounds) removes what the kill left.
            std::string error;
            if (kill % 2 == 0)
                Save(path, 300, 1);
            else
                QVERIFY(Load(path, error) >= 0);
            QCOMPARE(FolderFiles(dir.path()), QStringList{"abgebrochen.mvd"});
            const QByteArray old = coretest::ReadBytes(path);

            QProcess saver;
            saver.start(SAVE_LOOP, {path, "2000", "100000"});
            QVERIFY(saver.waitForStarted());
            // Once its saves are under way, at a different moment each round.
            QDeadlineTimer deadline(20000);
            while (FolderFiles(dir.path()).size() < 2 && !deadline.hasExpired())
                QThread::usleep(100);
            QThread::usleep(static_cast<unsigned long>(700 * (kill % 5)));
            QCOMPARE(::kill(static_cast<pid_t>(saver.processId()), SIGKILL), 0);
            QVERIFY(saver.waitForFinished());
            QCOMPARE(saver.exitStatus(), QProcess::CrashExit);

            const QByteArray now = coretest::ReadBytes(path);
            QVERIFY2(now == old || now == fresh, qPrintable(QString("kill %1").arg(kill)));
            leftovers += FolderFiles(dir.path()).size() > 1 ? 1 : 0;
        }
        QVERIFY(leftovers > 0); // the kills hit saves at work
        Save(path, 300, 1);
        QCOMPARE(FolderFiles(dir.path()), QStringList{"abgebrochen.mvd"});
    }

    // A temporary file that a live save holds is not removed by another save.
    void heldTemporaryFileStays() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("x.mvd");
        const QString held = dir.filePath(".~x.mvd.abcdef"), stale = dir.filePath(".~x.mvd.ghijkl");
        QVERIFY(coretest::WriteBytes(held, "a") && coretest::WriteBytes(stale, "b"));
        QVERIFY(coretest::WriteBytes(dir.filePath(".~x.mvd.lock"), "c")); // not its pattern
        const int fd = ::open(qPrintable(held), O_RDONLY);
        QVERIFY(fd >= 0 && ::flock(fd, LOCK_EX) == 0);
        Save(path, 1, 1);
        ::close(fd);
        QCOMPARE(FolderFiles(dir.path()), (QStringList{".~x.mvd.abcdef", ".~x.mvd.lock", "x.mvd"}));
    }
};

QTEST_GUILESS_MAIN(SharedFileTest)
#include "tst_sharedfile.moc"
