// The analysis window's place in its own settings value: what is written is
// read back, unusable values are ignored, and nothing is written while the
// user's settings are not valid.
#include "settings/AnalysisWindowSettings.h"
#include "settings/UserManager.h"

#include <QTemporaryDir>
#include <QtTest>

using settings::RegValue;
using settings::WindowPlace;

namespace {

void IgnoreWarning(const std::string&) {}

QByteArray Fields(std::initializer_list<qint32> fields) {
    QByteArray bytes;
    for (qint32 f : fields)
        bytes.append(reinterpret_cast<const char*>(&f), 4); // little-endian machine
    return bytes;
}

QString Text(const std::optional<WindowPlace>& place) {
    return place ? QStringLiteral("%1,%2 %3x%4")
                       .arg(place->Left)
                       .arg(place->Top)
                       .arg(place->Width)
                       .arg(place->Height)
                 : QStringLiteral("none");
}

} // namespace

class AnalysisPlaceTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", dir_.filePath("config").toLocal8Bit()); }

    void storedValues_data() {
        QTest::addColumn<RegValue>("stored");
        QTest::addColumn<QString>("place");
        QTest::newRow("place") << RegValue::Binary(Fields({-8, 30, 860, 640})) << "-8,30 860x640";
        QTest::newRow("short") << RegValue::Binary(Fields({1, 2, 3})) << "none";
        QTest::newRow("no width") << RegValue::Binary(Fields({1, 2, 0, 640})) << "none";
        QTest::newRow("too high") << RegValue::Binary(Fields({1, 2, 9, 40000})) << "none";
        QTest::newRow("other type") << RegValue::Qword(7) << "none";
    }
    void storedValues() {
        QFETCH(RegValue, stored);
        QFETCH(QString, place);
        TUserManager user("berta", IgnoreWarning);
        user.Valid = true;
        user.UpdateUserKey([&](settings::RegKey& key) {
            return key.SetValue(QStringLiteral("Analysis Window"), stored);
        });
        QCOMPARE(Text(settings::LoadAnalysisPlace(user)), place);
    }

    void writtenOnlyWhileValid() {
        TUserManager user("carl", IgnoreWarning);
        user.Valid = false;
        settings::SaveAnalysisPlace(user, {10, 20, 300, 200});
        QCOMPARE(Text(settings::LoadAnalysisPlace(user)), QStringLiteral("none"));
        user.Valid = true;
        settings::SaveAnalysisPlace(user, {10, 20, 300, 200});
        QCOMPARE(Text(settings::LoadAnalysisPlace(user)), QStringLiteral("10,20 300x200"));
    }
};

QTEST_GUILESS_MAIN(AnalysisPlaceTest)
#include "tst_analysisplace.moc"
