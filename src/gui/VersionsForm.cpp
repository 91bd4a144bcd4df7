#include "gui/VersionsForm.h"

#include "commands/DataBaseCommands.h"
#include "core/DataBase.h"
#include "gui/BusyNote.h"
#include "gui/Document.h"
#include "gui/ErrorReport.h"
#include "gui/FormSetup.h"
#include "gui/NativePath.h"
#include "gui/Prompt.h"
#include "gui/VersionComparer.h"
#include "gui/VersionEntriesModel.h"
#include "gui/WaitCursor.h"
#include "versions/Keeper.h"
#include "versions/Restore.h"
#include "versions/VersionTexts.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <iterator>
#include <optional>

namespace {

enum Column { KeptColumn, EntriesColumn, DifferenceColumn, SizeColumn };

const QString StepText = QStringLiteral("Einträge aus älterer Version übernehmen");
constexpr std::size_t ManyEntries = 100000;

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QString Entries(std::size_t count) {
    return count == 1 ? QStringLiteral("1 Eintrag")
                      : QStringLiteral("%1 Einträge").arg(Text(versions::CountText(count)));
}

bool FileExists(const std::string& file) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::path(file), error);
}

} // namespace

TVersionsForm::TVersionsForm(TDocument& document, QWidget* parent)
    : QDialog(parent), document_(document) {
    setObjectName(QStringLiteral("VersionsForm"));
    setWindowTitle(QStringLiteral("Ältere Version wiederherstellen"));
    setFont(FormFont());
    createControls();
    comparer_ = new TVersionComparer(document_.DataBase(), this);
    connect(comparer_, &TVersionComparer::Compared, this,
            [this](int row, const std::shared_ptr<versions::Comparison>& result) {
                compared(row, result);
            });
}

// The comparer goes first: it may still read the open database.
TVersionsForm::~TVersionsForm() {
    delete comparer_;
}

void TVersionsForm::createControls() {
    VersionsLabel = new QLabel(this);
    VersionsLabel->setObjectName(QStringLiteral("VersionsLabel"));

    VersionList = new QTreeWidget(this);
    VersionList->setObjectName(QStringLiteral("VersionList"));
    VersionList->setRootIsDecorated(false);
    VersionList->setUniformRowHeights(true);
    VersionList->setAllColumnsShowFocus(true);
    VersionList->setHeaderLabels({QStringLiteral("Aufbewahrt am"), QStringLiteral("Einträge"),
                                  QStringLiteral("Unterschied"), QStringLiteral("Größe")});
    VersionList->headerItem()->setToolTip(
        DifferenceColumn,
        QStringLiteral("+ Einträge der Version, die der geöffneten Datenbank fehlen; − Einträge "
                       "der geöffneten Datenbank, die der Version fehlen"));
    VersionList->header()->setStretchLastSection(false);
    VersionList->header()->setSectionResizeMode(DifferenceColumn, QHeaderView::Stretch);
    VersionList->setColumnWidth(KeptColumn, 140);
    VersionList->setColumnWidth(EntriesColumn, 90);
    VersionList->setColumnWidth(SizeColumn, 90);
    VersionList->setMinimumHeight(130);

    MissingLabel = new QLabel(this);
    MissingLabel->setObjectName(QStringLiteral("MissingLabel"));
    MissingLabel->setWordWrap(true);
    LoadingBar = new QProgressBar(this);
    LoadingBar->setObjectName(QStringLiteral("LoadingBar"));
    LoadingBar->setRange(0, 0); // busy: how far a load is, nobody can say
    LoadingBar->setTextVisible(false);
    LoadingBar->setMaximumHeight(12);
    LoadingBar->hide();

    MissingModel = new TVersionEntriesModel(this);
    MissingView = new QTableView(this);
    MissingView->setObjectName(QStringLiteral("MissingView"));
    MissingView->setModel(MissingModel);
    MissingView->setSelectionBehavior(QAbstractItemView::SelectRows);
    MissingView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    MissingView->setWordWrap(false);
    MissingView->setShowGrid(false);
    MissingView->verticalHeader()->hide();
    // Rows of one height, so that a million of them cost nothing to lay out.
    MissingView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    MissingView->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    MissingView->horizontalHeader()->setStretchLastSection(true);
    MissingView->horizontalHeader()->setHighlightSections(false); // all rows are selected at first
    MissingView->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (const auto& [column, width] : {std::pair{0, 70}, {1, 70}, {2, 110}, {3, 90}, {4, 50}})
        MissingView->setColumnWidth(column, width);

    StatusLabel = new QLabel(this);
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));

    const auto button = [this](const char* name, const QString& caption, const QString& hint) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(hint);
        b->setAutoDefault(false);
        return b;
    };
    TakeOverButton = button("TakeOverButton", QStringLiteral("Einträge &übernehmen"),
                            QStringLiteral("fügt die ausgewählten Einträge der geöffneten "
                                           "Datenbank hinzu (in einem Schritt rückgängig zu "
                                           "machen)"));
    OpenVersionButton = button("OpenVersionButton", QStringLiteral("Ganze Version ö&ffnen"),
                               QStringLiteral("öffnet die Version anstelle der Datenbank, "
                                              "ungesichert und unter dem Namen der Datenbank"));
    CloseButton = button("CloseButton", QStringLiteral("Schließen"),
                         QStringLiteral("schließt diesen Dialog"));

    auto* buttons = new QHBoxLayout();
    buttons->addWidget(StatusLabel, 1);
    buttons->addWidget(TakeOverButton);
    buttons->addWidget(OpenVersionButton);
    buttons->addWidget(CloseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(VersionsLabel);
    layout->addWidget(VersionList, 2);
    layout->addWidget(MissingLabel);
    layout->addWidget(LoadingBar);
    layout->addWidget(MissingView, 3);
    layout->addLayout(buttons);
    resize(640, 480);

    connect(VersionList, &QTreeWidget::currentItemChanged, this, [this] { versionSelected(); });
    connect(MissingView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { updateButtons(); });
    ErrorReport::Connect(TakeOverButton, &QPushButton::clicked, this,
                         [this] { TakeOverButtonClick(); });
    ErrorReport::Connect(OpenVersionButton, &QPushButton::clicked, this,
                         [this] { OpenVersionButtonClick(); });
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TVersionsForm::Execute() {
    if (Load())
        exec();
}

bool TVersionsForm::Load() {
    const std::string& file = document_.FileName();
    if (!file.empty()) {
        // Only versions that the index lacks are loaded; most often none.
        QProgressDialog progress(QStringLiteral("Die älteren Versionen werden geprüft..."),
                                 QStringLiteral("Abbrechen"), 0, 0, parentWidget());
        progress.setObjectName(QStringLiteral("VersionsProgress"));
        progress.setWindowTitle(windowTitle());
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(500);
        bool cancelled = false;
        versions_ = versions::ListVersions(file, [&](std::size_t done, std::size_t total) {
            progress.setMaximum(static_cast<int>(total));
            progress.setValue(static_cast<int>(done));
            cancelled = progress.wasCanceled();
            return !cancelled;
        });
        if (cancelled)
            return false;
    }
    if (versions_.empty()) {
        QString text =
            QStringLiteral("Von dieser Datenbank sind keine älteren Versionen vorhanden.");
        if (!document_.VersionPolicy().Keep)
            text += QStringLiteral(" Das Aufbewahren älterer Versionen ist in den Optionen "
                                   "ausgeschaltet.");
        Prompt::Message(parentWidget(), Prompt::Kind::Information, text, Prompt::Ok);
        return false;
    }

    VersionsLabel->setText(QStringLiteral("Aufbewahrte Versionen von „%1“:")
                               .arg(QFileInfo(nativepath::ToQString(file)).fileName()));
    differences_.assign(versions_.size(), {});
    VersionList->clear();
    QTreeWidgetItem* first = nullptr;
    for (std::size_t row = 0; row < versions_.size(); ++row) {
        auto* item = new QTreeWidgetItem(VersionList);
        item->setTextAlignment(EntriesColumn, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(SizeColumn, Qt::AlignRight | Qt::AlignVCenter);
        if (versions_[row].state != versions::VersionState::Readable)
            differences_[row].State = TDifference::TState::Unreadable;
        showRow(static_cast<int>(row));
        if (first == nullptr && offered(static_cast<int>(row)))
            first = item;
    }
    if (first != nullptr)
        VersionList->setCurrentItem(first);
    showSelected();
    compareNext();
    return true;
}

int TVersionsForm::selectedRow() const {
    QTreeWidgetItem* item = VersionList->currentItem();
    return item ? VersionList->indexOfTopLevelItem(item) : -1;
}

bool TVersionsForm::offered(int row) const {
    return row >= 0 &&
           differences_[static_cast<std::size_t>(row)].State != TDifference::TState::Unreadable;
}

void TVersionsForm::showRow(int row) {
    QTreeWidgetItem* item = VersionList->topLevelItem(row);
    const versions::Version& version = versions_[static_cast<std::size_t>(row)];
    const TDifference& difference = differences_[static_cast<std::size_t>(row)];
    item->setText(KeptColumn, Text(versions::KeptText(version.keptMicros)));
    item->setText(SizeColumn, Text(versions::SizeText(version.size)));
    switch (difference.State) {
    case TDifference::TState::Unreadable:
        item->setText(EntriesColumn, QString::fromUtf8(versions::UnreadableText));
        item->setText(DifferenceColumn, QString());
        item->setToolTip(KeptColumn, QStringLiteral("Diese Version lädt nicht vollständig und "
                                                    "kann nicht wiederhergestellt werden."));
        // Listed, but never offered: it can't be chosen.
        item->setFlags(item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
        break;
    case TDifference::TState::Pending:
        item->setText(EntriesColumn,
                      Text(versions::CountText(static_cast<std::uint64_t>(version.entries))));
        item->setText(DifferenceColumn, QStringLiteral("wird verglichen..."));
        break;
    case TDifference::TState::Known:
        item->setText(EntriesColumn,
                      Text(versions::CountText(static_cast<std::uint64_t>(version.entries))));
        item->setText(DifferenceColumn,
                      Text(versions::DifferenceText(difference.Missing, difference.OnlyOpen)));
        break;
    }
}

// The lower half follows the selected version: loading, unreadable, or its
// missing entries.
void TVersionsForm::showSelected() {
    const int row = selectedRow();
    const bool loading = offered(row) && row != currentRow_;
    LoadingBar->setVisible(loading);
    if (row < 0) {
        MissingLabel->setText(QStringLiteral("Keine der Versionen ist lesbar."));
    } else if (!offered(row)) {
        MissingLabel->setText(QStringLiteral("Diese Version ist nicht lesbar und kann nicht "
                                             "wiederhergestellt werden."));
    } else if (loading) {
        MissingLabel->setText(
            QStringLiteral("Die Version vom %1 wird geladen und mit der geöffneten Datenbank "
                           "verglichen...")
                .arg(
                    Text(versions::KeptText(versions_[static_cast<std::size_t>(row)].keptMicros))));
    } else if (current_->missing.empty()) {
        MissingLabel->setText(
            QStringLiteral("Die geöffnete Datenbank enthält alle Einträge dieser Version."));
    } else {
        const std::size_t n = current_->missing.size();
        MissingLabel->setText(
            QStringLiteral("Der geöffneten Datenbank %1 %2 dieser Version "
                           "(die ausgewählten werden übernommen):")
                .arg(n == 1 ? QStringLiteral("fehlt") : QStringLiteral("fehlen"), Entries(n)));
    }
    updateButtons();
}

void TVersionsForm::updateButtons() {
    const int row = selectedRow();
    TakeOverButton->setEnabled(offered(row) && row == currentRow_ &&
                               MissingView->selectionModel()->hasSelection());
    OpenVersionButton->setEnabled(offered(row));
}

void TVersionsForm::versionSelected() {
    const int row = selectedRow();
    if (row != currentRow_) {
        // Only one version is kept loaded: the one shown.
        MissingModel->SetEntries(nullptr, {});
        current_.reset();
        currentRow_ = -1;
    }
    StatusLabel->clear();
    showSelected();
    compareNext();
}

// The selected version first (its entries are wanted), then the differences
// still unknown, newest first.
void TVersionsForm::compareNext() {
    if (comparer_->Busy() || stopping_)
        return;
    int next = selectedRow();
    if (!offered(next) || next == currentRow_) {
        const auto pending =
            std::find_if(differences_.begin(), differences_.end(), [](const TDifference& d) {
                return d.State == TDifference::TState::Pending;
            });
        next = pending == differences_.end()
                   ? -1
                   : static_cast<int>(std::distance(differences_.begin(), pending));
    }
    if (next >= 0)
        comparer_->Start(next, versions_[static_cast<std::size_t>(next)].path);
}

void TVersionsForm::stopComparer() {
    if (!comparer_->Busy())
        return;
    const QScopedValueRollback stopping(stopping_, true);
    const TBusyNote note(this, windowTitle(),
                         QStringLiteral("Der laufende Vergleich wird beendet..."));
    comparer_->Stop();
}

void TVersionsForm::done(int result) {
    stopComparer(); // closed, the dialog compares nothing more
    QDialog::done(result);
}

void TVersionsForm::compared(int row, const std::shared_ptr<versions::Comparison>& result) {
    TDifference& difference = differences_[static_cast<std::size_t>(row)];
    if (!result->error.empty()) {
        difference.State = TDifference::TState::Unreadable;
    } else {
        difference = {TDifference::TState::Known, result->missing.size(), result->onlyOpen};
        if (row == selectedRow()) {
            current_ = result;
            currentRow_ = row;
            MissingModel->SetEntries(current_->version.get(), current_->missing);
            MissingView->selectAll(); // all of them, unless the user chooses
        }
    }
    showRow(row);
    if (row == selectedRow())
        showSelected();
    compareNext();
}

void TVersionsForm::compareAgain(bool selectedStays) {
    for (std::size_t row = 0; row < differences_.size(); ++row) {
        TDifference& difference = differences_[row];
        const bool stays = selectedStays && static_cast<int>(row) == currentRow_;
        if (difference.State == TDifference::TState::Known && !stays) {
            difference.State = TDifference::TState::Pending;
            showRow(static_cast<int>(row));
        }
    }
    if (!selectedStays) {
        MissingModel->SetEntries(nullptr, {});
        current_.reset();
        currentRow_ = -1;
    }
    showSelected();
    compareNext();
}

void TVersionsForm::TakeOverButtonClick() {
    if (!current_ || currentRow_ != selectedRow())
        return;
    std::vector<int> chosen;
    for (const QItemSelectionRange& range : MissingView->selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            chosen.push_back(MissingModel->Position(row));
    if (chosen.empty())
        return;
    // In the version's order, as they stood there.
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());

    // Nothing reads the open database while it changes.
    stopComparer();
    std::size_t added = 0;
    try {
        // A million entries take most of a second; a few are there at once.
        std::optional<TBusyNote> note;
        if (chosen.size() >= ManyEntries)
            note.emplace(this, windowTitle(),
                         QStringLiteral("%1 werden übernommen...").arg(Entries(chosen.size())));
        const WaitCursor wait;
        const std::vector<TRecordView> entries = versions::MissingEntries(*current_, chosen);
        added = document_.Commands().ImportEntries(StepText, entries).Added;
    } catch (...) {
        // Some may have come in before the failure: everything is compared anew.
        compareAgain(false);
        throw;
    }
    // The chosen entries are in the open database now; the rest still lack.
    std::vector<int> rest;
    std::set_difference(current_->missing.begin(), current_->missing.end(), chosen.begin(),
                        chosen.end(), std::back_inserter(rest));
    current_->missing = std::move(rest);
    differences_[static_cast<std::size_t>(currentRow_)].Missing = current_->missing.size();
    showRow(currentRow_);
    MissingModel->SetEntries(current_->version.get(), current_->missing);
    compareAgain(true);
    StatusLabel->setText(QStringLiteral("%1 übernommen.").arg(Entries(added)));
}

void TVersionsForm::OpenVersionButtonClick() {
    const int row = selectedRow();
    if (!offered(row))
        return;
    const versions::Version version = versions_[static_cast<std::size_t>(row)];
    const std::string original = document_.FileName();
    // What is open now goes: unsaved changes are asked about first.
    const auto save = [this] {
        bool failed = true;
        ErrorReport::Guard(this, [&] {
            document_.Save(); // false (cancelled) leaves it unsaved: the answer is Stay
            failed = false;
        });
        return !failed;
    };
    // A save may merge the file's entries in first: nothing reads the open
    // database meanwhile.
    stopComparer();
    const int entries = document_.DataBase().Count();
    if (document_.AskToSaveChanges(save) != TDocument::TChangesAnswer::Proceed) {
        if (document_.DataBase().Count() != entries)
            compareAgain(false);
        else
            compareNext();
        return;
    }

    LoadReport report;
    {
        const TBusyNote note(this, windowTitle(),
                             QStringLiteral("Die Version vom %1 wird geöffnet...")
                                 .arg(Text(versions::KeptText(version.keptMicros))));
        report = document_.Commands().OpenUnsaved(
            [&](TDataBase& db) { return versions::OpenVersionAs(db, version.path, original); });
    }
    if (!report.Error.empty()) {
        // It loaded a moment ago; now it doesn't. The file comes back as it is.
        Prompt::Message(this, Prompt::Kind::Error,
                        QStringLiteral("Die Version vom %1 konnte nicht geöffnet werden: %2")
                            .arg(Text(versions::KeptText(version.keptMicros)),
                                 ErrorReport::ReportText(Text(report.Error))),
                        Prompt::Ok);
        if (FileExists(original))
            document_.Open(original);
        else
            document_.Commands().Name(original);
    }
    accept();
}
