#include "cli/Interruption.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t received = 0;

void Note(int signal) {
    received = signal;
}

constexpr int Signals[] = {SIGINT, SIGTERM};

} // namespace

Interruption::Interruption() {
    struct sigaction action {};
    action.sa_handler = Note;
    action.sa_flags = static_cast<int>(SA_RESETHAND); // the second signal finds the default again
    sigemptyset(&action.sa_mask);
    for (int signal : Signals)
        sigaction(signal, &action, nullptr);
}

Interruption::~Interruption() {
    for (int signal : Signals)
        std::signal(signal, SIG_DFL);
}

int Interruption::Signal() {
    return received;
}
