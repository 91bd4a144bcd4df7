// `mvd versions` and `mvd restore`, and the versions that mvd's saves keep,
// driven through the built binary.
#include <QtTest>
#include <pwd.h>
#include <unistd.h>

namespace {

struct Result {
    int exitCode = -1;
    QString out, err;
};

// The account's name as the login library (and mvd) give it.
QString AccountName() {
    const passwd* entry = ::getpwuid(::getuid());
    return entry && entry->pw_name && *entry->pw_name ? QString::fromLocal8Bit(entry->pw_name)
                                                      : QString::number(::getuid());
}

QStringList AddArgs(const QString& file, int day) {
    return {"add",        file,
            "--language", "C++",
            "--category", "Zeigerfehler",
            "--project",  "Mavrolin",
            "--date",     QStringLiteral("%1.03.2001").arg(day, 2, 10, QChar('0')),
            "--minutes",  "5"};
}

} // namespace

class MvdVersionsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;

    QString path(const QString& name) const { return dir_->filePath(name); }

    Result run(const QStringList& args) {
        QProcess process;
        process.setWorkingDirectory(dir_->path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", path("daten"));
        env.insert("XDG_CONFIG_HOME", path("konfiguration"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(MVD_PATH), args);
        Result result;
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
            return result;
        result.exitCode = process.exitCode();
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    // The version names of `mvd versions db.mvd`, newest first, with their lines.
    QStringList versionLines() {
        const Result r = run({"versions", "db.mvd"});
        if (r.exitCode != 0)
            return {"exit " + QString::number(r.exitCode)};
        QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        if (!lines.isEmpty() && lines.front().startsWith("Keine"))
            return {};
        lines.removeFirst(); // the header
        return lines;
    }

    QString versionsFolder() {
        const QStringList folders =
            QDir(path("daten/mavrolin/versions")).entryList({"db-*"}, QDir::Dirs);
        return folders.size() == 1 ? path("daten/mavrolin/versions/") + folders.front() : QString();
    }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
    }

    void savesKeepVersions_data() {
        QTest::addColumn<QStringList>("change");
        QTest::newRow("add") << AddArgs("db.mvd", 9);
        QTest::newRow("merge") << QStringList{"merge", "db.mvd", "quelle.mvd"};
        QTest::newRow("import") << QStringList{"import", "db.mvd", "tabelle.csv"};
    }

    void savesKeepVersions() {
        QFETCH(QStringList, change);
        QCOMPARE(run(AddArgs("db.mvd", 1)).exitCode, 0);
        QCOMPARE(run(AddArgs("db.mvd", 2)).exitCode, 0);
        QCOMPARE(run(AddArgs("quelle.mvd", 7)).exitCode, 0);
        QFile csv(path("tabelle.csv"));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write("Sprache;Kategorie;Projekt;Datum\r\nJava;Zeigerfehler;Web;08.03.2001\r\n");
        csv.close();
        const Result r = run(change);
        QCOMPARE(r.exitCode, 0);
        const QStringList lines = versionLines();
        QCOMPARE(lines.size(), 2);
        const QRegularExpression line(
            R"(^(\d{8}-\d{6}-\d{6}) +\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d +(\d+) +(\d+) Bytes$)");
        const auto newest = line.match(lines[0]);
        const auto oldest = line.match(lines[1]);
        QVERIFY2(newest.hasMatch() && oldest.hasMatch(), qPrintable(lines.join('\n')));
        QCOMPARE(newest.captured(2), QString("2"));
        QCOMPARE(oldest.captured(2), QString("1"));
        QVERIFY(newest.captured(1) > oldest.captured(1));
    }

    void restore() {
        for (int day = 1; day <= 3; ++day)
            QCOMPARE(run(AddArgs("db.mvd", day)).exitCode, 0);
        const QStringList lines = versionLines();
        QCOMPARE(lines.size(), 2);
        const QString oneEntry = lines[1].section(' ', 0, 0);
        const QString twoEntries = lines[0].section(' ', 0, 0);

        Result r = run({"restore", "db.mvd", oneEntry});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.startsWith("db.mvd ist durch die Version vom ") &&
                     r.out.contains(" ersetzt (1 Eintrag); die bisherige Datei ist als Version"),
                 qPrintable(r.out));
        QCOMPARE(run({"list", "db.mvd"}).out.count('\n'), 2);
        QCOMPARE(versionLines().size(), 3); // the replaced file, three entries

        r = run({"restore", "db.mvd", twoEntries, "--entries-only"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.startsWith("1 Eintrag der Version vom "), qPrintable(r.out));
        const QString listed = run({"list", "db.mvd"}).out;
        QVERIFY(listed.contains(",01.03.2001,") && listed.contains(",02.03.2001,"));
        QVERIFY(!listed.contains(",03.03.2001,"));
        QCOMPARE(versionLines().size(), 4);
    }

    void refused_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("err");
        QTest::newRow("unknown version")
            << QStringList{"restore", "db.mvd", "20010101-000000-000000"} << 1
            << "mvd: Es gibt keine Version";
        QTest::newRow("unreadable version")
            << QStringList{"restore", "db.mvd", "20200101-000000-000000"} << 1
            << "mvd: Die Version \u201E20200101-000000-000000\u201C ist nicht lesbar";
        QTest::newRow("no version named") << QStringList{"restore", "db.mvd"} << 2
                                          << "mvd: \u201Erestore\u201C braucht eine Version";
        QTest::newRow("flag with a value")
            << QStringList{"restore", "db.mvd", "x", "--entries-only=ja"} << 2
            << "mvd: Die Option \u201E--entries-only\u201C erwartet keinen Wert.";
    }

    void refused() {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, err);
        QCOMPARE(run(AddArgs("db.mvd", 1)).exitCode, 0);
        QCOMPARE(run(AddArgs("db.mvd", 2)).exitCode, 0);
        const QString damaged = versionsFolder() + "/20200101-000000-000000.mvd";
        QFile file(damaged);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#MLDB-MavrolinDataBase\r\x05");
        file.close();
        QVERIFY(versionLines().join('\n').contains(
            QRegularExpression("20200101-000000-000000 .* nicht lesbar +24 Bytes")));
        const QByteArray before = [&] {
            QFile db(path("db.mvd"));
            return db.open(QIODevice::ReadOnly) ? db.readAll() : QByteArray();
        }();
        const Result r = run(args);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(r.err.startsWith(err), qPrintable(r.err));
        QFile db(path("db.mvd"));
        QVERIFY(db.open(QIODevice::ReadOnly));
        QCOMPARE(db.readAll(), before);
    }

    // The program's options reach mvd through the user's settings.
    void switchedOffInTheSettings() {
        QDir().mkpath(path("konfiguration/Mavrolin"));
        QFile settings(path("konfiguration/Mavrolin/registry.reg"));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write(("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orbelon\\Mavrolin\\" +
                        AccountName() + "]\n\"keep versions\"=dword:00000000\n")
                           .toUtf8());
        settings.close();
        for (int day = 1; day <= 3; ++day)
            QCOMPARE(run(AddArgs("db.mvd", day)).exitCode, 0);
        QCOMPARE(versionLines(), QStringList());
    }

    void unwritableFolderNeverBlocksTheSave() {
        QFile blocker(path("daten"));
        QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the folder belongs
        blocker.close();
        QCOMPARE(run(AddArgs("db.mvd", 1)).exitCode, 0);
        const Result r = run(AddArgs("db.mvd", 2));
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.startsWith("mvd: Die bisherige Fassung der Datenbank konnte nicht als "
                                  "\u00E4ltere Version aufbewahrt werden"),
                 qPrintable(r.err));
        QCOMPARE(run({"list", "db.mvd"}).out.count('\n'), 3);
    }
};

QTEST_GUILESS_MAIN(MvdVersionsTest)
#include "tst_mvdversions.moc"
