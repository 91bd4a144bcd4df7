#include "settings/StopwatchSettings.h"

#include "settings/UserManager.h"

#include <optional>

namespace settings {

namespace {

const QString StartName = QString::fromUtf8(StopwatchStartValue);
const QString HeldName = QString::fromUtf8(StopwatchHeldValue);

// A 64-bit integer value as a signed count; nothing when it is no such value.
std::optional<std::int64_t> Milliseconds(const RegValue& value) {
    if (value.type != RegQword || value.data.size() != 8)
        return std::nullopt;
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | static_cast<unsigned char>(value.data[i]);
    return static_cast<std::int64_t>(bits);
}

} // namespace

StoredStopwatch LoadStopwatch(TUserManager& user) {
    const RegValue* start = nullptr;
    const RegValue* held = nullptr;
    const auto values = user.ReadUserValues();
    for (const auto& [name, value] : values) {
        if (name.compare(StartName, Qt::CaseInsensitive) == 0)
            start = &value;
        else if (name.compare(HeldName, Qt::CaseInsensitive) == 0)
            held = &value;
    }
    StoredStopwatch stored;
    if (!start && !held)
        return stored;
    const auto startMs = start ? Milliseconds(*start) : std::optional<std::int64_t>(0);
    const auto heldMs = held ? Milliseconds(*held) : std::optional<std::int64_t>(0);
    // A start alone is a stopwatch started from empty.
    const TStopwatch::TRecord record{
        start ? TStopwatch::TState::Running : TStopwatch::TState::Held,
        TStopwatch::Instant{TStopwatch::Duration{startMs.value_or(-1)}},
        TStopwatch::Duration{heldMs.value_or(-1)}};
    if (startMs && heldMs && TStopwatch::IsUsable(record)) {
        stored.Record = record;
        return stored;
    }
    stored.Invalid = true;
    SaveStopwatch(user, {});
    return stored;
}

void SaveStopwatch(TUserManager& user, const TStopwatch::TRecord& record) {
    using State = TStopwatch::TState;
    user.UpdateUserKey([&](RegKey& key) {
        if (record.State == State::Empty) {
            const bool startGone = key.DeleteValue(StartName);
            return key.DeleteValue(HeldName) || startGone;
        }
        if (record.State == State::Running)
            key.SetValue(StartName, RegValue::Qword(static_cast<std::uint64_t>(
                                        record.Start.time_since_epoch().count())));
        else
            key.DeleteValue(StartName);
        key.SetValue(HeldName, RegValue::Qword(static_cast<std::uint64_t>(record.Held.count())));
        return true;
    });
}

} // namespace settings
