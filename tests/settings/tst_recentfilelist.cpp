// The list of recently used databases in the settings store: what a stored
// value may hold, that the other values stay as they are, and that deleted
// settings stay deleted. (Order, limit and two windows: tst_recentfiles.)
#include "settings/RecentFileList.h"
#include "settings/SettingsStore.h"
#include "settings/UserManager.h"

#include <QTemporaryDir>
#include <QTest>

using settings::RecentFileList;
using settings::RegKey;
using settings::RegValue;
using settings::SettingsStore;
using Files = RecentFileList::Files;

namespace {

const QStringList UserPath{"Software", "Orbelon", "Mavrolin", "anna"};

Files Split(const char* names) {
    Files files;
    for (const QByteArray& name : QByteArray(names).split(' '))
        if (!name.isEmpty())
            files.push_back(name.toStdString());
    return files;
}

} // namespace

class RecentFileListTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<SettingsStore> store_;

    // The user's key as an earlier run left it.
    void storeUser(std::optional<RegValue> recent) {
        store_->Update([&](RegKey& root) {
            RegKey* user = root.CreatePath(UserPath);
            user->SetValue("database", RegValue::String("/home/anna/a.mvd"));
            user->SetValue("options", RegValue::Dword(3));
            if (recent)
                user->SetValue(RecentFileList::ValueName, *recent);
            return true;
        });
    }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        qputenv("XDG_CONFIG_HOME", dir_->path().toLocal8Bit());
        store_ = std::make_unique<SettingsStore>(SettingsStore::DefaultFilePath());
    }

    void storedValues_data() {
        QTest::addColumn<std::uint32_t>("type");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("two names")
            << std::uint32_t(7) << QByteArray("/a\0/b\0\0", 7) << QByteArray("/a /b");
        QTest::newRow("without the last zeros")
            << std::uint32_t(7) << QByteArray("/a\0/b", 5) << QByteArray("/a /b");
        QTest::newRow("empty names and repeats skipped")
            << std::uint32_t(7) << QByteArray("\0/a\0\0/a\0/b\0\0", 12) << QByteArray("/a /b");
        QTest::newRow("nine names keep eight")
            << std::uint32_t(7) << QByteArray("/1\0/2\0/3\0/4\0/5\0/6\0/7\0/8\0/9\0\0", 28)
            << QByteArray("/1 /2 /3 /4 /5 /6 /7 /8");
        QTest::newRow("a string is no list")
            << std::uint32_t(1) << QByteArray("/a\0", 3) << QByteArray();
        QTest::newRow("empty value") << std::uint32_t(7) << QByteArray() << QByteArray();
    }
    void storedValues() {
        QFETCH(std::uint32_t, type);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, expected);
        storeUser(RegValue{type, data});
        TUserManager anna("anna");
        QCOMPARE(RecentFileList(anna).Read(), Split(expected.constData()));
    }

    // The list changes the value "recent" and nothing else; bytes that are
    // no text survive the file.
    void otherValuesStay() {
        storeUser(std::nullopt);
        const std::string odd("/home/anna/\xE4 \x01\n.mvd");
        TUserManager anna("anna");
        QVERIFY(anna.Valid);
        RecentFileList list(anna);
        list.Add("/b");
        list.Add(odd);
        QCOMPARE(list.Remove("/b"), Files{odd});
        RegKey root = SettingsStore(store_->FilePath()).Read();
        const RegKey* user = root.FindPath(UserPath);
        QVERIFY(user);
        QCOMPARE(user->Values().size(), std::size_t(3));
        QCOMPARE(*user->Value("database"), RegValue::String("/home/anna/a.mvd"));
        QCOMPARE(*user->Value("options"), RegValue::Dword(3));
        QCOMPARE(*user->Value("recent"), RecentFileList::Encode({odd}));
        list.Clear();
        root = SettingsStore(store_->FilePath()).Read();
        QVERIFY(!root.FindPath(UserPath)->HasValue("recent"));
        QCOMPARE(root.FindPath(UserPath)->Values().size(), std::size_t(2));
    }

    // The opened file goes to the top, once, and the ninth name falls off.
    void putOnTop_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("opened");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("new name") << QByteArray("/a /b") << QByteArray("/c")
                                  << QByteArray("/c /a /b");
        QTest::newRow("known name moves up")
            << QByteArray("/a /b /c") << QByteArray("/b") << QByteArray("/b /a /c");
        QTest::newRow("eight names and a new one")
            << QByteArray("/1 /2 /3 /4 /5 /6 /7 /8") << QByteArray("/9")
            << QByteArray("/9 /1 /2 /3 /4 /5 /6 /7");
        QTest::newRow("the last of eight opened")
            << QByteArray("/1 /2 /3 /4 /5 /6 /7 /8") << QByteArray("/8")
            << QByteArray("/8 /1 /2 /3 /4 /5 /6 /7");
    }
    void putOnTop() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, opened);
        QFETCH(QByteArray, after);
        QCOMPARE(RecentFileList::PutOnTop(Split(before.constData()), opened.toStdString()),
                 Split(after.constData()));
    }

    // After another window deleted the settings nothing brings the user's
    // key back.
    void deletedKeyIsNotCreated() {
        storeUser(std::nullopt);
        TUserManager anna("anna");
        QVERIFY(anna.Valid);
        store_->Update(
            [](RegKey& root) { return root.FindPath(UserPath.mid(0, 3))->DeleteSubKey("anna"); });
        QCOMPARE(RecentFileList(anna).Add("/a"), Files());
        QVERIFY(SettingsStore(store_->FilePath()).Read().FindPath(UserPath) == nullptr);
    }
};

QTEST_GUILESS_MAIN(RecentFileListTest)
#include "tst_recentfilelist.moc"
