#include "app/CommandLine.h"

#include <string_view>

namespace {

std::string Quoted(std::string_view text) {
    return "\u201E" + std::string(text) + "\u201C";
}

// Qt's own options, which QApplication takes out of the argument list later.
// Qt accepts them with one dash or two.
constexpr std::string_view QtValueOptions[] = {
    "platform",
    "platformpluginpath",
    "platformtheme",
    "plugin",
    "qwindowgeometry",
    "geometry",
    "qwindowtitle",
    "title",
    "qwindowicon",
    "icon",
    "session",
    "style",
    "stylesheet",
    "display",
    "name",
    "visual",
};
constexpr std::string_view QtFlagOptions[] = {
    "reverse", "widgetcount", "testability", "sync", "nograb", "dograb", "cmap",
};
// Of the value options, these also take their value as "-option=value".
constexpr std::string_view QtJoinedValueOptions[] = {"style", "stylesheet", "qmljsdebugger"};

template <std::size_t N> bool IsOneOf(std::string_view name, const std::string_view (&names)[N]) {
    for (std::string_view candidate : names)
        if (name == candidate)
            return true;
    return false;
}

CommandLine Failure(std::string error) {
    CommandLine result;
    result.RequestedAction = CommandLine::Action::UsageError;
    result.Error = std::move(error);
    return result;
}

} // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv) {
    CommandLine result;
    bool haveFileName = false;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool isOption = !optionsEnded && arg.size() > 1 && arg[0] == '-';
        if (!isOption) {
            if (haveFileName)
                return Failure("\u00DCberz\u00E4hliges Argument " + Quoted(arg) + ".");
            if (arg.empty())
                return Failure("Der Dateiname ist leer.");
            result.FileName = arg;
            haveFileName = true;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        // A usage error anywhere wins, then --help, then --version.
        if (arg == "--help" || arg == "-h") {
            result.RequestedAction = CommandLine::Action::Help;
            continue;
        }
        if (arg == "--version") {
            if (result.RequestedAction != CommandLine::Action::Help)
                result.RequestedAction = CommandLine::Action::Version;
            continue;
        }
        std::string_view name = arg.substr(arg.rfind("--", 0) == 0 ? 2 : 1);
        if (const auto eq = name.find('='); eq != std::string_view::npos) {
            if (IsOneOf(name.substr(0, eq), QtJoinedValueOptions))
                continue;
        } else if (IsOneOf(name, QtFlagOptions)) {
            continue;
        } else if (IsOneOf(name, QtValueOptions)) {
            if (i + 1 >= argc)
                return Failure("Der Option " + Quoted(arg) + " fehlt ihr Wert.");
            ++i;
            continue;
        }
        return Failure("Unbekannte Option " + Quoted(arg) + ".");
    }
    return result;
}

std::string HelpText() {
    return "mavrolin \u2013 das Logbuch f\u00FCr Programmierfehler\n"
           "\n"
           "Aufruf:\n"
           "  mavrolin [DATEI]\n"
           "      \u00F6ffnet nach dem Login das Hauptfenster, mit der Datenbank DATEI\n"
           "      statt der zuletzt benutzten. L\u00E4sst sich DATEI nicht laden, meldet\n"
           "      das Fenster den Fehler und beginnt mit einer leeren Datenbank; eine\n"
           "      DATEI, die es noch nicht gibt, legt \u201EDatenbank sichern\u201C an.\n"
           "  mavrolin --help\n"
           "      zeigt diese Hilfe.\n"
           "  mavrolin --version\n"
           "      zeigt die Versionsnummer.\n"
           "\n"
           "Dazu versteht mavrolin die \u00FCblichen Qt-Optionen, etwa -style NAME\n"
           "oder -platform NAME. Nach -- gilt auch ein Argument, das mit - beginnt,\n"
           "als Dateiname.\n"
           "Datenbanken lassen sich auch ohne Fenster bearbeiten: siehe mvd --help.\n"
           "\n"
           "Exit-Status: 0 Erfolg, 1 Login oder Programmstart gescheitert,\n"
           "2 Aufruffehler.\n";
}

std::string VersionText() {
    return "Mavrolin " MAVROLIN_VERSION "\n";
}

std::string UsageErrorText(const std::string& error) {
    return "mavrolin: " + error + "\nHilfe: mavrolin --help\n";
}
