#include "report/FilterWords.h"

#include "core/DataBase.h"
#include "report/QtText.h"

#include <QStringList>

namespace report {
namespace {

constexpr int kNamedValues = 6; // more are counted, not named

QString Named(const TValueList& list, bool ticked) {
    QStringList names;
    int more = 0;
    for (int i = 0; i < list.Count(); ++i) {
        if (list.Filter(i).Checked != ticked)
            continue;
        if (names.size() < kNamedValues)
            names << FromCp1252(list.Value(i));
        else
            ++more;
    }
    QString text = names.join(QStringLiteral(", "));
    if (more > 0)
        text += QStringLiteral(" und %1 weitere").arg(more);
    return text;
}

QString ListInWords(const char* caption, const TValueList& list) {
    int ticked = 0;
    for (int i = 0; i < list.Count(); ++i)
        ticked += list.Filter(i).Checked ? 1 : 0;
    const int unticked = list.Count() - ticked;
    QString words;
    if (unticked == 0)
        words = QStringLiteral("alle");
    else if (ticked == 0)
        words = QStringLiteral("keine");
    else if (ticked <= unticked)
        words = Named(list, true);
    else
        words = QStringLiteral("alle au\u00DFer ") + Named(list, false);
    return QString::fromLatin1(caption) + QStringLiteral(": ") + words;
}

bool AllTicked(const TValueList& list) {
    for (int i = 0; i < list.Count(); ++i)
        if (!list.Filter(i).Checked)
            return false;
    return true;
}

} // namespace

QString FilterInWords(const TDataBase& database) {
    if (AllTicked(database.Languages) && AllTicked(database.ErrorTypes) &&
        AllTicked(database.Projects))
        return QStringLiteral("alle Eintr\u00E4ge (kein Filter)");
    return ListInWords("Sprache", database.Languages) + QStringLiteral(" \u00B7 ") +
           ListInWords("Kategorie", database.ErrorTypes) + QStringLiteral(" \u00B7 ") +
           ListInWords("Projekt", database.Projects) +
           (database.AndFilter ? QStringLiteral(" (verkn\u00FCpft mit UND)")
                               : QStringLiteral(" (verkn\u00FCpft mit ODER)"));
}

QString SearchInWords(const QString& search) {
    const QString text = search.simplified();
    if (text.isEmpty())
        return {};
    return QStringLiteral("Suche: \u201E") + text + QStringLiteral("\u201C");
}

QString SelectionInWords(const TDataBase& database, const QString& search) {
    const QString searchWords = SearchInWords(search);
    const QString filter = FilterInWords(database);
    return searchWords.isEmpty() ? filter : filter + QStringLiteral("; ") + searchWords;
}

} // namespace report
