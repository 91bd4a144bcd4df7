#include "report/ReportContent.h"

#include "analysis/GermanNumbers.h"
#include "analysis/TableText.h"
#include "report/QtText.h"

#include <cmath>

namespace report {
namespace {

using analysis::Grouping;

QString Utf8(const std::string& text) {
    return FromUtf8(text);
}

QString Integer(std::uint64_t value) {
    return Utf8(analysis::FormatInteger(value));
}

QString HoursMinutes(std::uint64_t minutes) {
    return Utf8(analysis::FormatHoursMinutes(minutes));
}

QString Decimal(double value) {
    return Utf8(analysis::FormatDecimal(value, 1));
}

QString DayText(std::int64_t day) {
    return Utf8(FormatDate(static_cast<double>(day)));
}

QString Span(const Period& period) {
    if (period.Days() == 0)
        return QStringLiteral("kein Tag");
    if (period.first == period.last)
        return DayText(period.first);
    return DayText(period.first) + QStringLiteral(" \u2013 ") + DayText(period.last);
}

struct GroupWords {
    const char* title;     // "Nach Kategorie"
    const char* one;       // "weitere Kategorie"
    const char* many;      // "weitere Kategorien"
    const char* firstSeen; // "Kategorien"
};

GroupWords WordsOf(Grouping grouping) {
    switch (grouping) {
    case Grouping::Language:
        return {"Nach Sprache", "weitere Sprache", "weitere Sprachen", "Sprachen"};
    case Grouping::Project:
        return {"Nach Projekt", "weiteres Projekt", "weitere Projekte", "Projekte"};
    default:
        return {"Nach Kategorie", "weitere Kategorie", "weitere Kategorien", "Kategorien"};
    }
}

TextTable OverviewTable(const ReportFigures& figures) {
    const Totals& now = figures.current;
    const Totals& before = figures.before;
    TextTable table;
    table.header = {QStringLiteral("Kennzahl"), Utf8(PeriodTitle(figures.period)),
                    QStringLiteral("davor: ") + Utf8(PeriodTitle(figures.previous)),
                    QStringLiteral("Ver\u00E4nderung")};
    table.rightAligned = {false, true, true, true};
    const auto count = [](const Totals& t) { return static_cast<double>(t.entries); };
    const auto minutes = [](const Totals& t) { return static_cast<double>(t.minutes); };
    table.rows.push_back({QStringLiteral("Eintr\u00E4ge"), Integer(now.entries),
                          Integer(before.entries), ChangeText(count(before), count(now))});
    table.rows.push_back({QStringLiteral("Aufwand (h:mm)"), HoursMinutes(now.minutes),
                          HoursMinutes(before.minutes), ChangeText(minutes(before), minutes(now))});
    table.rows.push_back({QStringLiteral("Mittel (Minuten je Eintrag)"), Decimal(now.meanMinutes),
                          Decimal(before.meanMinutes),
                          ChangeText(before.meanMinutes, now.meanMinutes)});
    table.rows.push_back({QStringLiteral("Median (Minuten je Eintrag)"), Decimal(now.medianMinutes),
                          Decimal(before.medianMinutes),
                          ChangeText(before.medianMinutes, now.medianMinutes)});
    return table;
}

Chart TrendChart(const ReportFigures& figures) {
    Chart chart;
    chart.caption =
        QStringLiteral("Aufwand je Monat (h:mm); unter dem Monat die Zahl der Eintr\u00E4ge");
    for (const analysis::MonthPoint& point : figures.trend) {
        ChartBar bar;
        bar.label = QStringLiteral("%1.%2").arg(point.Month, 2, 10, QChar('0')).arg(point.Year);
        bar.valueText = HoursMinutes(point.Minutes);
        bar.note = Integer(point.Count);
        bar.value = static_cast<double>(point.Minutes);
        chart.bars.push_back(bar);
    }
    return chart;
}

ParetoPart ParetoOf(const ParetoFigures& figures) {
    const GroupWords words = WordsOf(figures.grouping);
    const QString group = FromUtf8(analysis::GroupingCaption(figures.grouping));
    ParetoPart part;
    part.title = FromUtf8(words.title);
    part.chart.caption = QStringLiteral("Aufwand je %1 (h:mm), Linie: kumulierter Anteil am "
                                        "Aufwand")
                             .arg(group);
    part.chart.cumulativeLine = true;
    for (const analysis::ParetoBar& source : figures.bars) {
        ChartBar bar;
        bar.label = FromCp1252(source.Group);
        bar.valueText = HoursMinutes(source.Value);
        bar.value = static_cast<double>(source.Value);
        bar.cumulative = source.Cumulative;
        bar.rest = source.Rest;
        part.chart.bars.push_back(bar);
    }
    for (int c = 0; c < analysis::TableColumns; ++c) {
        const auto column = static_cast<analysis::TableColumn>(c);
        part.table.header << FromCp1252(analysis::ColumnCaption(column, figures.grouping));
        part.table.rightAligned.push_back(column != analysis::TableColumn::Group);
    }
    const std::size_t shown = std::min(figures.rows.size(), kTableGroups);
    for (std::size_t r = 0; r < shown; ++r) {
        QStringList cells;
        for (int c = 0; c < analysis::TableColumns; ++c)
            cells << FromCp1252(
                analysis::CellText(figures.rows[r], static_cast<analysis::TableColumn>(c)));
        part.table.rows.push_back(cells);
    }
    if (figures.rows.empty()) {
        part.note = QStringLiteral("Im Zeitraum gibt es keine Eintr\u00E4ge.");
    } else if (shown < figures.rows.size()) {
        // The chart's bar "übrige" holds exactly the groups beyond the table.
        const std::size_t rest = figures.rows.size() - shown;
        const std::uint64_t restMinutes = figures.bars.back().Value;
        const double restShare = 100.0 - figures.rows[shown - 1].Cumulative;
        part.note =
            QStringLiteral("\u2026 und %1 %2 mit %3%4 Aufwand (%5)")
                .arg(Integer(rest), FromUtf8(rest == 1 ? words.one : words.many),
                     rest == 1 ? QString() : QStringLiteral("zusammen "), HoursMinutes(restMinutes),
                     Utf8(analysis::FormatPercent(std::max(0.0, restShare))));
    }
    return part;
}

// The values' names, at most kNamedValues of them and the number of the rest.
QString Joined(const std::vector<std::string>& values) {
    constexpr std::size_t kNamedValues = 40;
    if (values.empty())
        return QStringLiteral("keine");
    QStringList texts;
    for (std::size_t i = 0; i < values.size() && i < kNamedValues; ++i)
        texts << FromCp1252(values[i]);
    QString text = texts.join(QStringLiteral(", "));
    if (values.size() > kNamedValues)
        text += QStringLiteral(" und %1 weitere").arg(Integer(values.size() - kNamedValues));
    return text;
}

} // namespace

QString ChangeText(double before, double now) {
    const std::optional<double> change = ChangePercent(before, now);
    if (!change)
        return QStringLiteral("\u2013");
    const QString amount = Utf8(analysis::FormatPercent(std::fabs(*change)));
    if (amount == QStringLiteral("0,0 %"))
        return QStringLiteral("\u00B1 ") + amount;
    return *change > 0 ? QStringLiteral("\u2191 +") + amount
                       : QStringLiteral("\u2193 \u2212") + amount;
}

ReportContent BuildContent(const ReportFigures& figures, const ReportHeading& heading) {
    ReportContent content;
    const QString periodTitle = Utf8(PeriodTitle(figures.period));
    content.title = QStringLiteral("Fehlerbericht ") + periodTitle;
    content.facts << QStringLiteral("Datenbank: ") + heading.database
                  << QStringLiteral("Zeitraum: ") + Span(figures.period) +
                         QStringLiteral(", verglichen mit ") + Span(figures.previous)
                  << QStringLiteral("Auswahl: ") + heading.selection
                  << QStringLiteral("Erstellt am ") +
                         heading.created.toString(QStringLiteral("dd.MM.yyyy"));
    content.overview = OverviewTable(figures);
    if (figures.undated == 1)
        content.overviewNote = QStringLiteral(
            "1 Eintrag ohne Kalendertag liegt in keinem Zeitraum und fehlt im Bericht.");
    else if (figures.undated > 1)
        content.overviewNote = QStringLiteral("%1 Eintr\u00E4ge ohne Kalendertag liegen in "
                                              "keinem Zeitraum und fehlen im Bericht.")
                                   .arg(Integer(figures.undated));

    const CivilDate last = *DecodeDate(static_cast<double>(figures.trendMonths.last));
    content.trendTitle = QStringLiteral("Monatsverlauf: die letzten 12 Monate bis %1 %2")
                             .arg(FromUtf8(MonthName(last.month)))
                             .arg(last.year);
    content.trend = TrendChart(figures);
    for (std::size_t i = 0; i < figures.pareto.size(); ++i)
        content.pareto[i] = ParetoOf(figures.pareto[i]);

    content.expensiveTitle = QStringLiteral("Die teuersten Eintr\u00E4ge");
    content.expensive.header = {QStringLiteral("Datum"), QStringLiteral("Minuten"),
                                QStringLiteral("Sprache"), QStringLiteral("Kategorie"),
                                QStringLiteral("Projekt")};
    content.expensive.rightAligned = {true, true, false, false, false};
    for (const ExpensiveEntry& entry : figures.expensive) {
        content.expensive.rows.push_back({Utf8(FormatDate(entry.date)), Integer(entry.minutes),
                                          FromCp1252(entry.language), FromCp1252(entry.category),
                                          FromCp1252(entry.project)});
        QString description = FromCp1252(entry.description, true);
        if (entry.descriptionCut)
            description += QChar(0x2026);
        content.expensiveDescriptions << description;
    }

    content.firstSeenTitle = QStringLiteral("Zum ersten Mal im Zeitraum");
    const std::array<const std::vector<std::string>*, 3> seen = {
        &figures.firstSeen.languages, &figures.firstSeen.categories, &figures.firstSeen.projects};
    const std::array<Grouping, 3> groupings = {Grouping::Language, Grouping::Category,
                                               Grouping::Project};
    for (std::size_t i = 0; i < seen.size(); ++i)
        content.firstSeen.emplace_back(FromUtf8(WordsOf(groupings[i]).firstSeen), Joined(*seen[i]));
    content.footer = QStringLiteral("Mavrolin \u00B7 ") + content.title;
    return content;
}

} // namespace report
