// The quick search: the field on the toolbar, the pause after typing, the
// matching in slices and the list it leaves.
#include "gui/SearchBar.h"

#include "core/DataBase.h"
#include "gui/ErrorReport.h"
#include "gui/RecordListModel.h"
#include "gui/RecordListPanel.h"
#include "gui/WindowShortcutsFirst.h"
#include "search/SearchFields.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
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

TSearchBar::TSearchBar(QToolBar* toolBar, QAction* searchAction, const TDataBase& dataBase,
                       TRecordListPanel& list)
    : QObject(toolBar), dataBase_(dataBase), list_(list), searchAction_(searchAction) {
    setObjectName(QStringLiteral("SearchBar"));
    const QString hint = searchAction->toolTip();
    // At the right end of the toolbar, after the designed buttons and the
    // stopwatch.
    auto* spacer = new QWidget(toolBar);
    spacer->setObjectName(QStringLiteral("SearchSpacer"));
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolBar->addWidget(spacer);
    auto* line = new QFrame(toolBar);
    line->setObjectName(QStringLiteral("SplitButton4"));
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setFixedSize(10, 22);
    toolBar->addWidget(line);
    countLabel_ = new QLabel(toolBar);
    countLabel_->setObjectName(QStringLiteral("SearchCountLabel"));
    countLabel_->setToolTip(QStringLiteral("angezeigte von allen Einträgen"));
    countLabel_->setContentsMargins(0, 0, 4, 0);
    countAction_ = toolBar->addWidget(countLabel_);
    countAction_->setVisible(false);
    searchEdit_ = new QLineEdit(toolBar);
    searchEdit_->setObjectName(QStringLiteral("SearchEdit"));
    searchEdit_->setPlaceholderText(QStringLiteral("Suchen"));
    searchEdit_->setToolTip(hint);
    searchEdit_->setStatusTip(hint);
    searchEdit_->setClearButtonEnabled(true);
    searchEdit_->addAction(searchAction->icon(), QLineEdit::LeadingPosition);
    searchEdit_->setFixedSize(160, 22);
    toolBar->addWidget(searchEdit_);
    // The window's shortcuts win over the field's own keys (Ctrl+Ins is the
    // new entry, not "copy").
    searchEdit_->installEventFilter(new TWindowShortcutsFirst(searchEdit_));
    // Escape in the field only; while an entry is edited the field is off.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), searchEdit_);
    escape->setObjectName(QStringLiteral("SearchEscapeKey"));
    escape->setContext(Qt::WidgetShortcut);
    QWidget* window = toolBar->window();
    ErrorReport::Connect(escape, &QShortcut::activated, window, [this] { searchEditEscape(); });
    connect(searchAction, &QAction::enabledChanged, searchEdit_, &QWidget::setEnabled);
    connect(searchAction, &QAction::enabledChanged, this, [this](bool enabled) {
        if (enabled && scanning_)
            sliceTimer_->start();
    });

    pauseTimer_ = new QTimer(this);
    pauseTimer_->setObjectName(QStringLiteral("SearchTimer"));
    pauseTimer_->setSingleShot(true);
    pauseTimer_->setInterval(SearchPause);
    sliceTimer_ = new QTimer(this);
    sliceTimer_->setSingleShot(true);
    sliceTimer_->setInterval(0);
    ErrorReport::Connect(searchEdit_, &QLineEdit::textChanged, window,
                         [this] { searchEditChange(); });
    ErrorReport::Connect(pauseTimer_, &QTimer::timeout, window, [this] { SearchTimerTimer(); });
    ErrorReport::Connect(sliceTimer_, &QTimer::timeout, window, [this] { searchSlice(); });

    // Whatever changes the list while matching runs (an edit, a rebuild)
    // starts the matching again; the count follows every change.
    const TRecordListModel* model = &list_.Model();
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(model, signal, this, [this] { listChangedDuringSearch(); });
    connect(model, &QAbstractItemModel::modelReset, this, [this] { listChangedDuringSearch(); });
    connect(model, &QAbstractItemModel::dataChanged, this, [this] { listChangedDuringSearch(); });
}

void TSearchBar::SearchActionExecute() {
    searchEdit_->setFocus(Qt::ShortcutFocusReason);
    searchEdit_->selectAll();
}

void TSearchBar::searchEditChange() {
    if (!clearing_)
        pauseTimer_->start();
}

void TSearchBar::searchEditEscape() {
    searchEdit_->clear();
    SearchTimerTimer();
    list_.View()->setFocus();
}

void TSearchBar::SearchTimerTimer() {
    pauseTimer_->stop();
    scanText_ = searchEdit_->text();
    scanQuery_ = search::Query::FromUtf8(scanText_.toStdString());
    if (scanQuery_ == searchQuery_) {
        searchText_ = scanText_;
        scanning_ = false;
        sliceTimer_->stop();
        scanFound_ = {};
        return;
    }
    startSearchScan();
    searchSlice(); // an event of its own: nothing is half done
}

void TSearchBar::startSearchScan() {
    scanning_ = true;
    scanFromList_ = scanQuery_.Narrows(searchQuery_);
    scanNext_ = 0;
    scanFound_.clear();
    // Room for every entry at once: growing by doubling would hold the old
    // block and one twice its size while it copies. Pages never filled are
    // never touched.
    scanFound_.reserve(scanFromList_ ? static_cast<std::size_t>(list_.ItemCount())
                                     : static_cast<std::size_t>(dataBase_.Count()));
    // The first slice runs after the present event: a change of the list
    // that restarts the matching may be half done (a deletion removes the
    // row before the entry).
    sliceTimer_->start();
}

void TSearchBar::searchSlice() {
    if (!scanning_ || !searchAction_->isEnabled())
        return;
    QElapsedTimer clock;
    clock.start();
    const TRecordListModel& model = list_.Model();
    const std::size_t total = scanFromList_ ? static_cast<std::size_t>(model.Count())
                                            : static_cast<std::size_t>(dataBase_.Count());
    const Entries entries = [this, &model, total](std::size_t i) -> TDataRecord* {
        if (i >= total)
            return nullptr;
        const int index = static_cast<int>(i);
        return scanFromList_ ? model.Record(index) : dataBase_.GetRecord(index);
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
            sliceTimer_->start();
            return;
        }
    }
    applySearchScan();
}

void TSearchBar::applySearchScan() {
    scanning_ = false;
    TRecordListModel& model = list_.Model();
    const TDataRecord* current = list_.ItemRecord(list_.CurrentItem());
    applyingSearch_ = true;
    searchQuery_ = scanQuery_;
    searchText_ = scanText_;
    if (scanFromList_)
        model.SetSortedRecords(std::move(scanFound_));
    else
        model.SetRecords(std::move(scanFound_), list_.SortColumn(), list_.SortDescending());
    scanFound_ = {};
    applyingSearch_ = false;
    GiveBackFreedBlocks();
    // The current entry stays current when it is still listed, else the
    // first listed one becomes current, as after a filter.
    const int row = current ? model.RowOf(current) : -1;
    list_.SetCurrentItem(row >= 0 ? row : 0);
    emit Applied();
    ShowCount();
}

void TSearchBar::listChangedDuringSearch() {
    if (applyingSearch_)
        return;
    if (scanning_)
        startSearchScan();
    ShowCount();
}

void TSearchBar::ShowCount() {
    const bool active = !searchQuery_.Empty();
    if (active)
        countLabel_->setText(
            QStringLiteral("%1 von %2").arg(list_.ItemCount()).arg(dataBase_.Count()));
    countAction_->setVisible(active);
}

void TSearchBar::ClearSearch() {
    pauseTimer_->stop();
    sliceTimer_->stop();
    scanning_ = false;
    scanFound_ = {};
    searchQuery_ = {};
    scanQuery_ = {};
    searchText_.clear();
    scanText_.clear();
    // Not by blocking the field's signals: its clear button follows them.
    const QScopedValueRollback clearing(clearing_, true);
    searchEdit_->clear();
    ShowCount();
}

bool TSearchBar::IsListed(const TDataRecord& entry) const {
    return !entry.Hidden && searchQuery_.Matches(entry);
}

bool TSearchBar::Pending() const {
    return scanning_ || pauseTimer_->isActive();
}
