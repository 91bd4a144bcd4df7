// The steps of the undo history: what each change of the entries keeps to go
// back and forth, and the database work of each direction.
#include "commands/DataBaseSteps.h"

#include "commands/DataBaseCommands.h"

#include <stdexcept>

namespace {

// The entries just put back: they stand at their old places.
std::vector<TDataRecord*> Entries(TDataBase& db, const std::vector<std::size_t>& positions) {
    std::vector<TDataRecord*> entries;
    entries.reserve(positions.size());
    for (const std::size_t at : positions)
        entries.push_back(db.GetRecord(static_cast<int>(at)));
    return entries;
}

// The entries just taken out: their addresses only.
std::vector<TDataRecord*> Slots(const TDataBase::TakenRecords& taken) {
    std::vector<TDataRecord*> entries;
    entries.reserve(taken.size());
    for (std::size_t k = 0; k < taken.size(); ++k)
        entries.push_back(taken.Slot(k));
    return entries;
}

std::vector<std::size_t> Positions(const TDataBase::TakenRecords& taken) {
    std::vector<std::size_t> positions;
    positions.reserve(taken.size());
    for (std::size_t k = 0; k < taken.size(); ++k)
        positions.push_back(taken.Position(k));
    return positions;
}

} // namespace

TDataBaseStep::TDataBaseStep(TDataBaseCommands& owner, const QString& text) : owner_(owner) {
    setText(text);
}

void TDataBaseStep::redo() {
    if (!owner_.quiet_)
        Apply()();
}

void TDataBaseStep::undo() {
    if (!owner_.quiet_)
        Revert()();
}

TDataBase& TDataBaseStep::dataBase() const {
    return owner_.dataBase_;
}

TDataBaseStep::Announcement TDataBaseStep::added(std::vector<TDataRecord*> entries) const {
    return [&owner = owner_, entries = std::move(entries)] { emit owner.EntriesAdded(entries); };
}

TDataBaseStep::Announcement TDataBaseStep::imported(std::vector<TDataRecord*> entries) const {
    return [&owner = owner_, entries = std::move(entries)] { emit owner.EntriesImported(entries); };
}

TDataBaseStep::Announcement TDataBaseStep::removed(std::vector<TDataRecord*> entries) const {
    return [&owner = owner_, entries = std::move(entries)] { emit owner.EntriesRemoved(entries); };
}

TDataBaseStep::Announcement TDataBaseStep::changed(TEntryChange change) const {
    return [&owner = owner_, change] { emit owner.EntriesChanged({change}); };
}

TEntryPresenceStep::TEntryPresenceStep(TDataBaseCommands& owner, const QString& text,
                                       std::uint32_t id, TDataBase::TakenRecords&& taken, bool adds)
    : TDataBaseStep(owner, text), id_(id), taken_(std::move(taken)), adds_(adds) {}

TDataBaseStep::Announcement TEntryPresenceStep::Apply() {
    return adds_ ? putBack() : takeOut();
}

TDataBaseStep::Announcement TEntryPresenceStep::Revert() {
    return adds_ ? takeOut() : putBack();
}

TDataBaseStep::Announcement TEntryPresenceStep::takeOut() {
    const std::uint32_t ids[] = {id_};
    taken_ = dataBase().TakeRecords(ids);
    return removed(Slots(taken_));
}

TDataBaseStep::Announcement TEntryPresenceStep::putBack() {
    const std::vector<std::size_t> positions = Positions(taken_);
    dataBase().PutBackRecords(taken_);
    return added(Entries(dataBase(), positions));
}

TImportStep::TImportStep(TDataBaseCommands& owner, const QString& text,
                         std::vector<std::uint32_t>&& ids)
    : TDataBaseStep(owner, text), ids_(std::move(ids)) {}

TDataBaseStep::Announcement TImportStep::Apply() {
    const std::vector<std::size_t> positions = Positions(taken_);
    dataBase().PutBackRecords(taken_);
    return imported(Entries(dataBase(), positions));
}

TDataBaseStep::Announcement TImportStep::Revert() {
    taken_ = dataBase().TakeRecords(ids_);
    return removed(Slots(taken_));
}

TChangeStep::TChangeStep(TDataBaseCommands& owner, TDataBase::TakenRecords&& other)
    : TDataBaseStep(owner, QStringLiteral("Datensatz ändern")), other_(std::move(other)) {}

TDataBaseStep::Announcement TChangeStep::Apply() {
    return swap();
}

TDataBaseStep::Announcement TChangeStep::Revert() {
    return swap();
}

// Values that only the entry in the database uses leave their lists, as
// after a change by hand; those of the other entry come back with their ticks.
TDataBaseStep::Announcement TChangeStep::swap() {
    TDataBase& db = dataBase();
    const std::uint32_t ids[] = {other_.Id(0)};
    TDataBase::TakenRecords present = db.TakeRecords(ids);
    if (present.empty())
        throw std::logic_error("changed entry is gone");
    const std::size_t at = present.Position(0);
    other_.SetPosition(0, at);
    try {
        db.PutBackRecords(other_);
    } catch (...) {
        db.PutBackRecords(present); // back as it was
        throw;
    }
    TDataRecord* going = present.Slot(0);
    other_ = std::move(present);
    return changed({going, db.GetRecord(static_cast<int>(at))});
}

TMergeStep::TMergeStep(TDataBaseCommands& owner, const QString& text,
                       TDataBase::TakenRecords&& removed, std::vector<std::uint32_t>&& added)
    : TDataBaseStep(owner, text), addedIds_(std::move(added)), removed_(std::move(removed)) {
    removedIds_.reserve(removed_.size());
    for (std::size_t k = 0; k < removed_.size(); ++k)
        removedIds_.push_back(removed_.Id(k));
}

TDataBaseStep::Announcement TMergeStep::Apply() {
    return swap(removedIds_, added_, removed_);
}

TDataBaseStep::Announcement TMergeStep::Revert() {
    return swap(addedIds_, removed_, added_);
}

// The entries put back stand at their old places once the others are out:
// each set was taken out of the database that the other set's places are
// counted in.
TDataBaseStep::Announcement TMergeStep::swap(const std::vector<std::uint32_t>& outIds,
                                             TDataBase::TakenRecords& in,
                                             TDataBase::TakenRecords& out) {
    TDataBase& db = dataBase();
    out = db.TakeRecords(outIds);
    const std::vector<std::size_t> positions = Positions(in);
    try {
        db.PutBackRecords(in);
    } catch (...) {
        db.PutBackRecords(out); // back as it was
        throw;
    }
    Announcement gone = removed(Slots(out));
    Announcement back = imported(Entries(db, positions));
    return [gone = std::move(gone), back = std::move(back)] {
        gone();
        back();
    };
}
