#include "gui/FileChooser.h"

#include "gui/NativePath.h"
#include "gui/Prompt.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

namespace {

// When Return accepts Qt's dialog while the name completer's list is open,
// Qt leaves that list on screen after the dialog has gone, where it takes the
// keyboard: hide it.
std::optional<QString> RunFileDialogHidingCompleter(QFileDialog& dialog) {
    std::optional<QString> chosen = Prompt::RunFileDialog(dialog);
    for (const QLineEdit* edit : dialog.findChildren<QLineEdit*>())
        if (const QCompleter* completer = edit->completer(); completer && completer->popup())
            completer->popup()->hide();
    return chosen;
}

} // namespace

std::optional<QString> TFileChooser::Choose(QFileDialog& dialog, const QString& preset) {
    QString folder = QDir::homePath();
    const std::string openFile = openFile_();
    const QFileInfo dataBaseFile(nativepath::ToQString(openFile));
    if (!openFile.empty() && dataBaseFile.dir().exists())
        folder = dataBaseFile.absolutePath();
    else if (!lastFolder_.isEmpty() && QDir(lastFolder_).exists())
        folder = lastFolder_;
    dialog.setDirectory(folder);
    Prompt::PresetFile(dialog, preset);
    std::optional<QString> chosen = RunFileDialogHidingCompleter(dialog);
    if (chosen)
        lastFolder_ = QFileInfo(*chosen).absolutePath();
    return chosen;
}

TFileDialogSlot TFileChooser::DataBaseDialog(QWidget* parent, const char* name,
                                             const QString& title, bool save) {
    return TFileDialogSlot([=] {
        auto* dialog = new QFileDialog(parent, title);
        dialog->setObjectName(QLatin1String(name));
        dialog->setOption(QFileDialog::DontUseNativeDialog);
        dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setDefaultSuffix(QStringLiteral("mvd"));
        dialog->setNameFilters(
            {QStringLiteral("Mavrolin-Datenbank (*.mvd)"), QStringLiteral("alle Dateien (*.*)")});
        return dialog;
    });
}
