#include "analysis/Grouping.h"

namespace analysis {

const char* const NoDateLabel = "ohne Datum";
const char* const RestLabel = "\xFC"
                              "brige";

const char* GroupingCaption(Grouping grouping) {
    switch (grouping) {
    case Grouping::Language:
        return "Sprache";
    case Grouping::Category:
        return "Kategorie";
    case Grouping::Project:
        return "Projekt";
    case Grouping::Month:
        return "Monat";
    case Grouping::Weekday:
        return "Wochentag";
    }
    return "";
}

const char* MeasureCaption(Measure measure) {
    return measure == Measure::Count ? "Anzahl" : "Aufwand";
}

const char* WeekdayName(int mondayFirst) {
    static constexpr const char* kNames[] = {"Montag",  "Dienstag", "Mittwoch", "Donnerstag",
                                             "Freitag", "Samstag",  "Sonntag"};
    return mondayFirst >= 0 && mondayFirst < 7 ? kNames[mondayFirst] : "";
}

} // namespace analysis
