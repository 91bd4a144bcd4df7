#include "report/ListPrintLayout.h"

#include "analysis/GermanNumbers.h"
#include "core/Cp1252.h"
#include "report/QtText.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace report {
namespace {

int Aligned(TColumnKind kind, Qt::Alignment vertical) {
    const Qt::Alignment align = (kind == ckTime ? Qt::AlignRight : Qt::AlignLeft) | vertical;
    return static_cast<int>(align.toInt());
}

// Share of the line that each column takes, by kind (none, language,
// category, project, date, minutes).
constexpr double kColumnWeight[] = {0, 18, 30, 26, 14, 10};
// How many rows ahead the counting pass asks for an entry's memory.
constexpr std::size_t kAhead = 8;

// Sizes in points become device pixels of the paginated device, so that a
// painter scaled for a preview scales the text with the page.
QFont Font(double points, double resolution, bool bold = false) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * resolution / 72.0))));
    font.setBold(bold);
    // Without kerning a line is as wide as its characters' widths together,
    // which is what the line breaking counts.
    font.setKerning(false);
    return font;
}

// The width of each Windows-1252 character; a control character is painted
// as a blank.
CharWidths WidthsOf(const QFontMetricsF& metrics) {
    CharWidths widths{};
    const double blank = metrics.horizontalAdvance(QChar(' '));
    for (int byte = 0; byte < 256; ++byte) {
        const char16_t unicode = cp1252::ToUnicode(static_cast<unsigned char>(byte));
        const bool control = unicode < 0x20 || (unicode >= 0x7F && unicode < 0xA0);
        widths[static_cast<std::size_t>(byte)] =
            control ? blank : metrics.horizontalAdvance(QChar(unicode));
    }
    return widths;
}

} // namespace

ListPrintLayout::ListPrintLayout(std::span<const TDataRecord* const> rows,
                                 std::vector<TColumnKind> columns, QStringList captions,
                                 ListPrintHead head)
    : rows_(rows), head_(std::move(head)) {
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i] != ckNone && columns[i] <= ckTime) {
            columns_.push_back(columns[i]);
            const auto at = static_cast<qsizetype>(i);
            captions_ << (at < captions.size() ? captions[at] : QString());
        }
}

void ListPrintLayout::Metrics(const QPagedPaintDevice& device) {
    resolution_ = device.logicalDpiY();
    size_ = QSizeF(device.width(), device.height());
    const double mm = resolution_ / 25.4;
    textFont_ = Font(9, resolution_);
    descriptionFont_ = Font(8.5, resolution_);
    headFont_ = Font(8, resolution_);
    headBoldFont_ = Font(10, resolution_, true);

    const QFontMetricsF description(descriptionFont_, &device);
    const QFontMetricsF text(textFont_, &device);
    descriptionWidths_ = WidthsOf(description);
    textWidths_ = WidthsOf(text);
    textAscent_ = text.ascent();
    textHeight_ = text.height();
    descriptionAscent_ =
        description.ascent() + (description.lineSpacing() - description.height()) / 2;
    const double blank = description.horizontalAdvance(QChar(' '));
    indent_ = 6 * mm;
    // A little slack for rounding in the painted glyphs.
    wrapWidth_ = std::max(blank * 4, (size_.width() - indent_) * 0.99);
    descriptionLine_ = description.lineSpacing();
    columnLine_ = columns_.empty() ? 0.0 : QFontMetricsF(textFont_, &device).height() * 1.3;
    rowGap_ = 1.6 * mm;

    double weights = 0;
    for (const TColumnKind kind : columns_)
        weights += kColumnWeight[kind];
    columnLeft_.clear();
    columnWidth_.clear();
    double x = 0;
    for (const TColumnKind kind : columns_) {
        columnLeft_.push_back(x);
        columnWidth_.push_back(size_.width() * kColumnWeight[kind] / weights);
        x += columnWidth_.back();
    }

    headLine_ = QFontMetricsF(headFont_, &device).height() * 1.3;
    const double title = QFontMetricsF(headBoldFont_, &device).height() * 1.3;
    const int lines = head_.search.isEmpty() ? 1 : 2; // filter, search
    bodyTop_ = title + lines * headLine_ + (columns_.empty() ? 0.0 : columnLine_) + 2.5 * mm;
    bodyBottom_ = size_.height() - headLine_ - 3 * mm;
}

std::size_t ListPrintLayout::DescriptionLines(const TDataRecord& record) const {
    const std::size_t lines = CountLines(record.Description(), descriptionWidths_, wrapWidth_);
    // Without columns an entry without description still takes a line.
    return lines == 0 && columns_.empty() ? 1 : lines;
}

ListPrintLayout::PageStart ListPrintLayout::LayPage(PageStart start, QPainter* painter) const {
    const double bodyHeight = bodyBottom_ - bodyTop_;
    double y = bodyTop_;
    PageStart at = start;
    while (at.row < rows_.size()) {
        if (!painter && at.row + kAhead < rows_.size()) {
            __builtin_prefetch(rows_[at.row + kAhead]);
            __builtin_prefetch(rows_[at.row + 1]->Description().data());
        }
        const TDataRecord& record = *rows_[at.row];
        const std::size_t lines = DescriptionLines(record);
        // Piece 0 of an entry is its column line, pieces 1 .. lines its description.
        const auto height = [&](std::size_t from, std::size_t to) { // pieces [from, to)
            const std::size_t firstLine = std::max<std::size_t>(from, 1);
            return (from == 0 && to > 0 ? columnLine_ : 0.0) +
                   (to > firstLine ? static_cast<double>(to - firstLine) * descriptionLine_ : 0.0);
        };
        const std::size_t parts = lines + 1;
        const double rest = height(at.part, parts) + rowGap_;
        if (y + rest <= bodyBottom_) {
            if (painter)
                PaintRow(*painter, record, at.part, parts - at.part, y);
            y += rest;
            at = PageStart{at.row + 1, 0};
            continue;
        }
        // An entry that fits on a page of its own is not split.
        const bool atTop = y == bodyTop_;
        if (at.part == 0 && height(0, parts) + rowGap_ <= bodyHeight && !atTop)
            break;
        std::size_t fit = 0;
        double used = 0;
        while (at.part + fit < parts) {
            const double next = height(at.part + fit, at.part + fit + 1);
            if (y + used + next > bodyBottom_)
                break;
            used += next;
            ++fit;
        }
        // Not the column line alone at the foot of a page; at least one part
        // on each page, however small the page.
        if (at.part == 0 && fit < 2 && !atTop)
            break;
        fit = std::max<std::size_t>(fit, 1);
        if (painter)
            PaintRow(*painter, record, at.part, fit, y);
        at.part += static_cast<std::uint32_t>(fit);
        if (at.part >= parts) // all of it, only the gap below did not fit
            at = PageStart{at.row + 1, 0};
        break;
    }
    return at;
}

bool ListPrintLayout::Paginate(const QPagedPaintDevice& device, const Progress& progress) {
    Metrics(device);
    pages_.clear();
    PageStart at{0, 0};
    do {
        pages_.push_back(at);
        at = LayPage(at, nullptr);
        if (progress && pages_.size() % 256 == 0 && !progress(at.row, rows_.size())) {
            pages_.clear();
            return false;
        }
    } while (at.row < rows_.size());
    return true;
}

void ListPrintLayout::PaintRow(QPainter& painter, const TDataRecord& record, std::size_t fromPart,
                               std::size_t parts, double y) const {
    // Texts are painted at their baseline, placed by the width tables: the
    // quick way through the painter, which a page of short texts needs.
    std::size_t firstLine = fromPart;
    if (fromPart == 0) {
        if (!columns_.empty()) {
            painter.setFont(textFont_);
            const double pad = resolution_ / 25.4;
            const double baseline = y + (columnLine_ - textHeight_) / 2 + textAscent_;
            for (std::size_t c = 0; c < columns_.size(); ++c) {
                const std::string field = record.FieldText(columns_[c]);
                const double room = columnWidth_[c] - pad;
                double width = 0;
                for (const char byte : field)
                    width += textWidths_[static_cast<unsigned char>(byte)];
                QString text = FromCp1252(field);
                if (width > room) {
                    text = QFontMetricsF(textFont_, painter.device())
                               .elidedText(text, Qt::ElideRight, room);
                    width = room;
                }
                const double x =
                    columns_[c] == ckTime ? columnLeft_[c] + room - width : columnLeft_[c];
                painter.drawText(QPointF(x, baseline), text);
            }
            y += columnLine_;
        }
        firstLine = 1;
        --parts;
    }
    if (parts == 0)
        return;
    painter.setFont(descriptionFont_);
    const std::string_view text = record.Description();
    std::size_t painted = 0;
    WrapText(text, descriptionWidths_, wrapWidth_, firstLine - 1, [&](TextLine line) {
        if (painted++ >= parts)
            return;
        painter.drawText(QPointF(indent_, y + descriptionAscent_),
                         FromCp1252(text.substr(line.begin, line.end - line.begin)));
        y += descriptionLine_;
    });
}

void ListPrintLayout::PaintHead(QPainter& painter, int index) const {
    const double mm = resolution_ / 25.4;
    const QFontMetricsF head(headFont_, painter.device());
    const double title = QFontMetricsF(headBoldFont_, painter.device()).height() * 1.3;
    painter.setPen(Qt::black);
    painter.setFont(headBoldFont_);
    const QString count =
        QString::fromStdString(analysis::FormatInteger(rows_.size())) +
        (rows_.size() == 1 ? QStringLiteral(" Eintrag") : QStringLiteral(" Eintr\u00E4ge"));
    painter.drawText(QRectF(0, 0, size_.width() * 0.7, title), Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetricsF(headBoldFont_, painter.device())
                         .elidedText(head_.database, Qt::ElideMiddle, size_.width() * 0.7));
    painter.setFont(headFont_);
    painter.drawText(QRectF(0, 0, size_.width(), title), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("gedruckt am ") +
                         head_.printed.toString(QStringLiteral("dd.MM.yyyy")));
    double y = title;
    const double countWidth = head.horizontalAdvance(count) + 3 * mm;
    painter.drawText(QRectF(0, y, size_.width() - countWidth, headLine_),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     head.elidedText(QStringLiteral("Filter: ") + head_.filter, Qt::ElideRight,
                                     size_.width() - countWidth));
    painter.drawText(QRectF(0, y, size_.width(), headLine_), Qt::AlignRight | Qt::AlignVCenter,
                     count);
    y += headLine_;
    if (!head_.search.isEmpty()) {
        painter.drawText(QRectF(0, y, size_.width(), headLine_), Qt::AlignLeft | Qt::AlignVCenter,
                         head.elidedText(head_.search, Qt::ElideRight, size_.width()));
        y += headLine_;
    }
    if (!columns_.empty()) {
        QFont bold = textFont_;
        bold.setBold(true);
        painter.setFont(bold);
        const QFontMetricsF metrics(bold, painter.device());
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            const QRectF cell(columnLeft_[c], y, columnWidth_[c] - mm, columnLine_);
            painter.drawText(cell, Aligned(columns_[c], Qt::AlignBottom),
                             metrics.elidedText(captions_[static_cast<qsizetype>(c)],
                                                Qt::ElideRight, cell.width()));
        }
        y += columnLine_;
    }
    painter.setPen(QPen(Qt::black, 0.3 * mm));
    painter.drawLine(QPointF(0, y + 0.8 * mm), QPointF(size_.width(), y + 0.8 * mm));

    painter.setPen(QPen(Qt::black, 0.15 * mm));
    const double footer = size_.height() - headLine_;
    painter.drawLine(QPointF(0, footer), QPointF(size_.width(), footer));
    painter.setFont(headFont_);
    painter.drawText(QRectF(0, footer, size_.width(), headLine_), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Seite %1 von %2").arg(index + 1).arg(PageCount()));
    if (rows_.empty())
        painter.drawText(QRectF(0, bodyTop_, size_.width(), headLine_),
                         Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Die Liste ist leer."));
}

void ListPrintLayout::PaintPage(QPainter& painter, int index) const {
    if (index < 0 || index >= PageCount())
        return;
    painter.save();
    PaintHead(painter, index);
    painter.setPen(Qt::black);
    LayPage(pages_[static_cast<std::size_t>(index)], &painter);
    painter.restore();
}

bool ListPrintLayout::Print(QPagedPaintDevice& device, int first, int last,
                            const Progress& progress) {
    if (!Paginate(device, progress))
        return false;
    if (first <= 0 && last <= 0) {
        first = 1;
        last = PageCount();
    }
    first = std::clamp(first, 1, PageCount());
    last = std::clamp(last, first, PageCount());
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    for (int page = first; page <= last; ++page) {
        if (page > first && !device.newPage())
            return false;
        PaintPage(painter, page - 1);
        if (progress && !progress(static_cast<std::size_t>(page - first + 1),
                                  static_cast<std::size_t>(last - first + 1)))
            return false;
    }
    return painter.end();
}

} // namespace report
