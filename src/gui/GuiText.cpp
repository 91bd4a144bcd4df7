#include "gui/GuiText.h"

#include "core/Cp1252.h"

#include <array>

namespace GuiText {
namespace {

struct Table {
    std::array<char16_t, 256> unit{};
    Table() {
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const QString s = QString::fromStdString(cp1252::ToUtf8(std::string_view(&byte, 1)));
            unit[static_cast<std::size_t>(b)] = s.size() == 1 ? s.at(0).unicode() : u'\uFFFD';
        }
    }
};

const Table& Cp1252Table() {
    static const Table t;
    return t;
}

} // namespace

QString FromCp1252(std::string_view bytes) {
    const Table& t = Cp1252Table();
    QString s(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = s.data();
    for (std::size_t i = 0; i < bytes.size(); ++i)
        out[i] = QChar(t.unit[static_cast<unsigned char>(bytes[i])]);
    return s;
}

std::optional<std::string> ToCp1252(const QString& text) {
    return cp1252::FromUtf8(text.toStdString());
}

QString ShownLines(std::string_view bytes) {
    QString text = FromCp1252(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

std::string StoredLines(std::string_view bytes) {
    std::string stored;
    stored.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            stored += '\r';
        stored += bytes[i];
    }
    return stored;
}

} // namespace GuiText
