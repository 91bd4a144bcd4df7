// Databases opened from outside the file dialogs, on real main windows
// (offscreen): the file named at start, and files dropped on the window.
#include "core/DataBase.h"
#include "gui/MainForm.h"
#include "gui/Prompt.h"
#include "gui/RecentFilesMenu.h"
#include "settings/SettingsStore.h"
#include "support/CoreTestUtil.h"
#include "support/WindowProbe.h"

#include <QAction>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

namespace {

const char* const User = "anna";

std::string native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// A database file with `minutes.size()` entries.
void writeDataBase(const QString& path, std::initializer_list<unsigned> minutes) {
    TDataBase db;
    for (unsigned m : minutes)
        db.AddRecord(coretest::Entry("C++", "Zeiger", "P", 40000.0, m));
    db.FileName = native(path);
    db.Save();
}

// The entries' minutes in database order.
QList<unsigned> minutesOf(const TDataBase& db) {
    QList<unsigned> result;
    for (int i = 0; i < db.Count(); ++i)
        result << db.GetRecord(i)->TimeNeeded;
    return result;
}

QString messages() {
    QStringList texts;
    for (const auto& m : Prompt::Testing::Messages())
        texts << m.text;
    return texts.join(" | ");
}

const QString CloseQuestion = QStringLiteral(
    "Es wurden Änderungen an der Fehlerdatenbank vorgenommen. Sollen diese gesichert werden?");

} // namespace

Q_DECLARE_METATYPE(Prompt::Button)

class OpeningTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<TTestForm> form_;

    QString path(const QString& name) const { return dir_->filePath(name); }
    TTestForm& start(const std::string& fileName = {}) {
        form_ = std::make_unique<TTestForm>();
        form_->FormCreate(User, fileName);
        return *form_;
    }
    void end() {
        if (form_)
            form_->FormDestroy();
        form_.reset();
    }
    // Sends a drag with `urls` (or with `text` as plain text when there are
    // none) to `target`; returns whether it was taken and with which action.
    static std::pair<bool, Qt::DropAction> dragEnter(QWidget* target, const QList<QUrl>& urls,
                                                     Qt::DropActions possible,
                                                     Qt::KeyboardModifiers modifiers = {},
                                                     const QString& text = {}) {
        QMimeData data;
        if (!urls.isEmpty())
            data.setUrls(urls);
        if (!text.isEmpty())
            data.setText(text);
        QDragEnterEvent enter(QPoint(5, 5), possible, &data, Qt::LeftButton, modifiers);
        QApplication::sendEvent(target, &enter);
        // The widget that took the drag receives the rest of it: let it go.
        QDragLeaveEvent leave;
        QApplication::sendEvent(target, &leave);
        return {enter.isAccepted(), enter.dropAction()};
    }
    // Drops `file` on the window and waits for the drop to be handled.
    // `dragging`: the keys held while the pointer moved; `dropping`: at the drop.
    void drop(const QString& file, Qt::KeyboardModifiers dragging = {},
              Qt::KeyboardModifiers dropping = {}) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        const Qt::DropActions possible = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(QPoint(5, 5), possible, &data, Qt::LeftButton, dragging);
        QApplication::sendEvent(form_->ListView()->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        // Delivered, as Qt does, to the widget that took the drag.
        QDropEvent event(QPointF(5, 5), possible, &data, Qt::LeftButton, dropping);
        QApplication::sendEvent(form_->ListView()->viewport(), &event);
        QVERIFY(event.isAccepted());
        QCOMPARE(event.dropAction(), Qt::CopyAction);
        QCoreApplication::processEvents(); // the drop is handled after it ended
    }

private slots:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("Mavrolin")); }
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        qputenv("XDG_CONFIG_HOME", path("config").toLocal8Bit());
        Prompt::Testing::Begin();
    }
    void cleanup() {
        end();
        Prompt::Testing::End();
    }

    // The file named at start takes the stored database's place; one that
    // does not load leaves an empty database after the load's own message.
    void startWithFile_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("laterStart"); // settings with a stored database exist
        QTest::addColumn<QString>("message");
        QTest::addColumn<QList<unsigned>>("minutes");
        QTest::addColumn<QString>("fileName"); // the database's name afterwards
        QTest::newRow("first start") << "b.mvd" << false << "" << QList<unsigned>{4, 5} << "b.mvd";
        QTest::newRow("later start") << "b.mvd" << true << "" << QList<unsigned>{4, 5} << "b.mvd";
        QTest::newRow("missing: kept as the name to save under")
            << "neu.mvd" << true << "Datei nicht gefunden" << QList<unsigned>{} << "neu.mvd";
        QTest::newRow("cut short: not named, entries read dropped")
            << "kurz.mvd" << true << "Versuch hinter dem Dateiende zu lesen" << QList<unsigned>{}
            << "";
        QTest::newRow("no database")
            << "text.mvd" << false << "Die angegebene Datei ist keine gültige Datenbank!"
            << QList<unsigned>{} << "";
    }
    void startWithFile() {
        QFETCH(QString, file);
        QFETCH(bool, laterStart);
        QFETCH(QString, message);
        QFETCH(QList<unsigned>, minutes);
        QFETCH(QString, fileName);
        writeDataBase(path("a.mvd"), {1, 2, 3});
        writeDataBase(path("b.mvd"), {4, 5});
        writeBytes(path("text.mvd"), QByteArray(40, 'x'));
        QByteArray cut;
        {
            QFile b(path("b.mvd"));
            QVERIFY(b.open(QIODevice::ReadOnly));
            cut = b.readAll();
        }
        writeBytes(path("kurz.mvd"), cut.left(cut.size() - 3));
        if (laterStart) {
            start();
            form_->UserManager()->SaveOnExit = true;
            form_->Commands().Name(native(path("a.mvd"))); // stored at the end
            end();
        }
        // Named relative to the working folder, as on a command line.
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(dir_->path());
        start(native(file));
        QDir::setCurrent(cwd);
        QCOMPARE(messages(), message);
        if (!message.isEmpty())
            QCOMPARE(Prompt::Testing::Messages()[0].kind, Prompt::Kind::Error);
        QCOMPARE(minutesOf(form_->DataBase()), minutes);
        QVERIFY(!form_->Document().Modified());
        QCOMPARE(form_->DataBase().FileName, fileName.isEmpty() ? "" : native(path(fileName)));
        QCOMPARE(form_->ItemCount(), int(minutes.size()));
        const std::vector<std::string> recent = form_->RecentFilesItem()->Files();
        QCOMPARE(recent.empty() ? std::string() : recent.front(),
                 message.isEmpty() ? native(path(file)) : std::string());
    }

    // Which drags the window takes, wherever over it they come: one existing
    // local database file, never as a move, not while an entry is edited.
    void dragAccepted_data() {
        QTest::addColumn<QStringList>("urls"); // relative names are files in the folder
        QTest::addColumn<int>("possible");
        QTest::addColumn<bool>("editing");
        QTest::addColumn<bool>("overMemo");
        QTest::addColumn<int>("action"); // Qt::IgnoreAction: refused
        const int copyMove = Qt::CopyAction | Qt::MoveAction;
        const int ignored = Qt::IgnoreAction;
        QTest::newRow("database") << QStringList{"a.mvd"} << copyMove << false << false
                                  << int(Qt::CopyAction);
        QTest::newRow("over the description")
            << QStringList{"a.mvd"} << copyMove << false << true << int(Qt::CopyAction);
        QTest::newRow("suffix in capitals")
            << QStringList{"GROSS.MVD"} << copyMove << false << false << int(Qt::CopyAction);
        QTest::newRow("other name, database inside")
            << QStringList{"sicherung.bak"} << copyMove << false << false << int(Qt::CopyAction);
        QTest::newRow("link where no copy is offered")
            << QStringList{"a.mvd"} << int(Qt::MoveAction | Qt::LinkAction) << false << false
            << int(Qt::LinkAction);
        QTest::newRow("move only")
            << QStringList{"a.mvd"} << int(Qt::MoveAction) << false << false << ignored;
        QTest::newRow("other file")
            << QStringList{"notiz.txt"} << copyMove << false << false << ignored;
        QTest::newRow("missing file")
            << QStringList{"fehlt.mvd"} << copyMove << false << false << ignored;
        QTest::newRow("folder") << QStringList{"ordner.mvd"} << copyMove << false << false
                                << ignored;
        QTest::newRow("two files")
            << QStringList{"a.mvd", "GROSS.MVD"} << copyMove << false << false << ignored;
        QTest::newRow("not a local file")
            << QStringList{"https://example.org/a.mvd"} << copyMove << false << false << ignored;
        QTest::newRow("while editing")
            << QStringList{"a.mvd"} << copyMove << true << false << ignored;
        QTest::newRow("over the description while editing")
            << QStringList{"a.mvd"} << copyMove << true << true << ignored;
    }
    void dragAccepted() {
        QFETCH(QStringList, urls);
        QFETCH(int, possible);
        QFETCH(bool, editing);
        QFETCH(bool, overMemo);
        QFETCH(int, action);
        writeDataBase(path("a.mvd"), {1});
        writeDataBase(path("sicherung.bak"), {1});
        writeDataBase(path("GROSS.MVD"), {1});
        writeBytes(path("notiz.txt"), "Notiz");
        QDir(dir_->path()).mkdir("ordner.mvd");
        TTestForm& form = start();
        if (editing)
            form.NewItemAction()->trigger();
        QList<QUrl> list;
        for (const QString& url : urls)
            list << (url.contains(':') ? QUrl(url) : QUrl::fromLocalFile(path(url)));
        QWidget* target =
            overMemo ? form.DescriptionMemo()->viewport() : form.ListView()->viewport();
        for (const Qt::KeyboardModifiers modifiers : {Qt::NoModifier, Qt::ControlModifier}) {
            const auto [accepted, dropAction] =
                dragEnter(target, list, Qt::DropActions(possible), modifiers);
            QCOMPARE(accepted, action != Qt::IgnoreAction);
            if (accepted)
                QCOMPARE(int(dropAction), action);
        }
    }

    // A text drag is no file: it goes to the control as ever, so the
    // description being edited takes it.
    void textDragPassesToTheControls() {
        TTestForm& form = start();
        QVERIFY(!dragEnter(form.ListView()->viewport(), {}, Qt::CopyAction, {}, "a.mvd").first);
        form.NewItemAction()->trigger();
        QVERIFY(
            dragEnter(form.DescriptionMemo()->viewport(), {}, Qt::CopyAction, {}, "Text").first);
    }

    // A drop opens the file as "Datenbank laden" does; with Ctrl it imports.
    void dropOpensOrImports() {
        writeDataBase(path("a.mvd"), {1, 2});
        writeDataBase(path("b.mvd"), {2, 3});
        TTestForm& form = start();
        drop(path("a.mvd"));
        QCOMPARE(minutesOf(form.DataBase()), (QList<unsigned>{1, 2}));
        QCOMPARE(form.DataBase().FileName, native(path("a.mvd")));
        QCOMPARE(form.ItemCount(), 2);
        // Ctrl let go together with the button still counts.
        drop(path("b.mvd"), Qt::ControlModifier, Qt::NoModifier);
        QCOMPARE(minutesOf(form.DataBase()), (QList<unsigned>{1, 2, 3}));
        QCOMPARE(form.DataBase().FileName, native(path("a.mvd")));
        QVERIFY(form.Document().Modified());
        QCOMPARE(form.ItemCount(), 3);
        QVERIFY(Prompt::Testing::Messages().isEmpty()); // the import asks nothing
        QCOMPARE(form.RecentFilesItem()->Files(), std::vector<std::string>{native(path("a.mvd"))});
    }

    // Unsaved changes: the close question first. "Ja" saves (the drop goes
    // on only when the save did), "Nein" discards, "Abbrechen" keeps all.
    void dropWithUnsavedChanges_data() {
        QTest::addColumn<Prompt::Button>("answer");
        QTest::addColumn<QString>("savedAs"); // "" no file yet, "-" dialog cancelled
        QTest::addColumn<bool>("opened");
        QTest::addColumn<int>("oldFileEntries");
        QTest::addColumn<QList<unsigned>>("after"); // the window's entries afterwards
        const QList<unsigned> dropped{7}, kept{1, 2, 3};
        QTest::newRow("Ja saves, then opens") << Prompt::Yes << "alt.mvd" << true << 3 << dropped;
        QTest::newRow("Ja without file goes through the dialog")
            << Prompt::Yes << "" << true << 1 << dropped;
        QTest::newRow("Ja, save dialog cancelled")
            << Prompt::Yes << "-" << false << 0 << QList<unsigned>{3};
        QTest::newRow("Ja, save fails") << Prompt::Yes << "ordner/alt.mvd" << false << 2 << kept;
        QTest::newRow("Nein discards") << Prompt::No << "alt.mvd" << true << 2 << dropped;
        QTest::newRow("Abbrechen keeps all") << Prompt::Cancel << "alt.mvd" << false << 2 << kept;
    }
    void dropWithUnsavedChanges() {
        QFETCH(Prompt::Button, answer);
        QFETCH(QString, savedAs);
        QFETCH(bool, opened);
        QFETCH(int, oldFileEntries);
        QFETCH(QList<unsigned>, after);
        writeDataBase(path("neu.mvd"), {7});
        TTestForm& form = start();
        const bool named = !savedAs.isEmpty() && savedAs != "-";
        if (named) {
            writeDataBase(path("alt.mvd"), {1, 2});
            form.Commands().Open(native(path("alt.mvd")));
            if (savedAs.startsWith("ordner/")) // the folder is gone: the save fails
                form.Commands().Name(native(path(savedAs)));
        }
        form.Commands().AddEntry(coretest::Entry("Pascal", "Syntax", "Q", 40001.0, 3));
        form.RebuildList();
        Prompt::Testing::QueueAnswer(answer);
        if (!named)
            Prompt::Testing::QueueFile(savedAs == "-" ? std::nullopt
                                                      : std::optional<QString>(path("alt.mvd")));
        drop(path("neu.mvd"));
        QCOMPARE(Prompt::Testing::Messages()[0].text, CloseQuestion);
        QCOMPARE(Prompt::Testing::Messages()[0].kind, Prompt::Kind::Warning);
        QCOMPARE(Prompt::Testing::Messages()[0].buttons,
                 Prompt::Buttons(Prompt::Yes | Prompt::No | Prompt::Cancel));
        QCOMPARE(Prompt::Testing::PendingAnswers(), 0);
        QCOMPARE(minutesOf(form.DataBase()), after);
        QCOMPARE(form.Document().Modified(), !opened);
        QCOMPARE(form.DataBase().FileName == native(path("neu.mvd")), opened);
        TDataBase old;
        old.FileName = native(path("alt.mvd"));
        old.Reload();
        QCOMPARE(old.Count(), oldFileEntries);
    }
};

QTEST_MAIN(OpeningTest)
#include "tst_opening.moc"
