#include "gui/RefusedRowsModel.h"

namespace {

constexpr std::size_t ShownRowsKept = 512; // a few screens of rows
constexpr std::size_t RowsPerStep = 8192;  // between two calls of a report's progress

} // namespace

TRefusedRowsModel::TRefusedRowsModel(std::vector<exchange::RefusedRow> rows,
                                     const exchange::RowLayout& layout, const std::string& path,
                                     const fileio::FileStamp& stamp, QObject* parent)
    : QAbstractTableModel(parent), rows_(std::move(rows)), layout_(layout), records_(path, stamp) {
    setObjectName(QStringLiteral("RefusedRowsModel"));
}

bool TRefusedRowsModel::WriteReport(const std::function<void(std::string_view)>& sink,
                                    const ReportProgress& progress) const {
    std::string report;
    for (std::size_t k = 0; k < rows_.size(); ++k) {
        if (progress && k % RowsPerStep == 0 && !progress(k, rows_.size()))
            return false;
        report = exchange::RefusedRowReport(layout_, rows_[k], records_.Record(rows_[k]));
        report += '\n';
        sink(report);
    }
    return !progress || progress(rows_.size(), rows_.size());
}

int TRefusedRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TRefusedRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

const TRefusedRowsModel::Shown& TRefusedRowsModel::shown(int row) const {
    if (const auto found = shown_.find(row); found != shown_.end())
        return found->second;
    if (shown_.size() >= ShownRowsKept)
        shown_.clear();
    const exchange::RefusedRow& refused = rows_[static_cast<std::size_t>(row)];
    const std::string_view record = records_.Record(refused);
    Shown& made = shown_[row];
    made.reason = QString::fromStdString(exchange::RefusalReason(layout_, refused, record));
    QString text = QString::fromStdString(exchange::RefusedRowText(layout_, record));
    text.replace(QLatin1String("\r\n"), QStringLiteral(" \u21B5 "));
    text.replace(QLatin1Char('\n'), QStringLiteral(" \u21B5 "));
    text.replace(QLatin1Char('\r'), QStringLiteral(" \u21B5 "));
    made.text = text;
    return made;
}

QVariant TRefusedRowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::TextAlignmentRole && index.column() == LineColumn)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    if (index.column() == LineColumn)
        return role == Qt::DisplayRole
                   ? QVariant(QString::number(rows_[static_cast<std::size_t>(index.row())].line))
                   : QVariant();
    const Shown& row = shown(index.row());
    return index.column() == ReasonColumn ? row.reason : row.text;
}

QVariant TRefusedRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case LineColumn:
        return QStringLiteral("Zeile");
    case ReasonColumn:
        return QStringLiteral("Grund");
    case TextColumn:
        return QStringLiteral("Text");
    default:
        return {};
    }
}
