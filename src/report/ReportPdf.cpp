#include "report/ReportPdf.h"

#include "report/ChartPainter.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>
#include <algorithm>
#include <numeric>

namespace report {
namespace {

constexpr int kResolution = 600; // dots per inch of the page's coordinates
constexpr double kDotsPerMm = kResolution / 25.4;
constexpr double kMarginMm = 18.0;
constexpr double kTopMm = 15.0;
constexpr double kBottomMm = 15.0;
constexpr double kFooterMm = 8.0; // the footer's band at the bottom of the body
constexpr double kHeadMm = 9.0;   // the running head of every page but the first
constexpr double kChartMm = 50.0; // a chart's plot with its value labels
const QColor kRule(120, 120, 120);

QFont Font(double points, bool bold = false) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// The pages as they fill: the same code runs twice, once only measuring (no
// painter) to count the pages, then painting with the count known, so that
// every footer can say "Seite n von m".
class Flow {
public:
    Flow(QPdfWriter& writer, QPainter* painter, const ReportContent& content, int pages)
        : writer_(writer), painter_(painter), content_(content), pages_(pages) {
        const QSizeF size = writer.pageLayout().fullRectPoints().size() / 72.0 * 25.4;
        width_ = (size.width() - 2 * kMarginMm) * kDotsPerMm;
        bottom_ = (size.height() - kBottomMm - kFooterMm) * kDotsPerMm;
        pageBottom_ = (size.height() - kBottomMm) * kDotsPerMm;
        y = Top();
    }

    double y;
    [[nodiscard]] int Page() const { return page_; }
    [[nodiscard]] double Left() const { return kMarginMm * kDotsPerMm; }
    [[nodiscard]] double Width() const { return width_; }
    [[nodiscard]] double Bottom() const { return bottom_; }
    [[nodiscard]] QPainter* Painter() const { return painter_; }
    [[nodiscard]] QFontMetricsF Metrics(const QFont& font) const {
        return QFontMetricsF(font, &writer_);
    }
    [[nodiscard]] const QPaintDevice* Device() const { return &writer_; }

    // Breaks the page unless `height` fits below y (or the page is still empty).
    void Room(double height) {
        if (y + height > bottom_ && y > Top())
            Break();
    }
    void Break() {
        Footer();
        if (painter_)
            writer_.newPage();
        ++page_;
        y = Top();
        if (painter_) {
            painter_->setFont(Font(7.5));
            painter_->setPen(Qt::black);
            const QRectF head(Left(), kTopMm * kDotsPerMm, width_, 5 * kDotsPerMm);
            painter_->drawText(head, Qt::AlignLeft | Qt::AlignVCenter, content_.footer);
            Rule(head.bottom(), 0.15);
        }
    }
    void Finish() { Footer(); }

    void Text(const QRectF& rect, int flags, const QString& text, const QFont& font,
              const QColor& color = Qt::black) const {
        if (!painter_)
            return;
        painter_->setFont(font);
        painter_->setPen(color);
        painter_->drawText(rect, flags, text);
    }
    void Rule(double atY, double widthMm, const QColor& color = Qt::black) const {
        if (!painter_)
            return;
        QPen pen(color, widthMm * kDotsPerMm);
        pen.setCapStyle(Qt::FlatCap);
        painter_->setPen(pen);
        painter_->drawLine(QPointF(Left(), atY), QPointF(Left() + width_, atY));
    }

private:
    [[nodiscard]] double Top() const { return (kTopMm + (page_ > 1 ? kHeadMm : 0.0)) * kDotsPerMm; }
    void Footer() const {
        if (!painter_)
            return;
        const QFont font = Font(7.5);
        const double lineY = pageBottom_ - 5 * kDotsPerMm;
        Rule(lineY, 0.15);
        const QRectF band(Left(), lineY, width_, 5 * kDotsPerMm);
        Text(band, Qt::AlignLeft | Qt::AlignVCenter, content_.footer, font);
        Text(band, Qt::AlignRight | Qt::AlignVCenter,
             QStringLiteral("Seite %1 von %2").arg(page_).arg(pages_), font);
    }

    QPdfWriter& writer_;
    QPainter* painter_;
    const ReportContent& content_;
    int pages_;
    int page_ = 1;
    double width_ = 0;
    double bottom_ = 0;
    double pageBottom_ = 0;
};

constexpr double Mm(double millimetres) {
    return millimetres * kDotsPerMm;
}

// A section's heading, kept on one page with the next `keepWith` (units).
void Heading(Flow& flow, const QString& text, double keepWith) {
    const QFont font = Font(12, true);
    const double height = flow.Metrics(font).height() * 1.6;
    flow.Room(height + Mm(3) + keepWith);
    flow.y += Mm(3);
    flow.Text(QRectF(flow.Left(), flow.y, flow.Width(), height), Qt::AlignLeft | Qt::AlignTop, text,
              font);
    flow.y += height;
}

// Text wrapped to the body's width.
void Paragraph(Flow& flow, const QString& text, const QFont& font) {
    if (text.isEmpty())
        return;
    const QRectF bounds = flow.Metrics(font).boundingRect(QRectF(0, 0, flow.Width(), 1e9),
                                                          Qt::AlignLeft | Qt::TextWordWrap, text);
    flow.Room(bounds.height());
    flow.Text(QRectF(flow.Left(), flow.y, flow.Width(), bounds.height()),
              Qt::AlignLeft | Qt::TextWordWrap, text, font);
    flow.y += bounds.height() + Mm(1);
}

// The first two lines of `text` wrapped to `width`, the second ending in
// "…" when more follows.
QStringList TwoLines(const QString& text, const QFont& font, double width, QPaintDevice* device) {
    QTextLayout layout(text, font, device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    QStringList lines;
    int end = 0;
    while (lines.size() < 2) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
        end = line.textStart() + line.textLength();
    }
    layout.endLayout();
    if (end < text.size() && !lines.isEmpty()) {
        const QFontMetricsF metrics(font, device);
        lines.back() = metrics.elidedText(lines.back() + QChar(0x2026) + QStringLiteral("  "),
                                          Qt::ElideRight, width);
        if (!lines.back().endsWith(QChar(0x2026)))
            lines.back() = lines.back().trimmed() + QChar(0x2026);
    }
    return lines;
}

constexpr double kCellPadMm = 1.2; // on either side of a cell's text

// The widest word of a text: a header may wrap between words.
double WidestWord(const QFontMetricsF& metrics, const QString& text) {
    double widest = 0;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        widest = std::max(widest, metrics.horizontalAdvance(word));
    return widest;
}

// Widths of the columns: each as wide as its widest cell and its header
// (or, when that is too wide, its header's widest word).
std::vector<double> ColumnWidths(const Flow& flow, const TextTable& table, const QFont& font,
                                 const QFont& headerFont) {
    const double pad = Mm(2 * kCellPadMm + 0.6);
    const QFontMetricsF header = flow.Metrics(headerFont);
    const QFontMetricsF cells = flow.Metrics(font);
    const std::size_t columns = static_cast<std::size_t>(table.header.size());
    std::vector<double> widths(columns, 0.0);
    std::vector<double> wrapped(columns, 0.0);
    for (std::size_t c = 0; c < columns; ++c) {
        double widest = 0;
        for (const QStringList& row : table.rows)
            widest = std::max(widest, cells.horizontalAdvance(row[static_cast<int>(c)]));
        const QString& caption = table.header[static_cast<int>(c)];
        widths[c] = std::max(widest, header.horizontalAdvance(caption)) + pad;
        wrapped[c] = std::max(widest, WidestWord(header, caption)) + pad;
    }
    if (std::accumulate(widths.begin(), widths.end(), 0.0) > flow.Width())
        widths = wrapped;
    const double total = std::accumulate(widths.begin(), widths.end(), 0.0);
    std::vector<std::size_t> flexible;
    for (std::size_t c = 0; c < widths.size(); ++c)
        if (!table.rightAligned[c])
            flexible.push_back(c);
    if (flexible.empty())
        flexible.push_back(0);
    // Left-aligned columns take what is left, or give up what is missing,
    // in proportion to their widths.
    double flexibleTotal = 0;
    for (const std::size_t c : flexible)
        flexibleTotal += widths[c];
    const double scale = std::max(0.0, flow.Width() - (total - flexibleTotal)) / flexibleTotal;
    for (const std::size_t c : flexible)
        widths[c] *= scale;
    return widths;
}

double RowHeightOf(const QFontMetricsF& metrics) {
    return metrics.height() * 1.45;
}

int Alignment(const TextTable& table, std::size_t column, bool wrap) {
    const Qt::Alignment align = (table.rightAligned[column] ? Qt::AlignRight : Qt::AlignLeft) |
                                (wrap ? Qt::AlignBottom : Qt::AlignVCenter);
    return static_cast<int>(align.toInt()) | (wrap ? Qt::TextWordWrap : 0);
}

// The height of the header: its texts wrapped between words in their columns.
double HeaderHeight(const Flow& flow, const TextTable& table, const std::vector<double>& widths,
                    const QFont& font, double rowHeight) {
    const QFontMetricsF metrics = flow.Metrics(font);
    double height = rowHeight;
    for (std::size_t c = 0; c < widths.size(); ++c) {
        const QRectF box =
            metrics.boundingRect(QRectF(0, 0, widths[c] - Mm(2 * kCellPadMm), 1e9),
                                 Alignment(table, c, true), table.header[static_cast<int>(c)]);
        height = std::max(height, box.height() + rowHeight - metrics.height());
    }
    return height;
}

void TableRow(Flow& flow, const TextTable& table, const QStringList& cells,
              const std::vector<double>& widths, const QFont& font, double height, bool header) {
    const QFontMetricsF metrics = flow.Metrics(font);
    const double pad = Mm(kCellPadMm);
    // A header's lines stand on the same foot as a row's single line.
    const double foot = header ? (RowHeightOf(metrics) - metrics.height()) / 2 : 0.0;
    double x = flow.Left();
    for (std::size_t c = 0; c < widths.size(); ++c) {
        const QRectF cell(x + pad, flow.y, widths[c] - 2 * pad, height - foot);
        const QString& text = cells[static_cast<int>(c)];
        flow.Text(cell, Alignment(table, c, header),
                  header ? text : metrics.elidedText(text, Qt::ElideRight, cell.width()), font);
        x += widths[c];
    }
    flow.y += height;
}

struct TableFonts {
    QFont cells = Font(8);
    QFont header = Font(8, true);
    QFont below = Font(7.5);
};

// Lines below a row of the table (the expensive entries' descriptions).
using RowNotes = std::vector<QStringList>;

double RowHeight(const Flow& flow, const TableFonts& fonts) {
    return RowHeightOf(flow.Metrics(fonts.cells));
}

double NotesHeight(const Flow& flow, const TableFonts& fonts, const RowNotes& notes,
                   std::size_t row) {
    if (row >= notes.size() || notes[row].isEmpty())
        return 0.0;
    return static_cast<double>(notes[row].size()) * flow.Metrics(fonts.below).height() * 1.1 +
           Mm(1);
}

// The height of the whole table, to keep a short one with what it belongs to.
double TableHeight(const Flow& flow, const TextTable& table, const RowNotes& notes = RowNotes()) {
    const TableFonts fonts;
    const std::vector<double> widths = ColumnWidths(flow, table, fonts.cells, fonts.header);
    const double row = RowHeight(flow, fonts);
    double height = HeaderHeight(flow, table, widths, fonts.header, row) + Mm(1.5);
    for (std::size_t r = 0; r < table.rows.size(); ++r)
        height += row + NotesHeight(flow, fonts, notes, r);
    return height;
}

// A table whose header comes again at the top of each page it runs onto.
void Table(Flow& flow, const TextTable& table, const RowNotes& notes = RowNotes()) {
    const TableFonts fonts;
    const double rowHeight = RowHeight(flow, fonts);
    const double noteLine = flow.Metrics(fonts.below).height() * 1.1;
    const std::vector<double> widths = ColumnWidths(flow, table, fonts.cells, fonts.header);
    const double headerHeight = HeaderHeight(flow, table, widths, fonts.header, rowHeight);
    const auto header = [&] {
        TableRow(flow, table, table.header, widths, fonts.header, headerHeight, true);
        flow.Rule(flow.y, 0.3);
    };
    flow.Room(headerHeight + rowHeight + NotesHeight(flow, fonts, notes, 0));
    header();
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        const double notesHeight = NotesHeight(flow, fonts, notes, r);
        if (flow.y + rowHeight + notesHeight > flow.Bottom()) {
            flow.Break();
            header();
        }
        TableRow(flow, table, table.rows[r], widths, fonts.cells, rowHeight, false);
        if (notesHeight > 0) {
            const double left = flow.Left() + widths[0] + Mm(kCellPadMm);
            for (const QString& line : notes[r]) {
                flow.Text(QRectF(left, flow.y, flow.Left() + flow.Width() - left, noteLine),
                          Qt::AlignLeft | Qt::AlignVCenter, line, fonts.below, QColor(40, 40, 40));
                flow.y += noteLine;
            }
            flow.y += Mm(1);
        }
        flow.Rule(flow.y, 0.1, kRule);
    }
    flow.y += Mm(1.5);
}

QFont ChartFont() {
    return Font(7.5);
}

double ChartHeight(const Flow& flow, const Chart& chart) {
    return Mm(kChartMm + 1 + LabelBandMm(chart, ChartFont(), flow.Device(), kDotsPerMm));
}

void ChartBlock(Flow& flow, const Chart& chart) {
    const QFont small = ChartFont();
    const double height = ChartHeight(flow, chart) - Mm(1);
    flow.Room(height + flow.Metrics(small).height() * 2);
    if (QPainter* painter = flow.Painter())
        PaintChart(*painter, chart, QRectF(flow.Left(), flow.y, flow.Width(), height), small,
                   kDotsPerMm);
    flow.y += height + Mm(1);
    Paragraph(flow, chart.caption, Font(7.5));
}

void Render(Flow& flow, const ReportContent& content, QPaintDevice* device) {
    const QFont body = Font(9);
    const QFont title = Font(17, true);
    const double titleHeight = flow.Metrics(title).height() * 1.4;
    flow.Text(QRectF(flow.Left(), flow.y, flow.Width(), titleHeight),
              Qt::AlignLeft | Qt::AlignVCenter, content.title, title);
    flow.y += titleHeight;
    for (const QString& fact : content.facts)
        Paragraph(flow, fact, body);
    flow.y += Mm(1);
    flow.Rule(flow.y, 0.4);
    flow.y += Mm(2);

    const TableFonts fonts;
    const double row = RowHeight(flow, fonts);
    Heading(flow, QStringLiteral("\u00DCberblick"), TableHeight(flow, content.overview));
    Table(flow, content.overview);
    Paragraph(flow, content.overviewNote, body);

    Heading(flow, content.firstSeenTitle, 3 * row);
    for (const auto& [what, values] : content.firstSeen)
        Paragraph(flow, what + QStringLiteral(": ") + values, body);

    const double page = flow.Bottom() - Mm(kTopMm + kHeadMm);
    for (const ParetoPart& part : content.pareto) {
        // A part that fits on a page stays together; a longer one keeps
        // at least its chart with the heading.
        const double chart =
            part.chart.bars.empty() ? 0.0 : ChartHeight(flow, part.chart) + 2 * row;
        const double whole = chart + TableHeight(flow, part.table) + 2 * row;
        Heading(flow, part.title, whole < page * 0.9 ? whole : chart + 3 * row);
        if (!part.chart.bars.empty())
            ChartBlock(flow, part.chart);
        if (!part.table.rows.empty())
            Table(flow, part.table);
        Paragraph(flow, part.note, body);
    }

    Heading(flow, content.trendTitle, ChartHeight(flow, content.trend) + 2 * row);
    ChartBlock(flow, content.trend);

    if (content.expensive.rows.empty()) {
        Heading(flow, content.expensiveTitle, row);
        Paragraph(flow, QStringLiteral("Im Zeitraum gibt es keine Eintr\u00E4ge."), body);
    } else {
        // The descriptions stand below their entry from the second column
        // on, cut to two lines.
        const std::vector<double> widths =
            ColumnWidths(flow, content.expensive, fonts.cells, fonts.header);
        const double room = flow.Width() - widths[0] - Mm(kCellPadMm);
        RowNotes notes;
        for (const QString& description : content.expensiveDescriptions)
            notes.push_back(TwoLines(description, fonts.below, room, device));
        Heading(flow, content.expensiveTitle, TableHeight(flow, content.expensive, notes));
        Table(flow, content.expensive, notes);
    }
    flow.Finish();
}

} // namespace

QByteArray ReportPdf(const ReportContent& content, int* pageCount) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(kResolution);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setTitle(content.title);
    writer.setCreator(QStringLiteral("Mavrolin"));

    Flow measure(writer, nullptr, content, 0);
    Render(measure, content, &writer);
    const int pages = measure.Page();

    QPainter painter(&writer);
    Flow paint(writer, &painter, content, pages);
    Render(paint, content, &writer);
    painter.end();
    if (pageCount)
        *pageCount = pages;
    return bytes;
}

} // namespace report
