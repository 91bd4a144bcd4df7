#pragma once

// While an Interruption lives, SIGINT (Ctrl+C) and SIGTERM do not end mvd at
// once but are noted, so that a long export or import can stop cleanly: an
// export leaves no file, an import saves nothing. A second signal ends mvd as
// usual.
class Interruption {
public:
    Interruption();
    ~Interruption(); // the signals end mvd again
    Interruption(const Interruption&) = delete;
    Interruption& operator=(const Interruption&) = delete;

    // The signal that came, or 0.
    [[nodiscard]] static int Signal();
    // The exit status of a run that a signal stopped (128 + its number).
    [[nodiscard]] static int ExitStatus() { return 128 + Signal(); }
};
