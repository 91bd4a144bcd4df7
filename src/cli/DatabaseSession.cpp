#include "DatabaseSession.h"

#include <ostream>
#include <stdexcept>

std::string GeneralReportText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}

DatabaseSession::DatabaseSession(std::ostream& err) : err_(err) {
    db.OnLoadError = [this](const std::string& message) {
        failed_ = true;
        lastError_ = message;
        err_ << message << '\n';
    };
}

bool DatabaseSession::Open(const std::string& file) {
    failed_ = false;
    lastError_.clear();
    db.FileName = file;
    db.Reload();
    return !failed_;
}

bool DatabaseSession::Import(const std::string& file) {
    failed_ = false;
    lastError_.clear();
    db.LoadFromFile(file);
    return !failed_;
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
