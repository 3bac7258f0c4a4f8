#include "core/schedlist.h"

#include "core/recurrence.h"
#include "core/sjis.h"

#include <algorithm>

TSchedList::TSchedList() = default;

TSchedList::~TSchedList()
{
    TSchedList::Clear();
}

PEventData TSchedList::Items(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return items_[static_cast<std::size_t>(index)];
}

int TSchedList::IndexOf(const TEventData* item) const
{
    if (!item)
        return -1;
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

bool TSchedList::Contains(const TEventData* item) const
{
    return IndexOf(item) >= 0;
}

namespace {

bool IdBefore(const std::pair<std::uint64_t, PEventData>& entry, std::uint64_t id)
{
    return entry.first < id;
}

} // namespace

PEventData TSchedList::FindById(std::uint64_t id) const
{
    const auto found = std::lower_bound(byId_.begin(), byId_.end(), id, IdBefore);
    return found != byId_.end() && found->first == id ? found->second : nullptr;
}

void TSchedList::Forget(const TEventData* item)
{
    std::erase(DayList, item);
    std::erase(DueList, item);
}

void TSchedList::Clear()
{
    patternsDirty_ = true;
    ++revision_;
    for (PEventData item : items_)
        delete item;
    items_.clear();
    byId_.clear();
    DayList.clear();
    DueList.clear();
}

void TSchedList::SetModified(bool value)
{
    patternsDirty_ = true;
    ++revision_;
    Modified = value;
    if (OnModified && !Loading)
        OnModified(this);
}

void TSchedList::MarkModified(bool value, bool notify, PEventData item)
{
    patternsDirty_ = true;
    ++revision_;
    Modified = value;
    if (!value)
        return;
    if (item)
        item->UpdateDate = days::Today();
    if (notify && OnModified)
        OnModified(this);
}

void TSchedList::SetDate(days::Day date)
{
    if (date == CurrentDate)
        return;
    CurrentDate = date;
    if (OnDateChange)
        OnDateChange(this);
}

void TSchedList::PrepareEvent(TEventData& item)
{
    std::string name;
    ParseKind(item.DataType, name, item.FontColor, item.BackColor);
    SetOccurrence(item, NextOccurrence(item, days::Today()));
}

int TSchedList::AddEvent(const TEventData& record, bool sort)
{
    auto owned = std::make_unique<TEventData>(record);
    schedrecord::Settle(*owned);
    return Adopt(std::move(owned), sort);
}

int TSchedList::Adopt(std::unique_ptr<TEventData> owned, bool sort)
{
    patternsDirty_ = true;
    owned->Id = nextId_++;
    PrepareEvent(*owned);
    items_.push_back(owned.get());
    byId_.emplace_back(owned->Id, owned.get());
    owned.release();
    const int index = Count() - 1;
    if (sort)
        SortEvents();
    SetModified(true);
    return index;
}

void TSchedList::UpdateEvent(PEventData item, const TEventData& record)
{
    if (!Contains(item))
        return;
    if (item != &record) {
        const std::uint64_t id = item->Id;
        *item = record;
        item->Id = id;
    }
    patternsDirty_ = true;
    item->UpdateDate = days::Today();
    schedrecord::Settle(*item);
    PrepareEvent(*item);
    SortEvents();
    SetModified(true);
}

bool TSchedList::RemoveEvent(PEventData item)
{
    const int index = IndexOf(item);
    if (index < 0)
        return false;
    Modified = true;
    patternsDirty_ = true;
    ++revision_;
    Forget(item);
    items_.erase(items_.begin() + index);
    byId_.erase(std::lower_bound(byId_.begin(), byId_.end(), item->Id, IdBefore));
    delete item;
    return true;
}

bool TSchedList::DeleteEvent(PEventData item)
{
    if (!RemoveEvent(item))
        return false;
    SetModified(true);
    return true;
}

PEventData TSchedList::FindByMailID(std::string_view mailId) const
{
    // An empty ID would name every item without a link.
    if (mailId.empty())
        return nullptr;
    for (PEventData item : items_)
        if (sjis::EqualsNoCase(item->MailID, mailId))
            return item;
    return nullptr;
}

void TSchedList::SetMailFolder(std::string_view mailId, std::string_view folder)
{
    PEventData item = FindByMailID(mailId);
    if (!item)
        return;
    item->MailFolder = std::string(folder);
    schedrecord::Settle(*item);
    MarkModified(true, false, item);
}

days::Day TSchedList::NextOccurrence(const TEventData& item, days::Day day) const
{
    return recur::Next(recur::RuleOf(item), day, IsHoliday);
}

bool TSchedList::IsExcludedDate(const TEventData& item, days::Day day) const
{
    return recur::IsExcluded(recur::RuleOf(item), day, IsHoliday);
}

bool TSchedList::IsVisible(const TEventData& item) const
{
    // Personal 0 -> 2, secret personal 1 -> 3, company 2 -> 4, secret company
    // 3 -> 5: every bit must be in the mask. 4 is shown by every filter.
    const std::int32_t k = item.KindBits + 2;
    if (item.KindBits != 4 && (k & ~KindMask) != 0)
        return false;
    if (PriorityFilter == 0 && item.Priority != 0)
        return false;
    if (PriorityFilter >= 1 && item.Priority < PriorityFilter)
        return false;
    if (DoneHide && item.Done && item.Priority == 4)
        return false;
    return true;
}

void TSchedList::SelectDay(days::Day day)
{
    CollectDay(day, DayList);
}

std::vector<PEventData> TSchedList::ItemsOn(days::Day day)
{
    std::vector<PEventData> items;
    CollectDay(day, items);
    return items;
}

void TSchedList::CollectDay(days::Day day, std::vector<PEventData>& out)
{
    out.clear();
    if (day > 0) {
        if (patternsDirty_ || patterns_.size() != items_.size()) {
            patterns_.clear();
            patterns_.reserve(items_.size());
            for (const TEventData* item : items_)
                patterns_.push_back(recur::CompilePattern(*item));
            patternsDirty_ = false;
        }
        recur::DayInfo info(day);
        for (std::size_t i = 0; i < items_.size(); ++i) {
            if (!recur::MayOccurOn(patterns_[i], info, IsHoliday))
                continue;
            PEventData item = items_[i];
            if (IsVisible(*item) && recur::OccursOn(recur::RuleOf(*item), info, IsHoliday))
                out.push_back(item);
        }
    }
    std::stable_sort(out.begin(), out.end(), [](const TEventData* a, const TEventData* b) {
        return CompareByStartTime(a, b) < 0;
    });
}

PEventData TSchedList::DayEvent(int index) const
{
    if (index < 0 || index >= DayEventCount())
        return nullptr;
    return DayList[static_cast<std::size_t>(index)];
}

bool TSchedList::CheckAlarms()
{
    DueList.clear();
    const days::Day t = days::Today();
    const days::Moment now = days::Now();
    bool advanced = false;
    for (PEventData item : items_) {
        if (item->Repeat != 0) {
            if (t >= item->NextDate) {
                const days::Day n = NextOccurrence(*item, t);
                if (n > 0 && n != item->NextDate) {
                    SetOccurrence(*item, n);
                    advanced = true;
                }
            }
            // Once the current occurrence is over, the alarm of the next one
            // may be due already: a lead of hours or days, or one across
            // midnight, rings before the day of its occurrence.
            if (item->AlarmBefore != 0 && item->NextDate > 0 &&
                now >= AlarmBaseTime(*item, item->NextDate)) {
                const days::Day n = NextOccurrence(*item, item->NextDate + 1);
                if (n > 0 && now >= AlarmMoment(*item, n)) {
                    SetOccurrence(*item, n);
                    advanced = true;
                }
            }
        }
        // A repeating item is asked about the day of its occurrence, which
        // lies after today while its alarm rings early.
        const days::Day asked = item->Repeat != 0 && item->NextDate > t ? item->NextDate : t;
        if (IsVisible(*item) && AlarmState(item, asked) == 3)
            DueList.push_back(item);
    }
    return advanced;
}

void TSchedList::SetKindMask(std::int32_t mask)
{
    if (mask == KindMask)
        return;
    KindMask = mask;
    // Alarms that came due while their items were hidden do not ring when
    // the items show again.
    const days::Moment now = days::Now();
    for (PEventData item : items_) {
        if (!item->Alarmed)
            item->Alarmed = now >= AlarmBaseTime(*item, item->NextDate) && !IsOpenDeadline(*item);
    }
}

std::int64_t TSchedList::MomentKey(const TEventData& e)
{
    // Milliseconds, so that the 0.999 of a day of an untimed item is exact.
    const std::int64_t day = e.NextDate > 0 ? e.NextDate : e.Date;
    return day * 86400000LL + (e.HasTime ? e.StartTime * 60000LL : 86313600LL);
}

namespace {

int Sign(std::int64_t v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

} // namespace

int TSchedList::CompareByStartTime(const TEventData* a, const TEventData* b)
{
    if (a->StartTime != b->StartTime || a == b)
        return Sign(static_cast<std::int64_t>(a->StartTime) - b->StartTime);
    return Sign(a->Subject.compare(b->Subject));
}

int TSchedList::CompareByMoment(const TEventData* a, const TEventData* b)
{
    const std::int64_t ka = MomentKey(*a), kb = MomentKey(*b);
    if (ka != kb)
        return ka < kb ? -1 : 1;
    if (a == b)
        return 0;
    return Sign(a->Subject.compare(b->Subject));
}

void TSchedList::SortEvents()
{
    patternsDirty_ = true;
    // Keys are computed once; equal keys keep their store order.
    std::vector<std::pair<std::int64_t, PEventData>> keyed;
    keyed.reserve(items_.size());
    for (PEventData item : items_)
        keyed.emplace_back(MomentKey(*item), item);
    auto less = [](const auto& x, const auto& y) {
        if (x.first != y.first)
            return x.first < y.first;
        return x.second->Subject.compare(y.second->Subject) < 0;
    };
    // A file the store wrote comes back in its order: nothing to move then.
    if (std::is_sorted(keyed.begin(), keyed.end(), less))
        return;
    std::stable_sort(keyed.begin(), keyed.end(), less);
    for (std::size_t i = 0; i < keyed.size(); ++i)
        items_[i] = keyed[i].second;
}
