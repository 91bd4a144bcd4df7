#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>

class QFileDialog;

// Runs the window's file dialogs through the Prompt seam. A dialog opens in
// the folder of the open database, else in the folder of the file chosen last
// in this run, else in the home folder.
class TFileChooser {
public:
    // `openFile`: the open database's file name (native path bytes, empty for none).
    explicit TFileChooser(std::function<std::string()> openFile) : openFile_(std::move(openFile)) {}

    // The file chosen in `dialog`, shown with `preset` as its name; nothing
    // when the user cancelled.
    std::optional<QString> Choose(QFileDialog& dialog, const QString& preset);

private:
    std::function<std::string()> openFile_;
    QString lastFolder_; // the folder of the file chosen last
};
