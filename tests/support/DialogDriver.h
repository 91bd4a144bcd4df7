#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QString>
#include <QTest>
#include <QTimer>
#include <functional>

// Runs `step` on the dialog once it is shown modally by the code under test.
// A dialog that `step` leaves open is closed after a while with result -1 and
// `leftOpen` is set, so a test never hangs on a dialog that does not close.
class DialogDriver {
public:
    explicit DialogDriver(std::function<void(QDialog&)> step) : step_(std::move(step)) {
        QTimer::singleShot(0, &guard_, [this] { Run(); });
    }
    bool ran = false;
    bool leftOpen = false;

    // Sends a key to the widget that has the focus in `dialog` (the dialog
    // itself when none has).
    static void Key(QDialog& dialog, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = dialog.focusWidget() != nullptr ? dialog.focusWidget() : &dialog;
        QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
    }

    // The ways to close a dialog with OK and Cancel buttons, as the rows of a
    // data-driven test: "way" names one, "accepts" tells whether it means OK.
    static void AddClosingWays() {
        QTest::addColumn<QString>("way");
        QTest::addColumn<bool>("accepts");
        QTest::newRow("OK button") << "ok" << true;
        QTest::newRow("Enter") << "enter" << true;
        QTest::newRow("Cancel button") << "cancel" << false;
        QTest::newRow("Enter on the focused Cancel button") << "enter on cancel" << false;
        QTest::newRow("Escape") << "escape" << false;
        QTest::newRow("close box") << "close" << false;
    }

    // Closes `dialog` in one of the ways of AddClosingWays.
    static void Close(QDialog& dialog, QAbstractButton* ok, QAbstractButton* cancel,
                      const QString& way) {
        if (way == QLatin1String("ok")) {
            QTest::mouseClick(ok, Qt::LeftButton);
        } else if (way == QLatin1String("cancel")) {
            QTest::mouseClick(cancel, Qt::LeftButton);
        } else if (way == QLatin1String("enter")) {
            Key(dialog, Qt::Key_Return);
        } else if (way == QLatin1String("enter on cancel")) {
            cancel->setFocus();
            Key(dialog, Qt::Key_Return);
        } else if (way == QLatin1String("escape")) {
            Key(dialog, Qt::Key_Escape);
        } else {
            dialog.close();
        }
    }

private:
    void Run() {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            if (++tries_ < 200)
                QTimer::singleShot(10, &guard_, [this] { Run(); });
            return;
        }
        ran = true;
        // Keys go to the focus widget, which only an active window has.
        (void)QTest::qWaitForWindowActive(dialog);
        step_(*dialog);
        if (dialog->isVisible()) {
            QTimer::singleShot(1000, &guard_, [this, dialog] {
                if (dialog->isVisible()) {
                    leftOpen = true;
                    dialog->done(-1);
                }
            });
        }
    }
    std::function<void(QDialog&)> step_;
    int tries_ = 0;
    QObject guard_; // cancels pending steps when the driver goes
};
