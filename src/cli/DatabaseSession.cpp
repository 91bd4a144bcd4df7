#include "cli/DatabaseSession.h"

#include "cli/VersionPolicy.h"
#include "core/Errors.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <ostream>
#include <stdexcept>
#include <sys/stat.h>

DatabaseSession::DatabaseSession(std::ostream& err) : err_(err) {
    db.OnLoadError = [this](const std::string& message) { err_ << message << '\n'; };
    db.KeepOldFile = keeper_.HookFor(db);
}

namespace {

// The wait of a changing verb: MVD_LOCK_TIMEOUT (seconds) or 10 s.
std::chrono::milliseconds LockTimeout() {
    if (const char* seconds = std::getenv("MVD_LOCK_TIMEOUT")) {
        char* end = nullptr;
        const double value = std::strtod(seconds, &end);
        if (end != seconds && *end == '\0' && value >= 0 && value < 86400)
            return std::chrono::milliseconds(static_cast<long long>(value * 1000));
    }
    return std::chrono::seconds(10);
}

} // namespace

bool DatabaseSession::Lock(const std::string& file) {
    // From here on the run changes FILE: a closed output ("| head -1") must
    // not end it before the save, so a write to it fails (EPIPE) instead of
    // raising SIGPIPE, and what was to be said there is lost, nothing else.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        lock_ = std::make_unique<fileio::FileLock>(file, LockTimeout());
    } catch (const std::exception& e) {
        err_ << "mvd: " << e.what() << '\n';
        return false;
    }
    if (lock_->Acquired())
        return true;
    err_
        << "mvd: " << file
        << " wird gerade von einem anderen mvd-Aufruf ge\u00E4ndert. Bitte sp\u00E4ter noch einmal "
           "versuchen.\n";
    return false;
}

bool DatabaseSession::OpenForChange(const std::string& file, bool missingIsNew) {
    if (!Lock(file))
        return false;
    struct stat info {};
    if (missingIsNew && stat(file.c_str(), &info) != 0 && errno == ENOENT) {
        db.FileName = file;
        return true;
    }
    if (Open(file))
        return true;
    err_ << "mvd: " << file
         << " wurde nicht ver\u00E4ndert, weil die Datenbank nicht vollst\u00E4ndig "
            "gelesen werden konnte.\n";
    return false;
}

bool DatabaseSession::Open(const std::string& file) {
    db.FileName = file;
    lastLoad_ = db.Reload();
    return lastLoad_.Error.empty();
}

bool DatabaseSession::Import(const std::string& file) {
    lastLoad_ = db.LoadFromFile(file);
    return lastLoad_.Error.empty();
}

bool DatabaseSession::Save() {
    keeper_.SetPolicy(UserVersionPolicy());
    try {
        db.Save();
    } catch (const std::exception& e) {
        err_ << GeneralReportText(e.what()) << '\n';
        return false;
    }
    if (const std::string warning = keeper_.TakeWarning(); !warning.empty())
        err_ << "mvd: " << warning << '\n';
    return true;
}
