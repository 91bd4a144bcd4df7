#pragma once

#include "core/DataRecord.h"
#include "exchange/Progress.h"

#include <cstddef>
#include <span>
#include <string>

// Excel workbooks (.xlsx): one sheet "Einträge" with a bold, frozen header row
// under an autofilter, real date cells shown as dd.mm.yyyy (empty when the
// date is no calendar day), Aufwand as numbers, column widths that fit the
// texts and wrapped descriptions.
namespace exchange {

struct XlsxOutcome {
    // Texts longer than the 32,767 characters an Excel cell holds, cut to that.
    std::size_t shortenedTexts = 0;
    // `progress` cancelled: nothing was written.
    bool cancelled = false;
};

// The note on texts that were cut: "1 Text war länger als die 32767 Zeichen
// einer Excel-Zelle und wurde gekürzt.", "2 Texte waren ... wurden gekürzt."
std::string ShortenedTextsNote(std::size_t count);

// Writes the entries in the order given to the file `path` (replaced only
// when complete); throws std::runtime_error with a German message on failure.
// More entries than a sheet has rows continue on further sheets. A third of
// the steps of `progress` is the rows, two thirds the packing of the
// workbook; a cancel during the packing takes effect when it has ended.
XlsxOutcome ExportXlsxFile(const std::string& path, std::span<const TDataRecord* const> entries,
                           const Progress& progress = {});

} // namespace exchange
