// The submenu of recently used databases on real main windows (offscreen)
// with a settings store in a temporary folder: which commands put a file on
// the list, the captions, a file that is gone, "Liste leeren", the deleted
// settings, the enabled state, and windows that share the list.
#include "core/DataBase.h"
#include "gui/MainForm.h"
#include "gui/OptionForm.h"
#include "gui/Prompt.h"
#include "gui/RecentFilesMenu.h"
#include "settings/SettingsStore.h"
#include "support/CoreTestUtil.h"
#include "support/DialogDriver.h"
#include "support/WindowProbe.h"

#include <QAction>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const char* const User = "anna";

// Captions of the submenu, separators as "-".
QStringList captions(const TTestForm& form) {
    QStringList texts;
    for (const QAction* a : form.RecentFilesItem()->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

bool storedRecent() {
    settings::RegKey root =
        settings::SettingsStore(settings::SettingsStore::DefaultFilePath()).Read();
    const settings::RegKey* user = root.FindPath({"Software", "Orbelon", "Mavrolin", User});
    return user && user->HasValue("recent");
}

} // namespace

class RecentFilesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::vector<std::unique_ptr<TTestForm>> forms_;

    TTestForm& start() {
        forms_.push_back(std::make_unique<TTestForm>());
        TTestForm& form = *forms_.back();
        form.FormCreate(User);
        form.SetDialogs(nullptr, nullptr, new TOptionForm(&form));
        return form;
    }
    void end(TTestForm& form) {
        form.FormDestroy();
        forms_.erase(std::find_if(forms_.begin(), forms_.end(),
                                  [&](const auto& f) { return f.get() == &form; }));
    }
    QString path(const QString& name) const { return dir_->filePath(name); }
    // A database file with one entry whose minutes are `minutes`.
    QString database(const QString& name, unsigned minutes = 1) {
        QDir().mkpath(QFileInfo(path(name)).absolutePath());
        TDataBase db;
        db.AddRecord(coretest::Entry("C++", "Zeiger", "P", 40000.0, minutes));
        db.FileName = QFile::encodeName(path(name)).toStdString();
        db.Save();
        return path(name);
    }
    static void open(TTestForm& form, const QString& file) {
        Prompt::Testing::QueueFile(file);
        form.LoadDataBaseAction()->trigger();
    }
    // The listed names relative to the temporary folder.
    QStringList listed(const TTestForm& form) const {
        QStringList names;
        for (const std::string& file : form.RecentFilesItem()->Files())
            names << QDir(dir_->path()).relativeFilePath(QString::fromStdString(file));
        return names;
    }

private slots:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("Mavrolin")); }
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        qputenv("XDG_CONFIG_HOME", path("config").toLocal8Bit());
        Prompt::Testing::Begin();
    }
    void cleanup() {
        while (!forms_.empty())
            end(*forms_.back());
        Prompt::Testing::End();
    }

    // Steps: "o:NAME" opens through the dialog, "s:NAME" saves under a new
    // name, "S" saves, "r:N" chooses the N-th listed file.
    void commandsFillTheList_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("most recent first") << QStringList{"o:a.mvd", "o:b.mvd", "o:c.mvd"}
                                           << QStringList{"c.mvd", "b.mvd", "a.mvd"};
        QTest::newRow("opened again goes on top")
            << QStringList{"o:a.mvd", "o:b.mvd", "o:a.mvd"} << QStringList{"a.mvd", "b.mvd"};
        QTest::newRow("chosen from the list goes on top")
            << QStringList{"o:a.mvd", "o:b.mvd", "r:2"} << QStringList{"a.mvd", "b.mvd"};
        QTest::newRow("saved under a new name")
            << QStringList{"o:a.mvd", "s:neu.mvd"} << QStringList{"neu.mvd", "a.mvd"};
        QTest::newRow("saved") << QStringList{"o:a.mvd", "o:b.mvd", "r:2", "o:b.mvd", "r:2", "S"}
                               << QStringList{"a.mvd", "b.mvd"};
        QTest::newRow("a failed open is not listed")
            << QStringList{"o:a.mvd", "o:fehlt.mvd", "o:kaputt.mvd"} << QStringList{"a.mvd"};
        QTest::newRow("eight at most")
            << QStringList{"o:1.mvd", "o:2.mvd", "o:3.mvd", "o:4.mvd", "o:5.mvd",
                           "o:6.mvd", "o:7.mvd", "o:8.mvd", "o:9.mvd"}
            << QStringList{"9.mvd", "8.mvd", "7.mvd", "6.mvd", "5.mvd", "4.mvd", "3.mvd", "2.mvd"};
    }
    void commandsFillTheList() {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, expected);
        TTestForm& form = start();
        QVERIFY(!form.RecentFilesItem()->menuAction()->isEnabled()); // nothing listed yet
        QFile broken(path("kaputt.mvd"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("keine Datenbank, aber lang genug");
        broken.close();
        for (const QString& step : steps) {
            const QString arg = step.mid(2);
            if (step.startsWith("o:")) {
                open(form, arg == "fehlt.mvd" || arg == "kaputt.mvd" ? path(arg) : database(arg));
            } else if (step.startsWith("s:")) {
                Prompt::Testing::QueueFile(path(arg));
                form.SaveDataBaseAsAction()->trigger();
            } else if (step == "S") {
                form.SaveDataBaseAction()->trigger();
            } else {
                form.RecentFilesItem()->actions().at(arg.toInt() - 1)->trigger();
            }
        }
        QCOMPARE(listed(form), expected);
        QVERIFY(form.RecentFilesItem()->menuAction()->isEnabled());
        // Numbered with access keys, the full path as status tip, then "Liste leeren".
        const QList<QAction*> items = form.RecentFilesItem()->actions();
        for (int i = 0; i < expected.size(); ++i) {
            QCOMPARE(items[i]->text(), QStringLiteral("&%1 %2").arg(i + 1).arg(expected[i]));
            QCOMPARE(items[i]->statusTip(), path(expected[i]));
        }
        QCOMPARE(captions(form).mid(expected.size()), (QStringList{"-", "Liste leeren"}));
        // The list is the user's: a new window shows it.
        end(form);
        QCOMPARE(listed(start()), expected);
    }

    // Names the list can't show plainly: one with an ampersand, and two files
    // of one name in different folders, which get their folders.
    void captionsOfAwkwardNames() {
        TTestForm& form = start();
        for (const char* name : {"a&b.mvd", "x/c.mvd", "y/c.mvd"})
            open(form, database(name));
        QCOMPARE(captions(form),
                 (QStringList{"&1 c.mvd (" + path("y") + ")", "&2 c.mvd (" + path("x") + ")",
                              "&3 a&&b.mvd", "-", "Liste leeren"}));
    }

    // A file that is gone is reported and leaves the list; the open database
    // and its unsaved changes stay.
    void fileThatIsGone() {
        TTestForm& form = start();
        open(form, database("a.mvd"));
        open(form, database("b.mvd", 7));
        form.Commands().AddEntry(coretest::Entry("Pascal", "Syntax", "Q", 40001.0, 2));
        QVERIFY(QFile::remove(path("a.mvd")));
        form.RecentFilesItem()->actions().at(1)->trigger();
        QCOMPARE(Prompt::Testing::Messages().size(), 1);
        QCOMPARE(Prompt::Testing::Messages()[0].kind, Prompt::Kind::Error);
        QCOMPARE(Prompt::Testing::Messages()[0].text, QStringLiteral("Datei nicht gefunden"));
        QCOMPARE(listed(form), QStringList{"b.mvd"});
        QCOMPARE(form.DataBase().FileName, QFile::encodeName(path("b.mvd")).toStdString());
        QCOMPARE(form.DataBase().Count(), 2);
        QVERIFY(form.Document().Modified());
        end(form);
        QCOMPARE(listed(start()), QStringList{"b.mvd"});
    }

    void clearing_data() {
        QTest::addColumn<bool>("deleteSettings");
        QTest::newRow("Liste leeren") << false;
        QTest::newRow("Originalkonfikuration wiederherstellen") << true;
    }
    void clearing() {
        QFETCH(bool, deleteSettings);
        TTestForm& form = start();
        open(form, database("a.mvd"));
        QVERIFY(storedRecent());
        if (deleteSettings) {
            Prompt::Testing::QueueAnswer(Prompt::Yes);
            DialogDriver driver(
                [](QDialog& dialog) { static_cast<TOptionForm&>(dialog).DeleteButton->click(); });
            form.ConfigItem()->trigger();
            QVERIFY(driver.ran);
        } else {
            form.RecentFilesItem()->ClearItem->trigger();
        }
        QCOMPARE(listed(form), QStringList());
        QCOMPARE(captions(form), QStringList{"Liste leeren"});
        QVERIFY(!form.RecentFilesItem()->menuAction()->isEnabled());
        QVERIFY(!storedRecent());
        // After the settings were deleted the list lives in memory only: the
        // store keeps no key for the user, and the next start is a first one.
        open(form, database("b.mvd"));
        QCOMPARE(listed(form), QStringList{"b.mvd"});
        QCOMPARE(storedRecent(), !deleteSettings);
        end(form);
        Prompt::Testing::Begin();
        QCOMPARE(listed(start()), deleteSettings ? QStringList() : QStringList{"b.mvd"});
        QVERIFY(Prompt::Testing::Messages().isEmpty());
    }

    // The submenu is usable when the load command is and something is listed.
    void enabledWithTheLoadCommand() {
        TTestForm& form = start();
        open(form, database("a.mvd"));
        QAction* submenu = form.RecentFilesItem()->menuAction();
        QVERIFY(submenu->isEnabled());
        form.NewItemAction()->trigger(); // editing: every command but "Beenden" is off
        QVERIFY(!submenu->isEnabled());
        form.CancelButton()->click();
        QVERIFY(submenu->isEnabled());
    }

    // Two windows at once: each shows what the other added when its
    // "Datenbank" menu opens, and neither drops the other's files.
    void twoWindowsShareTheList() {
        TTestForm& first = start();
        TTestForm& second = start();
        open(first, database("a.mvd"));
        open(second, database("b.mvd"));
        open(first, database("c.mvd"));
        QCOMPARE(listed(second), (QStringList{"b.mvd", "a.mvd"}));
        emit second.DataBaseItem()->aboutToShow();
        QCOMPARE(listed(second), (QStringList{"c.mvd", "b.mvd", "a.mvd"}));
    }
};

QTEST_MAIN(RecentFilesTest)
#include "tst_recentfiles.moc"
