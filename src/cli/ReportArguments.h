#pragma once

#include "report/Period.h"
#include "report/ReportFile.h"

#include <map>
#include <string>
#include <variant>

struct Verb;
struct UsageError;

// `mvd report FILE [--from TT.MM.JJJJ] [--to TT.MM.JJJJ] [--period NAME]
// --output REPORT.pdf|.html`: the period is settled when the line is parsed,
// from today's date.
struct ReportSettings {
    report::Period period;
    report::ReportFormat format = report::ReportFormat::Pdf;
    std::string output;
};

bool IsReportOption(const std::string& name);
// Today in the local time zone.
CivilDate LocalToday();
std::variant<Verb, UsageError>
BuildReport(Verb verb, const std::map<std::string, std::string>& values, const CivilDate& today);
