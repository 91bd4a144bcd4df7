// The stopwatch in the real main window (offscreen) with a settings store and
// a clock that the test moves, through a user's steps: its commands and
// toolbar time, editing, a restart of the window without shut-down (as after
// a crash), and the new entry that takes its minutes.
#include "core/DataBase.h"
#include "gui/DatePicker.h"
#include "gui/MainForm.h"
#include "gui/Prompt.h"
#include "support/CoreTestUtil.h"
#include "support/WindowProbe.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

class StopwatchWindowTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    TStopwatch::Instant now{TStopwatch::Duration{1709287200000}}; // 1.3.2024 10:00 UTC

    std::unique_ptr<TTestForm> window() {
        auto form = std::make_unique<TTestForm>();
        form->StopwatchBar().SetClock([this] { return now; });
        form->FormCreate("anna");
        form->show();
        form->activateWindow();
        if (!QTest::qWaitForWindowActive(form.get()))
            qWarning("main window not active");
        return form;
    }

private slots:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", dir_.filePath("config").toLocal8Bit());
        Prompt::Testing::Begin();
    }

    // After each step (taken some ms later): the caption, the toolbar time
    // ("-": hidden), whether reset (R) and start/stop (C) are enabled, the
    // minutes offered while a new entry is edited, or stored by OK (=).
    void userSteps() {
        const std::tuple<const char*, int, const char*> steps[] = {
            {"", 0, "starten - -C"},
            {"F5", 0, "anhalten 0:00:00 RC"},
            {"F5", 5000, "starten 0:00:05 RC"},
            {"new", 0, "starten 0:00:05 -- 1"},
            {"cancel", 0, "starten 0:00:05 RC"},
            {"click", 2000, "anhalten 0:00:05 RC"},
            {"change", 1000, "anhalten 0:00:06 --"},
            {"F5", 1000, "anhalten 0:00:07 --"}, // editing: nothing
            {"ok", 0, "anhalten 0:00:07 RC =5"}, // a change keeps it
            {"newdb", 0, "anhalten 0:00:07 RC"},
            {"restart", 1013000, "anhalten 0:17:00 RC"},
            {"new", 0, "anhalten 0:17:00 -- 17"},
            {"duplicate", 0, "anhalten 0:17:00 -- 17"}, // refused: kept
            {"ok", 0, "starten - -C =17"},
            {"restart", 0, "starten - -C"},
            {"F5", 0, "anhalten 0:00:00 RC"},
            {"reset", 0, "starten - -C"},
        };
        auto form = window();
        form->Fill({coretest::Entry("C++", "Zeiger", "P", 45000.0, 5)});
        for (const auto& [action, ms, expected] : steps) {
            const QByteArray what = action;
            now += TStopwatch::Duration{ms};
            if (what == "F5")
                QTest::keyClick(form.get(), Qt::Key_F5);
            else if (what == "click")
                QTest::mouseClick(form->StopwatchButton(), Qt::LeftButton);
            else if (what == "restart") {
                form.reset(); // no shut-down: as after a crash
                form = window();
                // The entry that the new one of 17 minutes today duplicates.
                const QDate today = QDate::currentDate();
                form->Fill({coretest::Entry(
                    "", "", "", coretest::Day(today.year(), today.month(), today.day()), 17)});
            }
            if (what == "ok")
                form->LanguageBox()->setEditText("Ada");
            if (what == "ok" || what == "cancel" || what == "duplicate")
                (what == "cancel" ? form->CancelButton() : form->OkButton())->click();
            const QMap<QByteArray, QAction*> actions{{"new", form->NewItemAction()},
                                                     {"change", form->ChangeItemAction()},
                                                     {"newdb", form->NewDataBaseAction()},
                                                     {"reset", form->ResetStopwatchAction()}};
            if (actions.contains(what))
                actions[what]->trigger();
            if (form->StopwatchTimer()->isActive())
                form->StopwatchBar().ShowStopwatch(); // the timer's update

            // The toolbar shows and hides its widgets when it lays them out.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            const bool shown = form->StopwatchButton()->isVisible();
            QString state = QString("%1 %2 %3%4")
                                .arg(form->StopwatchAction()->text().mid(10),
                                     shown ? form->StopwatchButton()->text() : "-",
                                     form->ResetStopwatchAction()->isEnabled() ? "R" : "-",
                                     form->StopwatchAction()->isEnabled() ? "C" : "-");
            if (form->Editing() && form->AddingRecord())
                state += QString(" %1").arg(form->TimeEdit()->value());
            else if (what == "ok") // the minutes stored
                state += QString(" =%1").arg(form->ItemRecord(form->CurrentItem())->TimeNeeded);
            QCOMPARE(QString("%1: %2").arg(action, state), QString("%1: %2").arg(action, expected));
            QCOMPARE(form->Child<QWidget>("SplitButton3")->isVisible(), shown);
            QCOMPARE(!shown || form->StopwatchButton()->isEnabled(),
                     !shown || form->StopwatchAction()->isEnabled());
            QCOMPARE(form->StopwatchTimer()->isActive(),
                     form->StopwatchBar().Stopwatch().Running());
        }
    }
};

QTEST_MAIN(StopwatchWindowTest)
#include "tst_mainform_stopwatch.moc"
