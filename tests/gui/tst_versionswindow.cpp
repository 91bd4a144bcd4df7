// Older versions in the window: the saves keep them, the warning when they
// can't, the dialog that lists them and brings entries or a whole version
// back, and the options that switch them.
#include "core/DataBase.h"
#include "gui/OptionForm.h"
#include "gui/VersionEntriesModel.h"
#include "gui/VersionsForm.h"
#include "settings/VersionSettings.h"
#include "settings/WindowConfiguration.h"
#include "support/CoreTestUtil.h"
#include "support/DialogDriver.h"
#include "support/WindowProbe.h"
#include "versions/VersionFolder.h"
#include "versions/VersionList.h"

#include <QCheckBox>
#include <QTreeWidget>
#include <QUuid>
#include <QtTest>
#include <memory>
#include <sys/stat.h>

namespace {

std::string Native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// An entry told apart by its description (and minutes).
TRecordData Entry(const QString& name) {
    return coretest::Entry("C++", "Zeigerfehler", "Mavrolin", 45000.0,
                           static_cast<std::uint32_t>(name.at(0).unicode()), name.toStdString());
}

QStringList Descriptions(const TDataBase& db) {
    QStringList list;
    for (int i = 0; i < db.Count(); ++i)
        list << QString::fromStdString(std::string(db.GetRecord(i)->Description()));
    list.sort();
    return list;
}

QStringList DescriptionsIn(const QString& file) {
    TDataBase db;
    db.LoadFromFile(Native(file));
    return Descriptions(db);
}

std::uint64_t Inode(const QString& file) {
    struct stat st {};
    return ::stat(QFile::encodeName(file).constData(), &st) == 0 ? st.st_ino : 0;
}

std::string UniqueUser() {
    return "versionen-" + QUuid::createUuid().toString(QUuid::Id128).toStdString();
}

} // namespace

class TestVersionsWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<TTestForm> form_;
    QString file_;

    // A window whose stored settings open file_ and keep versions as `keep` says.
    void openWindow(bool keep = true) {
        const std::string user = UniqueUser();
        {
            TUserManager writer(user);
            writer.Valid = true;
            writer.SaveContents = true;
            writer.DataBaseName = Native(file_);
            writer.SaveWindowConfig = true;
            writer.Configuration = WindowConfiguration::FirstStart().Encode();
            writer.Save();
            settings::SaveVersionPolicy(writer, {keep, versions::DefaultSizeLimit});
        }
        form_ = std::make_unique<TTestForm>();
        form_->FormCreate(user);
        form_->show();
    }
    void writeFile(const QStringList& names) {
        TDataBase db;
        for (const QString& name : names)
            db.AddRecord(Entry(name));
        db.FileName = Native(file_);
        db.Save();
    }
    void add(const QString& name) { form_->Commands().AddEntry(Entry(name)); }
    void remove(const QString& name) {
        const TDataBase& db = form_->DataBase();
        for (int i = 0; i < db.Count(); ++i)
            if (db.GetRecord(i)->Description() == name.toStdString()) {
                form_->Commands().DeleteEntry(db.GetRecord(i)->ID);
                return;
            }
        QFAIL("no such entry");
    }
    [[nodiscard]] std::vector<versions::Version> kept() const {
        return versions::ScanFolder(versions::FolderOf(Native(file_)));
    }

    // The file held a b c; the window saved c d (version 1 = a b c), then
    // c d e (version 2 = c d); an older damaged version lies beside them.
    void makeHistory() {
        writeFile({"a", "b", "c"});
        openWindow();
        remove("a");
        remove("b");
        add("d");
        form_->SaveDataBaseAction()->trigger();
        add("e");
        form_->SaveDataBaseAction()->trigger();
        QCOMPARE(kept().size(), std::size_t{2});
        // An hour old: older than the others, young enough to stay when thinned.
        const std::int64_t hourAgo = QDateTime::currentMSecsSinceEpoch() * 1000 - 3600000000;
        QVERIFY(coretest::WriteBytes(QString::fromStdString(versions::FolderOf(Native(file_)) +
                                                            "/" + versions::VersionName(hourAgo)),
                                     coretest::Magic() + coretest::U32(5)));
    }
    static QString difference(const TVersionsForm& dialog, int row) {
        return dialog.VersionList->topLevelItem(row)->text(2);
    }

private slots:
    void init() {
        Prompt::Testing::Begin();
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir_->filePath("daten")));
        file_ = dir_->filePath("fehler.mvd");
    }
    void cleanup() {
        form_.reset();
        dir_.reset();
        Prompt::Testing::End();
    }

    void savesKeepVersions_data() {
        QTest::addColumn<bool>("keep");
        QTest::newRow("kept") << true;
        QTest::newRow("switched off") << false;
    }
    void savesKeepVersions() {
        QFETCH(bool, keep);
        writeFile({"a", "b"});
        openWindow(keep);
        QCOMPARE(form_->Document().VersionPolicy().Keep, keep);
        const std::uint64_t loaded = Inode(file_);
        add("c");
        form_->SaveDataBaseAction()->trigger();
        add("d");
        form_->SaveDataBaseAction()->trigger();
        QVERIFY(Prompt::Testing::Messages().isEmpty());
        QCOMPARE(DescriptionsIn(file_), (QStringList{"a", "b", "c", "d"}));
        const std::vector<versions::Version> versions = kept();
        if (!keep) {
            QVERIFY(versions.empty());
            return;
        }
        QCOMPARE(versions.size(), std::size_t{2});
        // The file as it was loaded is the older version itself, not a copy.
        QCOMPARE(versions[1].inode, loaded);
        QCOMPARE(DescriptionsIn(QString::fromStdString(versions[1].path)), (QStringList{"a", "b"}));
        QCOMPARE(DescriptionsIn(QString::fromStdString(versions[0].path)),
                 (QStringList{"a", "b", "c"}));
        // Switched off, the saves keep no more and those kept stay.
        form_->Document().SetVersionPolicy({false, versions::DefaultSizeLimit});
        add("e");
        form_->SaveDataBaseAction()->trigger();
        QCOMPARE(kept().size(), std::size_t{2});
    }

    void unwritableVersionsFolderWarnsOnce() {
        QFile blocker(dir_->filePath("keine-mappe"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        writeFile({"a"});
        openWindow();
        qputenv("XDG_DATA_HOME", QFile::encodeName(blocker.fileName() + "/daten"));
        add("b");
        form_->SaveDataBaseAction()->trigger();
        add("c");
        form_->SaveDataBaseAction()->trigger();
        const auto& shown = Prompt::Testing::Messages();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, Prompt::Kind::Warning);
        QVERIFY(shown[0].text.contains(
            QStringLiteral("konnte nicht als ältere Version aufbewahrt werden")));
        QVERIFY(shown[0].text.endsWith(QStringLiteral("Die Datenbank wurde trotzdem gesichert.")));
        QCOMPARE(DescriptionsIn(file_), (QStringList{"a", "b", "c"}));
        QVERIFY(!form_->Document().Modified());
    }

    void dialogListsVersionsWithDifference() {
        makeHistory();
        TVersionsForm dialog(form_->Document(), form_.get());
        QVERIFY(dialog.Load());
        dialog.show();
        QCOMPARE(dialog.VersionList->topLevelItemCount(), 3);
        const QRegularExpression time(
            QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d$"));
        QVERIFY(time.match(dialog.VersionList->topLevelItem(0)->text(0)).hasMatch());
        QCOMPARE(dialog.VersionList->topLevelItem(0)->text(1), QStringLiteral("2"));
        QCOMPARE(dialog.VersionList->topLevelItem(1)->text(1), QStringLiteral("3"));
        QTRY_COMPARE(difference(dialog, 0), QStringLiteral("+0 / −1 Einträge"));
        QTRY_COMPARE(difference(dialog, 1), QStringLiteral("+2 / −2 Einträge"));
        // The damaged one is listed, and can't be chosen.
        const QTreeWidgetItem* damaged = dialog.VersionList->topLevelItem(2);
        QCOMPARE(damaged->text(1), QStringLiteral("nicht lesbar"));
        QVERIFY(!(damaged->flags() & Qt::ItemIsEnabled));
        // The newest is selected: it lacks nothing that is open.
        QCOMPARE(dialog.MissingModel->rowCount(), 0);
        QVERIFY(!dialog.TakeOverButton->isEnabled());
        QVERIFY(dialog.OpenVersionButton->isEnabled());
    }

    void takeOverIsOneUndoableStep_data() {
        QTest::addColumn<bool>("all");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("newest");
        QTest::newRow("all missing")
            << true << QStringList{"a", "b", "c", "d", "e"} << "+0 / −2 Einträge"
            << "+0 / −3 Einträge";
        QTest::newRow("one chosen")
            << false << QStringList{"a", "c", "d", "e"} << "+1 / −2 Einträge"
            << "+0 / −2 Einträge";
    }
    void takeOverIsOneUndoableStep() {
        QFETCH(bool, all);
        QFETCH(QStringList, after);
        QFETCH(QString, left);
        QFETCH(QString, newest);
        makeHistory();
        auto dialog = std::make_unique<TVersionsForm>(form_->Document(), form_.get());
        QVERIFY(dialog->Load());
        dialog->show();
        dialog->VersionList->setCurrentItem(dialog->VersionList->topLevelItem(1));
        QTRY_COMPARE(dialog->MissingModel->rowCount(), 2);
        QCOMPARE(dialog->MissingModel->index(0, 5).data().toString(), QStringLiteral("a"));
        QCOMPARE(dialog->MissingModel->index(1, 5).data().toString(), QStringLiteral("b"));
        if (!all)
            dialog->MissingView->selectRow(0);
        QVERIFY(dialog->TakeOverButton->isEnabled());
        QTest::mouseClick(dialog->TakeOverButton, Qt::LeftButton);

        QCOMPARE(Descriptions(form_->DataBase()), after);
        QCOMPARE(form_->ItemCount(), after.size());
        QCOMPARE(difference(*dialog, 1), left);
        QCOMPARE(dialog->MissingModel->rowCount(), all ? 0 : 1);
        QTRY_COMPARE(difference(*dialog, 0), newest);
        dialog.reset();

        QCOMPARE(form_->Commands().UndoText(),
                 QStringLiteral("Einträge aus älterer Version übernehmen"));
        form_->UndoAction()->trigger();
        QCOMPARE(Descriptions(form_->DataBase()), (QStringList{"c", "d", "e"}));
        QCOMPARE(form_->ItemCount(), 3);
        QVERIFY(!form_->Document().Modified());
    }

    void openWholeVersion_data() {
        QTest::addColumn<bool>("unsaved");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("opened");
        QTest::newRow("saved") << false << int(Prompt::NoButton) << true;
        QTest::newRow("unsaved, not saved") << true << int(Prompt::No) << true;
        QTest::newRow("unsaved, cancelled") << true << int(Prompt::Cancel) << false;
    }
    void openWholeVersion() {
        QFETCH(bool, unsaved);
        QFETCH(int, answer);
        QFETCH(bool, opened);
        makeHistory();
        if (unsaved)
            add("f");
        TVersionsForm dialog(form_->Document(), form_.get());
        QVERIFY(dialog.Load());
        dialog.show();
        dialog.VersionList->setCurrentItem(dialog.VersionList->topLevelItem(1));
        if (unsaved)
            Prompt::Testing::QueueAnswer(static_cast<Prompt::Button>(answer));
        QTest::mouseClick(dialog.OpenVersionButton, Qt::LeftButton);
        QCOMPARE(Prompt::Testing::Messages().size(), unsaved ? 1 : 0);
        QCOMPARE(dialog.isVisible(), !opened);
        QCOMPARE(DescriptionsIn(file_), (QStringList{"c", "d", "e"}));
        if (!opened) {
            QCOMPARE(Descriptions(form_->DataBase()), (QStringList{"c", "d", "e", "f"}));
            return;
        }
        QCOMPARE(Descriptions(form_->DataBase()), (QStringList{"a", "b", "c"}));
        QCOMPARE(form_->ItemCount(), 3);
        QCOMPARE(form_->DataBase().FileName, Native(file_));
        QVERIFY(form_->Document().Modified());
        QVERIFY(!form_->Commands().CanUndo());
        // Saved, it replaces the file, which is kept as a version in turn.
        form_->SaveDataBaseAction()->trigger();
        QCOMPARE(DescriptionsIn(file_), (QStringList{"a", "b", "c"}));
        QCOMPARE(kept().size(), std::size_t{4});
        QCOMPARE(DescriptionsIn(QString::fromStdString(kept()[0].path)),
                 (QStringList{"c", "d", "e"}));
    }

    void menuOpensTheDialog() {
        makeHistory();
        int rows = -1;
        DialogDriver driver([&](QDialog& dialog) {
            auto* versionsForm = qobject_cast<TVersionsForm*>(&dialog);
            QVERIFY(versionsForm);
            rows = versionsForm->VersionList->topLevelItemCount();
            QTest::mouseClick(versionsForm->CloseButton, Qt::LeftButton);
        });
        form_->RestoreVersionAction()->trigger();
        QVERIFY(driver.ran);
        QVERIFY(!driver.leftOpen);
        QCOMPARE(rows, 3);
        // A database that was never saved has none.
        form_->NewDataBaseAction()->trigger();
        form_->RestoreVersionAction()->trigger();
        QCOMPARE(Prompt::Testing::Messages().size(), 1);
        QCOMPARE(Prompt::Testing::Messages()[0].kind, Prompt::Kind::Information);
        QCOMPARE(Prompt::Testing::Messages()[0].text,
                 QStringLiteral("Von dieser Datenbank sind keine älteren Versionen vorhanden."));
    }

    void optionsSwitchTheWindowsSaves() {
        writeFile({"a"});
        openWindow();
        TOptionForm options;
        form_->SetDialogs(nullptr, nullptr, &options);
        DialogDriver driver([&](QDialog&) {
            options.KeepVersionsCheckBox->setChecked(false);
            QTest::mouseClick(options.OkButton, Qt::LeftButton);
        });
        form_->ConfigItem()->trigger();
        QVERIFY(driver.ran);
        QVERIFY(!form_->Document().VersionPolicy().Keep);
        QVERIFY(!settings::LoadVersionPolicy(*form_->UserManager()).Keep);
        add("b");
        form_->SaveDataBaseAction()->trigger();
        QVERIFY(kept().empty());
    }
};

QTEST_MAIN(TestVersionsWindow)
#include "tst_versionswindow.moc"
