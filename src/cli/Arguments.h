#pragma once

#include "analysis/Grouping.h"
#include "cli/ReportArguments.h"
#include "core/DataRecord.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

// The command line of `mvd`, checked and converted: entry texts are already
// Windows-1252 bytes (the database's own encoding), file names stay the bytes
// the shell passed.
enum class VerbKind {
    Help,
    Version,
    List,
    Add,
    Merge,
    Check,
    Export,
    Import,
    Stats,
    Report,
    Versions,
    Restore
};

enum class ExportFormat { Csv, Xlsx };

struct ExportSettings {
    ExportFormat format = ExportFormat::Csv;
    char delimiter = ';';
    std::string output; // empty: CSV to standard output
};

struct StatsSettings {
    analysis::Grouping grouping = analysis::Grouping::Language;
    analysis::Measure measure = analysis::Measure::Count;
};

// What `mvd` is asked to do: the verb (the first argument, "list", "add",
// ...) with what it works on.
struct Verb {
    VerbKind kind = VerbKind::Help;
    std::string helpTopic;            // Help: the verb whose help is asked for, or empty
    std::string file;                 // the database FILE (all but Help and Version)
    std::vector<std::string> sources; // Merge, Import: the SOURCE or CSV files
    TRecordData entry;                // Add: the entry to add (its Date a whole day)
    ExportSettings exported;          // Export: format and target
    StatsSettings stats;              // Stats: grouping and measure
    ReportSettings report;            // Report: period, format and target
    std::string version;              // Restore: the version's name as `versions` lists it
    bool entriesOnly = false;         // Restore: bring back missing entries only
};

// A command line that cannot be run; `message` is the German text (UTF-8).
struct UsageError {
    std::string message;
};

// Parses the arguments after the program name.
std::variant<Verb, UsageError> ParseArguments(const std::vector<std::string>& args);

// The help text printed by `mvd --help` (UTF-8), or with `verb` the help
// of that verb alone (`mvd help VERB`, `mvd VERB --help`).
std::string HelpText(const std::string& verb = {});
// What `mvd --version` prints.
std::string VersionText();
