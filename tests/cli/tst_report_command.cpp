// `mvd report`: its options, and the program itself writing PDF and HTML
// without a display, with the figures that `mvd stats` gives.

#include "cli/Arguments.h"
#include "support/CoreTestUtil.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

std::vector<std::string> Split(const QStringList& list) {
    std::vector<std::string> args;
    for (const QString& arg : list)
        args.push_back(arg.toStdString());
    return args;
}

QString Span(const report::Period& period) {
    return QString::fromStdString(FormatDate(double(period.first)) + "-" +
                                  FormatDate(double(period.last)));
}

struct Run {
    int exitCode = -1;
    QByteArray out, err;
};

Run Start(const QString& program, const QStringList& args, const QString& folder) {
    QProcess process;
    process.setWorkingDirectory(folder);
    // No display and no platform chosen: mvd must pick its own.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    process.setProcessEnvironment(environment);
    process.start(program, args);
    Run run;
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit) {
        run.exitCode = process.exitCode();
        run.out = process.readAllStandardOutput();
        run.err = process.readAllStandardError();
    }
    return run;
}

} // namespace

class ReportCommandTest : public QObject {
    Q_OBJECT

private slots:
    void options_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("period"); // or the usage error's fragment
        QTest::addColumn<int>("format");
        const int pdf = int(report::ReportFormat::Pdf), html = int(report::ReportFormat::Html);
        // Today is 15.01.2027.
        QTest::newRow("last month by default")
            << QStringList{"--output", "b.pdf"} << "01.12.2026-31.12.2026" << pdf;
        QTest::newRow("named period, HTML")
            << QStringList{"--period", "this-quarter", "--output=b.HTML"} << "01.01.2027-31.03.2027"
            << html;
        QTest::newRow("from up to today") << QStringList{"--from", "1.11.2026", "--output", "b.htm"}
                                          << "01.11.2026-15.01.2027" << html;
        QTest::newRow("to from the first day")
            << QStringList{"--to", "31.01.2026", "--output", "b.pdf"} << "01.01.0001-31.01.2026"
            << pdf;
        QTest::newRow("from and to")
            << QStringList{"--to=28.02.2025", "--from=01.02.2025", "--output", "b.pdf"}
            << "01.02.2025-28.02.2025" << pdf;
        QTest::newRow("no output") << QStringList{"--period", "last-year"} << "--output" << -1;
        QTest::newRow("other ending")
            << QStringList{"--output", "b.txt"} << ".pdf oder .html" << -1;
        QTest::newRow("period and range")
            << QStringList{"--period", "last-year", "--from", "01.01.2020", "--output", "b.pdf"}
            << "schlie\u00DFen einander aus" << -1;
        QTest::newRow("unknown period") << QStringList{"--period", "last-week", "--output", "b.pdf"}
                                        << "Unbekannter Zeitraum" << -1;
        QTest::newRow("no day") << QStringList{"--from", "31.04.2026", "--output", "b.pdf"}
                                << "Ung\u00FCltiges Datum" << -1;
        QTest::newRow("end before start")
            << QStringList{"--from", "02.01.2026", "--to", "01.01.2026", "--output", "b.pdf"}
            << "endet vor seinem Anfang" << -1;
        QTest::newRow("option of another command")
            << QStringList{"--by", "month", "--output", "b.pdf"} << "Unbekannte Option" << -1;
    }

    void options() {
        QFETCH(QStringList, options);
        QFETCH(QString, period);
        QFETCH(int, format);
        // Through the parser, with today put in by hand.
        std::map<std::string, std::string> values;
        for (qsizetype i = 0; i < options.size(); ++i) {
            const QString option = options[i];
            if (option.contains('='))
                values[option.section('=', 0, 0).toStdString()] =
                    option.section('=', 1).toStdString();
            else
                values[option.toStdString()] = options[++i].toStdString();
        }
        const auto parsed = ParseArguments(Split(QStringList{"report", "f.mvd"} + options));
        if (format < 0) {
            const auto* error = std::get_if<UsageError>(&parsed);
            QVERIFY(error);
            QVERIFY2(QString::fromStdString(error->message).contains(period),
                     error->message.c_str());
            return;
        }
        QVERIFY(std::holds_alternative<Verb>(parsed));
        QCOMPARE(std::get<Verb>(parsed).kind, VerbKind::Report);
        Verb verb;
        verb.kind = VerbKind::Report;
        const auto built = BuildReport(verb, values, CivilDate{2027, 1, 15});
        QVERIFY(std::holds_alternative<Verb>(built));
        const ReportSettings& settings = std::get<Verb>(built).report;
        QCOMPARE(Span(settings.period), period);
        QCOMPARE(int(settings.format), format);
    }

    void writesReport() {
        QTemporaryDir dir;
        QByteArray entries;
        std::uint32_t count = 0;
        const auto add = [&](const QByteArray& language, const QByteArray& category, double date,
                             std::uint32_t minutes) {
            entries += coretest::EntryBytes(language, category, "Kasse", date, minutes,
                                            "Beschreibung " + QByteArray::number(count));
            ++count;
        };
        add("C++", "Zeigerfehler", coretest::Day(2026, 3, 2), 40);
        add("c++",
            "\xDC"
            "berlauf",
            coretest::Day(2026, 3, 9), 25);
        add("Java", "Zeigerfehler", coretest::Day(2026, 3, 30), 5);
        add("Rust", "vergessene Anweisung", coretest::Day(2026, 3, 31), 90);
        QVERIFY(coretest::WriteBytes(dir.filePath("db.mvd"),
                                     coretest::Magic() + coretest::U32(count) + entries));

        const Run pdf = Start(MVD_PATH,
                              {"report", "db.mvd", "--from", "01.03.2026", "--to", "31.03.2026",
                               "--output", "bericht.pdf"},
                              dir.path());
        QCOMPARE(pdf.err, QByteArray());
        QCOMPARE(pdf.exitCode, 0);
        QProcess text;
        text.start("pdftotext", {"-layout", dir.filePath("bericht.pdf"), "-"});
        QVERIFY(text.waitForFinished(60000));
        const QString report = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY(report.contains("Fehlerbericht M\u00E4rz 2026"));

        // Each row of `mvd stats` by category and minutes is a row of the
        // report's table.
        const Run stats = Start(
            MVD_PATH, {"stats", "db.mvd", "--by", "category", "--measure", "minutes"}, dir.path());
        QCOMPARE(stats.exitCode, 0);
        const QStringList rows = QString::fromUtf8(stats.out).split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 4);
        for (const QString& row : rows.mid(1)) {
            QString pattern = QRegularExpression::escape(row.section(';', 0, 0));
            for (const QString& cell : row.split(';').mid(1))
                pattern += "\\s+" + QRegularExpression::escape(cell);
            QVERIFY2(report.contains(QRegularExpression(pattern)), qPrintable(pattern));
        }

        const Run html = Start(
            MVD_PATH, {"report", "db.mvd", "--period", "last-year", "--output", "bericht.html"},
            dir.path());
        QCOMPARE(html.exitCode, 0);
        QVERIFY(QFile::exists(dir.filePath("bericht.html")));

        const Run failed =
            Start(MVD_PATH, {"report", "db.mvd", "--output", "fehlt/b.pdf"}, dir.path());
        QCOMPARE(failed.exitCode, 1);
        QVERIFY2(failed.err.startsWith("mvd: fehlt/b.pdf: "), failed.err.constData());
    }
};

QTEST_GUILESS_MAIN(ReportCommandTest)
#include "tst_report_command.moc"
