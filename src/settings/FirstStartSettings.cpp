#include "settings/FirstStartSettings.h"

namespace settings {

void StoreFirstStart(TUserManager& user,
                     const std::array<std::uint8_t, TUserManager::ConfigurationSize>& layout,
                     const std::string& dataBaseName) {
    user.Configuration = layout;
    user.DataBaseName = dataBaseName;
    user.SaveOnExit = false;
    user.SaveContents = true;
    user.SaveWindowConfig = true;
    user.Valid = true;
    user.Save();
    user.SaveWindowConfig = false;
    user.Save();
}

} // namespace settings
