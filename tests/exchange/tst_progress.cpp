// The progress of the long exchanges (CSV and workbook export, CSV read):
// what the callback is told, and that a cancel leaves nothing behind.
#include "core/DataBase.h"
#include "exchange/CsvReader.h"
#include "exchange/CsvWriter.h"
#include "exchange/XlsxWriter.h"

#include <QtTest>

namespace {

constexpr int Entries = 40000; // several steps of every kind of work

struct Call {
    std::uint64_t done, total;
};

// Answers true until the `cancelAt`-th call (0: never) and notes every call.
exchange::Progress Recorder(std::vector<Call>& calls, int cancelAt) {
    return [&calls, cancelAt](std::uint64_t done, std::uint64_t total) {
        calls.push_back({done, total});
        return static_cast<int>(calls.size()) != cancelAt;
    };
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestProgress : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void progress_data();
    void progress();

private:
    TDataBase db_;
    std::vector<const TDataRecord*> entries_;
    std::string csv_; // the entries as a spreadsheet CSV
};

void TestProgress::initTestCase() {
    TRecordData record;
    record.Language = "C++";
    record.ErrorType = "Zeigerfehler";
    record.Project = "Mavrolin";
    record.Description = "eine Beschreibung, die etwas l\xE4nger ist als die anderen Felder";
    record.Date = 36955.0;
    for (int i = 0; i < Entries; ++i) {
        record.TimeNeeded = static_cast<std::uint32_t>(i);
        entries_.push_back(db_.AddRecord(record));
    }
    QVERIFY(exchange::WriteCsv([this](std::string_view block) { csv_ += block; }, entries_,
                               exchange::SpreadsheetCsv));
}

void TestProgress::progress_data() {
    QTest::addColumn<QString>("work");
    QTest::addColumn<int>("cancelAt"); // 0: never
    for (const char* work : {"csv export", "xlsx export", "read", "read in halves"}) {
        QTest::addRow("%s to the end", work) << work << 0;
        QTest::addRow("%s cancelled at once", work) << work << 1;
        QTest::addRow("%s cancelled later", work) << work << 3;
    }
}

// An export replaces an existing file only when complete; a read gives rows
// only when complete.
void TestProgress::progress() {
    QFETCH(QString, work);
    QFETCH(int, cancelAt);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString target = dir.filePath("ziel");
    {
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("alt");
    }
    std::vector<Call> calls;
    const exchange::Progress progress = Recorder(calls, cancelAt);

    bool cancelled = false;
    if (work == "csv export") {
        cancelled = !exchange::ExportCsvFile(target.toStdString(), entries_,
                                             exchange::SpreadsheetCsv, progress);
        if (!cancelled)
            QCOMPARE(ReadAll(target), QByteArray::fromStdString(csv_));
    } else if (work == "xlsx export") {
        cancelled = exchange::ExportXlsxFile(target.toStdString(), entries_, progress).cancelled;
        if (!cancelled)
            QVERIFY(ReadAll(target).startsWith("PK"));
    } else {
        const std::size_t parallelAbove = work == "read" ? SIZE_MAX : 0;
        const exchange::CsvReadResult read = exchange::ReadCsv(csv_, parallelAbove, progress);
        cancelled = read.cancelled;
        QCOMPARE(read.failure, std::string());
        QCOMPARE(read.entries.size(), cancelled ? 0u : std::size_t{Entries});
        QVERIFY(read.refused.empty());
    }

    QCOMPARE(cancelled, cancelAt != 0);
    if (cancelled) {
        QCOMPARE(calls.size(), std::size_t(cancelAt)); // nothing told after the cancel
    } else {
        QVERIFY(calls.size() >= 3);
        QCOMPARE(calls.back().done, calls.back().total);
    }
    for (std::size_t i = 0; i < calls.size(); ++i) {
        QVERIFY(calls[i].total >= 1);
        QCOMPARE(calls[i].total, calls.front().total);
        QVERIFY(calls[i].done <= calls[i].total);
        if (i > 0)
            QVERIFY2(calls[i].done >= calls[i - 1].done, qPrintable(QString::number(i)));
    }
    // A cancelled export leaves the old file and no temporary one.
    if (cancelled && work.endsWith("export"))
        QCOMPARE(ReadAll(target), QByteArray("alt"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"ziel"});
}

QTEST_APPLESS_MAIN(TestProgress)
#include "tst_progress.moc"
