#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

class TDataBase;
namespace versions {
struct Comparison;
}

// Compares kept versions with the open database one at a time on a thread of
// its own, so that the window answers while a version of a million entries
// loads (about half a second each). The open database is only read there,
// and the load uses the core's one collator, which two threads must not use
// at once: whoever changes the database (the window's thread, the only other
// user of the collator while a modal dialog runs) stops the comparer first.
class TVersionComparer : public QObject {
    Q_OBJECT
public:
    explicit TVersionComparer(const TDataBase& open, QObject* parent = nullptr);
    // Waits for a comparison under way.
    ~TVersionComparer() override;

    // A comparison was started and its result has not arrived yet.
    [[nodiscard]] bool Busy() const { return busy_; }
    // Compares the version file at `path` (the caller's `key`) with the open
    // database; Compared follows on this object's thread. Only while not Busy.
    void Start(int key, const std::string& path);
    // Stops a comparison under way and waits for its thread (up to the end
    // of the version's load); its result never arrives.
    void Stop();

signals:
    // The comparison of `key`; its error is set when the version did not load.
    void Compared(int key, std::shared_ptr<versions::Comparison> result);

private:
    void deliver(std::uint64_t run, int key, const std::shared_ptr<versions::Comparison>& result);

    const TDataBase& open_;
    std::thread thread_;
    std::uint64_t run_ = 0;         // the started comparison whose result counts
    std::atomic<bool> stop_{false}; // asked by the thread between entries
    bool busy_ = false;
};
