#pragma once

#include "cli/Arguments.h"
#include "versions/Keeper.h"

#include <iosfwd>

// mvd and the older versions of a database: `versions` lists them, `restore`
// brings one back; the saves of every command keep them (DatabaseSession).
int RunVersions(const Verb& verb, std::ostream& out, std::ostream& err);
int RunRestore(const Verb& verb, std::ostream& out, std::ostream& err);

// Whether mvd's saves keep versions, and their size limit, as the user set
// them in the program's options (the settings of the account that runs mvd,
// named as the login library names it); the defaults when nothing is stored.
versions::Policy UserVersionPolicy();
