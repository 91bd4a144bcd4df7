// The settings file on disk: atomic replacement, the lock between instances,
// a corrupt file kept aside, and folders that cannot be created.

#include "fileio/FileIO.h"
#include "settings/RegFileFormat.h"
#include "settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using settings::RegKey;
using settings::RegValue;
using settings::SettingsStore;

namespace {
QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
void WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}
bool SetNumber(RegKey& root, const QString& name, std::uint32_t number) {
    root.CreatePath({"Software", "T"})->SetValue(name, RegValue::Dword(number));
    return true;
}
std::optional<std::uint32_t> Number(const RegKey& root, const QString& name) {
    const RegKey* software = root.SubKey("Software");
    const RegKey* key = software ? software->SubKey("T") : nullptr;
    const RegValue* value = key ? key->Value(name) : nullptr;
    if (!value)
        return std::nullopt;
    return static_cast<unsigned char>(value->data[0]);
}
} // namespace

class SettingsStoreTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void defaultPathFollowsConfigFolder();
    void missingFileReadsEmptyAndCreatesFolder();
    void writeReplacesFileAtomically();
    void unchangedTreeIsNotWritten();
    void changeThatThrowsWritesNothing();
    void corruptFileIsKeptAside();
    void uncreatableFolderRaisesRegistryError();
    void unreadableFileRaisesRegistryError();
    void secondInstanceWaitsForLock();
    void lockHeldTooLongRaisesRegistryError();
    void twoStoresKeepEachOthersChanges();
    void readRemovesLeftoverTemporaryFiles();
    void failedWriteKeepsTheOldFile_data();
    void failedWriteKeepsTheOldFile();

private:
    QString storePath() const { return dir_->filePath("cfg/Mavrolin/registry.reg"); }
    std::unique_ptr<QTemporaryDir> dir_;
    QStringList warnings_;
    SettingsStore::Warn collect() {
        return [this](const QString& text) { warnings_ << text; };
    }
};

void SettingsStoreTest::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    warnings_.clear();
}

void SettingsStoreTest::defaultPathFollowsConfigFolder() {
    const QByteArray old = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir_->filePath("cfg").toLocal8Bit());
    const QString path = SettingsStore::DefaultFilePath();
    qputenv("XDG_CONFIG_HOME", old);
    QCOMPARE(path, dir_->filePath("cfg/Mavrolin/registry.reg"));
}

void SettingsStoreTest::missingFileReadsEmptyAndCreatesFolder() {
    SettingsStore store(storePath(), collect());
    const RegKey tree = store.Read();
    QVERIFY(tree.SubKeys().empty());
    QVERIFY(QFileInfo(QFileInfo(storePath()).absolutePath()).isDir());
    QVERIFY(!QFile::exists(storePath())); // reading writes nothing
    QVERIFY(warnings_.isEmpty());
}

void SettingsStoreTest::writeReplacesFileAtomically() {
    SettingsStore store(storePath(), collect());
    store.Update([](RegKey& root) { return SetNumber(root, "a", 1); });
    const QByteArray first = ReadFile(storePath());
    struct stat before {};
    QCOMPARE(::stat(QFile::encodeName(storePath()).constData(), &before), 0);

    // A reader that opened the old file keeps seeing all of it: the new content
    // goes to a new file that replaces the old one by rename, never in place.
    QFile reader(storePath());
    QVERIFY(reader.open(QIODevice::ReadOnly));
    store.Update([](RegKey& root) { return SetNumber(root, "b", 2); });
    QCOMPARE(reader.readAll(), first);

    struct stat after {};
    QCOMPARE(::stat(QFile::encodeName(storePath()).constData(), &after), 0);
    QVERIFY(before.st_ino != after.st_ino);
    auto tree = settings::regfile::Parse(ReadFile(storePath()));
    QVERIFY(tree);
    QCOMPARE(Number(*tree, "a"), std::optional<std::uint32_t>(1));
    QCOMPARE(Number(*tree, "b"), std::optional<std::uint32_t>(2));
    // No temporary file is left behind: only the file and its lock file.
    const QStringList entries =
        QDir(QFileInfo(storePath()).absolutePath()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(entries, QStringList({"registry.reg", "registry.reg.lock"}));
}

void SettingsStoreTest::unchangedTreeIsNotWritten() {
    SettingsStore store(storePath(), collect());
    store.Update([](RegKey& root) { return SetNumber(root, "a", 1); });
    WriteFile(storePath(), ReadFile(storePath()) + "; note\n");
    store.Update([](RegKey&) { return false; });
    QVERIFY(ReadFile(storePath()).endsWith("; note\n"));
}

void SettingsStoreTest::changeThatThrowsWritesNothing() {
    SettingsStore store(storePath(), collect());
    store.Update([](RegKey& root) { return SetNumber(root, "a", 1); });
    const QByteArray before = ReadFile(storePath());
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, store.Update([](RegKey& root) -> bool {
        SetNumber(root, "a", 9);
        throw std::runtime_error("x");
    }));
    QCOMPARE(ReadFile(storePath()), before);
    // The lock was released: the next update goes through at once.
    store.SetLockTimeout(std::chrono::milliseconds(0));
    store.Update([](RegKey& root) { return SetNumber(root, "a", 3); });
}

void SettingsStoreTest::corruptFileIsKeptAside() {
    const QByteArray garbage = "REGEDIT4\n[HKEY_CURRENT_USER\\Software]\n\"a\"=\"unterminated\n";
    WriteFile(storePath(), garbage);
    SettingsStore store(storePath(), collect());
    store.Update([](RegKey& root) {
        // The change starts from nothing.
        [&] { QVERIFY(root.SubKeys().empty()); }();
        return SetNumber(root, "a", 1);
    });
    QCOMPARE(warnings_, QStringList(QString::fromUtf8(settings::InvalidValuesWarning)));
    const QDir folder(QFileInfo(storePath()).absolutePath());
    const QStringList aside = folder.entryList({"registry.reg.invalid-*"}, QDir::Files);
    QCOMPARE(aside.size(), 1);
    QCOMPARE(ReadFile(folder.filePath(aside.first())), garbage);
    QVERIFY(settings::regfile::Parse(ReadFile(storePath())));

    // A second corrupt file gets a name of its own, the first is not overwritten.
    WriteFile(storePath(), "garbage");
    store.Read();
    QCOMPARE(folder.entryList({"registry.reg.invalid-*"}, QDir::Files).size(), 2);
    QCOMPARE(ReadFile(folder.filePath(aside.first())), garbage);
}

void SettingsStoreTest::uncreatableFolderRaisesRegistryError() {
    // A file where the folder should be: no folder can be created, not even as root.
    WriteFile(dir_->filePath("cfg/Mavrolin"), "in the way");
    SettingsStore store(storePath(), collect());
    try {
        store.Update([](RegKey& root) { return SetNumber(root, "a", 1); });
        QFAIL("no error raised");
    } catch (const std::runtime_error& error) {
        QCOMPARE(QString::fromUtf8(error.what()),
                 QString::fromUtf8("Fehler beim Bearbeiten der Windows-Registrierdatenbank!"));
    }
    QCOMPARE(ReadFile(dir_->filePath("cfg/Mavrolin")), QByteArray("in the way"));
}

void SettingsStoreTest::unreadableFileRaisesRegistryError() {
    // A folder where the file should be can be neither read nor replaced.
    QVERIFY(QDir().mkpath(storePath()));
    SettingsStore store(storePath(), collect());
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, store.Read());
    QVERIFY(QFileInfo(storePath()).isDir());
    QVERIFY(warnings_.isEmpty());
}

void SettingsStoreTest::secondInstanceWaitsForLock() {
    SettingsStore store(storePath(), collect());
    store.Update([](RegKey& root) { return SetNumber(root, "mine", 1); });

    QProcess holder;
    holder.start(QStringLiteral(LOCK_HOLDER), {storePath(), "700", "theirs"});
    QVERIFY(holder.waitForReadyRead(10000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("locked"));
    QElapsedTimer waited;
    waited.start();
    // Runs only once the holder has written; reads its change afresh.
    store.Update([](RegKey& root) { return SetNumber(root, "later", 3); });
    QVERIFY(waited.elapsed() >= 300);
    QVERIFY(holder.waitForFinished(10000));
    QCOMPARE(holder.exitCode(), 0);

    auto tree = settings::regfile::Parse(ReadFile(storePath()));
    QVERIFY(tree);
    QCOMPARE(Number(*tree, "mine"), std::optional<std::uint32_t>(1));
    QCOMPARE(Number(*tree, "later"), std::optional<std::uint32_t>(3));
    const RegKey* theirs = tree->FindPath({"Software", "Holder"});
    QVERIFY(theirs && theirs->HasValue("theirs"));
}

void SettingsStoreTest::lockHeldTooLongRaisesRegistryError() {
    QProcess holder;
    holder.start(QStringLiteral(LOCK_HOLDER), {storePath(), "3000", "theirs"});
    QVERIFY(holder.waitForReadyRead(10000));
    SettingsStore store(storePath(), collect());
    store.SetLockTimeout(std::chrono::milliseconds(100));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                             store.Update([](RegKey& root) { return SetNumber(root, "mine", 1); }));
    QVERIFY(holder.waitForFinished(10000));
    // The holder's change is there, nothing of ours.
    auto tree = settings::regfile::Parse(ReadFile(storePath()));
    QVERIFY(tree);
    QVERIFY(tree->FindPath({"Software", "Holder"}));
    QCOMPARE(Number(*tree, "mine"), std::nullopt);
}

void SettingsStoreTest::twoStoresKeepEachOthersChanges() {
    SettingsStore first(storePath(), collect());
    SettingsStore second(storePath(), collect());
    for (std::uint32_t i = 0; i < 5; ++i) {
        first.Update([&](RegKey& root) { return SetNumber(root, QString("f%1").arg(i), i); });
        second.Update([&](RegKey& root) { return SetNumber(root, QString("s%1").arg(i), i); });
    }
    const RegKey tree = first.Read();
    for (std::uint32_t i = 0; i < 5; ++i) {
        QCOMPARE(Number(tree, QString("f%1").arg(i)), std::optional<std::uint32_t>(i));
        QCOMPARE(Number(tree, QString("s%1").arg(i)), std::optional<std::uint32_t>(i));
    }
}

void SettingsStoreTest::failedWriteKeepsTheOldFile_data() {
    QTest::addColumn<bool>("fromKOn");
    QTest::newRow("fail once") << false;
    QTest::newRow("fail from k on") << true;
}

// Every write, flush and rename of the replace fails in turn (once, or from
// then on): the registry error is raised, the old file stays byte for byte and
// no temporary file is left; the next update goes through.
void SettingsStoreTest::failedWriteKeepsTheOldFile() {
    QFETCH(bool, fromKOn);
    SettingsStore store(storePath(), collect());
    store.Update([](RegKey& root) { return SetNumber(root, "a", 1); });
    const QByteArray old = ReadFile(storePath());
    const QString folder = QFileInfo(storePath()).absolutePath();
    const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    const auto change = [](RegKey& root) {
        // Long enough for more than one buffered write.
        root.CreatePath({"Software", "T"})
            ->SetValue("big", RegValue::Binary(QByteArray(200000, 'x')));
        return true;
    };

    std::vector<fileio::Op> ops;
    fileio::SetFaultHook([&](fileio::Op op) {
        ops.push_back(op);
        return 0;
    });
    SettingsStore(dir_->filePath("reference/registry.reg")).Update(change);
    QVERIFY(ops.size() >= 4); // several writes, a flush and a rename
    for (std::size_t k = 0; k < ops.size(); ++k) {
        std::size_t seen = 0;
        fileio::SetFaultHook([&](fileio::Op) {
            const std::size_t index = seen++;
            return index == k || (fromKOn && index > k) ? EIO : 0;
        });
        try {
            store.Update(change);
            QFAIL(qPrintable(QString("k=%1 did not fail").arg(k)));
        } catch (const std::runtime_error& error) {
            QCOMPARE(QString::fromUtf8(error.what()),
                     QString::fromUtf8(settings::RegistryErrorText));
        }
        fileio::SetFaultHook({});
        QCOMPARE(ReadFile(storePath()), old);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), entries);
    }
    store.Update(change);
    QVERIFY(ReadFile(storePath()).size() > 200000);
    QVERIFY(warnings_.isEmpty());
}

// A settings save killed while it wrote left its temporary file; the next
// read removes it, and a file of another name stays.
void SettingsStoreTest::readRemovesLeftoverTemporaryFiles() {
    SettingsStore store(storePath(), collect());
    store.Update([](RegKey& root) { return SetNumber(root, "a", 1); });
    const QString folder = QFileInfo(storePath()).absolutePath();
    for (const char* name : {".~registry.reg.Ab3dE9", ".~other.reg.Ab3dE9"}) {
        QFile leftover(folder + "/" + name);
        QVERIFY(leftover.open(QIODevice::WriteOnly) && leftover.write("REGEDIT4") > 0);
    }
    store.Read();
    QCOMPARE(QDir(folder).entryList({".~*"}, QDir::Files | QDir::Hidden),
             QStringList{".~other.reg.Ab3dE9"});
}

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "tst_settingsstore.moc"
