// Listing versions (a damaged one is "nicht lesbar", a changed one is read
// again) and bringing back what a version holds.

#include "core/DataBase.h"
#include "fileio/FileIO.h"
#include "support/CoreTestUtil.h"
#include "versions/Keeper.h"
#include "versions/Restore.h"
#include "versions/VersionFolder.h"
#include "versions/VersionList.h"
#include "versions/VersionTexts.h"

#include <QtTest>

using namespace coretest;

namespace {

// "C++ 1" is an entry of language C++ on day 1; the description is the text.
TRecordData Parse(const QString& text) {
    const QStringList parts = text.split(' ');
    return Entry(parts[0].toStdString(), "Zeigerfehler", "P", 36000.0 + parts[1].toInt(), 5,
                 text.toStdString());
}

void Fill(TDataBase& db, const QStringList& entries) {
    for (const QString& text : entries)
        db.AddRecord(Parse(text));
}

QStringList Descriptions(const TDataBase& db) {
    QStringList list;
    for (int i = 0; i < db.Count(); ++i)
        list << QString::fromStdString(std::string(db.GetRecord(i)->Description()));
    return list;
}

} // namespace

class RestoreTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<QTemporaryDir> data_;
    QString file_;

    // Saves `states` one after the other; every state but the last becomes a version.
    void saveStates(const QList<QStringList>& states, versions::Keeper& keeper) {
        for (const QStringList& state : states) {
            TDataBase db;
            db.FileName = Native(file_);
            db.KeepOldFile = keeper.HookFor(db);
            db.Reload();
            while (db.Count() > 0)
                db.DeleteRecord(db.GetRecord(0)->ID);
            Fill(db, state);
            db.Save();
        }
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

    void damagedVersionIsUnreadable_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray good = Magic() + U32(1) + EntryBytes("C++", "Zeigerfehler", "", 1.0, 5);
        QTest::newRow("cut off") << good.left(good.size() - 3);
        QTest::newRow("no database") << QByteArray("irgendein Text, keine Datenbank");
        QTest::newRow("empty") << QByteArray("");
    }

    void damagedVersionIsUnreadable() {
        QFETCH(QByteArray, bytes);
        versions::Keeper keeper;
        saveStates({{"C++ 1"}, {"C++ 1", "C++ 2"}}, keeper);
        const QString folder = QString::fromStdString(versions::FolderOf(Native(file_)));
        const QString damaged = folder + "/20200101-000000-000000.mvd";
        QVERIFY(WriteBytes(damaged, bytes));

        const std::vector<versions::Version> listed = versions::ListVersions(Native(file_));
        QCOMPARE(listed.size(), std::size_t(2));
        QCOMPARE(listed[0].state, versions::VersionState::Readable);
        QCOMPARE(listed[0].entries, std::int64_t(1));
        QCOMPARE(listed[1].name, std::string("20200101-000000-000000.mvd"));
        QCOMPARE(listed[1].state, versions::VersionState::Unreadable);
        // Known from the index now, without loading it again; still unreadable.
        QCOMPARE(versions::FindVersion(Native(file_), "20200101-000000-000000")->state,
                 versions::VersionState::Unreadable);
        TDataBase open;
        QVERIFY(!versions::CompareVersion(open, Native(damaged)).error.empty());
        QVERIFY_THROWS_EXCEPTION(
            std::runtime_error, versions::ReplaceByVersion(Native(file_), Native(damaged), keeper));
    }

    // A version file that changed since the index noted it is read again.
    void changedVersionIsReadAgain() {
        versions::Keeper keeper;
        saveStates({{"C++ 1"}, {"C++ 1", "C++ 2"}, {"C++ 3"}}, keeper);
        std::vector<versions::Version> listed = versions::ListVersions(Native(file_));
        QCOMPARE(listed.size(), std::size_t(2));
        QCOMPARE(listed[1].entries, std::int64_t(1));
        QVERIFY(WriteBytes(QString::fromStdString(listed[1].path),
                           Magic() + U32(2) + EntryBytes("C", "T", "", 1.0, 5) +
                               EntryBytes("C", "T", "", 2.0, 5) + QByteArray("more")));
        listed = versions::ListVersions(Native(file_));
        QCOMPARE(listed[1].entries, std::int64_t(2));
        QVERIFY(WriteBytes(QString::fromStdString(listed[1].path), Magic() + U32(5)));
        listed = versions::ListVersions(Native(file_));
        QCOMPARE(listed[1].state, versions::VersionState::Unreadable);
    }

    void missingEntries_data() {
        QTest::addColumn<QStringList>("version");
        QTest::addColumn<QStringList>("open");
        QTest::addColumn<QStringList>("missing");
        QTest::addColumn<int>("onlyOpen");
        QTest::addColumn<QString>("difference");
        QTest::newRow("deleted entries come back")
            << QStringList{"C++ 1", "C++ 2", "Java 3", "C++ 4"} << QStringList{"C++ 1", "C++ 4"}
            << QStringList{"C++ 2", "Java 3"} << 0 << "+2 / −0 Einträge";
        QTest::newRow("entries added since are no loss")
            << QStringList{"C++ 1"} << QStringList{"C++ 1", "C++ 2", "C++ 3"} << QStringList{} << 2
            << "+0 / −2 Einträge";
        QTest::newRow("letter case folded by the duplicate rule")
            << QStringList{"c++ 1", "JAVA 2"} << QStringList{"C++ 1", "Java 5"}
            << QStringList{"JAVA 2"} << 1 << "+1 / −1 Einträge";
        QTest::newRow("both ways")
            << QStringList{"C++ 1", "C++ 2"} << QStringList{"C++ 2", "C++ 3", "C++ 4"}
            << QStringList{"C++ 1"} << 2 << "+1 / −2 Einträge";
    }

    void missingEntries() {
        QFETCH(QStringList, version);
        QFETCH(QStringList, open);
        QFETCH(QStringList, missing);
        QFETCH(int, onlyOpen);
        QFETCH(QString, difference);
        versions::Keeper keeper;
        saveStates({version, open}, keeper);
        const std::vector<versions::Version> listed = versions::ListVersions(Native(file_));
        QCOMPARE(listed.size(), std::size_t(1));

        TDataBase db;
        db.FileName = Native(file_);
        db.Reload();
        const versions::Comparison compared = versions::CompareVersion(db, listed[0].path);
        QCOMPARE(QString::fromStdString(compared.error), QString());
        QStringList found;
        for (const int at : compared.missing)
            found << QString::fromStdString(
                std::string(compared.version->GetRecord(at)->Description()));
        QCOMPARE(found, missing);
        QCOMPARE(compared.onlyOpen, std::size_t(onlyOpen));
        QCOMPARE(QString::fromStdString(
                     versions::DifferenceText(compared.missing.size(), compared.onlyOpen)),
                 difference);
        // Asked to stop, it ends at its first question.
        int asked = 0;
        const versions::Comparison stopped =
            versions::CompareVersion(db, listed[0].path, [&] { return ++asked > 0; });
        QVERIFY(stopped.stopped && !stopped.version && stopped.missing.empty());
        QCOMPARE(asked, 1);

        // Brought back behind the open entries, with new IDs.
        std::vector<std::uint32_t> ids;
        const std::uint32_t next = db.NextID;
        QCOMPARE(versions::BringBack(db, compared, compared.missing, ids),
                 std::size_t(missing.size()));
        QCOMPARE(Descriptions(db), open + missing);
        QCOMPARE(ids.size(), std::size_t(missing.size()));
        if (!ids.empty())
            QCOMPARE(ids.front(), next);
        // Twice changes nothing more.
        QCOMPARE(versions::BringBack(db, compared, compared.missing, ids), std::size_t(0));
    }

    void openWholeVersion() {
        versions::Keeper keeper;
        saveStates({{"C++ 1", "C++ 2"}, {"C++ 3"}}, keeper);
        const std::vector<versions::Version> listed = versions::ListVersions(Native(file_));
        TDataBase db;
        const LoadReport report = versions::OpenVersionAs(db, listed[0].path, Native(file_));
        QVERIFY(report.Error.empty());
        QCOMPARE(Descriptions(db), QStringList({"C++ 1", "C++ 2"}));
        QCOMPARE(QString::fromStdString(db.FileName), file_);
        QVERIFY(db.Modified);
        QCOMPARE(db.DiskStamp, fileio::StampOf(Native(file_)));
        // Saving it replaces the file and keeps the replaced one.
        db.KeepOldFile = keeper.HookFor(db);
        db.Save();
        QCOMPARE(versions::ListVersions(Native(file_)).size(), std::size_t(2));
    }

    // The folder's name: the database's name and a hash of its full path, the
    // same for every way of naming the file.
    void folderOfADatabase() {
        QVERIFY(WriteBytes(file_, Magic() + U32(0)));
        QVERIFY(QFile::link(file_, dir_->filePath("verweis.mvd")));
        const std::string folder = versions::FolderOf(Native(file_));
        QVERIFY(QString::fromStdString(folder).startsWith(data_->path() +
                                                          "/mavrolin/versions/fehler-"));
        QCOMPARE(versions::FolderOf(Native(dir_->filePath("verweis.mvd"))), folder);
        QCOMPARE(versions::FolderOf(Native(dir_->path() + "/./../" +
                                           QFileInfo(dir_->path()).fileName() + "/fehler.mvd")),
                 folder);
        qputenv("XDG_DATA_HOME", "relativ/pfad");
        QCOMPARE(QString::fromStdString(versions::VersionsRoot()),
                 QDir::homePath() + "/.local/share/mavrolin/versions");
    }
};

QTEST_GUILESS_MAIN(RestoreTest)
#include "tst_restore.moc"
