// The quick search: the field on the toolbar, the pause after typing, the
// matching in slices and the list it leaves.
#include "core/DataBase.h"
#include "gui/FormSetup.h"
#include "gui/MainForm.h"
#include "gui/RecordListModel.h"
#include "search/SearchFields.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <functional>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <thread>
#include <vector>

namespace {

// Matching stops for the window's events after this long, so that typing
// goes on while a million entries are looked at.
constexpr qint64 SliceMilliseconds = 10;
constexpr std::size_t EntriesBetweenClockReads = 16384;

// The entry at a position of the scan, nullptr past its end.
using Entries = std::function<TDataRecord*(std::size_t)>;

// Appends the entries of [from, to) that the query matches and the filter
// lets through, in their order.
void MatchEntries(const search::Query& query, const Entries& entries, std::size_t from,
                  std::size_t to, std::vector<TDataRecord*>& found) {
    // The entries lie all over the heap: they are fetched some steps ahead,
    // their texts a few steps later.
    constexpr std::size_t EntryAhead = 16;
    constexpr std::size_t TextsAhead = 8;
    for (std::size_t i = from; i < to; ++i) {
        if (i + EntryAhead < to)
            search::PrefetchEntry(entries(i + EntryAhead));
        if (i + TextsAhead < to)
            search::PrefetchTexts(entries(i + TextsAhead));
        TDataRecord* entry = entries(i);
        if (entry && !entry->Hidden && query.Matches(*entry))
            found.push_back(entry);
    }
}

// A search replaces the list's rows and sorts them anew: blocks of 8 bytes
// per listed entry, a million entries' worth each. The C heap keeps such
// blocks for reuse once freed (up to twice the largest freed), which would
// stay with the window after the search; they go back to the system instead.
void GiveBackFreedBlocks() {
#ifdef __GLIBC__
    ::malloc_trim(0);
#endif
}

} // namespace

void TMainForm::createSearch() {
    const QString hint = QStringLiteral("sucht in allen Feldern der Einträge (Strg+E)");
    SearchAction = new QAction(QStringLiteral("&Suchen"), this);
    SearchAction->setObjectName(QStringLiteral("SearchAction"));
    SearchAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    SearchAction->setToolTip(hint);
    SearchAction->setStatusTip(hint);
    const QIcon icon(QStringLiteral(":/icons/search.svg"));
    SearchAction->setIcon(icon);
    addAction(SearchAction); // its key works without a menu item
    ActionList.append(SearchAction);

    // At the right end of the toolbar, after the designed buttons and the
    // stopwatch.
    SearchSpacer = new QWidget(ToolBar);
    SearchSpacer->setObjectName(QStringLiteral("SearchSpacer"));
    SearchSpacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    ToolBar->addWidget(SearchSpacer);
    auto* line = new QFrame(ToolBar);
    line->setObjectName(QStringLiteral("SplitButton4"));
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setFixedSize(10, 22);
    SplitButton4 = line;
    ToolBar->addWidget(SplitButton4);
    SearchCountLabel = new QLabel(ToolBar);
    SearchCountLabel->setObjectName(QStringLiteral("SearchCountLabel"));
    SearchCountLabel->setToolTip(QStringLiteral("angezeigte von allen Einträgen"));
    SearchCountLabel->setContentsMargins(0, 0, 4, 0);
    searchCountAction_ = ToolBar->addWidget(SearchCountLabel);
    searchCountAction_->setVisible(false);
    SearchEdit = new QLineEdit(ToolBar);
    SearchEdit->setObjectName(QStringLiteral("SearchEdit"));
    SearchEdit->setPlaceholderText(QStringLiteral("Suchen"));
    SearchEdit->setToolTip(hint);
    SearchEdit->setStatusTip(hint);
    SearchEdit->setClearButtonEnabled(true);
    SearchEdit->addAction(icon, QLineEdit::LeadingPosition);
    SearchEdit->setFixedSize(160, 22);
    ToolBar->addWidget(SearchEdit);
    // Escape in the field only; while an entry is edited the field is off.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), SearchEdit);
    escape->setObjectName(QStringLiteral("SearchEscapeKey"));
    escape->setContext(Qt::WidgetShortcut);
    connect(escape, &QShortcut::activated, this, [this] { SearchEditEscape(); });
    connect(SearchAction, &QAction::enabledChanged, SearchEdit, &QWidget::setEnabled);
    // Matching waits while an entry is edited: the edit refers to the
    // current row, which a new list would move.
    connect(SearchAction, &QAction::enabledChanged, this, [this](bool enabled) {
        if (enabled && scanning_)
            searchSliceTimer_->start();
    });

    SearchTimer = new QTimer(this);
    SearchTimer->setObjectName(QStringLiteral("SearchTimer"));
    SearchTimer->setSingleShot(true);
    SearchTimer->setInterval(SearchPause);
    searchSliceTimer_ = new QTimer(this);
    searchSliceTimer_->setSingleShot(true);
    searchSliceTimer_->setInterval(0);

    // Whatever changes the list while matching runs (an edit, a rebuild)
    // starts the matching again; the count follows every change.
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(ListModel, signal, this, [this] { listChangedDuringSearch(); });
    connect(ListModel, &QAbstractItemModel::modelReset, this,
            [this] { listChangedDuringSearch(); });
    connect(ListModel, &QAbstractItemModel::dataChanged, this,
            [this] { listChangedDuringSearch(); });
}

void TMainForm::SearchActionExecute() {
    SearchEdit->setFocus(Qt::ShortcutFocusReason);
    SearchEdit->selectAll();
}

void TMainForm::SearchEditChange() {
    SearchTimer->start();
}

void TMainForm::SearchEditEscape() {
    SearchEdit->clear();
    SearchTimerTimer();
    ListView->setFocus();
}

void TMainForm::SearchTimerTimer() {
    SearchTimer->stop();
    scanQuery_ = search::Query::FromUtf8(SearchEdit->text().toStdString());
    if (scanQuery_ == searchQuery_) {
        scanning_ = false;
        searchSliceTimer_->stop();
        scanFound_ = {};
        return;
    }
    startSearchScan();
    searchSlice(); // an event of its own: nothing is half done
}

void TMainForm::startSearchScan() {
    scanning_ = true;
    scanFromList_ = scanQuery_.Narrows(searchQuery_);
    scanNext_ = 0;
    scanFound_.clear();
    // Room for every entry at once: growing by doubling would hold the old
    // block and one twice its size while it copies. Pages never filled are
    // never touched.
    scanFound_.reserve(scanFromList_ ? static_cast<std::size_t>(ItemCount())
                                     : static_cast<std::size_t>(DataBase->Count()));
    // The first slice runs after the present event: a change of the list
    // that restarts the matching may be half done (a deletion removes the
    // row before the entry).
    searchSliceTimer_->start();
}

void TMainForm::searchSlice() {
    if (!scanning_ || Editing)
        return;
    QElapsedTimer clock;
    clock.start();
    const std::size_t total = scanFromList_ ? static_cast<std::size_t>(ItemCount())
                                            : static_cast<std::size_t>(DataBase->Count());
    const Entries entries = [this, total](std::size_t i) -> TDataRecord* {
        if (i >= total)
            return nullptr;
        const int index = static_cast<int>(i);
        return scanFromList_ ? ListModel->Record(index) : DataBase->GetRecord(index);
    };
    // Each block is shared with a second thread while this one waits for
    // it, so nothing changes the entries meanwhile.
    const bool twoThreads = std::thread::hardware_concurrency() > 1;
    std::vector<TDataRecord*> secondHalf;
    while (scanNext_ < total) {
        const std::size_t end = std::min(total, scanNext_ + EntriesBetweenClockReads);
        if (twoThreads) {
            const std::size_t middle = scanNext_ + (end - scanNext_) / 2;
            secondHalf.clear();
            std::thread helper([&] { MatchEntries(scanQuery_, entries, middle, end, secondHalf); });
            MatchEntries(scanQuery_, entries, scanNext_, middle, scanFound_);
            helper.join();
            scanFound_.insert(scanFound_.end(), secondHalf.begin(), secondHalf.end());
        } else {
            MatchEntries(scanQuery_, entries, scanNext_, end, scanFound_);
        }
        scanNext_ = end;
        if (scanNext_ < total && clock.elapsed() >= SliceMilliseconds) {
            searchSliceTimer_->start();
            return;
        }
    }
    applySearchScan();
}

void TMainForm::applySearchScan() {
    scanning_ = false;
    const TDataRecord* current = ItemRecord(CurrentItem());
    applyingSearch_ = true;
    searchQuery_ = scanQuery_;
    if (scanFromList_)
        ListModel->SetSortedRecords(std::move(scanFound_));
    else
        ListModel->SetRecords(std::move(scanFound_), SortColumn, SortDescending);
    scanFound_ = {};
    applyingSearch_ = false;
    GiveBackFreedBlocks();
    // The current entry stays current when it is still listed, else the
    // first listed one becomes current, as after a filter.
    const int row = current ? ListModel->RowOf(current) : -1;
    SetCurrentItem(row >= 0 ? row : 0);
    ShowSelectedRecord();
    showSearchCount();
}

void TMainForm::listChangedDuringSearch() {
    if (applyingSearch_)
        return;
    if (scanning_)
        startSearchScan();
    showSearchCount();
}

void TMainForm::showSearchCount() {
    const bool active = !searchQuery_.Empty();
    if (active)
        SearchCountLabel->setText(
            QStringLiteral("%1 von %2").arg(ItemCount()).arg(DataBase->Count()));
    searchCountAction_->setVisible(active);
}

void TMainForm::ClearSearch() {
    SearchTimer->stop();
    searchSliceTimer_->stop();
    scanning_ = false;
    scanFound_ = {};
    searchQuery_ = {};
    scanQuery_ = {};
    const QSignalBlocker quiet(SearchEdit);
    SearchEdit->clear();
    showSearchCount();
}

bool TMainForm::IsListed(const TDataRecord& entry) const {
    return !entry.Hidden && searchQuery_.Matches(entry);
}

bool TMainForm::SearchPending() const {
    return scanning_ || SearchTimer->isActive();
}
