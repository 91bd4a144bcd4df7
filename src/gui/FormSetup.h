#pragma once

#include <QFont>
#include <QLatin1String>
#include <QRect>
#include <QString>
#include <QWidget>

class QCheckBox;
class QDialog;
class QFrame;
class QPushButton;

// What the program's windows share: their font, the frame of a fixed-size
// dialog, and the making of a named control with text, hint and geometry.

// "MS Sans Serif", 11 pixels high. The forms are laid out in pixels for it;
// where it is missing, fonts of similar widths keep every text inside its box.
QFont FormFont();

// Object name, caption, title-bar buttons, the form font and a fixed client
// size (no resizing).
void SetUpDialog(QDialog& dialog, const char* name, const QString& caption, Qt::WindowFlags flags,
                 QSize clientSize);

// A control of a kind that takes its text in its constructor (label, check
// box, button), named and placed; an empty hint sets no tooltip. Buttons keep
// Qt's dialog rule: Enter presses the focused button, else the default one.
template <class Control>
Control* MakeControl(QWidget* parent, const char* name, const QString& text, const QString& hint,
                     const QRect& geometry) {
    auto* control = new Control(text, parent);
    control->setObjectName(QLatin1String(name));
    if (!hint.isEmpty())
        control->setToolTip(hint);
    control->setGeometry(geometry);
    return control;
}

// A dialog's OK button ("OkButton"): the default button, closes the dialog
// with the result OK; `picture` adds the standard OK picture.
QPushButton* MakeOkButton(QDialog& dialog, const QString& hint, const QRect& geometry,
                          bool picture);
// A dialog's cancel button ("CancelButton"): closes the dialog with the
// result Cancel, as Escape does; `picture` adds the standard cancel picture.
QPushButton* MakeCancelButton(QDialog& dialog, const QString& caption, const QString& hint,
                              const QRect& geometry, bool picture);

// A check box, named and placed, that takes clicks on its whole box as the
// classic control does (Qt's styles take them on the tick and the caption
// only). It is at least as wide as designed and grows to its caption, so that
// a wider fallback font does not clip it, but not beyond `rightLimit`.
QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& text, const QString& hint,
                        const QRect& geometry, int rightLimit);

// A sunken frame that encloses a group of controls; lies below the controls
// made after it.
QFrame* MakeBevel(QWidget* parent, const char* name, const QRect& geometry);
