#pragma once

#include "report/ReportContent.h"

#include <QByteArray>
#include <optional>
#include <span>
#include <string>
#include <string_view>

class TDataBase;
class TDataRecord;

// Writing a report file, for the window's "Bericht..." and for `mvd report`.
namespace report {

enum class ReportFormat : std::uint8_t { Pdf, Html };

// By the name's ending, letter case ignored: ".pdf", ".html" or ".htm".
std::optional<ReportFormat> FormatOfFileName(std::string_view name);

// The report's bytes; `pageCount` gets the PDF's pages (1 for HTML). The PDF
// needs a QGuiApplication.
QByteArray RenderReport(const ReportContent& content, ReportFormat format,
                        int* pageCount = nullptr);

// Puts `bytes` in place of the file `path` only once they are all written
// (an existing file stays as it was when writing fails). Throws
// std::runtime_error with the file layer's German message.
void WriteReportFile(const std::string& path, const QByteArray& bytes);

// All in one: counts the report of `period` over `entries`, renders it and
// writes it to `path`. Returns the number of pages.
int WriteReport(const TDataBase& database, std::span<const TDataRecord* const> entries,
                const Period& period, const ReportHeading& heading, ReportFormat format,
                const std::string& path);

} // namespace report
