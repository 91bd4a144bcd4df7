// The stopwatch in the real main window (offscreen) with a clock that the test
// moves: its commands, caption and toolbar time through a user's steps, a
// restart of the window (as after a crash) that finds it running, the new
// entry that takes its minutes, and the deletion of the stored settings.
#include "CoreTestUtil.h"
#include "DataBase.h"
#include "DatePicker.h"
#include "DialogDriver.h"
#include "MainForm.h"
#include "OptionForm.h"
#include "Prompt.h"
#include "SettingsStore.h"
#include "StopwatchSettings.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <cstring>

namespace {

using Clock = TStopwatch::Instant;
constexpr Clock Morning{TStopwatch::Duration{1709287200000}}; // 1 March 2024, 10:00 UTC

// The stopwatch's values in anna's key: "start,held" in ms, "-" for a missing value.
QString storedStopwatch() {
    settings::RegKey root = settings::SettingsStore().Read();
    const settings::RegKey* key = root.FindPath({"Software", "Orbelon", "Mavrolin", "anna"});
    QStringList texts;
    for (const char* name : {settings::StopwatchStartValue, settings::StopwatchHeldValue}) {
        const settings::RegValue* value = key ? key->Value(name) : nullptr;
        qint64 ms = 0;
        if (value && value->data.size() == 8)
            std::memcpy(&ms, value->data.constData(), 8);
        texts << (value ? QString::number(ms) : QStringLiteral("-"));
    }
    return texts.join(',');
}

// The time on the toolbar; "" while hidden (the toolbar shows and hides its
// widgets when it lays them out).
QString shownTime(const TMainForm& form) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    return form.StopwatchButton->isVisible() ? form.StopwatchButton->text() : QString();
}

} // namespace

class StopwatchWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    Clock now = Morning;

    std::unique_ptr<TMainForm> window(bool withSettings) {
        auto form = std::make_unique<TMainForm>();
        form->Stopwatch->SetClock([this] { return now; });
        if (withSettings)
            form->FormCreate("anna");
        form->show();
        form->activateWindow();
        if (!QTest::qWaitForWindowActive(form.get()))
            qWarning("main window not active");
        return form;
    }

private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", dir->filePath("config").toLocal8Bit());
        Prompt::Testing::Begin();
        now = Morning;
    }
    void cleanup() { Prompt::Testing::End(); }

    // One user's steps in one window; after each: the command's caption, the
    // toolbar time ("" while hidden), whether reset and the command are enabled.
    void commandsFollowTheState() {
        struct Step {
            const char* action;
            int advance; // ms before the action
            const char* caption;
            const char* shown;
            bool resetEnabled;
            bool commandEnabled;
            int minutes; // offered to a new entry; -1: no new entry
        };
        const Step steps[] = {
            {"", 0, "Stoppuhr &starten", "", false, true, -1},
            {"F5", 0, "Stoppuhr &anhalten", "0:00:00", true, true, -1},
            {"F5", 5000, "Stoppuhr &starten", "0:00:05", true, true, -1},
            {"new", 0, "Stoppuhr &starten", "0:00:05", false, false, 1},
            {"cancel", 0, "Stoppuhr &starten", "0:00:05", true, true, -1},
            {"click", 2000, "Stoppuhr &anhalten", "0:00:05", true, true, -1},
            {"new", 61000, "Stoppuhr &anhalten", "0:01:06", false, false, 2},
            {"F5", 1000, "Stoppuhr &anhalten", "0:01:07", false, false, -1}, // editing: nothing
            {"cancel", 0, "Stoppuhr &anhalten", "0:01:07", true, true, -1},
            {"change", 0, "Stoppuhr &anhalten", "0:01:07", false, false, -1},
            {"ok", 0, "Stoppuhr &anhalten", "0:01:07", true, true, -1}, // a change keeps it
            {"newdb", 0, "Stoppuhr &anhalten", "0:01:07", true, true, -1},
            {"reset", 0, "Stoppuhr &starten", "", false, true, -1},
        };
        auto form = window(false);
        form->DataBase->AddRecord(coretest::Entry("C++", "Zeiger", "P", 45000.0, 5));
        form->RebuildList();
        for (const Step& step : steps) {
            const QByteArray what = step.action;
            now += TStopwatch::Duration{step.advance};
            if (what == "F5")
                QTest::keyClick(form.get(), Qt::Key_F5);
            else if (what == "click")
                QTest::mouseClick(form->StopwatchButton, Qt::LeftButton);
            else if (what == "new")
                form->NewItemAction->trigger();
            else if (what == "cancel")
                form->CancelButton->click();
            else if (what == "change")
                form->ChangeItemAction->trigger();
            else if (what == "ok")
                form->OkButton->click();
            else if (what == "newdb")
                form->NewDataBaseAction->trigger();
            else if (what == "reset")
                form->ResetStopwatchAction->trigger();
            if (form->StopwatchTimer->isActive())
                form->ShowStopwatch(); // the timer's update
            QCOMPARE(form->StopwatchAction->text(), step.caption);
            QCOMPARE(shownTime(*form), step.shown);
            QCOMPARE(form->SplitButton3->isVisible(), *step.shown != 0);
            QCOMPARE(form->ResetStopwatchAction->isEnabled(), step.resetEnabled);
            QCOMPARE(form->StopwatchAction->isEnabled(), step.commandEnabled);
            if (*step.shown)
                QCOMPARE(form->StopwatchButton->isEnabled(), step.commandEnabled);
            QCOMPARE(form->StopwatchTimer->isActive(), form->Stopwatch->Running());
            if (step.minutes >= 0)
                QCOMPARE(form->TimeEdit->value(), step.minutes);
        }
        QVERIFY(Prompt::Testing::Messages().isEmpty());
    }

    // Started, then the window goes without any shut-down (a crash); a new
    // window 17 minutes later shows it running and offers 17 minutes. A
    // refused entry keeps it, a stored one resets it.
    void survivesARestart() {
        window(true)->StopwatchAction->trigger();
        QCOMPARE(storedStopwatch(), QString("%1,0").arg(Morning.time_since_epoch().count()));

        now += std::chrono::minutes(17);
        auto form = window(true);
        QCOMPARE(shownTime(*form), "0:17:00");
        QCOMPARE(form->StopwatchAction->text(), "Stoppuhr &anhalten");
        form->NewItemAction->trigger();
        QCOMPARE(form->TimeEdit->value(), 17);
        form->DataBase->AddRecord(
            coretest::Entry("C++", "Zeiger", "P", form->DatePicker->Date(), 17));
        form->LanguageBox->setEditText("C++");
        form->TypeBox->setEditText("Zeiger");
        form->ProjectBox->setEditText("P");
        form->OkButton->click();
        QVERIFY(form->Editing && form->Stopwatch->Running());
        form->LanguageBox->setEditText("Ada");
        form->OkButton->click();
        QVERIFY(!form->Editing && !form->Stopwatch->HoldsTime());
        QCOMPARE(form->ItemRecord(form->CurrentItem())->TimeNeeded, 17u);
        QCOMPARE(shownTime(*form), "");
        QCOMPARE(storedStopwatch(), "-,-");
    }

    // "Originalkonfikuration wiederherstellen" takes the stopwatch with the
    // settings; nothing of it is written again in this run.
    void deletedSettingsTakeIt() {
        auto form = window(true);
        form->OptionForm = new TOptionForm(form.get());
        form->StopwatchAction->trigger();
        Prompt::Testing::QueueAnswer(Prompt::Yes);
        DialogDriver driver(
            [](QDialog& dialog) { static_cast<TOptionForm&>(dialog).DeleteButton->click(); });
        form->ConfigItem->trigger();
        QVERIFY(driver.ran);
        QCOMPARE(shownTime(*form), "");
        form->StopwatchAction->trigger();
        QVERIFY(form->Stopwatch->Running());
        QCOMPARE(storedStopwatch(), "-,-");
    }
};

QTEST_MAIN(StopwatchWindowTest)
#include "tst_mainform_stopwatch.moc"
