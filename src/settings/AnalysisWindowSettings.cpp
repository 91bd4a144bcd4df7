#include "settings/AnalysisWindowSettings.h"

#include "settings/UserManager.h"

#include <array>
#include <cstdint>

namespace settings {

namespace {

const QString ValueName = QString::fromUtf8(AnalysisWindowValue);
constexpr int MaxExtent = 32767;

} // namespace

std::optional<WindowPlace> LoadAnalysisPlace(const TUserManager& user) {
    for (const auto& [name, value] : user.ReadUserValues()) {
        if (name.compare(ValueName, Qt::CaseInsensitive) != 0)
            continue;
        if (value.type != RegBinary || value.data.size() != 16)
            return std::nullopt;
        std::array<int, 4> fields{};
        for (std::size_t f = 0; f < fields.size(); ++f) {
            std::uint32_t bits = 0;
            for (int b = 3; b >= 0; --b)
                bits = (bits << 8) |
                       static_cast<unsigned char>(value.data[static_cast<qsizetype>(f * 4) + b]);
            fields[f] = static_cast<std::int32_t>(bits);
        }
        const WindowPlace place{fields[0], fields[1], fields[2], fields[3]};
        if (place.Width < 1 || place.Width > MaxExtent || place.Height < 1 ||
            place.Height > MaxExtent)
            return std::nullopt;
        return place;
    }
    return std::nullopt;
}

void SaveAnalysisPlace(TUserManager& user, const WindowPlace& place) {
    QByteArray bytes;
    for (const int field : {place.Left, place.Top, place.Width, place.Height})
        for (int b = 0; b < 4; ++b)
            bytes.append(static_cast<char>((static_cast<std::uint32_t>(field) >> (8 * b)) & 0xFF));
    user.UpdateUserKey(
        [&](RegKey& key) { return key.SetValue(ValueName, RegValue::Binary(bytes)); });
}

} // namespace settings
