#include "DataBase.h"

#include "Errors.h"
#include "FileStamp.h"
#include "IdentityIndex.h"
#include "RecordIdentity.h"
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
    // The list values an entry uses, parallel to Records.
    struct Refs {
        TValueList::Node* language;
        TValueList::Node* errorType;
        TValueList::Node* project;
    };
    std::vector<Refs> refs;
    // Every entry by its identity; the database never holds two identical ones.
    IdentityIndex identities;
};

namespace {

bool Hidden(bool andFilter, bool language, bool errorType, bool project) {
    if (andFilter)
        return !(language && errorType && project);
    return !language && !errorType && !project;
}

// A value that is not listed counts as ticked: such an entry is not hidden for it.
bool CheckedIn(const TValueList::Node* node) {
    return node ? node->filter.Checked : true;
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
    return Records[static_cast<std::size_t>(index)].get();
}

bool TDataBase::IsHidden(const TDataRecord& record) const {
    const bool language = CheckedIn(Languages.find(record.Language));
    // The lookups stop as soon as the answer is known, as the rule reads.
    if (AndFilter ? !language : language)
        return !language;
    const bool errorType = CheckedIn(ErrorTypes.find(record.ErrorType));
    if (AndFilter ? !errorType : errorType)
        return !errorType;
    return Hidden(AndFilter, language, errorType, CheckedIn(Projects.find(record.Project)));
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
    index_->refs.clear();
    Records.clear();
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
    index_->refs.reserve(Records.size() + moreEntries);
    index_->identities.Reserve(Records.size() + moreEntries);
}

TDataRecord* TDataBase::AddRecord(std::unique_ptr<TDataRecord>&& record) {
    Index& ix = *index_;
    const std::uint64_t hash = identity::Hash(*record);
    if (ix.identities.Find(*record, hash))
        throw InvalidEntryException();
    MakeRoom(Records);
    MakeRoom(ix.refs);
    const Index::Refs refs{Languages.findOrInsert(record->Language),
                           ErrorTypes.findOrInsert(record->ErrorType),
                           Projects.findOrInsert(record->Project)};
    ix.identities.Insert(record.get(), hash);
    // Nothing below throws.
    record->ID = NextID++;
    TDataRecord* adopted = record.get();
    Records.push_back(std::move(record));
    ix.refs.push_back(refs);
    Modified = true;
    ++refs.language->uses;
    ++refs.errorType->uses;
    ++refs.project->uses;
    adopted->Hidden = Hidden(AndFilter, refs.language->filter.Checked,
                             refs.errorType->filter.Checked, refs.project->filter.Checked);
    return adopted;
}

void TDataBase::dropIfUnused(TValueList::Node* language, TValueList::Node* errorType,
                             TValueList::Node* project) {
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
    const auto it = std::find_if(Records.begin(), Records.end(),
                                 [id](const auto& record) { return record->ID == id; });
    if (it == Records.end())
        return;
    Index& ix = *index_;
    const auto position = static_cast<std::size_t>(it - Records.begin());
    Modified = true;
    ix.identities.Erase(it->get(), identity::Hash(**it));
    const Index::Refs old = ix.refs[position];
    Records.erase(it);
    ix.refs.erase(ix.refs.begin() + static_cast<std::ptrdiff_t>(position));
    dropIfUnused(old.language, old.errorType, old.project);
}

TDataRecord* TDataBase::ChangeRecord(std::unique_ptr<TDataRecord>&& record) {
    Index& ix = *index_;
    // The entry that the change replaces is left out of the comparison, so a
    // change of the description alone is accepted.
    const std::uint64_t hash = identity::Hash(*record);
    if (const TDataRecord* hit = ix.identities.Find(*record, hash); hit && hit->ID != record->ID)
        throw InvalidEntryException();
    const auto it = std::find_if(Records.begin(), Records.end(),
                                 [id = record->ID](const auto& r) { return r->ID == id; });
    if (it == Records.end())
        return nullptr;
    const auto position = static_cast<std::size_t>(it - Records.begin());
    const Index::Refs refs{Languages.findOrInsert(record->Language),
                           ErrorTypes.findOrInsert(record->ErrorType),
                           Projects.findOrInsert(record->Project)};
    // The index does not grow here (one out, one in), so this cannot throw.
    ix.identities.Erase(it->get(), identity::Hash(**it));
    ix.identities.Insert(record.get(), hash);
    // Nothing below throws.
    Modified = true;
    const Index::Refs old = ix.refs[position];
    *it = std::move(record);
    TDataRecord* adopted = it->get();
    ix.refs[position] = refs;
    // The new values are counted before the old ones are let go, so a value
    // that the changed entry still uses stays.
    ++refs.language->uses;
    ++refs.errorType->uses;
    ++refs.project->uses;
    dropIfUnused(old.language, old.errorType, old.project);
    adopted->Hidden = Hidden(AndFilter, refs.language->filter.Checked,
                             refs.errorType->filter.Checked, refs.project->filter.Checked);
    return adopted;
}

void TDataBase::SetAndFilter(bool value) {
    AndFilter = value;
    const Index& ix = *index_;
    for (std::size_t i = 0; i < Records.size(); ++i) {
        const Index::Refs& refs = ix.refs[i];
        Records[i]->Hidden = Hidden(value, refs.language->filter.Checked,
                                    refs.errorType->filter.Checked, refs.project->filter.Checked);
    }
}
