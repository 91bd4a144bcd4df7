#pragma once

// Small helpers shared by the core's tests: building entries and file bytes.

#include "core/DataBase.h"
#include "core/DateUtil.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <bit>
#include <cstdint>
#include <memory>
#include <string>

namespace coretest {

inline TRecordData Entry(const std::string& language, const std::string& errorType,
                         const std::string& project, double date, std::uint32_t minutes,
                         const std::string& description = {}) {
    return TRecordData{language, errorType, project, description, date, 0, minutes};
}

inline double Day(int year, int month, int day) {
    return EncodeDate({year, month, day});
}

inline QByteArray Magic() {
    return QByteArray("#MLDB-MavrolinDataBase\r", 23);
}

inline QByteArray U32(std::uint32_t v) {
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<char>(v >> (8 * i));
    return b;
}

inline QByteArray Str(const QByteArray& text) {
    return U32(static_cast<std::uint32_t>(text.size())) + text;
}

inline QByteArray F64(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    QByteArray b(8, '\0');
    for (int i = 0; i < 8; ++i)
        b[i] = static_cast<char>(bits >> (8 * i));
    return b;
}

inline QByteArray EntryBytes(const QByteArray& lang, const QByteArray& type, const QByteArray& proj,
                             double date, std::uint32_t minutes, const QByteArray& desc = {}) {
    return Str(lang) + Str(type) + Str(proj) + F64(date) + U32(minutes) + Str(desc);
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

inline QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline std::string Native(const QString& path) {
    return path.toStdString();
}

// A database that records its load messages.
struct Loader {
    TDataBase db;
    QStringList messages;
    Loader() {
        db.OnLoadError = [this](const std::string& m) { messages << QString::fromStdString(m); };
    }
};

} // namespace coretest
