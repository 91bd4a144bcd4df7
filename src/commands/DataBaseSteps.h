#pragma once

#include "commands/DataBaseCommands.h"
#include "core/DataBase.h"

#include <QUndoCommand>
#include <functional>
#include <vector>

class TDataBaseCommands;

// One step of the history. Apply and Revert do the database work with the
// strong guarantee (a failure changes nothing) and return the signal to send
// once the history has moved.
class TDataBaseStep : public QUndoCommand {
public:
    using Announcement = std::function<void()>;
    TDataBaseStep(TDataBaseCommands& owner, const QString& text);

    virtual Announcement Apply() = 0;
    virtual Announcement Revert() = 0;

    // QUndoStack's calls: they do the work unless the layer has done it.
    void redo() final;
    void undo() final;

protected:
    TDataBase& dataBase() const;
    Announcement added(std::vector<TDataRecord*> entries) const;
    Announcement imported(std::vector<TDataRecord*> entries) const;
    Announcement removed(std::vector<TDataRecord*> entries) const;
    Announcement changed(TEntryChange change) const;

private:
    TDataBaseCommands& owner_;
};

// A new entry or a deletion: the entry is in the database or owned by the
// step, with its ID and place.
class TEntryPresenceStep : public TDataBaseStep {
public:
    // A new entry (present now): `id`; a deletion (gone now): `taken`.
    TEntryPresenceStep(TDataBaseCommands& owner, const QString& text, std::uint32_t id,
                       TDataBase::TakenRecords&& taken, bool adds);
    Announcement Apply() override;
    Announcement Revert() override;

private:
    Announcement takeOut();
    Announcement putBack();

    std::uint32_t id_;
    TDataBase::TakenRecords taken_; // the entry while it is out
    bool adds_;
};

// An import (of a database file or CSV rows): the IDs of the entries it added, and the
// entries themselves while it is undone.
class TImportStep : public TDataBaseStep {
public:
    TImportStep(TDataBaseCommands& owner, const QString& text, std::vector<std::uint32_t>&& ids);
    Announcement Apply() override;
    Announcement Revert() override;

private:
    std::vector<std::uint32_t> ids_;
    TDataBase::TakenRecords taken_;
};

// A change: the entry that is not in the database now (at first a copy of
// the entry before the change, with the ticks of its values); undo and redo
// swap it with the one that is.
class TChangeStep : public TDataBaseStep {
public:
    TChangeStep(TDataBaseCommands& owner, TDataBase::TakenRecords&& other);
    Announcement Apply() override;
    Announcement Revert() override;

private:
    Announcement swap();

    TDataBase::TakenRecords other_;
};

// A merge with the file on disk: the entries it took out (owned while they
// are out) and the IDs of those it added; undo and redo swap the two sets.
class TMergeStep : public TDataBaseStep {
public:
    TMergeStep(TDataBaseCommands& owner, const QString& text, TDataBase::TakenRecords&& removed,
               std::vector<std::uint32_t>&& added);
    Announcement Apply() override;
    Announcement Revert() override;

private:
    // Takes the entries with `out` away and puts `in` back, with the strong
    // guarantee; returns the announcement of both.
    Announcement swap(const std::vector<std::uint32_t>& outIds, TDataBase::TakenRecords& in,
                      TDataBase::TakenRecords& out);

    std::vector<std::uint32_t> removedIds_;
    std::vector<std::uint32_t> addedIds_;
    TDataBase::TakenRecords removed_; // while they are out
    TDataBase::TakenRecords added_;   // while they are out (undone)
};
