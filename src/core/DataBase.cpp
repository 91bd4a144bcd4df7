#include "DataBase.h"

#include "DataBaseEntry.h"
#include "Errors.h"
#include "FileStamp.h"
#include "IdentityIndex.h"
#include "RecordIdentity.h"
#include "RecordStore.h"
#include "Spelling.h"
#include "ValueListImpl.h"

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

struct TDataBase::Index {
    // Every entry by its identity; the database never holds two identical ones.
    IdentityIndex identities;
    TRecordStore store;
};

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
    FileName.clear();
    DiskStamp = {};
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
    LoadReport report = LoadFromFile(FileName);
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
    Index& ix = *index_;
    // The entry that a change replaces is left out of the comparison, so a
    // change of the description alone is accepted.
    const TDataRecord probe = c.Probe();
    const std::uint64_t hash = identity::Hash(probe);
    if (const TDataRecord* hit = ix.identities.Find(probe, hash); hit && hit != except)
        throw InvalidEntryException();
    if (!except)
        MakeRoom(Records);
    ix.identities.Reserve(ix.identities.Size() + 1);
    TValueList* lists[3] = {&Languages, &ErrorTypes, &Projects};
    c.Resolve(lists);
    TDataRecord* record = ix.store.Take();
    try {
        record->description_ = ix.store.CopyText(c.description);
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
    Candidate c;
    c.SetFrom(*this, data, NextID);
    TDataRecord* adopted = adopt(c, Records.size(), nullptr);
    ++NextID;
    return adopted;
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
    c.SetFrom(*this, data, data.ID);
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

std::vector<TDataBase::TakenRecord> TDataBase::TakeRecords(std::span<const std::uint32_t> ids) {
    std::vector<std::uint32_t> wanted(ids.begin(), ids.end());
    const std::vector<std::size_t> positions = positionsOf(wanted);
    std::vector<TakenRecord> taken;
    // The copies first: nothing below throws.
    taken.reserve(positions.size());
    for (const std::size_t at : positions) {
        const TDataRecord& r = *Records[at];
        taken.push_back({r.Data(), at, Records[at], Checked(r.language_), Checked(r.errorType_),
                         Checked(r.project_)});
    }
    if (positions.empty())
        return taken;
    // One pass: the kept entries close up, each taken one frees its slot.
    Index& ix = *index_;
    std::size_t kept = positions.front();
    std::size_t next = 0; // in positions
    for (std::size_t i = positions.front(); i < Records.size(); ++i) {
        TDataRecord* record = Records[i];
        if (next == positions.size() || positions[next] != i) {
            Records[kept++] = record;
            continue;
        }
        ++next;
        ix.identities.Erase(record, identity::Hash(*record));
        dropIfUnused(*record);
        ix.store.Give(record);
    }
    Records.resize(kept);
    Modified = true;
    return taken;
}

void TDataBase::PutBackRecords(std::vector<TakenRecord>& taken) {
    if (taken.empty())
        return;
    Index& ix = *index_;
    const std::size_t present = Records.size();
    const std::size_t total = present + taken.size();
    // Each entry is checked against the present ones before anything changes
    // (the taken ones were in the database together, so they differ).
    std::vector<Candidate> candidates(taken.size());
    for (std::size_t k = 0; k < taken.size(); ++k) {
        const TRecordData& d = taken[k].Data;
        Candidate& c = candidates[k];
        c.SetFrom(*this, d, d.ID);
        const TDataRecord probe = c.Probe();
        if (ix.identities.Find(probe, identity::Hash(probe)))
            throw InvalidEntryException();
    }
    Records.reserve(total);
    ix.identities.Reserve(total);
    ix.store.Reserve(taken.size());
    const bool append = taken.front().Position >= present;
    std::vector<TDataRecord*> merged;
    if (!append)
        merged.reserve(total);

    // Appended one by one; a value that is listed anew gets back its tick.
    // Should the room run out on the way, the entries put back so far leave
    // again, and with them only the values that they listed.
    TValueList* lists[3] = {&Languages, &ErrorTypes, &Projects};
    const bool* ticks[3] = {};
    std::vector<std::array<bool, 3>> listedAnew(taken.size());
    const std::uint32_t nextId = NextID;
    const bool modified = Modified;
    std::size_t k = 0;
    try {
        for (; k < taken.size(); ++k) {
            const TakenRecord& t = taken[k];
            ticks[0] = &t.LanguageTicked;
            ticks[1] = &t.ErrorTypeTicked;
            ticks[2] = &t.ProjectTicked;
            int before[3];
            for (int f = 0; f < 3; ++f)
                before[f] = lists[f]->Count();
            TDataRecord* record = adopt(candidates[k], Records.size(), nullptr);
            const TSpelling* spellings[3] = {record->language_, record->errorType_,
                                             record->project_};
            for (std::size_t f = 0; f < 3; ++f) {
                listedAnew[k][f] = lists[f]->Count() != before[f];
                if (listedAnew[k][f])
                    spellings[f]->node->filter.Checked = *ticks[f];
            }
            record->Hidden = Hidden(AndFilter, Checked(record->language_),
                                    Checked(record->errorType_), Checked(record->project_));
            NextID = std::max(NextID, record->ID + 1);
        }
    } catch (...) {
        while (k-- > 0) {
            TDataRecord* record = Records.back();
            Records.pop_back();
            ix.identities.Erase(record, identity::Hash(*record));
            TValueList::Node* nodes[3] = {record->language_->node, record->errorType_->node,
                                          record->project_->node};
            for (std::size_t f = 0; f < 3; ++f)
                if (--nodes[f]->uses == 0 && listedAnew[k][f])
                    lists[f]->remove(nodes[f]);
            ix.store.Give(record);
        }
        NextID = nextId;
        Modified = modified;
        throw;
    }
    // Nothing below throws: the appended entries move to their old places.
    if (!append) {
        std::size_t from = 0; // the next present entry
        for (std::size_t j = 0; j < taken.size(); ++j) {
            while (from < present && merged.size() < taken[j].Position)
                merged.push_back(Records[from++]);
            merged.push_back(Records[present + j]);
        }
        merged.insert(merged.end(), Records.begin() + static_cast<std::ptrdiff_t>(from),
                      Records.begin() + static_cast<std::ptrdiff_t>(present));
        Records.swap(merged);
    }
    taken.clear();
}
