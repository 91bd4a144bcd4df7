// Which versions thinning keeps, as a table of ages, sizes and limits.

#include "versions/Thinning.h"

#include <QtTest>

namespace {

// "90s", "25h", "31d" in seconds.
std::int64_t Seconds(const QString& age) {
    const std::int64_t value = age.chopped(1).toLongLong();
    switch (age.back().toLatin1()) {
    case 'h':
        return value * 3600;
    case 'd':
        return value * 86400;
    default:
        return value;
    }
}

} // namespace

class ThinningTest : public QObject {
    Q_OBJECT

private slots:
    void keep_data() {
        QTest::addColumn<QStringList>("ages"); // newest first
        QTest::addColumn<QList<quint64>>("sizes");
        QTest::addColumn<quint64>("limit");
        QTest::addColumn<QString>("kept"); // '1' stays, '0' goes

        const quint64 big = 1ull << 40;
        QTest::newRow("nothing") << QStringList{} << QList<quint64>{} << big << "";
        QTest::newRow("every version of the last 24 hours")
            << QStringList{"0s", "1h", "23h"} << QList<quint64>{1, 1, 1} << big << "111";
        QTest::newRow("one a day: the oldest of the day stays")
            << QStringList{"1h", "25h", "30h", "47h"} << QList<quint64>{1, 1, 1, 1} << big
            << "1001";
        QTest::newRow("days apart all stay") << QStringList{"1h", "25h", "49h", "73h", "29d"}
                                             << QList<quint64>{1, 1, 1, 1, 1} << big << "11111";
        QTest::newRow("one a week after 30 days")
            << QStringList{"0s", "31d", "33d", "36d", "38d"} << QList<quint64>{1, 1, 1, 1, 1} << big
            << "10011";
        QTest::newRow("beyond a year goes") << QStringList{"0s", "300d", "366d", "900d"}
                                            << QList<quint64>{1, 1, 1, 1} << big << "1100";
        QTest::newRow("the newest stays however old")
            << QStringList{"400d", "500d"} << QList<quint64>{1, 1} << big << "10";
        QTest::newRow("the newest stays beyond the limit")
            << QStringList{"1h", "2h"} << QList<quint64>{2000, 1} << quint64(1000) << "10";
        QTest::newRow("limit: the oldest go first")
            << QStringList{"0s", "1h", "2h"} << QList<quint64>{400, 400, 400} << quint64(1000)
            << "110";
        QTest::newRow("limit met exactly")
            << QStringList{"0s", "1h", "2h"} << QList<quint64>{300, 300, 400} << quint64(1000)
            << "111";
        QTest::newRow("limit: no older one after a newer went")
            << QStringList{"0s", "1h", "2h"} << QList<quint64>{600, 600, 100} << quint64(1000)
            << "100";
        QTest::newRow("limit counts the kept only")
            << QStringList{"0s", "30h", "40h", "50h"} << QList<quint64>{500, 500, 500, 500}
            << quint64(1000) << "1010";
        QTest::newRow("limit 0 keeps the newest")
            << QStringList{"0s", "1h"} << QList<quint64>{1, 1} << quint64(0) << "10";
        QTest::newRow("a clock put back counts as now")
            << QStringList{"-5h", "1h", "2h"} << QList<quint64>{1, 1, 1} << big << "111";
    }

    void keep() {
        QFETCH(QStringList, ages);
        QFETCH(QList<quint64>, sizes);
        QFETCH(quint64, limit);
        QFETCH(QString, kept);
        std::vector<versions::AgedVersion> versions;
        for (qsizetype i = 0; i < ages.size(); ++i)
            versions.push_back({Seconds(ages[i]), sizes[i]});
        const std::vector<bool> keep = versions::VersionsToKeep(versions, limit);
        QString result;
        for (const bool stays : keep)
            result += stays ? '1' : '0';
        QCOMPARE(result, kept);
    }
};

QTEST_GUILESS_MAIN(ThinningTest)
#include "tst_thinning.moc"
