#pragma once

#include "cli/Arguments.h"

#include <iosfwd>

// The verbs of `mvd`. Each returns the exit status: 0 success, 1 when
// the database refused something or a load, save or output failed. Messages of
// the data core go to `err` exactly as the program's windows show them.
int RunList(const Verb& verb, std::ostream& out, std::ostream& err);
int RunAdd(const Verb& verb, std::ostream& out, std::ostream& err);
int RunMerge(const Verb& verb, std::ostream& out, std::ostream& err);
int RunCheck(const Verb& verb, std::ostream& out, std::ostream& err);
int RunExport(const Verb& verb, std::ostream& out, std::ostream& err);
int RunImport(const Verb& verb, std::ostream& out, std::ostream& err);
int RunStats(const Verb& verb, std::ostream& out, std::ostream& err);
int RunReport(const Verb& verb, std::ostream& out, std::ostream& err);
