#include "report/ChartPainter.h"

#include "analysis/GermanNumbers.h"
#include "report/ChartScale.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace report {
namespace {

constexpr double kLeftAxisMm = 15.0;
constexpr double kRightAxisMm = 11.0; // the percent scale of a Pareto chart
constexpr double kSlantedLabelsMm = 27.0;
constexpr double kBarShare = 0.62; // of its slot

QString MinutesText(double minutes) {
    return QString::fromStdString(
        analysis::FormatHoursMinutes(static_cast<std::uint64_t>(std::max(0.0, minutes))));
}

QPen Line(double width, const QColor& color = Qt::black, Qt::PenStyle style = Qt::SolidLine) {
    QPen pen(color, width, style);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

} // namespace

double LabelBandMm(const Chart& chart, const QFont& font, const QPaintDevice* device, double mm) {
    if (!chart.cumulativeLine)
        return 9.0;
    const QFontMetricsF metrics(font, device);
    double widest = 0.0;
    for (const ChartBar& bar : chart.bars)
        widest = std::max(widest, metrics.horizontalAdvance(bar.label));
    // A label slanted by 45° reaches down 0.71 of its length.
    return std::clamp(widest / mm * 0.71 + 4.0, 9.0, kSlantedLabelsMm);
}

void PaintChart(QPainter& painter, const Chart& chart, const QRectF& area, const QFont& font,
                double mm) {
    painter.save();
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    const double line = metrics.height();
    const bool pareto = chart.cumulativeLine;
    const double band = LabelBandMm(chart, font, painter.device(), mm);
    const QRectF plot(area.left() + kLeftAxisMm * mm, area.top() + 1.4 * line,
                      area.width() - (kLeftAxisMm + (pareto ? kRightAxisMm : 2.0)) * mm,
                      area.height() - 1.4 * line - band * mm);

    double largest = 0.0;
    for (const ChartBar& bar : chart.bars)
        largest = std::max(largest, bar.value);
    const ChartScale scale = MinuteScale(largest);
    const auto yOf = [&](double value) {
        return plot.bottom() - value / scale.top * plot.height();
    };

    // Grid and minute scale.
    const auto ticks = static_cast<int>(std::lround(scale.top / scale.step));
    for (int i = 0; i <= ticks; ++i) {
        const double tick = i * scale.step;
        const double y = yOf(tick);
        painter.setPen(Line(0.1 * mm, QColor(170, 170, 170)));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(area.left(), y - line / 2, kLeftAxisMm * mm - 1.5 * mm, line),
                         Qt::AlignRight | Qt::AlignVCenter, MinutesText(tick));
    }
    if (pareto) {
        painter.setPen(Line(0.15 * mm, Qt::black, Qt::DashLine));
        painter.drawLine(QPointF(plot.left(), plot.bottom() - 0.8 * plot.height()),
                         QPointF(plot.right(), plot.bottom() - 0.8 * plot.height()));
        painter.setPen(Qt::black);
        for (int percent = 0; percent <= 100; percent += 20) {
            const double y = plot.bottom() - percent / 100.0 * plot.height();
            painter.drawText(QRectF(plot.right() + 1.5 * mm, y - line / 2, kRightAxisMm * mm, line),
                             Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("%1 %").arg(percent));
        }
    }
    painter.setPen(Line(0.25 * mm));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    if (pareto)
        painter.drawLine(plot.bottomRight(), plot.topRight());

    if (chart.bars.empty() || largest <= 0.0) {
        painter.drawText(plot, Qt::AlignCenter, QStringLiteral("keine Eintr\u00E4ge"));
        painter.restore();
        return;
    }

    const double slot = plot.width() / static_cast<double>(chart.bars.size());
    const double barWidth = slot * kBarShare;
    QPolygonF cumulative;
    for (std::size_t i = 0; i < chart.bars.size(); ++i) {
        const ChartBar& bar = chart.bars[i];
        const double center = plot.left() + (static_cast<double>(i) + 0.5) * slot;
        const QRectF rect(center - barWidth / 2, yOf(bar.value), barWidth,
                          plot.bottom() - yOf(bar.value));
        painter.setPen(Line(0.2 * mm));
        painter.setBrush(bar.rest ? QBrush(Qt::black, Qt::BDiagPattern)
                                  : QBrush(QColor(205, 205, 205)));
        painter.drawRect(rect);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(Qt::black);
        if (bar.value > 0.0)
            painter.drawText(QRectF(center - slot / 2, rect.top() - 1.2 * line, slot, line),
                             Qt::AlignHCenter | Qt::AlignBottom, bar.valueText);
        if (bar.cumulative >= 0.0)
            cumulative << QPointF(center, plot.bottom() - bar.cumulative / 100.0 * plot.height());

        if (pareto) {
            // Slanted, ending below the bar's middle.
            const double room = (band - 3.0) * mm / 0.71;
            const QString label = metrics.elidedText(bar.label, Qt::ElideRight, room);
            painter.save();
            painter.translate(center + line * 0.3, plot.bottom() + 1.0 * mm);
            painter.rotate(-45.0);
            painter.drawText(QRectF(-room, 0, room, line), Qt::AlignRight | Qt::AlignVCenter,
                             label);
            painter.restore();
        } else {
            const QRectF labelRect(center - slot / 2, plot.bottom() + 0.8 * mm, slot, line);
            painter.drawText(labelRect, Qt::AlignHCenter | Qt::AlignTop,
                             metrics.elidedText(bar.label, Qt::ElideRight, slot));
            painter.drawText(labelRect.translated(0, line), Qt::AlignHCenter | Qt::AlignTop,
                             metrics.elidedText(bar.note, Qt::ElideRight, slot));
        }
    }
    if (cumulative.size() > 0) {
        painter.setPen(Line(0.35 * mm));
        painter.drawPolyline(cumulative);
        painter.setBrush(Qt::white);
        painter.setPen(Line(0.25 * mm));
        for (const QPointF& point : cumulative)
            painter.drawEllipse(point, 0.8 * mm, 0.8 * mm);
    }
    painter.restore();
}

} // namespace report
