#pragma once

// The schedule store: owns every item of the open schedule file as a heap
// record, answers on which days an item occurs, which items the filters show
// and which alarms are due, and reads and writes the schedule file.

#include "core/eventdata.h"
#include "core/schedrecord.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A record that a load or import could not read: the line of the file it
// began on (from 1) and why.
struct DroppedRecord
{
    int line = 0;
    schedrecord::Fault reason = schedrecord::Fault::FieldCount;
    bool operator==(const DroppedRecord&) const = default;
};

class TSchedList
{
public:
    using Notify = std::function<void(TSchedList* sender)>;
    using HolidayTest = std::function<bool(days::Day day)>;

    TSchedList();
    virtual ~TSchedList();
    TSchedList(const TSchedList&) = delete;
    TSchedList& operator=(const TSchedList&) = delete;

    // --- State (read freely; write PriorityFilter and DoneHide directly) ---
    days::Day CurrentDate = 0;
    // Items of the day of the last SelectDay, and items whose alarm is due
    // after the last CheckAlarms. Not owned; removed items leave them.
    std::vector<PEventData> DayList;
    std::vector<PEventData> DueList;
    bool Modified = false;
    // Bit 0 secret, bit 1 personal, bit 2 company items; set by SetKindMask.
    std::int32_t KindMask = 0;
    // -1 all; 0 only items without priority; n >= 1 items with Priority >= n.
    std::int32_t PriorityFilter = -1;
    bool DoneHide = false;
    // Called synchronously when the items change (see SetModified).
    Notify OnModified;
    // Called by SetDate.
    Notify OnDateChange;
    // True while a file is read: no OnModified then.
    bool Loading = false;
    // The day-off test of the exclusion rule; an empty function answers
    // false for every day.
    HolidayTest IsHoliday;

    // --- The items, in store order ---
    int Count() const { return static_cast<int>(items_.size()); }
    PEventData Items(int index) const;
    const std::vector<PEventData>& All() const { return items_; }
    // True when the pointer is an item of this store (it never dereferences
    // the pointer, so a stale one is safe to ask about).
    bool Contains(const TEventData* item) const;
    // The item with this identity, or nullptr (a look-up, not a walk: views
    // find the items of their rows by it).
    PEventData FindById(std::uint64_t id) const;
    // Counts the changes the store has seen: items added, removed or changed
    // through SetModified or MarkModified, and Clear. A view that remembers
    // it knows whether its rows may show what is no longer so.
    std::uint64_t Revision() const { return revision_; }
    int IndexOf(const TEventData* item) const;

    // Frees every item; no event, Modified unchanged.
    virtual void Clear();
    // Modified := value, then OnModified unless Loading (also for false).
    virtual void SetModified(bool value);
    // Modified := value; when true the item's UpdateDate becomes today and,
    // with notify, OnModified is called.
    void MarkModified(bool value, bool notify, PEventData item);
    void SetDate(days::Day date);

    // Colours from the category text and the current occurrence from today.
    void PrepareEvent(TEventData& item);
    // Adds a heap copy of the record as a save and a load would give it back
    // (schedrecord::Settle: double quotes in its texts become "'", ...);
    // returns the index it was appended at, before any sorting.
    int AddEvent(const TEventData& record, bool sort);
    // Copies the record over the item (keeping the item's identity), settled
    // as AddEvent settles it.
    void UpdateEvent(PEventData item, const TEventData& record);
    // Frees and removes the item; false when it is not in the store.
    bool RemoveEvent(PEventData item);
    // RemoveEvent, then SetModified(true) when the item was found.
    bool DeleteEvent(PEventData item);

    // Mail links: the first item whose MailID equals the text ignoring case.
    PEventData FindByMailID(std::string_view mailId) const;
    void SetMailFolder(std::string_view mailId, std::string_view folder);

    // The first occurrence day of the item on or after day, or -1.
    days::Day NextOccurrence(const TEventData& item, days::Day day) const;
    bool IsExcludedDate(const TEventData& item, days::Day day) const;
    bool IsVisible(const TEventData& item) const;
    // Fills DayList with the visible items occurring on day, by start time.
    void SelectDay(days::Day day);
    // The same items without touching DayList (what the window shows).
    std::vector<PEventData> ItemsOn(days::Day day);
    PEventData DayEvent(int index) const;
    int DayEventCount() const { return static_cast<int>(DayList.size()); }
    // Advances repeating items whose occurrence is past (and, once the
    // current occurrence is over, to the next one when that one's alarm
    // moment has come) and fills DueList with the items whose alarm is due,
    // a repeating item's also when it rings on a day before its occurrence;
    // true when an occurrence advanced.
    bool CheckAlarms();
    void SetKindMask(std::int32_t mask);
    void SortEvents();

    // --- The schedule file ---
    // Mode 1: the record line; mode 2: the six-field exchange line.
    std::string EventToLine(const TEventData& item, int mode) const;
    // Parses one record and adds it unsorted; false when it was dropped.
    bool AddFromLine(std::string_view text);
    // Reads the records of a file into the store. A missing file changes
    // nothing. False (with the reason) when the file exists but cannot be
    // read. A record that does not parse costs only itself: it is dropped and
    // counted, and reading goes on with the next record (one that ran on over
    // later lines because of a stray quote is dropped by its first line).
    // After a plain load that dropped records, the file is copied to its
    // backup (BackupName) before it is first written over.
    bool LoadFromFile(const std::string& fileName, bool merge, std::string* error = nullptr);
    // The same from the file's contents (LoadFromFile without the file).
    void LoadFromText(std::string_view data, bool merge);
    // Clear, then LoadFromFile without merge.
    bool OpenFile(const std::string& fileName, std::string* error = nullptr);
    // Writes the whole store atomically. On failure the message goes to the
    // user, Modified stays and the old file is untouched.
    bool SaveToFile(const std::string& fileName);
    // Removes items whose record line equals that of an earlier item.
    void RemoveDuplicates();
    // Adds the rows of a CSV file (a missing file adds none; false when it
    // cannot be read). A first row without a date in the date column is a
    // header and is skipped; other rows that give no item are dropped and
    // counted.
    bool ImportCSV(const std::string& fileName, std::string* error = nullptr);
    void ImportCSVText(std::string_view data);

    // Records dropped by the last load or import, and the first few of them.
    int DroppedRecords() const { return dropped_; }
    const std::vector<DroppedRecord>& DroppedSamples() const { return droppedSamples_; }
    static constexpr std::size_t kDroppedSamples = 5;
    // The copy a damaged schedule file is kept as: the name with ".bak".
    static std::string BackupName(const std::string& fileName);

    // Comparators of the two sort orders (negative, zero, positive).
    static int CompareByStartTime(const TEventData* a, const TEventData* b);
    static int CompareByMoment(const TEventData* a, const TEventData* b);

    // The sort key: the occurrence day plus the start time, or plus 0.999 of
    // the day when the item has no time (in milliseconds).
    static std::int64_t MomentKey(const TEventData& item);

private:
    // Takes a settled heap record (one Parse gave, or Settle) into the store
    // as AddEvent does with its copy.
    int Adopt(std::unique_ptr<TEventData> item, bool sort);
    void Forget(const TEventData* item);
    void NoteDropped(int line, schedrecord::Fault reason);
    // Replaces out with the items of SelectDay.
    void CollectDay(days::Day day, std::vector<PEventData>& out);

    std::vector<PEventData> items_;
    // The recurrence patterns of the items, in store order, so that a day
    // list reads a few bytes per item. Rebuilt after any change the store
    // sees (Date, Repeat, LimitDate and ExceptDates of a stored item change
    // through UpdateEvent; other changes end in SetModified).
    std::vector<recur::Pattern> patterns_;
    bool patternsDirty_ = true;
    // Every item by its identity, in the order of the identities (they only
    // grow, so an added item goes at the end).
    std::vector<std::pair<std::uint64_t, PEventData>> byId_;
    std::uint64_t revision_ = 0;
    std::uint64_t nextId_ = 1;
    int dropped_ = 0;
    std::vector<DroppedRecord> droppedSamples_;
    // A file that loaded with dropped records (or could not be read): it is
    // copied to its backup before it is first written.
    std::string damagedFile_;
};
