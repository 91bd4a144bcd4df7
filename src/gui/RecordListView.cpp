#include "gui/RecordListView.h"

QModelIndex TRecordListView::moveCursor(CursorAction cursorAction,
                                        Qt::KeyboardModifiers modifiers) {
    const int rows = model() ? model()->rowCount(rootIndex()) : 0;
    if (rows > 0 && (cursorAction == MoveHome || cursorAction == MoveEnd)) {
        const int column = currentIndex().isValid() ? currentIndex().column() : 0;
        return model()->index(cursorAction == MoveHome ? 0 : rows - 1, column, rootIndex());
    }
    return QTableView::moveCursor(cursorAction, modifiers);
}
