#pragma once

#include "analysis/Grouping.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

// The command line of `mvd`, checked and converted: entry texts are already
// Windows-1252 bytes (the database's own encoding), file names stay the bytes
// the shell passed.
enum class CommandKind { Help, Version, List, Add, Merge, Check, Export, Import, Stats };

struct NewEntry {
    std::string language;    // Windows-1252
    std::string category;    // Windows-1252
    std::string project;     // Windows-1252
    std::string description; // Windows-1252
    double date = 0.0;       // a whole day, days since 30 Dec 1899
    std::uint32_t minutes = 0;
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

struct Command {
    CommandKind kind = CommandKind::Help;
    std::string helpTopic;            // Help: the command whose help is asked for, or empty
    std::string file;                 // the database FILE (all but Help and Version)
    std::vector<std::string> sources; // Merge, Import: the SOURCE or CSV files
    NewEntry entry;                   // Add: the entry to add
    ExportSettings exported;          // Export: format and target
    StatsSettings stats;              // Stats: grouping and measure
};

// A command line that cannot be run; `message` is the German text (UTF-8).
struct UsageError {
    std::string message;
};

// Parses the arguments after the program name.
std::variant<Command, UsageError> ParseArguments(const std::vector<std::string>& args);

// The help text printed by `mvd --help` (UTF-8), or with `command` the help
// of that command alone (`mvd help COMMAND`, `mvd COMMAND --help`).
std::string HelpText(const std::string& command = {});
// What `mvd --version` prints.
std::string VersionText();
