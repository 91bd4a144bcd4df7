// A save that fails at any creation, write, flush or rename (once, or from
// then on) leaves the previous file byte for byte, no temporary file, the
// German message and Modified set; the next save without the fault succeeds
// and keeps the file's permissions. The same holds for a save written in
// place (a file with a second hard link, a folder that refuses the temporary
// file) that fails once: the old content is written back. The exports to CSV
// and to a workbook write through the same replace and behave alike.

#include "core/Errors.h"
#include "exchange/CsvWriter.h"
#include "exchange/XlsxWriter.h"
#include "fileio/FileIO.h"
#include "support/CoreTestUtil.h"

#include <QtTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace coretest;

namespace {

int ErrnoOf(fileio::Op op) {
    switch (op) {
    case fileio::Op::Create:
        return EIO;
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
    case fileio::Op::Create:
        return "E/A-Fehler 5";
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

enum class Mode { Replace, HardLink, RefusedFolder };
enum class Kind { Save, Csv, Workbook };

// Writes the database to `file` as a save or an export does.
void Write(Kind kind, TDataBase& db, const QString& file) {
    std::vector<const TDataRecord*> entries;
    for (int i = 0; i < db.Count(); ++i)
        entries.push_back(db.GetRecord(i));
    if (kind == Kind::Csv)
        exchange::ExportCsvFile(Native(file), entries, exchange::SpreadsheetCsv);
    else if (kind == Kind::Workbook)
        exchange::ExportXlsxFile(Native(file), entries);
    else
        db.Save();
}

mode_t ModeOf(const QString& file) {
    struct stat st {};
    return ::stat(qPrintable(file), &st) == 0 ? st.st_mode & 07777 : 0;
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
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<Kind>("kind");
        QTest::newRow("fail once") << false << Mode::Replace << Kind::Save;
        QTest::newRow("fail from k on") << true << Mode::Replace << Kind::Save;
        QTest::newRow("in place, hard link") << false << Mode::HardLink << Kind::Save;
        QTest::newRow("in place, folder refuses") << false << Mode::RefusedFolder << Kind::Save;
        QTest::newRow("CSV, fail from k on") << true << Mode::Replace << Kind::Csv;
        QTest::newRow("CSV, folder refuses") << false << Mode::RefusedFolder << Kind::Csv;
        QTest::newRow("workbook, fail once") << false << Mode::Replace << Kind::Workbook;
        QTest::newRow("workbook, hard link") << false << Mode::HardLink << Kind::Workbook;
    }

    void sweep() {
        QFETCH(bool, fromKOn);
        QFETCH(Mode, mode);
        QFETCH(Kind, kind);
        const QString file = dir_.filePath("sweep.mvd");
        const QString link = dir_.filePath("link.mvd");
        const QByteArray old = Magic() + U32(0);
        QVERIFY(WriteBytes(file, old));
        QCOMPARE(::chmod(qPrintable(file), 0640), 0);
        QStringList files{"sweep.mvd"};
        if (mode == Mode::HardLink) {
            QCOMPARE(::link(qPrintable(file), qPrintable(link)), 0);
            files.prepend("link.mvd");
        }
        // The folder refuses every temporary file; nothing else counts as an operation.
        const auto refused = [mode](fileio::Op op) {
            return mode == Mode::RefusedFolder && op == fileio::Op::Create;
        };

        TDataBase db;
        Fill(db, 300);
        db.FileName = Native(file);

        const QByteArray expected = [&] {
            TDataBase probe;
            Fill(probe, 300);
            probe.FileName = Native(dir_.filePath("reference.mvd"));
            Write(kind, probe, dir_.filePath("reference.mvd"));
            return ReadBytes(dir_.filePath("reference.mvd"));
        }();
        // A workbook holds the time it was written: only its kind is compared.
        const auto written = [&](const QString& path) {
            const QByteArray bytes = ReadBytes(path);
            return kind == Kind::Workbook ? bytes.startsWith("PK\x03\x04") : bytes == expected;
        };
        QVERIFY(QFile::remove(dir_.filePath("reference.mvd")));
        // Count the operations of a clean save of the same kind into another file.
        std::vector<fileio::Op> ops;
        fileio::SetFaultHook([&](fileio::Op op) {
            if (refused(op))
                return EACCES;
            ops.push_back(op);
            return 0;
        });
        QVERIFY(WriteBytes(dir_.filePath("probe.mvd"), old));
        db.FileName = Native(dir_.filePath("probe.mvd"));
        if (mode == Mode::HardLink)
            QCOMPARE(::link(qPrintable(dir_.filePath("probe.mvd")),
                            qPrintable(dir_.filePath("probe2.mvd"))),
                     0);
        Write(kind, db, dir_.filePath("probe.mvd"));
        QVERIFY(written(dir_.filePath("probe.mvd")));
        QFile::remove(dir_.filePath("probe.mvd"));
        QFile::remove(dir_.filePath("probe2.mvd"));
        // Several writes, a flush (and a rename); the workbook's library writes by itself.
        QVERIFY(ops.size() >= (kind == Kind::Workbook ? 3u : 6u));
        QCOMPARE(ops.back(), mode == Mode::Replace ? fileio::Op::Rename : fileio::Op::Flush);
        db.FileName = Native(file);

        for (std::size_t k = 0; k < ops.size(); ++k) {
            db.Modified = true;
            std::size_t seen = 0;
            fileio::Op failed{};
            fileio::SetFaultHook([&](fileio::Op op) {
                if (refused(op))
                    return EACCES;
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
                Write(kind, db, file);
            } catch (const std::runtime_error& e) {
                message = QString::fromUtf8(e.what());
            }
            fileio::SetFaultHook({});
            QVERIFY2(!message.isEmpty(), qPrintable(QString("k=%1 did not fail").arg(k)));
            QCOMPARE(message, MessageOf(failed));
            QCOMPARE(failed, ops[k]);
            QCOMPARE(ReadBytes(file), old);
            QCOMPARE(FolderEntries(dir_.path()), files);
            QVERIFY(db.Modified);
        }
        fileio::SetFaultHook([&](fileio::Op op) { return refused(op) ? EACCES : 0; });
        Write(kind, db, file);
        QCOMPARE(db.Modified, kind != Kind::Save); // an export leaves it
        QVERIFY(written(file));
        QCOMPARE(ModeOf(file), mode_t(0640));
        QCOMPARE(FolderEntries(dir_.path()), files);
        if (mode == Mode::HardLink)
            QCOMPARE(ReadBytes(link), ReadBytes(file)); // still one file under both names
        QVERIFY(QFile::remove(file));
        QFile::remove(link);
    }

    void messages_data() {
        QTest::addColumn<int>("errnum");
        QTest::addColumn<QString>("message");
        QTest::newRow("ELOOP") << ELOOP << "Ungültiger Dateiname";
        QTest::newRow("ENOTDIR") << ENOTDIR << "Ungültiger Dateiname";
        QTest::newRow("ENXIO") << ENXIO << "Dateizugriff verweigert";
        QTest::newRow("ETXTBSY") << ETXTBSY << "Dateizugriff verweigert";
        QTest::newRow("EFBIG") << EFBIG << "Zu wenig Speicherplatz";
        QTest::newRow("EIO") << EIO << "E/A-Fehler 5";
        QTest::newRow("EXDEV") << EXDEV << "E/A-Fehler 18";
    }

    void messages() {
        QFETCH(int, errnum);
        QFETCH(QString, message);
        QCOMPARE(QString::fromStdString(fileio::FileErrorMessage(errnum)), message);
    }

    // The messages as a load and a save meet them.
    void messagesOfRealPaths() {
        QVERIFY(QFile::link("schleife.mvd", dir_.filePath("schleife.mvd")));
        QVERIFY(WriteBytes(dir_.filePath("datei"), "x"));
        for (const QString& name : {QString("schleife.mvd"), QString("datei/db.mvd")}) {
            Loader loaded;
            loaded.db.FileName = Native(dir_.filePath(name));
            loaded.db.Reload();
            QCOMPARE(loaded.messages, QStringList{"Ungültiger Dateiname"});
            try {
                loaded.db.Save();
                QFAIL("saved");
            } catch (const std::runtime_error& e) {
                QCOMPARE(QString::fromUtf8(e.what()), "Ungültiger Dateiname");
            }
        }
        QFile::remove(dir_.filePath("schleife.mvd"));
        QFile::remove(dir_.filePath("datei"));
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
