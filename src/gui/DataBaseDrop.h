#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QMimeData;
class QWidget;

// Dropping a database file on a window.
//
// A drag is taken when it carries exactly one local file that exists and is a
// database by the file type's rules: its name ends in ".mvd" (any letter case)
// or it begins with the database's magic. Everything else is refused, so no
// drop cursor appears.
namespace dropping {

// The database file that a drag carries, or nothing.
std::optional<QString> DataBaseFile(const QMimeData& data);

} // namespace dropping

// Takes every drag that carries files over one window, its controls included
// (a text field would otherwise take a dropped file's name as text); drags of
// plain text pass on to the controls. A drop is accepted as a copy, never as
// a move (a file manager would delete a moved file), and handed to `dropped`
// after the drop has ended, so that questions and dialogs do not run inside
// the drag. `welcome` says, for the keyboard modifiers of the moment, whether
// the window takes a drop now.
class TDataBaseDropTarget : public QObject {
    Q_OBJECT
public:
    using Welcome = std::function<bool(Qt::KeyboardModifiers modifiers)>;
    using Dropped = std::function<void(const QString& file, Qt::KeyboardModifiers modifiers)>;

    TDataBaseDropTarget(QWidget* window, Welcome welcome, Dropped dropped);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    std::optional<QString> dragged_;         // the file of the drag under way
    Qt::KeyboardModifiers draggedModifiers_; // and the keys held at its last move
    Welcome welcome_;
    Dropped dropped_;
};
