#include "settings/UserManager.h"

#include "settings/SettingsStore.h"

#include <QStringList>
#include <QtDebug>
#include <algorithm>
#include <cstring>
#include <exception>

using settings::RegKey;
using settings::RegValue;

namespace {

const QStringList ProductPath{QStringLiteral("Software"), QStringLiteral("Orbelon"),
                              QStringLiteral("Mavrolin")};
const QString DatabaseValue = QStringLiteral("database");
const QString ConfigurationValue = QStringLiteral("configuration");
const QString OptionsValue = QStringLiteral("options");

constexpr std::uint32_t SaveOnExitBit = 1;
constexpr std::uint32_t SaveContentsBit = 2;
constexpr std::uint32_t SaveWindowConfigBit = 4;

constexpr char LegacyValueWarning[] =
    "Die Windows-Registrierdatenbank enthält ungültige Werte. Der Fehler kann daher kommen, "
    "daß vorher eine ältere Mavrolin-Version eingesetzt wurde. Die bisher abgelegten Werte "
    "gehen verloren!";

// The user's key path below "Mavrolin"; a backslash in the name separates
// further key levels. An empty name or one beginning with a backslash would
// address the product key itself (and DeleteSettings would remove every
// user's settings), so such names are refused with the registry error.
QStringList UserKeyPath(const std::string& userName) {
    const QString name = QString::fromUtf8(userName);
    if (name.isEmpty() || name.startsWith(QLatin1Char('\\')) ||
        name.toUtf8() != QByteArray::fromStdString(userName))
        settings::ThrowRegistryError();
    QStringList path = name.split(QLatin1Char('\\'));
    if (!std::all_of(path.begin(), path.end(), RegKey::IsValidKeyName))
        settings::ThrowRegistryError();
    return path;
}

bool IsStringType(std::uint32_t type) {
    return type == settings::RegString || type == settings::RegExpandString;
}

} // namespace

TUserManager::TUserManager(std::string userName, WarningReporter warn)
    : UserName(std::move(userName)), warn_(std::move(warn)),
      store_(std::make_unique<settings::SettingsStore>(
          settings::SettingsStore::DefaultFilePath(),
          [this](const QString& text) { report(text.toStdString()); })) {
    Valid = Load();
}

TUserManager::~TUserManager() {
    if (!(Valid && SaveOnExit))
        return;
    // A destructor must not throw: the failure is shown instead of ending the
    // program.
    try {
        Save();
    } catch (const std::exception& error) {
        report(error.what());
    }
}

void TUserManager::report(const std::string& text) const {
    if (warn_)
        warn_(text);
    else
        qWarning("%s", text.c_str());
}

bool TUserManager::Load() {
    const QStringList userPath = UserKeyPath(UserName);
    const QString nameAsValue = QString::fromUtf8(UserName);
    bool result = false;
    std::vector<std::string> warnings;

    // Reads the three values in order; a field read before a failing read keeps
    // what was read.
    auto readValues = [&](const RegKey& key) {
        // A value of size 0 reads as the empty string whatever its type, as a
        // missing one does.
        if (const RegValue* value = key.Value(DatabaseValue); value && !value->data.isEmpty()) {
            if (!IsStringType(value->type))
                return false;
            const QByteArray& data = value->data;
            const qsizetype end = data.indexOf('\0');
            DataBaseName.assign(data.constData(),
                                static_cast<std::size_t>(end < 0 ? data.size() : end));
        } else {
            DataBaseName.clear();
        }
        if (const RegValue* value = key.Value(ConfigurationValue)) {
            if (IsStringType(value->type) || value->type == settings::RegDword ||
                static_cast<std::size_t>(value->data.size()) > ConfigurationSize)
                return false;
            std::memcpy(Configuration.data(), value->data.constData(),
                        static_cast<std::size_t>(value->data.size()));
        }
        const RegValue* options = key.Value(OptionsValue);
        if (!options || options->type != settings::RegDword || options->data.size() != 4)
            return false;
        const auto bits = static_cast<unsigned char>(options->data[0]);
        SaveOnExit = (bits & SaveOnExitBit) != 0;
        SaveContents = (bits & SaveContentsBit) != 0;
        SaveWindowConfig = (bits & SaveWindowConfigBit) != 0;
        return true;
    };

    store_->Update([&](RegKey& root) {
        bool changed = root.FindPath(ProductPath) == nullptr;
        RegKey* product = root.CreatePath(ProductPath);
        if (RegKey* user = product->FindPath(userPath)) {
            result = readValues(*user);
            if (!result) {
                warnings.emplace_back(settings::InvalidValuesWarning);
                for (const QString& name : {DatabaseValue, ConfigurationValue, OptionsValue})
                    changed = user->DeleteValue(name) || changed;
            }
            return changed;
        }
        if (product->HasValue(nameAsValue)) {
            warnings.emplace_back(LegacyValueWarning);
            product->DeleteValue(nameAsValue);
        }
        if (!product->CreatePath(userPath))
            settings::ThrowRegistryError();
        return true;
    });
    // Shown after the store is unlocked, so that a warning box left open does
    // not hold up another instance.
    for (const std::string& text : warnings)
        report(text);
    return result;
}

void TUserManager::Save() {
    if (!Valid)
        return;
    const QStringList userPath = UserKeyPath(UserName);
    store_->Update([&](RegKey& root) {
        RegKey* user = root.CreatePath(ProductPath + userPath);
        if (!user)
            settings::ThrowRegistryError();
        if (SaveContents)
            user->SetValue(DatabaseValue,
                           RegValue::String(QByteArray::fromStdString(DataBaseName)));
        if (SaveWindowConfig)
            user->SetValue(
                ConfigurationValue,
                RegValue::Binary(QByteArray(reinterpret_cast<const char*>(Configuration.data()),
                                            static_cast<qsizetype>(ConfigurationSize))));
        const std::uint32_t options = (SaveOnExit ? SaveOnExitBit : 0) |
                                      (SaveContents ? SaveContentsBit : 0) |
                                      (SaveWindowConfig ? SaveWindowConfigBit : 0);
        user->SetValue(OptionsValue, RegValue::Dword(options));
        return true;
    });
}

void TUserManager::DeleteSettings() {
    QStringList userPath = UserKeyPath(UserName);
    const QString last = userPath.takeLast();
    store_->Update([&](RegKey& root) {
        bool changed = root.FindPath(ProductPath) == nullptr;
        RegKey* parent = root.CreatePath(ProductPath)->FindPath(userPath);
        if (parent && parent->DeleteSubKey(last))
            changed = true;
        return changed;
    });
}

void TUserManager::UpdateUserKey(const std::function<bool(RegKey& key)>& change) {
    if (!Valid)
        return;
    const QStringList userPath = UserKeyPath(UserName);
    store_->Update([&](RegKey& root) {
        RegKey* user = root.CreatePath(ProductPath + userPath);
        if (!user)
            settings::ThrowRegistryError();
        return change(*user);
    });
}

std::vector<std::pair<QString, RegValue>> TUserManager::ReadUserValues() const {
    const QStringList userPath = UserKeyPath(UserName);
    RegKey root = store_->Read();
    const RegKey* user = root.FindPath(ProductPath + userPath);
    return user ? user->Values() : std::vector<std::pair<QString, RegValue>>{};
}
