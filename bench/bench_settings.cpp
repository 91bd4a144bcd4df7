// The start's settings step with many users in one settings file: each user
// is a key of its own below the program's key, so a start looks its user up
// among all those siblings. Measures TUserManager's Load (read, parse, look
// up, write back) with 200 and with 20,000 users.
#include "BenchSupport.h"
#include "settings/SettingsStore.h"
#include "settings/UserManager.h"

#include <QString>
#include <cstdio>
#include <vector>

namespace {

const QStringList ProductPath{"Software", "Orbelon", "Mavrolin"};

// A settings file of `users` users, each with the three values of a user.
void WriteUsers(const QString& file, int users) {
    settings::SettingsStore(file).Update([users](settings::RegKey& root) {
        settings::RegKey* product = root.CreatePath(ProductPath);
        for (int i = 0; i < users; ++i) {
            settings::RegKey* user = product->CreatePath({QString("nutzer%1").arg(i)});
            user->SetValue("database", settings::RegValue::String("/home/x/fehler.mvd"));
            user->SetValue("configuration", settings::RegValue::Binary(QByteArray(52, '\1')));
            user->SetValue("options", settings::RegValue::Dword(2));
        }
        return true;
    });
}

// Median seconds of a start's settings step for the last user of the file.
double StartSeconds(int users) {
    bench::TempDir home;
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home.Path()));
    WriteUsers(settings::SettingsStore::DefaultFilePath(), users);
    std::vector<double> samples;
    for (int run = 0; run < 5; ++run) {
        bench::Stopwatch watch;
        TUserManager user("nutzer" + std::to_string(users - 1));
        samples.push_back(watch.Seconds());
        if (!user.Valid)
            std::fprintf(stderr, "user not found\n");
    }
    return bench::Median(samples);
}

} // namespace

int main() {
    const double few = StartSeconds(200);
    const double many = StartSeconds(20000);
    bench::PrintRow("settings step of a start, 200 users, median of 5", few, "s", 0);
    bench::PrintRow("settings step of a start, 20,000 users, median of 5", many, "s", 1.0);
    bench::PrintRow("per user key, 200 users", few / 200 * 1e6, "us", 0);
    bench::PrintRow("per user key, 20,000 users", many / 20000 * 1e6, "us", 0);
    return 0;
}
