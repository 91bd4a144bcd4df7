// The .mvd file: LoadFromFile, Save and the string encoding of the format.
// Little-endian; the 23-byte magic, an unsigned 32-bit count, then the entries
// (Language, ErrorType, Project as strings, Date as a double, TimeNeeded as an
// unsigned 32-bit value, Description as a string). A string is a signed 32-bit
// length and that many bytes.

#include "core/MvdFile.h"

#include "core/DataBase.h"
#include "core/DataBaseEntry.h"
#include "core/Errors.h"
#include "fileio/InputFile.h"
#include "fileio/Leftovers.h"
#include "fileio/ReplaceFile.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr char kMagic[] = "#MLDB-MavrolinDataBase\r";
constexpr std::size_t kMagicSize = sizeof kMagic - 1; // 23 bytes, no terminator
static_assert(kMagicSize == 23);
// The smallest entry: three empty strings, the date, the minutes, an empty description.
constexpr std::uint64_t kMinEntrySize = 4 + 4 + 4 + 8 + 4 + 4;
// A text of unknown size, or one longer than kBoundedText, is read in pieces
// of this size, so that room grows only with the bytes that really arrive.
constexpr std::size_t kChunkSize = std::size_t{64} * 1024;
constexpr std::size_t kBoundedText = std::size_t{4} << 20;
// Entries read ahead before they are adopted (see loadEntries).
constexpr std::size_t kBatch = 32;

// The values of the format, read from a file; a corrupt length never
// allocates more than the file holds.
class Reader {
public:
    explicit Reader(fileio::InputFile& in) : in_(in) {}

    void Read(char* dst, std::size_t n) { in_.Read(dst, n); }

    std::uint32_t U32() {
        unsigned char b[4];
        const auto* p = reinterpret_cast<const unsigned char*>(in_.TakeBuffered(4));
        if (!p) {
            Read(reinterpret_cast<char*>(b), 4);
            p = b;
        }
        return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
               static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    }

    double F64() {
        unsigned char b[8];
        const auto* p = reinterpret_cast<const unsigned char*>(in_.TakeBuffered(8));
        if (!p) {
            Read(reinterpret_cast<char*>(b), 8);
            p = b;
        }
        std::uint64_t bits = 0;
        for (int i = 7; i >= 0; --i)
            bits = bits << 8 | p[i];
        return std::bit_cast<double>(bits); // every bit kept, NaN payloads too
    }

    // The next text: a view of the file's buffer, or of `scratch` when the
    // text crosses the buffer's end; valid until the next read.
    std::string_view Text(std::string& scratch) {
        const auto length = static_cast<std::int32_t>(U32());
        if (length < 1)
            return {};
        const auto size = static_cast<std::size_t>(length);
        if (in_.SizeKnown() && size > in_.Remaining())
            throw std::runtime_error(loadmsg::PastEnd);
        if (in_.SizeKnown() && size <= kBoundedText)
            return in_.View(size, scratch);
        // A sparse file may claim more than its disk blocks hold.
        if (!in_.Holds(size))
            throw std::runtime_error(loadmsg::PastEnd);
        // A pipe, a device or a long text: grow with the bytes that really arrive.
        scratch.clear();
        while (scratch.size() < size) {
            const std::size_t chunk = std::min(size - scratch.size(), kChunkSize);
            const std::size_t at = scratch.size();
            scratch.resize(at + chunk);
            Read(scratch.data() + at, chunk);
        }
        return scratch;
    }

private:
    fileio::InputFile& in_;
};

// The values of the format, written to a file.
class Writer {
public:
    explicit Writer(fileio::OutputFile& out) : out_(out) {}

    void Put(const char* data, std::size_t n) { out_.Write(data, n); }
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
    void String(std::string_view text) {
        // A text too long for the signed 32-bit length cannot be stored.
        if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
            throw fileio::FileError(EFBIG);
        U32(static_cast<std::uint32_t>(text.size()));
        Put(text.data(), text.size());
    }

    // One entry: straight into the file's buffer when it has the room,
    // otherwise value by value.
    void Entry(const TDataRecord& record) {
        const std::string_view texts[4] = {record.Language(), record.ErrorType(), record.Project(),
                                           record.Description()};
        const std::size_t size =
            4 * 4 + 8 + 4 + texts[0].size() + texts[1].size() + texts[2].size() + texts[3].size();
        char* at = size <= kChunkSize ? out_.Room(size) : nullptr;
        if (!at) {
            String(texts[0]);
            String(texts[1]);
            String(texts[2]);
            F64(record.Date);
            U32(record.TimeNeeded);
            String(texts[3]);
            return;
        }
        for (int k = 0; k < 3; ++k)
            at = Text(at, texts[k]);
        at = Bytes(at, std::bit_cast<std::uint64_t>(record.Date), 8);
        at = Bytes(at, record.TimeNeeded, 4);
        Text(at, texts[3]);
    }

private:
    // `value` in `count` little-endian bytes at `at`; returns the end.
    static char* Bytes(char* at, std::uint64_t value, int count) {
        for (int i = 0; i < count; ++i)
            at[i] = static_cast<char>(value >> (8 * i));
        return at + count;
    }
    static char* Text(char* at, std::string_view text) {
        at = Bytes(at, text.size(), 4);
        if (!text.empty()) // an empty text may have no bytes at all
            std::memcpy(at, text.data(), text.size());
        return at + text.size();
    }

    fileio::OutputFile& out_;
};

} // namespace

bool StartsLikeDataBase(std::string_view bytes) {
    return bytes.starts_with(std::string_view(kMagic, kMagicSize));
}

bool FileStartsLikeDataBase(const std::string& name) {
    struct stat info {};
    if (::stat(name.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false; // opening a pipe to look would wait for its writer
    try {
        fileio::InputFile file(name, fileio::InputFile::Access::ReadOnly);
        char start[kMagicSize];
        file.Read(start, kMagicSize);
        return StartsLikeDataBase(std::string_view(start, kMagicSize));
    } catch (const std::exception&) {
        return false; // too short, or not to be read
    }
}

LoadReport TDataBase::LoadFromFile(const std::string& name, std::vector<std::uint32_t>* addedIds) {
    LoadReport report;
    if (name.empty())
        return report;
    fileio::RemoveLeftovers(name); // of saves that were killed while they wrote
    try {
        loadEntries(name, report, addedIds);
    } catch (const std::bad_alloc&) {
        report.Error = loadmsg::OutOfMemory;
    } catch (const std::exception& e) {
        report.Error = e.what();
    } catch (...) {
        report.Error = fileio::FileErrorMessage(EIO);
    }
    if (!report.Error.empty() && OnLoadError) {
        try {
            OnLoadError(report.Error);
        } catch (...) {
            // A load never passes a failure on, not even one of its reporter.
        }
    }
    return report;
}

void TDataBase::loadEntries(const std::string& name, LoadReport& report,
                            std::vector<std::uint32_t>* addedIds) {
    // Opened for reading and writing, as the program always has: a database
    // that may not be written fails to open with the access error.
    fileio::InputFile file(name, fileio::InputFile::Access::ReadWrite);
    Reader in(file);
    char magic[kMagicSize];
    in.Read(magic, kMagicSize);
    if (!StartsLikeDataBase(std::string_view(magic, kMagicSize)))
        throw std::runtime_error(loadmsg::BadMagic);
    const std::uint32_t count = in.U32();
    if (count >= 0x80000000u)
        throw std::runtime_error(loadmsg::RangeCheck);
    // Room only for the entries that the file can hold, whatever it claims.
    std::uint64_t expected = count;
    if (file.SizeKnown())
        expected = std::min<std::uint64_t>(expected, file.Remaining() / kMinEntrySize);
    else
        expected = std::min<std::uint64_t>(expected, 1024);
    reserveFor(static_cast<std::size_t>(expected));

    // The entries are read in batches: first the fields of each, its
    // description copied to the arena and the identity index's slot for it
    // asked for ahead, then each adopted in file order. The index's random
    // accesses of a batch thus overlap instead of stalling one by one.
    struct Pending {
        Candidate entry;
        std::uint64_t hash = 0;
    };
    std::vector<Pending> batch(kBatch);
    std::size_t read = 0; // entries of the batch read so far
    Index& ix = *index_;
    const auto adoptRead = [&] {
        // Room first, so that every entry placed is on the list.
        if (addedIds && addedIds->capacity() - addedIds->size() < read)
            addedIds->reserve(std::max(addedIds->capacity() * 2, addedIds->size() + read));
        for (std::size_t k = 0; k < read; ++k) {
            Candidate& entry = batch[k].entry;
            entry.id = NextID;
            if (ix.identities.Find(entry.Probe(), batch[k].hash)) {
                // A duplicate in the file is skipped silently. Its description,
                // copied ahead, stays in the arena unless it was the last copy.
                ix.store.ReleaseText(entry.description.data(), entry.description.size());
                ++report.Duplicates;
                continue;
            }
            place(entry, batch[k].hash, Records.size(), nullptr);
            if (addedIds)
                addedIds->push_back(NextID);
            ++NextID;
            ++report.Added;
        }
        read = 0;
    };
    std::string scratch;
    for (std::uint32_t i = 0; i < count;) {
        try {
            for (; read < kBatch && i < count; ++read, ++i) {
                Candidate& entry = batch[read].entry;
                // Each value is looked up (or copied) before the next read moves the buffer.
                entry.Set(0, Languages, in.Text(scratch));
                entry.Set(1, ErrorTypes, in.Text(scratch));
                entry.Set(2, Projects, in.Text(scratch));
                entry.date = in.F64();
                entry.minutes = in.U32();
                const std::string_view text = in.Text(scratch);
                entry.description = std::string_view(ix.store.CopyText(text), text.size());
                entry.textStored = true;
                batch[read].hash = identity::Hash(entry.Probe());
                ix.identities.Prefetch(batch[read].hash);
            }
        } catch (...) {
            adoptRead(); // the entries read before the failure stay
            throw;
        }
        adoptRead();
    }
}

void TDataBase::Save() {
    if (FileName.empty())
        throw fileio::FileError(ENOENT);
    try {
        // The entries written carry the new disk mark, which becomes the
        // database's only when the save succeeds.
        const std::uint16_t mark = nextDiskMark();
        DiskStamp = fileio::ReplaceFile(FileName,
                                        [this, mark](fileio::OutputFile& file) {
                                            Writer out(file);
                                            out.Put(kMagic, kMagicSize);
                                            out.U32(static_cast<std::uint32_t>(Records.size()));
                                            for (TDataRecord* record : Records) {
                                                record->onDisk_ = mark;
                                                out.Entry(*record);
                                            }
                                        },
                                        {.keepOld = KeepOldFile});
        // The base of a later merge; without room for it, there is none.
        try {
            diskIdentities_ = index_->identities.Hashes();
            diskMark_ = mark;
        } catch (const std::bad_alloc&) {
            diskIdentities_.clear();
            diskMark_ = 0;
        }
    } catch (const std::bad_alloc&) {
        throw std::runtime_error(loadmsg::OutOfMemory);
    }
    DiskEntries = DiskStamp.exists ? static_cast<std::int64_t>(Records.size()) : -1;
    Modified = false;
}
