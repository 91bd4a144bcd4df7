// The database commands of the main window and the close question, driven
// through the actions and the window's close paths with scripted answers;
// the two file dialogs' own behaviour is checked with the real dialogs.
#include "core/DataBase.h"
#include "gui/InfoForm.h"
#include "gui/MainForm.h"
#include "gui/Prompt.h"
#include "gui/RecordListModel.h"
#include "settings/UserManager.h"
#include "support/CoreTestUtil.h"
#include "support/DialogDriver.h"
#include "support/WindowProbe.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUuid>
#include <QWindow>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const QString CloseQuestion = QStringLiteral(
    "Es wurden Änderungen an der Fehlerdatenbank vorgenommen. Sollen diese gesichert werden?");
constexpr int MagicSize = 23;

std::string Native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

TRecordData Entry(unsigned minutes, const std::string& description = {}) {
    return coretest::Entry("C++", "Zeigerfehler", "Mavrolin", 45000.0, minutes, description);
}

TDataRecord* Add(TDataBase& db, unsigned minutes, const std::string& description = {}) {
    return db.AddRecord(Entry(minutes, description));
}

// A new entry, as the user adds one: not on disk yet.
TDataRecord* Add(TTestForm& form, unsigned minutes, const std::string& description = {}) {
    return form.Commands().AddEntry(Entry(minutes, description));
}

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The entry count in a database file's header; -1 when there is no such file.
int EntriesIn(const QString& path) {
    const QByteArray b = Bytes(path);
    if (b.size() < MagicSize + 4 || !b.startsWith("#MLDB-MavrolinDataBase\r"))
        return -1;
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData() + MagicSize);
    return static_cast<int>(p[0] | (p[1] << 8) | (p[2] << 16) |
                            (static_cast<unsigned>(p[3]) << 24));
}

// Writes a database file with `n` entries through a database of its own.
void WriteDataBase(const QString& path, int n, unsigned firstMinutes = 100) {
    TDataBase db;
    for (int i = 0; i < n; ++i)
        Add(db, firstMinutes + static_cast<unsigned>(i));
    db.FileName = Native(path);
    db.Save();
}

int Warnings() {
    int n = 0;
    for (const auto& m : Prompt::Testing::Messages())
        n += m.kind == Prompt::Kind::Warning ? 1 : 0;
    return n;
}

// Waits for a message box shown on top of a dialog and presses the button
// with `buttonText`, recording the box's text.
class BoxAnswerer : public QObject {
public:
    BoxAnswerer(QString buttonText) : button_(std::move(buttonText)) { poll(); }
    QString text;

private:
    void poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            if (++tries_ < 300)
                QTimer::singleShot(10, this, [this] { poll(); });
            return;
        }
        text = box->text();
        for (QAbstractButton* b : box->buttons())
            if (b->text().remove(QLatin1Char('&')) == button_) {
                b->click();
                return;
            }
        box->reject();
    }
    QString button_;
    int tries_ = 0;
};

} // namespace

class TestDataBaseMenu : public QObject {
    Q_OBJECT

    std::unique_ptr<TTestForm> form_;
    std::unique_ptr<QTemporaryDir> dir_;

    QString path(const QString& name) const { return dir_->filePath(name); }
    const TDataBase& db() const { return form_->DataBase(); }
    // Entries that are not on disk yet.
    void modify(int n = 1) {
        for (int i = 0; i < n; ++i)
            Add(*form_, static_cast<unsigned>(db().Count()));
        form_->RebuildList();
    }

private slots:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("Mavrolin")); }

    void init() {
        Prompt::Testing::Begin();
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        form_ = std::make_unique<TTestForm>();
        // A first start, so that no stored database is opened.
        form_->FormCreate("dbtester-" + QUuid::createUuid().toString(QUuid::Id128).toStdString());
        form_->RebuildList();
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    }

    void cleanup() {
        form_.reset();
        dir_.reset();
        Prompt::Testing::End();
    }

    void newDataBaseDiscardsWithoutQuestion() {
        WriteDataBase(path("a.mvd"), 2);
        form_->Document().Open(Native(path("a.mvd")));
        modify();
        form_->NewDataBaseAction()->trigger();
        QCOMPARE(db().Count(), 0);
        QVERIFY(db().FileName.empty());
        QVERIFY(!form_->Document().Modified());
        QCOMPARE(form_->ItemCount(), 0);
        QVERIFY(Prompt::Testing::Messages().isEmpty());
        QVERIFY(Prompt::Testing::FileDialogs().isEmpty());
        QCOMPARE(EntriesIn(path("a.mvd")), 2);
    }

    void cancelledDialogChangesNothing_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("title");
        QTest::newRow("save without file") << "SaveDataBaseAction"
                                           << "Datenbank sichern";
        QTest::newRow("save as") << "SaveDataBaseAsAction"
                                 << "Datenbank sichern";
        QTest::newRow("open") << "LoadDataBaseAction"
                              << "Datenbank öffnen...";
        QTest::newRow("import") << "ImportDataBaseAction"
                                << "Datenbank importieren...";
    }
    void cancelledDialogChangesNothing() {
        QFETCH(QString, command);
        QFETCH(QString, title);
        modify(2);
        Prompt::Testing::QueueFile(std::nullopt);
        form_->findChild<QAction*>(command)->trigger();
        QCOMPARE(Prompt::Testing::FileDialogs().size(), 1);
        QCOMPARE(Prompt::Testing::FileDialogs()[0].title, title);
        if (command != "ImportDataBaseAction") // the import presets nothing
            QCOMPARE(Prompt::Testing::FileDialogs()[0].selectedFile, QString()); // no file yet
        QCOMPARE(db().Count(), 2);
        QCOMPARE(form_->ItemCount(), 2);
        QVERIFY(form_->Document().Modified());
        QVERIFY(db().FileName.empty());
        QVERIFY(Prompt::Testing::Messages().isEmpty());
        QCOMPARE(QDir(dir_->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 0);
    }

    void saveAsThenSaveKeepsTheName() {
        modify(2);
        Prompt::Testing::QueueFile(path("neu.mvd"));
        form_->SaveDataBaseAction()->trigger(); // no file yet: goes through "save as"
        QCOMPARE(Prompt::Testing::FileDialogs().size(), 1);
        QCOMPARE(db().FileName, Native(path("neu.mvd")));
        QVERIFY(!form_->Document().Modified());
        QCOMPARE(EntriesIn(path("neu.mvd")), 2);

        modify();
        form_->SaveDataBaseAction()->trigger();
        QCOMPARE(Prompt::Testing::FileDialogs().size(), 1); // saved without asking
        QCOMPARE(EntriesIn(path("neu.mvd")), 3);

        // "save as" offers the present name and moves the database to the new one.
        Prompt::Testing::QueueFile(path("kopie.mvd"));
        form_->SaveDataBaseAsAction()->trigger();
        QCOMPARE(Prompt::Testing::FileDialogs().size(), 2);
        QCOMPARE(Prompt::Testing::FileDialogs()[1].selectedFile, path("neu.mvd"));
        QCOMPARE(db().FileName, Native(path("kopie.mvd")));
        QCOMPARE(EntriesIn(path("kopie.mvd")), 3);
        QVERIFY(Prompt::Testing::Messages().isEmpty());
    }

    void openLoadsAndDiscardsWithoutQuestion() {
        WriteDataBase(path("a.mvd"), 3);
        modify();
        Prompt::Testing::QueueFile(path("a.mvd"));
        form_->LoadDataBaseAction()->trigger();
        QCOMPARE(db().Count(), 3);
        QCOMPARE(form_->ItemCount(), 3);
        QCOMPARE(form_->CurrentItem(), 0);
        QVERIFY(!form_->Document().Modified());
        QCOMPARE(db().FileName, Native(path("a.mvd")));
        QVERIFY(Prompt::Testing::Messages().isEmpty());

        // The next opening offers the open file.
        Prompt::Testing::QueueFile(std::nullopt);
        form_->LoadDataBaseAction()->trigger();
        QCOMPARE(Prompt::Testing::FileDialogs()[1].selectedFile, path("a.mvd"));
        QCOMPARE(db().Count(), 3);
    }

    void openMissingFileThenSave() {
        modify(2);
        Prompt::Testing::QueueFile(path("fehlt.mvd"));
        form_->LoadDataBaseAction()->trigger();
        QCOMPARE(Prompt::Testing::Messages().size(), 1);
        const auto& box = Prompt::Testing::Messages()[0];
        QCOMPARE(box.kind, Prompt::Kind::Error);
        QCOMPARE(box.title, QStringLiteral("Fehler"));
        QCOMPARE(box.text, QStringLiteral("Datei nicht gefunden"));
        QCOMPARE(db().Count(), 0);
        QCOMPARE(form_->ItemCount(), 0);
        QCOMPARE(db().FileName, Native(path("fehlt.mvd")));

        form_->SaveDataBaseAction()->trigger();
        QCOMPARE(Prompt::Testing::FileDialogs().size(), 1); // saved under the chosen name
        QCOMPARE(EntriesIn(path("fehlt.mvd")), 0);
        QCOMPARE(Bytes(path("fehlt.mvd")).size(), MagicSize + 4);
    }

    // Another program wrote the open file: the save asks first.
    void changedOnDisk_data() {
        QTest::addColumn<bool>("written");
        QTest::addColumn<int>("choice");
        QTest::addColumn<int>("inFile");
        QTest::addColumn<int>("inWindow");
        QTest::newRow("unchanged: no question") << false << -1 << 3 << 3;
        QTest::newRow("zusammenführen") << true << 0 << 6 << 6;
        QTest::newRow("überschreiben") << true << 1 << 3 << 3;
        QTest::newRow("Abbrechen") << true << 2 << 5 << 3;
    }

    void changedOnDisk() {
        QFETCH(bool, written);
        QFETCH(int, choice);
        QFETCH(int, inFile);
        QFETCH(int, inWindow);
        WriteDataBase(path("a.mvd"), 2, 100);
        Prompt::Testing::QueueFile(path("a.mvd"));
        form_->LoadDataBaseAction()->trigger();
        modify();
        if (written)
            WriteDataBase(path("a.mvd"), 5, 100); // two of them are the window's too
        if (choice >= 0)
            Prompt::Testing::QueueChoice(choice);
        form_->SaveDataBaseAction()->trigger();
        QCOMPARE(Prompt::Testing::Messages().size(), written ? 1 : 0);
        if (written)
            QCOMPARE(Prompt::Testing::Messages()[0].choices,
                     (QStringList{"&zusammenführen", "&überschreiben", "Abbrechen"}));
        QCOMPARE(EntriesIn(path("a.mvd")), inFile);
        QCOMPARE(form_->ItemCount(), inWindow);
        QCOMPARE(form_->Document().Modified(), choice == 2);

        // The window's own save is no change on disk.
        modify();
        Prompt::Testing::QueueChoice(1);
        form_->SaveDataBaseAction()->trigger();
        QCOMPARE(Prompt::Testing::Messages().size(), written && choice != 2 ? 1 : written ? 2 : 0);
    }

    // The save holds mvd's lock from the check of the file to its end: while
    // another program holds it, nothing is saved.
    void saveWaitsForTheLock() {
        WriteDataBase(path("a.mvd"), 2, 100);
        Prompt::Testing::QueueFile(path("a.mvd"));
        form_->LoadDataBaseAction()->trigger();
        modify();
        const int fd = ::open(qPrintable(path("a.mvd.lock")), O_RDWR | O_CREAT, 0600);
        QVERIFY(fd >= 0 && ::flock(fd, LOCK_EX) == 0);
        form_->SaveDataBaseAction()->trigger();
        ::close(fd);
        QCOMPARE(Prompt::Testing::Messages().size(), 1);
        QVERIFY(Prompt::Testing::Messages()[0].text.contains("anderen Programm"));
        QCOMPARE(EntriesIn(path("a.mvd")), 2);
        QVERIFY(form_->Document().Modified());
        form_->SaveDataBaseAction()->trigger(); // once the lock is free
        QCOMPARE(EntriesIn(path("a.mvd")), 3);
    }

    void importKeepsTheFileName() {
        WriteDataBase(path("a.mvd"), 1, 100);
        WriteDataBase(path("b.mvd"), 2, 200);
        Prompt::Testing::QueueFile(path("a.mvd"));
        form_->LoadDataBaseAction()->trigger();

        Prompt::Testing::QueueFile(path("b.mvd"));
        form_->ImportDataBaseAction()->trigger();
        // No name preset: the open database is no file to import.
        QCOMPARE(Prompt::Testing::FileDialogs()[1].title,
                 QStringLiteral("Datenbank importieren..."));
        QCOMPARE(Prompt::Testing::FileDialogs()[1].selectedFile, QString());
        QCOMPARE(db().Count(), 3);
        QCOMPARE(form_->ItemCount(), 3);
        QCOMPARE(db().FileName, Native(path("a.mvd")));
        QVERIFY(form_->Document().Modified()); // the merged entries are not saved yet

        form_->SaveDataBaseAction()->trigger();
        QCOMPARE(Prompt::Testing::FileDialogs().size(), 2);
        QCOMPARE(EntriesIn(path("a.mvd")), 3);
        QCOMPARE(EntriesIn(path("b.mvd")), 2);

        // The next opening has its own title again and offers the open database.
        Prompt::Testing::QueueFile(std::nullopt);
        form_->ImportDataBaseAction()->trigger();
        Prompt::Testing::QueueFile(std::nullopt);
        form_->LoadDataBaseAction()->trigger();
        QCOMPARE(Prompt::Testing::FileDialogs()[3].title, QStringLiteral("Datenbank öffnen..."));
        QCOMPARE(Prompt::Testing::FileDialogs()[3].selectedFile, path("a.mvd"));
        QCOMPARE(form_->MadeChild<QFileDialog>("OpenDialog")->windowTitle(),
                 QStringLiteral("Datenbank öffnen..."));
    }

    void dialogsOpenInTheDataBaseFolder_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("open");     // a database in "db" is open
        QTest::addColumn<bool>("imported"); // a file in "other" was imported before
        QTest::addColumn<QString>("folder");
        for (const char* command :
             {"LoadDataBaseAction", "SaveDataBaseAsAction", "ImportDataBaseAction"}) {
            QTest::addRow("%s: the database's folder", command) << command << true << true << "db";
            QTest::addRow("%s: the folder used last", command)
                << command << false << true << "other";
            QTest::addRow("%s: the home folder", command) << command << false << false << "~";
        }
    }
    void dialogsOpenInTheDataBaseFolder() {
        QFETCH(QString, command);
        QFETCH(bool, open);
        QFETCH(bool, imported);
        QFETCH(QString, folder);
        QVERIFY(QDir(dir_->path()).mkpath("db") && QDir(dir_->path()).mkpath("other"));
        WriteDataBase(path("other/x.mvd"), 1);
        if (imported) {
            Prompt::Testing::QueueFile(path("other/x.mvd"));
            form_->ImportDataBaseAction()->trigger();
        }
        if (open)
            form_->Commands().Name(Native(path("db/a.mvd")));
        Prompt::Testing::QueueFile(std::nullopt);
        form_->findChild<QAction*>(command)->trigger();
        QCOMPARE(Prompt::Testing::FileDialogs().last().directory,
                 folder == "~" ? QDir::homePath() : path(folder));
    }

    // way: how the window is closed; answer: the answer to the question
    // (NoButton: none asked); file: what the save dialog returns.
    void closeQuestion_data() {
        QTest::addColumn<QString>("way");
        QTest::addColumn<bool>("modified");
        QTest::addColumn<bool>("hasFile");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("dialogCancelled");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<int>("savedEntries"); // entries in the file afterwards, -1 none

        const QStringList ways{"close", "window system", "Beenden"};
        for (const QString& way : ways) {
            auto row = [&way](const char* name) {
                return &QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(way, name)));
            };
            *row("no changes asks nothing") << way << false << false << 0 << false << true << -1;
            *row("Abbrechen keeps it open")
                << way << true << true << int(Prompt::Cancel) << false << false << 1;
            *row("Nein closes unsaved")
                << way << true << true << int(Prompt::No) << false << true << 1;
            *row("Ja saves to the file")
                << way << true << true << int(Prompt::Yes) << false << true << 2;
            *row("Ja without file, dialog cancelled")
                << way << true << false << int(Prompt::Yes) << true << false << -1;
            *row("Ja without file, name chosen")
                << way << true << false << int(Prompt::Yes) << false << true << 1;
        }
        QTest::newRow("close: other answer closes unsaved")
            << "close" << true << true << int(Prompt::Ok) << false << true << 1;
    }
    void closeQuestion() {
        QFETCH(QString, way);
        QFETCH(bool, modified);
        QFETCH(bool, hasFile);
        QFETCH(int, answer);
        QFETCH(bool, dialogCancelled);
        QFETCH(bool, closes);
        QFETCH(int, savedEntries);

        const QString file = path("f.mvd");
        if (hasFile) {
            WriteDataBase(file, 1);
            form_->Document().Open(Native(file));
        }
        if (modified) {
            Add(*form_, 7);
            form_->RebuildList();
        }
        QCOMPARE(form_->Document().Modified(), modified);
        if (answer != 0)
            Prompt::Testing::QueueAnswer(static_cast<Prompt::Button>(answer));
        Prompt::Testing::QueueFile(dialogCancelled ? std::nullopt : std::optional<QString>(file));
        form_->UserManager()->DataBaseName = "vorher";
        form_->UserManager()->Configuration.fill(0xEE);

        if (way == "close")
            form_->close();
        else if (way == "window system")
            form_->windowHandle()->close();
        else
            form_->ExitAction()->trigger();

        QCOMPARE(form_->isVisible(), !closes);
        QCOMPARE(Warnings(), modified ? 1 : 0); // asked once, also on "Beenden"
        if (modified) {
            const auto& q = Prompt::Testing::Messages()[0];
            QCOMPARE(q.title, QStringLiteral("Warnung"));
            QCOMPARE(q.text, CloseQuestion);
            QCOMPARE(q.buttons, Prompt::Yes | Prompt::No | Prompt::Cancel);
        }
        QCOMPARE(Prompt::Testing::Messages().size(), Warnings()); // no error box
        QCOMPARE(EntriesIn(file), savedEntries);
        const bool saveDialogShown = modified && !hasFile && answer == Prompt::Yes;
        QCOMPARE(Prompt::Testing::FileDialogs().size(), saveDialogShown ? 1 : 0);
        if (saveDialogShown)
            QCOMPARE(Prompt::Testing::FileDialogs()[0].title, QStringLiteral("Datenbank sichern"));
        // In every case, also when the window stays open, the settings take the
        // database's name and the layout.
        QCOMPARE(form_->UserManager()->DataBaseName, db().FileName);
        std::array<std::uint8_t, TUserManager::ConfigurationSize> untouched{};
        untouched.fill(0xEE);
        QVERIFY(form_->UserManager()->Configuration != untouched);
    }

    void closeWhileEditing_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::newRow("Ja saves nothing and stays open") << int(Prompt::Yes) << false;
        QTest::newRow("Nein closes, the edit is lost") << int(Prompt::No) << true;
    }
    void closeWhileEditing() {
        QFETCH(int, answer);
        QFETCH(bool, closes);
        const QString file = path("f.mvd");
        WriteDataBase(file, 1);
        form_->Document().Open(Native(file));
        modify();
        form_->NewItemAction()->trigger();
        QVERIFY(form_->Editing());
        QVERIFY(!form_->SaveDataBaseAction()->isEnabled());
        QVERIFY(form_->ExitAction()->isEnabled());

        Prompt::Testing::QueueAnswer(static_cast<Prompt::Button>(answer));
        form_->ExitAction()->trigger();
        QCOMPARE(form_->isVisible(), !closes);
        QCOMPARE(Warnings(), 1);
        QCOMPARE(EntriesIn(file), 1); // nothing saved
        QVERIFY(Prompt::Testing::FileDialogs().isEmpty());
        QVERIFY(form_->Document().Modified());
        if (!closes)
            QVERIFY(form_->Editing()); // the edit goes on
    }

    // A save that fails is reported, leaves the database modified and the old
    // file as it was, and ends a close attempt with the window open.
    void failingSave_data() {
        QTest::addColumn<bool>("duringClose");
        QTest::addColumn<bool>("fileSizeLimit"); // else a folder where the file should be
        QTest::newRow("save onto a folder") << false << false;
        QTest::newRow("close, Ja, onto a folder") << true << false;
        QTest::newRow("save beyond the file size limit") << false << true;
        QTest::newRow("close, Ja, beyond the file size limit") << true << true;
    }
    void failingSave() {
        QFETCH(bool, duringClose);
        QFETCH(bool, fileSizeLimit);
        const QString file = path("f.mvd");
        QByteArray before;
        if (fileSizeLimit) {
            WriteDataBase(file, 1);
            before = Bytes(file);
            form_->Document().Open(Native(file));
            Add(*form_, 1, std::string(4096, 'x'));
        } else {
            QVERIFY(QDir(dir_->path()).mkdir("f.mvd"));
            form_->Commands().Name(Native(file));
            Add(*form_, 1);
        }
        form_->RebuildList();
        form_->UserManager()->DataBaseName = "vorher";

        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        if (fileSizeLimit) {
            rlimit limited = old;
            limited.rlim_cur = 1024;
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        }
        if (duringClose) {
            Prompt::Testing::QueueAnswer(Prompt::Yes);
            form_->close();
        } else {
            form_->SaveDataBaseAction()->trigger();
        }
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previousHandler);

        const auto& shown = Prompt::Testing::Messages();
        QCOMPARE(shown.size(), duringClose ? 2 : 1);
        const auto& report = shown.back();
        QCOMPARE(report.kind, Prompt::Kind::General);
        QCOMPARE(report.title, QStringLiteral("Mavrolin"));
        QCOMPARE(report.buttons, int(Prompt::Ok));
        if (fileSizeLimit)
            QVERIFY2(report.text.endsWith('.') && report.text.size() > 1, qPrintable(report.text));
        else
            QCOMPARE(report.text, QStringLiteral("Dateizugriff verweigert."));
        QVERIFY(form_->Document().Modified());
        QCOMPARE(db().FileName, Native(file));
        if (fileSizeLimit)
            QCOMPARE(Bytes(file), before);
        else
            QVERIFY(QFileInfo(file).isDir());
        // No temporary file left; the lock file stays, as mvd leaves it.
        QStringList left =
            QDir(dir_->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
        left.removeOne("f.mvd.lock");
        QCOMPARE(left, QStringList{"f.mvd"});
        QVERIFY(form_->isVisible());
        if (duringClose)
            QCOMPARE(form_->UserManager()->DataBaseName, std::string("vorher")); // step 2 skipped
    }

    void infoShowsTheOpenDataBase() {
        WriteDataBase(path("fehler.mvd"), 2);
        form_->Document().Open(Native(path("fehler.mvd")));
        TInfoForm info(form_.get());
        form_->SetDialogs(nullptr, &info, nullptr);
        QString label;
        DialogDriver driver([&label](QDialog& d) {
            label = d.findChild<QLabel*>("DataBaseLabel")->text();
            d.findChild<QPushButton*>("OkButton")->click();
        });
        form_->InfoAction()->trigger();
        QVERIFY(driver.ran);
        QVERIFY(!driver.leftOpen);
        QCOMPARE(label, QStringLiteral("Datenbank: fehler.mvd (2)"));
        form_->SetDialogs(nullptr, nullptr, nullptr);
    }

    // The real dialogs: Qt's own, with the database filters; a name without
    // extension gets ".mvd"; saving over a file asks first.
    void realSaveDialog_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QString>("overwriteAnswer");
        QTest::addColumn<QString>("expected"); // empty: nothing chosen
        QTest::newRow("suffix appended") << "neu" << false << ""
                                         << "neu.mvd";
        QTest::newRow("own suffix kept") << "neu.dat" << false << ""
                                         << "neu.dat";
        QTest::newRow("overwrite: yes") << "alt" << true << "Yes"
                                        << "alt.mvd";
        QTest::newRow("overwrite: no") << "alt" << true << "No"
                                       << "";
    }
    void realSaveDialog() {
        QFETCH(QString, typed);
        QFETCH(bool, exists);
        QFETCH(QString, overwriteAnswer);
        QFETCH(QString, expected);
        QFileDialog& d = *form_->FileDialog(form_->SaveDataBaseAsAction(), "SaveDialog");
        Prompt::Testing::End();
        QVERIFY(d.testOption(QFileDialog::DontUseNativeDialog));
        QCOMPARE(d.windowTitle(), QStringLiteral("Datenbank sichern"));
        QCOMPARE(d.nameFilters(),
                 (QStringList{"Mavrolin-Datenbank (*.mvd)", "alle Dateien (*.*)"}));
        if (exists)
            WriteDataBase(path("alt.mvd"), 1);
        d.setDirectory(dir_->path());

        std::unique_ptr<BoxAnswerer> answerer;
        DialogDriver driver([&](QDialog& dialog) {
            auto* edit = dialog.findChild<QLineEdit*>("fileNameEdit");
            QVERIFY(edit);
            edit->setText(typed);
            if (!overwriteAnswer.isEmpty())
                answerer = std::make_unique<BoxAnswerer>(overwriteAnswer);
            QTest::keyClick(edit, Qt::Key_Return);
            if (dialog.isVisible())
                dialog.reject(); // "no" leaves the dialog open
        });
        const std::optional<QString> chosen = Prompt::RunFileDialog(d);
        QVERIFY(driver.ran);
        if (answerer)
            QVERIFY2(answerer->text.contains("alt.mvd"), qPrintable(answerer->text));
        QCOMPARE(chosen.has_value(), !expected.isEmpty());
        if (chosen)
            QCOMPARE(QFileInfo(*chosen).fileName(), expected);
    }

    void realOpenDialogAcceptsMissingName() {
        QFileDialog& d = *form_->FileDialog(form_->LoadDataBaseAction(), "OpenDialog");
        Prompt::Testing::End();
        QVERIFY(d.testOption(QFileDialog::DontUseNativeDialog));
        QCOMPARE(d.nameFilters(),
                 (QStringList{"Mavrolin-Datenbank (*.mvd)", "alle Dateien (*.*)"}));
        d.setDirectory(dir_->path());
        DialogDriver driver([](QDialog& dialog) {
            auto* edit = dialog.findChild<QLineEdit*>("fileNameEdit");
            QVERIFY(edit);
            edit->setText("fehlt");
            QTest::keyClick(edit, Qt::Key_Return);
        });
        const std::optional<QString> chosen = Prompt::RunFileDialog(d);
        QVERIFY(driver.ran);
        QVERIFY(!driver.leftOpen);
        QVERIFY(chosen.has_value());
        QCOMPARE(*chosen, path("fehlt.mvd"));
    }
};

QTEST_MAIN(TestDataBaseMenu)
#include "tst_databasemenu.moc"
