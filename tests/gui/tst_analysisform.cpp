// The analysis window on the real main window: it follows the list (filter,
// search, entry changes), a chosen group sets the filter as the filter dialog
// would, the chart saves as SVG.
#include "commands/DataBaseCommands.h"
#include "core/DataBase.h"
#include "gui/AnalysisChart.h"
#include "gui/AnalysisForm.h"
#include "gui/AnalysisTableModel.h"
#include "gui/MainForm.h"
#include "gui/Prompt.h"
#include "gui/RecordListModel.h"
#include "gui/WindowPlacement.h"
#include "support/CoreTestUtil.h"
#include "support/WindowProbe.h"

#include <QBarSet>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

TRecordData Entry(const std::string& language, const char* type, const char* project,
                  std::uint32_t minutes) {
    return coretest::Entry(language, type, project, coretest::Day(2024, 3, 4), minutes);
}

// A new entry, as the user adds one.
void Add(TTestForm& form, const std::string& language, const char* type, const char* project,
         std::uint32_t minutes) {
    form.Commands().AddEntry(Entry(language, type, project, minutes));
}

// C++ 10, Java 20 and java 30 (one group), Python 40 minutes.
std::unique_ptr<TTestForm> MakeForm() {
    auto form = std::make_unique<TTestForm>();
    form->Fill({Entry("C++", "Zeiger", "P1", 10), Entry("Java", "Syntax", "P2", 20),
                Entry("java", "Zeiger", "P2", 30), Entry("Python", "Syntax", "P1", 40)});
    form->AnalysisAction()->trigger();
    return form;
}

// "group count minutes" per row, in the table's order.
QString Table(const TAnalysisForm& window) {
    QStringList rows;
    for (int r = 0; r < window.TableModel->rowCount(); ++r) {
        QStringList cells;
        for (int c : {0, 1, 4})
            cells << window.TableModel->index(r, c).data().toString();
        rows << cells.join(QLatin1Char(' '));
    }
    return rows.join(QStringLiteral(", "));
}

// The ticked values of a list, "alle" when every value is ticked.
QString Ticked(const TValueList& list) {
    QStringList ticked;
    for (int i = 0; i < list.Count(); ++i)
        if (list.Filter(i).Checked)
            ticked << QString::fromStdString(list.Value(i));
    return ticked.size() == list.Count() ? QStringLiteral("alle") : ticked.join('+');
}

QString FilterState(const TTestForm& form) {
    const TDataBase& db = form.DataBase();
    return QStringLiteral("%1 %2 %3 %4 listed %5")
        .arg(Ticked(db.Languages), Ticked(db.ErrorTypes), Ticked(db.Projects),
             db.AndFilter ? QStringLiteral("AND") : QStringLiteral("OR"))
        .arg(form.ItemCount());
}

} // namespace

class TestAnalysisForm : public QObject {
    Q_OBJECT
private slots:
    void init() { Prompt::Testing::Begin(); }
    void cleanup() { Prompt::Testing::End(); }

    void followsTheList_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("table");
        QTest::newRow("nothing") << ""
                                 << "Java 2 0:50, C++ 1 0:10, Python 1 0:40";
        QTest::newRow("filter") << "filter"
                                << "Java 2 0:50, Python 1 0:40";
        QTest::newRow("new entry") << "new"
                                   << "C++ 2 0:15, Java 2 0:50, Python 1 0:40";
        QTest::newRow("change") << "change"
                                << "C++ 1 0:10, Go 1 0:20, Java 1 0:30, Python 1 0:40";
        QTest::newRow("delete") << "delete"
                                << "C++ 1 0:10, Java 1 0:30, Python 1 0:40";
        QTest::newRow("change that the filter hides") << "hide"
                                                      << "Java 1 0:30";
        QTest::newRow("quick search") << "search"
                                      << "Python 1 0:40";
        QTest::newRow("new database") << "clear"
                                      << "";
    }
    void followsTheList() {
        QFETCH(QString, change);
        QFETCH(QString, table);
        auto form = MakeForm();
        TAnalysisForm& window = *form->AnalysisForm();
        const TDataBase& db = form->DataBase();
        if (change == "filter") {
            form->SetFilterTick(db.Languages, "C++", false, true);
        } else if (change == "new") {
            Add(*form, "c++", "Syntax", "P1", 5);
        } else if (change == "change") {
            auto changed = coretest::Entry("Go", "Syntax", "P2", coretest::Day(2024, 3, 4), 20);
            changed.ID = db.GetRecord(1)->ID;
            form->Commands().ChangeEntry(changed);
        } else if (change == "delete") {
            form->Commands().DeleteEntry(db.GetRecord(1)->ID);
        } else if (change == "hide") { // through the panel, as the user changes an entry
            form->SetFilterTick(db.Projects, "P1", false, true);
            form->SetCurrentItem(form->ListModel()->RowOf(db.GetRecord(1)));
            form->ChangeItemAction()->trigger();
            form->ProjectBox()->setEditText(QStringLiteral("P1"));
            form->OkButton()->click();
        } else if (change == "search") {
            form->SearchEdit()->setText(QStringLiteral("Python"));
            form->Search().SearchTimerTimer();
        } else if (change == "clear") {
            form->NewDataBaseAction()->trigger();
        }
        QTRY_COMPARE(Table(window), table);
        // The same as a count afresh.
        window.hide();
        window.show();
        QCOMPARE(Table(window), table);
    }

    void tableSortsByColumn_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("descending");
        QTest::addColumn<QString>("groups");
        QTest::newRow("group") << 0 << false << "C++ Java Python";
        QTest::newRow("group, descending") << 0 << true << "Python Java C++";
        QTest::newRow("count: ties in Pareto order") << 1 << true << "Java Python C++";
        QTest::newRow("minutes") << 4 << false << "C++ Java Python";
        QTest::newRow("median") << 7 << true << "Python Java C++";
        QTest::newRow("cumulative: Pareto order") << 3 << false << "Java Python C++";
    }
    void tableSortsByColumn() {
        QFETCH(int, column);
        QFETCH(bool, descending);
        QFETCH(QString, groups);
        auto form = MakeForm();
        TAnalysisForm& window = *form->AnalysisForm();
        window.TableView->sortByColumn(column,
                                       descending ? Qt::DescendingOrder : Qt::AscendingOrder);
        // A change keeps the chosen order.
        Add(*form, "Python", "Zeiger", "P2", 60);
        QTRY_VERIFY(window.TotalLabel->text().startsWith("5 "));
        QStringList shown;
        for (int r = 0; r < window.TableModel->rowCount(); ++r)
            shown << window.TableModel->index(r, 0).data().toString();
        QCOMPARE(shown.join(' '), groups);
    }

    void chosenGroupSetsTheFilter_data() {
        QTest::addColumn<int>("grouping");
        QTest::addColumn<bool>("bar");
        QTest::addColumn<int>("index"); // row or bar in Pareto order
        QTest::addColumn<QString>("state");
        QTest::newRow("language row") << 0 << false << 0 << "Java alle alle AND listed 2";
        QTest::newRow("category bar") << 1 << true << 1 << "alle Zeiger alle AND listed 2";
        QTest::newRow("project row") << 2 << false << 1 << "alle alle P2 AND listed 2";
        QTest::newRow("weekday bar") << 4 << true << 0 << "alle alle alle OR listed 4";
        QTest::newRow("month row") << 3 << false << 0 << "alle alle alle OR listed 4";
    }
    void chosenGroupSetsTheFilter() {
        QFETCH(int, grouping);
        QFETCH(bool, bar);
        QFETCH(int, index);
        QFETCH(QString, state);
        auto form = MakeForm();
        form->SetFilterTick(form->DataBase().Languages, "C++", true, false);
        TAnalysisForm& window = *form->AnalysisForm();
        window.GroupingBox->setCurrentIndex(grouping);
        if (bar)
            emit window.Chart->Bars()->clicked(index);
        else
            window.TableViewDoubleClick(index);
        QCOMPARE(FilterState(*form), state);
        QTRY_VERIFY(window.TotalLabel->text().startsWith(QString::number(form->ItemCount()) + ' '));
    }

    // Without a stored place the window opens beside the main window where
    // there is room, else where it hides the least of it.
    void placeBesideTheMainWindow_data() {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("room on the right") << QRect(10, 100, 400, 300) << QPoint(410, 100);
        QTest::newRow("room on the left only") << QRect(870, 100, 400, 300) << QPoint(10, 100);
        QTest::newRow("room below only") << QRect(0, 0, 1280, 300) << QPoint(0, 300);
        QTest::newRow("centred, no room: a lower corner hides least")
            << QRect(312, 262, 655, 500) << QPoint(420, 384);
    }
    void placeBesideTheMainWindow() {
        QFETCH(QRect, frame);
        QFETCH(QPoint, expected);
        const QRect screen(0, 0, 1280, 1024);
        QCOMPARE(placement::BesideOrLeastHiding(frame, QSize(860, 640), screen), expected);
    }

    void chartSavesAsSvg_data() {
        QTest::addColumn<int>("languages");
        QTest::addColumn<int>("bars");
        QTest::newRow("three") << 3 << 3;
        QTest::newRow("twelve") << 12 << 12;
        QTest::newRow("fifteen: twelve and the rest") << 15 << 13;
    }
    void chartSavesAsSvg() {
        QFETCH(int, languages);
        QFETCH(int, bars);
        auto form = std::make_unique<TTestForm>();
        std::vector<TRecordData> entries;
        for (int i = 0; i < languages; ++i)
            entries.push_back(
                Entry("L" + std::to_string(100 + i), "Zeiger", "P", static_cast<std::uint32_t>(i)));
        form->Fill(entries);
        form->AnalysisAction()->trigger();
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("chart.svg"));
        Prompt::Testing::QueueFile(file);
        form->AnalysisForm()->SaveChartButtonClick();
        QCOMPARE(form->AnalysisForm()->Chart->BarCount(), bars);
        QFile svg(file);
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&svg);
        int drawn = 0;
        QString fill;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("g"))
                fill = xml.attributes().value(QLatin1String("fill")).toString();
            else if (xml.name() == QLatin1String("rect") &&
                     (fill == TAnalysisChart::BarColor.name() ||
                      fill == TAnalysisChart::RestColor.name()))
                ++drawn;
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(drawn, bars + 1); // and the legend's marker
        QVERIFY(Prompt::Testing::Messages().isEmpty());
    }
};

QTEST_MAIN(TestAnalysisForm)
#include "tst_analysisform.moc"
