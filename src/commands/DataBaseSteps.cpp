// The steps of the undo history: what each change of the entries keeps to go
// back and forth, and the database work of each direction.
#include "DataBaseSteps.h"

#include "DataBaseCommands.h"

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
std::vector<TDataRecord*> Slots(const std::vector<TDataBase::TakenRecord>& taken) {
    std::vector<TDataRecord*> entries;
    entries.reserve(taken.size());
    for (const auto& t : taken)
        entries.push_back(t.Slot);
    return entries;
}

std::vector<std::size_t> Positions(const std::vector<TDataBase::TakenRecord>& taken) {
    std::vector<std::size_t> positions;
    positions.reserve(taken.size());
    for (const auto& t : taken)
        positions.push_back(t.Position);
    return positions;
}

// The three value lists in field order, and an entry's values in the same order.
std::array<TValueList*, 3> Lists(TDataBase& db) {
    return {&db.Languages, &db.ErrorTypes, &db.Projects};
}
std::array<const std::string*, 3> Values(const TDataRecord& r) {
    return {&r.Language(), &r.ErrorType(), &r.Project()};
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

TDataBaseStep::Announcement TDataBaseStep::removed(std::vector<TDataRecord*> entries) const {
    return [&owner = owner_, entries = std::move(entries)] { emit owner.EntriesRemoved(entries); };
}

TDataBaseStep::Announcement TDataBaseStep::changed(TEntryChange change) const {
    return [&owner = owner_, change] { emit owner.EntriesChanged({change}); };
}

TEntryPresenceStep::TEntryPresenceStep(TDataBaseCommands& owner, const QString& text,
                                       std::uint32_t id,
                                       std::vector<TDataBase::TakenRecord>&& taken, bool adds)
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
    return added(Entries(dataBase(), positions));
}

TDataBaseStep::Announcement TImportStep::Revert() {
    taken_ = dataBase().TakeRecords(ids_);
    return removed(Slots(taken_));
}

TChangeStep::TChangeStep(TDataBaseCommands& owner, TDataBase::TakenRecord&& other)
    : TDataBaseStep(owner, QStringLiteral("Datensatz ändern")) {
    other_.push_back(std::move(other));
}

TDataBaseStep::Announcement TChangeStep::Apply() {
    return swap();
}

TDataBaseStep::Announcement TChangeStep::Revert() {
    return swap();
}

std::array<bool, 3> TChangeStep::TicksOf(TDataBase& db, const TDataRecord& record) {
    std::array<bool, 3> ticks{true, true, true};
    const auto lists = Lists(db);
    const auto values = Values(record);
    for (std::size_t i = 0; i < 3; ++i)
        if (const int at = lists[i]->IndexOf(*values[i]); at >= 0)
            ticks[i] = lists[i]->Filter(at).Checked;
    return ticks;
}

// Values that only the entry in the database uses leave their lists, as
// after a change by hand; those of the other entry come back with their ticks.
TDataBaseStep::Announcement TChangeStep::swap() {
    TDataBase& db = dataBase();
    const std::uint32_t ids[] = {other_.front().Data.ID};
    std::vector<TDataBase::TakenRecord> present = db.TakeRecords(ids);
    if (present.empty())
        throw std::logic_error("changed entry is gone");
    const std::size_t at = present.front().Position;
    other_.front().Position = at;
    try {
        db.PutBackRecords(other_);
    } catch (...) {
        db.PutBackRecords(present); // back as it was
        throw;
    }
    TDataRecord* going = present.front().Slot;
    other_ = std::move(present);
    return changed({going, db.GetRecord(static_cast<int>(at))});
}
