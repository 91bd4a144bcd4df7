// The .mvd file: LoadFromFile, Save and the string encoding of the format.
// Little-endian; the 23-byte magic, an unsigned 32-bit count, then the entries
// (Language, ErrorType, Project as strings, Date as a double, TimeNeeded as an
// unsigned 32-bit value, Description as a string). A string is a signed 32-bit
// length and that many bytes.

#include "DataBase.h"
#include "Errors.h"
#include "FileIO.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <new>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kMagic[] = "#MLDB-MavrolinDataBase\r";
constexpr std::size_t kMagicSize = sizeof kMagic - 1; // 23 bytes, no terminator
static_assert(kMagicSize == 23);
// The smallest entry: three empty strings, the date, the minutes, an empty description.
constexpr std::uint64_t kMinEntrySize = 4 + 4 + 4 + 8 + 4 + 4;
constexpr std::size_t kBufferSize = std::size_t{64} * 1024;

std::runtime_error FileError(int err) {
    return std::runtime_error(FileErrorMessage(err));
}

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    [[nodiscard]] int get() const { return fd_; }
    // Closes now and reports the error of close, 0 when fine.
    int Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int fd_;
};

// Buffered reading that fails with the end-of-file message when the file ends
// early, and knows how many bytes a regular file has left, so that a corrupt
// length never allocates more than the file holds.
class Reader {
public:
    explicit Reader(int fd) : fd_(fd), buffer_(kBufferSize) {
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
            sizeKnown_ = true;
            size_ = static_cast<std::uint64_t>(st.st_size);
        }
    }

    void Read(char* dst, std::size_t n) {
        while (n > 0) {
            if (pos_ == end_)
                Fill();
            const std::size_t k = std::min(n, end_ - pos_);
            std::memcpy(dst, buffer_.data() + pos_, k);
            pos_ += k;
            consumed_ += k;
            dst += k;
            n -= k;
        }
    }

    std::uint32_t U32() {
        unsigned char b[4];
        Read(reinterpret_cast<char*>(b), 4);
        return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
               static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
    }

    double F64() {
        unsigned char b[8];
        Read(reinterpret_cast<char*>(b), 8);
        std::uint64_t bits = 0;
        for (int i = 7; i >= 0; --i)
            bits = bits << 8 | b[i];
        return std::bit_cast<double>(bits); // every bit kept, NaN payloads too
    }

    std::string String() {
        const auto length = static_cast<std::int32_t>(U32());
        if (length < 1)
            return {};
        const auto size = static_cast<std::size_t>(length);
        if (sizeKnown_ && size > Remaining())
            throw std::runtime_error(loadmsg::PastEnd);
        std::string text;
        if (sizeKnown_) {
            text.resize(size);
            Read(text.data(), size);
        } else {
            // A pipe or device: grow with the bytes that really arrive.
            while (text.size() < size) {
                const std::size_t chunk = std::min(size - text.size(), kBufferSize);
                const std::size_t at = text.size();
                text.resize(at + chunk);
                Read(text.data() + at, chunk);
            }
        }
        return text;
    }

    // Bytes of a regular file not read yet (the size may have changed since).
    [[nodiscard]] std::uint64_t Remaining() const {
        return size_ > consumed_ ? size_ - consumed_ : 0;
    }
    [[nodiscard]] bool SizeKnown() const { return sizeKnown_; }

private:
    void Fill() {
        for (;;) {
            const ssize_t n = ::read(fd_, buffer_.data(), buffer_.size());
            if (n > 0) {
                pos_ = 0;
                end_ = static_cast<std::size_t>(n);
                return;
            }
            if (n == 0)
                throw std::runtime_error(loadmsg::PastEnd);
            if (errno != EINTR)
                throw FileError(errno);
        }
    }

    int fd_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    std::uint64_t consumed_ = 0;
    std::uint64_t size_ = 0;
    bool sizeKnown_ = false;
};

class Writer {
public:
    explicit Writer(int fd) : fd_(fd) { buffer_.reserve(kBufferSize); }

    void Put(const char* data, std::size_t n) {
        while (n > 0) {
            const std::size_t k = std::min(n, kBufferSize - buffer_.size());
            buffer_.insert(buffer_.end(), data, data + k);
            data += k;
            n -= k;
            if (buffer_.size() == kBufferSize)
                Flush();
        }
    }
    void U32(std::uint32_t v) {
        const char b[4] = {static_cast<char>(v), static_cast<char>(v >> 8),
                           static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
        Put(b, 4);
    }
    void F64(double value) {
        const auto bits = std::bit_cast<std::uint64_t>(value);
        char b[8];
        for (int i = 0; i < 8; ++i)
            b[i] = static_cast<char>(bits >> (8 * i));
        Put(b, 8);
    }
    void String(const std::string& text) {
        // A text too long for the signed 32-bit length cannot be stored.
        if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
            throw FileError(EFBIG);
        U32(static_cast<std::uint32_t>(text.size()));
        Put(text.data(), text.size());
    }
    void Flush() {
        if (buffer_.empty())
            return;
        if (const int err = fileio::WriteAll(fd_, buffer_.data(), buffer_.size()))
            throw FileError(err);
        buffer_.clear();
    }

private:
    int fd_;
    std::vector<char> buffer_;
};

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// The file that a save must replace: a symbolic link is followed to its
// target, so the link stays a link.
std::string ResolveLinks(const std::string& name) {
    std::string path = name;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        std::string target(4096, '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0 || static_cast<std::size_t>(n) >= target.size())
            return path;
        target.resize(static_cast<std::size_t>(n));
        if (target.empty() || target[0] != '/')
            target = DirectoryOf(path) + "/" + target;
        path = std::move(target);
    }
    throw FileError(ELOOP);
}

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

} // namespace

void TDataBase::LoadFromFile(const std::string& name) {
    if (name.empty())
        return;
    std::string message;
    try {
        LoadEntries(name);
    } catch (const std::bad_alloc&) {
        message = loadmsg::OutOfMemory;
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        message = FileErrorMessage(EIO);
    }
    if (!message.empty() && OnLoadError) {
        try {
            OnLoadError(message);
        } catch (...) {
            // A load never passes a failure on, not even one of its reporter.
        }
    }
}

void TDataBase::LoadEntries(const std::string& name) {
    // Opened for reading and writing, as the program always has: a database
    // that may not be written fails to open with the access error.
    Fd file(::open(name.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0)
        throw FileError(errno);
    Reader in(file.get());
    char magic[kMagicSize];
    in.Read(magic, kMagicSize);
    if (std::memcmp(magic, kMagic, kMagicSize) != 0)
        throw std::runtime_error(loadmsg::BadMagic);
    const std::uint32_t count = in.U32();
    if (count >= 0x80000000u)
        throw std::runtime_error(loadmsg::RangeCheck);
    // Room only for the entries that the file can hold, whatever it claims.
    std::uint64_t expected = count;
    if (in.SizeKnown())
        expected = std::min<std::uint64_t>(expected, in.Remaining() / kMinEntrySize);
    else
        expected = std::min<std::uint64_t>(expected, 1024);
    ReserveFor(static_cast<std::size_t>(expected));
    for (std::uint32_t i = 0; i < count; ++i) {
        auto record = std::make_unique<TDataRecord>();
        record->Language = in.String();
        record->ErrorType = in.String();
        record->Project = in.String();
        record->Date = in.F64();
        record->TimeNeeded = in.U32();
        record->Description = in.String();
        try {
            AddRecord(std::move(record));
        } catch (const InvalidEntryException&) {
            // A duplicate in the file is skipped silently.
        }
    }
}

void TDataBase::Save() {
    if (FileName.empty())
        throw FileError(ENOENT);
    try {
        const std::string target = ResolveLinks(FileName);
        struct stat old {};
        const bool exists = ::stat(target.c_str(), &old) == 0;
        if (exists && S_ISDIR(old.st_mode))
            throw FileError(EISDIR);
        if (exists && !S_ISREG(old.st_mode))
            throw FileError(EACCES); // never replace a device or a pipe by a file
        // The save replaces the file instead of writing into it, which the
        // folder's rights would allow even for a write-protected file: such a
        // file is refused as a write into it would be.
        if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
            throw FileError(errno);
        const std::string base = target.substr(target.rfind('/') + 1);
        std::string temp = DirectoryOf(target) + "/.~" + base.substr(0, 200) + ".XXXXXX";
        Fd file(::mkostemp(temp.data(), O_CLOEXEC));
        if (file.get() < 0)
            throw FileError(errno);
        try {
            if (exists) {
                // Keep owner and permissions of the file being replaced.
                (void)::fchown(file.get(), old.st_uid, old.st_gid);
                (void)::fchmod(file.get(), old.st_mode & 07777);
            } else {
                (void)::fchmod(file.get(), 0666 & ~CurrentUmask());
            }
            Writer out(file.get());
            out.Put(kMagic, kMagicSize);
            out.U32(static_cast<std::uint32_t>(Records.size()));
            for (const auto& record : Records) {
                out.String(record->Language);
                out.String(record->ErrorType);
                out.String(record->Project);
                out.F64(record->Date);
                out.U32(record->TimeNeeded);
                out.String(record->Description);
            }
            out.Flush();
            if (const int err = fileio::Flush(file.get()))
                throw FileError(err);
            if (const int err = file.Close())
                throw FileError(err);
            if (const int err = fileio::Rename(temp, target))
                throw FileError(err);
        } catch (...) {
            ::unlink(temp.c_str());
            throw;
        }
        // Make the rename itself durable; the data is already safe either way.
        Fd folder(::open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (folder.get() >= 0 && fileio::Durable())
            (void)::fsync(folder.get());
    } catch (const std::bad_alloc&) {
        throw std::runtime_error(loadmsg::OutOfMemory);
    }
    Modified = false;
}
