#pragma once

#include "search/EntrySearch.h"

#include <QObject>
#include <QString>
#include <cstddef>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QTimer;
class QToolBar;
class TDataBase;
class TDataRecord;
class TRecordListPanel;

// The quick search: a field at the right end of the toolbar. The list shows
// the entries that the filter lets through and the search matches. Typing
// applies the search after a pause; the matching runs in slices between the
// window's events, over the listed rows when the new query narrows the
// applied one (their order is kept), else over the database (then sorted);
// any change of the list restarts it. Matching waits while `searchAction`
// is disabled (an entry is being edited: the edit refers to the current row,
// which a new list would move).
class TSearchBar : public QObject {
    Q_OBJECT
public:
    static constexpr int SearchPause = 150; // ms

    TSearchBar(QToolBar* toolBar, QAction* searchAction, const TDataBase& dataBase,
               TRecordListPanel& list);

    // Whether the list shows `entry`: the filter lets it through and the
    // applied search matches it.
    [[nodiscard]] bool IsListed(const TDataRecord& entry) const;
    // The text of the search that the list shows (not what is typed while
    // it waits or is matched); empty without search.
    [[nodiscard]] const QString& SearchText() const { return searchText_; }
    // True while a typed search waits for its pause or is being matched.
    [[nodiscard]] bool Pending() const;
    // Empties the field and forgets the search, for another database.
    void ClearSearch();
    // "n von m" while a search is applied.
    void ShowCount();

    // Ctrl+E: the focus into the field.
    void SearchActionExecute();
    // The pause after the last key is over: matching starts.
    void SearchTimerTimer();

signals:
    // A search was applied to the list; its current item is set.
    void Applied();

private:
    void searchEditChange();
    void searchEditEscape(); // clears the search at once, the focus back to the list
    void startSearchScan();
    void searchSlice();
    void applySearchScan();
    void listChangedDuringSearch();

    const TDataBase& dataBase_;
    TRecordListPanel& list_;
    QAction* searchAction_;
    QLineEdit* searchEdit_ = nullptr;
    QLabel* countLabel_ = nullptr;
    QAction* countAction_ = nullptr; // the count label on the toolbar
    QTimer* pauseTimer_ = nullptr;
    QTimer* sliceTimer_ = nullptr;
    search::Query searchQuery_;     // the search the list shows
    search::Query scanQuery_;       // the search being matched
    QString searchText_, scanText_; // as typed, of either
    bool scanning_ = false;
    bool scanFromList_ = false; // over the listed rows, else over the database
    bool applyingSearch_ = false;
    bool clearing_ = false; // ClearSearch empties the field
    std::size_t scanNext_ = 0;
    std::vector<TDataRecord*> scanFound_;
};
