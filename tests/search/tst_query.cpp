// The quick search's matching: letter case over all of Windows-1252 (checked
// against Qt's Unicode tables), the fields searched, several words, and when
// one query's result may be taken from another's.
#include "core/Cp1252.h"
#include "search/CaseFold.h"
#include "search/EntrySearch.h"
#include "support/CoreTestUtil.h"

#include <QtTest>

namespace {

std::string Cp(const char* utf8) {
    return cp1252::FromUtf8(utf8).value();
}

// Every field distinct, so that each case finds one field.
const TDataRecord& Sample() {
    static TDataBase db;
    static const TDataRecord* e = db.AddRecord(coretest::Entry(
        Cp("Object Pascal"), Cp("Überlauf"), Cp("STRASSE-Œuvre"), coretest::Day(2001, 3, 7), 145,
        Cp("Der Zähler lief über,\r\nweil Größe × 2 fehlte; ÿ Š 1234567890abcdefXYZ")));
    return *e;
}

} // namespace

class QueryTest : public QObject {
    Q_OBJECT

private slots:
    void foldsLikeUnicode() {
        for (int b = 0; b < 256; ++b) {
            const auto byte = static_cast<unsigned char>(b);
            const QString lower = QString(QChar(cp1252::ToUnicode(byte))).toLower();
            const auto expected = cp1252::FromUtf8(lower.toStdString());
            QCOMPARE(int(casefold::Lower(byte)),
                     int(expected && expected->size() == 1 ? (unsigned char)(*expected)[0] : byte));
            if (casefold::Lower(byte) != byte)
                QCOMPARE(int(casefold::Upper(casefold::Lower(byte))), b);
        }
    }

    // Against a plain search on a folded copy, at every place and length
    // around the sixteen-byte blocks.
    void findAgreesWithPlainSearch() {
        const std::string text = Cp("aÄbXäxÖ0123456789ÄäÄäQqÜüÜüzz1234567890ABCDEFab-Ää");
        std::string folded = text;
        for (char& c : folded)
            c = static_cast<char>(casefold::Lower(static_cast<unsigned char>(c)));
        for (std::size_t length = 0; length <= text.size(); ++length)
            for (std::size_t at = 0; at + 1 <= text.size(); ++at)
                for (std::size_t size = 1; size <= 3 && at + size <= text.size(); ++size) {
                    const std::string_view hay(text.data(), length);
                    const std::string_view needle(folded.data() + at, size);
                    QCOMPARE(casefold::Find(hay, needle),
                             std::string_view(folded.data(), length).find(needle));
                }
    }

    void matches_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("found");
        QTest::newRow("nothing typed") << "" << true;
        QTest::newRow("blanks only") << "  \t " << true;
        QTest::newRow("language, other case") << "PASCAL" << true;
        QTest::newRow("umlaut finds capital") << "überl" << true;
        QTest::newRow("capital finds umlaut") << "ZÄHLER" << true;
        QTest::newRow("sharp s finds sharp s") << "größe" << true;
        QTest::newRow("sharp s is no ss") << "grösse" << false;
        QTest::newRow("ss is no sharp s") << "strasse gROSS" << false;
        QTest::newRow("ligature") << "œUVRE" << true;
        QTest::newRow("s caron, y diaeresis") << "š Ÿ" << true;
        QTest::newRow("times is no letter") << "÷" << false;
        QTest::newRow("date as listed") << "07.03.2001" << true;
        QTest::newRow("part of the date") << "3.20" << true;
        QTest::newRow("date not as listed") << "7.3.2001" << false;
        QTest::newRow("minutes") << "145" << true;
        QTest::newRow("part of the minutes") << "45" << true;
        QTest::newRow("words in several fields") << "pascal 2001 zähler 14 œuvre" << true;
        QTest::newRow("one word missing") << "pascal java" << false;
        QTest::newRow("word across two fields") << "pascalüberlauf" << false;
        QTest::newRow("word across a line break") << "über,weil" << false;
        QTest::newRow("end of a long description") << "defxyz" << true;
        QTest::newRow("character Windows-1252 lacks") << "pascal ✓" << false;
    }
    void matches() {
        QFETCH(QString, typed);
        QFETCH(bool, found);
        QCOMPARE(search::Query::FromUtf8(typed.toStdString()).Matches(Sample()), found);
    }

    void noCalendarDayHasNoDateText() {
        TDataBase db;
        TDataRecord& e = *db.AddRecord(coretest::Entry("", "", "", -1e9, 0));
        QVERIFY(!search::Query::FromUtf8(".").Matches(e));
        e.Date = coretest::Day(1999, 12, 31);
        QVERIFY(search::Query::FromUtf8("31.12.").Matches(e));
    }

    void narrows_data() {
        QTest::addColumn<QString>("narrower");
        QTest::addColumn<QString>("wider");
        QTest::addColumn<bool>("narrows");
        QTest::newRow("from nothing") << "a"
                                      << "" << true;
        QTest::newRow("to nothing") << ""
                                    << "a" << false;
        QTest::newRow("longer word") << "abc"
                                     << "ab" << true;
        QTest::newRow("shorter word") << "ab"
                                      << "abc" << false;
        QTest::newRow("one more word") << "ab x"
                                       << "ab" << true;
        QTest::newRow("one word fewer") << "ab"
                                        << "ab x" << false;
        QTest::newRow("inside another word") << "xaby"
                                             << "ab b" << true;
        QTest::newRow("other case") << "ÄBC"
                                    << "äb" << true;
        QTest::newRow("from a word found nowhere") << "a"
                                                   << "✓" << false;
        QTest::newRow("to a word found nowhere") << "✓"
                                                 << "a" << true;
    }
    void narrows() {
        QFETCH(QString, narrower);
        QFETCH(QString, wider);
        QFETCH(bool, narrows);
        QCOMPARE(search::Query::FromUtf8(narrower.toStdString())
                     .Narrows(search::Query::FromUtf8(wider.toStdString())),
                 narrows);
    }
};

QTEST_GUILESS_MAIN(QueryTest)
#include "tst_query.moc"
