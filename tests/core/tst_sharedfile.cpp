// One database file saved by two programs, as by two windows that have it
// open: a reader never finds a torn file, and the last save wins.
#include "CoreTestUtil.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

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
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(second.exitCode(), 0);
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
};

QTEST_GUILESS_MAIN(SharedFileTest)
#include "tst_sharedfile.moc"
