#include "fileio/FileIO.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <stdlib.h>
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

int Rename(const std::string& from, const std::string& to) {
    if (const int err = Injected(Op::Rename))
        return err;
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

} // namespace fileio
