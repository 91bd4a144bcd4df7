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
    TDataRecord probe;
    probe.language_ = c.spelling[0];
    probe.errorType_ = c.spelling[1];
    probe.project_ = c.spelling[2];
    probe.Date = c.date;
    probe.TimeNeeded = c.minutes;
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
    c.Set(0, Languages, data.Language);
    c.Set(1, ErrorTypes, data.ErrorType);
    c.Set(2, Projects, data.Project);
    c.date = data.Date;
    c.minutes = data.TimeNeeded;
    c.description = data.Description;
    c.id = NextID;
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
    c.Set(0, Languages, data.Language);
    c.Set(1, ErrorTypes, data.ErrorType);
    c.Set(2, Projects, data.Project);
    c.date = data.Date;
    c.minutes = data.TimeNeeded;
    c.description = data.Description;
    c.id = data.ID;
    const std::size_t position = positionOf(data.ID);
    if (position == Records.size()) {
        // An identical entry is refused before the missing one is noticed.
        TDataRecord probe;
        probe.language_ = c.spelling[0];
        probe.errorType_ = c.spelling[1];
        probe.project_ = c.spelling[2];
        probe.Date = c.date;
        probe.TimeNeeded = c.minutes;
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
    auto byId = [](const std::unique_ptr<TDataRecord>& r, std::uint32_t id) { return r->ID < id; };
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
    // All room first: nothing below throws.
    taken.reserve(positions.size());
    if (positions.empty())
        return taken;
    Index& ix = *index_;
    std::size_t kept = positions.front();
    std::size_t next = 0; // in positions
    for (std::size_t i = positions.front(); i < Records.size(); ++i) {
        if (next == positions.size() || positions[next] != i) {
            Records[kept] = std::move(Records[i]);
            ix.refs[kept] = ix.refs[i];
            ++kept;
            continue;
        }
        ++next;
        const Index::Refs refs = ix.refs[i];
        ix.identities.Erase(Records[i].get(), identity::Hash(*Records[i]));
        taken.push_back({std::move(Records[i]), i, refs.language->filter.Checked,
                         refs.errorType->filter.Checked, refs.project->filter.Checked});
        dropIfUnused(refs.language, refs.errorType, refs.project);
    }
    Records.resize(kept);
    ix.refs.resize(kept);
    Modified = true;
    return taken;
}

void TDataBase::PutBackRecords(std::vector<TakenRecord>& taken) {
    if (taken.empty())
        return;
    Index& ix = *index_;
    std::vector<std::uint64_t> hashes;
    hashes.reserve(taken.size());
    for (const TakenRecord& t : taken) {
        hashes.push_back(identity::Hash(*t.Record));
        if (ix.identities.Find(*t.Record, hashes.back()))
            throw InvalidEntryException();
    }
    const std::size_t total = Records.size() + taken.size();
    ix.identities.Reserve(total);
    // Entries that all go after the present ones are appended, one entry in
    // between goes in by an insert, more are merged into new vectors.
    const bool append = taken.front().Position >= Records.size();
    std::vector<std::unique_ptr<TDataRecord>> records;
    std::vector<Index::Refs> refs;
    if (append) {
        Records.reserve(total);
        ix.refs.reserve(total);
    } else if (taken.size() == 1) {
        MakeRoom(Records);
        MakeRoom(ix.refs);
    } else {
        records.reserve(total);
        refs.reserve(total);
    }
    // A value that is listed anew gets back the tick it had.
    auto value = [](TValueList& list, const std::string& text, bool ticked) {
        const int before = list.Count();
        TValueList::Node* node = list.findOrInsert(text);
        if (list.Count() != before)
            node->filter.Checked = ticked;
        return node;
    };
    std::vector<Index::Refs> takenRefs;
    takenRefs.reserve(taken.size());
    for (const TakenRecord& t : taken)
        takenRefs.push_back({value(Languages, t.Record->Language, t.LanguageTicked),
                             value(ErrorTypes, t.Record->ErrorType, t.ErrorTypeTicked),
                             value(Projects, t.Record->Project, t.ProjectTicked)});
    // Nothing below throws.
    for (std::size_t k = 0; k < taken.size(); ++k) {
        TDataRecord& record = *taken[k].Record;
        const Index::Refs& r = takenRefs[k];
        ix.identities.Insert(&record, hashes[k]);
        ++r.language->uses;
        ++r.errorType->uses;
        ++r.project->uses;
        record.Hidden = Hidden(AndFilter, r.language->filter.Checked, r.errorType->filter.Checked,
                               r.project->filter.Checked);
        NextID = std::max(NextID, record.ID + 1);
    }
    if (append) {
        for (std::size_t k = 0; k < taken.size(); ++k) {
            Records.push_back(std::move(taken[k].Record));
            ix.refs.push_back(takenRefs[k]);
        }
    } else if (taken.size() == 1) {
        const auto at = static_cast<std::ptrdiff_t>(std::min(taken[0].Position, Records.size()));
        Records.insert(Records.begin() + at, std::move(taken[0].Record));
        ix.refs.insert(ix.refs.begin() + at, takenRefs[0]);
    } else {
        std::size_t next = 0; // the next present entry
        for (std::size_t k = 0; k < taken.size(); ++k) {
            while (next < Records.size() && records.size() < taken[k].Position) {
                records.push_back(std::move(Records[next]));
                refs.push_back(ix.refs[next++]);
            }
            records.push_back(std::move(taken[k].Record));
            refs.push_back(takenRefs[k]);
        }
        for (; next < Records.size(); ++next) {
            records.push_back(std::move(Records[next]));
            refs.push_back(ix.refs[next]);
        }
        Records = std::move(records);
        ix.refs = std::move(refs);
    }
    taken.clear();
    Modified = true;
}
