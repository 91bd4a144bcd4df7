#include "cli/Arguments.h"

#include "core/Cp1252.h"
#include "core/DateUtil.h"

#include <charconv>
#include <map>
#include <optional>
#include <utility>

namespace {

std::string Quoted(const std::string& text) {
    return "\u201E" + text + "\u201C";
}

UsageError Error(const std::string& message) {
    return UsageError{message};
}

// The value options of `add`, with whether each is required.
struct AddOption {
    const char* name;
    bool required;
};
constexpr AddOption AddOptions[] = {
    {"--language", true}, {"--category", true}, {"--project", true},
    {"--date", true},     {"--minutes", true},  {"--description", false},
};

constexpr const char* ExportOptions[] = {"--format", "--delimiter", "--output"};
constexpr const char* StatsOptions[] = {"--by", "--measure"};
// Options without a value.
constexpr const char* RestoreFlags[] = {"--entries-only"};

bool IsFlag(VerbKind kind, const std::string& name) {
    if (kind == VerbKind::Restore)
        for (const char* flag : RestoreFlags)
            if (name == flag)
                return true;
    return false;
}

bool AcceptsOption(VerbKind kind, const std::string& name) {
    if (IsFlag(kind, name))
        return true;
    if (kind == VerbKind::Add)
        for (const AddOption& option : AddOptions)
            if (name == option.name)
                return true;
    if (kind == VerbKind::Export)
        for (const char* option : ExportOptions)
            if (name == option)
                return true;
    if (kind == VerbKind::Stats)
        for (const char* option : StatsOptions)
            if (name == option)
                return true;
    if (kind == VerbKind::Report)
        return IsReportOption(name);
    return false;
}

bool EndsWithXlsx(const std::string& name) {
    if (name.size() < 5)
        return false;
    std::string suffix = name.substr(name.size() - 5);
    for (char& c : suffix)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return suffix == ".xlsx";
}

std::variant<Verb, UsageError> BuildExport(Verb verb,
                                           const std::map<std::string, std::string>& values) {
    ExportSettings& settings = verb.exported;
    if (auto output = values.find("--output"); output != values.end()) {
        if (output->second.empty())
            return Error("Der Name der Ausgabedatei ist leer.");
        settings.output = output->second;
    }
    // Without --format, an output named *.xlsx asks for a workbook.
    auto format = values.find("--format");
    if (format == values.end())
        settings.format = EndsWithXlsx(settings.output) ? ExportFormat::Xlsx : ExportFormat::Csv;
    else if (format->second == "csv")
        settings.format = ExportFormat::Csv;
    else if (format->second == "xlsx")
        settings.format = ExportFormat::Xlsx;
    else
        return Error("Unbekanntes Format " + Quoted(format->second) +
                     " (erwartet: csv oder xlsx).");

    if (auto delimiter = values.find("--delimiter"); delimiter != values.end()) {
        const std::string& value = delimiter->second;
        if (settings.format != ExportFormat::Csv)
            return Error(Quoted("--delimiter") + " gilt nur f\u00FCr CSV.");
        if (value == ";" || value == ",")
            settings.delimiter = value.front();
        else if (value == "tab" || value == "\t")
            settings.delimiter = '\t';
        else
            return Error("Unbekanntes Trennzeichen " + Quoted(value) +
                         " (erwartet: ';', ',' oder tab).");
    }
    if (settings.format == ExportFormat::Xlsx && settings.output.empty())
        return Error("Eine Excel-Arbeitsmappe braucht eine Ausgabedatei (--output DATEI).");
    return verb;
}

std::variant<Verb, UsageError> BuildStats(Verb verb,
                                          const std::map<std::string, std::string>& values) {
    using analysis::Grouping;
    constexpr std::pair<const char*, Grouping> Groupings[] = {{"language", Grouping::Language},
                                                              {"category", Grouping::Category},
                                                              {"project", Grouping::Project},
                                                              {"month", Grouping::Month},
                                                              {"weekday", Grouping::Weekday}};
    const auto by = values.find("--by");
    if (by == values.end())
        return Error("Die Option " + Quoted("--by") + " fehlt.");
    bool known = false;
    for (const auto& [name, grouping] : Groupings)
        if (by->second == name) {
            verb.stats.grouping = grouping;
            known = true;
        }
    if (!known)
        return Error("Unbekannte Gruppierung " + Quoted(by->second) +
                     " (erwartet: language, category, project, month oder weekday).");
    if (const auto measure = values.find("--measure"); measure != values.end()) {
        if (measure->second == "count")
            verb.stats.measure = analysis::Measure::Count;
        else if (measure->second == "minutes")
            verb.stats.measure = analysis::Measure::Minutes;
        else
            return Error("Unbekanntes Ma\u00DF " + Quoted(measure->second) +
                         " (erwartet: count oder minutes).");
    }
    return verb;
}

constexpr std::pair<const char*, VerbKind> VerbNames[] = {
    {"list", VerbKind::List},       {"add", VerbKind::Add},       {"merge", VerbKind::Merge},
    {"check", VerbKind::Check},     {"export", VerbKind::Export}, {"import", VerbKind::Import},
    {"stats", VerbKind::Stats},     {"report", VerbKind::Report}, {"versions", VerbKind::Versions},
    {"restore", VerbKind::Restore},
};

std::optional<VerbKind> KindOf(const std::string& name) {
    for (const auto& [known, kind] : VerbNames)
        if (name == known)
            return kind;
    return std::nullopt;
}

// Only plain decimal digits: no sign, no blanks, no overflow.
std::optional<std::uint32_t> ParseMinutes(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    std::uint32_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::variant<std::string, UsageError> ToDatabaseText(const std::string& option,
                                                     const std::string& utf8) {
    std::optional<std::string> bytes = cp1252::FromUtf8(utf8);
    if (!bytes)
        return Error("Der Wert von " + Quoted(option) +
                     " enth\u00E4lt Zeichen, die eine Mavrolin-Datenbank nicht speichern "
                     "kann (nur Windows-1252 ist m\u00F6glich).");
    return *bytes;
}

std::variant<Verb, UsageError> BuildAdd(Verb verb,
                                        const std::map<std::string, std::string>& values) {
    for (const AddOption& option : AddOptions)
        if (option.required && values.find(option.name) == values.end())
            return Error("Die Option " + Quoted(option.name) + " fehlt.");

    std::string* targets[] = {&verb.entry.Language, &verb.entry.ErrorType, &verb.entry.Project,
                              &verb.entry.Description};
    const char* names[] = {"--language", "--category", "--project", "--description"};
    for (std::size_t i = 0; i < 4; ++i) {
        auto found = values.find(names[i]);
        if (found == values.end())
            continue;
        auto converted = ToDatabaseText(names[i], found->second);
        if (auto* error = std::get_if<UsageError>(&converted))
            return *error;
        *targets[i] = std::get<std::string>(converted);
    }

    const std::string& dateText = values.at("--date");
    std::optional<CivilDate> date = ParseDate(dateText);
    if (!date)
        return Error("Ung\u00FCltiges Datum " + Quoted(dateText) + " (erwartet: TT.MM.JJJJ).");
    verb.entry.Date = EncodeDate(*date);

    const std::string& minutesText = values.at("--minutes");
    std::optional<std::uint32_t> minutes = ParseMinutes(minutesText);
    if (!minutes)
        return Error("Ung\u00FCltige Minutenzahl " + Quoted(minutesText) +
                     " (erwartet: eine ganze Zahl von 0 bis 4294967295).");
    verb.entry.TimeNeeded = *minutes;
    return verb;
}

} // namespace

std::variant<Verb, UsageError> ParseArguments(const std::vector<std::string>& args) {
    if (args.empty())
        return Error("Es wurde kein Befehl angegeben.");

    const std::string& name = args.front();
    Verb verb;
    if (name == "--help" || name == "-h" || name == "--version") {
        if (args.size() > 1)
            return Error(Quoted(name) + " erwartet keine weiteren Argumente.");
        verb.kind = name == "--version" ? VerbKind::Version : VerbKind::Help;
        return verb;
    }
    if (name == "help") {
        // "mvd help" alone is the whole help, "mvd help VERB" that of one verb.
        verb.kind = VerbKind::Help;
        if (args.size() > 2)
            return Error(Quoted(name) + " erwartet h\u00F6chstens einen Befehl.");
        if (args.size() == 2) {
            if (!KindOf(args[1]))
                return Error("Unbekannter Befehl " + Quoted(args[1]) + ".");
            verb.helpTopic = args[1];
        }
        return verb;
    }
    const std::optional<VerbKind> kind = KindOf(name);
    if (!kind)
        return Error("Unbekannter Befehl " + Quoted(name) + ".");
    verb.kind = *kind;
    // "mvd VERB ... --help" shows the help of VERB, whatever else is there.
    for (std::size_t i = 1; i < args.size() && args[i] != "--"; ++i)
        if (args[i] == "--help" || args[i] == "-h") {
            verb.kind = VerbKind::Help;
            verb.helpTopic = name;
            return verb;
        }

    // Positional arguments and, for `add`, `export` and `stats`, value options ("--x value" or
    // "--x=value"), for `restore` a flag; after "--" everything is positional.
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string option = arg;
        std::optional<std::string> value;
        if (std::size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            option = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        if (!AcceptsOption(verb.kind, option))
            return Error("Unbekannte Option " + Quoted(option) + " f\u00FCr " + Quoted(name) + ".");
        if (values.count(option) != 0)
            return Error("Die Option " + Quoted(option) + " ist mehrfach angegeben.");
        if (IsFlag(verb.kind, option)) {
            if (value)
                return Error("Die Option " + Quoted(option) + " erwartet keinen Wert.");
            value = std::string();
        }
        if (!value) {
            if (i + 1 >= args.size())
                return Error("Der Option " + Quoted(option) + " fehlt ihr Wert.");
            value = args[++i];
        }
        values.emplace(option, *value);
    }

    if (positional.empty())
        return Error(Quoted(name) + " braucht eine Datenbankdatei.");
    verb.file = positional.front();
    positional.erase(positional.begin());
    if (verb.file.empty())
        return Error("Der Name der Datenbankdatei ist leer.");
    for (const std::string& source : positional)
        if ((verb.kind == VerbKind::Merge || verb.kind == VerbKind::Import) && source.empty())
            return Error("Der Name einer Quelldatei ist leer.");

    switch (verb.kind) {
    case VerbKind::Merge:
        if (positional.empty())
            return Error(Quoted(name) + " braucht mindestens eine Quelldatei.");
        verb.sources = std::move(positional);
        return verb;
    case VerbKind::Import:
        if (positional.empty())
            return Error(Quoted(name) + " braucht mindestens eine CSV-Datei.");
        verb.sources = std::move(positional);
        return verb;
    case VerbKind::Export:
        if (!positional.empty())
            return Error("\u00DCberz\u00E4hliges Argument " + Quoted(positional.front()) + ".");
        return BuildExport(std::move(verb), values);
    case VerbKind::Add:
        if (!positional.empty())
            return Error("\u00DCberz\u00E4hliges Argument " + Quoted(positional.front()) + ".");
        return BuildAdd(std::move(verb), values);
    case VerbKind::Stats:
        if (!positional.empty())
            return Error("\u00DCberz\u00E4hliges Argument " + Quoted(positional.front()) + ".");
        return BuildStats(std::move(verb), values);
    case VerbKind::Report:
        if (!positional.empty())
            return Error("\u00DCberz\u00E4hliges Argument " + Quoted(positional.front()) + ".");
        return BuildReport(std::move(verb), values, LocalToday());
    case VerbKind::Restore:
        if (positional.empty() || positional.front().empty())
            return Error(Quoted(name) + " braucht eine Version (wie " + Quoted("mvd versions") +
                         " sie nennt).");
        if (positional.size() > 1)
            return Error("\u00DCberz\u00E4hliges Argument " + Quoted(positional[1]) + ".");
        verb.version = positional.front();
        verb.entriesOnly = values.count("--entries-only") != 0;
        return verb;
    default:
        if (!positional.empty())
            return Error("\u00DCberz\u00E4hliges Argument " + Quoted(positional.front()) + ".");
        return verb;
    }
}

namespace {

// The help of each verb, in the order of "mvd --help".
struct VerbHelp {
    const char* name;
    const char* text;
};
constexpr VerbHelp VerbHelps[] = {
    {"list", "  mvd list DATEI\n"
             "      gibt die Eintr\u00E4ge als CSV aus (UTF-8, Kopfzeile\n"
             "      ID,Sprache,Kategorie,Projekt,Datum,Aufwand,Beschreibung).\n"},
    {"add", "  mvd add DATEI --language L --category K --project P --date TT.MM.JJJJ\n"
            "          --minutes N [--description B]\n"
            "      f\u00FCgt einen Eintrag hinzu und sichert DATEI; eine fehlende DATEI\n"
            "      wird als neue Datenbank angelegt.\n"},
    {"merge", "  mvd merge DATEI QUELLE...\n"
              "      \u00FCbernimmt die Eintr\u00E4ge der QUELLEn in DATEI und sichert DATEI,\n"
              "      wenn etwas hinzukam.\n"},
    {"check", "  mvd check DATEI\n"
              "      l\u00E4dt DATEI und meldet Eintr\u00E4ge, \u00FCbersprungene Doppelte und\n"
              "      Ladefehler.\n"},
    {"export", "  mvd export DATEI [--format csv|xlsx] [--delimiter ';'|','|tab]\n"
               "          [--output AUSGABE]\n"
               "      schreibt alle Eintr\u00E4ge als CSV (UTF-8 mit BOM, Semikolon, Kopfzeile\n"
               "      Sprache;Kategorie;Projekt;Datum;Aufwand;Beschreibung) oder als\n"
               "      Excel-Arbeitsmappe; CSV ohne AUSGABE auf die Standardausgabe. Eine\n"
               "      AUSGABE auf .xlsx w\u00E4hlt ohne --format die Arbeitsmappe.\n"},
    {"import", "  mvd import DATEI CSV...\n"
               "      \u00FCbernimmt die Zeilen der CSV-Dateien in DATEI (doppelte werden\n"
               "      \u00FCbersprungen, fehlerhafte mit Zeilennummer gemeldet) und sichert\n"
               "      DATEI; eine fehlende DATEI wird als neue Datenbank angelegt.\n"},
    {"stats", "  mvd stats DATEI --by language|category|project|month|weekday\n"
              "          [--measure count|minutes]\n"
              "      gibt die Auswertung als CSV aus (wie export: UTF-8 mit BOM, Semikolon):\n"
              "      je Gruppe Anzahl, Anteil, kumulierter Anteil, Aufwand gesamt (h:mm),\n"
              "      Anteil, Mittel und Median (Minuten), nach dem Ma\u00DF absteigend\n"
              "      (Vorgabe: count).\n"},
    {"report", "  mvd report DATEI [--period last-month|this-month|last-quarter|this-quarter|\n"
               "          last-year|this-year] [--from TT.MM.JJJJ] [--to TT.MM.JJJJ]\n"
               "          --output BERICHT.pdf|BERICHT.html\n"
               "      schreibt den Bericht eines Zeitraums (Vorgabe: letzter Monat) als PDF\n"
               "      oder HTML: Summen im Vergleich zum Zeitraum davor, Pareto nach\n"
               "      Kategorie, Sprache und Projekt, Monatsverlauf, die teuersten\n"
               "      Eintr\u00E4ge und neue Werte.\n"},
    {"versions", "  mvd versions DATEI\n"
                 "      listet die aufbewahrten \u00E4lteren Versionen von DATEI, die neueste\n"
                 "      zuerst: Version, Datum, Eintr\u00E4ge (oder \u201Enicht lesbar\u201C), "
                 "Gr\u00F6\u00DFe.\n"},
    {"restore", "  mvd restore DATEI VERSION [--entries-only]\n"
                "      ersetzt DATEI durch die VERSION (die bisherige DATEI wird selbst als\n"
                "      Version aufbewahrt); mit --entries-only werden nur die Eintr\u00E4ge der\n"
                "      VERSION, die DATEI fehlen, \u00FCbernommen und DATEI gesichert.\n"},
};

constexpr const char* OptionsNote =
    "Optionen d\u00FCrfen auch als --option=WERT stehen; nach -- gilt alles als\n"
    "Dateiname.\n";

} // namespace

std::string HelpText(const std::string& verb) {
    for (const VerbHelp& help : VerbHelps)
        if (verb == help.name)
            return std::string("Aufruf:\n") + help.text + "\n" + OptionsNote +
                   "Mehr dazu: man mvd\n";
    std::string text = "mvd \u2013 Mavrolin-Datenbanken (.mvd) auf der Kommandozeile\n"
                       "\n"
                       "Aufruf:\n";
    for (const VerbHelp& help : VerbHelps)
        text += help.text;
    text += "  mvd help [BEFEHL], mvd BEFEHL --help\n"
            "      zeigt diese Hilfe oder die eines Befehls.\n"
            "  mvd --version\n"
            "      zeigt die Versionsnummer.\n"
            "\n";
    text += OptionsNote;
    text += "\n"
            "Exit-Status: 0 Erfolg, 1 die Datenbank hat etwas abgelehnt, eine CSV-Zeile\n"
            "war fehlerhaft oder ein Lade-, Speicher- oder Ausgabefehler trat auf,\n"
            "2 Aufruffehler.\n";
    return text;
}

std::string VersionText() {
    return "mvd (Mavrolin) " MAVROLIN_VERSION "\n";
}
