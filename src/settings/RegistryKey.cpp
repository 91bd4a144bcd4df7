#include "settings/RegistryKey.h"

#include <algorithm>

namespace settings {

namespace {
bool HasControlCharacter(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        // ASCII needs no look-up in the character tables.
        if (c.unicode() < 0x80)
            return c.unicode() < 0x20 || c.unicode() == 0x7f;
        return c.category() == QChar::Other_Control;
    });
}
bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}
} // namespace

RegValue RegValue::String(const QByteArray& text, std::uint32_t type) {
    QByteArray data = text;
    data.append('\0');
    return {type, data};
}

RegValue RegValue::Dword(std::uint32_t value) {
    QByteArray data(4, '\0');
    for (int i = 0; i < 4; ++i)
        data[i] = static_cast<char>((value >> (8 * i)) & 0xffu);
    return {RegDword, data};
}

RegValue RegValue::Qword(std::uint64_t value) {
    QByteArray data(8, '\0');
    for (int i = 0; i < 8; ++i)
        data[i] = static_cast<char>((value >> (8 * i)) & 0xffu);
    return {RegQword, data};
}

bool RegKey::IsValidKeyName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('\\')) && !HasControlCharacter(name);
}

bool RegKey::IsValidValueName(const QString& name) {
    return !HasControlCharacter(name);
}

RegKey* RegKey::SubKey(const QString& name) {
    return subKeyIndex_.value(name.toCaseFolded(), nullptr);
}

const RegKey* RegKey::SubKey(const QString& name) const {
    return const_cast<RegKey*>(this)->SubKey(name);
}

RegKey* RegKey::FindPath(const QStringList& path) {
    RegKey* key = this;
    for (const QString& name : path) {
        key = key->SubKey(name);
        if (!key)
            return nullptr;
    }
    return key;
}

RegKey* RegKey::CreatePath(const QStringList& path) {
    RegKey* key = this;
    for (const QString& name : path) {
        if (!IsValidKeyName(name))
            return nullptr;
        RegKey* next = key->SubKey(name);
        if (!next) {
            key->subKeys_.push_back(std::make_unique<RegKey>(name));
            next = key->subKeys_.back().get();
            key->subKeyIndex_.insert(name.toCaseFolded(), next);
        }
        key = next;
    }
    return key;
}

bool RegKey::DeleteSubKey(const QString& name) {
    const RegKey* key = subKeyIndex_.take(name.toCaseFolded());
    if (!key)
        return false;
    subKeys_.erase(std::find_if(subKeys_.begin(), subKeys_.end(),
                                [&](const auto& sub) { return sub.get() == key; }));
    return true;
}

const RegValue* RegKey::Value(const QString& name) const {
    for (const auto& [valueName, value] : values_)
        if (SameName(valueName, name))
            return &value;
    return nullptr;
}

bool RegKey::SetValue(const QString& name, RegValue value) {
    if (!IsValidValueName(name))
        return false;
    for (auto& [valueName, stored] : values_) {
        if (SameName(valueName, name)) {
            stored = std::move(value);
            return true;
        }
    }
    values_.emplace_back(name, std::move(value));
    return true;
}

bool RegKey::DeleteValue(const QString& name) {
    auto it = std::find_if(values_.begin(), values_.end(),
                           [&](const auto& entry) { return SameName(entry.first, name); });
    if (it == values_.end())
        return false;
    values_.erase(it);
    return true;
}

bool RegKey::operator==(const RegKey& other) const {
    if (name_ != other.name_ || values_ != other.values_ ||
        subKeys_.size() != other.subKeys_.size())
        return false;
    for (std::size_t i = 0; i < subKeys_.size(); ++i)
        if (!(*subKeys_[i] == *other.subKeys_[i]))
            return false;
    return true;
}

} // namespace settings
