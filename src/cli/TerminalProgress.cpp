#include "cli/TerminalProgress.h"

#include "cli/Interruption.h"

#include <cstdio>
#include <unistd.h>

namespace {

constexpr auto QuietStart = std::chrono::milliseconds(500); // short work shows nothing

void Put(const std::string& text) {
    // Standard error is unbuffered; one write keeps the line whole.
    (void)!::write(STDERR_FILENO, text.data(), text.size());
}

} // namespace

TerminalProgress::TerminalProgress(std::string what, bool quiet)
    : what_(std::move(what)), terminal_(!quiet && ::isatty(STDERR_FILENO) == 1),
      start_(std::chrono::steady_clock::now()) {}

TerminalProgress::~TerminalProgress() {
    if (shown_ >= 0)
        Put("\r\033[K");
}

exchange::Progress TerminalProgress::Callback() {
    return [this](std::uint64_t done, std::uint64_t total) { return tell(done, total); };
}

bool TerminalProgress::tell(std::uint64_t done, std::uint64_t total) {
    if (Interruption::Signal() != 0)
        return false;
    if (!terminal_ || std::chrono::steady_clock::now() - start_ < QuietStart)
        return true;
    const int percent = static_cast<int>(done * 100 / (total == 0 ? 1 : total));
    if (percent != shown_) {
        shown_ = percent;
        Put("\r" + what_ + ": " + std::to_string(percent) + " %");
    }
    return true;
}
