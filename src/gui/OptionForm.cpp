#include "gui/OptionForm.h"

#include "gui/ErrorReport.h"
#include "gui/FormSetup.h"
#include "gui/Prompt.h"
#include "settings/UserManager.h"
#include "settings/VersionSettings.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <algorithm>
#include <exception>

namespace {

constexpr std::uint64_t MiB = std::uint64_t{1} << 20;
constexpr int LargestLimit = 1 << 20; // MiB: 1 TiB

// The limit in whole MiB as the box shows it, at least 1.
int LimitInMiB(std::uint64_t bytes) {
    const std::uint64_t rounded = (bytes + MiB / 2) / MiB;
    return static_cast<int>(std::clamp<std::uint64_t>(rounded, 1, LargestLimit));
}

} // namespace

TOptionForm::TOptionForm(QWidget* parent) : QDialog(parent) {
    SetUpDialog(*this, "OptionForm", QStringLiteral("Mavrolin Konfigurieren"),
                Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                    Qt::WindowCloseButtonHint,
                QSize(246, 312));
    move(337, 226);

    TitleLabel = MakeControl<QLabel>(this, "TitleLabel", QStringLiteral("Einstellungen für Nutzer"),
                                     {}, QRect(16, 16, 112, 13));
    TitleLabel->adjustSize(); // sized to its text, so that a wider font does not clip it

    UserLabel = new QLabel(this);
    UserLabel->setObjectName(QStringLiteral("UserLabel"));
    QFont bold = UserLabel->font();
    bold.setBold(true);
    UserLabel->setFont(bold);
    UserLabel->move(140, 16);

    // The check boxes grow to their captions at most to the frame's right edge.
    constexpr int FrameRight = 16 + 217;
    // The frame comes first so that the check boxes inside it lie above it.
    Bevel1 = MakeBevel(this, "Bevel1", QRect(16, 40, 217, 65));

    SaveWindowConfigCheckBox = MakeCheckBox(
        this, "SaveWindowConfigCheckBox", QStringLiteral("Fenster&konfiguration sichern"),
        QStringLiteral("sichert Position, Größe und Aufteilung des Hauptfensters in der Registry "
                       "und stellt diese Werte beim nächsten Programmstart wieder her"),
        QRect(24, 48, 201, 17), FrameRight);
    SaveContentsCheckBox = MakeCheckBox(
        this, "SaveContentsCheckBox", QStringLiteral("Fenster&inhalt speichern"),
        QStringLiteral("sichert den Namen der geöffneten Datenbank, um sie beim nächsten "
                       "Programmstart wieder zu öffnen"),
        QRect(24, 80, 201, 17), FrameRight);
    SaveOnExitCheckBox = MakeCheckBox(
        this, "SaveOnExitCheckBox", QStringLiteral("&Einstellungen beim Beenden speichern"),
        QStringLiteral("beim Beenden des Mavrolins werden die oben spezifizierten Werte "
                       "automatisch gesichert, und beim nächsten Programmstart wieder hergestellt"),
        QRect(16, 118, 209, 17), FrameRight);

    // Older versions of the database, kept by every save.
    Bevel2 = MakeBevel(this, "Bevel2", QRect(16, 146, 217, 83));
    KeepVersionsCheckBox = MakeCheckBox(
        this, "KeepVersionsCheckBox", QStringLiteral("Ältere &Versionen aufbewahren"),
        QStringLiteral("bewahrt beim Sichern die bisherige Fassung der Datenbank als ältere "
                       "Version auf; ausgeschaltet bleiben die schon aufbewahrten erhalten"),
        QRect(24, 154, 201, 17), FrameRight);
    VersionsLimitLabel = MakeControl<QLabel>(this, "VersionsLimitLabel",
                                             QStringLiteral("&Platz je Datenbank höchstens:"), {},
                                             QRect(40, 178, 185, 13));
    VersionsLimitEdit = new QSpinBox(this);
    VersionsLimitEdit->setObjectName(QStringLiteral("VersionsLimitEdit"));
    VersionsLimitEdit->setToolTip(
        QStringLiteral("so viel Platz dürfen die älteren Versionen einer Datenbank belegen; die "
                       "ältesten gehen zuerst, die neueste bleibt immer"));
    VersionsLimitEdit->setLocale(QLocale(QLocale::German, QLocale::Germany));
    VersionsLimitEdit->setGroupSeparatorShown(true);
    VersionsLimitEdit->setRange(1, LargestLimit);
    VersionsLimitEdit->setSingleStep(128);
    VersionsLimitEdit->setSuffix(QStringLiteral(" MiB"));
    VersionsLimitEdit->setAlignment(Qt::AlignRight);
    VersionsLimitEdit->setGeometry(QRect(40, 196, 100, 21));
    VersionsLimitLabel->setBuddy(VersionsLimitEdit);
    // Switched off, the limit does nothing (nothing is kept or thinned).
    connect(KeepVersionsCheckBox, &QCheckBox::toggled, VersionsLimitEdit, &QWidget::setEnabled);
    connect(KeepVersionsCheckBox, &QCheckBox::toggled, VersionsLimitLabel, &QWidget::setEnabled);

    DeleteButton = MakeControl<QPushButton>(
        this, "DeleteButton", QStringLiteral("&Originalkonfikuration wiederherstellen"),
        QStringLiteral("löscht die Konfigurationseinträge aus der Registry, und verwendet somit "
                       "beim nächsten Start wieder die Originalkonfiguration"),
        QRect(16, 242, 217, 25));
    OkButton = MakeOkButton(*this, QStringLiteral("bestätigt die gemachten Einstellungen"),
                            QRect(16, 280, 97, 24), true);
    CancelButton = MakeCancelButton(
        *this, QStringLiteral("Abbrechen"),
        QStringLiteral("bricht diesen Dialog ab, und behält die ursprünglichen Einstellungen bei"),
        QRect(136, 280, 97, 24), true);

    connect(DeleteButton, &QPushButton::clicked, this, &TOptionForm::DeleteButtonClick);

    setTabOrder(SaveOnExitCheckBox, KeepVersionsCheckBox);
    setTabOrder(KeepVersionsCheckBox, VersionsLimitEdit);
    setTabOrder(VersionsLimitEdit, OkButton);
    setTabOrder(OkButton, CancelButton);
    setTabOrder(CancelButton, SaveWindowConfigCheckBox);
    setTabOrder(SaveWindowConfigCheckBox, SaveContentsCheckBox);
    setTabOrder(SaveContentsCheckBox, DeleteButton);
}

bool TOptionForm::Execute(TUserManager& store) {
    store_ = &store;
    UserLabel->setText(QString::fromUtf8(store.UserName));
    UserLabel->adjustSize();
    SaveWindowConfigCheckBox->setChecked(store.SaveWindowConfig);
    SaveContentsCheckBox->setChecked(store.SaveContents);
    SaveOnExitCheckBox->setChecked(store.SaveOnExit);
    const versions::Policy shown = settings::LoadVersionPolicy(store);
    KeepVersionsCheckBox->setChecked(shown.Keep);
    VersionsLimitEdit->setValue(LimitInMiB(shown.SizeLimit));
    VersionsLimitEdit->setEnabled(shown.Keep);
    VersionsLimitLabel->setEnabled(shown.Keep);
    OkButton->setFocus();

    const int result = exec();
    if (result == QDialog::Accepted) {
        store.SaveWindowConfig = SaveWindowConfigCheckBox->isChecked();
        store.SaveContents = SaveContentsCheckBox->isChecked();
        store.SaveOnExit = SaveOnExitCheckBox->isChecked();
        const versions::Policy chosen = chosenPolicy(shown);
        if (chosen.Keep != shown.Keep || chosen.SizeLimit != shown.SizeLimit)
            settings::SaveVersionPolicy(store, chosen);
    }
    return result != AbortResult;
}

versions::Policy TOptionForm::chosenPolicy(const versions::Policy& shown) const {
    versions::Policy chosen = shown;
    chosen.Keep = KeepVersionsCheckBox->isChecked();
    if (VersionsLimitEdit->value() != LimitInMiB(shown.SizeLimit))
        chosen.SizeLimit = static_cast<std::uint64_t>(VersionsLimitEdit->value()) * MiB;
    return chosen;
}

void TOptionForm::DeleteButtonClick() {
    if (store_ == nullptr)
        return;
    const QString question =
        QStringLiteral("Sollen beim nächsten Start wirklich wieder die Originaleinstellungen "
                       "verwendet werden? Die bisher gemachten Einstellungen für ") +
        QString::fromUtf8(store_->UserName) + QStringLiteral(" gehen dabei verloren. ");
    if (Prompt::Message(this, Prompt::Kind::Warning, question, Prompt::Yes | Prompt::No) !=
        Prompt::Yes)
        return;
    // Marked invalid before the deletion, so that even when the deletion fails
    // nothing is written to the store for the rest of the run.
    store_->Valid = false;
    try {
        store_->DeleteSettings();
    } catch (const std::exception& error) {
        // The dialog stays open; no exception may cross the event loop.
        ErrorReport::Show(this, error);
        return;
    }
    done(AbortResult);
}
