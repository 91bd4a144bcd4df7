#pragma once

#include "cli/Arguments.h"

#include <iosfwd>

// The commands of `mvd`. Each returns the exit status: 0 success, 1 when
// the database refused something or a load, save or output failed. Messages of
// the data core go to `err` exactly as the program's windows show them.
int RunList(const Command& command, std::ostream& out, std::ostream& err);
int RunAdd(const Command& command, std::ostream& out, std::ostream& err);
int RunMerge(const Command& command, std::ostream& out, std::ostream& err);
int RunCheck(const Command& command, std::ostream& out, std::ostream& err);
int RunExport(const Command& command, std::ostream& out, std::ostream& err);
int RunImport(const Command& command, std::ostream& out, std::ostream& err);
int RunStats(const Command& command, std::ostream& out, std::ostream& err);
int RunReport(const Command& command, std::ostream& out, std::ostream& err);
