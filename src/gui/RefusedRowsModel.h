#pragma once

#include "exchange/RefusedRows.h"

#include <QAbstractTableModel>
#include <QString>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The refused rows of a CSV import for its report window: line, reason and
// text of each. The rows are kept compactly (exchange::RefusedRow); a row's
// reason and text are read from the imported file when the view asks for
// them, so that a million refused rows cost their list, not their texts.
class TRefusedRowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum ColumnIndex { LineColumn, ReasonColumn, TextColumn, ColumnCount };

    // The rows refused when `path` (its state `stamp`) was read under `layout`.
    TRefusedRowsModel(std::vector<exchange::RefusedRow> rows, const exchange::RowLayout& layout,
                      const std::string& path, const fileio::FileStamp& stamp,
                      QObject* parent = nullptr);

    // False when the file has changed or gone since the import: every row
    // then shows the general reason of its kind and no text.
    [[nodiscard]] bool TextsReadable() const { return records_.Readable(); }
    // The report of every row in file order ("Zeile 7: <reason>", then the
    // row's text indented on the following lines), one piece a row. Now and
    // then `progress` hears how many rows are written; when it answers false
    // the report stops there and WriteReport returns false.
    using ReportProgress = std::function<bool(std::size_t done, std::size_t total)>;
    bool WriteReport(const std::function<void(std::string_view)>& sink,
                     const ReportProgress& progress = {}) const;

    // The model's view.
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Shown {
        QString reason;
        QString text; // on one line
    };
    const Shown& shown(int row) const;

    std::vector<exchange::RefusedRow> rows_;
    exchange::RowLayout layout_;
    mutable exchange::RefusedRecords records_;
    mutable std::unordered_map<int, Shown> shown_; // the rows shown lately
};
