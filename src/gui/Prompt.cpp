#include "gui/Prompt.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QQueue>
#include <QUrl>
#include <QVariant>

namespace Prompt {
namespace {

// Name of the dynamic property that PresetFile leaves on a dialog, so that the
// scripted mode can report the preset name without asking the dialog's view.
constexpr const char* PresetProperty = "mavrolinPresetFile";

struct Script {
    bool active = false;
    QQueue<Button> answers;
    QQueue<int> choices;
    QQueue<std::optional<QString>> files;
    QList<Testing::ShownMessage> messages;
    QList<Testing::ShownFileDialog> fileDialogs;
    QList<QUrl> openedUrls;
};

Script& CurrentScript() {
    static Script s;
    return s;
}

QMessageBox::Icon IconOf(Kind kind) {
    switch (kind) {
    case Kind::Warning:
        return QMessageBox::Warning;
    case Kind::Error:
    case Kind::General:
        return QMessageBox::Critical;
    case Kind::Information:
        return QMessageBox::Information;
    case Kind::Confirmation:
        return QMessageBox::Question;
    case Kind::System:
        return QMessageBox::NoIcon;
    }
    return QMessageBox::NoIcon;
}

// The button that stands for closing the box without pressing one.
Button EscapeAnswer(Buttons buttons) {
    if (buttons & Cancel)
        return Cancel;
    for (Button b : {Cancel, Ok, No, Yes})
        if (buttons & b)
            return b;
    return NoButton;
}

} // namespace

QString KindTitle(Kind kind) {
    switch (kind) {
    case Kind::Warning:
        return QStringLiteral("Warnung");
    case Kind::Error:
        return QStringLiteral("Fehler");
    case Kind::Information:
        return QStringLiteral("Information");
    case Kind::Confirmation:
        return QStringLiteral("Bestätigung");
    case Kind::General:
    case Kind::System:
        return QCoreApplication::applicationName();
    }
    return {};
}

QString ButtonText(Button button) {
    switch (button) {
    case Yes:
        return QStringLiteral("&Ja");
    case No:
        return QStringLiteral("&Nein");
    case Ok:
        return QStringLiteral("OK");
    case Cancel:
        return QStringLiteral("Abbrechen");
    case NoButton:
        break;
    }
    return {};
}

Button Message(QWidget* parent, Kind kind, const QString& text, Buttons buttons,
               const QString& title) {
    if (buttons == NoButton)
        buttons = Ok;
    const QString caption = title.isEmpty() ? KindTitle(kind) : title;

    Script& s = CurrentScript();
    if (s.active) {
        s.messages.append({kind, caption, text, buttons});
        if (!s.answers.isEmpty())
            return s.answers.dequeue();
        return EscapeAnswer(buttons); // nothing queued: the box was closed
    }

    QMessageBox box(kind == Kind::System ? nullptr : parent);
    box.setIcon(IconOf(kind));
    box.setWindowTitle(caption);
    box.setText(text);
    QList<QPair<QAbstractButton*, Button>> map;
    QAbstractButton* escape = nullptr;
    for (Button b : {Yes, No, Ok, Cancel}) {
        if (!(buttons & b))
            continue;
        QMessageBox::ButtonRole role = b == Yes  ? QMessageBox::YesRole
                                       : b == No ? QMessageBox::NoRole
                                       : b == Ok ? QMessageBox::AcceptRole
                                                 : QMessageBox::RejectRole;
        QPushButton* pb = box.addButton(ButtonText(b), role);
        if (map.isEmpty())
            box.setDefaultButton(pb);
        map.append({pb, b});
        if (b == EscapeAnswer(buttons))
            escape = pb;
    }
    box.setEscapeButton(escape);
    box.exec();
    for (const auto& [widget, b] : map)
        if (box.clickedButton() == widget)
            return b;
    return EscapeAnswer(buttons);
}

int Choose(QWidget* parent, Kind kind, const QString& text, const QStringList& choices) {
    const int escape = static_cast<int>(choices.size()) - 1;
    Script& s = CurrentScript();
    if (s.active) {
        s.messages.append({kind, KindTitle(kind), text, NoButton, choices});
        return s.choices.isEmpty() ? escape : s.choices.dequeue();
    }
    QMessageBox box(parent);
    box.setIcon(IconOf(kind));
    box.setWindowTitle(KindTitle(kind));
    box.setText(text);
    QList<QAbstractButton*> buttons;
    for (const QString& choice : choices) {
        buttons.append(box.addButton(choice, buttons.size() == escape ? QMessageBox::RejectRole
                                                                      : QMessageBox::AcceptRole));
        buttons.back()->setObjectName(QStringLiteral("Choice%1").arg(buttons.size() - 1));
    }
    if (!buttons.isEmpty()) {
        box.setDefaultButton(static_cast<QPushButton*>(buttons.first()));
        box.setEscapeButton(buttons.back());
    }
    box.exec();
    const int chosen = static_cast<int>(buttons.indexOf(box.clickedButton()));
    return chosen < 0 ? escape : chosen;
}

void PresetFile(QFileDialog& dialog, const QString& fileName) {
    dialog.setProperty(PresetProperty, fileName);
    if (!fileName.isEmpty())
        dialog.selectFile(fileName);
    else if (auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        name->clear(); // Qt's dialog ignores an empty selection and keeps the last name
}

std::optional<QString> RunFileDialog(QFileDialog& dialog) {
    Script& s = CurrentScript();
    if (s.active) {
        QVariant preset = dialog.property(PresetProperty);
        s.fileDialogs.append(
            {dialog.windowTitle(), dialog.directory().absolutePath(),
             preset.isValid() ? preset.toString() : dialog.selectedFiles().value(0)});
        if (s.files.isEmpty())
            return std::nullopt;
        std::optional<QString> answer = s.files.dequeue();
        if (answer)
            PresetFile(dialog, *answer); // the dialog keeps the last choice, as a real one does
        return answer;
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    dialog.setProperty(PresetProperty, chosen.first());
    return chosen.first();
}

bool OpenUrl(const QUrl& url) {
    Script& s = CurrentScript();
    if (s.active) {
        s.openedUrls.append(url);
        return true;
    }
    return QDesktopServices::openUrl(url);
}

namespace Testing {

void Begin() {
    Script& s = CurrentScript();
    s = Script{};
    s.active = true;
}

void End() {
    CurrentScript() = Script{};
}

bool Active() {
    return CurrentScript().active;
}

void QueueAnswer(Button answer) {
    CurrentScript().answers.enqueue(answer);
}

void QueueChoice(int index) {
    CurrentScript().choices.enqueue(index);
}

void QueueFile(const std::optional<QString>& path) {
    CurrentScript().files.enqueue(path);
}

const QList<ShownMessage>& Messages() {
    return CurrentScript().messages;
}

const QList<ShownFileDialog>& FileDialogs() {
    return CurrentScript().fileDialogs;
}

const QList<QUrl>& OpenedUrls() {
    return CurrentScript().openedUrls;
}

int PendingAnswers() {
    const Script& s = CurrentScript();
    return static_cast<int>(s.answers.size() + s.choices.size() + s.files.size());
}

} // namespace Testing

} // namespace Prompt
