#include "exchange/ExportFile.h"

#include "core/Errors.h"
#include "fileio/FileIO.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace exchange {

namespace {

[[noreturn]] void Fail(int err) {
    throw std::runtime_error(fileio::FileErrorMessage(err));
}

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

} // namespace

ExportFile::ExportFile(std::string target) : target_(std::move(target)) {}

ExportFile::~ExportFile() {
    if (fd_ >= 0)
        ::close(fd_);
    if (!committed_ && !direct_ && !path_.empty())
        ::unlink(path_.c_str());
}

void ExportFile::Open() {
    if (target_.empty())
        Fail(ENOENT);
    // A link is followed, so the file it names is replaced, not the link.
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(target_, error);
    const std::string target = error ? target_ : resolved.string();

    struct stat info {};
    if (::stat(target.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        if (S_ISDIR(info.st_mode))
            Fail(EISDIR);
        direct_ = true;
        path_ = target;
        fd_ = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd_ < 0)
            Fail(errno);
        return;
    }
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string temp =
        folder + (slash == std::string::npos ? "/" : "") + ".~" + base.substr(0, 200) + ".XXXXXX";
    fd_ = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd_ < 0)
        Fail(errno);
    path_ = temp;
    target_ = target;
    (void)::fchmod(fd_, 0666 & ~CurrentUmask());
}

void ExportFile::Write(std::string_view bytes) {
    if (const int err = fileio::WriteAll(fd_, bytes.data(), bytes.size()))
        Fail(err);
}

void ExportFile::Commit() {
    if (!direct_)
        if (const int err = fileio::Flush(fd_))
            Fail(err);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        Fail(errno);
    if (!direct_)
        if (const int err = fileio::Rename(path_, target_))
            Fail(err);
    committed_ = true;
}

} // namespace exchange
