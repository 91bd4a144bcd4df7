#include "report/ListPrintJob.h"

#include "fileio/OutputFile.h"
#include "fileio/ReplaceFile.h"

#include <QIODevice>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <exception>
#include <stdexcept>

namespace report {
namespace {

// The PDF writer's bytes into the file layer's output. A failed write is kept
// and answered with -1 (no exception may pass through Qt's PDF engine); the
// print stops at the next page and throws it.
class OutputDevice : public QIODevice {
public:
    void SetOutput(fileio::OutputFile* out) { out_ = out; }
    [[nodiscard]] std::exception_ptr Failure() const { return failure_; }
    [[nodiscard]] bool isSequential() const override { return true; }

protected:
    qint64 readData(char* /*data*/, qint64 /*size*/) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (failure_ || out_ == nullptr)
            return -1;
        try {
            out_->Write(data, static_cast<std::size_t>(size));
        } catch (...) {
            failure_ = std::current_exception();
            return -1;
        }
        return size;
    }

private:
    fileio::OutputFile* out_ = nullptr;
    std::exception_ptr failure_;
};

// Thrown out of the replace's writer when the user cancels: the replace then
// removes what it wrote.
struct Cancelled {};

} // namespace

PageRange PagesToPrint(const ListPrintLayout& layout, PageRange range) {
    const int count = layout.PageCount();
    if (range.first <= 0 && range.last <= 0)
        return {1, count};
    const int first = std::max(range.first, 1);
    const int last = range.last <= 0 ? count : std::min(range.last, count);
    return {first, last};
}

bool PaintPages(const ListPrintLayout& layout, QPagedPaintDevice& device, QPainter& painter,
                PageRange range, const ListPrintLayout::Progress& progress) {
    const auto total = static_cast<std::size_t>(std::max(0, range.last - range.first + 1));
    for (int page = range.first; page <= range.last; ++page) {
        if (page > range.first && !device.newPage())
            return false;
        layout.PaintPage(painter, page - 1);
        if (progress && !progress(static_cast<std::size_t>(page - range.first + 1), total))
            return false;
    }
    return true;
}

PrintOutcome WriteListPdf(ListPrintLayout& layout, const std::string& path,
                          const PdfFileSetup& setup, const PrintProgress& progress) {
    OutputDevice device;
    QPdfWriter writer(&device);
    writer.setResolution(setup.resolution);
    writer.setPageLayout(setup.pageLayout);
    writer.setTitle(setup.title);
    writer.setCreator(QStringLiteral("Mavrolin"));
    if (!layout.Paginate(writer, progress.paging))
        return PrintOutcome::Cancelled;
    const PageRange range = PagesToPrint(layout, setup.range);
    if (range.first > range.last)
        return PrintOutcome::NoPages;
    try {
        fileio::ReplaceFile(path, [&](fileio::OutputFile& out) {
            device.SetOutput(&out);
            device.open(QIODevice::WriteOnly);
            QPainter painter;
            if (!painter.begin(&writer))
                throw std::runtime_error("Das PDF konnte nicht begonnen werden.");
            const auto painted = [&](std::size_t done, std::size_t total) {
                return !device.Failure() && (!progress.painting || progress.painting(done, total));
            };
            const bool complete = PaintPages(layout, writer, painter, range, painted);
            painter.end();
            device.close();
            device.SetOutput(nullptr);
            if (device.Failure())
                std::rethrow_exception(device.Failure());
            if (!complete)
                throw Cancelled{};
            out.Flush();
        });
    } catch (const Cancelled&) {
        return PrintOutcome::Cancelled;
    }
    return PrintOutcome::Printed;
}

} // namespace report
