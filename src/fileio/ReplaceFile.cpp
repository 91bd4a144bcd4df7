#include "fileio/ReplaceFile.h"

#include "fileio/FileErrors.h"
#include "fileio/FileIO.h"
#include "fileio/Leftovers.h"
#include "fileio/PathUtil.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace fileio {
namespace {

constexpr std::size_t kChunk = std::size_t{64} * 1024;

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// The file to be replaced, when there is one; throws when it may not be.
std::optional<struct stat> ReplaceableFile(const std::string& target) {
    struct stat old {};
    if (::stat(target.c_str(), &old) != 0)
        return std::nullopt;
    if (S_ISDIR(old.st_mode))
        throw FileError(EISDIR);
    if (!S_ISREG(old.st_mode))
        throw FileError(EACCES); // never replace a device or a pipe by a file
    // Replacing needs only the folder's rights, which would let a
    // write-protected file go: such a file is refused as a write into it would be.
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        throw FileError(errno);
    return old;
}

// The hidden temporary file beside the target, locked while this process
// writes it (see RemoveLeftovers); removed unless it was renamed over the target.
class TempFile {
public:
    TempFile() = default;
    ~TempFile() {
        if (fd_ < 0)
            return;
        if (!renamed_)
            ::unlink(path_.c_str());
        ::close(fd_); // after the unlink, so no one removes it while it is ours
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // Creates and locks the file; 0 or the errno value of the failure.
    int Open(const std::string& target) {
        for (int attempt = 0; attempt < 5; ++attempt) {
            path_ = TempTemplate(target);
            if (const int err = CreateTemp(path_, fd_))
                return err;
            while (::flock(fd_, LOCK_EX) != 0)
                if (errno != EINTR)
                    return Abandon(errno);
            // Another save's clean-up may have removed the file before it was
            // locked: then the name no longer leads to it, and a new one is made.
            struct stat held {
            }, named{};
            if (::fstat(fd_, &held) == 0 && ::stat(path_.c_str(), &named) == 0 &&
                held.st_ino == named.st_ino && held.st_dev == named.st_dev)
                return 0;
            ::close(std::exchange(fd_, -1));
        }
        return EEXIST;
    }

    [[nodiscard]] int Fd() const { return fd_; }
    [[nodiscard]] const std::string& Path() const { return path_; }

    // Flushes the content to disk; the lock is held until the rename is done.
    void FlushToDisk() const {
        if (const int err = Flush(fd_))
            throw FileError(err);
    }

    // Renames the flushed file over `target`. Returns the written file's stamp.
    FileStamp Commit(const std::string& target) {
        if (const int err = Rename(path_, target))
            throw FileError(err);
        renamed_ = true;
        const FileStamp stamp = StampOfFd(fd_);
        ::close(std::exchange(fd_, -1)); // the content is on disk already
        return stamp;
    }

private:
    int Abandon(int err) {
        ::unlink(path_.c_str());
        ::close(std::exchange(fd_, -1));
        return err;
    }

    std::string path_;
    int fd_ = -1;
    bool renamed_ = false;
};

// Makes the rename itself durable; the content is already safe either way.
void FlushFolder(const std::string& target) {
    if (!Durable())
        return;
    const int folder = ::open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        (void)::fsync(folder);
        ::close(folder);
    }
}

void ReplaceInMemory(MemoryFiles& files, const std::string& name, const ContentWriter& write) {
    std::string content;
    OutputFile out(content);
    write(out);
    out.Flush();
    files[name] = std::move(content);
}

// Hands the file about to be replaced to ReplaceOptions::keepOld and tells it
// the outcome: a failure unless Done(true) came first.
class OldFileKeeping {
public:
    OldFileKeeping(const KeepOldFile& keep, const std::string& target, const struct stat& old,
                   bool inPlace) {
        if (!keep)
            return;
        try {
            outcome_ = keep(OldFile{target, old, inPlace});
        } catch (...) {
            // Keeping the old file never stops the replace.
        }
    }
    ~OldFileKeeping() { Done(false); }
    OldFileKeeping(const OldFileKeeping&) = delete;
    OldFileKeeping& operator=(const OldFileKeeping&) = delete;

    void Done(bool replaced) noexcept {
        if (!outcome_)
            return;
        const OldFileOutcome outcome = std::exchange(outcome_, {});
        try {
            outcome(replaced);
        } catch (...) {
        }
    }

private:
    OldFileOutcome outcome_;
};

class FdCloser {
public:
    explicit FdCloser(int fd) : fd_(fd) {}
    ~FdCloser() { ::close(fd_); }
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;

private:
    int fd_;
};

// Truncates the file, writes `content` and flushes it to disk.
int Overwrite(int fd, const std::string& content) {
    if (::ftruncate(fd, 0) != 0 || ::lseek(fd, 0, SEEK_SET) != 0)
        return errno;
    for (std::size_t done = 0; done < content.size(); done += kChunk)
        if (const int err =
                WriteAll(fd, content.data() + done, std::min(kChunk, content.size() - done)))
            return err;
    return Flush(fd);
}

// Writes the file where it is, for a folder that refuses the temporary file
// and for a file with more than one link. Not atomic: the new content is
// prepared completely before the file is touched, and the old content is
// kept in memory and written back when the write fails, so that a failure
// does not leave an empty or cut-off file behind.
FileStamp WriteInPlace(const std::string& target, const struct stat& status,
                       const ContentWriter& write, const KeepOldFile& keepOld) {
    std::string fresh;
    {
        OutputFile out(fresh);
        write(out);
        out.Flush();
    }
    const int fd = ::open(target.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        throw FileError(errno);
    FdCloser closer(fd);
    std::string old;
    if (const int err = ReadWhole(fd, old))
        throw FileError(err);
    OldFileKeeping keeping(keepOld, target, status, /*inPlace=*/true);
    if (const int err = Overwrite(fd, fresh)) {
        (void)Overwrite(fd, old);
        throw FileError(err);
    }
    keeping.Done(true);
    return StampOfFd(fd);
}

// The blocks of a replaced file are freed when its last name and descriptor
// go, which for a large file takes about a third as long as writing it. A
// descriptor held across the rename lets a thread of its own do that work, so
// that the save need not wait for it.
class ReplacedFile {
public:
    ReplacedFile(const std::string& target, const struct stat& old) {
        if (old.st_size < kLargeFile)
            return;
        fd_ = ::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        struct stat held {};
        if (fd_ >= 0 &&
            (::fstat(fd_, &held) != 0 || held.st_ino != old.st_ino || held.st_dev != old.st_dev))
            ::close(std::exchange(fd_, -1));
    }
    ~ReplacedFile() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    ReplacedFile(const ReplacedFile&) = delete;
    ReplacedFile& operator=(const ReplacedFile&) = delete;

    // After the rename: the last descriptor goes on another thread.
    void LetGo() noexcept {
        if (fd_ < 0)
            return;
        try {
            std::thread([fd = fd_] { ::close(fd); }).detach();
            fd_ = -1;
        } catch (...) {
            // No thread to be had: the destructor closes it here.
        }
    }

private:
    static constexpr off_t kLargeFile = off_t{8} << 20;
    int fd_ = -1;
};

// Writes into a pipe or a device, where there is nothing to replace.
void WriteStream(const std::string& target, const ContentWriter& write) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        throw FileError(errno);
    FdCloser closer(fd);
    OutputFile out(fd, target);
    write(out);
    out.Flush();
}

bool FolderRefused(int err) {
    return err == EACCES || err == EPERM || err == EROFS;
}

} // namespace

FileStamp ReplaceFile(const std::string& name, const ContentWriter& write,
                      const ReplaceOptions& options) {
    if (MemoryFiles* files = ActiveMemoryFiles()) {
        ReplaceInMemory(*files, name, write);
        return {};
    }
    // Asked of the name itself: the links of /dev/stdout lead to a pipe that has no path.
    struct stat reached {};
    if (options.intoStreams && ::stat(name.c_str(), &reached) == 0 && !S_ISREG(reached.st_mode) &&
        !S_ISDIR(reached.st_mode)) {
        WriteStream(name, write);
        return {};
    }
    const std::string target = ResolveLinks(name);
    const std::optional<struct stat> old = ReplaceableFile(target);
    RemoveLeftovers(target);
    // Other links to the file would keep the old content after a rename.
    if (old && old->st_nlink > 1)
        return WriteInPlace(target, *old, write, options.keepOld);
    TempFile temp;
    if (const int err = temp.Open(target)) {
        if (old && FolderRefused(err))
            return WriteInPlace(target, *old, write, options.keepOld);
        throw FileError(err);
    }
    if (old) {
        // Keep owner and permissions of the file being replaced. Only root may
        // give a file away; otherwise the new file stays the writer's own.
        const int chowned = ::fchown(temp.Fd(), old->st_uid, old->st_gid);
        (void)chowned;
        (void)::fchmod(temp.Fd(), old->st_mode & 07777);
    } else {
        (void)::fchmod(temp.Fd(), options.newFileMode & ~CurrentUmask());
    }
    OutputFile out(temp.Fd(), temp.Path());
    write(out);
    out.Flush();
    temp.FlushToDisk();
    std::optional<ReplacedFile> replaced;
    std::optional<OldFileKeeping> keeping;
    if (old) {
        replaced.emplace(target, *old);
        // Decided above: a file of one name is renamed over, so whatever
        // keepOld makes of it now (a second name) is its only name afterwards.
        keeping.emplace(options.keepOld, target, *old, /*inPlace=*/false);
    }
    const FileStamp stamp = temp.Commit(target);
    if (replaced)
        replaced->LetGo();
    FlushFolder(target);
    if (keeping)
        keeping->Done(true);
    return stamp;
}

} // namespace fileio
