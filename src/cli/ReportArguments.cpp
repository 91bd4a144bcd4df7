#include "cli/ReportArguments.h"

#include "cli/Arguments.h"

#include <ctime>
#include <optional>

namespace {

std::string Quoted(const std::string& text) {
    return "\u201E" + text + "\u201C";
}

} // namespace

CivilDate LocalToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return CivilDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

bool IsReportOption(const std::string& name) {
    return name == "--from" || name == "--to" || name == "--period" || name == "--output";
}

std::variant<Verb, UsageError>
BuildReport(Verb verb, const std::map<std::string, std::string>& values, const CivilDate& today) {
    ReportSettings& settings = verb.report;
    const auto output = values.find("--output");
    if (output == values.end())
        return UsageError{"Die Option " + Quoted("--output") + " fehlt."};
    settings.output = output->second;
    const auto format = report::FormatOfFileName(settings.output);
    if (!format)
        return UsageError{"Die Ausgabedatei " + Quoted(settings.output) +
                          " muss auf .pdf oder .html enden."};
    settings.format = *format;

    const auto from = values.find("--from");
    const auto to = values.find("--to");
    const auto period = values.find("--period");
    if (period != values.end()) {
        if (from != values.end() || to != values.end())
            return UsageError{Quoted("--period") + " und " + Quoted("--from") + "/" +
                              Quoted("--to") + " schlie\u00DFen einander aus."};
        const auto kind = report::PeriodFromName(period->second);
        if (!kind)
            return UsageError{"Unbekannter Zeitraum " + Quoted(period->second) +
                              " (erwartet: this-month, last-month, this-quarter, last-quarter, "
                              "this-year oder last-year)."};
        settings.period = report::PeriodOf(*kind, today);
        return verb;
    }
    if (from == values.end() && to == values.end()) {
        settings.period = report::PeriodOf(report::PeriodKind::LastMonth, today);
        return verb;
    }
    // An open start reaches back to the first entry, an open end up to today.
    CivilDate first{1, 1, 1};
    CivilDate last = today;
    for (const auto& [option, day] : {std::pair{from, &first}, std::pair{to, &last}}) {
        if (option == values.end())
            continue;
        const std::optional<CivilDate> parsed = ParseDate(option->second);
        if (!parsed)
            return UsageError{"Ung\u00FCltiges Datum " + Quoted(option->second) +
                              " (erwartet: TT.MM.JJJJ)."};
        *day = *parsed;
    }
    const auto range = report::RangeOf(first, last);
    if (!range)
        return UsageError{"Der Zeitraum endet vor seinem Anfang."};
    settings.period = *range;
    return verb;
}
