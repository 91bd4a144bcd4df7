#include "gui/ColumnKind.h"

const std::array<QString, 6> ColumnCaptions = {
    QString(),
    QStringLiteral("Sprache"),
    QStringLiteral("Kategorie"),
    QStringLiteral("Projekt"),
    QStringLiteral("Datum"),
    QStringLiteral("Aufwand"),
};

int OccupiedSlots(const TColumnOrder& order) {
    int n = 0;
    while (n < static_cast<int>(order.size()) && order[static_cast<std::size_t>(n)] != ckNone)
        ++n;
    return n;
}
