#pragma once

#include "exchange/Progress.h"

#include <chrono>
#include <string>

// The progress of a long export or import on standard error, when that is a
// terminal and only then: "<what>: 42 %" on one line, rewritten in place
// from half a second after the start, and cleared again at the end. Its
// callback also cancels the work once an Interruption noted a signal.
class TerminalProgress {
public:
    // `quiet`: shows nothing, only cancels (when the terminal shows the
    // output itself).
    explicit TerminalProgress(std::string what, bool quiet = false);
    ~TerminalProgress(); // clears the line
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    // For the exchange functions; valid while this object lives.
    [[nodiscard]] exchange::Progress Callback();

private:
    bool tell(std::uint64_t done, std::uint64_t total);

    std::string what_;
    bool terminal_;
    std::chrono::steady_clock::time_point start_;
    int shown_ = -1; // the percentage on the line, or -1
};
