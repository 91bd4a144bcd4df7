#include "settings/VersionSettings.h"

#include "settings/RegFileFormat.h"
#include "settings/UserManager.h"

#include <QFile>

namespace settings {

namespace {

const QString KeepName = QString::fromUtf8(KeepVersionsValue);
const QString LimitName = QString::fromUtf8(VersionsLimitValue);

std::uint64_t LittleEndian(const QByteArray& data) {
    std::uint64_t bits = 0;
    for (qsizetype i = data.size(); i-- > 0;)
        bits = (bits << 8) | static_cast<unsigned char>(data[i]);
    return bits;
}

// The policy that the values of a user's key hold.
template <typename Values> versions::Policy PolicyOf(const Values& values) {
    versions::Policy policy;
    for (const auto& [name, value] : values) {
        if (name.compare(KeepName, Qt::CaseInsensitive) == 0 && value.type == RegDword &&
            value.data.size() == 4)
            policy.Keep = LittleEndian(value.data) != 0;
        else if (name.compare(LimitName, Qt::CaseInsensitive) == 0 && value.type == RegQword &&
                 value.data.size() == 8)
            policy.SizeLimit = LittleEndian(value.data);
    }
    return policy;
}

} // namespace

versions::Policy LoadVersionPolicy(const TUserManager& user) {
    return PolicyOf(user.ReadUserValues());
}

void SaveVersionPolicy(TUserManager& user, const versions::Policy& policy) {
    user.UpdateUserKey([&](RegKey& key) {
        key.SetValue(KeepName, RegValue::Dword(policy.Keep ? 1 : 0));
        key.SetValue(LimitName, RegValue::Qword(policy.SizeLimit));
        return true;
    });
}

versions::Policy ReadVersionPolicy(const std::string& userName, const QString& filePath) {
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    std::optional<RegKey> tree = regfile::Parse(file.readAll());
    const QString name = QString::fromUtf8(userName);
    if (!tree || name.isEmpty() || name.startsWith(QLatin1Char('\\')))
        return {};
    QStringList path{QStringLiteral("Software"), QStringLiteral("Orbelon"),
                     QStringLiteral("Mavrolin")};
    path += name.split(QLatin1Char('\\'));
    const RegKey* key = tree->FindPath(path);
    return key ? PolicyOf(key->Values()) : versions::Policy{};
}

} // namespace settings
