#include "report/QtText.h"

#include "core/Cp1252.h"

namespace report {

QString FromCp1252(std::string_view bytes, bool keepLineBreaks) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == '\r' || byte == '\n') {
            if (byte == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            text += keepLineBreaks ? QChar('\n') : QChar(' ');
            continue;
        }
        const char16_t unicode = cp1252::ToUnicode(byte);
        const bool control = unicode < 0x20 || (unicode >= 0x7F && unicode < 0xA0);
        text += control ? QChar(' ') : QChar(unicode);
    }
    return text;
}

QString FromUtf8(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace report
