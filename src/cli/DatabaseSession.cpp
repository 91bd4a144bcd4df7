#include "DatabaseSession.h"

#include "Errors.h"

#include <ostream>
#include <stdexcept>

DatabaseSession::DatabaseSession(std::ostream& err) : err_(err) {
    db.OnLoadError = [this](const std::string& message) { err_ << message << '\n'; };
}

bool DatabaseSession::Lock(const std::string& file) {
    lock_ = std::make_unique<DatabaseLock>(file, DatabaseLock::DefaultTimeout());
    if (lock_->Acquired())
        return true;
    err_
        << "mvd: " << file
        << " wird gerade von einem anderen mvd-Aufruf ge\u00E4ndert. Bitte sp\u00E4ter noch einmal "
           "versuchen.\n";
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
    try {
        db.Save();
        return true;
    } catch (const std::exception& e) {
        err_ << GeneralReportText(e.what()) << '\n';
        return false;
    }
}
