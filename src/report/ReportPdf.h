#pragma once

#include "report/ReportContent.h"

#include <QByteArray>

// The report as a PDF of A4 pages, painted with QPainter on a QPdfWriter:
// text as text, charts as vector paths, black, white and greys only, so that
// it prints readably in black and white. Each page ends with "Seite n von m".
// Needs a QGuiApplication (for the fonts); the offscreen platform will do.
namespace report {

QByteArray ReportPdf(const ReportContent& content, int* pageCount = nullptr);

} // namespace report
