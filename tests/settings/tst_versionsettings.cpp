// Keeping older versions in the user's settings: what is written is read
// back, by the program and by mvd's read of the store file; missing or
// unusable values give the defaults (on, 1 GiB).
#include "settings/UserManager.h"
#include "settings/VersionSettings.h"

#include <QTemporaryDir>
#include <QtTest>

using settings::RegValue;

namespace {

void IgnoreWarning(const std::string&) {}

QString Text(const versions::Policy& policy) {
    return QStringLiteral("%1 %2").arg(policy.Keep ? "an" : "aus").arg(policy.SizeLimit);
}

} // namespace

class VersionSettingsTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", dir_.filePath("config").toLocal8Bit()); }

    void storedValues_data() {
        QTest::addColumn<RegValue>("keep");  // type RegNone: not stored
        QTest::addColumn<RegValue>("limit"); // type RegNone: not stored
        QTest::addColumn<QString>("policy");
        const RegValue none;
        QTest::newRow("nothing stored") << none << none << "an 1073741824";
        QTest::newRow("off, 5 MiB")
            << RegValue::Dword(0) << RegValue::Qword(5 << 20) << "aus 5242880";
        QTest::newRow("any other number is on") << RegValue::Dword(7) << none << "an 1073741824";
        QTest::newRow("wrong types give the defaults")
            << RegValue::String("0") << RegValue::Dword(5) << "an 1073741824";
    }
    void storedValues() {
        QFETCH(RegValue, keep);
        QFETCH(RegValue, limit);
        QFETCH(QString, policy);
        TUserManager user("dora", IgnoreWarning);
        user.Valid = true;
        user.UpdateUserKey([&](settings::RegKey& key) {
            key.DeleteValue(QStringLiteral("keep versions"));
            key.DeleteValue(QStringLiteral("versions limit"));
            if (keep.type != settings::RegNone)
                key.SetValue(QStringLiteral("Keep Versions"), keep);
            if (limit.type != settings::RegNone)
                key.SetValue(QStringLiteral("versions limit"), limit);
            return true;
        });
        QCOMPARE(Text(settings::LoadVersionPolicy(user)), policy);
        QCOMPARE(Text(settings::ReadVersionPolicy("dora")), policy);
    }

    void writtenAtOnceWhileValid() {
        TUserManager user("emil", IgnoreWarning);
        user.Valid = false;
        settings::SaveVersionPolicy(user, {.Keep = false, .SizeLimit = 1000});
        QCOMPARE(Text(settings::ReadVersionPolicy("emil")), QStringLiteral("an 1073741824"));
        user.Valid = true;
        settings::SaveVersionPolicy(user, {.Keep = false, .SizeLimit = 1000});
        QCOMPARE(Text(settings::LoadVersionPolicy(user)), QStringLiteral("aus 1000"));
        QCOMPARE(Text(settings::ReadVersionPolicy("emil")), QStringLiteral("aus 1000"));
        // Another user, a damaged file: the defaults, and the file stays.
        QCOMPARE(Text(settings::ReadVersionPolicy("fritz")), QStringLiteral("an 1073741824"));
        QFile damaged(dir_.filePath("kaputt.reg"));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write("REGEDIT4\n[HKEY_CURRENT_USER\\Software\n\"x\"=dword:zz\n");
        damaged.close();
        QCOMPARE(Text(settings::ReadVersionPolicy("emil", damaged.fileName())),
                 QStringLiteral("an 1073741824"));
        QVERIFY(damaged.exists());
    }
};

QTEST_GUILESS_MAIN(VersionSettingsTest)
#include "tst_versionsettings.moc"
