// Test helper: a second instance that holds the settings store's lock.
// Usage: settings_lock_holder <store file> <hold ms> <value name>
// Inside one locked update it prints "locked", waits, then adds the dword
// value <value name> = 1 to HKEY_CURRENT_USER\Software\Holder.

#include "settings/SettingsStore.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <thread>

int main(int argc, char** argv) {
    if (argc != 4)
        return 2;
    try {
        settings::SettingsStore store(QString::fromLocal8Bit(argv[1]));
        store.Update([&](settings::RegKey& root) {
            std::puts("locked");
            std::fflush(stdout);
            std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[2])));
            root.CreatePath({QStringLiteral("Software"), QStringLiteral("Holder")})
                ->SetValue(QString::fromLocal8Bit(argv[3]), settings::RegValue::Dword(1));
            return true;
        });
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
