// The command layer's operations: each does its work on the database first
// (so that a refusal raises exactly as the database raises and leaves no
// step), then puts the finished step on the history and tells the observers.
#include "commands/DataBaseCommands.h"

#include "commands/DataBaseSteps.h"
#include "core/DataBase.h"

#include <utility>

namespace {

// Sets a flag for the lifetime of the guard, also when the body raises.
class QuietMove {
public:
    explicit QuietMove(bool& flag) : flag_(flag) { flag_ = true; }
    ~QuietMove() { flag_ = false; }
    QuietMove(const QuietMove&) = delete;
    QuietMove& operator=(const QuietMove&) = delete;

private:
    bool& flag_;
};

} // namespace

TDataBaseCommands::TDataBaseCommands(TDataBase& dataBase, QObject* parent)
    : QObject(parent), dataBase_(dataBase) {
    // The history is bounded by memory, not by a count of steps.
    stack_.setUndoLimit(0);
    connect(&stack_, &QUndoStack::indexChanged, this, &TDataBaseCommands::HistoryChanged);
    connect(&stack_, &QUndoStack::cleanChanged, this, &TDataBaseCommands::HistoryChanged);
}

TDataBaseCommands::~TDataBaseCommands() {
    // The stack clears itself when it goes, after this object's own part is gone.
    stack_.disconnect(this);
}

void TDataBaseCommands::pushDone(TDataBaseStep* step) {
    {
        QuietMove quiet(quiet_);
        stack_.push(step);
    }
    syncModified();
}

void TDataBaseCommands::syncModified() {
    dataBase_.Modified = !stack_.isClean();
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

LoadReport TDataBaseCommands::ImportFile(const std::string& fileName) {
    const bool wasModified = dataBase_.Modified;
    std::vector<std::uint32_t> ids;
    // A load reports its failures and never raises.
    const LoadReport report = dataBase_.LoadFromFile(fileName, &ids);
    recordImport(QStringLiteral("Datenbank importieren"), std::move(ids), wasModified);
    return report;
}

TImportOutcome TDataBaseCommands::ImportEntries(const QString& text,
                                                std::span<const TRecordView> entries) {
    const bool wasModified = dataBase_.Modified;
    std::vector<std::uint32_t> ids;
    TImportOutcome outcome;
    try {
        outcome.Added = dataBase_.AddRecords(entries, ids);
    } catch (...) {
        recordImport(text, std::move(ids), wasModified);
        throw;
    }
    outcome.Duplicates = entries.size() - outcome.Added;
    recordImport(text, std::move(ids), wasModified);
    return outcome;
}

void TDataBaseCommands::recordImport(const QString& text, std::vector<std::uint32_t>&& ids,
                                     bool wasModified) {
    if (ids.empty()) {
        dataBase_.Modified = wasModified;
        return;
    }
    // An import appends its entries to the database: they are its last ones.
    std::vector<TDataRecord*> entries;
    entries.reserve(ids.size());
    const auto first = static_cast<std::size_t>(dataBase_.Count()) - ids.size();
    for (std::size_t k = 0; k < ids.size(); ++k)
        entries.push_back(dataBase_.GetRecord(static_cast<int>(first + k)));
    pushDone(new TImportStep(*this, text, std::move(ids)));
    emit EntriesAdded(entries);
}

void TDataBaseCommands::moveIndex(bool undo) {
    if (undo ? !stack_.canUndo() : !stack_.canRedo())
        return;
    // The step does its work before the history moves, so a failure leaves both.
    const int at = undo ? stack_.index() - 1 : stack_.index();
    auto* step = static_cast<TDataBaseStep*>(const_cast<QUndoCommand*>(stack_.command(at)));
    const TDataBaseStep::Announcement announce = undo ? step->Revert() : step->Apply();
    {
        QuietMove quiet(quiet_);
        if (undo)
            stack_.undo();
        else
            stack_.redo();
    }
    syncModified();
    announce();
}

void TDataBaseCommands::Undo() {
    moveIndex(true);
}

void TDataBaseCommands::Redo() {
    moveIndex(false);
}

void TDataBaseCommands::MarkSaved() {
    stack_.setClean();
    syncModified();
}

void TDataBaseCommands::Replaced() {
    stack_.clear();
    syncModified();
    emit DataBaseReplaced();
}
