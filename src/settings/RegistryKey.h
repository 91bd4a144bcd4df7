#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace settings {

// Value types with the registry's numbers; any other number is kept as is.
enum ValueType : std::uint32_t {
    RegNone = 0,
    RegString = 1,       // text with its terminating zero
    RegExpandString = 2, // same, with %variables% left unexpanded
    RegBinary = 3,
    RegDword = 4,  // 32-bit little-endian integer
    RegQword = 11, // 64-bit little-endian integer
};

struct RegValue {
    std::uint32_t type = RegNone;
    QByteArray data;

    static RegValue String(const QByteArray& text, std::uint32_t type = RegString);
    static RegValue Dword(std::uint32_t value);
    static RegValue Qword(std::uint64_t value);
    static RegValue Binary(const QByteArray& bytes) { return {RegBinary, bytes}; }
    bool operator==(const RegValue&) const = default;
};

// One key of the settings tree: named sub-keys and named typed values. Names
// are compared case-insensitively and keep the spelling they were created with.
// The empty value name is the key's default value ("@" in the file).
class RegKey {
public:
    explicit RegKey(QString name = QString()) : name_(std::move(name)) {}

    const QString& Name() const { return name_; }

    // True when a name can be a key name: not empty, no backslash, no control
    // characters (the file format could not hold them).
    static bool IsValidKeyName(const QString& name);
    // Value names may be empty (the default value) but hold no control characters.
    static bool IsValidValueName(const QString& name);

    RegKey* SubKey(const QString& name);
    const RegKey* SubKey(const QString& name) const;
    // Follows a path of key names; nullptr when a key on the way is missing.
    RegKey* FindPath(const QStringList& path);
    // Opens each key of the path relative to the previous one, creating it when
    // missing; nullptr when a name is not a valid key name.
    RegKey* CreatePath(const QStringList& path);
    // Removes a sub-key with everything below it; false when it did not exist.
    bool DeleteSubKey(const QString& name);
    const std::vector<std::unique_ptr<RegKey>>& SubKeys() const { return subKeys_; }

    bool HasValue(const QString& name) const { return Value(name) != nullptr; }
    const RegValue* Value(const QString& name) const;
    // Adds or replaces a value; false when the name is not a valid value name.
    bool SetValue(const QString& name, RegValue value);
    // False when there was no such value.
    bool DeleteValue(const QString& name);
    const std::vector<std::pair<QString, RegValue>>& Values() const { return values_; }

    bool operator==(const RegKey& other) const;

private:
    QString name_;
    std::vector<std::unique_ptr<RegKey>> subKeys_; // in the order they were made
    // The sub-keys by case-folded name, so that a lookup does not walk
    // through thousands of siblings (one key per user).
    QHash<QString, RegKey*> subKeyIndex_;
    std::vector<std::pair<QString, RegValue>> values_;
};

} // namespace settings
