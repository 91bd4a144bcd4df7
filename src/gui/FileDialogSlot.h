#pragma once

#include <functional>

class QFileDialog;

// A file dialog of a window, made at its first use: each QFileDialog starts
// a watcher thread and reads its folder's model, which the window's start
// need not wait for. It reads like the dialog pointer that it stands for.
class TFileDialogSlot {
public:
    using Maker = std::function<QFileDialog*()>;

    TFileDialogSlot() = default;
    explicit TFileDialogSlot(Maker maker) : maker_(std::move(maker)) {}

    QFileDialog* get() {
        if (!dialog_)
            dialog_ = maker_();
        return dialog_;
    }
    QFileDialog* operator->() { return get(); }
    QFileDialog& operator*() { return *get(); }

private:
    Maker maker_;
    QFileDialog* dialog_ = nullptr; // owned by its parent window
};
