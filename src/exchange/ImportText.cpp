#include "exchange/ImportText.h"

#include "core/Cp1252.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <unicode/utf8.h>

namespace exchange {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

// The length of the ASCII run at the start of `text`, tested eight bytes at a
// time (imports test every field of every row).
std::size_t AsciiPrefix(std::string_view text) {
    std::size_t pos = 0;
    for (std::uint64_t word = 0; pos + 8 <= text.size(); pos += 8) {
        std::memcpy(&word, text.data() + pos, 8);
        if ((word & 0x8080808080808080ull) != 0)
            break;
    }
    while (pos < text.size() && static_cast<unsigned char>(text[pos]) < 0x80)
        ++pos;
    return pos;
}

// Decodes the character at `pos` and moves past it; negative for bytes that
// are no UTF-8.
UChar32 NextCharacter(std::string_view text, std::int32_t& pos) {
    UChar32 c = 0;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    U8_NEXT(bytes, pos, static_cast<std::int32_t>(text.size()), c);
    return c;
}

// The Windows-1252 byte of a character, from the core's table; nothing for a
// character that Windows-1252 cannot hold.
std::optional<char> DatabaseByte(UChar32 c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (unsigned byte = 0x80; byte < 0xA0; ++byte)
        if (cp1252::ToUnicode(static_cast<unsigned char>(byte)) == c)
            return static_cast<char>(byte);
    return std::nullopt;
}

bool IsValidUtf8(std::string_view text) {
    // Checked in slices that fit ICU's 32-bit indices.
    constexpr std::size_t Slice = std::size_t{1} << 30;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = std::min(text.size(), start + Slice);
        // Never cut a character: back up to the start of a sequence.
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            --end;
        const std::string_view part = text.substr(start, end - start);
        std::int32_t pos = 0;
        const auto size = static_cast<std::int32_t>(part.size());
        while (pos < size) {
            pos +=
                static_cast<std::int32_t>(AsciiPrefix(part.substr(static_cast<std::size_t>(pos))));
            if (pos < size && NextCharacter(part, pos) < 0)
                return false;
        }
        start = end;
    }
    return true;
}

} // namespace

InputText DetectEncoding(std::string_view bytes) {
    if (bytes.substr(0, ByteOrderMark.size()) == ByteOrderMark)
        return {TextEncoding::Utf8, bytes.substr(ByteOrderMark.size())};
    return {IsValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Windows1252, bytes};
}

std::optional<std::size_t> ToDatabaseText(std::string_view field, TextEncoding encoding,
                                          char* out) {
    std::size_t ascii = encoding == TextEncoding::Windows1252 ? field.size() : AsciiPrefix(field);
    if (ascii == field.size()) {
        if (!field.empty())
            std::memcpy(out, field.data(), field.size());
        return field.size();
    }
    if (field.size() > INT32_MAX)
        return std::nullopt;
    // Every character other than ASCII takes at least two bytes in UTF-8 and
    // one in the result, so the text only shrinks. Latin-1 letters (U+00A0 to
    // U+00FF) are the same byte in Windows-1252 and are taken straight.
    std::memcpy(out, field.data(), ascii);
    std::size_t length = ascii;
    std::size_t pos = ascii;
    while (pos < field.size()) {
        const auto byte = static_cast<unsigned char>(field[pos]);
        if (byte < 0x80) {
            out[length++] = static_cast<char>(byte);
            ++pos;
            continue;
        }
        const auto next = pos + 1 < field.size() ? static_cast<unsigned char>(field[pos + 1]) : 0;
        if ((byte == 0xC3 && (next & 0xC0) == 0x80) ||
            (byte == 0xC2 && next >= 0xA0 && next < 0xC0)) {
            out[length++] = static_cast<char>(byte == 0xC3 ? next + 0x40 : next);
            pos += 2;
            continue;
        }
        auto at = static_cast<std::int32_t>(pos);
        const UChar32 c = NextCharacter(field, at);
        const std::optional<char> stored = c < 0 ? std::nullopt : DatabaseByte(c);
        if (!stored)
            return std::nullopt;
        out[length++] = *stored;
        pos = static_cast<std::size_t>(at);
    }
    return length;
}

std::string UnstorableReason(std::string_view field) {
    std::int32_t pos = 0;
    while (pos < static_cast<std::int32_t>(field.size())) {
        const std::int32_t start = pos;
        const UChar32 c = NextCharacter(field, pos);
        if (c < 0)
            return "enth\u00E4lt Bytes, die kein g\u00FCltiges UTF-8 sind";
        const std::string_view character =
            field.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(pos - start));
        if (!DatabaseByte(c)) {
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
            return "enth\u00E4lt das Zeichen \u201E" + std::string(character) + "\u201C (" + code +
                   "), das eine Mavrolin-Datenbank nicht speichern kann";
        }
    }
    return "enth\u00E4lt Zeichen, die eine Mavrolin-Datenbank nicht speichern kann";
}

std::string DisplayText(std::string_view bytes, TextEncoding encoding, std::size_t limit) {
    std::string out;
    std::size_t characters = 0;
    if (encoding == TextEncoding::Windows1252) {
        if (bytes.size() > limit)
            return cp1252::ToUtf8(bytes.substr(0, limit)) + "\u2026";
        return cp1252::ToUtf8(bytes);
    }
    std::int32_t pos = 0;
    const auto size = static_cast<std::int32_t>(std::min<std::size_t>(bytes.size(), INT32_MAX));
    while (pos < size) {
        if (characters++ == limit)
            return out + "\u2026";
        const std::int32_t start = pos;
        if (NextCharacter(bytes, pos) < 0)
            out += "\uFFFD"; // a byte that is no UTF-8
        else
            out.append(bytes.data() + start, static_cast<std::size_t>(pos - start));
    }
    return out;
}

} // namespace exchange
