#pragma once

#include <string>

// The program's command line, read before the application object exists so
// that --help, --version and a usage error need no display.
//
// Besides its own options the program accepts Qt's (-style NAME,
// -platform NAME, ...): they are skipped here and left for QApplication.

struct CommandLine {
    enum class Action {
        Run,        // start the program
        Help,       // print HelpText() and end with 0
        Version,    // print VersionText() and end with 0
        UsageError, // print UsageErrorText(Error) and end with 2
    };
    Action RequestedAction = Action::Run;
    // What was wrong, for Action::UsageError (UTF-8, German).
    std::string Error;
    // The one argument that is neither an option nor an option's value, if
    // any: the database to open. A second one is a usage error.
    std::string FileName;
};

// Reads argv[1..argc-1]; after "--" the next argument is the file name even
// when it starts with "-".
CommandLine ParseCommandLine(int argc, const char* const* argv);

// The texts printed for the actions above (UTF-8, ending with a line break).
std::string HelpText();
std::string VersionText();
std::string UsageErrorText(const std::string& error);
