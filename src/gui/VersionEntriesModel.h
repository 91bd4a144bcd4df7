#pragma once

#include <QAbstractTableModel>
#include <vector>

class TDataBase;

// The entries of a kept version that the open database lacks, as rows of a
// table: date, language, category, project, minutes and the description's
// first line. Rows refer to the version's own entries by position (a version
// may hold a million of them), so the texts are made only for the rows shown.
class TVersionEntriesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TVersionEntriesModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Shows the entries of `version` at `positions` (none: an empty table).
    // The version must stay until the next call.
    void SetEntries(const TDataBase* version, std::vector<int> positions);
    // The version's position of the entry in `row`.
    [[nodiscard]] int Position(int row) const { return positions_[static_cast<std::size_t>(row)]; }
    [[nodiscard]] const std::vector<int>& Positions() const { return positions_; }

private:
    const TDataBase* version_ = nullptr;
    std::vector<int> positions_;
};
