#pragma once

#include "report/ReportContent.h"

#include <QFont>
#include <QRectF>

class QPaintDevice;

class QPainter;

// Paints a report chart as vector shapes: grey bars with black outlines (the
// bar "übrige" hatched), the value above each bar, a minute scale on the
// left and, for a Pareto chart, the cumulative line with its percent scale
// on the right. Labels stand below the bars, slanted when they are long.
namespace report {

// `dotsPerMm` converts the chart's fixed sizes into the painter's units.
void PaintChart(QPainter& painter, const Chart& chart, const QRectF& area, const QFont& font,
                double dotsPerMm);

// Height of the band below the plot that the labels take, in millimetres:
// two lines, or as much as the longest slanted label needs.
double LabelBandMm(const Chart& chart, const QFont& font, const QPaintDevice* device,
                   double dotsPerMm);

} // namespace report
