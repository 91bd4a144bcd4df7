// The stopwatch's state machine and minutes rule with a clock that the test
// moves, each state's trip through the settings store, and unusable values.
#include "settings/SettingsStore.h"
#include "settings/StopwatchSettings.h"
#include "settings/UserManager.h"

#include <QTemporaryDir>
#include <QtTest>

using settings::RegValue;
using State = TStopwatch::TState;

namespace {

constexpr TStopwatch::Instant Morning{TStopwatch::Duration{1709287200000}}; // 1.3.2024 10:00 UTC

// The user's other settings are missing here, which the store warns about.
void IgnoreWarning(const std::string&) {}

RegValue Milliseconds(std::int64_t n) {
    return RegValue::Qword(static_cast<std::uint64_t>(n));
}

} // namespace

class StopwatchTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", dir_.filePath("config").toLocal8Bit()); }

    void stateMachine() {
        // Commands and clock moves (ms) -> the state, the time shown, the minutes for an entry.
        const char* const rows[][2] = {
            {"+5000", "empty 0:00:00 1"},
            {"start +59999", "running 0:00:59 1"},
            {"start +60999", "running 0:01:00 1"},
            {"start +61000", "running 0:01:01 2"},
            {"start +1020000", "running 0:17:00 17"},
            {"start +90000 stop +50000", "held 0:01:30 2"},
            {"start +90000 stop +50000 start +30000", "running 0:02:00 2"},
            {"start +1000 start +1000 stop stop +5000", "held 0:00:02 1"},
            {"start stop", "held 0:00:00 1"},
            {"start +5000 reset +5000", "empty 0:00:00 1"},
            {"start +10000 stop start -5000", "running 0:00:10 1"}, // clock put back
            {"start +10000 stop start -5000 +7000", "running 0:00:12 1"},
            {"start +70000 -30000", "running 0:00:40 1"},
            {"start +36061000", "running 10:01:01 602"},
        };
        TUserManager user("anna", IgnoreWarning);
        user.Valid = true;
        for (const auto& [script, expected] : rows) {
            TStopwatch::Instant now = Morning;
            TStopwatch watch([&] { return now; });
            for (const QString& step : QString(script).split(' ')) {
                if (step == "start")
                    watch.Start();
                else if (step == "stop")
                    watch.Stop();
                else if (step == "reset")
                    watch.Reset();
                else
                    now += TStopwatch::Duration{step.toLongLong()};
            }
            const char* state = QList{"empty", "running", "held"}[int(watch.State())];
            QCOMPARE(QString("%1: %2 %3 %4")
                         .arg(script, state, TStopwatch::Text(watch.Elapsed()).c_str())
                         .arg(watch.ElapsedMinutes()),
                     QString("%1: %2").arg(script, expected));
            // The stored record gives the same stopwatch after a restart.
            settings::SaveStopwatch(user, watch.Record());
            QVERIFY(settings::LoadStopwatch(user).Record == watch.Record());
        }
    }

    void unusableValuesAreRemoved() {
        const char* start = settings::StopwatchStartValue;
        const char* held = settings::StopwatchHeldValue;
        const std::int64_t limit = TStopwatch::Limit.count();
        const std::tuple<const char*, RegValue, bool> rows[] = {
            {held, Milliseconds(limit), true}, {held, Milliseconds(limit + 1), false},
            {held, Milliseconds(-1), false},   {start, Milliseconds(-1), false}, // before 1970
            {held, RegValue::Dword(5), false}, {start, RegValue::String("1000"), false},
        };
        TUserManager user("anna", IgnoreWarning);
        user.Valid = true;
        for (const auto& [name, value, usable] : rows) {
            user.UpdateUserKey([&](settings::RegKey& key) {
                key.DeleteValue(start);
                key.DeleteValue(held);
                return key.SetValue(name, value);
            });
            const settings::StoredStopwatch stored = settings::LoadStopwatch(user);
            QCOMPARE(stored.Invalid, !usable);
            QCOMPARE(stored.Record.State, usable ? State::Held : State::Empty);
            QVERIFY(!settings::LoadStopwatch(user).Invalid); // removed: one warning only
        }
        // Nothing is written once the user's settings are deleted.
        user.Valid = false;
        settings::SaveStopwatch(user, {State::Held, {}, TStopwatch::Duration{5000}});
        QCOMPARE(settings::LoadStopwatch(user).Record.State, State::Empty);
    }
};

QTEST_GUILESS_MAIN(StopwatchTest)
#include "tst_stopwatch.moc"
