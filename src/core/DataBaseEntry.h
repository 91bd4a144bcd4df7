#pragma once

// Inside of TDataBase, shared by its entry functions and its file loader.

#include "core/DataBase.h"
#include "core/IdentityIndex.h"
#include "core/RecordIdentity.h"
#include "core/RecordStore.h"
#include "core/Spelling.h"

#include <string_view>

struct TDataBase::Index {
    // Every entry by its identity; the database never holds two identical ones.
    IdentityIndex identities;
    TRecordStore store;
};

// The fields of an entry about to be adopted. Each value is the spelling its
// list keeps, or until the entry is accepted a spelling of its own, so that a
// refused entry leaves the lists as they were.
struct TDataBase::Candidate {
    const TSpelling* spelling[3] = {};
    TSpelling unlisted[3];
    double date = 0.0;
    std::uint32_t minutes = 0;
    std::uint32_t id = 0;
    std::string_view description;
    // The description lies in the store's arena already (the loader copies
    // it there while it reads ahead).
    bool textStored = false;

    void Set(int field, TValueList& list, std::string_view text) {
        spelling[field] = list.findSpelling(text);
        if (!spelling[field]) {
            unlisted[field].text.assign(text);
            unlisted[field].foldedHash = identity::FoldedHash(text);
            spelling[field] = &unlisted[field];
        }
    }
    // Every field from `data`, with the ID `entryId`.
    void SetFrom(TDataBase& db, const TRecordView& data, std::uint32_t entryId) {
        Set(0, db.Languages, data.Language);
        Set(1, db.ErrorTypes, data.ErrorType);
        Set(2, db.Projects, data.Project);
        date = data.Date;
        minutes = data.TimeNeeded;
        description = data.Description;
        id = entryId;
    }
    // An entry with these fields, for looking up an identical one.
    [[nodiscard]] TDataRecord Probe() const {
        TDataRecord probe;
        probe.language_ = spelling[0];
        probe.errorType_ = spelling[1];
        probe.project_ = spelling[2];
        probe.Date = date;
        probe.TimeNeeded = minutes;
        return probe;
    }
    // Puts every unlisted spelling into its list.
    void Resolve(TValueList* lists[3]) {
        for (int field = 0; field < 3; ++field)
            if (spelling[field] == &unlisted[field])
                spelling[field] = lists[field]->intern(unlisted[field].text);
    }
};
