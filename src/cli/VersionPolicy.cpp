#include "cli/VersionPolicy.h"

#include "settings/VersionSettings.h"

#include <pwd.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// The name of the account as the login library gives it to the program.
std::string AccountName() {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_name && *found->pw_name)
        return found->pw_name;
    return std::to_string(::getuid());
}

} // namespace

versions::Policy UserVersionPolicy() {
    try {
        return settings::ReadVersionPolicy(AccountName());
    } catch (...) {
        return {};
    }
}
