// Start-up and shut-down of the real main window (offscreen) against a
// settings store in a temporary configuration folder: first and later starts,
// stored layouts, the settings warnings, the save command, the options
// command, the splitter limits, the login failures and a locked or unusable
// store.
#include "app/ProgramStart.h"
#include "core/DataBase.h"
#include "gui/FilterForm.h"
#include "gui/InfoForm.h"
#include "gui/MainForm.h"
#include "gui/OptionForm.h"
#include "gui/Prompt.h"
#include "gui/RecordListModel.h"
#include "settings/SettingsStore.h"
#include "settings/WindowConfiguration.h"
#include "support/CoreTestUtil.h"
#include "support/DialogDriver.h"
#include "support/ListViewProbe.h"
#include "support/WindowProbe.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QSplitterHandle>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>
#include <pwd.h>
#include <unistd.h>

using settings::RegKey;
using settings::RegValue;
using settings::SettingsStore;

namespace {

const char* const User = "anna";
const QString RestoredWarning = QString::fromUtf8(settings::InvalidValuesWarning);
const QString LegacyWarning = QStringLiteral(
    "Die Windows-Registrierdatenbank enthält ungültige Werte. Der Fehler kann daher kommen, "
    "daß vorher eine ältere Mavrolin-Version eingesetzt wurde. Die bisher abgelegten Werte "
    "gehen verloren!");
const QString RegistryError =
    QStringLiteral("Fehler beim Bearbeiten der Windows-Registrierdatenbank!");

QStringList UserPath(const char* user = User) {
    return {"Software", "Orbelon", "Mavrolin", QString::fromUtf8(user)};
}

QString StoreFile() {
    return SettingsStore::DefaultFilePath();
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

using StoredValues = QMap<QString, RegValue>;

// The user's stored values; none when the user has no key.
StoredValues StoredUser(const char* user = User) {
    RegKey root = SettingsStore(StoreFile()).Read();
    StoredValues values;
    if (const RegKey* key = root.FindPath(UserPath(user)))
        for (const auto& [name, value] : key->Values())
            values.insert(name, value);
    return values;
}

QByteArray StoredBytes(const StoredValues& key, const char* name) {
    const auto value = key.find(QLatin1String(name));
    return value != key.end() ? value->data : QByteArray("<missing>");
}

QByteArray Dword(std::uint32_t value) {
    return RegValue::Dword(value).data;
}

QByteArray BytesOf(const WindowConfiguration& record) {
    const WindowConfiguration::Bytes bytes = record.Encode();
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

// The stored record; a record of all -1 when the value is not 52 bytes long.
WindowConfiguration Decoded(const QByteArray& stored) {
    WindowConfiguration::Bytes bytes{};
    if (stored.size() != static_cast<qsizetype>(bytes.size())) {
        bytes.fill(0xff);
        return WindowConfiguration::Decode(bytes);
    }
    std::copy(stored.begin(), stored.end(), bytes.begin());
    return WindowConfiguration::Decode(bytes);
}

// Stores settings for the user as an earlier run would have left them.
void StoreUser(const WindowConfiguration& record, std::uint32_t options,
               const QByteArray& database) {
    SettingsStore(StoreFile()).Update([&](RegKey& root) {
        RegKey* key = root.CreatePath(UserPath());
        key->SetValue("database", RegValue::String(database));
        key->SetValue("configuration", RegValue::Binary(BytesOf(record)));
        key->SetValue("options", RegValue::Dword(options));
        return true;
    });
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// Tick state of the five pop-up items, language to minutes.
QString Ticks(const TTestForm& form) {
    QString s;
    for (QAction* a : {form.Child<QAction>("colLanguageItem"), form.Child<QAction>("colTypeItem"),
                       form.Child<QAction>("colProjectItem"), form.Child<QAction>("colDateItem"),
                       form.Child<QAction>("colTimeItem")})
        s += a->isChecked() ? '1' : '0';
    return s;
}

QString MessageTexts() {
    QStringList texts;
    for (const auto& m : Prompt::Testing::Messages())
        texts << m.text;
    return texts.join(" | ");
}

QString AccountName() {
    const passwd* entry = ::getpwuid(::getuid());
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString::number(::getuid());
}

void SendMouse(QWidget* target, QEvent::Type type, const QPoint& global, Qt::MouseButtons buttons) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(target->mapFromGlobal(global)), QPointF(global), button,
                      buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

} // namespace

Q_DECLARE_METATYPE(QList<int>)

class StartupTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<TTestForm> form_;

    TTestForm& start(const char* user = User) {
        form_ = std::make_unique<TTestForm>();
        form_->FormCreate(user);
        return *form_;
    }
    void end() {
        if (form_)
            form_->FormDestroy();
        form_.reset();
    }
    TTestForm& shown() {
        form_->show();
        if (!QTest::qWaitForWindowExposed(form_.get()))
            qWarning("window not exposed");
        return *form_;
    }
    // A database file with entries taking 30, 10 and 20 minutes.
    QByteArray databaseFile() {
        const QString path = dir_->filePath("fehler.mvd");
        TDataBase db;
        for (unsigned minutes : {30u, 10u, 20u}) {
            db.AddRecord(coretest::Entry("C++", "Zeiger", "P", 40000.0, minutes));
        }
        db.FileName = QFile::encodeName(path).toStdString();
        db.Save();
        return QFile::encodeName(path);
    }

private slots:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("Mavrolin")); }
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        qputenv("XDG_CONFIG_HOME", dir_->filePath("config").toLocal8Bit());
        qputenv("XDG_STATE_HOME", dir_->filePath("state").toLocal8Bit());
        Prompt::Testing::Begin();
    }
    void cleanup() {
        end();
        Prompt::Testing::End();
    }

    void firstStart() {
        TTestForm& f = start();
        QCOMPARE(MessageTexts(), QString());
        QCOMPARE(f.windowTitle(), QStringLiteral("Mavrolin - anna"));
        QVERIFY(f.UserManager()->Valid);
        QVERIFY(!f.UserManager()->SaveOnExit);
        QVERIFY(f.UserManager()->SaveContents);
        QVERIFY(!f.UserManager()->SaveWindowConfig);
        const StoredValues key = StoredUser();
        QCOMPARE(StoredBytes(key, "options"), Dword(2));
        QCOMPARE(StoredBytes(key, "database"), RegValue::String("").data);
        QCOMPARE(StoredBytes(key, "configuration"), BytesOf(WindowConfiguration::FirstStart()));
        QCOMPARE(key.value("configuration").type, std::uint32_t(settings::RegBinary));

        const QRect area = f.screen()->availableGeometry();
        const QPoint centred = area.center() - QPoint(f.width() / 2, f.height() / 2);
        shown();
        QCOMPARE(f.pos(), centred);
        QCOMPARE(f.width(), 639);
        QCOMPARE(f.ClientHeight(), 420);
        QCOMPARE(f.DetailPanel()->width(), 283);
        QCOMPARE(Headers(f), (QStringList{"Sprache", "Kategorie", "Datum"}));
        QCOMPARE(Widths(f), (QList<int>{70, 156, 70}));
        QCOMPARE(Ticks(f), QStringLiteral("11010"));
        QCOMPARE(f.SortColumn(), ckNone);
        QVERIFY(f.SortDescending());
    }

    void secondStartRestoresTheDesignedRecord() {
        start();
        end();
        TTestForm& f = start();
        QCOMPARE(MessageTexts(), QString());
        shown();
        QCOMPARE(f.pos(), QPoint(259, 143));
        QCOMPARE(f.width(), 639);
        QCOMPARE(f.ClientHeight(), 420);
        QCOMPARE(f.DetailPanel()->width(), 283);
        QCOMPARE(Headers(f), (QStringList{"Sprache", "Kategorie", "Datum"}));
        QCOMPARE(Widths(f), (QList<int>{70, 156, 70}));
        QCOMPARE(StoredBytes(StoredUser(), "options"), Dword(2));
    }

    void storedColumns_data() {
        QTest::addColumn<QByteArray>("order");
        QTest::addColumn<QList<int>>("storedWidths");
        QTest::addColumn<QStringList>("expectedHeaders");
        QTest::addColumn<QList<int>>("expectedWidths");
        QTest::addColumn<QString>("expectedTicks");
        QTest::newRow("minutes, empty slot, project")
            << QByteArray("\5\0\3\0\0", 5) << QList<int>{60, 0, 80, 0, 0} << QStringList{"Aufwand"}
            << QList<int>{60} << "00001";
        QTest::newRow("all five") << QByteArray("\3\5\1\4\2", 5) << QList<int>{40, 50, 60, 70, 80}
                                  << QStringList{"Projekt", "Aufwand", "Sprache", "Datum",
                                                 "Kategorie"}
                                  << QList<int>{40, 50, 60, 70, 80} << "11111";
        QTest::newRow("no column") << QByteArray(5, '\0') << QList<int>{0, 0, 0, 0, 0}
                                   << QStringList{} << QList<int>{} << "00000";
        QTest::newRow("unknown code ends the columns")
            << QByteArray("\2\11\1\0\0", 5) << QList<int>{90, 10, 20, 0, 0}
            << QStringList{"Kategorie"} << QList<int>{90} << "01000";
        QTest::newRow("repeated code ends the columns")
            << QByteArray("\4\4\1\0\0", 5) << QList<int>{30, 40, 50, 0, 0} << QStringList{"Datum"}
            << QList<int>{30} << "00010";
        QTest::newRow("fit width")
            << QByteArray("\1\2\0\0\0", 5) << QList<int>{-1, -2, 0, 0, 0}
            << QStringList{"Sprache", "Kategorie"} << QList<int>{50, 50} << "11000";
    }
    void storedColumns() {
        QFETCH(QByteArray, order);
        QFETCH(QList<int>, storedWidths);
        WindowConfiguration record = WindowConfiguration::FirstStart();
        for (std::size_t i = 0; i < 5; ++i) {
            record.ColumnOrder[i] = static_cast<std::uint8_t>(order[static_cast<qsizetype>(i)]);
            record.ColumnWidths[i] = storedWidths[static_cast<qsizetype>(i)];
        }
        StoreUser(record, 2, "");
        TTestForm& f = start();
        shown();
        QCOMPARE(MessageTexts(), QString());
        QTEST(Headers(f), "expectedHeaders");
        QTEST(Widths(f), "expectedWidths");
        QTEST(Ticks(f), "expectedTicks");
        // What is shown is what the next start gets.
        f.StoreWindowConfiguration();
        const WindowConfiguration again =
            WindowConfiguration::Decode(f.UserManager()->Configuration);
        QFETCH(QStringList, expectedHeaders);
        QCOMPARE(static_cast<int>(again.ShownColumnCount()), expectedHeaders.size());
    }

    void storedPlacementSortAndDatabase() {
        WindowConfiguration record = WindowConfiguration::FirstStart();
        record.Left = 300;
        record.Top = 200;
        record.ClientWidth = 700;
        record.ClientHeight = 500;
        record.DetailWidth = 300;
        record.SortColumn = ckTime;
        record.SortDescending = false;
        StoreUser(record, 2, databaseFile());
        TTestForm& f = start();
        shown();
        QCOMPARE(MessageTexts(), QString());
        QCOMPARE(f.pos(), QPoint(300, 200));
        QCOMPARE(f.width(), 700);
        QCOMPARE(f.ClientHeight(), 500);
        QCOMPARE(f.DetailPanel()->width(), 300);
        QCOMPARE(f.ListView()->width(), 700 - 300 - 3 - 37);
        QCOMPARE(f.ListView()->height(), 500 - 29 - 26);
        QCOMPARE(f.ItemCount(), 3);
        QCOMPARE(f.ItemRecord(0)->TimeNeeded, 10u);
        QCOMPARE(f.ItemRecord(2)->TimeNeeded, 30u);
        QCOMPARE(f.CurrentItem(), 0);
        // Stored again unchanged.
        f.StoreWindowConfiguration();
        QCOMPARE(WindowConfiguration::Decode(f.UserManager()->Configuration), record);
    }

    void storedSizeBelowTheMinimum() {
        WindowConfiguration record = WindowConfiguration::FirstStart();
        record.ClientWidth = 100;
        record.ClientHeight = 50;
        record.DetailWidth = 500;
        StoreUser(record, 2, "");
        TTestForm& f = start();
        shown();
        QCOMPARE(f.width(), f.minimumWidth());
        QCOMPARE(f.height(), f.minimumHeight());
        QVERIFY(f.ListPanel()->width() > 0);
    }

    void unreadableDatabaseIsReported() {
        StoreUser(WindowConfiguration::FirstStart(), 2,
                  QFile::encodeName(dir_->filePath("gibt-es-nicht.mvd")));
        TTestForm& f = start();
        QCOMPARE(Prompt::Testing::Messages().size(), 1);
        QCOMPARE(Prompt::Testing::Messages()[0].kind, Prompt::Kind::Error);
        QCOMPARE(f.DataBase().Count(), 0);
        QCOMPARE(f.ItemCount(), 0);
    }

    void unusableSettingsWarnOnce_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("warning");
        const QByteArray head =
            "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orbelon\\Mavrolin\\anna]\n";
        QTest::newRow("options missing")
            << head + "\"database\"=\"x.mvd\"\n\"configuration\"=hex:01,02\n"
            << RestoredWarning;
        QTest::newRow("options a string") << head + "\"options\"=\"2\"\n" << RestoredWarning;
        QByteArray tooLong = head + "\"options\"=dword:00000007\n\"configuration\"=hex:00";
        for (int i = 0; i < 52; ++i)
            tooLong += ",00";
        QTest::newRow("configuration 53 bytes") << tooLong + "\n" << RestoredWarning;
        QTest::newRow("configuration a string")
            << head + "\"options\"=dword:00000007\n\"configuration\"=\"abc\"\n"
            << RestoredWarning;
        QTest::newRow("legacy value")
            << QByteArray("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orbelon\\Mavrolin]\n"
                          "\"anna\"=\"alt\"\n")
            << LegacyWarning;
        QTest::newRow("corrupt file")
            << QByteArray("\x01\x02 kein Registrierformat\n[[[") << RestoredWarning;
    }
    void unusableSettingsWarnOnce() {
        QFETCH(QByteArray, file);
        QFETCH(QString, warning);
        WriteFile(StoreFile(), file);
        TTestForm& f = start();
        QCOMPARE(Prompt::Testing::Messages().size(), 1);
        QCOMPARE(Prompt::Testing::Messages()[0].kind, Prompt::Kind::Warning);
        QCOMPARE(Prompt::Testing::Messages()[0].text, warning);
        // The first-start settings took their place.
        QVERIFY(f.UserManager()->Valid);
        const StoredValues key = StoredUser();
        QCOMPARE(StoredBytes(key, "options"), Dword(2));
        QCOMPARE(StoredBytes(key, "configuration"), BytesOf(WindowConfiguration::FirstStart()));
        QCOMPARE(StoredBytes(key, "database"), RegValue::String("").data);
        QCOMPARE(Headers(f), (QStringList{"Sprache", "Kategorie", "Datum"}));
        if (QTest::currentDataTag() == QByteArray("corrupt file")) {
            const QStringList aside = QDir(QFileInfo(StoreFile()).absolutePath())
                                          .entryList({"registry.reg.invalid-*"}, QDir::Files);
            QCOMPARE(aside.size(), 1);
        }
        // The next start finds usable settings.
        end();
        Prompt::Testing::Begin();
        TTestForm& again = start();
        QCOMPARE(MessageTexts(), QString());
        QVERIFY(again.UserManager()->Valid);
    }

    void saveCommand_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("saveContents");
        QTest::addColumn<bool>("saveWindowConfig");
        QTest::newRow("no") << int(Prompt::No) << true << true;
        QTest::newRow("box closed") << int(Prompt::NoButton) << true << true;
        QTest::newRow("yes, both") << int(Prompt::Yes) << true << true;
        QTest::newRow("yes, layout only") << int(Prompt::Yes) << false << true;
        QTest::newRow("yes, database only") << int(Prompt::Yes) << true << false;
    }
    void saveCommand() {
        QFETCH(int, answer);
        QFETCH(bool, saveContents);
        QFETCH(bool, saveWindowConfig);
        StoreUser(WindowConfiguration::FirstStart(), 2, "alt.mvd");
        TTestForm& f = start(); // "alt.mvd" can't be read: one error box
        shown();
        f.UserManager()->SaveContents = saveContents;
        f.UserManager()->SaveWindowConfig = saveWindowConfig;
        f.List().colProjectItemClick();
        f.resize(700, f.height());
        f.Commands().Name("neu.mvd");
        const QByteArray before = FileBytes(StoreFile());
        const auto configurationBefore = f.UserManager()->Configuration;
        Prompt::Testing::Begin();
        if (answer != int(Prompt::NoButton))
            Prompt::Testing::QueueAnswer(static_cast<Prompt::Button>(answer));
        f.SaveOptionItem()->trigger();
        QCOMPARE(Prompt::Testing::Messages().size(), 1);
        QCOMPARE(Prompt::Testing::Messages()[0].kind, Prompt::Kind::Confirmation);
        QCOMPARE(Prompt::Testing::Messages()[0].text,
                 QStringLiteral("Möchten sie diese Einstellungen wirklich speichern?"));
        QCOMPARE(Prompt::Testing::Messages()[0].buttons, Prompt::Yes | Prompt::No);
        if (answer != int(Prompt::Yes)) {
            QCOMPARE(FileBytes(StoreFile()), before);
            QVERIFY(f.UserManager()->Configuration == configurationBefore);
            QCOMPARE(f.UserManager()->DataBaseName, std::string("alt.mvd"));
            return;
        }
        const StoredValues key = StoredUser();
        QCOMPARE(StoredBytes(key, "options"),
                 Dword((saveContents ? 2u : 0u) + (saveWindowConfig ? 4u : 0u)));
        QCOMPARE(StoredBytes(key, "database"),
                 RegValue::String(saveContents ? "neu.mvd" : "alt.mvd").data);
        WindowConfiguration expected = WindowConfiguration::FirstStart();
        if (saveWindowConfig) {
            expected.Left = f.x();
            expected.Top = f.y();
            expected.ClientWidth = 700;
            expected.DetailWidth = f.DetailPanel()->width();
            expected.ColumnOrder = {1, 2, 4, 3, 0};
            expected.ColumnWidths = {70, 156, 70, 50, 0};
        }
        QCOMPARE(Decoded(StoredBytes(key, "configuration")), expected);
    }

    void saveOnExitKeepsDatabaseWhenContentsOff() {
        // Save on exit and window layout on, database name off.
        StoreUser(WindowConfiguration::FirstStart(), 1 | 4, databaseFile());
        TTestForm& f = start();
        shown();
        QCOMPARE(f.ItemCount(), 3);
        f.Commands().Name("anders.mvd");
        f.resize(650, f.height());
        f.StoreWindowConfiguration(); // what the close handler does
        end();
        const StoredValues key = StoredUser();
        QCOMPARE(StoredBytes(key, "options"), Dword(5));
        QCOMPARE(StoredBytes(key, "database"), RegValue::String(databaseFile()).data);
        QCOMPARE(Decoded(StoredBytes(key, "configuration")).ClientWidth, 650);
    }

    void invalidSettingsWriteNothing() {
        TTestForm& f = start();
        f.UserManager()->Valid = false;
        f.UserManager()->SaveOnExit = true;
        f.UserManager()->SaveWindowConfig = true;
        f.resize(700, f.height());
        const QByteArray before = FileBytes(StoreFile());
        Prompt::Testing::QueueAnswer(Prompt::Yes);
        f.SaveOptionItem()->trigger();
        end();
        QCOMPARE(FileBytes(StoreFile()), before);
    }

    void formDestroyEmptiesAndReleases() {
        StoreUser(WindowConfiguration::FirstStart(), 1 | 2, databaseFile());
        TTestForm& f = start();
        QCOMPARE(f.ItemCount(), 3);
        f.Commands().Name("spaeter.mvd");
        f.UserManager()->DataBaseName = f.DataBase().FileName; // what the close handler does
        f.FormDestroy();
        QCOMPARE(f.ItemCount(), 0);
        QVERIFY(!f.UserManager());
        QCOMPARE(f.DataBase().Count(), 0);
        QCOMPARE(StoredBytes(StoredUser(), "database"), RegValue::String("spaeter.mvd").data);
    }

    void failedSaveOnExitIsTheGeneralReport() {
        StoreUser(WindowConfiguration::FirstStart(), 1 | 2, "");
        TTestForm& f = start();
        // The configuration folder gives way to a file: the store cannot be written.
        QVERIFY(QDir(dir_->filePath("config")).removeRecursively());
        WriteFile(dir_->filePath("config"), "kein Ordner");
        f.FormDestroy();
        QCOMPARE(Prompt::Testing::Messages().size(), 1);
        QCOMPARE(Prompt::Testing::Messages()[0].kind, Prompt::Kind::General);
        QCOMPARE(Prompt::Testing::Messages()[0].text, RegistryError);
    }

    void configItem_data() {
        QTest::addColumn<bool>("deleteSettings");
        QTest::newRow("cancel") << false;
        QTest::newRow("delete") << true;
    }
    void configItem() {
        QFETCH(bool, deleteSettings);
        TTestForm& f = start();
        f.SetDialogs(nullptr, nullptr, new TOptionForm(&f));
        shown();
        f.ConfigItem()->setEnabled(!deleteSettings);
        f.SaveOptionItem()->setEnabled(!deleteSettings);
        if (deleteSettings)
            f.ConfigItem()->setEnabled(true); // reachable
        Prompt::Testing::QueueAnswer(Prompt::Yes);
        DialogDriver driver([&](QDialog& dialog) {
            auto& options = static_cast<TOptionForm&>(dialog);
            options.SaveOnExitCheckBox->setChecked(true);
            if (deleteSettings)
                options.DeleteButton->click();
            else
                options.CancelButton->click();
        });
        f.ConfigItem()->trigger();
        QVERIFY(driver.ran);
        QVERIFY(!driver.leftOpen);
        QCOMPARE(f.ConfigItem()->isEnabled(), !deleteSettings);
        QCOMPARE(f.SaveOptionItem()->isEnabled(), !deleteSettings);
        QVERIFY(!f.UserManager()->SaveOnExit);
        QCOMPARE(f.UserManager()->Valid, !deleteSettings);
        RegKey root = SettingsStore(StoreFile()).Read();
        QCOMPARE(root.FindPath(UserPath()) != nullptr, !deleteSettings);
        // The next start begins with the first-start settings again.
        end();
        Prompt::Testing::Begin();
        start();
        QCOMPARE(MessageTexts(), QString());
        QCOMPARE(StoredBytes(StoredUser(), "options"), Dword(2));
    }

    void splitterCanResize_data() {
        QTest::addColumn<int>("clientWidth");
        QTest::addColumn<int>("proposed");
        QTest::addColumn<int>("expected");
        QTest::newRow("inside") << 639 << 300 << 300;
        QTest::newRow("list at its minimum") << 639 << 486 << 486;
        QTest::newRow("list too narrow") << 639 << 487 << 486;
        QTest::newRow("far left") << 639 << 700 << 486;
        QTest::newRow("detail at its minimum") << 639 << 253 << 253;
        QTest::newRow("detail too narrow") << 639 << 252 << 253;
        QTest::newRow("far right") << 639 << -5 << 253;
        QTest::newRow("window too narrow for both") << 402 << 300 << 249;
    }
    void splitterCanResize() {
        QFETCH(int, clientWidth);
        QFETCH(int, proposed);
        TTestForm& f = start();
        f.resize(clientWidth, f.height());
        QCOMPARE(f.width(), clientWidth);
        bool accept = false;
        f.SplitterCanResize(proposed, accept);
        QVERIFY(accept);
        QTEST(proposed, "expected");
    }

    void splitterDragStopsAtTheLimits() {
        start();
        TTestForm& g = shown();
        QSplitterHandle* handle = g.Child<QSplitter>("Splitter")->handle(1);
        // Grabbed at the first pixel of the visible bar (the handle's widget
        // may be wider than the bar, to be easier to hit).
        const QPoint grab =
            handle->mapToGlobal(QPoint(handle->contentsRect().left(), handle->height() / 2));
        const int left = g.Child<QSplitter>("Splitter")->mapToGlobal(QPoint(0, 0)).x();
        SendMouse(handle, QEvent::MouseButtonPress, grab, Qt::LeftButton);
        SendMouse(handle, QEvent::MouseMove, QPoint(left, grab.y()), Qt::LeftButton);
        QCOMPARE(g.DetailPanel()->width(), 639 - 3 - 150);
        QCOMPARE(g.ListPanel()->width(), 150);
        SendMouse(handle, QEvent::MouseMove, QPoint(left + 639, grab.y()), Qt::LeftButton);
        QCOMPARE(g.DetailPanel()->width(), 253);
        SendMouse(handle, QEvent::MouseMove, QPoint(left + 300, grab.y()), Qt::LeftButton);
        QCOMPARE(g.DetailPanel()->width(), 639 - 300 - 3);
        SendMouse(handle, QEvent::MouseButtonRelease, QPoint(left + 300, grab.y()), {});
        QCOMPARE(g.DetailPanel()->width(), 639 - 300 - 3);
        g.StoreWindowConfiguration();
        QCOMPARE(WindowConfiguration::Decode(g.UserManager()->Configuration).DetailWidth, 336);
    }

    void toolTipsStayTenSeconds() {
        start();
        TTestForm& f = shown();
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), f.LanguageBox()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(f.LanguageBox(), &help);
        QCOMPARE(f.LanguageBox()->toolTipDuration(), 10000);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), f.LanguageBox()->toolTip());
        QToolTip::hideText();
    }

    void programStartLogsInAndCreatesTheWindows() {
        std::unique_ptr<TMainForm> started = StartProgram(QStringLiteral(REAL_LOGIN_DIR));
        QVERIFY(started);
        QCOMPARE(MessageTexts(), QString());
        QCOMPARE(started->windowTitle(), QStringLiteral("Mavrolin - ") + AccountName());
        QVERIFY(!started->isVisible());
        for (QWidget* dialog : std::initializer_list<QWidget*>{
                 started->findChild<TFilterForm*>(), started->findChild<TInfoForm*>(),
                 started->findChild<TOptionForm*>()}) {
            QVERIFY(dialog);
            QVERIFY(!dialog->isVisible());
            QCOMPARE(dialog->parentWidget(), started.get());
        }
        QCOMPARE(StoredBytes(StoredUser(AccountName().toUtf8().constData()), "options"), Dword(2));
        started->FormDestroy();
    }

    void loginFailures_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("fatalBox");
        QTest::newRow("refused") << QStringLiteral(FAKE_REFUSE_DIR) << false;
        QTest::newRow("entry point missing") << QStringLiteral(FAKE_NO_LENGTH_DIR) << true;
        QTest::newRow("no library") << QStringLiteral("/nonexistent-folder") << true;
    }
    void loginFailures() {
        QFETCH(QString, folder);
        QFETCH(bool, fatalBox);
        const int windowsBefore = static_cast<int>(QApplication::topLevelWidgets().size());
        QVERIFY(!StartProgram(folder));
        QCOMPARE(static_cast<int>(QApplication::topLevelWidgets().size()), windowsBefore);
        QVERIFY(!QFile::exists(StoreFile()));
        if (!fatalBox) {
            QCOMPARE(MessageTexts(), QString());
            return;
        }
        QCOMPARE(Prompt::Testing::Messages().size(), 1);
        const auto& box = Prompt::Testing::Messages()[0];
        QCOMPARE(box.kind, Prompt::Kind::System);
        QCOMPARE(box.title, QStringLiteral("Fataler Fehler"));
        QCOMPARE(box.text, QStringLiteral(
                               "Fehler: Korrekte Login.dll nicht gefunden - Login nicht möglich."));
        QCOMPARE(box.buttons, Prompt::Ok);
    }

    void unusableStoreEndsTheProgram() {
        // The configuration folder is a file: nothing can be created below it.
        WriteFile(dir_->filePath("config"), "kein Ordner");
        QVERIFY(!StartProgram(QStringLiteral(REAL_LOGIN_DIR)));
        QCOMPARE(Prompt::Testing::Messages().size(), 1);
        QCOMPARE(Prompt::Testing::Messages()[0].kind, Prompt::Kind::General);
        QCOMPARE(Prompt::Testing::Messages()[0].title, QStringLiteral("Mavrolin"));
        QCOMPARE(Prompt::Testing::Messages()[0].text, RegistryError);
    }

    void secondInstanceHoldingTheStore() {
        StoreUser(WindowConfiguration::FirstStart(), 2, "");
        QProcess holder;
        holder.start(QStringLiteral(LOCK_HOLDER), {StoreFile(), "1500", "Zweite"});
        QVERIFY(holder.waitForReadyRead(5000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("locked"));
        // The start waits for the other instance and keeps its change.
        TTestForm& f = start();
        QVERIFY(f.UserManager()->Valid);
        QVERIFY(holder.waitForFinished(5000));
        QCOMPARE(holder.exitCode(), 0);
        f.UserManager()->SaveWindowConfig = true;
        Prompt::Testing::QueueAnswer(Prompt::Yes);
        f.SaveOptionItem()->trigger();
        RegKey root = SettingsStore(StoreFile()).Read();
        QVERIFY(root.FindPath({"Software", "Holder"}));
        QVERIFY(root.FindPath({"Software", "Holder"})->HasValue("Zweite"));
        QCOMPARE(StoredBytes(StoredUser(), "options"), Dword(6));
    }

    void storeLockedTooLongEndsTheProgram() {
        QProcess holder;
        holder.start(QStringLiteral(LOCK_HOLDER), {StoreFile(), "13000", "Zweite"});
        QVERIFY(holder.waitForReadyRead(5000));
        QVERIFY(!StartProgram(QStringLiteral(REAL_LOGIN_DIR)));
        QCOMPARE(Prompt::Testing::Messages().size(), 1);
        QCOMPARE(Prompt::Testing::Messages()[0].kind, Prompt::Kind::General);
        QCOMPARE(Prompt::Testing::Messages()[0].text, RegistryError);
        QVERIFY(holder.waitForFinished(10000));
    }
};

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
