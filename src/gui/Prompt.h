#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

class QWidget;
class QFileDialog;

// The one seam through which the program shows message boxes and file dialogs.
// In normal runs it shows real modal boxes and dialogs; tests switch it to
// scripted mode, queue the answers, and read back what the user would have seen.
namespace Prompt {

// The kind gives a box its title and icon: warning "Warnung", error "Fehler",
// information "Information", confirmation "Bestätigung". General is the general
// error report (caption given by the caller, error icon). System is the plain
// system box without owner window used before any window exists.
enum class Kind { Warning, Error, Information, Confirmation, General, System };

enum Button : int { NoButton = 0, Yes = 1, No = 2, Ok = 4, Cancel = 8 };
using Buttons = int;

// Shows a modal box; its buttons carry the texts "&Ja", "&Nein", "OK",
// "Abbrechen" (no buttons means OK). An empty title takes the kind's title.
// In scripted mode the next queued answer is returned; with none queued the
// box counts as closed. Returns the button
// pressed; closing the box without a button returns Cancel when offered, else
// the only/last button.
Button Message(QWidget* parent, Kind kind, const QString& text, Buttons buttons,
               const QString& title = QString());

// Shows a modal box whose buttons carry the texts of `choices` (the last one
// also answers Escape and closing the box). Returns the index of the choice;
// in scripted mode the next queued choice, or the last one when none is queued.
int Choose(QWidget* parent, Kind kind, const QString& text, const QStringList& choices);

// Runs a file dialog modally. Returns the chosen path, or nothing when the user
// cancelled. The dialog keeps the chosen name as its preset for the next run.
std::optional<QString> RunFileDialog(QFileDialog& dialog);

// Presets the file name that a file dialog shows (and that scripted mode
// records as ShownFileDialog::selectedFile).
void PresetFile(QFileDialog& dialog, const QString& fileName);

// Hands a document or an address to the desktop (its browser, viewer or mail
// program); false when the desktop has nothing to open it with. In scripted
// mode it is only recorded.
bool OpenUrl(const QUrl& url);

// The title of a kind ("Warnung", "Fehler", "Information", "Bestätigung"; the
// application name for General and System) and the text of a button.
QString KindTitle(Kind kind);
QString ButtonText(Button button);

namespace Testing {
struct ShownMessage {
    Kind kind;
    QString title;
    QString text;
    Buttons buttons;
    QStringList choices = {}; // the buttons of Choose
};
struct ShownFileDialog {
    QString title;
    QString directory;
    QString selectedFile;
};
// Switches to scripted mode and clears queues and records.
void Begin();
// Back to real dialogs.
void End();
// True between Begin and End.
bool Active();
void QueueAnswer(Button answer);
void QueueChoice(int index);                        // for Choose
void QueueFile(const std::optional<QString>& path); // nothing = the user cancels
const QList<ShownMessage>& Messages();
const QList<ShownFileDialog>& FileDialogs();
const QList<QUrl>& OpenedUrls();
// Number of queued answers not used yet (a test can check that all were used).
int PendingAnswers();
} // namespace Testing

} // namespace Prompt
