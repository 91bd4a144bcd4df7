#include "Arguments.h"

#include "Cp1252.h"
#include "DateUtil.h"

#include <charconv>
#include <map>
#include <optional>

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

bool IsAddOption(const std::string& name) {
    for (const AddOption& option : AddOptions)
        if (name == option.name)
            return true;
    return false;
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

std::variant<Command, UsageError> BuildAdd(Command command,
                                           const std::map<std::string, std::string>& values) {
    for (const AddOption& option : AddOptions)
        if (option.required && values.find(option.name) == values.end())
            return Error("Die Option " + Quoted(option.name) + " fehlt.");

    std::string* targets[] = {&command.entry.language, &command.entry.category,
                              &command.entry.project, &command.entry.description};
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
    command.entry.date = EncodeDate(*date);

    const std::string& minutesText = values.at("--minutes");
    std::optional<std::uint32_t> minutes = ParseMinutes(minutesText);
    if (!minutes)
        return Error("Ung\u00FCltige Minutenzahl " + Quoted(minutesText) +
                     " (erwartet: eine ganze Zahl von 0 bis 4294967295).");
    command.entry.minutes = *minutes;
    return command;
}

} // namespace

std::variant<Command, UsageError> ParseArguments(const std::vector<std::string>& args) {
    if (args.empty())
        return Error("Es wurde kein Befehl angegeben.");

    const std::string& name = args.front();
    Command command;
    if (name == "--help" || name == "-h" || name == "help") {
        if (args.size() > 1)
            return Error(Quoted(name) + " erwartet keine weiteren Argumente.");
        command.kind = CommandKind::Help;
        return command;
    }
    if (name == "list")
        command.kind = CommandKind::List;
    else if (name == "add")
        command.kind = CommandKind::Add;
    else if (name == "merge")
        command.kind = CommandKind::Merge;
    else if (name == "check")
        command.kind = CommandKind::Check;
    else
        return Error("Unbekannter Befehl " + Quoted(name) + ".");

    // Positional arguments and, for `add`, value options ("--x value" or
    // "--x=value"); after "--" everything is positional.
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
        if (command.kind != CommandKind::Add || !IsAddOption(option))
            return Error("Unbekannte Option " + Quoted(option) + " f\u00FCr " + Quoted(name) + ".");
        if (values.count(option) != 0)
            return Error("Die Option " + Quoted(option) + " ist mehrfach angegeben.");
        if (!value) {
            if (i + 1 >= args.size())
                return Error("Der Option " + Quoted(option) + " fehlt ihr Wert.");
            value = args[++i];
        }
        values.emplace(option, *value);
    }

    if (positional.empty())
        return Error(Quoted(name) + " braucht eine Datenbankdatei.");
    command.file = positional.front();
    positional.erase(positional.begin());
    if (command.file.empty())
        return Error("Der Name der Datenbankdatei ist leer.");
    for (const std::string& source : positional)
        if (command.kind == CommandKind::Merge && source.empty())
            return Error("Der Name einer Quelldatei ist leer.");

    switch (command.kind) {
    case CommandKind::Merge:
        if (positional.empty())
            return Error(Quoted(name) + " braucht mindestens eine Quelldatei.");
        command.sources = std::move(positional);
        return command;
    case CommandKind::Add:
        if (!positional.empty())
            return Error("\u00DCberz\u00E4hliges Argument " + Quoted(positional.front()) + ".");
        return BuildAdd(std::move(command), values);
    default:
        if (!positional.empty())
            return Error("\u00DCberz\u00E4hliges Argument " + Quoted(positional.front()) + ".");
        return command;
    }
}

const char* HelpText() {
    return "mvd \u2013 Mavrolin-Datenbanken (.mvd) auf der Kommandozeile\n"
           "\n"
           "Aufruf:\n"
           "  mvd list DATEI\n"
           "      gibt die Eintr\u00E4ge als CSV aus (UTF-8, Kopfzeile\n"
           "      ID,Sprache,Kategorie,Projekt,Datum,Aufwand,Beschreibung).\n"
           "  mvd add DATEI --language L --category K --project P --date TT.MM.JJJJ\n"
           "          --minutes N [--description B]\n"
           "      f\u00FCgt einen Eintrag hinzu und sichert DATEI; eine fehlende DATEI\n"
           "      wird als neue Datenbank angelegt.\n"
           "  mvd merge DATEI QUELLE...\n"
           "      \u00FCbernimmt die Eintr\u00E4ge der QUELLEn in DATEI und sichert DATEI,\n"
           "      wenn etwas hinzukam.\n"
           "  mvd check DATEI\n"
           "      l\u00E4dt DATEI und meldet Eintr\u00E4ge, \u00FCbersprungene Doppelte und\n"
           "      Ladefehler.\n"
           "  mvd --help\n"
           "      zeigt diese Hilfe.\n"
           "\n"
           "Optionen d\u00FCrfen auch als --option=WERT stehen; nach -- gilt alles als\n"
           "Dateiname.\n"
           "\n"
           "Exit-Status: 0 Erfolg, 1 die Datenbank hat etwas abgelehnt oder ein\n"
           "Lade-, Speicher- oder Ausgabefehler trat auf, 2 Aufruffehler.\n";
}
