// The .mvd file: byte layout, loading of broken files, the messages of the
// file layer, and what a save leaves on disk.

#include "core/Errors.h"
#include "core/MvdFile.h"
#include "fileio/FileIO.h"
#include "support/CoreTestUtil.h"

#include <QtTest>
#include <cerrno>
#include <cstdlib>
#include <new>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace coretest;

// The largest single allocation made while a test runs: a corrupt length or
// count must never make the loader ask for more than the file holds.
namespace {
std::size_t largestAllocation = 0;
}

void* operator new(std::size_t size) {
    if (size > largestAllocation)
        largestAllocation = size;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

const QByteArray kExample = QByteArray::fromHex("03000000432B2B"
                                                "0C0000005A65696765726665686C6572"
                                                "00000000"
                                                "00000000600BE240"
                                                "0F000000"
                                                "00000000");

QByteArray ThreeEntries() {
    return Magic() + U32(3) + kExample +
           EntryBytes("java",
                      "unber\xfc"
                      "cksichtigter Spezialfall",
                      "\xc4rger", 36956.5, 0, "Zeile 1\r\nZeile 2") +
           EntryBytes("Ada", "neu", "P", -1.25, 4294967295u, QByteArray(300, 'x'));
}

bool ChattrWorks(const QString& path, bool immutable) {
    const QString cmd = QStringLiteral("chattr %1i '%2' 2>/dev/null")
                            .arg(immutable ? QStringLiteral("+") : QStringLiteral("-"), path);
    return std::system(cmd.toLocal8Bit().constData()) == 0;
}

} // namespace

class MvdFileTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString path(const QString& name) const { return dir_.filePath(name); }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        fileio::SetDurable(false);
    }

    void workedExample() {
        TDataBase db;
        db.AddRecord(Entry("C++", "Zeigerfehler", "", Day(2001, 3, 5), 15));
        db.FileName = Native(path("example.mvd"));
        db.Save();
        const QByteArray bytes = ReadBytes(path("example.mvd"));
        QCOMPARE(bytes.size(), 70);
        QCOMPARE(bytes, Magic() + U32(1) + kExample);
        QVERIFY(!db.Modified);
    }

    void emptyDatabaseIs27Bytes() {
        TDataBase db;
        db.FileName = Native(path("empty.mvd"));
        db.Save();
        QCOMPARE(ReadBytes(path("empty.mvd")), Magic() + U32(0));
        Loader l;
        l.db.FileName = db.FileName;
        l.db.Reload();
        QVERIFY(l.messages.isEmpty());
        QCOMPARE(l.db.Count(), 0);
    }

    // A database file is told by its whole magic text, carriage return
    // included; neither a folder nor a pipe (which is not opened) is one.
    void startsLikeDataBase_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("database");
        QTest::newRow("empty database") << Magic() + U32(0) << true;
        QTest::newRow("magic alone") << Magic() << true;
        QTest::newRow("line feed for the carriage return") << Magic().chopped(1) + "\n" << false;
        QTest::newRow("cut short") << Magic().chopped(1) << false;
        QTest::newRow("CSV") << QByteArray("Sprache;Kategorie\r\n") << false;
    }
    void startsLikeDataBase() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, database);
        QCOMPARE(StartsLikeDataBase(bytes.toStdString()), database);
        QVERIFY(WriteBytes(path("start"), bytes));
        QCOMPARE(FileStartsLikeDataBase(Native(path("start"))), database);
        QVERIFY(!FileStartsLikeDataBase(Native(dir_.path())));
        if (!QFile::exists(path("pipe")))
            QCOMPARE(::mkfifo(qPrintable(path("pipe")), 0600), 0);
        QVERIFY(!FileStartsLikeDataBase(Native(path("pipe"))));
    }

    void roundTripKeepsEveryByte() {
        QByteArray all256;
        for (int i = 0; i < 256; ++i)
            all256.append(static_cast<char>(i));
        const QByteArray bytes =
            Magic() + U32(2) + kExample +
            EntryBytes(all256, all256.mid(1), all256.mid(2), 40000.25, 7, all256);
        QVERIFY(WriteBytes(path("in.mvd"), bytes));
        Loader l;
        l.db.FileName = Native(path("in.mvd"));
        l.db.Reload();
        QVERIFY2(l.messages.isEmpty(), qPrintable(l.messages.join('|')));
        QCOMPARE(l.db.Count(), 2);
        QCOMPARE(std::string(l.db.GetRecord(1)->Description()), all256.toStdString());
        QCOMPARE(l.db.GetRecord(1)->ID, 2u);
        l.db.FileName = Native(path("out.mvd"));
        l.db.Save();
        QCOMPARE(ReadBytes(path("out.mvd")), bytes);
    }

    // Texts around the sizes where the store and the loader change their way:
    // a text block of its own, and reading in bounded pieces; saved over the
    // file they came from, which the largest makes large enough to be let go
    // on a thread of its own.
    void longTextsRoundTrip_data() {
        QTest::addColumn<int>("length");
        for (int length : {1, 64 << 10, (64 << 10) + 1, 100 << 10, (512 << 10) + 1, (4 << 20) + 1,
                           (8 << 20) + 1})
            QTest::addRow("%d bytes", length) << length;
    }
    void longTextsRoundTrip() {
        QFETCH(int, length);
        QByteArray text(length, 'a');
        for (int i = 0; i < length; i += 997)
            text[i] = static_cast<char>(i % 251);
        const QByteArray bytes = Magic() + U32(3) + kExample +
                                 EntryBytes("C", text.left(300), "P", 1, 1, text) +
                                 EntryBytes("C", "T", "P", 1, 2, text.right(7));
        QVERIFY(WriteBytes(path("long.mvd"), bytes));
        Loader l;
        l.db.FileName = Native(path("long.mvd"));
        l.db.Reload();
        QVERIFY2(l.messages.isEmpty(), qPrintable(l.messages.join('|')));
        QCOMPARE(l.db.GetRecord(1)->Description().size(), std::size_t(length));
        QVERIFY(WriteBytes(path("long.mvd"), QByteArray(bytes.size(), 'x')));
        l.db.Save();
        QCOMPARE(ReadBytes(path("long.mvd")), bytes);
    }

    void oddDatesRoundTrip_data() {
        QTest::addColumn<QByteArray>("bits"); // the 8 stored bytes
        QTest::addColumn<bool>("isDay");
        QTest::newRow("quiet NaN") << QByteArray::fromHex("000000000000F87F") << false;
        QTest::newRow("NaN payload") << QByteArray::fromHex("0100DEADBEEFF87F") << false;
        QTest::newRow("negative NaN") << QByteArray::fromHex("000000000000F8FF") << false;
        QTest::newRow("signalling NaN") << QByteArray::fromHex("010000000000F07F") << false;
        QTest::newRow("+inf") << QByteArray::fromHex("000000000000F07F") << false;
        QTest::newRow("-inf") << QByteArray::fromHex("000000000000F0FF") << false;
        QTest::newRow("-0") << QByteArray::fromHex("0000000000000080") << true;
        QTest::newRow("subnormal") << QByteArray::fromHex("0100000000000000") << true;
        QTest::newRow("1e300") << F64(1e300) << false;
        QTest::newRow("before year 1") << F64(-693594.0) << false;
        QTest::newRow("01.01.0001") << F64(-693593.0) << true;
        QTest::newRow("after 9999") << F64(2958466.0) << false;
    }

    void oddDatesRoundTrip() {
        QFETCH(QByteArray, bits);
        QFETCH(bool, isDay);
        QCOMPARE(bits.size(), 8);
        const QByteArray entry = Str("C") + Str("T") + Str("P") + bits + U32(1) + Str("d");
        const QByteArray bytes = Magic() + U32(1) + entry;
        QVERIFY(WriteBytes(path("date.mvd"), bytes));
        Loader l;
        l.db.FileName = Native(path("date.mvd"));
        l.db.Reload();
        QVERIFY(l.messages.isEmpty());
        QCOMPARE(l.db.Count(), 1);
        QCOMPARE(!l.db.GetRecord(0)->FieldText(ckDate).empty(), isDay);
        l.db.FileName = Native(path("date2.mvd"));
        l.db.Save();
        QCOMPARE(ReadBytes(path("date2.mvd")), bytes);
    }

    void brokenFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("duplicates");
        QTest::addColumn<QString>("message");
        const QString eof = "Versuch hinter dem Dateiende zu lesen";
        const QString range = QString::fromUtf8("Fehler bei Bereichsprüfung");
        const QString magic =
            QString::fromUtf8("Die angegebene Datei ist keine gültige Datenbank!");
        const QByteArray three = ThreeEntries();
        // Every prefix of a valid file: the complete entries load, then the
        // end-of-file message.
        const qsizetype first = 27 + kExample.size();
        const qsizetype second = first + EntryBytes("java",
                                                    "unber\xfc"
                                                    "cksichtigter Spezialfall",
                                                    "\xc4rger", 0, 0, "Zeile 1\r\nZeile 2")
                                             .size();
        for (qsizetype n = 0; n < three.size(); ++n) {
            const int complete = n < first ? 0 : n < second ? 1 : 2;
            QTest::addRow("prefix %d", int(n)) << three.left(n) << complete << 0 << eof;
        }
        QTest::newRow("complete") << three << 3 << 0 << QString();
        QTest::newRow("trailing bytes ignored") << three + "junk" << 3 << 0 << QString();
        QByteArray wrong = Magic() + U32(0);
        wrong[22] = '\n';
        QTest::newRow("wrong magic") << wrong << 0 << 0 << magic;
        QTest::newRow("wrong magic, 23 bytes")
            << QByteArray("#MLDB-MavrolinDataBasx\r") << 0 << 0 << magic;
        QTest::newRow("count 0") << Magic() + U32(0) << 0 << 0 << QString();
        QTest::newRow("count 0 and more") << Magic() + U32(0) + kExample << 0 << 0 << QString();
        QTest::newRow("count 2^31") << Magic() + U32(0x80000000u) + kExample << 0 << 0 << range;
        QTest::newRow("count 2^32-1") << Magic() + U32(0xFFFFFFFFu) << 0 << 0 << range;
        QTest::newRow("count 2^31-1") << Magic() + U32(0x7FFFFFFFu) + kExample << 1 << 0 << eof;
        QTest::newRow("27 bytes claim 2e9") << Magic() + U32(2000000000u) << 0 << 0 << eof;
        const QByteArray neg = U32(0xFFFFFFFBu); // -5
        QTest::newRow("negative lengths")
            << Magic() + U32(1) + neg + neg + U32(0x80000000u) + F64(1) + U32(1) + U32(0xFFFFFFFFu)
            << 1 << 0 << QString();
        QTest::newRow("length 2^31-1")
            << Magic() + U32(1) + U32(0x7FFFFFFFu) + "abc" << 0 << 0 << eof;
        QTest::newRow("length past end by one")
            << Magic() + U32(1) + U32(4) + "abc" << 0 << 0 << eof;
        QTest::newRow("duplicate skipped silently")
            << Magic() + U32(2) + kExample +
                   EntryBytes("c++", "ZEIGERFEHLER", "", 36955.75, 15, "anders")
            << 1 << 1 << QString();
    }

    void brokenFiles() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, entries);
        QFETCH(int, duplicates);
        QFETCH(QString, message);
        QVERIFY(WriteBytes(path("broken.mvd"), bytes));
        Loader l;
        l.db.FileName = Native(path("broken.mvd"));
        largestAllocation = 0;
        const LoadReport report = l.db.Reload();
        QCOMPARE(report.Added, std::uint64_t(entries));
        QCOMPARE(report.Duplicates, std::uint64_t(duplicates));
        QCOMPARE(QString::fromStdString(report.Error), message);
        QVERIFY2(largestAllocation < 1024 * 1024,
                 QByteArray::number(qulonglong(largestAllocation)));
        QCOMPARE(l.messages, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(l.db.Count(), entries);
        QVERIFY(!l.db.Modified);
        QCOMPARE(l.db.FileName, Native(path("broken.mvd")));
        for (int i = 0; i < entries; ++i)
            QCOMPARE(l.db.GetRecord(i)->ID, std::uint32_t(i + 1));
    }

    // Files in memory go through the same reader and writer as on disk: the
    // same bytes, the same messages, and nothing touches the disk.
    void memoryFilesMatchTheDisk() {
        fileio::MemoryFiles files{{"in", ThreeEntries().toStdString()}};
        fileio::UseMemoryFiles(&files);
        Loader l;
        l.db.FileName = "in";
        const LoadReport report = l.db.Reload();
        l.db.FileName = Native(path("nofolder/out.mvd"));
        l.db.Save();
        const LoadReport missing = l.db.LoadFromFile("absent");
        fileio::UseMemoryFiles(nullptr);
        QCOMPARE(report.Added, std::uint64_t{3});
        QCOMPARE(QString::fromStdString(missing.Error), QString("Datei nicht gefunden"));
        QVERIFY(!QFileInfo::exists(path("nofolder")));
        QCOMPARE(QByteArray::fromStdString(files[Native(path("nofolder/out.mvd"))]),
                 ThreeEntries());
    }

    void emptyNameDoesNothing() {
        Loader l;
        l.db.AddRecord(Entry("C", "T", "P", 1, 1));
        l.db.LoadFromFile("");
        QCOMPARE(l.db.Count(), 1);
        QVERIFY(l.messages.isEmpty());
        l.db.Reload(); // an empty FileName: just a clear
        QCOMPARE(l.db.Count(), 0);
        QVERIFY(l.messages.isEmpty());
    }

    // A save writes the file's buffer only when it is full, whether an entry
    // goes into it whole or value by value: one write per 64 KiB piece.
    void saveWritesFullPieces() {
        Loader l;
        for (std::uint32_t i = 0; i < 3000; ++i)
            l.db.AddRecord(Entry("C", "T", "P", 1, i, std::string(i % 97 ? i % 200 : 70000, 'd')));
        l.db.FileName = Native(path("pieces.mvd"));
        std::size_t writes = 0;
        fileio::SetFaultHook([&](fileio::Op op) {
            writes += op == fileio::Op::Write;
            return 0;
        });
        l.db.Save();
        fileio::SetFaultHook({});
        const auto size = static_cast<std::size_t>(ReadBytes(path("pieces.mvd")).size());
        QCOMPARE(writes, (size + 65535) / 65536);
    }

    // The loader reads entries ahead in batches: what it keeps, skips and
    // lists is what adding the entries one by one gives. Spellings that differ
    // in one byte stay apart at every length around a word and a table slot.
    void loadAgreesWithAddingOneByOne() {
        std::vector<std::string> spellings;
        for (const int n : {1, 3, 4, 7, 8, 9, 16, 17, 43, 44, 45, 70}) {
            spellings.emplace_back(static_cast<std::size_t>(n), 'a');
            spellings.emplace_back(static_cast<std::size_t>(n), 'A');
            for (const int at : {0, n / 2, n - 1}) {
                spellings.emplace_back(static_cast<std::size_t>(n), 'a');
                spellings.back()[static_cast<std::size_t>(at)] = 'b';
            }
        }
        std::mt19937 rng(2024);
        auto any = [&] { return spellings[rng() % spellings.size()]; };
        TDataBase added;
        std::vector<TRecordData> kept;
        QByteArray bytes = Magic() + U32(3000);
        for (int i = 0; i < 3000; ++i) {
            const TRecordData e =
                Entry(any(), rng() % 2 ? "T" : "t", any(), 36000.0 + static_cast<double>(rng() % 2),
                      static_cast<std::uint32_t>(rng() % 3), std::to_string(i));
            bytes += EntryBytes(e.Language.c_str(), e.ErrorType.c_str(), e.Project.c_str(), e.Date,
                                e.TimeNeeded, e.Description.c_str());
            try {
                added.AddRecord(e);
                kept.push_back(e);
            } catch (const InvalidEntryException&) {
            }
        }
        QVERIFY(WriteBytes(path("batches.mvd"), bytes));
        Loader l;
        l.db.FileName = Native(path("batches.mvd"));
        const LoadReport report = l.db.Reload();
        QCOMPARE(report.Added, std::uint64_t(added.Count()));
        QCOMPARE(report.Duplicates, 3000 - report.Added);
        QVERIFY(report.Duplicates > 100);
        for (int i = 0; i < added.Count(); ++i) {
            const TRecordData a = added.GetRecord(i)->Data();
            const TRecordData b = l.db.GetRecord(i)->Data();
            const TRecordData& e = kept[static_cast<std::size_t>(i)];
            QCOMPARE(std::tie(a.Language, a.Project, a.Description),
                     std::tie(e.Language, e.Project, e.Description));
            QCOMPARE(std::tie(b.Language, b.Project, b.Description, b.ID),
                     std::tie(a.Language, a.Project, a.Description, a.ID));
        }
        for (const auto& [x, y] : {std::pair{&added.Languages, &l.db.Languages},
                                   std::pair{&added.Projects, &l.db.Projects}}) {
            QCOMPARE(y->Count(), x->Count());
            for (int k = 0; k < x->Count(); ++k)
                QCOMPARE(y->Value(k), x->Value(k));
        }
    }

    void importOwnFileAddsNothing() {
        QVERIFY(WriteBytes(path("own.mvd"), ThreeEntries()));
        Loader l;
        l.db.FileName = Native(path("own.mvd"));
        l.db.Reload();
        const LoadReport again = l.db.LoadFromFile(l.db.FileName);
        QCOMPARE(again.Added, std::uint64_t{0});
        QCOMPARE(again.Duplicates, std::uint64_t{3});
        QCOMPARE(l.db.Count(), 3);
        QVERIFY(!l.db.Modified);
        // An import of another file numbers on and sets Modified.
        QVERIFY(WriteBytes(path("other.mvd"),
                           Magic() + U32(2) + kExample + EntryBytes("X", "Y", "Z", 3, 3)));
        l.db.LoadFromFile(Native(path("other.mvd")));
        QCOMPARE(l.db.Count(), 4);
        QCOMPARE(l.db.GetRecord(3)->ID, 4u);
        QVERIFY(l.db.Modified);
        QCOMPARE(l.db.FileName, Native(path("own.mvd")));
    }

    void loadFailures_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing file") << "missing.mvd"
                                      << "Datei nicht gefunden";
        QTest::newRow("missing folder") << "nofolder/x.mvd"
                                        << "Datei nicht gefunden";
        QTest::newRow("directory") << "adir"
                                   << "Dateizugriff verweigert";
        QTest::newRow("name too long")
            << QString(300, 'n') << QString::fromUtf8("Ungültiger Dateiname");
        QTest::newRow("file as folder") << "plain.mvd/x.mvd"
                                        << "Ungültiger Dateiname";
    }

    void loadFailures() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        QVERIFY(QDir(dir_.path()).mkpath("adir"));
        QVERIFY(WriteBytes(path("plain.mvd"), Magic() + U32(0)));
        Loader l;
        l.db.FileName = Native(path(name));
        l.db.Reload();
        QCOMPARE(l.messages, QStringList{message});
        QCOMPARE(l.db.Count(), 0);
    }

    void loadTooManyOpenFiles() {
        QVERIFY(WriteBytes(path("fd.mvd"), Magic() + U32(0)));
        rlimit old{};
        QCOMPARE(getrlimit(RLIMIT_NOFILE, &old), 0);
        std::vector<int> fds;
        rlimit low = old;
        low.rlim_cur = 64;
        QCOMPARE(setrlimit(RLIMIT_NOFILE, &low), 0);
        for (int fd; (fd = ::dup(0)) >= 0;)
            fds.push_back(fd);
        Loader l;
        l.db.LoadFromFile(Native(path("fd.mvd")));
        for (int fd : fds)
            ::close(fd);
        setrlimit(RLIMIT_NOFILE, &old);
        QCOMPARE(l.messages, QStringList{QString::fromUtf8("Zu viele geöffnete Dateien")});
    }

    void loadImmutableFile() {
        const QString p = path("immutable.mvd");
        QVERIFY(WriteBytes(p, Magic() + U32(1) + kExample));
        if (!ChattrWorks(p, true))
            QSKIP("chattr +i does not work here (no CAP_LINUX_IMMUTABLE or no such attribute)");
        Loader l;
        l.db.LoadFromFile(Native(p));
        ChattrWorks(p, false);
        // Opened for writing too: a file that may not be written is refused.
        QCOMPARE(l.messages, QStringList{"Dateizugriff verweigert"});
    }

    void saveFailures_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing folder") << "nofolder/x.mvd"
                                        << "Datei nicht gefunden";
        QTest::newRow("directory") << "sdir"
                                   << "Dateizugriff verweigert";
        QTest::newRow("name too long")
            << QString(300, 'n') << QString::fromUtf8("Ungültiger Dateiname");
        QTest::newRow("file as folder") << "splain.mvd/x.mvd"
                                        << "Ungültiger Dateiname";
    }

    void saveFailures() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        QVERIFY(QDir(dir_.path()).mkpath("sdir"));
        QVERIFY(WriteBytes(path("splain.mvd"), "keep"));
        TDataBase db;
        db.AddRecord(Entry("C", "T", "P", 1, 1));
        db.FileName = Native(path(name));
        try {
            db.Save();
            QFAIL("Save did not fail");
        } catch (const std::runtime_error& e) {
            QCOMPARE(QString::fromUtf8(e.what()), message);
        }
        QVERIFY(db.Modified);
        QCOMPARE(ReadBytes(path("splain.mvd")), QByteArray("keep"));
        QVERIFY(QDir(path("sdir")).isEmpty());
    }

    void saveIntoImmutableFolderOrOverImmutableFile_data() {
        QTest::addColumn<bool>("folder");
        QTest::newRow("immutable file") << false;
        QTest::newRow("immutable folder: written in place") << true;
    }

    void saveIntoImmutableFolderOrOverImmutableFile() {
        QFETCH(bool, folder);
        QVERIFY(QDir(dir_.path()).mkpath("locked"));
        const QString file = path("locked/db.mvd");
        QVERIFY(WriteBytes(file, "old contents"));
        const QString target = folder ? path("locked") : file;
        if (!ChattrWorks(target, true))
            QSKIP("chattr +i does not work here (no CAP_LINUX_IMMUTABLE or no such attribute)");
        TDataBase db;
        db.AddRecord(Entry("C", "T", "P", 1, 1));
        db.FileName = Native(file);
        QString message;
        try {
            db.Save();
        } catch (const std::runtime_error& e) {
            message = QString::fromUtf8(e.what());
        }
        ChattrWorks(target, false);
        QCOMPARE(message, folder ? QString() : QString("Dateizugriff verweigert"));
        QCOMPARE(ReadBytes(file), folder ? Magic() + U32(1) + EntryBytes("C", "T", "P", 1, 1)
                                         : QByteArray("old contents"));
        QCOMPARE(QDir(path("locked")).entryList(QDir::Files | QDir::Hidden).size(), 1);
        QCOMPARE(db.Modified, !folder);
    }

    // A save replaces the file, which the folder's rights would allow; a
    // write-protected file must still be refused. Root ignores permission
    // bits, so the save runs in a child process as an ordinary user.
    void saveOverWriteProtectedFile() {
        char folder[] = "/tmp/mvd-readonly-XXXXXX";
        QVERIFY(::mkdtemp(folder));
        QCOMPARE(::chmod(folder, 0777), 0);
        const std::string file = std::string(folder) + "/ro.mvd";
        QVERIFY(WriteBytes(QString::fromStdString(file), "keep"));
        QCOMPARE(::chmod(file.c_str(), 0444), 0);
        int fds[2];
        QCOMPARE(::pipe(fds), 0);
        const pid_t pid = ::fork();
        QVERIFY(pid >= 0);
        if (pid == 0) {
            ::close(fds[0]);
            if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                ::_exit(3);
            std::string message = "saved";
            try {
                TDataBase db;
                db.AddRecord(Entry("C", "T", "P", 1, 1));
                db.FileName = file;
                db.Save();
            } catch (const std::exception& e) {
                message = e.what();
            }
            [[maybe_unused]] const ssize_t n = ::write(fds[1], message.data(), message.size());
            ::_exit(0);
        }
        ::close(fds[1]);
        QByteArray message;
        char buffer[256];
        for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
            message.append(buffer, n);
        ::close(fds[0]);
        int status = 0;
        ::waitpid(pid, &status, 0);
        const QByteArray after = ReadBytes(QString::fromStdString(file));
        const qsizetype entries = QDir(folder).entryList(QDir::Files | QDir::Hidden).size();
        QDir(folder).removeRecursively();
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        QCOMPARE(message, QByteArray("Dateizugriff verweigert"));
        QCOMPARE(after, QByteArray("keep"));
        QCOMPARE(entries, 1);
    }

    void saveKeepsPermissionsAndLinks() {
        const QString real = path("real.mvd");
        QVERIFY(WriteBytes(real, "old"));
        QCOMPARE(::chmod(real.toLocal8Bit().constData(), 0640), 0);
        QVERIFY(QDir(dir_.path()).mkpath("links"));
        const QString link = path("links/link.mvd");
        QCOMPARE(::symlink("../real.mvd", link.toLocal8Bit().constData()), 0);
        TDataBase db;
        db.AddRecord(Entry("C++", "Zeigerfehler", "", Day(2001, 3, 5), 15));
        db.FileName = Native(link);
        db.Save();
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(ReadBytes(real), Magic() + U32(1) + kExample);
        struct stat st {};
        QCOMPARE(::stat(real.toLocal8Bit().constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, 0640u);
        QCOMPARE(
            QDir(path("links"))
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
                .size(),
            1);
        // A new file gets the usual permissions of new files.
        const mode_t mask = ::umask(022);
        db.FileName = Native(path("fresh.mvd"));
        db.Save();
        ::umask(mask);
        QCOMPARE(::stat(path("fresh.mvd").toLocal8Bit().constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, 0644u);
    }
};

QTEST_GUILESS_MAIN(MvdFileTest)
#include "tst_mvdfile.moc"
