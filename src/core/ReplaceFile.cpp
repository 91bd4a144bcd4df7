#include "ReplaceFile.h"

#include "Errors.h"
#include "FileIO.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace fileio {
namespace {

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// The file that a replace must write: a symbolic link is followed to its
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

// The hidden temporary file beside the target; removed unless it was renamed
// over the target.
class TempFile {
public:
    explicit TempFile(const std::string& target) {
        const std::string base = target.substr(target.rfind('/') + 1);
        path_ = DirectoryOf(target) + "/.~" + base.substr(0, 200) + ".XXXXXX";
        fd_ = ::mkostemp(path_.data(), O_CLOEXEC);
        if (fd_ < 0)
            throw FileError(errno);
    }
    ~TempFile() {
        if (fd_ >= 0)
            ::close(fd_);
        if (!renamed_)
            ::unlink(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    [[nodiscard]] int Fd() const { return fd_; }

    // Flushes the content to disk, closes and renames the file over `target`.
    void Commit(const std::string& target) {
        if (const int err = Flush(fd_))
            throw FileError(err);
        const int fd = std::exchange(fd_, -1);
        if (::close(fd) != 0)
            throw FileError(errno);
        if (const int err = Rename(path_, target))
            throw FileError(err);
        renamed_ = true;
    }

private:
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

} // namespace

void ReplaceFile(const std::string& name, const ContentWriter& write,
                 const ReplaceOptions& options) {
    if (MemoryFiles* files = ActiveMemoryFiles()) {
        ReplaceInMemory(*files, name, write);
        return;
    }
    const std::string target = ResolveLinks(name);
    const std::optional<struct stat> old = ReplaceableFile(target);
    TempFile temp(target);
    if (old) {
        // Keep owner and permissions of the file being replaced.
        (void)::fchown(temp.Fd(), old->st_uid, old->st_gid);
        (void)::fchmod(temp.Fd(), old->st_mode & 07777);
    } else {
        (void)::fchmod(temp.Fd(), options.newFileMode & ~CurrentUmask());
    }
    OutputFile out(temp.Fd());
    write(out);
    out.Flush();
    temp.Commit(target);
    FlushFolder(target);
}

} // namespace fileio
