// The stopwatch's state machine and minutes rule with a clock that the test
// moves, every state's trip through the settings store, and stored values
// that can't be used.
#include "SettingsStore.h"
#include "StopwatchSettings.h"
#include "UserManager.h"

#include <QTemporaryDir>
#include <QtTest>

using settings::RegKey;
using settings::RegValue;
using State = TStopwatch::TState;

namespace {

const QStringList UserPath{"Software", "Orbelon", "Mavrolin", "anna"};
// 1 March 2024, 10:00 UTC.
constexpr TStopwatch::Instant Morning{TStopwatch::Duration{1709287200000}};

void storeValue(const char* name, const std::optional<RegValue>& value) {
    settings::SettingsStore().Update([&](RegKey& root) {
        RegKey* key = root.CreatePath(UserPath);
        if (value)
            key->SetValue(QString::fromUtf8(name), *value);
        return value.has_value();
    });
}

// The user's other settings are missing in these tests, which TUserManager warns about.
void ignoreWarning(const std::string&) {}

bool hasStoredValues() {
    RegKey root = settings::SettingsStore().Read();
    const RegKey* key = root.FindPath(UserPath);
    return key && (key->HasValue(settings::StopwatchStartValue) ||
                   key->HasValue(settings::StopwatchHeldValue));
}

} // namespace

Q_DECLARE_METATYPE(State)

class StopwatchTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;

private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", dir->filePath("config").toLocal8Bit());
    }

    void stateMachine_data() {
        // A script of commands and clock moves ("+N"/"-N" milliseconds).
        QTest::addColumn<QString>("script");
        QTest::addColumn<State>("state");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("minutes");
        QTest::newRow("empty: at least 1") << "+5000" << State::Empty << "0:00:00" << 1;
        QTest::newRow("59 s") << "start +59999" << State::Running << "0:00:59" << 1;
        QTest::newRow("60 s") << "start +60999" << State::Running << "0:01:00" << 1;
        QTest::newRow("61 s: rounded up") << "start +61000" << State::Running << "0:01:01" << 2;
        QTest::newRow("17 min") << "start +1020000" << State::Running << "0:17:00" << 17;
        QTest::newRow("stop holds") << "start +90000 stop +50000" << State::Held << "0:01:30" << 2;
        QTest::newRow("start again adds")
            << "start +90000 stop +50000 start +30000" << State::Running << "0:02:00" << 2;
        QTest::newRow("start while running")
            << "start +1000 start +1000" << State::Running << "0:00:02" << 1;
        QTest::newRow("stop while held")
            << "start +1000 stop stop +5000 stop" << State::Held << "0:00:01" << 1;
        QTest::newRow("stop at once holds 0") << "start stop" << State::Held << "0:00:00" << 1;
        QTest::newRow("reset") << "start +5000 stop reset +5000" << State::Empty << "0:00:00" << 1;
        QTest::newRow("reset while running")
            << "start +5000 reset" << State::Empty << "0:00:00" << 1;
        QTest::newRow("clock put back: held time stays")
            << "start +10000 stop start -5000" << State::Running << "0:00:10" << 1;
        QTest::newRow("clock put back: counts again past the start")
            << "start +10000 stop start -5000 +7000" << State::Running << "0:00:12" << 1;
        QTest::newRow("clock put back while running")
            << "start +70000 -30000" << State::Running << "0:00:40" << 1;
        QTest::newRow("hours") << "start +36061000" << State::Running << "10:01:01" << 602;
    }
    void stateMachine() {
        QFETCH(QString, script);
        QFETCH(State, state);
        QFETCH(QString, shown);
        QFETCH(int, minutes);
        TStopwatch::Instant now = Morning;
        TStopwatch watch([&] { return now; });
        for (const QString& step : script.split(' ', Qt::SkipEmptyParts)) {
            if (step == "start")
                watch.Start();
            else if (step == "stop")
                watch.Stop();
            else if (step == "reset")
                watch.Reset();
            else
                now += TStopwatch::Duration{step.toLongLong()};
        }
        QCOMPARE(watch.State(), state);
        QCOMPARE(QString::fromStdString(TStopwatch::Text(watch.Elapsed())), shown);
        QCOMPARE(watch.ElapsedMinutes(), minutes);

        // The stored record gives the same stopwatch after a restart.
        TUserManager user("anna", ignoreWarning);
        user.Valid = true;
        settings::SaveStopwatch(user, watch.Record());
        QCOMPARE(hasStoredValues(), state != State::Empty);
        const settings::StoredStopwatch stored = settings::LoadStopwatch(user);
        QVERIFY(!stored.Invalid);
        QCOMPARE(stored.Record, watch.Record());
    }

    void storedValues_data() {
        QTest::addColumn<std::optional<RegValue>>("start");
        QTest::addColumn<std::optional<RegValue>>("held");
        QTest::addColumn<bool>("usable");
        QTest::addColumn<State>("state");
        const auto ms = [](std::int64_t n) {
            return std::optional(RegValue::Qword(static_cast<std::uint64_t>(n)));
        };
        const std::optional<RegValue> none;
        const std::int64_t limit = TStopwatch::Limit.count();
        QTest::newRow("none") << none << none << true << State::Empty;
        QTest::newRow("start alone") << ms(1000) << none << true << State::Running;
        QTest::newRow("held alone") << none << ms(0) << true << State::Held;
        QTest::newRow("both at the limit") << ms(limit) << ms(limit) << true << State::Running;
        QTest::newRow("held beyond the limit") << none << ms(limit + 1) << false << State::Empty;
        QTest::newRow("negative held") << ms(1000) << ms(-1) << false << State::Empty;
        QTest::newRow("start before 1970") << ms(-1) << ms(0) << false << State::Empty;
        QTest::newRow("held as dword")
            << none << std::optional(RegValue::Dword(5)) << false << State::Empty;
        QTest::newRow("start as text")
            << std::optional(RegValue::String("1000")) << ms(0) << false << State::Empty;
        QTest::newRow("seven bytes")
            << std::optional(RegValue{settings::RegQword, QByteArray(7, '\0')}) << none << false
            << State::Empty;
    }
    void storedValues() {
        QFETCH(std::optional<RegValue>, start);
        QFETCH(std::optional<RegValue>, held);
        QFETCH(bool, usable);
        QFETCH(State, state);
        storeValue(settings::StopwatchStartValue, start);
        storeValue(settings::StopwatchHeldValue, held);
        TUserManager user("anna", ignoreWarning);
        user.Valid = true;
        const settings::StoredStopwatch stored = settings::LoadStopwatch(user);
        QCOMPARE(stored.Invalid, !usable);
        QCOMPARE(stored.Record.State, state);
        // Unusable values are removed, so the warning comes once.
        QCOMPARE(hasStoredValues(), state != State::Empty);
    }

    // After the user's settings were deleted nothing is written in this run.
    void invalidSettingsWriteNoStopwatch() {
        TUserManager user("anna", ignoreWarning);
        user.Valid = false;
        settings::SaveStopwatch(user, {State::Held, {}, TStopwatch::Duration{5000}});
        QVERIFY(!hasStoredValues());
    }
};

QTEST_GUILESS_MAIN(StopwatchTest)
#include "tst_stopwatch.moc"
