// mvd: the command-line tool for Mavrolin databases (list, add, merge, check, export, import,
// stats, report, versions, restore).
#include "cli/Arguments.h"
#include "cli/Verbs.h"
#include "cli/Versions.h"
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
        const Verb& verb = std::get<Verb>(parsed);
        switch (verb.kind) {
        case VerbKind::Help:
            std::cout << HelpText(verb.helpTopic) << std::flush;
            return std::cout ? 0 : 1;
        case VerbKind::Version:
            std::cout << VersionText() << std::flush;
            return std::cout ? 0 : 1;
        case VerbKind::List:
            return RunList(verb, std::cout, std::cerr);
        case VerbKind::Add:
            return RunAdd(verb, std::cout, std::cerr);
        case VerbKind::Merge:
            return RunMerge(verb, std::cout, std::cerr);
        case VerbKind::Check:
            return RunCheck(verb, std::cout, std::cerr);
        case VerbKind::Export:
            return RunExport(verb, std::cout, std::cerr);
        case VerbKind::Import:
            return RunImport(verb, std::cout, std::cerr);
        case VerbKind::Stats:
            return RunStats(verb, std::cout, std::cerr);
        case VerbKind::Report:
            return RunReport(verb, std::cout, std::cerr);
        case VerbKind::Versions:
            return RunVersions(verb, std::cout, std::cerr);
        case VerbKind::Restore:
            return RunRestore(verb, std::cout, std::cerr);
        }
    } catch (const std::exception& e) {
        // Whatever the core raises outside a load (e.g. lack of memory) is
        // reported like the program's general error report does.
        std::cerr << GeneralReportText(e.what()) << '\n';
        return 1;
    }
    return 1;
}
