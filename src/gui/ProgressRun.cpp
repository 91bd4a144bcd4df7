#include "gui/ProgressRun.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QScopedValueRollback>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

namespace {

constexpr int Steps = 1000;    // of the dialog's bar
constexpr int ShowAfter = 500; // ms: shorter work shows no dialog
constexpr int LookEvery = 30;  // ms between two looks at the work

} // namespace

void RunWithProgress(QWidget* window, const QString& label,
                     const std::function<void(const exchange::Progress& progress)>& work) {
    std::atomic<std::uint64_t> done{0};
    std::atomic<std::uint64_t> total{1};
    std::atomic<bool> cancelled{false};
    std::atomic<bool> finished{false};
    std::exception_ptr failure;

    QProgressDialog dialog(label, QStringLiteral("Abbrechen"), 0, Steps, window);
    dialog.setObjectName(QStringLiteral("ProgressDialog"));
    dialog.setWindowTitle(QStringLiteral("Mavrolin"));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(ShowAfter);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setValue(0); // the dialog's clock starts here
    QApplication::setOverrideCursor(Qt::BusyCursor);

    std::thread worker([&] {
        try {
            work([&](std::uint64_t d, std::uint64_t t) {
                total.store(std::max<std::uint64_t>(t, 1));
                done.store(d);
                return !cancelled.load();
            });
        } catch (...) {
            failure = std::current_exception();
        }
        finished.store(true);
    });

    QEventLoop loop;
    QTimer look;
    look.setInterval(LookEvery);
    bool looking = false; // the dialog's own event handling may call back
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (looking)
            return;
        const QScopedValueRollback guard(looking, true);
        if (dialog.wasCanceled())
            cancelled.store(true);
        if (finished.load()) {
            loop.quit();
            return;
        }
        const double share = static_cast<double>(done.load()) / static_cast<double>(total.load());
        dialog.setValue(std::clamp(static_cast<int>(share * Steps), 0, Steps - 1));
    });
    look.start();
    loop.exec();
    worker.join();
    QApplication::restoreOverrideCursor();
    if (failure)
        std::rethrow_exception(failure);
}
