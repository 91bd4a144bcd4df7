#pragma once

#include "cli/Arguments.h"

#include <iosfwd>

// mvd and the older versions of a database: `versions` lists them, `restore`
// brings one back; the saves of every command keep them (DatabaseSession).
int RunVersions(const Verb& verb, std::ostream& out, std::ostream& err);
int RunRestore(const Verb& verb, std::ostream& out, std::ostream& err);
