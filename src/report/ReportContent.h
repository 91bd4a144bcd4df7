#pragma once

#include "report/ReportFigures.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

// The report in words and numbers, ready to set: the German texts, table
// cells and chart values that the PDF and the HTML page both show, so that
// the two formats cannot differ in what they say.
namespace report {

// What the report is of, beside its period.
struct ReportHeading {
    QString database;  // the database file's name, e.g. "fehler.mvd"
    QString selection; // which entries: SelectionInWords, or "alle Einträge der Datenbank"
    QDate created;     // the day the report is made
};

struct ChartBar {
    QString label;
    QString valueText;        // the value as written above the bar
    QString note;             // a second line under the label, may be empty
    double value = 0.0;       // bar height in the chart's unit
    double cumulative = -1.0; // percent for the Pareto line; below 0 without
    bool rest = false;        // the bar "übrige" of the groups beyond the largest
};

struct Chart {
    QString caption; // what the bars show
    std::vector<ChartBar> bars;
    bool cumulativeLine = false; // a Pareto chart: cumulative percent on a second scale
};

struct TextTable {
    QStringList header;
    std::vector<bool> rightAligned; // per column
    std::vector<QStringList> rows;
};

struct ParetoPart {
    QString title;
    Chart chart;
    TextTable table;
    QString note; // the groups beyond the table, or why there is nothing
};

struct ReportContent {
    QString title;     // "Fehlerbericht Oktober 2026"
    QStringList facts; // database, period, period before, selection, date made
    TextTable overview;
    QString overviewNote; // entries without calendar day, or empty
    QString trendTitle;
    Chart trend;
    std::array<ParetoPart, 3> pareto;
    QString expensiveTitle;
    TextTable expensive;
    QStringList expensiveDescriptions; // one per row of `expensive`, line breaks kept
    QString firstSeenTitle;
    std::vector<std::pair<QString, QString>> firstSeen; // "Sprachen" -> "Rust, Go" or "keine"
    QString footer;                                     // beside the page number
};

// Pareto tables show this many groups (as many as the chart has bars); the
// rest is summed in a note.
constexpr std::size_t kTableGroups = 12;

ReportContent BuildContent(const ReportFigures& figures, const ReportHeading& heading);

// "12,5 % mehr" style change text: "↑ +12,5 %", "↓ −3,0 %", "± 0,0 %", or
// "–" when the period before had nothing to compare with.
QString ChangeText(double before, double now);

} // namespace report
