#pragma once

#include "gui/FileDialogSlot.h"

#include <QString>
#include <functional>
#include <optional>
#include <string>

class QFileDialog;
class QWidget;

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

    // A dialog for database files, made at its first use: Qt's own (the same
    // titles, filters and behaviour on every desktop), with the database
    // filters and the suffix "mvd"; a chosen file need not exist.
    static TFileDialogSlot DataBaseDialog(QWidget* parent, const char* name, const QString& title,
                                          bool save);

private:
    std::function<std::string()> openFile_;
    QString lastFolder_; // the folder of the file chosen last
};
