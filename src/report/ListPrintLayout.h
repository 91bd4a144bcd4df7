#pragma once

#include "core/DataRecord.h"
#include "report/TextWrap.h"

#include <QDate>
#include <QFont>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

class QPagedPaintDevice;
class QPainter;

// The printed entry list: the rows in list order, each with the shown
// columns' texts on one line and the description wrapped below it, under a
// page head (database, filter and search in words, date, column captions)
// and above "Seite n von m".
//
// Paging is lazy: Paginate walks the rows once, counting each description's
// lines by a table of character widths, and keeps only where each page
// begins (8 bytes a page); a page's texts are made when it is painted. So
// the page count is exact before the first page is painted, and a million
// rows cost one pass and no stored layout.
//
// The rows are the caller's (the database's entries): they must stay
// unchanged while the layout is used.
namespace report {

struct ListPrintHead {
    QString database; // the database's name
    QString filter;   // FilterInWords
    QString search;   // SearchInWords; empty without search
    QDate printed;
};

class ListPrintLayout {
public:
    // The list's column slots left to right and each one's caption (as the
    // list shows it); ckNone slots are left out.
    ListPrintLayout(std::span<const TDataRecord* const> rows, std::vector<TColumnKind> columns,
                    QStringList captions, ListPrintHead head);

    // Reports progress now and then; returning false cancels.
    using Progress = std::function<bool(std::size_t done, std::size_t total)>;

    // Lays out the pages for the page size and resolution of `device` (a
    // QPrinter, a QPdfWriter): the painter's origin is the top left corner of
    // the page's paint area, as it is for either. False when cancelled; then
    // there are no pages until the next Paginate.
    bool Paginate(const QPagedPaintDevice& device, const Progress& progress = {});
    [[nodiscard]] int PageCount() const { return static_cast<int>(pages_.size()); }
    // The paint area of a page in the device's units.
    [[nodiscard]] QSizeF PageSize() const { return size_; }

    // Paints page `index` (0-based) with `painter`, which paints in the
    // paginated device's units: on that device, or scaled for a preview.
    void PaintPage(QPainter& painter, int index) const;
    // Prints pages `first` to `last` (1-based, inclusive; 0 and 0 for all)
    // on `device`, paginating first. False when cancelled or when the
    // painter cannot start on the device.
    bool Print(QPagedPaintDevice& device, int first = 0, int last = 0,
               const Progress& progress = {});

private:
    // Where a page begins: a row, and the row's part (0 its column line,
    // k > 0 its k-th description line).
    struct PageStart {
        std::uint32_t row;
        std::uint32_t part;
    };
    // Fills one page from `start`, painting it when `painter` is given;
    // returns where the next page begins.
    PageStart LayPage(PageStart start, QPainter* painter) const;
    void PaintRow(QPainter& painter, const TDataRecord& record, std::size_t fromPart,
                  std::size_t parts, double y) const;
    void PaintHead(QPainter& painter, int index) const;
    [[nodiscard]] std::size_t DescriptionLines(const TDataRecord& record) const;
    void Metrics(const QPagedPaintDevice& device);

    std::span<const TDataRecord* const> rows_;
    std::vector<TColumnKind> columns_;
    QStringList captions_;
    ListPrintHead head_;

    // Measures of the paginated device, in its units.
    QSizeF size_;
    double resolution_ = 72.0; // dots per inch
    QFont textFont_, descriptionFont_, headFont_, headBoldFont_;
    CharWidths descriptionWidths_{}, textWidths_{};
    double textAscent_ = 0, textHeight_ = 0, descriptionAscent_ = 0;
    std::vector<double> columnLeft_, columnWidth_;
    double columnLine_ = 0, descriptionLine_ = 0, rowGap_ = 0, indent_ = 0;
    double bodyTop_ = 0, bodyBottom_ = 0, headLine_ = 0, wrapWidth_ = 0;
    std::vector<PageStart> pages_;
};

} // namespace report
