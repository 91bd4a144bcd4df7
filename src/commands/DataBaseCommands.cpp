// The command layer's operations: each does its work on the database first
// (so that a refusal raises exactly as the database raises and leaves no
// step), then puts the finished step on the history and tells the observers.
#include "commands/DataBaseCommands.h"

#include "commands/DataBaseSteps.h"
#include "core/DataBase.h"

#include <QScopedValueRollback>
#include <utility>

TDataBaseCommands::TDataBaseCommands(TDataBase& dataBase, QObject* parent)
    : QObject(parent), dataBase_(dataBase) {
    // The history is bounded by memory, not by a count of steps.
    stack_.setUndoLimit(0);
    connect(&stack_, &QUndoStack::indexChanged, this, &TDataBaseCommands::HistoryChanged);
    connect(&stack_, &QUndoStack::cleanChanged, this, &TDataBaseCommands::HistoryChanged);
    connect(&stack_, &QUndoStack::cleanChanged, this,
            [this](bool clean) { emit ModifiedChanged(!clean); });
}

TDataBaseCommands::~TDataBaseCommands() {
    // The stack clears itself when it goes, after this object's own part is gone.
    stack_.disconnect(this);
}

void TDataBaseCommands::pushDone(TDataBaseStep* step) {
    {
        const QScopedValueRollback quiet(quiet_, true);
        stack_.push(step);
    }
}

TDataRecord* TDataBaseCommands::AddEntry(const TRecordData& record) {
    TDataRecord* stored = dataBase_.AddRecord(record);
    pushDone(
        new TEntryPresenceStep(*this, QStringLiteral("neuer Datensatz"), stored->ID, {}, true));
    emit EntriesAdded({stored});
    return stored;
}

TDataRecord* TDataBaseCommands::ChangeEntry(const TRecordData& record) {
    // The entry before the change, with the ticks of its values.
    const std::uint32_t ids[] = {record.ID};
    TDataBase::TakenRecords before = dataBase_.CopyRecords(ids);
    if (before.empty())
        return nullptr;
    const TDataRecord* replaced = dataBase_.GetRecord(static_cast<int>(before.Position(0)));
    TDataRecord* stored = dataBase_.ChangeRecord(record);
    if (stored == nullptr)
        return nullptr;
    pushDone(new TChangeStep(*this, std::move(before)));
    emit EntriesChanged({{replaced, stored}});
    return stored;
}

void TDataBaseCommands::DeleteEntry(std::uint32_t id) {
    const std::uint32_t ids[] = {id};
    TDataBase::TakenRecords taken = dataBase_.TakeRecords(ids);
    if (taken.empty())
        return;
    std::vector<TDataRecord*> entries{taken.Slot(0)};
    pushDone(new TEntryPresenceStep(*this, QStringLiteral("Datensatz löschen"), id,
                                    std::move(taken), false));
    emit EntriesRemoved(entries);
}

LoadReport TDataBaseCommands::ImportFile(const std::string& fileName, const QString& text) {
    std::vector<std::uint32_t> ids;
    // A load reports its failures and never raises; what it read stays.
    const LoadReport report = dataBase_.LoadFromFile(fileName, &ids);
    recordImport(text, std::move(ids));
    return report;
}

TImportOutcome TDataBaseCommands::ImportEntries(const QString& text,
                                                std::span<const TRecordView> entries) {
    std::vector<std::uint32_t> ids;
    TImportOutcome outcome;
    try {
        outcome.Added = dataBase_.AddRecords(entries, ids);
    } catch (...) {
        recordImport(text, std::move(ids));
        throw;
    }
    outcome.Duplicates = entries.size() - outcome.Added;
    recordImport(text, std::move(ids));
    return outcome;
}

LoadReport TDataBaseCommands::MergeWithFile(const std::string& fileName, const QString& text) {
    TDataBase disk;
    disk.OnLoadError = dataBase_.OnLoadError; // reported as a load of this database
    disk.FileName = fileName;
    const LoadReport report = disk.Reload();
    if (!report.Error.empty())
        return report;
    const TDataBase::MergePlan plan = dataBase_.PlanMerge(disk);
    std::vector<TRecordView> coming;
    coming.reserve(plan.Add.size());
    for (const int i : plan.Add)
        coming.push_back(disk.GetRecord(i)->View());
    // Out first, so that an entry changed on disk finds its place free.
    TDataBase::TakenRecords gone = dataBase_.TakeRecords(plan.Remove);
    std::vector<std::uint32_t> ids;
    try {
        dataBase_.AddRecords(coming, ids);
    } catch (...) {
        TDataBase::TakenRecords added = dataBase_.TakeRecords(ids);
        dataBase_.PutBackRecords(gone); // back as it was
        throw;
    }
    std::vector<TDataRecord*> goneSlots;
    goneSlots.reserve(gone.size());
    for (std::size_t k = 0; k < gone.size(); ++k)
        goneSlots.push_back(gone.Slot(k));
    std::vector<TDataRecord*> added;
    added.reserve(ids.size());
    const auto first = static_cast<std::size_t>(dataBase_.Count()) - ids.size();
    for (std::size_t k = 0; k < ids.size(); ++k)
        added.push_back(dataBase_.GetRecord(static_cast<int>(first + k)));
    if (!gone.empty() || !ids.empty())
        pushDone(new TMergeStep(*this, text, std::move(gone), std::move(ids)));
    if (!goneSlots.empty())
        emit EntriesRemoved(goneSlots);
    emit EntriesImported(added);
    return report;
}

void TDataBaseCommands::recordImport(const QString& text, std::vector<std::uint32_t>&& ids) {
    // An import appends its entries to the database: they are its last ones.
    std::vector<TDataRecord*> entries;
    entries.reserve(ids.size());
    const auto first = static_cast<std::size_t>(dataBase_.Count()) - ids.size();
    for (std::size_t k = 0; k < ids.size(); ++k)
        entries.push_back(dataBase_.GetRecord(static_cast<int>(first + k)));
    if (!ids.empty())
        pushDone(new TImportStep(*this, text, std::move(ids)));
    emit EntriesImported(entries);
}

void TDataBaseCommands::moveIndex(bool undo) {
    if (undo ? !stack_.canUndo() : !stack_.canRedo())
        return;
    // The step does its work before the history moves, so a failure leaves both.
    const int at = undo ? stack_.index() - 1 : stack_.index();
    auto* step = static_cast<TDataBaseStep*>(const_cast<QUndoCommand*>(stack_.command(at)));
    const TDataBaseStep::Announcement announce = undo ? step->Revert() : step->Apply();
    {
        const QScopedValueRollback quiet(quiet_, true);
        if (undo)
            stack_.undo();
        else
            stack_.redo();
    }
    announce();
}

void TDataBaseCommands::Undo() {
    moveIndex(true);
}

void TDataBaseCommands::Redo() {
    moveIndex(false);
}

void TDataBaseCommands::startOver() {
    stack_.clear();
    emit DataBaseReplaced();
}

void TDataBaseCommands::NewDataBase() {
    dataBase_.Clear();
    startOver();
}

LoadReport TDataBaseCommands::Open(const std::string& fileName) {
    dataBase_.FileName = fileName;
    // Reports its own failure and keeps FileName; what was read stays.
    LoadReport report = dataBase_.Reload();
    startOver();
    return report;
}

void TDataBaseCommands::Name(const std::string& fileName) {
    dataBase_.FileName = fileName;
}

LoadReport TDataBaseCommands::OpenUnsaved(const std::function<LoadReport(TDataBase&)>& load) {
    dataBase_.Clear();
    LoadReport report = load(dataBase_);
    stack_.clear();
    stack_.resetClean();
    emit DataBaseReplaced();
    return report;
}

void TDataBaseCommands::Save() {
    // Writes a temporary file and renames it over the old one: a failure
    // raises and leaves the old file and the unsaved state as they were.
    dataBase_.Save();
    stack_.setClean();
}

void TDataBaseCommands::SaveAs(const std::string& fileName) {
    dataBase_.FileName = fileName;
    Save();
}

TFilterTicks FilterTicksOf(const TDataBase& dataBase) {
    const auto ticks = [](const TValueList& list) {
        std::vector<bool> checked;
        checked.reserve(static_cast<std::size_t>(list.Count()));
        for (int i = 0; i < list.Count(); ++i)
            checked.push_back(list.Filter(i).Checked);
        return checked;
    };
    return {ticks(dataBase.Languages), ticks(dataBase.ErrorTypes), ticks(dataBase.Projects),
            dataBase.AndFilter};
}

std::optional<TFilterTicks> OnlyValueTicks(const TDataBase& dataBase, const TValueList& list,
                                           const std::string& value) {
    const int position = list.IndexOf(value);
    if (position < 0)
        return std::nullopt;
    TFilterTicks ticks = FilterTicksOf(dataBase);
    ticks.AndFilter = true;
    std::vector<bool>& only = &list == &dataBase.Languages    ? ticks.Languages
                              : &list == &dataBase.ErrorTypes ? ticks.ErrorTypes
                                                              : ticks.Projects;
    for (std::size_t i = 0; i < only.size(); ++i)
        only[i] = static_cast<int>(i) == position;
    return ticks;
}

// Line i of each tick list stands for position i of its value list.
void TDataBaseCommands::SetFilter(const TFilterTicks& ticks) {
    const auto tick = [](TValueList& list, const std::vector<bool>& checked) {
        for (int i = 0; i < list.Count(); ++i)
            if (static_cast<std::size_t>(i) < checked.size())
                list.Filter(i).Checked = checked[static_cast<std::size_t>(i)];
    };
    tick(dataBase_.Languages, ticks.Languages);
    tick(dataBase_.ErrorTypes, ticks.ErrorTypes);
    tick(dataBase_.Projects, ticks.Projects);
    dataBase_.SetAndFilter(ticks.AndFilter);
    emit FilterChanged();
}
