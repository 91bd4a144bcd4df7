#pragma once

// libxlsxwriter packs a workbook with minizip at zlib's default level and
// offers no option to change it; for a million entries that compression took
// two thirds of an export. While a FastCompression object lives, the parts that
// minizip starts on this thread are compressed at zlib's fastest level
// instead: the sheet gets about a quarter larger and is packed in about a
// third of the time.
namespace exchange {

class FastCompression {
public:
    FastCompression();
    ~FastCompression();
    FastCompression(const FastCompression&) = delete;
    FastCompression& operator=(const FastCompression&) = delete;
};

} // namespace exchange
