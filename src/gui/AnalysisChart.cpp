#include "AnalysisChart.h"

#include "GermanNumbers.h"
#include "GuiText.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QLocale>
#include <QPainter>
#include <QSvgGenerator>
#include <QToolTip>
#include <QValueAxis>

const QColor TAnalysisChart::BarColor(0x2a, 0x6f, 0xb0);
const QColor TAnalysisChart::RestColor(0x9a, 0x9a, 0x9a);

namespace {

const QColor LineColor(0xd0, 0x40, 0x20);

QChart* NewChart() {
    auto* chart = new QChart();
    chart->setLocalizeNumbers(true);
    chart->setLocale(QLocale(QLocale::German, QLocale::Germany));
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->setBackgroundRoundness(0);
    return chart;
}

QString MeasureTitle(analysis::Measure measure) {
    return measure == analysis::Measure::Count ? QStringLiteral("Anzahl")
                                               : QStringLiteral("Aufwand (Minuten)");
}

// An axis from 0 whose top is a round number at or above `largest`.
QValueAxis* CountAxis(double largest, const QString& title) {
    auto* axis = new QValueAxis();
    axis->setRange(0.0, std::max(1.0, largest));
    axis->applyNiceNumbers();
    axis->setMin(0.0);
    axis->setTitleText(title);
    return axis;
}

} // namespace

TAnalysisChart::TAnalysisChart(QWidget* parent) : QChartView(NewChart(), parent) {
    setRenderHint(QPainter::Antialiasing);
}

void TAnalysisChart::replaceChart(QChart* chart) {
    QChart* old = this->chart();
    bars_ = nullptr;
    setChart(chart); // the view gives up the old chart without deleting it
    old->deleteLater();
}

int TAnalysisChart::BarCount() const {
    return bars_ ? bars_->count() : 0;
}

void TAnalysisChart::ShowPareto(const std::vector<analysis::ParetoBar>& bars,
                                analysis::Measure measure, analysis::Grouping grouping) {
    QChart* chart = NewChart();
    auto* set = new QBarSet(MeasureTitle(measure));
    set->setColor(BarColor);
    set->setBorderColor(BarColor.darker(130));
    set->setSelectedColor(RestColor);
    auto* cumulative = new QLineSeries();
    cumulative->setName(QStringLiteral("kumuliert %"));
    cumulative->setColor(LineColor);
    cumulative->setPointsVisible(true);
    QStringList labels;
    double largest = 0.0;
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const auto value = static_cast<double>(bars[i].Value);
        set->append(value);
        cumulative->append(static_cast<double>(i), bars[i].Cumulative);
        labels.append(GuiText::FromCp1252(bars[i].Group));
        largest = std::max(largest, value);
    }
    for (std::size_t i = 0; i < bars.size(); ++i)
        if (bars[i].Rest)
            set->selectBar(static_cast<int>(i)); // "übrige" in grey
    auto* series = new QBarSeries();
    series->append(set);
    series->setBarWidth(0.7);
    chart->addSeries(series);
    chart->addSeries(cumulative);

    auto* groups = new QBarCategoryAxis();
    groups->append(labels);
    groups->setTitleText(GuiText::FromCp1252(analysis::GroupingCaption(grouping)));
    chart->addAxis(groups, Qt::AlignBottom);
    series->attachAxis(groups);
    cumulative->attachAxis(groups);
    QValueAxis* values = CountAxis(largest, MeasureTitle(measure));
    chart->addAxis(values, Qt::AlignLeft);
    series->attachAxis(values);
    auto* percent = new QValueAxis();
    percent->setRange(0.0, 100.0);
    percent->setTickCount(6);
    percent->setTitleText(QStringLiteral("kumuliert %"));
    chart->addAxis(percent, Qt::AlignRight);
    cumulative->attachAxis(percent);

    replaceChart(chart);
    bars_ = set;
    shown_ = bars;
    connect(set, &QBarSet::clicked, this, &TAnalysisChart::BarClicked);
    connect(set, &QBarSet::hovered, this, &TAnalysisChart::barHovered);
}

void TAnalysisChart::ShowMonths(const std::vector<analysis::MonthPoint>& points) {
    QChart* chart = NewChart();
    auto* counts = new QLineSeries();
    counts->setName(QStringLiteral("Anzahl"));
    counts->setColor(BarColor);
    auto* minutes = new QLineSeries();
    minutes->setName(QStringLiteral("Aufwand (Minuten)"));
    minutes->setColor(LineColor);
    double mostCount = 0.0;
    double mostMinutes = 0.0;
    for (const analysis::MonthPoint& point : points) {
        const auto at = static_cast<double>(
            QDateTime(QDate(point.Year, point.Month, 1), QTime(0, 0)).toMSecsSinceEpoch());
        counts->append(at, static_cast<double>(point.Count));
        minutes->append(at, static_cast<double>(point.Minutes));
        mostCount = std::max(mostCount, static_cast<double>(point.Count));
        mostMinutes = std::max(mostMinutes, static_cast<double>(point.Minutes));
    }
    // A single month is drawn as points.
    counts->setPointsVisible(points.size() < 40);
    minutes->setPointsVisible(points.size() < 40);
    chart->addSeries(counts);
    chart->addSeries(minutes);

    auto* time = new QDateTimeAxis();
    time->setFormat(QStringLiteral("MM.yyyy"));
    time->setTitleText(QStringLiteral("Monat"));
    time->setTickCount(static_cast<int>(std::clamp<std::size_t>(points.size(), 2, 10)));
    if (!points.empty()) {
        const QDateTime first(QDate(points.front().Year, points.front().Month, 1), QTime(0, 0));
        const QDateTime last(QDate(points.back().Year, points.back().Month, 1), QTime(0, 0));
        time->setRange(first, last > first ? last : first.addMonths(1));
    }
    chart->addAxis(time, Qt::AlignBottom);
    counts->attachAxis(time);
    minutes->attachAxis(time);
    QValueAxis* countAxis = CountAxis(mostCount, QStringLiteral("Anzahl"));
    chart->addAxis(countAxis, Qt::AlignLeft);
    counts->attachAxis(countAxis);
    QValueAxis* minuteAxis = CountAxis(mostMinutes, QStringLiteral("Aufwand (Minuten)"));
    chart->addAxis(minuteAxis, Qt::AlignRight);
    minutes->attachAxis(minuteAxis);

    replaceChart(chart);
    shown_.clear();
}

void TAnalysisChart::barHovered(bool over, int index) {
    if (!over || index < 0 || static_cast<std::size_t>(index) >= shown_.size()) {
        QToolTip::hideText();
        return;
    }
    const analysis::ParetoBar& bar = shown_[static_cast<std::size_t>(index)];
    QString text = QStringLiteral("%1: %2 (kumuliert %3)")
                       .arg(GuiText::FromCp1252(bar.Group),
                            QString::fromLatin1(analysis::FormatInteger(bar.Value)),
                            QString::fromLatin1(analysis::FormatPercent(bar.Cumulative)));
    if (!bar.Rest && !barHint_.isEmpty())
        text += QLatin1Char('\n') + barHint_;
    QToolTip::showText(QCursor::pos(), text, this);
}

bool TAnalysisChart::SaveImage(const QString& path, bool svg) {
    if (svg) {
        QSvgGenerator generator;
        generator.setFileName(path);
        generator.setSize(size());
        generator.setViewBox(rect());
        generator.setTitle(QStringLiteral("Mavrolin - Auswertung"));
        QPainter painter;
        if (!painter.begin(&generator))
            return false;
        render(&painter);
        return painter.end();
    }
    return grab().save(path, "PNG");
}
