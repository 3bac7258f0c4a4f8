#pragma once

// TWScheduler, the calendar grid of the main window: a month (a header row
// of weekday names and six week rows of seven days) or a week (seven day
// rows in one column). It owns the schedule store and the holiday list,
// keeps the current date, lays out and sizes its cells, fires alarms,
// forwards item changes to the store and rewrites the schedule file after
// every change.
//
// The non-painting part (dates, layout, sizes, filters, alarms, change
// handling, events) is plain member functions that tests call directly. The
// painting builds a calpaint::CellModel per cell (CellModel) and hands it to
// calpaint::PaintCell.
//
// Events are std::function members, called only when set, on the GUI
// thread. OnClick and OnDblClick are the grid base's signals.

#include "core/holidays.h"
#include "core/schedlist.h"
#include "gui/grid.h"
#include "view/cellmodel.h"

#include <QFont>
#include <QPointer>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

enum TGridType { gtMonthly = 0, gtWeekly = 1 };
// 0 Sunday .. 6 Saturday.
using TDayOfWeek = int;

// The category filter: a set of TDataKind, bit (1 << kind).
enum TDataKind { dkPersonal = 0, dkOfficial = 1, dkSecret = 2 };
using TDataKinds = unsigned;
constexpr TDataKinds KindSet(TDataKind kind)
{
    return 1u << kind;
}

class TWScheduler : public TCustomGrid
{
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TWScheduler* sender)>;
    using TOnEventAlerm = std::function<void(TWScheduler* sender, PEventData event)>;
    // The rectangle is the cell inside its 3-pixel frame.
    using TOnDrawEvent = std::function<void(TWScheduler* sender, days::Day date, QPainter& canvas,
                                            const QRect& rect)>;

    // Fixed colours ($00BBGGRR).
    static constexpr TColor kFrameColor = 0x0000FF; // frame of the focused cell
    static constexpr TColor kFrameColorUnfocused = 0x808080;
    static constexpr TColor kWeekdayColor = 0x000000; // day numbers Monday to Friday
    static constexpr TColor kSundayColor = 0x0000FF;
    static constexpr TColor kHolidayColor = 0x00A5FF; // day number on a day off
    static constexpr TColor kSaturdayColor = 0xFF0000;
    static constexpr TColor kMarkColor = 0x800080; // alarm marks
    static constexpr TColor kSundayBack = 0xEEEEFF;
    static constexpr TColor kSaturdayBack = 0xFFEEEE;
    static constexpr TColor kDayOffBack = 0xFFEEFF;
    static constexpr TColor kOtherMonthBack = 0xDDDDDD;
    static constexpr TColor kOtherMonthNames = 0x888888;
    static constexpr TColor kGreyText = 0x808080;

    // Today is the current date; one fixed header row, 7 x 7 cells.
    explicit TWScheduler(QWidget* parent = nullptr);
    ~TWScheduler() override;

    TSchedList& Store() { return store_; }
    const TSchedList& Store() const { return store_; }
    // Rules change only through LoadHolidays (the day-off answers are kept).
    THolidayList& Holidays() { return holidays_; }
    const THolidayList& Holidays() const { return holidays_; }

    // --- Dates and navigation ---
    days::Day CurrentDate() const { return store_.CurrentDate; }
    // Makes the date current (the store raises OnChangeDate when it
    // differs), lays out again in the week grid or when the date lies outside
    // the shown month, and selects its cell. Programmatic: ReadOnly does not
    // refuse it. Days the calendar does not show (days::IsShown) are ignored:
    // new and pasted items take the current date.
    void SetCurrentDate(days::Day date);
    // A page move: pages months (month grid) or weeks (week grid), then
    // years, the day cut to the month's length. Nothing beyond the days
    // the calendar shows.
    void MoveBy(int years, int pages);
    int Year() const;
    int Month() const;
    int Day() const;
    // Invalid values (below 1, a year outside 1900..9999, a month above 12, a
    // day beyond the month) and unchanged ones are ignored. Year and Month
    // lay out again (OnChange); Day only moves the selection.
    void SetYear(int year);
    void SetMonth(int month);
    void SetDay(int day);
    int MonthLength() const;
    bool InShownMonth(days::Day date) const;
    // The date of a cell; -1 for the month grid's header row.
    days::Day CellDate(int col, int row) const;
    // Row 0 of the month grid: the weekday name; other cells: the day number
    // (Shift_JIS).
    std::string CellText(int col, int row) const;
    // The cell showing a date, or (-1, -1) when none does.
    TGridCoord DateCell(days::Day date) const;
    days::Day FirstOfMonth() const { return firstOfMonth_; }
    days::Day FirstCellDate() const { return firstCellDate_; }
    int MonthKey() const { return monthKey_; }

    // --- Items (the store does the work) ---
    // Opens the schedule file and remembers its name for every later save.
    // False (with the reason) when the file exists but cannot be read.
    bool LoadSchedule(const std::string& fileName, std::string* error = nullptr);
    // Writes the store to the remembered file; true when there is none.
    bool SaveSchedule();
    const std::string& ScheduleFileName() const { return fileName_; }
    // A copy with UpdateDate today goes to the store (sorted).
    void AddEvent(const TEventData& record);
    // Copies the record over the item; nothing when the item has left the
    // store.
    void UpdateEvent(PEventData item, const TEventData& record);
    void DeleteEvent(PEventData item);
    void SetModified(bool value);
    // Fills the store's day list for the current date.
    void SelectCurrentDay();
    // Rings every alarm that is due (see the .cpp); does nothing without an
    // OnAlerm handler or while a check is running.
    void CheckAlarms();
    // The store's change notification: writes the file when the store is
    // modified, then refreshes; always repaints.
    void ScheduleChanged();
    // Raises OnChangeDate when set.
    void ChangeDate();

    // --- Holidays ---
    // append false replaces the rules; a file that cannot be read says so in
    // error and returns false.
    bool LoadHolidays(const std::string& fileName, bool append, std::string* error = nullptr);
    // The day-off test the store's recurrence uses: a holiday rule or a
    // substitute holiday. Answers are kept until the rules change, since
    // every painted day asks it for each item that skips holidays.
    bool IsDayOff(days::Day date) const;

    // --- Filters (each repaints and raises OnChangeDate when it changes) ---
    TDataKinds DispKinds() const;
    void SetDispKinds(TDataKinds kinds);
    // The store's mask: bit 0 secret, bit 1 personal, bit 2 company.
    int GetKindMask() const { return store_.KindMask; }
    void SetKindMask(int mask);
    int PriorityFilter() const { return store_.PriorityFilter; }
    void SetPriorityFilter(int filter);
    bool DoneHide() const { return store_.DoneHide; }
    void SetDoneHide(bool hide);
    bool DispEvent3() const { return holidays_.DispEvent3; }
    void SetDispEvent3(bool on);

    // --- Layout and display ---
    TGridType GridType() const { return gridType_; }
    void SetGridType(TGridType type);
    TDayOfWeek StartOfWeek() const { return startOfWeek_; }
    void SetStartOfWeek(TDayOfWeek day);
    // Saturday and Sunday get a tenth of the room each.
    bool ThinHoliday() const { return thinHoliday_; }
    void SetThinHoliday(bool on);
    int DateWidth() const { return dateWidth_; }
    void SetDateWidth(int width);
    int DateBorder() const { return dateBorder_; }
    void SetDateBorder(int width);
    TColor TodayColor() const { return todayColor_; }
    void SetTodayColor(TColor color);
    bool DisplayTime() const { return displayTime_; }
    void SetDisplayTime(bool on);
    bool AutoTitle() const { return autoTitle_; }
    void SetAutoTitle(bool on);
    bool DispRokuyo() const { return dispRokuyo_; }
    void SetDispRokuyo(bool on);
    // Hints name the holidays of the day under the mouse.
    bool MakeHint() const { return makeHint_; }
    void SetMakeHint(bool on);
    // The user cannot move the selection (the program still can).
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on) { readOnly_ = on; }
    const QFont& DateFont() const { return dateFont_; }
    void SetDateFont(const QFont& font);
    const QFont& EventFont() const { return eventFont_; }
    // color: the text of items without a category colour.
    TColor EventFontColor() const { return eventFontColor_; }
    void SetEventFont(const QFont& font, TColor color = colors::clWindowText);

    // Room for every day number whole: the month grid's day rows and
    // columns, the week grid's rows, never smaller than a number in its
    // frame.
    QSize minimumSizeHint() const override;

    int MinRowHeight() const { return minRowHeight_; }
    bool InLayout() const { return inLayout_; }
    // Places the shown month or week around the current date and selects it.
    virtual void UpdateLayout();
    // Sizes the rows and columns for a client area.
    void ResizeCells(int width, int height);
    std::array<int, 7> CalcColumnWidths(int total) const;
    // Pixel height of a font as the layout counts it.
    int FontHeight(const QFont& font) const;

    // Qt::ImCursorRectangle is the selected cell (client coordinates): the
    // menu key opens the context menu there.
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

    // The hint for a client point: the holiday names of the day there.
    QString HintAt(QPoint clientPos);

    // The picture of a cell (see cellmodel.h); state as DrawCell gets it.
    calpaint::CellModel CellModel(int col, int row, TGridDrawState state);
    // The state DrawCell gives a cell now.
    TGridDrawState CellState(int col, int row) const;

    TNotifyEvent OnChange;
    TNotifyEvent OnChangeDate;
    TOnEventAlerm OnAlerm;
    TOnDrawEvent OnDrawEvent;

protected:
    void DrawCell(QPainter& painter, int col, int row, const QRect& rect,
                  TGridDrawState state) override;
    // Refused while ReadOnly, except for the layout's own moves; otherwise
    // the cell's date becomes current.
    bool SelectCell(int col, int row) override;
    // A right click selects the day under it first (as SelectCell allows),
    // so that the context menu that follows acts on that day.
    void mousePressEvent(QMouseEvent* event) override;
    // Lays out again and raises OnChange.
    virtual void DateChanged();
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct DayLook
    {
        QColor text;
        QColor background;
        bool inMonth = true;
    };
    DayLook DayColours(bool forceInMonth, days::Day date);
    calpaint::CellModel BuildModel(int col, int row, const QRect& rect, TGridDrawState state);
    QColor Colour(TColor color) const;
    void CellFrame(calpaint::CellModel& m, const QRect& area, TGridDrawState state) const;
    void HeaderCell(calpaint::CellModel& m, int col);
    void MonthCell(calpaint::CellModel& m, int col, int row, TGridDrawState state);
    void WeekCell(calpaint::CellModel& m, int row, TGridDrawState state);
    calpaint::TextPiece Text(calpaint::TextRole role, const QString& text, const QFont& font,
                             const QColor& color, QPoint at, const QRect& clip) const;
    // The heading and the holiday names of the day; a text that would be cut
    // by the area or touch keepClear is left out. Returns the top for item
    // lines.
    int HolidayNames(calpaint::CellModel& m, const QString& heading, const QRect& area, int space,
                     days::Day date, const QColor& headingColor, const QRect& keepClear);
    void EventLines(calpaint::CellModel& m, const QRect& area, days::Day date);
    // The six-day label of the day Kyureki was last calculated for, at the
    // corner given; nothing when it does not fit whole into area.
    std::optional<calpaint::TextPiece> RokuyoText(QPoint at, const QRect& area);
    // The day number's font in and outside the shown month.
    QFont NumberFont(bool inMonth) const;
    void SelectDateCell();
    void SetDatePart(int part, int value);
    void FilterChanged();
    void Relayout();

    TSchedList store_;
    THolidayList holidays_;
    std::string fileName_;
    TGridType gridType_ = gtMonthly;
    int dateBorder_ = 2;
    int minRowHeight_ = 0;
    int dateWidth_ = 80;
    bool thinHoliday_ = false;
    days::Day firstOfMonth_ = 0;
    days::Day firstCellDate_ = 0;
    int monthKey_ = -1;
    bool readOnly_ = false;
    TDayOfWeek startOfWeek_ = 0;
    bool alarmBusy_ = false;
    bool inLayout_ = false;
    bool displayTime_ = false;
    bool autoTitle_ = false;
    TColor todayColor_ = 0;
    QFont dateFont_;
    QFont eventFont_;
    TColor eventFontColor_ = colors::clWindowText;
    bool makeHint_ = false;
    bool dispRokuyo_ = false;
    bool destroying_ = false;
    // A failure of OnDrawEvent during the current paint, and whether the
    // user has been told of the last one.
    std::optional<std::string> drawError_;
    mutable std::unordered_map<days::Day, bool> dayOff_;
    calpaint::TextCache texts_;
    bool drawErrorShown_ = false;
};
