#pragma once

// The bulk delete: which items of the store go, given the choices of the
// bulk-delete dialog.

#include "core/days.h"

class TSchedList;

struct TRemoveChoice
{
    // Items to keep whatever the range says.
    bool RepSched = false; // repeating items
    bool PriSched = false; // items with a priority
    bool Secret = false; // secret items
    bool UnKnown = false; // unclassified items (category bits above 3)
    bool DispOnly = false; // only items the current filters show may go
    // The range: every item, or (false) the items up to RmDate.
    bool AllSched = false;
    days::Day RmDate = 0;
};

// Removes the items the choice does not keep, without a change notice per
// item (the caller announces the change once). Secret items that the filters
// hide are always kept: they cannot be seen, so they are not deleted
// unseen. A repeating item that stays and started before RmDate begins at
// its first occurrence on or after RmDate, so that its days stay the same.
// Returns the number of items removed.
int RemoveSchedules(TSchedList& store, const TRemoveChoice& choice);
