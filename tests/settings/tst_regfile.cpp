// The REGEDIT4 text form of the settings tree: what is written, what is read
// back, and which texts are refused.

#include "settings/RegFileFormat.h"

#include <QTest>

using settings::RegKey;
using settings::RegValue;
namespace regfile = settings::regfile;

Q_DECLARE_METATYPE(settings::RegValue)

class RegFileTest : public QObject {
    Q_OBJECT
private slots:
    void writesValueSyntax_data();
    void writesValueSyntax();
    void roundTripKeepsEveryValue_data();
    void roundTripKeepsEveryValue();
    void writesKeysAndNesting();
    void readsHandWrittenFile();
    void refusesInvalidText_data();
    void refusesInvalidText();
    void longBinaryWrapsAndReadsBack();
    void namesCompareCaseInsensitively();
    void subKeysFoundAmongManySiblings();
};

void RegFileTest::writesValueSyntax_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<RegValue>("value");
    QTest::addColumn<QString>("line");

    QTest::newRow("string") << "database" << RegValue::String("/home/a/f.mvd")
                            << R"("database"="/home/a/f.mvd")";
    QTest::newRow("empty string") << "database" << RegValue::String("") << R"("database"="")";
    QTest::newRow("quotes and backslashes") << "database" << RegValue::String(R"(C:\Daten\"x".mvd)")
                                            << R"("database"="C:\\Daten\\\"x\".mvd")";
    QTest::newRow("non-ASCII kept as UTF-8")
        << "database" << RegValue::String("/home/jörg/Fehler€.mvd")
        << "\"database\"=\"/home/jörg/Fehler€.mvd\"";
    QTest::newRow("quoted value name") << R"(a"b\c)" << RegValue::String("x") << R"("a\"b\\c"="x")";
    QTest::newRow("default value") << "" << RegValue::String("x") << R"(@="x")";
    QTest::newRow("dword") << "options" << RegValue::Dword(2) << R"("options"=dword:00000002)";
    QTest::newRow("dword high bits")
        << "options" << RegValue::Dword(0xdeadbeef) << R"("options"=dword:deadbeef)";
    QTest::newRow("binary") << "configuration" << RegValue::Binary(QByteArray("\x8f\x00\xff", 3))
                            << R"("configuration"=hex:8f,00,ff)";
    QTest::newRow("empty binary") << "configuration" << RegValue::Binary({})
                                  << R"("configuration"=hex:)";
    QTest::newRow("expandable string")
        << "p" << RegValue::String("%A%", settings::RegExpandString) << R"("p"=hex(2):25,41,25,00)";
    QTest::newRow("string that is not UTF-8 stays bytes")
        << "database" << RegValue::String("/home/j\xf6rg")
        << R"("database"=hex(1):2f,68,6f,6d,65,2f,6a,f6,72,67,00)";
    QTest::newRow("string with a line break stays bytes")
        << "d" << RegValue::String("a\nb") << R"("d"=hex(1):61,0a,62,00)";
    QTest::newRow("string without terminator")
        << "d" << RegValue{settings::RegString, "ab"} << R"("d"=hex(1):61,62)";
    QTest::newRow("short dword") << "d" << RegValue{settings::RegDword, "ab"}
                                 << R"("d"=hex(4):61,62)";
    QTest::newRow("other type") << "d" << RegValue{0x10b, QByteArray("\x01", 1)}
                                << R"("d"=hex(10b):01)";
}

void RegFileTest::writesValueSyntax() {
    QFETCH(QString, name);
    QFETCH(RegValue, value);
    QFETCH(QString, line);
    RegKey root;
    QVERIFY(root.CreatePath({"Software", "K"})->SetValue(name, value));
    const QString text = QString::fromUtf8(regfile::Write(root));
    QCOMPARE(text, "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n\n"
                   "[HKEY_CURRENT_USER\\Software\\K]\n" +
                       line + "\n\n");
    // And it reads back to the same value.
    const auto parsed = regfile::Parse(text.toUtf8());
    QVERIFY(parsed);
    const RegValue* back = parsed->SubKey("Software")->SubKey("K")->Value(name);
    QVERIFY(back);
    QCOMPARE(back->type, value.type);
    QCOMPARE(back->data, value.data);
}

void RegFileTest::roundTripKeepsEveryValue_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<uint>("type");
    QByteArray all(256, '\0');
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<char>(i);
    QTest::newRow("binary, every byte") << all << uint(settings::RegBinary);
    QTest::newRow("string, every byte") << all << uint(settings::RegString);
    QTest::newRow("none type") << QByteArray("x") << uint(settings::RegNone);
    QTest::newRow("trailing backslash") << QByteArray("C:\\\0", 4) << uint(settings::RegString);
    QTest::newRow("only a backslash and quote")
        << QByteArray("\\\"\0", 3) << uint(settings::RegString);
    QTest::newRow("string beginning with a byte order mark") << QByteArray("\xEF\xBB\xBF"
                                                                           "C:\0",
                                                                           6)
                                                             << uint(settings::RegString);
}

void RegFileTest::roundTripKeepsEveryValue() {
    QFETCH(QByteArray, data);
    QFETCH(uint, type);
    RegKey root;
    root.CreatePath({"A"})->SetValue("v", {type, data});
    const QByteArray text = regfile::Write(root);
    const auto parsed = regfile::Parse(text);
    QVERIFY2(parsed, text.constData());
    QVERIFY(*parsed == root);
    QCOMPARE(regfile::Write(*parsed), text);
}

void RegFileTest::writesKeysAndNesting() {
    RegKey root;
    root.CreatePath({"Software", "Orbelon", "Mavrolin", "a", "b"});
    root.CreatePath({"Software", "Orbelon", "Mavrolin", "zoë"})
        ->SetValue("options", RegValue::Dword(7));
    root.SetValue("top", RegValue::Dword(1));
    const QByteArray expected = "REGEDIT4\n\n"
                                "[HKEY_CURRENT_USER]\n\"top\"=dword:00000001\n\n"
                                "[HKEY_CURRENT_USER\\Software]\n\n"
                                "[HKEY_CURRENT_USER\\Software\\Orbelon]\n\n"
                                "[HKEY_CURRENT_USER\\Software\\Orbelon\\Mavrolin]\n\n"
                                "[HKEY_CURRENT_USER\\Software\\Orbelon\\Mavrolin\\a]\n\n"
                                "[HKEY_CURRENT_USER\\Software\\Orbelon\\Mavrolin\\a\\b]\n\n"
                                "[HKEY_CURRENT_USER\\Software\\Orbelon\\Mavrolin\\zoë]\n"
                                "\"options\"=dword:00000007\n\n";
    QCOMPARE(regfile::Write(root), expected);
    const auto parsed = regfile::Parse(expected);
    QVERIFY(parsed);
    QVERIFY(*parsed == root);
}

void RegFileTest::readsHandWrittenFile() {
    // CRLF line ends, a BOM, comments, blank lines, spaces around '=', a key
    // named only by its deepest path, hex over continuation lines, upper case.
    const QByteArray text = "\xEF\xBB\xBFREGEDIT4\r\n"
                            "; my settings\r\n"
                            "\r\n"
                            "[HKEY_CURRENT_USER\\Software\\Orbelon\\Mavrolin\\bob]\r\n"
                            "\"database\" = \"/tmp/x y.mvd\"\r\n"
                            "\"configuration\"=hex:01, 2 ,\\\r\n"
                            "  03,FF\r\n"
                            "\"options\"=dword:7\r\n"
                            "\"empty\"=hex(0):\r\n"
                            // Sections that leave a parent and come back to it.
                            "[HKEY_CURRENT_USER\\Software\\Orbelon\\Mavrolin\\bob\\one]\r\n"
                            "[HKEY_CURRENT_USER\\Software\\Orbelon\\MAVROLIN\\eve]\r\n"
                            "[HKEY_CURRENT_USER\\Software\\Orbelon\\Mavrolin\\bob\\two]\r\n"
                            "\"n\"=dword:2\r\n";
    auto parsed = regfile::Parse(text);
    QVERIFY(parsed);
    const RegKey* bob = parsed->FindPath({"Software", "Orbelon", "Mavrolin", "bob"});
    QVERIFY(bob);
    QCOMPARE(*bob->Value("database"), RegValue::String("/tmp/x y.mvd"));
    QCOMPARE(*bob->Value("configuration"), RegValue::Binary(QByteArray("\x01\x02\x03\xff", 4)));
    QCOMPARE(*bob->Value("options"), RegValue::Dword(7));
    QCOMPARE(*bob->Value("empty"), (RegValue{settings::RegNone, {}}));
    QCOMPARE(bob->SubKeys().size(), std::size_t(2));
    QCOMPARE(*parsed->FindPath({"Software", "Orbelon", "Mavrolin", "bob", "two"})->Value("n"),
             RegValue::Dword(2));
    QCOMPARE(parsed->FindPath({"Software", "Orbelon"})->SubKeys().size(), std::size_t(1));
    QVERIFY(parsed->FindPath({"Software", "Orbelon", "Mavrolin", "eve"}));
}

void RegFileTest::refusesInvalidText_data() {
    QTest::addColumn<QByteArray>("text");
    const QByteArray key = "REGEDIT4\n[HKEY_CURRENT_USER\\Software]\n";
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("no header") << QByteArray("[HKEY_CURRENT_USER\\Software]\n");
    QTest::newRow("other header") << QByteArray("Windows Registry Editor Version 5.00\n");
    QTest::newRow("other hive") << QByteArray("REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software]\n");
    QTest::newRow("unclosed key") << QByteArray("REGEDIT4\n[HKEY_CURRENT_USER\\Software\n");
    QTest::newRow("empty key name") << QByteArray("REGEDIT4\n[HKEY_CURRENT_USER\\\\a]\n");
    QTest::newRow("key deletion") << QByteArray("REGEDIT4\n[-HKEY_CURRENT_USER\\a]\n");
    QTest::newRow("value before key") << QByteArray("REGEDIT4\n\"a\"=\"b\"\n");
    QTest::newRow("unterminated string") << key + "\"a\"=\"b\n";
    QTest::newRow("unknown escape") << key + "\"a\"=\"C:\\Daten\"\n";
    QTest::newRow("text after string") << key + "\"a\"=\"b\"c\n";
    QTest::newRow("missing equals") << key + "\"a\" \"b\"\n";
    QTest::newRow("value deletion") << key + "\"a\"=-\n";
    QTest::newRow("bare word") << key + "a=b\n";
    QTest::newRow("bad dword") << key + "\"a\"=dword:xyz\n";
    QTest::newRow("dword too long") << key + "\"a\"=dword:123456789\n";
    QTest::newRow("bad hex byte") << key + "\"a\"=hex:1g\n";
    QTest::newRow("hex byte too long") << key + "\"a\"=hex:100\n";
    QTest::newRow("empty hex byte") << key + "\"a\"=hex:01,,02\n";
    QTest::newRow("bad hex type") << key + "\"a\"=hex(z):01\n";
    QTest::newRow("continuation at end") << key + "\"a\"=hex:01,\\\n";
    QTest::newRow("not UTF-8") << key + "\"a\"=\"\xff\"\n";
    QTest::newRow("zero byte") << key + QByteArray("\"a\"=\"\0\"\n", 8);
    QTest::newRow("empty value name") << key + "\"\"=\"b\"\n";
    // Each level is written on a line of its own with its whole path: the
    // registry's own limit of 512 levels keeps that from growing without bound.
    QTest::newRow("key 513 levels deep")
        << "REGEDIT4\n[HKEY_CURRENT_USER" + QByteArray("\\k").repeated(513) + "]\n";
}

void RegFileTest::refusesInvalidText() {
    QFETCH(QByteArray, text);
    QString error;
    QVERIFY(!regfile::Parse(text, &error));
    QVERIFY(!error.isEmpty());
}

void RegFileTest::longBinaryWrapsAndReadsBack() {
    QByteArray data(52, '\0');
    for (int i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 5);
    RegKey root;
    root.CreatePath({"K"})->SetValue("configuration", RegValue::Binary(data));
    const QByteArray text = regfile::Write(root);
    for (const QByteArray& line : text.split('\n'))
        QVERIFY2(line.size() <= 80, line.constData());
    QVERIFY(text.contains(",\\\n  "));
    const auto parsed = regfile::Parse(text);
    QVERIFY(parsed);
    QCOMPARE(parsed->SubKey("K")->Value("configuration")->data, data);
}

void RegFileTest::namesCompareCaseInsensitively() {
    const auto parsed = regfile::Parse("REGEDIT4\n[HKEY_CURRENT_USER\\Soft]\n\"Opt\"=dword:1\n"
                                       "[HKEY_CURRENT_USER\\SOFT]\n\"OPT\"=dword:2\n");
    QVERIFY(parsed);
    QCOMPARE(parsed->SubKeys().size(), std::size_t(1));
    const RegKey* soft = parsed->SubKey("soft");
    QVERIFY(soft);
    QCOMPARE(soft->Name(), QString("Soft"));
    QCOMPARE(soft->Values().size(), std::size_t(1));
    QCOMPARE(*soft->Value("opt"), RegValue::Dword(2));
}

void RegFileTest::subKeysFoundAmongManySiblings() {
    RegKey root;
    for (int i = 0; i < 1000; ++i)
        root.CreatePath({QString("Nutzer%1").arg(i)});
    root.CreatePath({"Müller"});
    QCOMPARE(root.SubKey("nutzer999"), root.SubKeys()[999].get());
    QCOMPARE(root.SubKey("MÜLLER"), root.SubKeys()[1000].get());
    QVERIFY(root.DeleteSubKey("NUTZER5"));
    QVERIFY(!root.SubKey("Nutzer5") && !root.DeleteSubKey("nutzer5"));
    QCOMPARE(root.SubKeys()[5]->Name(), QString("Nutzer6")); // the order stays
    root.CreatePath({"nutzer5"});
    QCOMPARE(root.SubKeys().back()->Name(), QString("nutzer5"));
    QCOMPARE(root.SubKeys().size(), std::size_t(1001));
    const RegKey moved = std::move(root);
    QCOMPARE(moved.SubKey("NUTZER0"), moved.SubKeys()[0].get());
}

QTEST_APPLESS_MAIN(RegFileTest)
#include "tst_regfile.moc"
