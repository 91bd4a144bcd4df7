#pragma once

#include "core/DataRecord.h"

#include <QString>
#include <array>

// The five column slots of the record list, leftmost first; occupied slots come
// first, 0 (ckNone) marks an empty slot, and a kind occurs at most once.
using TColumnOrder = std::array<TColumnKind, 5>;

// Column caption of each TColumnKind code: "", "Sprache", "Kategorie",
// "Projekt", "Datum", "Aufwand".
extern const std::array<QString, 6> ColumnCaptions;

// Number of occupied slots.
int OccupiedSlots(const TColumnOrder& order);
