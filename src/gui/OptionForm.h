#pragma once

#include "versions/Keeper.h"

#include <QDialog>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QSpinBox;
class TUserManager;

// The options dialog: the user sets the three option flags of the settings
// store, whether saves keep older versions of the database and how much room
// they may take, and can throw away all stored settings. OK changes the three
// flags in memory only, which take effect when the settings are next saved;
// the keeping of versions is written at once when it changed (mvd follows
// it). Otherwise the dialog writes to the store only through the delete
// command.
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
    QFrame* Bevel2;
    QCheckBox* KeepVersionsCheckBox;
    QLabel* VersionsLimitLabel;
    QSpinBox* VersionsLimitEdit; // MiB per database
    QPushButton* DeleteButton;
    QPushButton* OkButton;
    QPushButton* CancelButton;

    // Handlers.
    // Asks whether the stored settings shall go; on "&Ja" marks the store
    // invalid, deletes its settings and closes the dialog with AbortResult.
    void DeleteButtonClick();

private:
    // The policy that the controls show; `shown` is the one they were filled
    // with, whose limit stays when the box still shows it rounded.
    [[nodiscard]] versions::Policy chosenPolicy(const versions::Policy& shown) const;

    TUserManager* store_ = nullptr;
};
