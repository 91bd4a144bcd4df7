// The login step against the real login library and small stand-ins.

#include "login/LoginStep.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <pwd.h>
#include <unistd.h>

namespace {
QString AccountName() {
    const passwd* entry = ::getpwuid(::getuid());
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString::number(::getuid());
}
QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class LoginTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void realLibraryLogsInTheAccount();
    void logGoesToHomeStateFolderWithoutXdgVariable();
    void refusedLoginStillDeliversName();
    void unusableLibraries_data();
    void unusableLibraries();
    void fatalMessageTexts();
    void installedLibraryFolder();

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

void LoginTest::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    qputenv("XDG_STATE_HOME", dir_->filePath("state").toLocal8Bit());
    LoggedUserName = "before";
}

void LoginTest::realLibraryLogsInTheAccount() {
    const QString workingLog = QDir::current().filePath("login.log");
    QFile::remove(workingLog);
    for (int run = 1; run <= 2; ++run) {
        QCOMPARE(PerformLogin("Mavrolin", QStringLiteral(REAL_LOGIN_DIR)), LoginResult::LoggedIn);
        QCOMPARE(QString::fromStdString(LoggedUserName), AccountName());
        // One line per login is appended: date, time, application, user.
        const QList<QByteArray> lines =
            ReadFile(dir_->filePath("state/Mavrolin/login.log")).split('\n');
        QCOMPARE(lines.size(), run + 1);
        QVERIFY(lines.last().isEmpty());
        const QList<QByteArray> fields = lines[run - 1].split('\t');
        QCOMPARE(fields.size(), 4);
        QVERIFY2(QDate::fromString(QString(fields[0]), "dd.MM.yyyy").isValid(), fields[0]);
        QVERIFY2(QTime::fromString(QString(fields[1]), "HH:mm:ss").isValid(), fields[1]);
        QCOMPARE(fields[2], QByteArray("Mavrolin"));
        QCOMPARE(QString::fromLocal8Bit(fields[3]), AccountName());
    }
    QVERIFY(!QFile::exists(workingLog));
}

void LoginTest::logGoesToHomeStateFolderWithoutXdgVariable() {
    const QByteArray oldHome = qgetenv("HOME");
    qunsetenv("XDG_STATE_HOME");
    qputenv("HOME", dir_->filePath("home").toLocal8Bit());
    const LoginResult result = PerformLogin("Mavrolin", QStringLiteral(REAL_LOGIN_DIR));
    qputenv("HOME", oldHome);
    QCOMPARE(result, LoginResult::LoggedIn);
    QVERIFY(QFile::exists(dir_->filePath("home/.local/state/Mavrolin/login.log")));
}

void LoginTest::refusedLoginStillDeliversName() {
    QCOMPARE(PerformLogin("Mavrolin", QStringLiteral(FAKE_REFUSE_DIR)), LoginResult::Refused);
    // Called in order, with the application name and "login.log"; the name is
    // taken even though the login was refused.
    QCOMPARE(LoggedUserName, std::string("StartLogin(Mavrolin,login.log);GetLoggedUserNameLength"));
}

void LoginTest::unusableLibraries_data() {
    QTest::addColumn<QString>("folder");
    QTest::newRow("no library") << QString();
    QTest::newRow("entry point missing") << QStringLiteral(FAKE_NO_LENGTH_DIR);
    QTest::newRow("negative name length") << QStringLiteral(FAKE_NEGATIVE_LENGTH_DIR);
    QTest::newRow("not a library") << QStringLiteral("not-a-library");
}

void LoginTest::unusableLibraries() {
    QFETCH(QString, folder);
    if (folder.isEmpty()) {
        folder = dir_->path(); // an empty folder
    } else if (folder == "not-a-library") {
        folder = dir_->path();
        QFile file(dir_->filePath("libLogin.so"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("MZ this is no library");
    }
    QCOMPARE(PerformLogin("Mavrolin", folder), LoginResult::LibraryMissing);
    QCOMPARE(LoggedUserName, std::string("before"));
}

void LoginTest::fatalMessageTexts() {
    QCOMPARE(QString::fromUtf8(login::MissingLibraryText),
             QString::fromUtf8("Fehler: Korrekte Login.dll nicht gefunden - Login nicht möglich."));
    QCOMPARE(QString::fromUtf8(login::MissingLibraryCaption), QStringLiteral("Fataler Fehler"));
}

void LoginTest::installedLibraryFolder() {
    // An installation's layout: the program in bin/, the library in its
    // private folder; without the library there, the program's own folder.
    const QString program = dir_->filePath("usr/bin");
    const QString installed =
        QDir::cleanPath(program + QLatin1Char('/') + QLatin1String(login::InstalledLibraryFolder));
    QVERIFY(installed.startsWith(dir_->filePath("usr/")));
    QVERIFY(QDir().mkpath(program) && QDir().mkpath(installed));
    QCOMPARE(LoginLibraryFolder(program), program);
    QVERIFY(QFile::copy(QStringLiteral(REAL_LOGIN_DIR "/libLogin.so"), installed + "/libLogin.so"));
    QCOMPARE(LoginLibraryFolder(program), installed);
    QCOMPARE(PerformLogin("Mavrolin", LoginLibraryFolder(program)), LoginResult::LoggedIn);
}

QTEST_GUILESS_MAIN(LoginTest)
#include "tst_loginstep.moc"
