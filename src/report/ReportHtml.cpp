#include "report/ReportHtml.h"

#include "analysis/GermanNumbers.h"
#include "report/ChartScale.h"

#include <QXmlStreamWriter>
#include <algorithm>
#include <cmath>

namespace report {
namespace {

// Chart geometry in millimetres, as the PDF draws it.
constexpr double kWidth = 174.0;
constexpr double kPlotTop = 5.0;
constexpr double kPlotHeight = 55.0;
constexpr double kLeftAxis = 15.0;
constexpr double kRightAxis = 11.0;
constexpr double kFontSize = 2.6; // 7.5 pt
constexpr qsizetype kSlantedLabelChars = 26;
constexpr qsizetype kDescriptionChars = 220; // some more than two printed lines hold

// No quotes, "<" or "&": a style element is not unescaped by HTML readers.
const char* const kStyle = R"(
@page { size: A4; margin: 15mm 18mm; }
body { font-family: DejaVu Sans, Verdana, sans-serif; font-size: 10pt; color: #000;
       background: #fff; max-width: 174mm; margin: 1em auto; }
h1 { font-size: 17pt; margin: 0 0 0.3em; }
h2 { font-size: 12pt; margin: 1.4em 0 0.4em; break-after: avoid; }
p { margin: 0.2em 0; }
.facts { border-bottom: 1.2pt solid #000; padding-bottom: 0.5em; margin-bottom: 0.8em; }
table { border-collapse: collapse; width: 100%; font-size: 8.5pt; margin: 0.4em 0; }
th { text-align: left; border-bottom: 1pt solid #000; padding: 0.25em 0.4em; }
td { border-bottom: 0.4pt solid #888; padding: 0.25em 0.4em; vertical-align: top; }
.r { text-align: right; white-space: nowrap; }
td.desc { color: #333; font-size: 8pt; border-bottom: 0.4pt solid #888; }
td.desc div { display: -webkit-box; -webkit-line-clamp: 2; line-clamp: 2;
              -webkit-box-orient: vertical; overflow: hidden; white-space: pre-line; }
tr.entry td { border-bottom: none; }
figure { margin: 0.6em 0; break-inside: avoid; }
figcaption { font-size: 8pt; }
svg { width: 100%; height: auto; }
)";

QString Number(double value) {
    return QString::number(value, 'f', 2);
}

QString MinutesText(double minutes) {
    return QString::fromStdString(
        analysis::FormatHoursMinutes(static_cast<std::uint64_t>(std::max(0.0, minutes))));
}

QString Cut(const QString& text, qsizetype chars) {
    return text.size() <= chars ? text : text.left(chars - 1).trimmed() + QChar(0x2026);
}

class Page {
public:
    explicit Page(QByteArray& out) : xml_(&out) {}

    void Start(const ReportContent& content) {
        xml_.setAutoFormatting(true);
        xml_.setAutoFormattingIndent(1);
        xml_.writeDTD(QStringLiteral("<!DOCTYPE html>"));
        xml_.writeStartElement(QStringLiteral("html"));
        xml_.writeDefaultNamespace(QStringLiteral("http://www.w3.org/1999/xhtml"));
        xml_.writeAttribute(QStringLiteral("lang"), QStringLiteral("de"));
        xml_.writeStartElement(QStringLiteral("head"));
        xml_.writeEmptyElement(QStringLiteral("meta"));
        xml_.writeAttribute(QStringLiteral("charset"), QStringLiteral("utf-8"));
        Element("title", content.title);
        Element("style", QString::fromUtf8(kStyle));
        xml_.writeEndElement();
        xml_.writeStartElement(QStringLiteral("body"));
    }
    void End() {
        xml_.writeEndElement(); // body
        xml_.writeEndElement(); // html
        xml_.writeEndDocument();
    }

    // An element with text only; never written as <x/>, which HTML would
    // not take as closed.
    void Element(const char* name, const QString& text, const QString& cssClass = QString()) {
        xml_.writeStartElement(QString::fromLatin1(name));
        if (!cssClass.isEmpty())
            xml_.writeAttribute(QStringLiteral("class"), cssClass);
        xml_.writeCharacters(text);
        xml_.writeEndElement();
    }
    void Open(const char* name, const QString& cssClass = QString()) {
        xml_.writeStartElement(QString::fromLatin1(name));
        if (!cssClass.isEmpty())
            xml_.writeAttribute(QStringLiteral("class"), cssClass);
    }
    void Close() { xml_.writeEndElement(); }
    void Attribute(const char* name, const QString& value) {
        xml_.writeAttribute(QString::fromLatin1(name), value);
    }

    void Table(const TextTable& table, const QStringList& below = QStringList()) {
        Open("table");
        Open("thead");
        Open("tr");
        for (int c = 0; c < table.header.size(); ++c)
            Element("th", table.header[c], Right(table, c));
        Close();
        Close();
        Open("tbody");
        for (std::size_t r = 0; r < table.rows.size(); ++r) {
            const bool described = static_cast<qsizetype>(r) < below.size();
            Open("tr", described ? QStringLiteral("entry") : QString());
            for (int c = 0; c < table.rows[r].size(); ++c)
                Element("td", table.rows[r][c], Right(table, c));
            Close();
            if (described) {
                Open("tr");
                Element("td", QString());
                Open("td", QStringLiteral("desc"));
                Attribute("colspan", QString::number(table.header.size() - 1));
                Element("div", Cut(below[static_cast<qsizetype>(r)], kDescriptionChars));
                Close();
                Close();
            }
        }
        Close();
        Close();
    }

    void Chart(const report::Chart& chart) {
        const bool pareto = chart.cumulativeLine;
        const double band = pareto ? 27.0 : 9.0;
        const double height = kPlotTop + kPlotHeight + band;
        const double left = kLeftAxis;
        const double right = kWidth - (pareto ? kRightAxis : 2.0);
        const double bottom = kPlotTop + kPlotHeight;
        double largest = 0.0;
        for (const ChartBar& bar : chart.bars)
            largest = std::max(largest, bar.value);
        const ChartScale scale = MinuteScale(largest);
        const auto yOf = [&](double value) { return bottom - value / scale.top * kPlotHeight; };

        Open("figure");
        xml_.writeStartElement(QStringLiteral("svg"));
        xml_.writeDefaultNamespace(QStringLiteral("http://www.w3.org/2000/svg"));
        Attribute("viewBox", QStringLiteral("0 0 %1 %2").arg(Number(kWidth), Number(height)));
        Attribute("role", QStringLiteral("img"));
        Attribute("aria-label", chart.caption);
        Attribute("font-family", QStringLiteral("DejaVu Sans, Verdana, sans-serif"));
        Attribute("font-size", Number(kFontSize));
        Open("defs");
        Open("pattern");
        Attribute("id", QStringLiteral("hatch%1").arg(++charts_));
        Attribute("patternUnits", QStringLiteral("userSpaceOnUse"));
        Attribute("width", QStringLiteral("1.4"));
        Attribute("height", QStringLiteral("1.4"));
        Attribute("patternTransform", QStringLiteral("rotate(45)"));
        Line(0, 0, 0, 1.4, 0.35, QStringLiteral("#000"));
        Close();
        Close();

        const auto ticks = static_cast<int>(std::lround(scale.top / scale.step));
        for (int i = 0; i <= ticks; ++i) {
            const double tick = i * scale.step;
            Line(left, yOf(tick), right, yOf(tick), 0.1, QStringLiteral("#aaa"));
            Text(left - 1.5, yOf(tick) + 0.9, MinutesText(tick), "end");
        }
        if (pareto) {
            Line(left, bottom - 0.8 * kPlotHeight, right, bottom - 0.8 * kPlotHeight, 0.15,
                 QStringLiteral("#000"), QStringLiteral("1.2 0.8"));
            for (int percent = 0; percent <= 100; percent += 20)
                Text(right + 1.5, bottom - percent / 100.0 * kPlotHeight + 0.9,
                     QStringLiteral("%1 %").arg(percent), "start");
            Line(right, bottom, right, kPlotTop, 0.25, QStringLiteral("#000"));
        }
        Line(left, bottom, right, bottom, 0.25, QStringLiteral("#000"));
        Line(left, bottom, left, kPlotTop, 0.25, QStringLiteral("#000"));

        if (chart.bars.empty() || largest <= 0.0) {
            Text((left + right) / 2, bottom - kPlotHeight / 2,
                 QStringLiteral("keine Eintr\u00E4ge"), "middle");
        } else {
            const double slot = (right - left) / static_cast<double>(chart.bars.size());
            const double barWidth = slot * 0.62;
            QStringList line;
            for (std::size_t i = 0; i < chart.bars.size(); ++i) {
                const ChartBar& bar = chart.bars[i];
                const double center = left + (static_cast<double>(i) + 0.5) * slot;
                Open("rect");
                Attribute("x", Number(center - barWidth / 2));
                Attribute("y", Number(yOf(bar.value)));
                Attribute("width", Number(barWidth));
                Attribute("height", Number(bottom - yOf(bar.value)));
                Attribute("fill", bar.rest ? QStringLiteral("url(#hatch%1)").arg(charts_)
                                           : QStringLiteral("#cdcdcd"));
                Attribute("stroke", QStringLiteral("#000"));
                Attribute("stroke-width", QStringLiteral("0.2"));
                Close();
                if (bar.value > 0.0)
                    Text(center, yOf(bar.value) - 1.0, bar.valueText, "middle");
                if (bar.cumulative >= 0.0)
                    line << Number(center) + QLatin1Char(',') +
                                Number(bottom - bar.cumulative / 100.0 * kPlotHeight);
                if (pareto) {
                    const double x = center + 0.8;
                    const double y = bottom + 2.5;
                    Text(x, y, Cut(bar.label, kSlantedLabelChars), "end",
                         QStringLiteral("rotate(-45 %1 %2)").arg(Number(x), Number(y)));
                } else {
                    Text(center, bottom + 3.4, bar.label, "middle");
                    Text(center, bottom + 6.9, bar.note, "middle");
                }
            }
            if (!line.isEmpty()) {
                Open("polyline");
                Attribute("points", line.join(QLatin1Char(' ')));
                Attribute("fill", QStringLiteral("none"));
                Attribute("stroke", QStringLiteral("#000"));
                Attribute("stroke-width", QStringLiteral("0.35"));
                Close();
                for (const QString& point : line) {
                    Open("circle");
                    Attribute("cx", point.section(QLatin1Char(','), 0, 0));
                    Attribute("cy", point.section(QLatin1Char(','), 1, 1));
                    Attribute("r", QStringLiteral("0.8"));
                    Attribute("fill", QStringLiteral("#fff"));
                    Attribute("stroke", QStringLiteral("#000"));
                    Attribute("stroke-width", QStringLiteral("0.25"));
                    Close();
                }
            }
        }
        Close(); // svg
        Element("figcaption", chart.caption);
        Close(); // figure
    }

private:
    static QString Right(const TextTable& table, int column) {
        const auto c = static_cast<std::size_t>(column);
        return c < table.rightAligned.size() && table.rightAligned[c] ? QStringLiteral("r")
                                                                      : QString();
    }
    void Line(double x1, double y1, double x2, double y2, double width, const QString& color,
              const QString& dashes = QString()) {
        Open("line");
        Attribute("x1", Number(x1));
        Attribute("y1", Number(y1));
        Attribute("x2", Number(x2));
        Attribute("y2", Number(y2));
        Attribute("stroke", color);
        Attribute("stroke-width", Number(width));
        if (!dashes.isEmpty())
            Attribute("stroke-dasharray", dashes);
        Close();
    }
    void Text(double x, double y, const QString& text, const char* anchor,
              const QString& transform = QString()) {
        Open("text");
        Attribute("x", Number(x));
        Attribute("y", Number(y));
        Attribute("text-anchor", QString::fromLatin1(anchor));
        if (!transform.isEmpty())
            Attribute("transform", transform);
        xml_.writeCharacters(text);
        Close();
    }

    QXmlStreamWriter xml_;
    int charts_ = 0;
};

} // namespace

QByteArray ReportHtml(const ReportContent& content) {
    QByteArray bytes;
    Page page(bytes);
    page.Start(content);
    page.Element("h1", content.title);
    page.Open("div", QStringLiteral("facts"));
    for (const QString& fact : content.facts)
        page.Element("p", fact);
    page.Close();

    page.Element("h2", QStringLiteral("\u00DCberblick"));
    page.Table(content.overview);
    if (!content.overviewNote.isEmpty())
        page.Element("p", content.overviewNote);

    for (const ParetoPart& part : content.pareto) {
        page.Element("h2", part.title);
        if (!part.chart.bars.empty())
            page.Chart(part.chart);
        if (!part.table.rows.empty())
            page.Table(part.table);
        if (!part.note.isEmpty())
            page.Element("p", part.note);
    }

    page.Element("h2", content.trendTitle);
    page.Chart(content.trend);

    page.Element("h2", content.expensiveTitle);
    if (content.expensive.rows.empty())
        page.Element("p", QStringLiteral("Im Zeitraum gibt es keine Eintr\u00E4ge."));
    else
        page.Table(content.expensive, content.expensiveDescriptions);

    page.Element("h2", content.firstSeenTitle);
    for (const auto& [what, values] : content.firstSeen)
        page.Element("p", what + QStringLiteral(": ") + values);
    page.Element("p", content.footer, QStringLiteral("footer"));
    page.End();
    // The writer puts a line break before the doctype.
    return bytes.trimmed() + '\n';
}

} // namespace report
