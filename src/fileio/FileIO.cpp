#include "fileio/FileIO.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <stdlib.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fileio {
namespace {

FaultHook& Hook() {
    static FaultHook hook;
    return hook;
}

int Injected(Op op) {
    const FaultHook& hook = Hook();
    return hook ? hook(op) : 0;
}

bool durable = true;
MemoryFiles* memoryFiles = nullptr;

} // namespace

void SetFaultHook(FaultHook hook) {
    Hook() = std::move(hook);
}

void SetDurable(bool value) {
    durable = value;
}

bool Durable() {
    return durable;
}

void UseMemoryFiles(MemoryFiles* files) {
    memoryFiles = files;
}

MemoryFiles* ActiveMemoryFiles() {
    return memoryFiles;
}

namespace {

// Makes the file nameless and locked first, then gives it a name from the
// template: another save's clean-up of leftovers (which removes temporary
// files that nobody holds locked) never finds it unlocked. -1 where the
// system cannot (no O_TMPFILE on this file system, no /proc).
int CreateLockedTemp(std::string& pathTemplate) {
    const std::size_t slash = pathTemplate.rfind('/');
    const std::size_t random = pathTemplate.rfind("XXXXXX");
    if (slash == std::string::npos || random == std::string::npos || random < slash)
        return -1;
    const std::string folder = slash == 0 ? "/" : pathTemplate.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX) == 0) {
        static constexpr char Letters[] =
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        std::random_device device;
        std::uniform_int_distribution<std::size_t> pick(0, sizeof(Letters) - 2);
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = pathTemplate;
            for (std::size_t i = random; i < random + 6; ++i)
                name[i] = Letters[pick(device)];
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                pathTemplate = std::move(name);
                return fd;
            }
            if (errno != EEXIST)
                break;
        }
    }
    ::close(fd);
    return -1;
}

} // namespace

int CreateTemp(std::string& pathTemplate, int& fd) {
    fd = -1;
    if (const int err = Injected(Op::Create))
        return err;
    fd = CreateLockedTemp(pathTemplate);
    if (fd >= 0)
        return 0;
    fd = ::mkostemp(pathTemplate.data(), O_CLOEXEC);
    return fd >= 0 ? 0 : errno;
}

int WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        if (const int err = Injected(Op::Write))
            return err;
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return ENOSPC; // nothing written and no error: the disk is full
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

int Flush(int fd) {
    if (const int err = Injected(Op::Flush))
        return err;
    if (!durable)
        return 0;
    return ::fsync(fd) == 0 ? 0 : errno;
}

int ReadWhole(int fd, std::string& content) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return errno;
    content.resize(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n =
            ::pread(fd, content.data() + done, content.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            break; // the file shrank meanwhile
        done += static_cast<std::size_t>(n);
    }
    content.resize(done);
    return 0;
}

int Rename(const std::string& from, const std::string& to) {
    if (const int err = Injected(Op::Rename))
        return err;
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

} // namespace fileio
