#include "analysis/TableCsv.h"

#include "analysis/TableText.h"
#include "core/Cp1252.h"
#include "exchange/CsvWriter.h"

namespace analysis {

std::string TableCsv(const std::vector<TableRow>& rows, Grouping grouping, char separator) {
    std::string out = "\xEF\xBB\xBF";
    auto record = [&](auto&& cell) {
        for (int c = 0; c < TableColumns; ++c) {
            if (c > 0)
                out += separator;
            exchange::AppendCsvField(out, cp1252::ToUtf8(cell(static_cast<TableColumn>(c))),
                                     separator);
        }
        out += "\r\n";
    };
    record([&](TableColumn column) { return ColumnCaption(column, grouping); });
    for (const TableRow& row : rows)
        record([&](TableColumn column) { return CellText(row, column); });
    return out;
}

} // namespace analysis
