#pragma once

#include <cstdint>
#include <string>

// What the figures are grouped by and which measure orders them. The German
// names are the program's own texts, in Windows-1252 bytes like every text of
// the data core.
namespace analysis {

enum class Grouping : std::uint8_t { Language, Category, Project, Month, Weekday };
enum class Measure : std::uint8_t { Count, Minutes };

// "Sprache", "Kategorie", "Projekt", "Monat", "Wochentag".
const char* GroupingCaption(Grouping grouping);
// "Anzahl", "Aufwand".
const char* MeasureCaption(Measure measure);

// Group names that do not come from a value list.
extern const char* const NoDateLabel; // "ohne Datum": the date is no calendar day
extern const char* const RestLabel;   // "übrige": the bar of every group beyond the largest
// "Montag" .. "Sonntag" for 0 .. 6.
const char* WeekdayName(int mondayFirst);

} // namespace analysis
