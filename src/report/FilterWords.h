#pragma once

#include <QString>

class TDataBase;

// Which entries the main list shows, in words for the head of a printout
// and of a report: the filter's ticks per value list and its AND/OR mode,
// and the quick search.
namespace report {

// "alle Einträge (kein Filter)" when every value is ticked, otherwise e.g.
// "Sprache: C++, Java · Kategorie: alle außer Zeigerfehler · Projekt: alle
// (verknüpft mit UND)".
QString FilterInWords(const TDataBase& database);
// "Suche: „Zeiger null“", or empty without search text.
QString SearchInWords(const QString& search);
// Both, as the report's selection: the filter, then the search after "; ".
QString SelectionInWords(const TDataBase& database, const QString& search);

} // namespace report
