#include "RegFileFormat.h"

#include <QStringDecoder>

namespace settings::regfile {

namespace {

constexpr char Header[] = "REGEDIT4";
constexpr qsizetype HexLineLimit = 76;
// As in the Windows registry. Writing spells every key's whole path, so the
// text written for a key n levels deep grows with n squared.
constexpr qsizetype MaxKeyDepth = 512;

QString Quote(const QString& text) {
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('"'))
            out += QLatin1Char('\\');
        out += c;
    }
    out += QLatin1Char('"');
    return out;
}

// The text of a string value when it can be written in quotes unchanged.
std::optional<QString> PlainStringText(const QByteArray& data) {
    if (data.isEmpty() || data.back() != '\0')
        return std::nullopt;
    QByteArrayView body(data.constData(), data.size() - 1);
    if (body.contains('\0'))
        return std::nullopt;
    // A byte order mark at the start is text of the value here, not a marker to drop.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(body);
    if (decoder.hasError() || !RegKey::IsValidValueName(text))
        return std::nullopt;
    return text;
}

QString HexData(const QString& prefix, const QByteArray& data) {
    QString out = prefix;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < data.size(); ++i) {
        out += QString::asprintf("%02x", static_cast<unsigned char>(data[i]));
        if (i + 1 < data.size()) {
            out += QLatin1Char(',');
            if (out.size() - lineStart > HexLineLimit) {
                out += QLatin1String("\\\n  ");
                lineStart = out.size() - 2;
            }
        }
    }
    return out;
}

QString ValueLine(const QString& name, const RegValue& value) {
    QString line = name.isEmpty() ? QStringLiteral("@") : Quote(name);
    line += QLatin1Char('=');
    if (value.type == RegString) {
        if (auto text = PlainStringText(value.data))
            return line + Quote(*text);
    }
    if (value.type == RegDword && value.data.size() == 4) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i)
            number = (number << 8) | static_cast<unsigned char>(value.data[i]);
        return line + QString::asprintf("dword:%08x", number);
    }
    if (value.type == RegBinary)
        return HexData(line + QStringLiteral("hex:"), value.data);
    return HexData(line + QString::asprintf("hex(%x):", value.type), value.data);
}

void WriteKey(const RegKey& key, const QString& path, bool writeSection, QString& out) {
    if (writeSection) {
        out += QLatin1Char('[') + path + QStringLiteral("]\n");
        for (const auto& [name, value] : key.Values())
            out += ValueLine(name, value) + QLatin1Char('\n');
        out += QLatin1Char('\n');
    }
    for (const auto& sub : key.SubKeys())
        WriteKey(*sub, path + QLatin1Char('\\') + sub->Name(), true, out);
}

struct Failure {
    QString message;
};

[[noreturn]] void Fail(qsizetype lineNumber, const QString& what) {
    throw Failure{QStringLiteral("line %1: %2").arg(lineNumber).arg(what)};
}

// Reads a quoted string starting at text[pos] == '"'; pos ends after the quote.
QString ReadQuoted(const QString& text, qsizetype& pos, qsizetype lineNumber) {
    QString out;
    for (++pos; pos < text.size(); ++pos) {
        QChar c = text[pos];
        if (c == QLatin1Char('"')) {
            ++pos;
            return out;
        }
        if (c == QLatin1Char('\\')) {
            if (pos + 1 >= text.size())
                break;
            QChar next = text[++pos];
            if (next != QLatin1Char('\\') && next != QLatin1Char('"'))
                Fail(lineNumber, QStringLiteral("unknown escape \\%1").arg(next));
            c = next;
        }
        out += c;
    }
    Fail(lineNumber, QStringLiteral("unterminated string"));
}

QByteArray ReadHexBytes(const QString& text, qsizetype lineNumber) {
    QByteArray out;
    const QString body = text.trimmed();
    if (body.isEmpty())
        return out;
    for (const QString& part : body.split(QLatin1Char(','))) {
        const QString byte = part.trimmed();
        bool ok = false;
        const uint number = byte.toUInt(&ok, 16);
        if (!ok || byte.size() > 2 || number > 0xff)
            Fail(lineNumber, QStringLiteral("bad hex byte \"%1\"").arg(byte));
        out.append(static_cast<char>(number));
    }
    return out;
}

RegValue ReadData(const QString& data, qsizetype lineNumber) {
    if (data.startsWith(QLatin1Char('"'))) {
        qsizetype pos = 0;
        const QString text = ReadQuoted(data, pos, lineNumber);
        if (!data.mid(pos).trimmed().isEmpty())
            Fail(lineNumber, QStringLiteral("text after string"));
        return RegValue::String(text.toUtf8());
    }
    if (data.startsWith(QLatin1String("dword:"))) {
        const QString digits = data.mid(6).trimmed();
        bool ok = false;
        const uint number = digits.toUInt(&ok, 16);
        if (!ok || digits.isEmpty() || digits.size() > 8 || digits.startsWith(QLatin1Char('+')))
            Fail(lineNumber, QStringLiteral("bad dword \"%1\"").arg(digits));
        return RegValue::Dword(number);
    }
    if (data.startsWith(QLatin1String("hex:")))
        return RegValue::Binary(ReadHexBytes(data.mid(4), lineNumber));
    if (data.startsWith(QLatin1String("hex("))) {
        const qsizetype close = data.indexOf(QLatin1String("):"));
        if (close < 0)
            Fail(lineNumber, QStringLiteral("bad hex type"));
        const QString typeText = data.mid(4, close - 4);
        bool ok = false;
        const uint type = typeText.toUInt(&ok, 16);
        if (!ok || typeText.isEmpty() || typeText.size() > 8 ||
            typeText.startsWith(QLatin1Char('+')))
            Fail(lineNumber, QStringLiteral("bad hex type \"%1\"").arg(typeText));
        return {type, ReadHexBytes(data.mid(close + 2), lineNumber)};
    }
    Fail(lineNumber, QStringLiteral("unknown value data"));
}

RegKey ParseLines(const QStringList& lines) {
    RegKey root;
    RegKey* current = nullptr;
    qsizetype index = 0;
    // Skip leading blank lines; the first real line is the header.
    while (index < lines.size() && lines[index].trimmed().isEmpty())
        ++index;
    if (index >= lines.size() || lines[index].trimmed() != QLatin1String(Header))
        Fail(index + 1, QStringLiteral("missing REGEDIT4 header"));
    for (++index; index < lines.size(); ++index) {
        const qsizetype lineNumber = index + 1;
        const QString line = lines[index].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']')))
                Fail(lineNumber, QStringLiteral("bad key line"));
            QStringList path = line.mid(1, line.size() - 2).split(QLatin1Char('\\'));
            if (path.takeFirst() != QLatin1String(RootKeyName))
                Fail(lineNumber, QStringLiteral("key outside HKEY_CURRENT_USER"));
            if (path.size() > MaxKeyDepth)
                Fail(lineNumber, QStringLiteral("key nested too deeply"));
            current = root.CreatePath(path);
            if (!current)
                Fail(lineNumber, QStringLiteral("bad key name"));
            continue;
        }
        if (!current)
            Fail(lineNumber, QStringLiteral("value outside a key"));
        QString name;
        qsizetype pos = 0;
        if (line.startsWith(QLatin1Char('@'))) {
            pos = 1;
        } else if (line.startsWith(QLatin1Char('"'))) {
            name = ReadQuoted(line, pos, lineNumber);
            if (name.isEmpty())
                Fail(lineNumber, QStringLiteral("empty value name"));
        } else {
            Fail(lineNumber, QStringLiteral("unknown line"));
        }
        while (pos < line.size() && line[pos].isSpace())
            ++pos;
        if (pos >= line.size() || line[pos] != QLatin1Char('='))
            Fail(lineNumber, QStringLiteral("missing '='"));
        QString data = line.mid(pos + 1).trimmed();
        // Long hex data runs on over lines that end in a backslash.
        if (data.startsWith(QLatin1String("hex"))) {
            while (data.endsWith(QLatin1Char('\\'))) {
                data.chop(1);
                if (++index >= lines.size())
                    Fail(lineNumber, QStringLiteral("continuation at end of file"));
                data += lines[index].trimmed();
            }
        }
        if (!current->SetValue(name, ReadData(data, lineNumber)))
            Fail(lineNumber, QStringLiteral("bad value name"));
    }
    return root;
}

} // namespace

QByteArray Write(const RegKey& root) {
    QString out = QLatin1String(Header) + QStringLiteral("\n\n");
    WriteKey(root, QLatin1String(RootKeyName), !root.Values().empty(), out);
    return out.toUtf8();
}

std::optional<RegKey> Parse(const QByteArray& bytes, QString* error) {
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    if (view.contains('\0')) {
        if (error)
            *error = QStringLiteral("zero byte in text");
        return std::nullopt;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(view);
    if (decoder.hasError()) {
        if (error)
            *error = QStringLiteral("text is not UTF-8");
        return std::nullopt;
    }
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    try {
        return ParseLines(lines);
    } catch (const Failure& failure) {
        if (error)
            *error = failure.message;
        return std::nullopt;
    }
}

} // namespace settings::regfile
