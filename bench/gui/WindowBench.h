#pragma once

#include <cstdint>
#include <functional>

class TTestForm;

// The set-up shared by the window benchmarks: offscreen unless QT_QPA_PLATFORM
// says otherwise, the application named "Mavrolin", a generated database of
// records(count) records (count: the first argument, 1,000,000 by default)
// loaded into a shown main window. `measure` then runs on that window; its
// result is the program's exit status.
namespace bench {

using RecordsFor = std::function<std::uint32_t(std::uint32_t count)>;
using WindowMeasure = std::function<int(TTestForm& form)>;

int RunWindowBenchmark(int argc, char** argv, const RecordsFor& records,
                       const WindowMeasure& measure);

// Lets the window handle what the last command left queued.
void Settle();

// Starts a new entry and fills in its fields (language "Bench", category
// "Laufzeit", project "Messung", `minutes`), ready for OK.
void FillNewEntry(TTestForm& form, int minutes);

} // namespace bench
