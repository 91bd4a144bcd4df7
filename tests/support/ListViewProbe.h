#pragma once

// Reads what the main window's record list shows: column captions and widths
// of the visible columns, in their order on screen.

#include "gui/MainForm.h"
#include "gui/RecordListModel.h"
#include "support/WindowProbe.h"

#include <QHeaderView>
#include <QList>
#include <QStringList>
#include <QTableView>

inline QStringList Headers(const TTestForm& form) {
    QStringList texts;
    const QHeaderView* header = form.ListView()->horizontalHeader();
    for (int i = 0; i < form.ListModel()->columnCount(); ++i)
        if (!header->isSectionHidden(i))
            texts << form.ListModel()->headerData(i, Qt::Horizontal).toString();
    return texts;
}

inline QList<int> Widths(const TTestForm& form) {
    QList<int> result;
    const QHeaderView* header = form.ListView()->horizontalHeader();
    for (int i = 0; i < form.ListModel()->columnCount(); ++i)
        if (!header->isSectionHidden(i))
            result << header->sectionSize(i);
    return result;
}
