// A save that fails at any write, flush or rename (once, or from then on)
// leaves the previous file byte for byte, no temporary file, the German
// message and Modified set; the next save without the fault succeeds.

#include "CoreTestUtil.h"
#include "FileIO.h"

#include <QtTest>
#include <csignal>
#include <sys/resource.h>

using namespace coretest;

namespace {

int ErrnoOf(fileio::Op op) {
    switch (op) {
    case fileio::Op::Write:
        return ENOSPC;
    case fileio::Op::Flush:
        return EIO;
    case fileio::Op::Rename:
        return EXDEV;
    }
    return EIO;
}

QString MessageOf(fileio::Op op) {
    switch (op) {
    case fileio::Op::Write:
        return "Zu wenig Speicherplatz";
    case fileio::Op::Flush:
        return "E/A-Fehler 5";
    case fileio::Op::Rename:
        return "E/A-Fehler 18";
    }
    return {};
}

// Large enough for several buffered writes.
void Fill(TDataBase& db, int entries) {
    for (int i = 0; i < entries; ++i)
        db.AddRecord(Entry("C++", "Zeigerfehler", "P" + std::to_string(i % 17), 36000.0 + i,
                           static_cast<std::uint32_t>(i), std::string(1000, char('a' + i % 26))));
}

QStringList FolderEntries(const QString& path) {
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                QDir::NoDotAndDotDot);
}

} // namespace

class SaveFaultsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        fileio::SetDurable(false);
    }

    void cleanup() { fileio::SetFaultHook({}); }

    void sweep_data() {
        QTest::addColumn<bool>("fromKOn");
        QTest::newRow("fail once") << false;
        QTest::newRow("fail from k on") << true;
    }

    void sweep() {
        QFETCH(bool, fromKOn);
        const QString file = dir_.filePath("sweep.mvd");
        const QByteArray old = Magic() + U32(0);
        QVERIFY(WriteBytes(file, old));

        TDataBase db;
        Fill(db, 300);
        db.FileName = Native(file);

        // Count the operations of a clean save into another file.
        std::vector<fileio::Op> ops;
        fileio::SetFaultHook([&](fileio::Op op) {
            ops.push_back(op);
            return 0;
        });
        db.FileName = Native(dir_.filePath("reference.mvd"));
        db.Save();
        const QByteArray expected = ReadBytes(dir_.filePath("reference.mvd"));
        QVERIFY(QFile::remove(dir_.filePath("reference.mvd")));
        QVERIFY(ops.size() >= 6); // several writes, a flush and a rename
        QCOMPARE(ops.back(), fileio::Op::Rename);
        db.FileName = Native(file);

        for (std::size_t k = 0; k < ops.size(); ++k) {
            db.Modified = true;
            std::size_t seen = 0;
            fileio::Op failed{};
            fileio::SetFaultHook([&](fileio::Op op) {
                const std::size_t index = seen++;
                if (index == k || (fromKOn && index > k)) {
                    if (index == k)
                        failed = op;
                    return ErrnoOf(op);
                }
                return 0;
            });
            QString message;
            try {
                db.Save();
            } catch (const std::runtime_error& e) {
                message = QString::fromUtf8(e.what());
            }
            fileio::SetFaultHook({});
            QVERIFY2(!message.isEmpty(), qPrintable(QString("k=%1 did not fail").arg(k)));
            QCOMPARE(message, MessageOf(failed));
            QCOMPARE(failed, ops[k]);
            QCOMPARE(ReadBytes(file), old);
            QCOMPARE(FolderEntries(dir_.path()), QStringList{"sweep.mvd"});
            QVERIFY(db.Modified);
        }
        db.Save();
        QVERIFY(!db.Modified);
        QCOMPARE(ReadBytes(file), expected);
        QCOMPARE(FolderEntries(dir_.path()), QStringList{"sweep.mvd"});
        QVERIFY(QFile::remove(file));
    }

    // A real full disk: the file size limit stops the writes part-way.
    void fileSizeLimit() {
        const QString file = dir_.filePath("limit.mvd");
        const QByteArray old = Magic() + U32(0);
        QVERIFY(WriteBytes(file, old));
        TDataBase db;
        Fill(db, 300);
        db.FileName = Native(file);

        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit low = saved;
        low.rlim_cur = 100 * 1024;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &low), 0);
        QString message;
        try {
            db.Save();
        } catch (const std::runtime_error& e) {
            message = QString::fromUtf8(e.what());
        }
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);

        QCOMPARE(message, QString("Zu wenig Speicherplatz"));
        QCOMPARE(ReadBytes(file), old);
        QCOMPARE(FolderEntries(dir_.path()), QStringList{"limit.mvd"});
        QVERIFY(db.Modified);
        db.Save();
        QVERIFY(ReadBytes(file).size() > 300 * 1000);
        QVERIFY(QFile::remove(file));
    }
};

QTEST_GUILESS_MAIN(SaveFaultsTest)
#include "tst_savefaults.moc"
