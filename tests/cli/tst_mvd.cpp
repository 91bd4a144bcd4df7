// Drives the built `mvd` binary end to end: output, messages, exit codes and
// what it leaves in the database files.
#include <QFileInfo>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Entry {
    QByteArray language, category, project;
    double date;
    quint32 minutes;
    QByteArray description;
};

const QByteArray Magic("#MLDB-MavrolinDataBase\r");
constexpr double March5th2001 = 36955.0; // 05.03.2001

void PutU32(QByteArray& out, quint32 value) {
    for (int i = 0; i < 4; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}
void PutString(QByteArray& out, const QByteArray& text) {
    PutU32(out, quint32(text.size()));
    out.append(text);
}

// A database file written byte by byte, independent of the core's writer.
// `count` < 0 stores the number of entries.
QByteArray DbFile(const QList<Entry>& entries, qint64 count = -1) {
    QByteArray out = Magic;
    PutU32(out, quint32(count < 0 ? entries.size() : count));
    for (const Entry& e : entries) {
        PutString(out, e.language);
        PutString(out, e.category);
        PutString(out, e.project);
        quint64 bits;
        std::memcpy(&bits, &e.date, sizeof bits);
        PutU32(out, quint32(bits & 0xFFFFFFFFu));
        PutU32(out, quint32(bits >> 32));
        PutU32(out, e.minutes);
        PutString(out, e.description);
    }
    return out;
}

// The worked example: C++ / Zeigerfehler / no project / 05.03.2001 / 15 minutes.
const Entry Example{"C++", "Zeigerfehler", "", March5th2001, 15, ""};
const Entry Umlauts{"Object Pascal",
                    "unber\xFC"
                    "cksichtigter Spezialfall",
                    "B\xFC"
                    "ro \x80",
                    March5th2001 + 1,
                    90,
                    "Gr\xF6\xDF"
                    "e, \"falsch\"\r\nzweite Zeile"};
const Entry Other{"Java", "Eins-daneben-Fehler", "Web", March5th2001 + 2, 5, "a"};
// Texts that a spreadsheet would take for formulas.
const Entry Formulas{"=1+1", "Eins-daneben-Fehler", "Web", March5th2001 + 2, 5, "-5 Grad"};

const QByteArray Header("ID,Sprache,Kategorie,Projekt,Datum,Aufwand,Beschreibung\r\n");
const QByteArray ExampleRow("1,C++,Zeigerfehler,,05.03.2001,15,\r\n");
const QByteArray UmlautsRow = QString("2,Object Pascal,unber\u00FCcksichtigter Spezialfall,"
                                      "B\u00FCro \u20AC,06.03.2001,90,\"Gr\u00F6\u00DFe, "
                                      "\"\"falsch\"\"\r\nzweite Zeile\"\r\n")
                                  .toUtf8();
const QByteArray Duplicate("Es ist bereits ein identischer Eintrag in der Datenbank vorhanden!\n");
const QByteArray EndOfFile("Versuch hinter dem Dateiende zu lesen\n");
const QByteArray NotFound("Datei nicht gefunden\n");
const QByteArray NotADatabase = QString("Die angegebene Datei ist keine g\u00FCltige "
                                        "Datenbank!\n")
                                    .toUtf8();
const QByteArray Untouched = QString("wurde nicht ver\u00E4ndert").toUtf8();

struct Result {
    int exitCode = -1;
    QByteArray out, err;
};

// A file whose bytes are given, or no file at all (a null QByteArray).
void WriteOrRemove(const QString& path, const QByteArray& bytes) {
    QFile::remove(path);
    if (bytes.isNull())
        return;
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray ReadOrNull(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    QByteArray bytes = file.readAll();
    return bytes.isNull() ? QByteArray("") : bytes;
}

ino_t Inode(const QString& path) {
    struct stat info {};
    return stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

} // namespace

Q_DECLARE_METATYPE(QList<QByteArray>)

class TestMvd : public QObject {
    Q_OBJECT
private slots:
    void init();
    void help();
    void helpAndVersion_data();
    void helpAndVersion();
    void usageErrors_data();
    void usageErrors();
    void list_data();
    void list();
    void add_data();
    void add();
    void addThenListRoundTripsUmlauts();
    void merge_data();
    void merge();
    void check_data();
    void check();
    void failedLoadCountsNoDuplicate_data();
    void failedLoadCountsNoDuplicate();
    void exportCsv_data();
    void exportCsv();
    void importCsv_data();
    void importCsv();
    void exportThenImportKeepsEntries();
    void importOfLibreOfficesCsv();
    void importSavesBeforeAClosedOutput();
    void importOfALargeFieldInBoundedMemory();
    void exportKeepsTheFileMode_data();
    void exportKeepsTheFileMode();
    void stats_data();
    void stats();
    void concurrentAddsKeepEveryEntry();
    void lockHeldTooLong_data();
    void lockHeldTooLong();
    void lockThatIsNoFile_data();
    void lockThatIsNoFile();
    void exportProgress_data();
    void exportProgress();

private:
    Result run(const QStringList& args, std::function<void()> inChild = {});
    QString path(const QString& name) const { return dir_->filePath(name); }
    std::unique_ptr<QTemporaryDir> dir_;
};

// `inChild` runs in the child process before mvd starts (e.g. to set a limit).
Result TestMvd::run(const QStringList& args, std::function<void()> inChild) {
    QProcess process;
    process.setWorkingDirectory(dir_->path());
    if (inChild)
        process.setChildProcessModifier(inChild);
    process.start(QStringLiteral(MVD_PATH), args);
    Result result;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

void TestMvd::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

void TestMvd::help() {
    Result r = run({"--help"});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.contains("mvd list DATEI"));
    QVERIFY(r.out.contains("mvd merge DATEI QUELLE..."));
    QVERIFY(r.out.contains("mvd import DATEI CSV..."));
    QCOMPARE(r.err, QByteArray());
}

void TestMvd::helpAndVersion_data() {
    QTest::addColumn<QStringList>("args");
    // Lines that the output must hold exactly once, and texts it must not hold.
    QTest::addColumn<QList<QByteArray>>("once");
    QTest::addColumn<QList<QByteArray>>("absent");
    const QList<QByteArray> usages{
        "  mvd list DATEI\n",     "  mvd add DATEI --language", "  mvd merge DATEI QUELLE",
        "  mvd check DATEI\n",    "  mvd export DATEI",         "  mvd import DATEI CSV",
        "  mvd stats DATEI --by", "  mvd --version\n",          "  mvd help [BEFEHL]"};
    QTest::newRow("--help: every command once")
        << QStringList{"--help"} << usages << QList<QByteArray>{"Mehr dazu"};
    QTest::newRow("--version") << QStringList{"--version"}
                               << QList<QByteArray>{"mvd (Mavrolin) 1.5\n"}
                               << QList<QByteArray>{"Aufruf"};
    const QList<QByteArray> statsOnly{"Aufruf:\n  mvd stats DATEI --by", "man mvd"};
    const QList<QByteArray> others{"mvd list", "mvd export", "mvd --version"};
    QTest::newRow("help stats") << QStringList{"help", "stats"} << statsOnly << others;
    QTest::newRow("stats --help, options not checked")
        << QStringList{"stats", "x.mvd", "--by", "colour", "--help"} << statsOnly << others;
}

// Help and version go to standard output with status 0 and need no database.
void TestMvd::helpAndVersion() {
    QFETCH(QStringList, args);
    QFETCH(QList<QByteArray>, once);
    QFETCH(QList<QByteArray>, absent);
    Result r = run(args);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.err, QByteArray());
    for (const QByteArray& line : once)
        QVERIFY2(r.out.count(line) == 1, line + "\n---\n" + r.out);
    for (const QByteArray& text : absent)
        QVERIFY2(!r.out.contains(text), text);
    if (args.size() == 1 && args.front() == "--version")
        QCOMPARE(r.out.count('\n'), 1);
}

void TestMvd::usageErrors_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("no arguments") << QStringList{};
    QTest::newRow("unknown verb") << QStringList{"show", "db.mvd"};
    QTest::newRow("missing file") << QStringList{"check"};
    QTest::newRow("add with bad date")
        << QStringList{"add",       "db.mvd", "--language", "C",          "--category", "c",
                       "--project", "p",      "--date",     "30.02.2001", "--minutes",  "1"};
    QTest::newRow("add with text beyond Windows-1252")
        << QStringList{"add",        "db.mvd",     "--language", "C",
                       "--category", "c",          "--project",  "\u0141\u00F3d\u017A",
                       "--date",     "01.02.2001", "--minutes",  "1"};
}

void TestMvd::usageErrors() {
    QFETCH(QStringList, args);
    Result r = run(args);
    QCOMPARE(r.exitCode, 2);
    QCOMPARE(r.out, QByteArray());
    QVERIFY2(r.err.startsWith("mvd: ") && r.err.endsWith("Hilfe: mvd --help\n"), r.err);
    QVERIFY(!QFile::exists(path("db.mvd")));
}

void TestMvd::list_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("empty database") << DbFile({}) << Header << QByteArray() << 0;
    QTest::newRow("worked example")
        << DbFile({Example}) << Header + ExampleRow << QByteArray() << 0;
    QTest::newRow("quoting, line breaks, umlauts, euro")
        << DbFile({Example, Umlauts}) << Header + ExampleRow + UmlautsRow << QByteArray() << 0;
    Entry sameInOtherCase = Example;
    sameInOtherCase.language = "c++";
    sameInOtherCase.date += 0.75;
    sameInOtherCase.description = "anders";
    QTest::newRow("duplicate in the file listed once")
        << DbFile({Example, sameInOtherCase}) << Header + ExampleRow << QByteArray() << 0;
    Entry undefinedByte = Other;
    undefinedByte.description = "\x81\x9D";
    QTest::newRow("undefined Windows-1252 codes as C1 controls")
        << DbFile({undefinedByte})
        << Header + "1,Java,Eins-daneben-Fehler,Web,07.03.2001,5," +
               QString("\u0081\u009D").toUtf8() + "\r\n"
        << QByteArray() << 0;
    Entry noDay = Other;
    noDay.date = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("date that is no day")
        << DbFile({noDay}) << Header + "1,Java,Eins-daneben-Fehler,Web,,5,a\r\n"
        << QByteArray() << 0;
    QTest::newRow("formula-like texts as they are")
        << DbFile({Formulas}) << Header + "1,=1+1,Eins-daneben-Fehler,Web,07.03.2001,5,-5 Grad\r\n"
        << QByteArray() << 0;
    QTest::newRow("truncated: entries before the damage")
        << DbFile({Example, Umlauts}).chopped(3) << Header + ExampleRow << EndOfFile << 1;
    QTest::newRow("count larger than the entries")
        << DbFile({Example}, 5) << Header + ExampleRow << EndOfFile << 1;
    QTest::newRow("wrong magic") << QByteArray("#MLDB-MavrolinDatabase\r\0\0\0\0", 27) << Header
                                 << NotADatabase << 1;
    QTest::newRow("missing file") << QByteArray() << Header << NotFound << 1;
}

void TestMvd::list() {
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QFETCH(int, exitCode);
    WriteOrRemove(path("db.mvd"), file);
    Result r = run({"list", "db.mvd"});
    QCOMPARE(r.out, out);
    QCOMPARE(r.err, err);
    QCOMPARE(r.exitCode, exitCode);
    QCOMPARE(ReadOrNull(path("db.mvd")), file); // listing never writes
}

void TestMvd::add_data() {
    QTest::addColumn<QByteArray>("before"); // null: FILE does not exist
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("err");
    QTest::addColumn<QByteArray>("after"); // null: FILE must be unchanged
    const QStringList example{"--language", "C++",    "--category", "Zeigerfehler", "--project",
                              "",           "--date", "05.03.2001", "--minutes",    "15"};
    QTest::newRow("new file is the worked example byte for byte")
        << QByteArray() << example << 0 << QByteArray() << DbFile({Example});
    QTest::newRow("appends to an existing database")
        << DbFile({Other}) << example << 0 << QByteArray() << DbFile({Other, Example});
    QStringList sameInOtherCase = example;
    sameInOtherCase[1] = "c++";
    sameInOtherCase[3] = "ZEIGERfehler";
    sameInOtherCase += QStringList{"--description", "neu"};
    QTest::newRow("duplicate in other letter case refused")
        << DbFile({Other, Example}) << sameInOtherCase << 1 << Duplicate << QByteArray();
    QStringList umlautCase = example;
    umlautCase[5] = "\u00C4";
    Entry withUmlaut = Example;
    withUmlaut.project = "\xE4";
    QTest::newRow("umlaut case is no duplicate")
        << DbFile({withUmlaut}) << umlautCase << 0 << QByteArray()
        << DbFile({withUmlaut, Entry{"C++", "Zeigerfehler", "\xC4", March5th2001, 15, ""}});
    Entry twoLines = Example;
    twoLines.description = "eins\r\nzwei\r\ndrei";
    QTest::newRow("a line feed is stored as CR LF")
        << QByteArray() << example + QStringList{"--description", "eins\nzwei\r\ndrei"} << 0
        << QByteArray() << DbFile({twoLines});
    QTest::newRow("damaged file is left alone")
        << DbFile({Other}, 2) << example << 1 << EndOfFile << QByteArray();
    QTest::newRow("not a database is left alone")
        << QByteArray("just some text that is no database") << example << 1 << NotADatabase
        << QByteArray();
}

void TestMvd::add() {
    QFETCH(QByteArray, before);
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, err);
    QFETCH(QByteArray, after);
    WriteOrRemove(path("db.mvd"), before);
    const ino_t inode = Inode(path("db.mvd"));

    Result r = run(QStringList{"add", "db.mvd"} + options);
    QCOMPARE(r.exitCode, exitCode);
    QCOMPARE(r.out, QByteArray());
    if (err.isEmpty())
        QCOMPARE(r.err, QByteArray());
    else
        QVERIFY2(r.err.startsWith(err), r.err);

    if (after.isNull()) {
        QCOMPARE(ReadOrNull(path("db.mvd")), before);
        QCOMPARE(Inode(path("db.mvd")), inode); // not even rewritten
    } else {
        QCOMPARE(ReadOrNull(path("db.mvd")), after);
    }
    // No temporary file is left behind (the lock file stays).
    QStringList files = QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden);
    files.removeOne("db.mvd.lock");
    QCOMPARE(files, before.isNull() && after.isNull() ? QStringList{} : QStringList{"db.mvd"});
}

void TestMvd::addThenListRoundTripsUmlauts() {
    const QString project = QStringLiteral("B\u00FCro \u20AC \u00C4\u00D6\u00DC\u00DF");
    const QString description = QStringLiteral("\u201EZitat\u201C, Zeile 1\r\nZeile 2 \u00B5");
    Result r = run({"add", "db.mvd", "--language=Delphi", "--category", "\u00DCberlauf",
                    "--project", project, "--date", "29.02.2024", "--minutes", "4294967295",
                    "--description", description});
    QCOMPARE(r.exitCode, 0);
    // Stored as Windows-1252 bytes.
    QVERIFY(ReadOrNull(path("db.mvd")).contains("B\xFCro \x80 \xC4\xD6\xDC\xDF"));

    r = run({"list", "db.mvd"});
    QCOMPARE(r.exitCode, 0);
    const QByteArray expected = Header + QString("1,Delphi,\u00DCberlauf,%1,29.02.2024,4294967295,"
                                                 "\"%2\"\r\n")
                                             .arg(project, description)
                                             .toUtf8();
    QCOMPARE(r.out, expected);
}

void TestMvd::merge_data() {
    QTest::addColumn<QByteArray>("target");         // null: FILE does not exist
    QTest::addColumn<QList<QByteArray>>("sources"); // null entry: missing SOURCE
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    QTest::addColumn<QByteArray>("after"); // null: FILE must be unchanged, not even rewritten
    Entry exampleUpper = Example;
    exampleUpper.category = "ZEIGERFEHLER";
    QTest::newRow("adds only new entries")
        << DbFile({Example}) << QList<QByteArray>{DbFile({exampleUpper, Umlauts, Other})} << 0
        << QString("2 Eintr\u00E4ge hinzugef\u00FCgt.\n").toUtf8() << QByteArray()
        << DbFile({Example, Umlauts, Other});
    QTest::newRow("several sources, one entry")
        << DbFile({Example}) << QList<QByteArray>{DbFile({Other}), DbFile({Other, Example})} << 0
        << QString("1 Eintrag hinzugef\u00FCgt.\n").toUtf8() << QByteArray()
        << DbFile({Example, Other});
    QTest::newRow("nothing new: file not saved")
        << DbFile({Example, Other}) << QList<QByteArray>{DbFile({Other})} << 0
        << QString("0 Eintr\u00E4ge hinzugef\u00FCgt.\n").toUtf8() << QByteArray() << QByteArray();
    QTest::newRow("damaged source: entries before the damage merged")
        << DbFile({Example}) << QList<QByteArray>{DbFile({Other, Umlauts}).chopped(1)} << 1
        << QString("1 Eintrag hinzugef\u00FCgt.\n").toUtf8() << EndOfFile
        << DbFile({Example, Other});
    QTest::newRow("missing source reported, others merged")
        << DbFile({Example}) << QList<QByteArray>{QByteArray(), DbFile({Other})} << 1
        << QString("1 Eintrag hinzugef\u00FCgt.\n").toUtf8() << NotFound
        << DbFile({Example, Other});
    QTest::newRow("damaged target is left alone")
        << DbFile({Example}, 3) << QList<QByteArray>{DbFile({Other})} << 1 << QByteArray()
        << EndOfFile << QByteArray();
    QTest::newRow("missing target is not created")
        << QByteArray() << QList<QByteArray>{DbFile({Other})} << 1 << QByteArray() << NotFound
        << QByteArray();
}

void TestMvd::merge() {
    QFETCH(QByteArray, target);
    QFETCH(QList<QByteArray>, sources);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QFETCH(QByteArray, after);
    WriteOrRemove(path("db.mvd"), target);
    const ino_t inode = Inode(path("db.mvd"));
    QStringList args{"merge", "db.mvd"};
    for (int i = 0; i < sources.size(); ++i) {
        const QString name = QString("source%1.mvd").arg(i);
        WriteOrRemove(path(name), sources[i]);
        args << name;
    }

    Result r = run(args);
    QCOMPARE(r.exitCode, exitCode);
    QCOMPARE(r.out, out);
    if (err.isEmpty())
        QCOMPARE(r.err, QByteArray());
    else
        QVERIFY2(r.err.startsWith(err), r.err);
    if (after.isNull()) {
        QCOMPARE(ReadOrNull(path("db.mvd")), target);
        QCOMPARE(Inode(path("db.mvd")), inode);
    } else {
        QCOMPARE(ReadOrNull(path("db.mvd")), after);
    }
    for (int i = 0; i < sources.size(); ++i)
        QCOMPARE(ReadOrNull(path(QString("source%1.mvd").arg(i))), sources[i]);
}

void TestMvd::check_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    QTest::addColumn<int>("exitCode");
    const auto report = [](int entries, int duplicates, const QString& error) {
        return QString("Eintr\u00E4ge: %1\nDoppelte \u00FCbersprungen: %2\nLadefehler: %3\n")
            .arg(entries)
            .arg(duplicates)
            .arg(error)
            .toUtf8();
    };
    Entry exampleLower = Example;
    exampleLower.language = "c++";
    QTest::newRow("empty") << DbFile({}) << report(0, 0, "keiner") << QByteArray() << 0;
    QTest::newRow("duplicates counted") << DbFile({Example, Other, exampleLower, Other, Umlauts})
                                        << report(3, 2, "keiner") << QByteArray() << 0;
    QTest::newRow("damage after a duplicate")
        << DbFile({Example, exampleLower, Other}).chopped(2)
        << report(1, 1, "Versuch hinter dem Dateiende zu lesen") << EndOfFile << 1;
    QTest::newRow("count beyond range")
        << DbFile({Example}, 0x80000000LL) << report(0, 0, "Fehler bei Bereichspr\u00FCfung")
        << QByteArray("Fehler bei Bereichspr\xC3\xBC"
                      "fung\n")
        << 1;
    QTest::newRow("too short for the magic")
        << QByteArray("#MLDB") << report(0, 0, "Versuch hinter dem Dateiende zu lesen") << EndOfFile
        << 1;
    QTest::newRow("missing") << QByteArray() << report(0, 0, "Datei nicht gefunden") << NotFound
                             << 1;
}

void TestMvd::check() {
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QFETCH(int, exitCode);
    WriteOrRemove(path("db.mvd"), file);
    Result r = run({"check", "db.mvd"});
    QCOMPARE(r.out, out);
    QCOMPARE(r.err, err);
    QCOMPARE(r.exitCode, exitCode);
}

// A load that fails in its first entry counts that entry nowhere. A sparse
// file of 3 GiB whose first string claims 2 GiB - 1 bytes fails before the
// room is taken (the bytes lie in a hole; the 1 GiB limit only keeps a
// regression from taking the machine's memory); a string the file really
// holds but the memory limit does not allow fails for want of memory.
void TestMvd::failedLoadCountsNoDuplicate_data() {
    QTest::addColumn<quint32>("length");
    QTest::addColumn<qint64>("written");
    QTest::addColumn<qint64>("fileSize");
    QTest::addColumn<int>("resource");
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<QString>("message");
    QTest::newRow("string in a hole")
        << 0x7FFFFFFFu << qint64(0) << (qint64(3) << 30) << int(RLIMIT_AS) << (qint64(1) << 30)
        << "Versuch hinter dem Dateiende zu lesen";
    QTest::newRow("string beyond the memory limit")
        << (48u << 20) << (qint64(48) << 20) << qint64(0) << int(RLIMIT_DATA) << (qint64(32) << 20)
        << "Zu wenig Arbeitsspeicher";
}

void TestMvd::failedLoadCountsNoDuplicate() {
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("the address sanitizer cannot run under a memory limit");
#endif
    QFETCH(quint32, length);
    QFETCH(qint64, written);
    QFETCH(qint64, fileSize);
    QFETCH(int, resource);
    QFETCH(qint64, limit);
    QFETCH(QString, message);
    QByteArray head = Magic;
    PutU32(head, 1);
    PutU32(head, length);
    WriteOrRemove(path("huge.mvd"), head + QByteArray(written, 'x'));
    if (fileSize > 0) {
        QFile file(path("huge.mvd"));
        QVERIFY(file.resize(fileSize));
    }
    Result r = run({"check", "huge.mvd"}, [resource, limit] {
        const rlimit bound{rlim_t(limit), rlim_t(limit)};
        ::setrlimit(resource, &bound);
    });
    QCOMPARE(r.out, QString("Eintr\u00E4ge: 0\nDoppelte \u00FCbersprungen: 0\nLadefehler: " +
                            message + "\n")
                        .toUtf8());
    QCOMPARE(r.err, (message + "\n").toUtf8());
    QCOMPARE(r.exitCode, 1);
}

const QByteArray
    SheetHeader("\xEF\xBB\xBFSprache;Kategorie;Projekt;Datum;Aufwand;Beschreibung\r\n");
const QByteArray ExampleSheetRow("C++;Zeigerfehler;;05.03.2001;15;\r\n");
const QByteArray UmlautsSheetRow = QString("Object Pascal;unber\u00FCcksichtigter Spezialfall;"
                                           "B\u00FCro \u20AC;06.03.2001;90;\"Gr\u00F6\u00DFe, "
                                           "\"\"falsch\"\"\r\nzweite Zeile\"\r\n")
                                       .toUtf8();

void TestMvd::exportCsv_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("csv"); // on standard output, or in out.csv with --output
    QTest::addColumn<QByteArray>("err");
    const QByteArray both = SheetHeader + ExampleSheetRow + UmlautsSheetRow;
    QTest::newRow("to standard output")
        << DbFile({Example, Umlauts}) << QStringList{} << 0 << both << QByteArray();
    QTest::newRow("into a pipe, by name")
        << DbFile({Example}) << QStringList{"--output", "/dev/stdout"} << 0
        << SheetHeader + ExampleSheetRow << QByteArray();
    QTest::newRow("tab to a file")
        << DbFile({Example}) << QStringList{"--delimiter", "tab", "--output", "out.csv"} << 0
        << QByteArray(SheetHeader + ExampleSheetRow).replace(';', '\t') << QByteArray();
    QTest::newRow("damaged: the entries before the damage")
        << DbFile({Example, Umlauts}).chopped(3) << QStringList{} << 1
        << SheetHeader + ExampleSheetRow << EndOfFile;
    QTest::newRow("formula-like texts marked as text")
        << DbFile({Formulas}) << QStringList{} << 0
        << SheetHeader + "'=1+1;Eins-daneben-Fehler;Web;07.03.2001;5;'-5 Grad\r\n"
        << QByteArray();
    QTest::newRow("folder missing")
        << DbFile({Example}) << QStringList{"--output", "no/out.csv"} << 1 << QByteArray()
        << QByteArray("mvd: no/out.csv: Datei nicht gefunden.\n");
    QTest::newRow("not over the database")
        << DbFile({Example}) << QStringList{"--output", "./db.mvd"} << 1 << QByteArray()
        << QString("mvd: Die Ausgabedatei ist die Datenbank selbst; sie wurde nicht "
                   "\u00FCberschrieben.\n")
               .toUtf8();
}

void TestMvd::exportCsv() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, csv);
    QFETCH(QByteArray, err);
    WriteOrRemove(path("db.mvd"), file);
    Result r = run(QStringList{"export", "db.mvd"} + options);
    QCOMPARE(r.exitCode, exitCode);
    QCOMPARE(r.err, err);
    QCOMPARE(options.contains("out.csv") ? ReadOrNull(path("out.csv")) : r.out, csv);
    QCOMPARE(ReadOrNull(path("db.mvd")), file);
}

void TestMvd::importCsv_data() {
    QTest::addColumn<QByteArray>("before"); // null: FILE does not exist
    QTest::addColumn<QByteArray>("csv");    // null: in.csv does not exist
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("err");
    QTest::addColumn<QByteArray>("after"); // null: FILE unchanged
    QTest::newRow("new database")
        << QByteArray() << SheetHeader + ExampleSheetRow + UmlautsSheetRow << 0
        << QString("in.csv: 2 Eintr\u00E4ge importiert, 0 Duplikate \u00FCbersprungen, 0 Zeilen "
                   "fehlerhaft\n")
               .toUtf8()
        << DbFile({Example, Umlauts});
    QTest::newRow("duplicate skipped, refused row reported, good rows saved")
        << DbFile({Example})
        << SheetHeader + "c++;Zeigerfehler;;5.3.2001;15;\r\nJava;x;y;05.03.2001;-1;\r\n" +
               "Java;Eins-daneben-Fehler;Web;2001-03-07;5;a\r\n"
        << 1
        << QString("in.csv: 1 Eintrag importiert, 1 Duplikat \u00FCbersprungen, 1 Zeile "
                   "fehlerhaft\n  Zeile 3: negativer Aufwand \u201E-1\u201C\n"
                   "    Java;x;y;05.03.2001;-1;\n")
               .toUtf8()
        << DbFile({Example, Other});
    Entry thousand = Other;
    thousand.minutes = 1000;
    QTest::newRow("two-digit years and thousands as a German spreadsheet writes them")
        << QByteArray()
        << SheetHeader +
               "C++;Zeigerfehler;;05.03.01;15;\r\nJava;Eins-daneben-Fehler;Web;07.03.01;" +
               "1.000;a\r\n"
        << 0
        << QString("in.csv: 2 Eintr\u00E4ge importiert, 0 Duplikate \u00FCbersprungen, 0 Zeilen "
                   "fehlerhaft\n")
               .toUtf8()
        << DbFile({Example, thousand});
    Entry formulasOnTwoLines = Formulas;
    formulasOnTwoLines.description = "-5 Grad\r\nzweite";
    QTest::newRow("text marks taken off, a line feed stored as CR LF")
        << QByteArray()
        << SheetHeader + "'=1+1;Eins-daneben-Fehler;Web;2001-03-07;5;\"'-5 Grad\nzweite\"\r\n"
        << 0
        << QString("in.csv: 1 Eintrag importiert, 0 Duplikate \u00FCbersprungen, 0 Zeilen "
                   "fehlerhaft\n")
               .toUtf8()
        << DbFile({formulasOnTwoLines});
    QTest::newRow("minutes that are no whole number refused")
        << DbFile({Example}) << SheetHeader + "a;b;c;;1,000;\r\na;b;c;;1,5;\r\na;b;c;;1e3;\r\n"
        << 1
        << QString("in.csv: 0 Eintr\u00E4ge importiert, 0 Duplikate \u00FCbersprungen, 3 Zeilen "
                   "fehlerhaft\n"
                   "  Zeile 2: Aufwand \u201E1,000\u201C ist mehrdeutig: Tausender werden mit "
                   "Punkt getrennt (1.000), Nachkommastellen mit Komma\n    a;b;c;;1,000;\n"
                   "  Zeile 3: Aufwand \u201E1,5\u201C ist keine ganze Zahl von Minuten\n"
                   "    a;b;c;;1,5;\n"
                   "  Zeile 4: Aufwand \u201E1e3\u201C ist keine Zahl\n    a;b;c;;1e3;\n")
               .toUtf8()
        << QByteArray();
    // A report longer than the blocks mvd writes it in: every row once, in order.
    QByteArray manyRows = SheetHeader;
    QByteArray manyReported = QString("in.csv: 0 Eintr\u00E4ge importiert, 0 Duplikate "
                                      "\u00FCbersprungen, 3000 Zeilen fehlerhaft\n")
                                  .toUtf8();
    for (int row = 1; row <= 3000; ++row) {
        const QByteArray text = "a;b;c" + QByteArray::number(row) + ";;x;";
        manyRows += text + "\r\n";
        manyReported += "  Zeile " + QByteArray::number(row + 1) +
                        ": Aufwand \xE2\x80\x9Ex\xE2\x80\x9C ist keine Zahl\n    " + text + "\n";
    }
    QTest::newRow("a long report, whole")
        << DbFile({Example}) << manyRows << 1 << manyReported << QByteArray();
    QTest::newRow("file refused as a whole")
        << DbFile({Example}) << QByteArray("Sprache;Kategorie\nC;c\n") << 1
        << QString("in.csv: In der Kopfzeile fehlt die Spalte \u201EProjekt\u201C. Es wurde "
                   "nichts importiert.\n")
               .toUtf8()
        << QByteArray();
    QTest::newRow("missing CSV") << DbFile({Example}) << QByteArray() << 1
                                 << QByteArray("in.csv: Datei nicht gefunden. Es wurde nichts "
                                               "importiert.\n")
                                 << QByteArray();
    QTest::newRow("damaged FILE left alone")
        << DbFile({Example}, 2) << SheetHeader + UmlautsSheetRow << 1
        << EndOfFile + "mvd: db.mvd " + Untouched +
               ", weil die Datenbank nicht vollst\xC3\xA4ndig "
               "gelesen werden konnte.\n"
        << QByteArray();
}

void TestMvd::importCsv() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, csv);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, err);
    QFETCH(QByteArray, after);
    WriteOrRemove(path("db.mvd"), before);
    WriteOrRemove(path("in.csv"), csv);
    const ino_t inode = Inode(path("db.mvd"));
    Result r = run({"import", "db.mvd", "in.csv"});
    QCOMPARE(r.err, err);
    QCOMPARE(r.out, QByteArray());
    QCOMPARE(r.exitCode, exitCode);
    if (after.isNull()) {
        QCOMPARE(ReadOrNull(path("db.mvd")), before);
        QCOMPARE(Inode(path("db.mvd")), inode);
    } else {
        QCOMPARE(ReadOrNull(path("db.mvd")), after);
    }
}

void TestMvd::exportThenImportKeepsEntries() {
    Entry noDay = Other;
    noDay.date = std::numeric_limits<double>::quiet_NaN();
    WriteOrRemove(path("db.mvd"), DbFile({Example, Umlauts, noDay}));
    const QByteArray listed = run({"list", "db.mvd"}).out;
    for (const QString delimiter : {";", ",", "tab"}) {
        QFile::remove(path("new.mvd"));
        QCOMPARE(run({"export", "db.mvd", "--delimiter", delimiter, "--output", "x.csv"}).exitCode,
                 0);
        QCOMPARE(run({"import", "new.mvd", "x.csv"}).exitCode, 0);
        QCOMPARE(run({"list", "new.mvd"}).out, listed);
    }
}

// An export opened in German LibreOffice 7.4 (headless, semicolon, UTF-8,
// German) and saved from there as CSV: two-digit years, line feeds, the text
// marks kept. Imported, it lists as the database that was exported.
void TestMvd::importOfLibreOfficesCsv() {
    const QString csv = QFINDTESTDATA("data/libreoffice-de.csv");
    const QString listed = QFINDTESTDATA("data/libreoffice-de.list");
    QVERIFY(!csv.isEmpty() && !listed.isEmpty());
    Result r = run({"import", "db.mvd", csv});
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.err.endsWith(": 8 Eintr\xC3\xA4ge importiert, 0 Duplikate \xC3\xBC"
                            "bersprungen, 0 Zeilen fehlerhaft\n"),
             r.err);
    QCOMPARE(run({"list", "db.mvd"}).out, ReadOrNull(listed));
}

// `mvd import DB CSV 2>&1 | head -1`: the output is closed before the report;
// the import is saved all the same.
void TestMvd::importSavesBeforeAClosedOutput() {
    WriteOrRemove(path("db.mvd"), DbFile({Example}));
    WriteOrRemove(path("in.csv"), SheetHeader + UmlautsSheetRow + "x;y;z;31.02.2001;1;\r\n");
    Result r = run({"import", "db.mvd", "in.csv"}, [] {
        int ends[2];
        if (::pipe(ends) == 0) {
            ::close(ends[0]); // nobody reads
            ::dup2(ends[1], STDOUT_FILENO);
            ::dup2(ends[1], STDERR_FILENO);
            ::close(ends[1]);
        }
        ::signal(SIGPIPE, SIG_DFL); // as a shell leaves it
    });
    QCOMPARE(r.exitCode, 1); // ended normally; a row was refused
    QCOMPARE(ReadOrNull(path("db.mvd")), DbFile({Example, Umlauts}));
}

// A description of 48 MiB in lines of 60 characters, imported with at most
// four times that much memory.
void TestMvd::importOfALargeFieldInBoundedMemory() {
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("the address sanitizer cannot run under a memory limit");
#endif
    constexpr qsizetype Size = qsizetype(48) << 20;
    QByteArray description(Size, 'x');
    for (qsizetype i = 60; i + 1 < Size; i += 62) {
        description[i] = '\r';
        description[i + 1] = '\n';
    }
    WriteOrRemove(path("in.csv"),
                  SheetHeader + "C++;Zeigerfehler;;05.03.2001;15;\"" + description + "\"\r\n");
    Result r = run({"import", "db.mvd", "in.csv"}, [] {
        const rlimit bound{rlim_t(4 * Size), rlim_t(4 * Size)};
        ::setrlimit(RLIMIT_DATA, &bound);
    });
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(ReadOrNull(path("db.mvd")),
             DbFile({{"C++", "Zeigerfehler", "", March5th2001, 15, description}}));
}

// An export that replaces a file keeps its mode; a new file gets the umask's.
void TestMvd::exportKeepsTheFileMode_data() {
    QTest::addColumn<QString>("output");
    QTest::addColumn<int>("before"); // the mode of the file replaced; -1: a new file
    QTest::addColumn<int>("mask");
    QTest::addColumn<int>("after");
    QTest::newRow("CSV over a private file") << "x.csv" << 0600 << 022 << 0600;
    QTest::newRow("workbook over a private file") << "x.xlsx" << 0600 << 0 << 0600;
    QTest::newRow("new CSV, umask 000") << "x.csv" << -1 << 0 << 0666;
    QTest::newRow("new workbook, umask 000") << "x.xlsx" << -1 << 0 << 0666;
    QTest::newRow("new CSV, umask 077") << "x.csv" << -1 << 077 << 0600;
}

void TestMvd::exportKeepsTheFileMode() {
    QFETCH(QString, output);
    QFETCH(int, before);
    QFETCH(int, mask);
    QFETCH(int, after);
    WriteOrRemove(path("db.mvd"), DbFile({Example}));
    if (before >= 0) {
        WriteOrRemove(path(output), "alt");
        QCOMPARE(::chmod(QFile::encodeName(path(output)).constData(), mode_t(before)), 0);
    }
    Result r = run({"export", "db.mvd", "--output", output}, [mask] { ::umask(mode_t(mask)); });
    QCOMPARE(r.exitCode, 0);
    struct stat info {};
    QCOMPARE(::stat(QFile::encodeName(path(output)).constData(), &info), 0);
    QCOMPARE(int(info.st_mode & 07777), after);
    QVERIFY(ReadOrNull(path(output)) != "alt");
}

void TestMvd::concurrentAddsKeepEveryEntry() {
    std::vector<std::unique_ptr<QProcess>> adds;
    for (int i = 0; i < 10; ++i) {
        adds.push_back(std::make_unique<QProcess>());
        adds.back()->setWorkingDirectory(dir_->path());
        adds.back()->start(MVD_PATH,
                           {"add", "db.mvd", "--language", "C", "--category", "K", "--project", "P",
                            "--date", "05.03.2001", "--minutes", QString::number(i)});
    }
    for (auto& add : adds) {
        QVERIFY(add->waitForFinished(60000));
        QCOMPARE(add->exitCode(), 0);
    }
    Result r = run({"list", "db.mvd"});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out.count("\r\n"), 11); // the header and ten entries
}

void TestMvd::lockHeldTooLong_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("add") << QStringList{"add",        "db.mvd",     "--language", "C",
                                        "--category", "K",          "--project",  "P",
                                        "--date",     "05.03.2001", "--minutes",  "1"};
    QTest::newRow("merge") << QStringList{"merge", "db.mvd", "other.mvd"};
    QTest::newRow("import") << QStringList{"import", "db.mvd", "rows.csv"};
}

void TestMvd::lockHeldTooLong() {
    QFETCH(QStringList, args);
    WriteOrRemove(path("db.mvd"), DbFile({Example}));
    WriteOrRemove(path("other.mvd"), DbFile({Other}));
    WriteOrRemove(path("rows.csv"), "Sprache;Kategorie;Projekt\r\nC;K;P\r\n");
    const int fd = ::open(qPrintable(path("db.mvd.lock")), O_RDWR | O_CREAT, 0600);
    QVERIFY(fd >= 0 && ::flock(fd, LOCK_EX) == 0);
    qputenv("MVD_LOCK_TIMEOUT", "0.2");
    Result r = run(args);
    qunsetenv("MVD_LOCK_TIMEOUT");
    ::close(fd);
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.err, QString("mvd: db.mvd wird gerade von einem anderen mvd-Aufruf ge\u00E4ndert. "
                            "Bitte sp\u00E4ter noch einmal versuchen.\n")
                        .toUtf8());
    QCOMPARE(ReadOrNull(path("db.mvd")), DbFile({Example}));
    QCOMPARE(run(args).exitCode, 0); // once the lock is free
}

// A lock name that another user planted as a link (in a shared folder) or
// as something else than a file: refused, nothing saved, nothing made.
void TestMvd::lockThatIsNoFile_data() {
    QTest::addColumn<QString>("planted");
    QTest::newRow("a link to a name elsewhere") << "link";
    QTest::newRow("a link to an existing file") << "link to file";
    QTest::newRow("a folder") << "folder";
}

void TestMvd::lockThatIsNoFile() {
    QFETCH(QString, planted);
    WriteOrRemove(path("db.mvd"), DbFile({Example}));
    QVERIFY(QDir(dir_->path()).mkpath("privat"));
    const QString target = path("privat/opfer");
    if (planted == "link to file")
        WriteOrRemove(target, "meins");
    if (planted == "folder")
        QVERIFY(QDir(dir_->path()).mkdir("db.mvd.lock"));
    else
        QVERIFY(QFile::link(target, path("db.mvd.lock")));
    Result r = run({"add", "db.mvd", "--language", "C", "--category", "K", "--project", "P",
                    "--date", "05.03.2001", "--minutes", "1"});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains("Sperrdatei"), r.err.constData());
    QCOMPARE(ReadOrNull(path("db.mvd")), DbFile({Example}));
    QCOMPARE(QFileInfo::exists(target), planted == "link to file"); // nothing made there
    if (planted == "link to file")
        QCOMPARE(ReadOrNull(target), QByteArray("meins"));
}

// Example and Umlauts on Monday 5 and Tuesday 6 March 2001, Other on
// Wednesday 7 (C++ 15 min, Object Pascal 90, Java 5), "c++" again on the 5th
// with 40 minutes, and an entry without calendar day.
void TestMvd::stats_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("csv");
    const QByteArray head = "\xEF\xBB\xBF;Anzahl;Anteil %;kumuliert %;Aufwand gesamt;Anteil %;"
                            "Aufwand Mittel;Aufwand Median\r\n";
    auto table = [&](const char* group, const char* rows) {
        return QByteArray(head).insert(3, group) + QString::fromUtf8(rows).toUtf8();
    };
    QTest::newRow("language by count: folded case, ties in list order")
        << QStringList{"--by", "language"}
        << table("Sprache", "C++;2;40,0 %;40,0 %;0:55;35,5 %;27,5;27,5\r\n"
                            "Java;2;40,0 %;80,0 %;0:10;6,5 %;5,0;5,0\r\n"
                            "Object Pascal;1;20,0 %;100,0 %;1:30;58,1 %;90,0;90,0\r\n");
    QTest::newRow("language by minutes")
        << QStringList{"--by=language", "--measure", "minutes"}
        << table("Sprache", "Object Pascal;1;20,0 %;58,1 %;1:30;58,1 %;90,0;90,0\r\n"
                            "C++;2;40,0 %;93,5 %;0:55;35,5 %;27,5;27,5\r\n"
                            "Java;2;40,0 %;100,0 %;0:10;6,5 %;5,0;5,0\r\n");
    QTest::newRow("weekday, no calendar day last")
        << QStringList{"--by", "weekday"}
        << table("Wochentag", "Montag;2;40,0 %;40,0 %;0:55;35,5 %;27,5;27,5\r\n"
                              "Dienstag;1;20,0 %;60,0 %;1:30;58,1 %;90,0;90,0\r\n"
                              "Mittwoch;1;20,0 %;80,0 %;0:05;3,2 %;5,0;5,0\r\n"
                              "ohne Datum;1;20,0 %;100,0 %;0:05;3,2 %;5,0;5,0\r\n");
    QTest::newRow("month") << QStringList{"--by", "month", "--measure", "count"}
                           << table("Monat", "03.2001;4;80,0 %;80,0 %;2:30;96,8 %;37,5;27,5\r\n"
                                             "ohne Datum;1;20,0 %;100,0 %;0:05;3,2 %;5,0;5,0\r\n");
    QTest::newRow("unknown measure")
        << QStringList{"--by", "month", "--measure", "hours"} << QByteArray();
}

void TestMvd::stats() {
    QFETCH(QStringList, options);
    QFETCH(QByteArray, csv);
    Entry lower = Other;
    lower.language = "c++";
    lower.date = March5th2001;
    lower.minutes = 40;
    Entry noDay = Other;
    noDay.date = std::numeric_limits<double>::quiet_NaN();
    const QByteArray before = DbFile({Example, Umlauts, Other, lower, noDay});
    WriteOrRemove(path("db.mvd"), before);
    Result r = run(QStringList{"stats", "db.mvd"} + options);
    QCOMPARE(r.out, csv);
    QCOMPARE(r.exitCode, csv.isEmpty() ? 2 : 0);
    QCOMPARE(ReadOrNull(path("db.mvd")), before);
}

void TestMvd::exportProgress_data() {
    QTest::addColumn<bool>("terminal"); // standard error on a terminal, else a pipe
    QTest::addColumn<bool>("interrupt");
    QTest::newRow("pipe: no progress") << false << false;
    QTest::newRow("terminal: progress, cleared at the end") << true << false;
    QTest::newRow("Ctrl+C: nothing written") << true << true;
}

// A workbook export long enough to show its progress (half a second), with
// standard error on a pipe or on a pseudo-terminal, and SIGINT once the
// progress shows.
void TestMvd::exportProgress() {
    QFETCH(bool, terminal);
    QFETCH(bool, interrupt);
    QList<Entry> entries;
    for (quint32 i = 0; i < 150000; ++i)
        entries.append({"C++", "Zeigerfehler", "Mavrolin", March5th2001, i,
                        "eine Beschreibung, die l\xE4nger ist als die anderen Felder"});
    WriteOrRemove(path("db.mvd"), DbFile(entries));

    int master = -1;
    int slave = -1;
    if (terminal) {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        QVERIFY(master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0);
        slave = ::open(ptsname(master), O_RDWR | O_NOCTTY | O_CLOEXEC);
        QVERIFY(slave >= 0);
    }
    QProcess process;
    process.setWorkingDirectory(dir_->path());
    if (terminal)
        process.setChildProcessModifier([slave] { ::dup2(slave, STDERR_FILENO); });
    process.start(QStringLiteral(MVD_PATH), {"export", "db.mvd", "--output", "out.xlsx"});
    QVERIFY(process.waitForStarted());
    QByteArray shown; // what the terminal got
    if (terminal) {
        ::close(slave);
        bool interrupted = false;
        QElapsedTimer timer;
        timer.start();
        for (;;) {
            pollfd ready{master, POLLIN, 0};
            if (::poll(&ready, 1, 100) > 0) {
                char buffer[4096];
                const ssize_t n = ::read(master, buffer, sizeof buffer);
                if (n <= 0)
                    break; // the terminal's other side is closed: mvd has ended
                shown.append(buffer, n);
            }
            if (interrupt && !interrupted && shown.contains(" %")) {
                ::kill(static_cast<pid_t>(process.processId()), SIGINT);
                interrupted = true;
            }
            QVERIFY2(timer.elapsed() < 60000, shown);
        }
        ::close(master);
    }
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    const QByteArray err = terminal ? shown : process.readAllStandardError();

    QDir folder(dir_->path());
    const QStringList files = folder.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    if (interrupt) {
        QCOMPARE(process.exitCode(), 128 + SIGINT);
        QVERIFY2(err.endsWith("mvd: Abgebrochen; es wurde nichts geschrieben.\r\n"), err);
        QCOMPARE(files, QStringList{"db.mvd"});
        return;
    }
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(files, (QStringList{"db.mvd", "out.xlsx"}));
    if (terminal) {
        QVERIFY2(err.startsWith("\rmvd: Export: ") && err.endsWith("100 %\r\x1b[K"), err);
    } else {
        QCOMPARE(err, QByteArray());
    }
}

QTEST_GUILESS_MAIN(TestMvd)
#include "tst_mvd.moc"
