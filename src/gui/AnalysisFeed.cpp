#include "gui/AnalysisFeed.h"

#include "core/DataRecord.h"
#include "gui/AnalysisForm.h"
#include "gui/RecordListModel.h"

#include <vector>

TAnalysisFeed::TAnalysisFeed(TRecordListModel& list, TAnalysisForm& form)
    : QObject(&form), list_(list), form_(form) {
    setObjectName(QStringLiteral("AnalysisFeed"));
    connect(&list, &QAbstractItemModel::modelReset, this, [this] { form_.ViewChanged(); });
    connect(&list, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { rowsAdded(first, last); });
    connect(&list, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex&, int first, int last) { rowsLeaving(first, last); });
    connect(&list, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                rowsChanged(topLeft.row(), bottomRight.row());
            });
}

void TAnalysisFeed::rowsAdded(int first, int last) {
    std::vector<const TDataRecord*> added;
    for (int row = first; row <= last; ++row)
        if (const TDataRecord* record = list_.Record(row))
            added.push_back(record);
    form_.EntriesAdded(added);
}

void TAnalysisFeed::rowsLeaving(int first, int last) {
    std::vector<std::uint32_t> ids;
    for (int row = first; row <= last; ++row)
        if (const TDataRecord* record = list_.Record(row))
            ids.push_back(record->ID);
    form_.EntriesRemoved(ids);
}

// A single row changes when its entry was changed; a wider change repaints
// texts (a column was shown or hidden), which is taken as a new view to be
// safe.
void TAnalysisFeed::rowsChanged(int first, int last) {
    if (first != last) {
        form_.ViewChanged();
        return;
    }
    if (const TDataRecord* record = list_.Record(first))
        form_.EntryChanged(*record);
}
