#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

// The user's fix-time stopwatch: empty, running or holding time. It measures
// wall-clock time between start and stop, as a person would (time spent by a
// suspended machine counts), so that its record taken up after a restart of
// the program or the machine gives the right time. No Qt: the window shows it,
// the settings store keeps its record.
class TStopwatch {
public:
    using Duration = std::chrono::milliseconds;
    using Instant = std::chrono::sys_time<Duration>;
    // The source of the present instant; the system's wall clock unless a
    // test gives another.
    using Clock = std::function<Instant()>;
    enum class TState { Empty, Running, Held };

    // What is kept of a stopwatch between runs. Running: `Start` is the instant
    // of the last start and `Held` the time measured before it; Held: `Held`
    // is all the time measured; Empty: both are zero.
    struct TRecord {
        TState State = TState::Empty;
        Instant Start{};
        Duration Held{0};
        bool operator==(const TRecord&) const = default;
    };
    // Stored instants and times beyond this (about 146,000 years after 1970)
    // or before 1970 are refused, so that no sum can overflow.
    static constexpr Duration Limit{std::int64_t{1} << 62};

    explicit TStopwatch(Clock clock = SystemClock);
    static Instant SystemClock();
    void SetClock(Clock clock) { clock_ = std::move(clock); }

    // State and record.
    TState State() const { return record_.State; }
    bool Running() const { return record_.State == TState::Running; }
    bool HoldsTime() const { return record_.State != TState::Empty; }
    const TRecord& Record() const { return record_; }
    // False for a record that no stopwatch can have (see Limit).
    static bool IsUsable(const TRecord& record);
    // Takes up a kept record; an unusable one leaves the stopwatch empty.
    void Restore(const TRecord& record);

    // Commands: start from empty or held (running: nothing changes), stop a
    // running one (otherwise nothing changes), reset to empty.
    void Start();
    void Stop();
    void Reset();

    // The time measured so far. A start instant after the present (the clock
    // was put back) adds nothing until the clock reaches it again, so the time
    // never goes below what was held before that start.
    Duration Elapsed() const;
    // The minutes for a new entry: the whole seconds measured (as shown),
    // rounded up to minutes, at least 1.
    std::int64_t ElapsedMinutes() const;
    // "h:mm:ss", the hours as many digits as they need.
    static std::string Text(Duration elapsed);

private:
    Instant now() const;

    Clock clock_;
    TRecord record_;
};
