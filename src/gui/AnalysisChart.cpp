#include "gui/AnalysisChart.h"

#include "analysis/GermanNumbers.h"
#include "gui/GuiText.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QLineSeries>
#include <QLocale>
#include <QPainter>
#include <QPen>
#include <QSvgGenerator>
#include <QToolTip>
#include <QValueAxis>
#include <cmath>

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
                                               : QStringLiteral("Minuten");
}

// An axis from 0 in whole steps of 1, 2 or 5 times a power of ten, its top at
// or above `largest`, labelled without decimals.
QValueAxis* CountAxis(double largest, const QString& title) {
    constexpr double Factors[] = {2.0, 2.5, 2.0}; // 1, 2, 5, 10, 20, 50, ...
    double step = 1.0;
    for (int i = 0; largest / step > 5.0; i = (i + 1) % 3)
        step *= Factors[i];
    const int steps = std::max(1, static_cast<int>(std::ceil(largest / step)));
    auto* axis = new QValueAxis();
    axis->setRange(0.0, step * steps);
    axis->setTickCount(steps + 1);
    axis->setLabelFormat(QStringLiteral("%.0f"));
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
    cumulative->setPen(QPen(LineColor, 2));
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
    percent->setLabelFormat(QStringLiteral("%.0f"));
    percent->setGridLineVisible(false); // the grid follows the measure's axis
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
    counts->setPen(QPen(BarColor, 2));
    auto* minutes = new QLineSeries();
    minutes->setName(QStringLiteral("Aufwand (Minuten)"));
    minutes->setPen(QPen(LineColor, 2));
    // The months one step apart on the axis, every month labelled up to a
    // dozen labels, beyond that every second, third ... month.
    auto* time = new QCategoryAxis();
    time->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    time->setTitleText(QStringLiteral("Monat"));
    const std::size_t every = std::max<std::size_t>(1, (points.size() + 11) / 12);
    double mostCount = 0.0;
    double mostMinutes = 0.0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const analysis::MonthPoint& point = points[i];
        const auto at = static_cast<double>(i);
        counts->append(at, static_cast<double>(point.Count));
        minutes->append(at, static_cast<double>(point.Minutes));
        mostCount = std::max(mostCount, static_cast<double>(point.Count));
        mostMinutes = std::max(mostMinutes, static_cast<double>(point.Minutes));
        if (i % every == 0)
            time->append(
                QStringLiteral("%1.%2").arg(point.Month, 2, 10, QLatin1Char('0')).arg(point.Year),
                at);
    }
    const bool few = points.size() < 40;
    counts->setPointsVisible(few); // a single month shows as points
    minutes->setPointsVisible(few);
    chart->addSeries(counts);
    chart->addSeries(minutes);
    time->setRange(-0.5, std::max(0.5, static_cast<double>(points.size()) - 0.5));
    chart->addAxis(time, Qt::AlignBottom);
    counts->attachAxis(time);
    minutes->attachAxis(time);
    QValueAxis* countAxis = CountAxis(mostCount, QStringLiteral("Anzahl"));
    chart->addAxis(countAxis, Qt::AlignLeft);
    counts->attachAxis(countAxis);
    QValueAxis* minuteAxis = CountAxis(mostMinutes, QStringLiteral("Minuten"));
    minuteAxis->setGridLineVisible(false);
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
