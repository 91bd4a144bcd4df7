#pragma once

#include <QObject>
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
// loads (about half a second each). The open database is only read there:
// whoever changes it stops the comparer first and starts it again after.
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
    // Waits until a comparison under way has ended; its result never arrives.
    void Stop();

signals:
    // The comparison of `key`; its error is set when the version did not load.
    void Compared(int key, std::shared_ptr<versions::Comparison> result);

private:
    void deliver(std::uint64_t run, int key, const std::shared_ptr<versions::Comparison>& result);

    const TDataBase& open_;
    std::thread thread_;
    std::uint64_t run_ = 0; // the started comparison whose result counts
    bool busy_ = false;
};
