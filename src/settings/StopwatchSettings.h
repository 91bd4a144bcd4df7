#pragma once

#include "stopwatch/Stopwatch.h"

class TUserManager;

// The stopwatch in the user's key of the settings store, in two values of its
// own that the user's other settings never touch: "stopwatch start" (the
// instant of the last start, milliseconds since 1970 UTC, only while running)
// and "stopwatch held" (the milliseconds measured before that start, or in
// all when held), both 64-bit integers. An empty stopwatch has neither.
namespace settings {

inline constexpr char StopwatchStartValue[] = "stopwatch start";
inline constexpr char StopwatchHeldValue[] = "stopwatch held";
// Shown when the stored values can't be used; they are removed then.
inline constexpr char InvalidStopwatchWarning[] =
    "Die Windows-Registrierdatenbank enthält ungültige Werte für die Stoppuhr. "
    "Die Stoppuhr wird zurückgesetzt.";

struct StoredStopwatch {
    TStopwatch::TRecord Record;
    bool Invalid = false; // values were there but unusable (and are removed)
};

// Reads the stored stopwatch; unusable values are removed (while the user's
// settings are valid) and give an empty record. Throws the registry error
// when the store can't be read.
StoredStopwatch LoadStopwatch(TUserManager& user);
// Writes the record at once (removing the values of an empty one); writes
// nothing while the user's settings are not valid. Throws the registry error.
void SaveStopwatch(TUserManager& user, const TStopwatch::TRecord& record);

} // namespace settings
