#pragma once

#include "versions/Keeper.h"

// Whether mvd's saves keep versions, and their size limit, as the user set
// them in the program's options (the settings of the account that runs mvd,
// named as the login library names it); the defaults when nothing is stored.
versions::Policy UserVersionPolicy();
