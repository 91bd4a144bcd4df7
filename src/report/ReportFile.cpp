#include "report/ReportFile.h"

#include "fileio/OutputFile.h"
#include "fileio/ReplaceFile.h"
#include "report/ReportHtml.h"
#include "report/ReportPdf.h"

#include <algorithm>
#include <cctype>

namespace report {
namespace {

bool EndsWith(std::string_view name, std::string_view ending) {
    if (name.size() < ending.size())
        return false;
    return std::equal(
        ending.begin(), ending.end(), name.end() - static_cast<std::ptrdiff_t>(ending.size()),
        [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

} // namespace

std::optional<ReportFormat> FormatOfFileName(std::string_view name) {
    if (EndsWith(name, ".pdf"))
        return ReportFormat::Pdf;
    if (EndsWith(name, ".html") || EndsWith(name, ".htm"))
        return ReportFormat::Html;
    return std::nullopt;
}

QByteArray RenderReport(const ReportContent& content, ReportFormat format, int* pageCount) {
    if (format == ReportFormat::Pdf)
        return ReportPdf(content, pageCount);
    if (pageCount)
        *pageCount = 1;
    return ReportHtml(content);
}

void WriteReportFile(const std::string& path, const QByteArray& bytes) {
    fileio::ReplaceFile(path, [&bytes](fileio::OutputFile& out) {
        out.Write(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        out.Flush();
    });
}

int WriteReport(const TDataBase& database, std::span<const TDataRecord* const> entries,
                const Period& period, const ReportHeading& heading, ReportFormat format,
                const std::string& path) {
    const ReportFigures figures = ComputeReport(database, entries, period);
    int pages = 0;
    const QByteArray bytes = RenderReport(BuildContent(figures, heading), format, &pages);
    WriteReportFile(path, bytes);
    return pages;
}

} // namespace report
