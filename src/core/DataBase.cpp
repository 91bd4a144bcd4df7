#include "core/DataBase.h"

#include "core/DataBaseEntry.h"
#include "core/Errors.h"
#include "core/RecordIdentity.h"
#include "core/Spelling.h"
#include "core/ValueListImpl.h"
#include "fileio/FileStamp.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <new>
#include <stdexcept>

namespace {

// Default value lists of a new database, in Windows-1252 bytes.
constexpr const char* kDefaultLanguages[] = {
    "Ansi C", "Assembler",     "Basic",        "Borland Pascal", "C++",        "Fortran",
    "Java",   "Object Pascal", "Turbo Pascal", "Visual Basic",   "Visual C++",
};
constexpr const char* kDefaultErrorTypes[] = {
    "Eins-daneben-Fehler",
    "falscher logischer Ausdruck",
    "fehlerhafter Algorithmus",
    "Parameter verwechselt",
    ("unber\xFC"
     "cksichtigter Spezialfall"),
    "unerwarteter Routineneffekt",
    "vergessene Anweisung",
    "vertauschte Anweisungen",
    "Zeigerfehler",
};

// Grows a vector geometrically before a push_back that must not throw.
template <typename T> void MakeRoom(std::vector<T>& v) {
    if (v.size() == v.capacity())
        v.reserve(std::max<std::size_t>(16, v.size() * 2));
}

} // namespace

namespace {

bool Hidden(bool andFilter, bool language, bool errorType, bool project) {
    if (andFilter)
        return !(language && errorType && project);
    return !language && !errorType && !project;
}

bool Checked(const TSpelling* spelling) {
    return spelling->node->filter.Checked;
}

} // namespace

TDataBase::TDataBase() : index_(std::make_unique<Index>()) {
    Clear();
}

TDataBase::~TDataBase() = default;

int TDataBase::Count() const {
    return static_cast<int>(Records.size());
}

TDataRecord* TDataBase::GetRecord(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= Records.size())
        return nullptr;
    return Records[static_cast<std::size_t>(index)];
}

bool TDataBase::IsHidden(const TDataRecord& record) const {
    // Every value an entry uses is listed; the lookups stop as soon as the
    // answer is known, as the rule reads.
    const bool language = Checked(record.language_);
    if (AndFilter ? !language : language)
        return !language;
    const bool errorType = Checked(record.errorType_);
    if (AndFilter ? !errorType : errorType)
        return !errorType;
    return Hidden(AndFilter, language, errorType, Checked(record.project_));
}

const TDataRecord* TDataBase::FindIdentical(const TDataRecord& record) const {
    return index_->identities.Find(record, identity::Hash(record));
}

void TDataBase::AddLanguage(const std::string& value) {
    Languages.Add(value);
}
void TDataBase::AddErrorType(const std::string& value) {
    ErrorTypes.Add(value);
}
void TDataBase::AddProject(const std::string& value) {
    Projects.Add(value);
}

void TDataBase::RemoveUnusedValues(const std::string& language, const std::string& errorType,
                                   const std::string& project) {
    // Use counts stand for the walk over every entry: a value stays while an
    // entry uses it in any letter case.
    auto removeUnused = [](TValueList& list, const std::string& value) {
        if (TValueList::Node* node = list.find(value); node && node->uses == 0)
            list.remove(node);
    };
    removeUnused(Languages, language);
    removeUnused(ErrorTypes, errorType);
    removeUnused(Projects, project);
}

void TDataBase::Clear() {
    ++generation_;
    FileName.clear();
    DiskStamp = {};
    DiskEntries = -1;
    diskMark_ = 0;
    diskIdentities_.clear();
    Modified = false;
    index_->identities.Clear();
    std::vector<TDataRecord*>().swap(Records);
    index_->store.Clear();
    Languages.resetTo(kDefaultLanguages);
    ErrorTypes.resetTo(kDefaultErrorTypes);
    Projects.resetTo({});
    AndFilter = false;
    NextID = 1;
}

LoadReport TDataBase::Reload() {
    std::string name = FileName;
    Clear();
    FileName = std::move(name);
    // Taken before the load: a write during the load then counts as a change.
    DiskStamp = fileio::StampOf(FileName);
    // The entries read carry the new disk mark; only a file read to its end
    // is a base for a merge.
    stamping_ = nextDiskMark();
    LoadReport report = LoadFromFile(FileName);
    if (report.Error.empty() && DiskStamp.exists) {
        DiskEntries = static_cast<std::int64_t>(Records.size());
        diskMark_ = stamping_;
        diskIdentities_ = index_->identities.Hashes();
    }
    stamping_ = 0;
    Modified = false;
    return report;
}

void TDataBase::reserveFor(std::size_t moreEntries) {
    Records.reserve(Records.size() + moreEntries);
    index_->identities.Reserve(Records.size() + moreEntries);
    index_->store.Reserve(moreEntries);
}

std::size_t TDataBase::positionOf(std::uint32_t id) const {
    const auto it = std::find_if(Records.begin(), Records.end(),
                                 [id](const TDataRecord* record) { return record->ID == id; });
    return static_cast<std::size_t>(it - Records.begin());
}

TDataRecord* TDataBase::adopt(Candidate& c, std::size_t position, const TDataRecord* except) {
    // The entry that a change replaces is left out of the comparison, so a
    // change of the description alone is accepted.
    const TDataRecord probe = c.Probe();
    const std::uint64_t hash = identity::Hash(probe);
    if (const TDataRecord* hit = index_->identities.Find(probe, hash); hit && hit != except)
        throw InvalidEntryException();
    return place(c, hash, position, except);
}

TDataRecord* TDataBase::place(Candidate& c, std::uint64_t hash, std::size_t position,
                              const TDataRecord* except) {
    Index& ix = *index_;
    if (!except)
        MakeRoom(Records);
    ix.identities.Reserve(ix.identities.Size() + 1);
    TValueList* lists[3] = {&Languages, &ErrorTypes, &Projects};
    c.Resolve(lists);
    TDataRecord* record = ix.store.Take();
    try {
        record->description_ =
            c.textStored ? c.description.data() : ix.store.CopyText(c.description);
    } catch (...) {
        ix.store.Give(record);
        throw;
    }
    // Nothing below throws.
    record->descriptionSize_ = static_cast<std::uint32_t>(c.description.size());
    record->language_ = c.spelling[0];
    record->errorType_ = c.spelling[1];
    record->project_ = c.spelling[2];
    record->Date = c.date;
    record->TimeNeeded = c.minutes;
    record->ID = c.id;
    record->onDisk_ = stamping_;
    ix.identities.Insert(record, hash);
    Modified = true;
    // The new values are counted before a replaced entry's are let go, so a
    // value that the changed entry still uses stays.
    ++record->language_->node->uses;
    ++record->errorType_->node->uses;
    ++record->project_->node->uses;
    if (except) {
        ix.identities.Erase(except, identity::Hash(*except));
        Records[position] = record;
        dropIfUnused(*except);
        ix.store.Give(const_cast<TDataRecord*>(except));
    } else {
        Records.insert(Records.begin() + static_cast<std::ptrdiff_t>(position), record);
    }
    record->Hidden = Hidden(AndFilter, Checked(record->language_), Checked(record->errorType_),
                            Checked(record->project_));
    return record;
}

TDataRecord* TDataBase::AddRecord(const TRecordData& data) {
    return AddRecord(data.View());
}

TDataRecord* TDataBase::AddRecord(const TRecordView& data) {
    Candidate c;
    c.SetFrom(*this, data, NextID);
    TDataRecord* adopted = adopt(c, Records.size(), nullptr);
    ++NextID;
    return adopted;
}

std::size_t TDataBase::AddRecords(std::span<const TRecordView> entries,
                                  std::vector<std::uint32_t>& ids) {
    const std::size_t count = entries.size();
    reserveFor(count);
    ids.reserve(ids.size() + count);
    Index& ix = *index_;
    // The entries a few rows ahead are looked up already, and their index
    // slots asked for, so that the misses overlap. An entry's values may be
    // listed by an earlier row meanwhile: its own spellings then stand in for
    // them until it is adopted.
    constexpr std::size_t Ahead = 8;
    Candidate ring[Ahead];
    std::uint64_t hashes[Ahead] = {};
    auto prepare = [&](std::size_t k) {
        Candidate& c = ring[k % Ahead];
        c.SetFrom(*this, entries[k], 0);
        hashes[k % Ahead] = identity::Hash(c.Probe());
        ix.identities.Prefetch(hashes[k % Ahead]);
    };
    for (std::size_t k = 0; k < std::min(count, Ahead); ++k)
        prepare(k);
    std::size_t added = 0;
    for (std::size_t k = 0; k < count; ++k) {
        Candidate& c = ring[k % Ahead];
        if (!ix.identities.Find(c.Probe(), hashes[k % Ahead])) {
            c.id = NextID;
            ids.push_back(place(c, hashes[k % Ahead], Records.size(), nullptr)->ID);
            ++NextID;
            ++added;
        }
        if (k + Ahead < count)
            prepare(k + Ahead);
    }
    return added;
}

void TDataBase::dropIfUnused(const TDataRecord& record) {
    TValueList::Node* language = record.language_->node;
    TValueList::Node* errorType = record.errorType_->node;
    TValueList::Node* project = record.project_->node;
    --language->uses;
    --errorType->uses;
    --project->uses;
    if (language->uses == 0)
        Languages.remove(language);
    if (errorType->uses == 0)
        ErrorTypes.remove(errorType);
    if (project->uses == 0)
        Projects.remove(project);
}

void TDataBase::DeleteRecord(std::uint32_t id) {
    const std::size_t position = positionOf(id);
    if (position == Records.size())
        return;
    Index& ix = *index_;
    TDataRecord* record = Records[position];
    Modified = true;
    ix.identities.Erase(record, identity::Hash(*record));
    Records.erase(Records.begin() + static_cast<std::ptrdiff_t>(position));
    dropIfUnused(*record);
    ix.store.Give(record);
}

TDataRecord* TDataBase::ChangeRecord(const TRecordData& data) {
    Candidate c;
    c.SetFrom(*this, data.View(), data.ID);
    const std::size_t position = positionOf(data.ID);
    if (position == Records.size()) {
        // An identical entry is refused before the missing one is noticed.
        const TDataRecord probe = c.Probe();
        if (index_->identities.Find(probe, identity::Hash(probe)))
            throw InvalidEntryException();
        return nullptr;
    }
    return adopt(c, position, Records[position]);
}

void TDataBase::SetAndFilter(bool value) {
    AndFilter = value;
    for (TDataRecord* record : Records)
        record->Hidden = Hidden(value, Checked(record->language_), Checked(record->errorType_),
                                Checked(record->project_));
}

// Undo support: taking entries out and putting them back as they were. Both
// keep the value lists, their use counts, the identity index and NextID right.

// The positions of the entries with these IDs, ascending. IDs grow with the
// database order, so the search looks only at the range of positions between
// the smallest and the largest ID; when that range does not hold them all
// (an ID that no entry has), every entry is looked at.
std::vector<std::size_t> TDataBase::positionsOf(std::vector<std::uint32_t>& ids) const {
    if (!std::is_sorted(ids.begin(), ids.end())) // an import's are already
        std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    std::vector<std::size_t> positions;
    if (ids.empty())
        return positions;
    positions.reserve(ids.size());
    auto byId = [](const TDataRecord* r, std::uint32_t id) { return r->ID < id; };
    // A walk along both ascending sequences from the first wanted ID on.
    std::size_t next = 0;
    std::uint32_t last = 0;
    for (auto it = std::lower_bound(Records.begin(), Records.end(), ids.front(), byId);
         it != Records.end() && next < ids.size() && (*it)->ID >= last; ++it) {
        last = (*it)->ID;
        while (next < ids.size() && ids[next] < last)
            ++next;
        if (next < ids.size() && ids[next] == last) {
            positions.push_back(static_cast<std::size_t>(it - Records.begin()));
            ++next;
        }
    }
    if (positions.size() != ids.size()) {
        positions.clear();
        for (std::size_t i = 0; i < Records.size(); ++i)
            if (std::binary_search(ids.begin(), ids.end(), Records[i]->ID))
                positions.push_back(i);
    }
    return positions;
}

namespace {

// Entries ahead whose index slots are asked for while one is worked on.
constexpr std::size_t kPrefetchAhead = 8;

} // namespace

TRecordData TDataBase::TakenRecords::Data(std::size_t k) const {
    const Entry& e = entries_[k];
    TRecordData data;
    data.Language = values_[0][e.value[0]].text;
    data.ErrorType = values_[1][e.value[1]].text;
    data.Project = values_[2][e.value[2]].text;
    if (e.descriptionSize != 0)
        data.Description.assign(e.description, e.descriptionSize);
    data.Date = e.date;
    data.ID = e.id;
    data.TimeNeeded = e.minutes;
    return data;
}

TDataBase::TakenRecords TDataBase::copyAt(const std::vector<std::size_t>& positions) const {
    TakenRecords taken;
    taken.generation_ = generation_;
    taken.entries_.reserve(positions.size());
    // Each distinct spelling gets its number once, through a small
    // open-addressing table by address: a batch holds few distinct values.
    struct Numbered {
        const TSpelling* spelling = nullptr;
        std::uint32_t number = 0;
    };
    std::vector<Numbered> tables[3];
    auto slotOf = [](const std::vector<Numbered>& table, const TSpelling* spelling) {
        const std::size_t mask = table.size() - 1;
        std::size_t i =
            static_cast<std::size_t>(
                (reinterpret_cast<std::uintptr_t>(spelling) * 0x9E3779B97F4A7C15ull) >> 32) &
            mask;
        while (table[i].spelling && table[i].spelling != spelling)
            i = (i + 1) & mask;
        return i;
    };
    auto number = [&](int field, const TSpelling* spelling) {
        std::vector<Numbered>& table = tables[field];
        std::size_t i = slotOf(table, spelling);
        if (table[i].spelling)
            return table[i].number;
        auto& values = taken.values_[field];
        const auto n = static_cast<std::uint32_t>(values.size());
        values.push_back({spelling->text, Checked(spelling)});
        if ((values.size() + 1) * 2 > table.size()) {
            std::vector<Numbered> larger(table.size() * 2);
            for (const Numbered& old : table)
                if (old.spelling)
                    larger[slotOf(larger, old.spelling)] = old;
            table.swap(larger);
            i = slotOf(table, spelling);
        }
        table[i] = {spelling, n};
        return n;
    };
    for (std::vector<Numbered>& table : tables)
        table.resize(64);
    for (const std::size_t at : positions) {
        const TDataRecord& r = *Records[at];
        TakenRecords::Entry e;
        e.slot = Records[at];
        e.description = r.description_;
        e.descriptionSize = r.descriptionSize_;
        e.hash = identity::Hash(r);
        e.date = r.Date;
        e.id = r.ID;
        e.minutes = r.TimeNeeded;
        e.position = static_cast<std::uint32_t>(at);
        e.onDisk = r.onDisk_;
        e.value[0] = number(0, r.language_);
        e.value[1] = number(1, r.errorType_);
        e.value[2] = number(2, r.project_);
        taken.entries_.push_back(e);
    }
    return taken;
}

TDataBase::TakenRecords TDataBase::CopyRecords(std::span<const std::uint32_t> ids) const {
    std::vector<std::uint32_t> wanted(ids.begin(), ids.end());
    return copyAt(positionsOf(wanted));
}

TDataBase::TakenRecords TDataBase::TakeRecords(std::span<const std::uint32_t> ids) {
    std::vector<std::uint32_t> wanted(ids.begin(), ids.end());
    const std::vector<std::size_t> positions = positionsOf(wanted);
    // What the entries need to come back, first: nothing below throws.
    TakenRecords taken = copyAt(positions);
    if (positions.empty())
        return taken;
    // One pass: the kept entries close up, each taken one frees its slot.
    Index& ix = *index_;
    const auto& entries = taken.entries_;
    std::size_t kept = positions.front();
    std::size_t next = 0; // in positions
    for (std::size_t i = positions.front(); i < Records.size(); ++i) {
        TDataRecord* record = Records[i];
        if (next == positions.size() || positions[next] != i) {
            Records[kept++] = record;
            continue;
        }
        if (next + kPrefetchAhead < entries.size())
            ix.identities.Prefetch(entries[next + kPrefetchAhead].hash);
        ix.identities.Erase(record, entries[next].hash);
        ++next;
        dropIfUnused(*record);
        ix.store.Give(record);
    }
    Records.resize(kept);
    Modified = true;
    return taken;
}

void TDataBase::PutBackRecords(TakenRecords& taken) {
    if (taken.empty())
        return;
    if (taken.generation_ != generation_)
        throw std::logic_error("entries taken before the database was cleared");
    Index& ix = *index_;
    const auto& entries = taken.entries_;
    const std::size_t present = Records.size();
    Records.reserve(present + entries.size());
    ix.identities.Reserve(present + entries.size());
    ix.store.Reserve(entries.size());
    const bool append = entries.front().position >= present;
    std::vector<TDataRecord*> merged;
    if (!append)
        merged.reserve(present + entries.size());

    // The values first, each distinct one once; a value that comes back into
    // its list gets back its tick. The entries are appended one by one and
    // checked against those present (the taken ones were in the database
    // together, so they differ). Should one be refused or the room run out,
    // the entries put back so far leave again, and with them only the values
    // that they listed.
    TValueList* lists[3] = {&Languages, &ErrorTypes, &Projects};
    std::vector<const TSpelling*> spellings[3];
    std::vector<TValueList::Node*> listedAnew[3];
    std::uint32_t lastId = 0;
    try {
        for (std::size_t f = 0; f < 3; ++f) {
            spellings[f].reserve(taken.values_[f].size());
            for (const TakenRecords::Value& value : taken.values_[f]) {
                const TSpelling* spelling = lists[f]->findSpelling(value.text);
                if (!spelling) {
                    const int before = lists[f]->Count();
                    listedAnew[f].reserve(listedAnew[f].size() + 1);
                    spelling = lists[f]->intern(value.text);
                    if (lists[f]->Count() != before) {
                        spelling->node->filter.Checked = value.ticked;
                        listedAnew[f].push_back(spelling->node);
                    }
                }
                spellings[f].push_back(spelling);
            }
        }
        for (std::size_t k = 0; k < entries.size(); ++k) {
            if (k + kPrefetchAhead < entries.size())
                ix.identities.Prefetch(entries[k + kPrefetchAhead].hash);
            const TakenRecords::Entry& e = entries[k];
            TDataRecord* record = ix.store.Take();
            record->language_ = spellings[0][e.value[0]];
            record->errorType_ = spellings[1][e.value[1]];
            record->project_ = spellings[2][e.value[2]];
            record->description_ = e.description;
            record->descriptionSize_ = e.descriptionSize;
            record->Date = e.date;
            record->ID = e.id;
            record->TimeNeeded = e.minutes;
            record->onDisk_ = e.onDisk;
            if (ix.identities.Find(*record, e.hash)) {
                ix.store.Give(record);
                throw InvalidEntryException();
            }
            ix.identities.Insert(record, e.hash);
            ++record->language_->node->uses;
            ++record->errorType_->node->uses;
            ++record->project_->node->uses;
            record->Hidden = Hidden(AndFilter, Checked(record->language_),
                                    Checked(record->errorType_), Checked(record->project_));
            Records.push_back(record);
            lastId = std::max(lastId, e.id);
        }
    } catch (...) {
        for (std::size_t j = present; j < Records.size(); ++j) {
            TDataRecord* record = Records[j];
            ix.identities.Erase(record, entries[j - present].hash);
            --record->language_->node->uses;
            --record->errorType_->node->uses;
            --record->project_->node->uses;
            ix.store.Give(record);
        }
        Records.resize(present);
        for (std::size_t f = 0; f < 3; ++f)
            for (TValueList::Node* node : listedAnew[f])
                if (node->uses == 0)
                    lists[f]->remove(node);
        throw;
    }
    // Nothing below throws: the appended entries move to their old places.
    NextID = std::max(NextID, lastId + 1);
    Modified = true;
    if (!append) {
        std::size_t from = 0; // the next present entry
        for (std::size_t j = 0; j < entries.size(); ++j) {
            while (from < present && merged.size() < entries[j].position)
                merged.push_back(Records[from++]);
            merged.push_back(Records[present + j]);
        }
        merged.insert(merged.end(), Records.begin() + static_cast<std::ptrdiff_t>(from),
                      Records.begin() + static_cast<std::ptrdiff_t>(present));
        Records.swap(merged);
    }
    taken = TakenRecords();
}

std::uint16_t TDataBase::nextDiskMark() const {
    return static_cast<std::uint16_t>(diskMark_ % 0xFFFFu + 1);
}

// Identical by the duplicate rule, and the same to the byte.
static bool SameContent(const TDataRecord& a, const TDataRecord& b) {
    return a.Date == b.Date && a.TimeNeeded == b.TimeNeeded && a.Language() == b.Language() &&
           a.ErrorType() == b.ErrorType() && a.Project() == b.Project() &&
           a.Description() == b.Description();
}

TDataBase::MergePlan TDataBase::PlanMerge(const TDataBase& disk) const {
    MergePlan plan;
    std::vector<std::uint64_t> base = diskIdentities_;
    std::sort(base.begin(), base.end());
    const auto unchanged = [this](const TDataRecord& entry) {
        return diskMark_ != 0 && entry.onDisk_ == diskMark_;
    };
    for (int i = 0; i < disk.Count(); ++i) {
        const TDataRecord& onDisk = *disk.GetRecord(i);
        const std::uint64_t hash = identity::Hash(onDisk);
        if (const TDataRecord* here = index_->identities.Find(onDisk, hash)) {
            // Changed on disk only: the disk's entry takes its place.
            if (unchanged(*here) && !SameContent(*here, onDisk)) {
                plan.Remove.push_back(here->ID);
                plan.Add.push_back(i);
            }
        } else if (!std::binary_search(base.begin(), base.end(), hash)) {
            plan.Add.push_back(i); // new on disk; else deleted or changed here
        }
    }
    for (const TDataRecord* here : Records)
        if (unchanged(*here) && !disk.FindIdentical(*here))
            plan.Remove.push_back(here->ID); // deleted on disk, unchanged here
    return plan;
}
