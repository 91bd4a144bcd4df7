#include "fileio/FileIO.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <stdlib.h>
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

int CreateTemp(std::string& pathTemplate, int& fd) {
    fd = -1;
    if (const int err = Injected(Op::Create))
        return err;
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
