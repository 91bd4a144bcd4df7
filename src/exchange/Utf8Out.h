#pragma once

#include "core/Cp1252.h"

// Writes the UTF-8 form of one Windows-1252 byte (1 to 3 bytes) at `out` and
// returns the position after it. For the writers' inner loops, which convert
// every text of every entry straight into their output buffer.
namespace exchange {

inline char* PutUtf8(char* out, unsigned char byte) {
    if (byte < 0x80) {
        *out++ = static_cast<char>(byte);
        return out;
    }
    const char16_t code = cp1252::ToUnicode(byte);
    if (code < 0x800) {
        *out++ = static_cast<char>(0xC0 | (code >> 6));
    } else {
        *out++ = static_cast<char>(0xE0 | (code >> 12));
        *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    }
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
    return out;
}

} // namespace exchange
