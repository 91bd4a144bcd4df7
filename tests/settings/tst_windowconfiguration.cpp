// The 52-byte window configuration record against hand-written bytes.

#include "settings/WindowConfiguration.h"

#include <QTest>

namespace {
WindowConfiguration::Bytes FromHex(const char* hex) {
    const QByteArray bytes = QByteArray::fromHex(hex);
    WindowConfiguration::Bytes out{};
    Q_ASSERT(bytes.size() == 52);
    std::copy(bytes.begin(), bytes.end(), out.begin());
    return out;
}
QByteArray ToHex(const WindowConfiguration::Bytes& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), 52).toHex(' ');
}

// The designed window on a first start.
const char FirstStartRecord[] = "8f000000"   // Top 143
                                "03010000"   // Left 259
                                "7f020000"   // ClientWidth 639
                                "a4010000"   // ClientHeight 420
                                "1b010000"   // DetailWidth 283
                                "00"         // SortColumn: entry ID
                                "0102040000" // ColumnOrder
                                "0000"       // fill
                                "46000000"
                                "9c000000"
                                "46000000" // ColumnWidths 70 156 70
                                "00000000"
                                "00000000" //   0 0
                                "01"       // SortDescending
                                "000000";  // fill
} // namespace

Q_DECLARE_METATYPE(WindowConfiguration)

class WindowConfigurationTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartRecord();
    void decodes_data();
    void decodes();
    void encodesEveryFieldAtItsOffset();
    void fillBytesIgnoredWhenRead();
};

void WindowConfigurationTest::firstStartRecord() {
    QCOMPARE(ToHex(WindowConfiguration::FirstStart().Encode()), ToHex(FromHex(FirstStartRecord)));
    QCOMPARE(WindowConfiguration::Decode(FromHex(FirstStartRecord)),
             WindowConfiguration::FirstStart());
    QCOMPARE(WindowConfiguration::FirstStart().ShownColumnCount(), std::size_t(3));
}

void WindowConfigurationTest::decodes_data() {
    QTest::addColumn<QByteArray>("hex");
    QTest::addColumn<WindowConfiguration>("expected");
    QTest::addColumn<int>("shown");

    WindowConfiguration timeOnly;
    timeOnly.Top = -20; // a window above the screen's top edge
    timeOnly.Left = 0x01020304;
    timeOnly.ClientWidth = 800;
    timeOnly.ClientHeight = 600;
    timeOnly.DetailWidth = 253;
    timeOnly.SortColumn = 5;
    timeOnly.ColumnOrder = {5, 0, 3, 0, 0};
    timeOnly.ColumnWidths = {80, 0, 90, 0, 0};
    timeOnly.SortDescending = false;
    QTest::newRow("time column only, slot 3 after the gap")
        << QByteArray("ecffffff"
                      "04030201"
                      "20030000"
                      "58020000"
                      "fd000000"
                      "05"
                      "0500030000"
                      "0000"
                      "50000000000000005a0000000000000000000000"
                      "00"
                      "000000")
        << timeOnly << 1;

    WindowConfiguration allFive;
    allFive.Top = 10;
    allFive.Left = 20;
    allFive.ClientWidth = 1000;
    allFive.ClientHeight = 700;
    allFive.DetailWidth = 300;
    allFive.SortColumn = 4;
    allFive.ColumnOrder = {3, 5, 1, 4, 2};
    allFive.ColumnWidths = {100, 60, -1, -2, 120};
    allFive.SortDescending = true;
    QTest::newRow("all five slots") << QByteArray("0a00000014000000e8030000bc0200002c010000"
                                                  "04"
                                                  "0305010402"
                                                  "0000"
                                                  "640000003c000000fffffffffeffffff78000000"
                                                  "01"
                                                  "000000")
                                    << allFive << 5;

    WindowConfiguration unknown;
    unknown.ColumnOrder = {1, 0, 0, 2, 0}; // 6 and 255 read as empty slots
    unknown.ColumnWidths = {70, 55, 0, 0, 0};
    unknown.SortColumn = 0;        // 9 reads as by entry ID
    unknown.SortDescending = true; // any non-zero byte is true
    QTest::newRow("unknown codes are empty slots")
        << QByteArray("0000000000000000000000000000000000000000"
                      "09"
                      "0106ff0200"
                      "0000"
                      "4600000037000000000000000000000000000000"
                      "02"
                      "000000")
        << unknown << 1;
}

void WindowConfigurationTest::decodes() {
    QFETCH(QByteArray, hex);
    QFETCH(WindowConfiguration, expected);
    QFETCH(int, shown);
    const WindowConfiguration decoded = WindowConfiguration::Decode(FromHex(hex.constData()));
    QCOMPARE(decoded.Top, expected.Top);
    QCOMPARE(decoded.Left, expected.Left);
    QCOMPARE(decoded.ClientWidth, expected.ClientWidth);
    QCOMPARE(decoded.ClientHeight, expected.ClientHeight);
    QCOMPARE(decoded.DetailWidth, expected.DetailWidth);
    QCOMPARE(decoded.SortColumn, expected.SortColumn);
    QCOMPARE(decoded.ColumnOrder, expected.ColumnOrder);
    QCOMPARE(decoded.ColumnWidths, expected.ColumnWidths);
    QCOMPARE(decoded.SortDescending, expected.SortDescending);
    QCOMPARE(decoded.ShownColumnCount(), std::size_t(shown));
}

void WindowConfigurationTest::encodesEveryFieldAtItsOffset() {
    WindowConfiguration c;
    c.Top = -2;
    c.Left = 0x7fffffff;
    c.ClientWidth = 1;
    c.ClientHeight = 0x100;
    c.DetailWidth = 0x10000;
    c.SortColumn = 3;
    c.ColumnOrder = {2, 3, 0, 0, 0};
    c.ColumnWidths = {-1, 0x01000000, 0, 0, 0};
    c.SortDescending = true;
    QCOMPARE(ToHex(c.Encode()), ToHex(FromHex("feffffff"
                                              "ffffff7f"
                                              "01000000"
                                              "00010000"
                                              "00000100"
                                              "03"
                                              "0203000000"
                                              "0000"
                                              "ffffffff"
                                              "00000001"
                                              "00000000"
                                              "00000000"
                                              "00000000"
                                              "01"
                                              "000000")));
    QCOMPARE(WindowConfiguration::Decode(c.Encode()), c);
}

void WindowConfigurationTest::fillBytesIgnoredWhenRead() {
    WindowConfiguration::Bytes bytes = FromHex(FirstStartRecord);
    bytes[26] = bytes[27] = 0xee;
    bytes[49] = bytes[50] = bytes[51] = 0xff;
    const WindowConfiguration decoded = WindowConfiguration::Decode(bytes);
    QCOMPARE(decoded, WindowConfiguration::FirstStart());
    // and written as zeros again
    QCOMPARE(ToHex(decoded.Encode()), ToHex(FromHex(FirstStartRecord)));
}

QTEST_APPLESS_MAIN(WindowConfigurationTest)
#include "tst_windowconfiguration.moc"
