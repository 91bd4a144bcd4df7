#pragma once

#include <QObject>
#include <QString>
#include <QWidget>
#include <exception>
#include <type_traits>
#include <utility>

// The general error report: an exception that no handler caught ends the
// current user action and is shown in an error box captioned with the
// application title, with one OK button. The program then goes on with the
// next event.
namespace ErrorReport {

// The message as the report shows it: a full stop is appended when the last
// character sorts after '.', so "...!" stays as it is and "...e" gets ".".
QString ReportText(const QString& message);

// Shows the report box for a message (UTF-8 from the core, or a QString).
void Show(QWidget* parent, const QString& message);
void Show(QWidget* parent, const std::exception& error);

// Runs a handler body so that no exception crosses Qt's event loop: whatever
// it throws is shown as the general error report.
template <class Body> void Guard(QWidget* parent, Body&& body) noexcept {
    try {
        std::forward<Body>(body)();
    } catch (const std::exception& error) {
        Show(parent, error);
    } catch (...) {
        Show(parent, QStringLiteral("Unbekannter Fehler"));
    }
}

// Connects `signal` to `handler`, which runs under the general error report
// with `context` as the report's window (and as the connection's context).
// The handler takes all of the signal's arguments or none.
template <class Sender, class Signal, class Handler>
QMetaObject::Connection Connect(const Sender* sender, Signal signal, QWidget* context,
                                Handler handler) {
    return QObject::connect(sender, signal, context, [context, handler](auto&&... args) {
        Guard(context, [&] {
            if constexpr (std::is_invocable_v<const Handler&>)
                handler();
            else
                handler(args...);
        });
    });
}

} // namespace ErrorReport
