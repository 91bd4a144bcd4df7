#pragma once

#include "analysis/FigureRows.h"
#include "analysis/Grouping.h"

#include <QChartView>
#include <vector>

class QBarSet;

// The chart of the analysis window: a Pareto chart (bars of the measure in
// descending order, the largest groups and "übrige", the cumulative share as
// a line on a second axis 0 to 100 %) or, by month, the entries and minutes
// per month as two lines over time. A click on a bar reports its index.
class TAnalysisChart : public QChartView {
    Q_OBJECT
public:
    explicit TAnalysisChart(QWidget* parent = nullptr);

    void ShowPareto(const std::vector<analysis::ParetoBar>& bars, analysis::Measure measure,
                    analysis::Grouping grouping);
    void ShowMonths(const std::vector<analysis::MonthPoint>& points);
    // The tooltip of the bars: what a click does.
    void SetBarHint(const QString& hint) { barHint_ = hint; }

    // The bars shown (none for the monthly chart), for the window and tests.
    [[nodiscard]] QBarSet* Bars() const { return bars_; }
    [[nodiscard]] int BarCount() const;
    // Writes the chart as a PNG or, for a name ending in ".svg", an SVG
    // picture; false when the file could not be written.
    bool SaveImage(const QString& path, bool svg);

    // The colours of the bars, also to find them in a saved picture.
    static const QColor BarColor;
    static const QColor RestColor;

signals:
    void BarClicked(int index);

private:
    void replaceChart(QChart* chart);
    void barHovered(bool over, int index);

    QBarSet* bars_ = nullptr;
    std::vector<analysis::ParetoBar> shown_;
    QString barHint_;
};
