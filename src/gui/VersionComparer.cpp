#include "gui/VersionComparer.h"

#include "core/DataBase.h"
#include "versions/Restore.h"

#include <exception>
#include <system_error>

TVersionComparer::TVersionComparer(const TDataBase& open, QObject* parent)
    : QObject(parent), open_(open) {
    setObjectName(QStringLiteral("VersionComparer"));
}

TVersionComparer::~TVersionComparer() {
    Stop();
}

void TVersionComparer::Start(int key, const std::string& path) {
    if (thread_.joinable())
        thread_.join(); // ended, its result delivered or dropped
    busy_ = true;
    stop_ = false;
    const std::uint64_t run = ++run_;
    auto work = [this, run, key, path] {
        auto result = std::make_shared<versions::Comparison>();
        try {
            *result = versions::CompareVersion(open_, path, [this] { return stop_.load(); });
        } catch (const std::exception& error) {
            // Out of memory, most likely: the version is not offered.
            *result = {};
            result->error = error.what();
        }
        // This object outlives the thread (Stop joins it), and the queued
        // call goes with it.
        QMetaObject::invokeMethod(
            this, [this, run, key, result] { deliver(run, key, result); }, Qt::QueuedConnection);
    };
    try {
        thread_ = std::thread(work);
    } catch (const std::system_error&) {
        work(); // no thread to be had: here, and the window waits
    }
}

void TVersionComparer::deliver(std::uint64_t run, int key,
                               const std::shared_ptr<versions::Comparison>& result) {
    if (run != run_)
        return; // stopped since
    if (thread_.joinable())
        thread_.join();
    busy_ = false;
    emit Compared(key, result);
}

void TVersionComparer::Stop() {
    ++run_;
    stop_ = true; // a comparison ends at once; a load under way goes on to its end
    if (thread_.joinable())
        thread_.join();
    busy_ = false;
}
