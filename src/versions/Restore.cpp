#include "versions/Restore.h"

#include "core/DataBase.h"
#include "fileio/FileStamp.h"

#include <stdexcept>

namespace versions {

Comparison CompareVersion(const TDataBase& open, const std::string& versionPath,
                          const std::function<bool()>& stop) {
    constexpr int StopEvery = 4096; // entries
    const auto stopped = [&](int i) { return stop && i % StopEvery == 0 && stop(); };
    const auto stoppedEarly = [] {
        Comparison early;
        early.stopped = true;
        return early;
    };
    Comparison compared;
    compared.version = std::make_unique<TDataBase>();
    TDataBase& version = *compared.version;
    const LoadReport report = version.LoadFromFile(versionPath);
    if (!report.Error.empty()) {
        compared.error = report.Error;
        compared.version.reset();
        return compared;
    }
    for (int i = 0; i < version.Count(); ++i) {
        if (stopped(i))
            return stoppedEarly();
        if (!open.FindIdentical(*version.GetRecord(i)))
            compared.missing.push_back(i);
    }
    for (int i = 0; i < open.Count(); ++i) {
        if (stopped(i))
            return stoppedEarly();
        if (!version.FindIdentical(*open.GetRecord(i)))
            ++compared.onlyOpen;
    }
    return compared;
}

std::vector<TRecordView> MissingEntries(const Comparison& compared, std::span<const int> which) {
    std::vector<TRecordView> entries;
    if (!compared.version)
        return entries;
    entries.reserve(which.size());
    for (const int k : which)
        entries.push_back(compared.version->GetRecord(k)->View());
    return entries;
}

std::size_t BringBack(TDataBase& db, const Comparison& compared, std::span<const int> which,
                      std::vector<std::uint32_t>& ids) {
    const std::vector<TRecordView> entries = MissingEntries(compared, which);
    return entries.empty() ? 0 : db.AddRecords(entries, ids);
}

LoadReport OpenVersionAs(TDataBase& db, const std::string& versionPath,
                         const std::string& originalFile) {
    db.Clear();
    LoadReport report = db.LoadFromFile(versionPath);
    if (!report.Error.empty()) {
        db.Clear();
        return report;
    }
    db.FileName = originalFile;
    db.DiskStamp = fileio::StampOf(originalFile);
    db.DiskEntries = -1;
    db.Modified = true;
    return report;
}

std::size_t ReplaceByVersion(const std::string& databaseFile, const std::string& versionPath,
                             Keeper& keeper) {
    TDataBase db;
    const LoadReport report = db.LoadFromFile(versionPath);
    if (!report.Error.empty())
        throw std::runtime_error(report.Error);
    db.FileName = databaseFile;
    db.KeepOldFile = keeper.HookAlways();
    db.Save();
    return static_cast<std::size_t>(db.Count());
}

} // namespace versions
