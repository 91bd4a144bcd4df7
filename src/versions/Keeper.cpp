#include "versions/Keeper.h"

#include "core/DataBase.h"
#include "fileio/FileErrors.h"
#include "versions/StepFaults.h"
#include "versions/Thinning.h"
#include "versions/VersionFolder.h"
#include "versions/VersionIndex.h"
#include "versions/VersionList.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace versions {
namespace {

constexpr int kNameAttempts = 1000;
constexpr std::size_t kCopyChunk = std::size_t{1} << 20;

std::int64_t NowMicros() {
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

fileio::FileStamp StampOfStat(const struct stat& st) {
    return {true, static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
            static_cast<std::int64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

// A hard link is no way here; a reflink or a copy may be.
bool LinkImpossible(int err) {
    return err == EXDEV || err == EPERM || err == EMLINK || err == EOPNOTSUPP;
}

bool CopyRangeImpossible(int err) {
    return err == EXDEV || err == EINVAL || err == ENOSYS || err == EOPNOTSUPP || err == EBADF;
}

int WriteAllTo(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

// The content of `source` into the empty file `target`: a reflink where the
// file system offers one, otherwise the bytes (copied in the kernel where it can).
int CloneOrCopy(int source, int target) {
    if (InjectedFault(Step::Clone) == 0 && ::ioctl(target, FICLONE, source) == 0)
        return 0;
    bool inKernel = true;
    std::vector<char> buffer;
    while (true) {
        if (const int err = InjectedFault(Step::Write))
            return err;
        if (inKernel) {
            const ssize_t n = ::copy_file_range(source, nullptr, target, nullptr, kCopyChunk, 0);
            if (n > 0)
                continue;
            if (n == 0)
                return 0;
            if (errno == EINTR)
                continue;
            if (!CopyRangeImpossible(errno) || ::lseek(target, 0, SEEK_CUR) != 0)
                return errno;
            inKernel = false;
            buffer.resize(kCopyChunk);
        }
        const ssize_t n = ::read(source, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return 0;
        if (const int err = WriteAllTo(target, buffer.data(), static_cast<std::size_t>(n)))
            return err;
    }
}

// A new version file `version` with the content of `source`, readable by
// its owner only; nothing is left of it on failure.
int MakeCopy(const std::string& source, const std::string& version) {
    if (const int err = InjectedFault(Step::Create))
        return err;
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (in < 0)
        return errno;
    const int out = ::open(version.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) {
        const int err = errno;
        ::close(in);
        return err;
    }
    int err = CloneOrCopy(in, out);
    if (::close(out) != 0 && err == 0)
        err = errno;
    ::close(in);
    if (err != 0)
        ::unlink(version.c_str());
    return err;
}

int MakeLink(const std::string& source, const std::string& version) {
    if (const int err = InjectedFault(Step::Link))
        return err;
    return ::link(source.c_str(), version.c_str()) == 0 ? 0 : errno;
}

// Versions that are names of the file itself (left by a save killed between
// its link and its rename) would take the new content of a write in place.
// They hold what the version made now holds, so they simply go.
void ForgetSharedVersions(std::vector<Version>& present, const struct stat& file) {
    std::erase_if(present, [&](const Version& version) {
        struct stat st {};
        const bool shared = ::stat(version.path.c_str(), &st) == 0 && st.st_ino == file.st_ino &&
                            st.st_dev == file.st_dev;
        if (shared)
            ::unlink(version.path.c_str());
        return shared;
    });
}

// The blocks of a removed version are freed when its last descriptor goes,
// which for a large file takes a while: a thread of its own does that.
void LetGoLater(std::vector<int> fds) {
    if (fds.empty())
        return;
    try {
        std::thread([held = fds] {
            for (const int fd : held)
                ::close(fd);
        }).detach();
        return;
    } catch (...) {
        // No thread to be had: closed here.
    }
    for (const int fd : fds)
        ::close(fd);
}

// Thins the versions of the folder and notes the version just made (`made`,
// with its number of entries when known) in the index.
void Thin(const std::string& folder, const std::string& fullPath, const std::string& made,
          std::int64_t entries, std::uint64_t sizeLimit) {
    const std::vector<Version> present = ScanFolder(folder);
    const std::int64_t now = NowMicros();
    std::vector<AgedVersion> aged;
    aged.reserve(present.size());
    for (const Version& version : present)
        aged.push_back({(now - version.keptMicros) / 1000000, version.size});
    const std::vector<bool> keep = VersionsToKeep(aged, sizeLimit);
    std::vector<int> removed;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < present.size(); ++i) {
        const Version& version = present[i];
        if (keep[i]) {
            ++kept;
            if (version.path == made && entries >= 0)
                (void)AppendToIndex(folder, fullPath, version.name,
                                    {version.size, version.changedNs, version.inode, entries});
            continue;
        }
        const int fd = ::open(version.path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
        if (::unlink(version.path.c_str()) == 0 && fd >= 0)
            removed.push_back(fd);
        else if (fd >= 0)
            ::close(fd);
    }
    if (removed.empty())
        return;
    LetGoLater(std::move(removed));
    // The lines of removed versions stay in the index until they outnumber
    // the others; then it is written anew with the lines of the kept ones.
    Index index = ReadIndex(folder);
    if (index.size() <= 2 * kept + 16)
        return;
    std::erase_if(index, [&](const auto& line) {
        return std::none_of(present.begin(), present.end(), [&](const Version& version) {
            return version.name == line.first && std::filesystem::exists(version.path);
        });
    });
    (void)WriteIndex(folder, fullPath, index);
}

std::string WarningText(int err, const std::string& folder) {
    return "Die bisherige Fassung der Datenbank konnte nicht als \u00E4ltere Version aufbewahrt "
           "werden (" +
           fileio::FileErrorMessage(err) + ": " + folder +
           "). Die Datenbank wurde trotzdem gesichert.";
}

} // namespace

fileio::KeepOldFile Keeper::HookFor(const TDataBase& db) {
    return [this, &db](const fileio::OldFile& old) -> fileio::OldFileOutcome {
        if (!policy_.Keep)
            return {};
        return keep(old, {db.DiskStamp, db.DiskEntries});
    };
}

fileio::KeepOldFile Keeper::HookAlways(KnownContent known) {
    return [this, known](const fileio::OldFile& old) { return keep(old, known); };
}

std::string Keeper::TakeWarning() {
    return std::exchange(warning_, {});
}

fileio::OldFileOutcome Keeper::keep(const fileio::OldFile& old, const KnownContent& known) {
    lastKept_.clear();
    const std::string fullPath = FullPath(old.path);
    const std::string folder = FolderOf(old.path);
    int err = folder.empty() ? ENOENT : MakeFolder(folder);
    std::string made;
    bool linked = false;
    if (err == 0) {
        std::vector<Version> present = ScanFolder(folder);
        if (old.inPlace)
            ForgetSharedVersions(present, old.status);
        // After every version there, also when the clock was put back.
        std::int64_t at = NowMicros();
        if (!present.empty())
            at = std::max(at, present.front().keptMicros + 1);
        // A hard link only where a rename follows, and only to a file of one's own.
        const bool mayLink = !old.inPlace && old.status.st_uid == ::geteuid();
        for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
            const std::string path = folder + "/" + VersionName(at + attempt);
            err = mayLink ? MakeLink(old.path, path) : EXDEV;
            linked = err == 0;
            if (LinkImpossible(err))
                err = MakeCopy(old.path, path);
            if (err == EEXIST)
                continue; // another save took that name meanwhile
            if (err == 0)
                made = path;
            break;
        }
    }
    const std::string warning =
        err == 0 ? std::string() : WarningText(err, folder.empty() ? VersionsRoot() : folder);
    const std::int64_t entries =
        known.entries >= 0 && known.stamp == StampOfStat(old.status) ? known.entries : -1;
    return [this, folder, fullPath, made, linked, entries, warning](bool replaced) {
        if (!replaced) {
            // The old file stays what it was: no version of it is needed, and a
            // second name would make the next save write in place.
            if (!made.empty())
                ::unlink(made.c_str());
            return;
        }
        if (!warning.empty() && !warned_) {
            warned_ = true;
            warning_ = warning;
        }
        if (made.empty())
            return;
        // The old file now has the version's name only.
        if (linked)
            (void)::chmod(made.c_str(), 0600);
        lastKept_ = made;
        Thin(folder, fullPath, made, entries, policy_.SizeLimit);
    };
}

} // namespace versions
