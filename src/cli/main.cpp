// mvd: the command-line tool for Mavrolin databases (list, add, merge, check, export, import,
// stats).
#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "core/Errors.h"

#include <exception>
#include <iostream>
#include <variant>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    try {
        std::vector<std::string> args(argv + 1, argv + argc);
        auto parsed = ParseArguments(args);
        if (const auto* usage = std::get_if<UsageError>(&parsed)) {
            std::cerr << "mvd: " << usage->message << '\n' << "Hilfe: mvd --help\n";
            return 2;
        }
        const Command& command = std::get<Command>(parsed);
        switch (command.kind) {
        case CommandKind::Help:
            std::cout << HelpText(command.helpTopic) << std::flush;
            return std::cout ? 0 : 1;
        case CommandKind::Version:
            std::cout << VersionText() << std::flush;
            return std::cout ? 0 : 1;
        case CommandKind::List:
            return RunList(command, std::cout, std::cerr);
        case CommandKind::Add:
            return RunAdd(command, std::cout, std::cerr);
        case CommandKind::Merge:
            return RunMerge(command, std::cout, std::cerr);
        case CommandKind::Check:
            return RunCheck(command, std::cout, std::cerr);
        case CommandKind::Export:
            return RunExport(command, std::cout, std::cerr);
        case CommandKind::Import:
            return RunImport(command, std::cout, std::cerr);
        case CommandKind::Stats:
            return RunStats(command, std::cout, std::cerr);
        }
    } catch (const std::exception& e) {
        // Whatever the core raises outside a load (e.g. lack of memory) is
        // reported like the program's general error report does.
        std::cerr << GeneralReportText(e.what()) << '\n';
        return 1;
    }
    return 1;
}
