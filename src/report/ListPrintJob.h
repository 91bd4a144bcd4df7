#pragma once

#include "report/ListPrintLayout.h"

#include <QPageLayout>
#include <QString>
#include <cstdint>
#include <string>

class QPainter;
class QPagedPaintDevice;

// Printing a laid-out list: a range of its pages painted on a device with
// progress, and the pages written to a PDF file that takes the place of the
// old file only once it is complete, so that a cancelled or failed print
// leaves the file as it was.
namespace report {

// Pages `first` to `last` (1-based, inclusive); 0 and 0 for all of them.
struct PageRange {
    int first = 0;
    int last = 0;
};

// The range within the layout's pages: a `last` beyond the last page ends at
// it; nothing (first > last) when the range begins after the last page.
PageRange PagesToPrint(const ListPrintLayout& layout, PageRange range);

// The two steps of a print, each reporting (done, total) now and then;
// returning false cancels.
struct PrintProgress {
    ListPrintLayout::Progress paging;   // rows laid out of all rows
    ListPrintLayout::Progress painting; // pages painted of the pages to print
};

// Paints the pages of `range` with `painter`, which is active on the paginated
// device, a new page before each but the first. False when cancelled or when
// the device refuses a new page.
bool PaintPages(const ListPrintLayout& layout, QPagedPaintDevice& device, QPainter& painter,
                PageRange range, const ListPrintLayout::Progress& progress);

// What a PDF file of the list is made with: the page layout and resolution of
// the printer that the user set up, the document's title and the pages.
struct PdfFileSetup {
    QPageLayout pageLayout;
    int resolution = 1200; // dots per inch
    QString title;
    PageRange range;
};

enum class PrintOutcome : std::uint8_t {
    Printed,
    Cancelled,
    NoPages, // the range begins after the last page: nothing printed
    Failed,  // the printer took no job
};

// Lays out the list's pages for `setup` and writes them as a PDF to `path`
// (native path bytes) through the file layer's atomic replacement. Cancelled
// or without pages, the file is as it was. Throws std::runtime_error with the
// file layer's German message.
PrintOutcome WriteListPdf(ListPrintLayout& layout, const std::string& path,
                          const PdfFileSetup& setup, const PrintProgress& progress = {});

} // namespace report
