#pragma once

#include "commands/DataBaseCommands.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QListWidget;
class QMenu;
class QAction;
class QPushButton;
class TDataBase;
class TValueList;

// The filter dialog: the user ticks the languages, categories and projects to
// show and chooses whether an entry must pass all filters (AND) or one (OR).
// It edits a copy of the database's filter state; the caller writes the ticks
// back into the database only when Execute returns true. Line i of each check
// list stands for position i of the matching value list, so the ticks are read
// back by position.
class TFilterForm : public QDialog {
    Q_OBJECT
public:
    explicit TFilterForm(QWidget* parent = nullptr);

    // Fills the dialog from the database's value lists, their flags and the
    // AND mode, shows it modally and returns true exactly when it was closed
    // with OK.
    bool Execute(const TDataBase& dataBase);
    // The filling step of Execute, without showing the dialog.
    void Fill(const TDataBase& dataBase);

    // Tick state of line i of each list; false for a line that does not exist.
    [[nodiscard]] bool LanguageChecked(int i) const;
    [[nodiscard]] bool ErrorTypeChecked(int i) const;
    [[nodiscard]] bool ProjectChecked(int i) const;
    [[nodiscard]] bool AndFilterChecked() const;
    // All of them, as the command layer sets them.
    [[nodiscard]] TFilterTicks Ticks() const;

    // The list on which the popup menu was last opened (nullptr before that).
    [[nodiscard]] QListWidget* PopupList() const { return popupTarget_; }

    QLabel* LanguageLabel;
    QLabel* ErrorLabel;
    QLabel* ProjectLabel;
    QListWidget* LanguageCheck;
    QListWidget* ErrorCheck;
    QListWidget* ProjectCheck;
    QCheckBox* AndFilterCheckBox;
    QPushButton* FilterReset;
    QPushButton* OkButton;
    QPushButton* CancelButton;
    QMenu* CheckPopup;
    QAction* SelectAll;
    QAction* SelectNothing;
    QAction* Invert;

    // Handlers.
    void FilterResetClick();
    void SelectAllClick();
    void SelectNothingClick();
    void InvertClick();

private:
    QListWidget* makeCheckList(const char* name, const QString& hint);
    void checkPopupRequested(QListWidget* list, const QPoint& pos);

    QListWidget* popupTarget_ = nullptr;
};
