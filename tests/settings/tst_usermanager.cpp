// TUserManager on a settings store in a temporary configuration folder.

#include "settings/RegFileFormat.h"
#include "settings/SettingsStore.h"
#include "settings/UserManager.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using settings::RegKey;
using settings::RegValue;

namespace {
const QString InvalidValues =
    QString::fromUtf8("Die Windows-Registrierdatenbank enthält ungültige Werte. Es werden die "
                      "Standardeinstellungen restauriert.");
const QString LegacyValue = QString::fromUtf8(
    "Die Windows-Registrierdatenbank enthält ungültige Werte. Der Fehler kann daher kommen, "
    "daß vorher eine ältere Mavrolin-Version eingesetzt wurde. Die bisher abgelegten Werte "
    "gehen verloren!");
const char RegistryError[] = "Fehler beim Bearbeiten der Windows-Registrierdatenbank!";
const QByteArray ProductSection = "[HKEY_CURRENT_USER\\Software\\Orbelon\\Mavrolin]\n";
const QByteArray AliceSection = "[HKEY_CURRENT_USER\\Software\\Orbelon\\Mavrolin\\alice]\n";

QByteArray Hex(const QByteArray& bytes) {
    return bytes.toHex(',');
}
QByteArray Filled(int size, char byte) {
    return QByteArray(size, byte);
}
TUserManager::WarningReporter Into(QStringList& list) {
    return [&list](const std::string& text) { list << QString::fromStdString(text); };
}
} // namespace

class UserManagerTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void firstStartCreatesEmptyKeyQuietly();
    void loadReadsStoredSettings();
    void acceptedStoredForms_data();
    void acceptedStoredForms();
    void unusableValuesWarnAndAreDeleted_data();
    void unusableValuesWarnAndAreDeleted();
    void legacyValueWarnsAndIsReplacedByKey();
    void saveWritesWhatFlagsSelect_data();
    void saveWritesWhatFlagsSelect();
    void invalidStoreWritesNothing();
    void destructionSavesOnlyWithSaveOnExit_data();
    void destructionSavesOnlyWithSaveOnExit();
    void failedSaveAtDestructionIsReported();
    void secondStartRestoresWhatWasSaved();
    void deleteSettingsRemovesOnlyThisUser();
    void deleteAbsentKeyIsNoError();
    void userNames_data();
    void userNames();
    void corruptStoreWarnsOnceAndStartsAfresh();
    void uncreatableFolderRaisesRegistryError();
    void twoInstancesKeepBothUsers();

private:
    QString storePath() const { return dir_->filePath("Mavrolin/registry.reg"); }
    void writeStore(const QByteArray& body);
    void deletedValuesCheck();
    RegKey readStore();
    QByteArray readBytes();
    std::unique_ptr<QTemporaryDir> dir_;
    QStringList warnings_;
};

void UserManagerTest::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    qputenv("XDG_CONFIG_HOME", dir_->path().toLocal8Bit());
    warnings_.clear();
}

void UserManagerTest::writeStore(const QByteArray& body) {
    QDir().mkpath(dir_->filePath("Mavrolin"));
    QFile file(storePath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("REGEDIT4\n\n" + body);
}

QByteArray UserManagerTest::readBytes() {
    QFile file(storePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

RegKey UserManagerTest::readStore() {
    auto tree = settings::regfile::Parse(readBytes());
    if (!tree)
        return RegKey();
    return std::move(*tree);
}

void UserManagerTest::firstStartCreatesEmptyKeyQuietly() {
    {
        TUserManager manager("alice", Into(warnings_));
        QVERIFY(warnings_.isEmpty());
        QVERIFY(!manager.Valid);
        QCOMPARE(manager.UserName, std::string("alice"));
        QVERIFY(manager.DataBaseName.empty());
        QCOMPARE(manager.Configuration, (std::array<std::uint8_t, 52>{}));
        QVERIFY(!manager.SaveOnExit && !manager.SaveContents && !manager.SaveWindowConfig);
    }
    RegKey tree = readStore();
    const RegKey* alice = tree.FindPath({"Software", "Orbelon", "Mavrolin", "alice"});
    QVERIFY(alice);
    QVERIFY(alice->Values().empty());
    QVERIFY(alice->SubKeys().empty());
}

void UserManagerTest::loadReadsStoredSettings() {
    QByteArray config(52, '\0');
    for (int i = 0; i < 52; ++i)
        config[i] = static_cast<char>(i + 1);
    writeStore(AliceSection + "\"database\"=\"/home/alice/Fehler ä.mvd\"\n\"configuration\"=hex:" +
               Hex(config) + "\n\"options\"=dword:00000005\n");
    TUserManager manager("alice", Into(warnings_));
    QVERIFY(warnings_.isEmpty());
    QVERIFY(manager.Valid);
    QCOMPARE(manager.DataBaseName, std::string("/home/alice/Fehler ä.mvd"));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(manager.Configuration.data()), 52), config);
    QVERIFY(manager.SaveOnExit);
    QVERIFY(!manager.SaveContents);
    QVERIFY(manager.SaveWindowConfig);
}

void UserManagerTest::acceptedStoredForms_data() {
    QTest::addColumn<QByteArray>("values");
    QTest::addColumn<QByteArray>("database");
    QTest::addColumn<QByteArray>("configuration"); // the whole 52 bytes after Load
    QTest::addColumn<int>("options");              // the flags as bits 1, 2, 4

    const QByteArray zeros(52, '\0');
    const QByteArray opt2 = "\"options\"=dword:00000002\n";
    QTest::newRow("no configuration keeps zeros")
        << "\"database\"=\"x\"\n" + opt2 << QByteArray("x") << zeros << 2;
    QTest::newRow("no database reads empty") << opt2 << QByteArray() << zeros << 2;
    QTest::newRow("database of size 0")
        << "\"database\"=hex(1):\n" + opt2 << QByteArray() << zeros << 2;
    QTest::newRow("binary database of size 0")
        << "\"database\"=hex:\n" + opt2 << QByteArray() << zeros << 2;
    QTest::newRow("expandable string database")
        << "\"database\"=hex(2):25,48,25,00\n" + opt2 << QByteArray("%H%") << zeros << 2;
    QTest::newRow("database text ends at first zero")
        << "\"database\"=hex(1):61,62,00,63,64,00\n" + opt2 << QByteArray("ab") << zeros << 2;
    QTest::newRow("database without terminator")
        << "\"database\"=hex(1):61,62\n" + opt2 << QByteArray("ab") << zeros << 2;
    QTest::newRow("short configuration replaces leading bytes")
        << "\"configuration\"=hex:01,02,03\n" + opt2 << QByteArray()
        << QByteArray("\1\2\3") + zeros.left(49) << 2;
    QTest::newRow("configuration of another type")
        << "\"configuration\"=hex(7):" + Hex(Filled(52, '\x11')) + "\n" + opt2 << QByteArray()
        << Filled(52, '\x11') << 2;
    QTest::newRow("configuration of type none")
        << "\"configuration\"=hex(0):09\n" + opt2 << QByteArray() << "\x09" + zeros.left(51) << 2;
    QTest::newRow("unknown option bits ignored")
        << QByteArray("\"options\"=dword:fffffff8\n") << QByteArray() << zeros << 0;
    QTest::newRow("all flags") << QByteArray("\"options\"=dword:00000007\n") << QByteArray()
                               << zeros << 7;
}

void UserManagerTest::acceptedStoredForms() {
    QFETCH(QByteArray, values);
    QFETCH(QByteArray, database);
    QFETCH(QByteArray, configuration);
    QFETCH(int, options);
    writeStore(AliceSection + values);
    TUserManager manager("alice", Into(warnings_));
    QVERIFY(warnings_.isEmpty());
    QVERIFY(manager.Valid);
    QCOMPARE(QByteArray::fromStdString(manager.DataBaseName), database);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(manager.Configuration.data()), 52),
             configuration);
    QCOMPARE(manager.SaveOnExit, (options & 1) != 0);
    QCOMPARE(manager.SaveContents, (options & 2) != 0);
    QCOMPARE(manager.SaveWindowConfig, (options & 4) != 0);
}

void UserManagerTest::unusableValuesWarnAndAreDeleted_data() {
    QTest::addColumn<QByteArray>("values");
    QTest::addColumn<QByteArray>("databaseAfter"); // what was read before the failing read

    const QByteArray db = "\"database\"=\"/d.mvd\"\n";
    const QByteArray cfg = "\"configuration\"=hex:" + Hex(Filled(52, '\1')) + "\n";
    const QByteArray opt = "\"options\"=dword:00000002\n";
    QTest::newRow("options missing") << db + cfg << QByteArray("/d.mvd");
    QTest::newRow("options as string") << db + cfg + "\"options\"=\"2\"\n" << QByteArray("/d.mvd");
    QTest::newRow("options as binary") << db + cfg + "\"options\"=hex:02,00,00,00\n"
                                       << QByteArray("/d.mvd");
    QTest::newRow("options dword of 2 bytes") << db + cfg + "\"options\"=hex(4):02,00\n"
                                              << QByteArray("/d.mvd");
    QTest::newRow("configuration too long")
        << db + "\"configuration\"=hex:" + Hex(Filled(53, '\1')) + "\n" + opt
        << QByteArray("/d.mvd");
    QTest::newRow("configuration as string")
        << db + "\"configuration\"=\"abc\"\n" + opt << QByteArray("/d.mvd");
    QTest::newRow("configuration as expandable string")
        << db + "\"configuration\"=hex(2):61,00\n" + opt << QByteArray("/d.mvd");
    QTest::newRow("configuration as dword")
        << db + "\"configuration\"=dword:00000001\n" + opt << QByteArray("/d.mvd");
    QTest::newRow("database as binary") << "\"database\"=hex:61,00\n" + cfg + opt << QByteArray();
    QTest::newRow("database as dword")
        << "\"database\"=dword:00000001\n" + cfg + opt << QByteArray();
}

void UserManagerTest::unusableValuesWarnAndAreDeleted() {
    QFETCH(QByteArray, values);
    QFETCH(QByteArray, databaseAfter);
    writeStore(AliceSection + values + "\"other\"=\"stays\"\n");
    {
        TUserManager manager("alice", Into(warnings_));
        QCOMPARE(warnings_, QStringList{InvalidValues});
        QVERIFY(!manager.Valid);
        QCOMPARE(QByteArray::fromStdString(manager.DataBaseName), databaseAfter);
        deletedValuesCheck();
        // What the start-up does next: the defaults are put in place and saved.
        manager.DataBaseName.clear();
        manager.Configuration.fill(0);
        manager.SaveOnExit = false;
        manager.SaveContents = true;
        manager.SaveWindowConfig = true;
        manager.Valid = true;
        manager.Save();
    }
    // The next start finds the defaults, quietly.
    warnings_.clear();
    TUserManager again("alice", Into(warnings_));
    QVERIFY(warnings_.isEmpty());
    QVERIFY(again.Valid);
    QVERIFY(again.DataBaseName.empty());
}

void UserManagerTest::deletedValuesCheck() {
    RegKey tree = readStore();
    const RegKey* alice = tree.FindPath({"Software", "Orbelon", "Mavrolin", "alice"});
    QVERIFY(alice);
    QVERIFY(!alice->HasValue("database"));
    QVERIFY(!alice->HasValue("configuration"));
    QVERIFY(!alice->HasValue("options"));
    QVERIFY(alice->HasValue("other"));
}

void UserManagerTest::legacyValueWarnsAndIsReplacedByKey() {
    writeStore(ProductSection + "\"alice\"=\"old settings\"\n\"bob\"=\"keep\"\n");
    {
        TUserManager manager("alice", Into(warnings_));
        QCOMPARE(warnings_, QStringList{LegacyValue});
        QVERIFY(!manager.Valid);
    }
    RegKey tree = readStore();
    RegKey* product = tree.FindPath({"Software", "Orbelon", "Mavrolin"});
    QVERIFY(product);
    QVERIFY(!product->HasValue("alice"));
    QVERIFY(product->HasValue("bob"));
    const RegKey* alice = product->SubKey("alice");
    QVERIFY(alice);
    QVERIFY(alice->Values().empty());
}

void UserManagerTest::saveWritesWhatFlagsSelect_data() {
    QTest::addColumn<bool>("onExit");
    QTest::addColumn<bool>("contents");
    QTest::addColumn<bool>("window");
    for (int bits = 0; bits < 8; ++bits)
        QTest::addRow("options %d", bits)
            << ((bits & 1) != 0) << ((bits & 2) != 0) << ((bits & 4) != 0);
}

void UserManagerTest::saveWritesWhatFlagsSelect() {
    QFETCH(bool, onExit);
    QFETCH(bool, contents);
    QFETCH(bool, window);
    const QByteArray oldConfig = Filled(52, '\xaa');
    writeStore(AliceSection + "\"database\"=\"/old.mvd\"\n\"configuration\"=hex:" + Hex(oldConfig) +
               "\n\"options\"=dword:ffffffff\n");
    TUserManager manager("alice", Into(warnings_));
    QVERIFY(manager.Valid);
    manager.DataBaseName = "/new.mvd";
    manager.Configuration.fill(0x55);
    manager.SaveOnExit = onExit;
    manager.SaveContents = contents;
    manager.SaveWindowConfig = window;
    manager.Save();

    RegKey tree = readStore();
    const RegKey* alice = tree.FindPath({"Software", "Orbelon", "Mavrolin", "alice"});
    QVERIFY(alice);
    const std::uint32_t expectedOptions =
        (onExit ? 1u : 0u) | (contents ? 2u : 0u) | (window ? 4u : 0u);
    QCOMPARE(*alice->Value("options"), RegValue::Dword(expectedOptions));
    QCOMPARE(*alice->Value("database"), RegValue::String(contents ? "/new.mvd" : "/old.mvd"));
    QCOMPARE(*alice->Value("configuration"),
             RegValue::Binary(window ? Filled(52, '\x55') : oldConfig));
    QVERIFY(warnings_.isEmpty());
    manager.SaveOnExit = false; // no second save at destruction
}

void UserManagerTest::invalidStoreWritesNothing() {
    {
        TUserManager manager("alice", Into(warnings_));
        QVERIFY(!manager.Valid);
        const QByteArray before = readBytes();
        manager.DataBaseName = "/x.mvd";
        manager.SaveOnExit = manager.SaveContents = manager.SaveWindowConfig = true;
        manager.Save();
        QCOMPARE(readBytes(), before);
        QFile::remove(storePath());
    }
    QVERIFY(!QFile::exists(storePath())); // not written at destruction either
}

void UserManagerTest::destructionSavesOnlyWithSaveOnExit_data() {
    QTest::addColumn<bool>("saveOnExit");
    QTest::newRow("SaveOnExit") << true;
    QTest::newRow("no SaveOnExit") << false;
}

void UserManagerTest::destructionSavesOnlyWithSaveOnExit() {
    QFETCH(bool, saveOnExit);
    writeStore(AliceSection + "\"options\"=dword:00000000\n");
    {
        TUserManager manager("alice", Into(warnings_));
        QVERIFY(manager.Valid);
        manager.DataBaseName = "/x.mvd";
        manager.SaveOnExit = saveOnExit;
        manager.SaveContents = true;
    }
    RegKey tree = readStore();
    const RegKey* alice = tree.FindPath({"Software", "Orbelon", "Mavrolin", "alice"});
    QVERIFY(alice);
    QCOMPARE(alice->HasValue("database"), saveOnExit);
    QCOMPARE(*alice->Value("options"), RegValue::Dword(saveOnExit ? 3 : 0));
}

void UserManagerTest::failedSaveAtDestructionIsReported() {
    writeStore(AliceSection + "\"options\"=dword:00000001\n");
    {
        TUserManager manager("alice", Into(warnings_));
        QVERIFY(manager.SaveOnExit);
        // The folder vanishes and a file takes its place.
        QVERIFY(QDir(dir_->filePath("Mavrolin")).removeRecursively());
        QFile blocker(dir_->filePath("Mavrolin"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }
    QCOMPARE(warnings_, QStringList{QString::fromUtf8(RegistryError)});
}

void UserManagerTest::secondStartRestoresWhatWasSaved() {
    {
        TUserManager first("alice", Into(warnings_));
        first.DataBaseName = "/home/alice/a.mvd";
        first.Configuration[0] = 143;
        first.Configuration[51] = 7;
        first.SaveContents = first.SaveWindowConfig = true;
        first.Valid = true;
        first.Save();
        first.SaveWindowConfig = false;
        first.Save();
    }
    TUserManager second("alice", Into(warnings_));
    QVERIFY(warnings_.isEmpty());
    QVERIFY(second.Valid);
    QCOMPARE(second.DataBaseName, std::string("/home/alice/a.mvd"));
    QCOMPARE(second.Configuration[0], std::uint8_t(143));
    QCOMPARE(second.Configuration[51], std::uint8_t(7));
    QVERIFY(!second.SaveOnExit && second.SaveContents && !second.SaveWindowConfig);
}

void UserManagerTest::deleteSettingsRemovesOnlyThisUser() {
    writeStore(
        AliceSection + "\"options\"=dword:00000002\n" +
        "[HKEY_CURRENT_USER\\Software\\Orbelon\\Mavrolin\\alice\\deeper\\still]\n\"x\"=\"y\"\n"
        "[HKEY_CURRENT_USER\\Software\\Orbelon\\Mavrolin\\bob]\n\"options\"=dword:00000002\n");
    {
        TUserManager manager("alice", Into(warnings_));
        QVERIFY(manager.Valid);
        manager.Valid = false;
        manager.SaveOnExit = true;
        manager.DeleteSettings();
        QVERIFY(!manager.Valid);
    }
    RegKey tree = readStore();
    RegKey* product = tree.FindPath({"Software", "Orbelon", "Mavrolin"});
    QVERIFY(product);
    QVERIFY(!product->SubKey("alice"));
    QVERIFY(product->SubKey("bob"));

    TUserManager next("alice", Into(warnings_));
    QVERIFY(warnings_.isEmpty());
    QVERIFY(!next.Valid);
}

void UserManagerTest::deleteAbsentKeyIsNoError() {
    TUserManager manager("alice", Into(warnings_));
    manager.DeleteSettings();
    manager.DeleteSettings(); // already gone
    RegKey tree = readStore();
    QVERIFY(tree.FindPath({"Software", "Orbelon", "Mavrolin"}));
    QVERIFY(!tree.FindPath({"Software", "Orbelon", "Mavrolin", "alice"}));
    QVERIFY(warnings_.isEmpty());
}

void UserManagerTest::userNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("keyPath"); // empty: refused with the registry error
    QTest::newRow("plain") << "alice" << QStringList{"alice"};
    QTest::newRow("non-ASCII") << QString::fromUtf8("Jörg Müller")
                               << QStringList{QString::fromUtf8("Jörg Müller")};
    QTest::newRow("quote and bracket") << R"(a"b])" << QStringList{R"(a"b])"};
    QTest::newRow("backslash separates levels") << R"(dom\alice)" << QStringList{"dom", "alice"};
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("leading backslash") << R"(\alice)" << QStringList{};
    QTest::newRow("empty level") << R"(dom\\alice)" << QStringList{};
    QTest::newRow("trailing backslash") << R"(alice\)" << QStringList{};
    QTest::newRow("line break") << "ali\nce" << QStringList{};
}

void UserManagerTest::userNames() {
    QFETCH(QString, name);
    QFETCH(QStringList, keyPath);
    const std::string user = name.toStdString();
    if (keyPath.isEmpty()) {
        try {
            TUserManager manager(user, Into(warnings_));
            QFAIL("name accepted");
        } catch (const std::runtime_error& error) {
            QCOMPARE(QString::fromUtf8(error.what()), QString::fromUtf8(RegistryError));
        }
        RegKey tree = readStore();
        const RegKey* product = tree.FindPath({"Software", "Orbelon", "Mavrolin"});
        QVERIFY(!product || product->SubKeys().empty());
        return;
    }
    {
        TUserManager manager(user, Into(warnings_));
        manager.Valid = true;
        manager.SaveContents = true;
        manager.DataBaseName = "/x.mvd";
        manager.Save();
    }
    RegKey tree = readStore();
    const RegKey* key = tree.FindPath(QStringList{"Software", "Orbelon", "Mavrolin"} + keyPath);
    QVERIFY(key);
    QCOMPARE(*key->Value("database"), RegValue::String("/x.mvd"));
    TUserManager again(user, Into(warnings_));
    QVERIFY(again.Valid);
    QVERIFY(warnings_.isEmpty());
    again.DeleteSettings();
    tree = readStore();
    QVERIFY(!tree.FindPath(QStringList{"Software", "Orbelon", "Mavrolin"} + keyPath));
}

void UserManagerTest::corruptStoreWarnsOnceAndStartsAfresh() {
    writeStore(AliceSection + "\"options\"=dword:zz\n");
    TUserManager manager("alice", Into(warnings_));
    QCOMPARE(warnings_, QStringList{InvalidValues});
    QVERIFY(!manager.Valid);
    QCOMPARE(QDir(dir_->filePath("Mavrolin")).entryList({"registry.reg.invalid-*"}).size(), 1);
    RegKey tree = readStore();
    QVERIFY(tree.FindPath({"Software", "Orbelon", "Mavrolin", "alice"}));
}

void UserManagerTest::uncreatableFolderRaisesRegistryError() {
    QFile blocker(dir_->filePath("Mavrolin"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    try {
        TUserManager manager("alice", Into(warnings_));
        QFAIL("no error raised");
    } catch (const std::runtime_error& error) {
        QCOMPARE(QString::fromUtf8(error.what()), QString::fromUtf8(RegistryError));
    }
}

void UserManagerTest::twoInstancesKeepBothUsers() {
    TUserManager alice("alice", Into(warnings_));
    TUserManager bob("bob", Into(warnings_));
    alice.Valid = bob.Valid = true;
    alice.SaveContents = bob.SaveContents = true;
    alice.DataBaseName = "/a.mvd";
    bob.DataBaseName = "/b.mvd";
    alice.Save();
    bob.Save();
    RegKey tree = readStore();
    QCOMPARE(*tree.FindPath({"Software", "Orbelon", "Mavrolin", "alice"})->Value("database"),
             RegValue::String("/a.mvd"));
    QCOMPARE(*tree.FindPath({"Software", "Orbelon", "Mavrolin", "bob"})->Value("database"),
             RegValue::String("/b.mvd"));
}

QTEST_GUILESS_MAIN(UserManagerTest)
#include "tst_usermanager.moc"
