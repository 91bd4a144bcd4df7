#pragma once

#include "settings/UserManager.h"

#include <string>

namespace settings {

// Puts the settings of a first start in place and stores them: the layout
// record that later starts restore, the database's name, "Fensterinhalt
// speichern" on and the other two options off. The layout is stored this
// once; from then on only when the user asks for it.
void StoreFirstStart(TUserManager& user,
                     const std::array<std::uint8_t, TUserManager::ConfigurationSize>& layout,
                     const std::string& dataBaseName);

} // namespace settings
