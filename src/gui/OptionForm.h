#pragma once

#include <QDialog>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class TUserManager;

// The options dialog: the user sets the three option flags of the settings
// store and can throw away all stored settings. The dialog writes nothing to
// the store's backing file except through the delete command; OK changes only
// the flags in memory, which take effect when the settings are next saved.
class TOptionForm : public QDialog {
    Q_OBJECT
public:
    // Result with which the delete command closes the dialog (neither OK nor
    // Cancel).
    static constexpr int AbortResult = 3;

    explicit TOptionForm(QWidget* parent = nullptr);

    // Fills the dialog from `store`, shows it modally and copies the ticks back
    // into the store's flags when it was closed with OK. Returns false when
    // the user deleted the stored settings during this opening, true
    // otherwise (also after Cancel). The dialog keeps a reference to `store`
    // until the next Execute; it does not own it.
    bool Execute(TUserManager& store);

    QLabel* TitleLabel;
    QLabel* UserLabel;
    QFrame* Bevel1;
    QCheckBox* SaveWindowConfigCheckBox;
    QCheckBox* SaveContentsCheckBox;
    QCheckBox* SaveOnExitCheckBox;
    QPushButton* DeleteButton;
    QPushButton* OkButton;
    QPushButton* CancelButton;

    // Handlers.
    // Asks whether the stored settings shall go; on "&Ja" marks the store
    // invalid, deletes its settings and closes the dialog with AbortResult.
    void DeleteButtonClick();

private:
    TUserManager* store_ = nullptr;
};
