#pragma once

#include <QTableView>

// The report list of the main window. A table view moves Home and End along
// the current row; in a report list they go to the first and the last entry.
class TRecordListView : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
};
