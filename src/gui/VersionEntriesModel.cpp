#include "gui/VersionEntriesModel.h"

#include "core/DataBase.h"
#include "gui/ColumnKind.h"
#include "gui/GuiText.h"

#include <array>

namespace {

constexpr int DescriptionColumn = 5;
// The list's own columns in the order of the entry panel, then the description.
constexpr std::array<TColumnKind, DescriptionColumn> FieldColumns = {ckDate, ckLanguage, ckType,
                                                                     ckProject, ckTime};

// The description's first line (shown in full in its tooltip).
QString FirstLine(std::string_view description) {
    const std::size_t end = description.find_first_of("\r\n");
    QString line = GuiText::FromCp1252(description.substr(0, end));
    if (end != std::string_view::npos)
        line += QStringLiteral(" …");
    return line;
}

} // namespace

TVersionEntriesModel::TVersionEntriesModel(QObject* parent) : QAbstractTableModel(parent) {
    setObjectName(QStringLiteral("VersionEntriesModel"));
}

int TVersionEntriesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(positions_.size());
}

int TVersionEntriesModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : DescriptionColumn + 1;
}

QVariant TVersionEntriesModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || version_ == nullptr || index.row() >= rowCount())
        return {};
    const TDataRecord* entry = version_->GetRecord(Position(index.row()));
    if (entry == nullptr)
        return {};
    const int column = index.column();
    if (role == Qt::DisplayRole) {
        if (column == DescriptionColumn)
            return FirstLine(entry->Description());
        return GuiText::FromCp1252(
            entry->FieldText(FieldColumns[static_cast<std::size_t>(column)]));
    }
    if (role == Qt::ToolTipRole && column == DescriptionColumn)
        return GuiText::ShownLines(entry->Description());
    if (role == Qt::TextAlignmentRole && column < DescriptionColumn &&
        FieldColumns[static_cast<std::size_t>(column)] == ckTime)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    return {};
}

QVariant TVersionEntriesModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section > DescriptionColumn)
        return {};
    if (section == DescriptionColumn)
        return QStringLiteral("Beschreibung");
    return ColumnCaptions[FieldColumns[static_cast<std::size_t>(section)]];
}

void TVersionEntriesModel::SetEntries(const TDataBase* version, std::vector<int> positions) {
    beginResetModel();
    version_ = version;
    positions_ = version ? std::move(positions) : std::vector<int>{};
    endResetModel();
}
