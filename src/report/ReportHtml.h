#pragma once

#include "report/ReportContent.h"

#include <QByteArray>

// The report as one HTML page (UTF-8, written as well-formed XHTML so that
// any XML reader takes it): the same texts and tables as the PDF, the charts
// as inline SVG, styled for A4 printing in black and white. Needs no
// QGuiApplication.
namespace report {

QByteArray ReportHtml(const ReportContent& content);

} // namespace report
