#include "stopwatch/Stopwatch.h"

#include <algorithm>
#include <cstdio>

TStopwatch::TStopwatch(Clock clock) : clock_(std::move(clock)) {}

TStopwatch::Instant TStopwatch::SystemClock() {
    return std::chrono::time_point_cast<Duration>(std::chrono::system_clock::now());
}

bool TStopwatch::IsUsable(const TRecord& record) {
    const Duration start = record.Start.time_since_epoch();
    const bool heldInRange = record.Held >= Duration::zero() && record.Held <= Limit;
    switch (record.State) {
    case TState::Empty:
        return record.Held == Duration::zero() && start == Duration::zero();
    case TState::Held:
        return heldInRange && start == Duration::zero();
    case TState::Running:
        return heldInRange && start >= Duration::zero() && start <= Limit;
    }
    return false;
}

void TStopwatch::Restore(const TRecord& record) {
    record_ = IsUsable(record) ? record : TRecord{};
}

// The clock's instant within the range that a record may hold: a clock set
// before 1970 counts as 1970.
TStopwatch::Instant TStopwatch::now() const {
    return std::clamp(clock_(), Instant{}, Instant{Limit});
}

void TStopwatch::Start() {
    if (Running())
        return;
    record_ = {TState::Running, now(), record_.Held};
}

void TStopwatch::Stop() {
    if (!Running())
        return;
    record_ = {TState::Held, Instant{}, std::min(Elapsed(), Limit)};
}

void TStopwatch::Reset() {
    record_ = {};
}

TStopwatch::Duration TStopwatch::Elapsed() const {
    if (!Running())
        return record_.Held;
    // Both instants lie after 1970 and before Limit, so nothing overflows.
    const Duration since = now() - record_.Start;
    return record_.Held + std::max(since, Duration::zero());
}

std::int64_t TStopwatch::ElapsedMinutes() const {
    const std::int64_t seconds = std::chrono::floor<std::chrono::seconds>(Elapsed()).count();
    return std::max<std::int64_t>(1, (seconds + 59) / 60);
}

std::string TStopwatch::Text(Duration elapsed) {
    const std::int64_t seconds =
        std::max<std::int64_t>(0, std::chrono::floor<std::chrono::seconds>(elapsed).count());
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return text;
}
