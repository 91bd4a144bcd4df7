#include "RecordCount.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr char Magic[] = "#MLDB-MavrolinDataBase\r";
constexpr std::size_t MagicSize = 23;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Reads a little-endian 32-bit value; false at the end of the file.
bool ReadU32(std::FILE* file, std::uint32_t& value) {
    std::array<unsigned char, 4> bytes{};
    if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size())
        return false;
    value = static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
            static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    return true;
}

// Skips `size` bytes; false when the file holds fewer.
bool Skip(std::FILE* file, long long size, long long fileSize) {
    long position = std::ftell(file);
    if (position < 0 || size > fileSize - position)
        return false;
    return std::fseek(file, static_cast<long>(size), SEEK_CUR) == 0;
}

// A string: signed 32-bit length, then that many bytes when it is 1 or more.
bool SkipString(std::FILE* file, long long fileSize) {
    std::uint32_t raw = 0;
    if (!ReadU32(file, raw))
        return false;
    const auto length = static_cast<std::int32_t>(raw);
    return length < 1 || Skip(file, length, fileSize);
}

} // namespace

std::uint64_t CountCompleteRecords(const std::string& path) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return 0;
    if (std::fseek(file.get(), 0, SEEK_END) != 0)
        return 0;
    const long long fileSize = std::ftell(file.get());
    std::rewind(file.get());

    std::array<char, MagicSize> magic{};
    if (std::fread(magic.data(), 1, MagicSize, file.get()) != MagicSize ||
        std::memcmp(magic.data(), Magic, MagicSize) != 0)
        return 0;
    std::uint32_t count = 0;
    if (!ReadU32(file.get(), count) || count >= 0x80000000u)
        return 0;

    std::uint64_t complete = 0;
    while (complete < count) {
        if (!SkipString(file.get(), fileSize) || !SkipString(file.get(), fileSize) ||
            !SkipString(file.get(), fileSize) || !Skip(file.get(), 12, fileSize) ||
            !SkipString(file.get(), fileSize))
            break;
        ++complete;
    }
    return complete;
}
