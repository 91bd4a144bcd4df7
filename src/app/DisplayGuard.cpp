#include "app/DisplayGuard.h"

#include <QString>
#include <QtGlobal>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct HeldMessage {
    QtMsgType type;
    std::string category;
    QString text;
};

QtMessageHandler previous = nullptr;
std::vector<HeldMessage> held;

std::string Quoted(const char* text) {
    std::string quoted = "\u201E";
    quoted += text;
    quoted += "\u201C";
    return quoted;
}

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    std::string text = name;
    if (value && *value) {
        text += ' ';
        text += Quoted(value);
    } else {
        text += " nicht gesetzt";
    }
    return text;
}

std::string Explanation() {
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    std::string text;
    if ((!display || !*display) && (!wayland || !*wayland)) {
        text = "mavrolin: Mavrolin braucht eine grafische Anzeige, aber es wurde keine gefunden "
               "(DISPLAY und WAYLAND_DISPLAY sind nicht gesetzt).\n";
    } else {
        text = "mavrolin: Die grafische Anzeige lie\u00DF sich nicht \u00F6ffnen (" +
               Variable("DISPLAY") + ", " + Variable("WAYLAND_DISPLAY") + ").\n";
        // Qt's warnings of the platform say why (in English).
        for (const HeldMessage& message : held)
            if (message.category.starts_with("qt.qpa"))
                text += "Qt meldet: " + message.text.toStdString() + "\n";
    }
    text += "Starten Sie Mavrolin in einer Desktop-Sitzung oder ohne Bildschirm zum Beispiel mit: "
            "xvfb-run -a mavrolin\n";
    return text;
}

void Hold(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        held.push_back({type, context.category ? context.category : "", text});
        return;
    }
    // Qt is half made: no cleanup, no exit handlers.
    const std::string explanation = Explanation();
    (void)!::write(STDERR_FILENO, explanation.data(), explanation.size());
    ::_exit(1);
}

} // namespace

DisplayGuard::DisplayGuard() {
    previous = qInstallMessageHandler(Hold);
}

DisplayGuard::~DisplayGuard() {
    qInstallMessageHandler(previous);
    for (const HeldMessage& message : held) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.c_str());
        qt_message_output(message.type, context, message.text);
    }
    held.clear();
}
