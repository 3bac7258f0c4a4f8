#include "app/bulkdelete.h"

#include "core/recurrence.h"
#include "core/schedlist.h"

namespace {

// A series can start on any of its days only when that day is not what
// decides its other days: the day of the month of a monthly series, the date
// of a yearly one, the month of the other yearly kinds.
bool SameDays(const recur::Pattern& a, const recur::Pattern& b)
{
    if (a.kind != b.kind)
        return false;
    switch (a.kind) {
    case recur::Kind::MonthDay:
        return a.day0 == b.day0;
    case recur::Kind::YearDay:
        return a.month0 == b.month0 && a.day0 == b.day0;
    case recur::Kind::YearLast:
    case recur::Kind::YearWeek:
        return a.month0 == b.month0;
    case recur::Kind::Daily:
    case recur::Kind::Weekly:
    case recur::Kind::MonthLast:
    case recur::Kind::MonthWeek:
        return true;
    default:
        return false;
    }
}

// The first occurrence on or after day when it can start the series without
// changing its days; -1 when there is none or when it cannot (a day shifted
// off a holiday or a short month would start a series of other days, and a
// later one would drop the days before it).
days::Day NewStart(const TSchedList& store, const TEventData& item, days::Day day)
{
    const days::Day next = store.NextOccurrence(item, day);
    if (next < day)
        return -1;
    TEventData moved;
    moved.Repeat = item.Repeat;
    moved.Date = next;
    return SameDays(recur::CompilePattern(item), recur::CompilePattern(moved)) ? next : -1;
}

bool Kept(const TSchedList& store, const TEventData& item, const TRemoveChoice& choice)
{
    const bool secret = (item.KindBits & 1) != 0;
    if (secret && (store.KindMask & 1) == 0)
        return true;
    return (choice.RepSched && item.Repeat != 0) || (choice.Secret && secret) ||
        (choice.PriSched && item.Priority != 0) || (choice.UnKnown && item.KindBits > 3) ||
        (choice.DispOnly && !store.IsVisible(item));
}

} // namespace

int RemoveSchedules(TSchedList& store, const TRemoveChoice& choice)
{
    int removed = 0;
    bool moved = false;
    int index = 0;
    while (index < store.Count()) {
        PEventData item = store.Items(index);
        bool remove = false;
        if (!Kept(store, *item, choice)) {
            if (choice.AllSched) {
                remove = true;
            } else if (item->Repeat == 0) {
                remove = item->Date >= 0 && item->Date <= choice.RmDate;
            } else {
                remove = item->LimitDate >= 0 && item->LimitDate <= choice.RmDate;
                if (!remove && item->Date < choice.RmDate) {
                    // Moving the start to the cut-off day itself would move
                    // a weekly or yearly series onto other days.
                    const days::Day next = NewStart(store, *item, choice.RmDate);
                    if (next >= 0 && next != item->Date) {
                        item->Date = next;
                        store.PrepareEvent(*item);
                        moved = true;
                    }
                }
            }
        }
        if (remove) {
            store.RemoveEvent(item);
            ++removed;
        } else {
            ++index;
        }
    }
    if (moved)
        store.SortEvents();
    return removed;
}
