#include "settings/RegFileFormat.h"

#include <QStringDecoder>
#include <vector>

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
    static constexpr char Digits[] = "0123456789abcdef";
    QString out = prefix;
    out.reserve(prefix.size() + data.size() * 3 + data.size() / 25 * 4);
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < data.size(); ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        out += QLatin1Char(Digits[byte >> 4]);
        out += QLatin1Char(Digits[byte & 0xf]);
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
QString ReadQuoted(QStringView text, qsizetype& pos, qsizetype lineNumber) {
    QString out;
    for (++pos; pos < text.size(); ++pos) {
        // Copies the run up to the next quote or backslash in one piece.
        qsizetype run = pos;
        while (run < text.size() && text[run] != u'"' && text[run] != u'\\')
            ++run;
        out += text.sliced(pos, run - pos);
        pos = run;
        if (pos >= text.size())
            break;
        if (text[pos] == u'"') {
            ++pos;
            return out;
        }
        if (pos + 1 >= text.size())
            break;
        const QChar next = text[++pos];
        if (next != u'\\' && next != u'"')
            Fail(lineNumber, QStringLiteral("unknown escape \\%1").arg(next));
        out += next;
    }
    Fail(lineNumber, QStringLiteral("unterminated string"));
}

int HexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// One byte of hex data: one or two hex digits, spaces around them allowed.
char ReadHexByte(QStringView part, qsizetype lineNumber) {
    // Almost every byte is two bare digits as written by Write.
    if (part.size() == 2) {
        const int high = HexDigit(part[0]);
        const int low = HexDigit(part[1]);
        if (high >= 0 && low >= 0)
            return static_cast<char>(high * 16 + low);
    }
    const QStringView byte = part.trimmed();
    bool ok = false;
    const uint number = byte.toUInt(&ok, 16);
    if (!ok || byte.size() > 2 || number > 0xff)
        Fail(lineNumber, QStringLiteral("bad hex byte \"%1\"").arg(byte));
    return static_cast<char>(number);
}

QByteArray ReadHexBytes(QStringView text, qsizetype lineNumber) {
    const QStringView body = text.trimmed();
    if (body.isEmpty())
        return {};
    QByteArray out(body.count(u',') + 1, Qt::Uninitialized);
    char* next = out.data();
    for (qsizetype start = 0, end = 0; start <= body.size(); start = end + 1) {
        end = start;
        while (end < body.size() && body[end] != u',')
            ++end;
        *next++ = ReadHexByte(body.sliced(start, end - start), lineNumber);
    }
    return out;
}

RegValue ReadData(QStringView data, qsizetype lineNumber) {
    if (data.startsWith(u'"')) {
        qsizetype pos = 0;
        const QString text = ReadQuoted(data, pos, lineNumber);
        if (!data.sliced(pos).trimmed().isEmpty())
            Fail(lineNumber, QStringLiteral("text after string"));
        return RegValue::String(text.toUtf8());
    }
    if (data.startsWith(QLatin1String("dword:"))) {
        const QStringView digits = data.sliced(6).trimmed();
        bool ok = false;
        const uint number = digits.toUInt(&ok, 16);
        if (!ok || digits.isEmpty() || digits.size() > 8 || digits.startsWith(u'+'))
            Fail(lineNumber, QStringLiteral("bad dword \"%1\"").arg(digits));
        return RegValue::Dword(number);
    }
    if (data.startsWith(QLatin1String("hex:")))
        return RegValue::Binary(ReadHexBytes(data.sliced(4), lineNumber));
    if (data.startsWith(QLatin1String("hex("))) {
        const qsizetype close = data.indexOf(QLatin1String("):"));
        if (close < 0)
            Fail(lineNumber, QStringLiteral("bad hex type"));
        const QStringView typeText = data.sliced(4, close - 4);
        bool ok = false;
        const uint type = typeText.toUInt(&ok, 16);
        if (!ok || typeText.isEmpty() || typeText.size() > 8 || typeText.startsWith(u'+'))
            Fail(lineNumber, QStringLiteral("bad hex type \"%1\"").arg(typeText));
        return {type, ReadHexBytes(data.sliced(close + 2), lineNumber)};
    }
    Fail(lineNumber, QStringLiteral("unknown value data"));
}

// Finds or creates the key of a section line's path (the text between the
// brackets). Consecutive sections mostly share their parent (one key per user
// below the program's key), so the parent found last is reused when the
// section names it with the same text.
class SectionKeys {
public:
    explicit SectionKeys(RegKey& root) : root_(root) {}

    RegKey* Open(QStringView path, qsizetype lineNumber) {
        const qsizetype lastSeparator = path.lastIndexOf(u'\\');
        const QStringView parentText = lastSeparator < 0 ? path : path.first(lastSeparator);
        if (!parent_ || parentText != parentText_) {
            parent_ = openParent(parentText, lineNumber);
            parentText_ = parentText;
        }
        if (lastSeparator < 0)
            return parent_;
        if (path.count(u'\\') > MaxKeyDepth)
            Fail(lineNumber, QStringLiteral("key nested too deeply"));
        RegKey* key = parent_->CreatePath({path.sliced(lastSeparator + 1).toString()});
        if (!key)
            Fail(lineNumber, QStringLiteral("bad key name"));
        return key;
    }

private:
    RegKey* openParent(QStringView text, qsizetype lineNumber) {
        QStringList names;
        for (QStringView name : text.split(u'\\'))
            names << name.toString();
        if (names.takeFirst() != QLatin1String(RootKeyName))
            Fail(lineNumber, QStringLiteral("key outside HKEY_CURRENT_USER"));
        if (names.size() > MaxKeyDepth)
            Fail(lineNumber, QStringLiteral("key nested too deeply"));
        RegKey* key = root_.CreatePath(names);
        if (!key)
            Fail(lineNumber, QStringLiteral("bad key name"));
        return key;
    }

    RegKey& root_;
    RegKey* parent_ = nullptr;
    QStringView parentText_;
};

RegKey ParseLines(const std::vector<QStringView>& lines) {
    RegKey root;
    SectionKeys sections(root);
    RegKey* current = nullptr;
    std::size_t index = 0;
    // Skip leading blank lines; the first real line is the header.
    while (index < lines.size() && lines[index].trimmed().isEmpty())
        ++index;
    if (index >= lines.size() || lines[index].trimmed() != QLatin1String(Header))
        Fail(static_cast<qsizetype>(index) + 1, QStringLiteral("missing REGEDIT4 header"));
    for (++index; index < lines.size(); ++index) {
        const auto lineNumber = static_cast<qsizetype>(index) + 1;
        const QStringView line = lines[index].trimmed();
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            if (!line.endsWith(u']'))
                Fail(lineNumber, QStringLiteral("bad key line"));
            current = sections.Open(line.sliced(1, line.size() - 2), lineNumber);
            continue;
        }
        if (!current)
            Fail(lineNumber, QStringLiteral("value outside a key"));
        QString name;
        qsizetype pos = 0;
        if (line.startsWith(u'@')) {
            pos = 1;
        } else if (line.startsWith(u'"')) {
            name = ReadQuoted(line, pos, lineNumber);
            if (name.isEmpty())
                Fail(lineNumber, QStringLiteral("empty value name"));
        } else {
            Fail(lineNumber, QStringLiteral("unknown line"));
        }
        while (pos < line.size() && line[pos].isSpace())
            ++pos;
        if (pos >= line.size() || line[pos] != u'=')
            Fail(lineNumber, QStringLiteral("missing '='"));
        QStringView data = line.sliced(pos + 1).trimmed();
        // Long hex data runs on over lines that end in a backslash.
        QString joined;
        if (data.startsWith(QLatin1String("hex")) && data.endsWith(u'\\')) {
            joined = data.toString();
            while (joined.endsWith(u'\\')) {
                joined.chop(1);
                if (++index >= lines.size())
                    Fail(lineNumber, QStringLiteral("continuation at end of file"));
                joined += lines[index].trimmed();
            }
            data = joined;
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
    std::vector<QStringView> lines;
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        lines.push_back(line);
    }
    try {
        return ParseLines(lines);
    } catch (const Failure& failure) {
        if (error)
            *error = failure.message;
        return std::nullopt;
    }
}

} // namespace settings::regfile
