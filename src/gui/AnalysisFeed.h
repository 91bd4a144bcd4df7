#pragma once

#include <QObject>

class TAnalysisForm;
class TRecordListModel;

// The analysis window's one source of input: the record list's model. What
// the list shows is what the window counts, so every way in which the list
// changes (filter, search, new, changed and deleted entries, import, a new or
// loaded database) reaches the window as entries added, changed or removed,
// or as the whole view changed.
class TAnalysisFeed : public QObject {
    Q_OBJECT
public:
    TAnalysisFeed(TRecordListModel& list, TAnalysisForm& form);

private:
    void rowsAdded(int first, int last);
    void rowsLeaving(int first, int last);
    void rowsChanged(int first, int last);

    TRecordListModel& list_;
    TAnalysisForm& form_;
};
