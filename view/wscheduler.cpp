#include "view/wscheduler.h"

#include "core/sjis.h"
#include "gui/msgdlg.h"
#include "gui/qtext.h"
#include "view/calgeom.h"

#include <QHelpEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <exception>
#include <vector>

TWScheduler::TWScheduler(QWidget* parent) : TCustomGrid(parent)
{
    store_.OnModified = [this](TSchedList*) { ScheduleChanged(); };
    store_.OnDateChange = [this](TSchedList*) { ChangeDate(); };
    store_.IsHoliday = [this](days::Day day) { return IsDayOff(day); };

    SetScrollBars(ssNone);
    SetColCount(7);
    SetRowCount(7);
    SetFixedCols(0);
    SetFixedRows(1);
    SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine);
    dateFont_ = font();
    eventFont_ = font();
    SetCurrentDate(days::Today());
}

TWScheduler::~TWScheduler()
{
    // The store's callbacks point back here; nothing may run them now.
    destroying_ = true;
    store_.OnModified = nullptr;
    store_.OnDateChange = nullptr;
    store_.IsHoliday = nullptr;
}

// --- dates and navigation --------------------------------------------------

void TWScheduler::SetCurrentDate(days::Day date)
{
    if (!days::IsShown(date))
        return;
    store_.SetDate(date);
    if (gridType_ == gtWeekly || !InShownMonth(date))
        DateChanged();
    SelectDateCell();
}

void TWScheduler::MoveBy(int years, int pages)
{
    days::Day target = 0;
    if (calgeom::MoveTarget(gridType_ == gtWeekly, firstOfMonth_, CurrentDate(), years, pages,
                            target))
        SetCurrentDate(target);
}

int TWScheduler::Year() const
{
    return days::Decode(CurrentDate()).year;
}

int TWScheduler::Month() const
{
    return days::Decode(CurrentDate()).month;
}

int TWScheduler::Day() const
{
    return days::Decode(CurrentDate()).day;
}

void TWScheduler::SetYear(int year)
{
    SetDatePart(static_cast<int>(calgeom::DatePart::Year), year);
}

void TWScheduler::SetMonth(int month)
{
    SetDatePart(static_cast<int>(calgeom::DatePart::Month), month);
}

void TWScheduler::SetDay(int day)
{
    SetDatePart(static_cast<int>(calgeom::DatePart::Day), day);
}

void TWScheduler::SetDatePart(int part, int value)
{
    const auto which = static_cast<calgeom::DatePart>(part);
    days::Day date = 0;
    if (!calgeom::ReplaceDatePart(CurrentDate(), which, value, date))
        return;
    store_.SetDate(date);
    // A new day keeps the layout unless its cell is not shown (a day of the
    // month outside the shown week, or the month of a grey cell).
    if (which != calgeom::DatePart::Day || !DateCell(date).Valid())
        DateChanged();
    SelectDateCell();
}

int TWScheduler::MonthLength() const
{
    return days::DaysInMonth(Year(), Month());
}

bool TWScheduler::InShownMonth(days::Day date) const
{
    if (date < days::kMinDay || date > days::kMaxDay)
        return false;
    return calgeom::FirstOfMonth(date) == monthKey_;
}

days::Day TWScheduler::CellDate(int col, int row) const
{
    if (gridType_ == gtWeekly)
        return firstCellDate_ + row;
    if (row == 0)
        return -1;
    return firstCellDate_ + col + (row - 1) * 7;
}

std::string TWScheduler::CellText(int col, int row) const
{
    if (gridType_ == gtMonthly && row == 0) {
        static const char* const names[7] = { "日", "月", "火", "水", "木", "金", "土" };
        return sjis::FromUtf8(names[(col + startOfWeek_) % 7]);
    }
    return std::to_string(days::Decode(CellDate(col, row)).day);
}

TGridCoord TWScheduler::DateCell(days::Day date) const
{
    const long long d = static_cast<long long>(date) - firstCellDate_;
    if (gridType_ == gtWeekly)
        return d >= 0 && d < 7 ? TGridCoord { 0, static_cast<int>(d) } : TGridCoord {};
    if (d < 0 || d >= 42)
        return {};
    return { static_cast<int>(d % 7), static_cast<int>(d / 7) + 1 };
}

void TWScheduler::SelectDateCell()
{
    const TGridCoord cell = DateCell(CurrentDate());
    if (cell.Valid())
        SetSelection({ cell.X, cell.Y, cell.X, cell.Y });
}

bool TWScheduler::SelectCell(int col, int row)
{
    if (readOnly_ && !inLayout_)
        return false;
    const days::Day date = CellDate(col, row);
    if (date < days::kMinDay || date > days::kMaxDay)
        return false;
    store_.SetDate(date);
    return true;
}

void TWScheduler::mousePressEvent(QMouseEvent* event)
{
    TCustomGrid::mousePressEvent(event);
    if (event->button() != Qt::RightButton)
        return;
    const QPoint pos = event->position().toPoint();
    const TGridCoord cell = MouseCoord(pos.x(), pos.y());
    if (cell.X >= FixedCols() && cell.Y >= FixedRows()) {
        setFocus(Qt::MouseFocusReason);
        FocusCell(cell.X, cell.Y);
    }
}

QVariant TWScheduler::inputMethodQuery(Qt::InputMethodQuery query) const
{
    if (query == Qt::ImCursorRectangle)
        return CellRect(Col(), Row());
    return TCustomGrid::inputMethodQuery(query);
}

// --- layout and sizes ------------------------------------------------------

void TWScheduler::UpdateLayout()
{
    const bool outer = !inLayout_;
    inLayout_ = true;
    struct Restore
    {
        bool& flag;
        bool outer;
        ~Restore()
        {
            if (outer)
                flag = false;
        }
    } restore { inLayout_, outer };

    firstOfMonth_ = calgeom::FirstOfMonth(CurrentDate());
    monthKey_ = firstOfMonth_;
    if (gridType_ == gtMonthly)
        firstCellDate_ = calgeom::MonthGridStart(firstOfMonth_, startOfWeek_);
    else
        firstCellDate_ = calgeom::WeekGridStart(CurrentDate(), startOfWeek_);
    SelectDateCell();
    InvalidateGrid();
}

void TWScheduler::DateChanged()
{
    if (destroying_)
        return;
    UpdateLayout();
    if (OnChange)
        OnChange(this);
}

void TWScheduler::Relayout()
{
    ResizeCells(ClientWidth(), ClientHeight());
    UpdateLayout();
}

void TWScheduler::SetGridType(TGridType type)
{
    if (type == gridType_ || (type != gtMonthly && type != gtWeekly))
        return;
    const days::Day kept = CurrentDate();
    gridType_ = type;
    SetRowCount(7);
    SetFixedCols(0);
    if (type == gtWeekly) {
        SetFixedRows(0);
        SetColCount(1);
    } else {
        SetColCount(7);
        SetFixedRows(1);
    }
    SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine);
    monthKey_ = -1;
    updateGeometry();
    ResizeCells(ClientWidth(), ClientHeight());
    SetCurrentDate(kept);
}

void TWScheduler::SetStartOfWeek(TDayOfWeek day)
{
    if (day < 0 || day > 6 || day == startOfWeek_)
        return;
    startOfWeek_ = day;
    Relayout();
}

void TWScheduler::SetThinHoliday(bool on)
{
    if (on == thinHoliday_)
        return;
    thinHoliday_ = on;
    updateGeometry();
    ResizeCells(ClientWidth(), ClientHeight());
}

int TWScheduler::FontHeight(const QFont& f) const
{
    if (f.pixelSize() > 0)
        return f.pixelSize();
    return qRound(f.pointSizeF() * logicalDpiY() / 72.0);
}

QSize TWScheduler::minimumSizeHint() const
{
    // The widest and tallest day number, in and outside the shown month.
    int numberWidth = 0;
    int numberHeight = 0;
    for (const bool inMonth : { true, false }) {
        const QFontMetrics metrics(NumberFont(inMonth));
        numberHeight = std::max(numberHeight, metrics.height());
        for (int day = 1; day <= 31; ++day)
            numberWidth = std::max(numberWidth, metrics.horizontalAdvance(QString::number(day)));
    }
    // The smallest total whose seven shares each hold need pixels.
    auto sharedBySeven = [this](int need) {
        for (int total = 7 * (need + GridLineWidth());; ++total) {
            const auto sizes =
                calgeom::CellSizes(total, GridLineWidth(), thinHoliday_, startOfWeek_);
            if (*std::min_element(sizes.begin(), sizes.end()) >= need)
                return total;
        }
    };
    QSize client;
    if (gridType_ == gtMonthly) {
        // Inside the 3-pixel frame of the selected cell.
        constexpr int kFrame = 3;
        const int row = numberHeight + 2 * kFrame;
        client.setWidth(sharedBySeven(numberWidth + 2 * kFrame));
        client.setHeight(FontHeight(eventFont_) + 4 + 6 * row + RowCount() * GridLineWidth());
    } else {
        // The date column's bevel and margin around the number.
        client.setWidth(std::max(dateWidth_, numberWidth + 4 + 2 * dateBorder_) + 1);
        client.setHeight(sharedBySeven(numberHeight + 2 * dateBorder_));
    }
    return client + QSize(2 * frameWidth(), 2 * frameWidth());
}

std::array<int, 7> TWScheduler::CalcColumnWidths(int total) const
{
    return calgeom::CellSizes(total, GridLineWidth(), thinHoliday_, startOfWeek_);
}

void TWScheduler::ResizeCells(int width, int height)
{
    if (destroying_)
        return;
    if (gridType_ == gtMonthly) {
        const int header = FontHeight(eventFont_) + 4;
        SetRowHeights(0, header);
        const auto rows = calgeom::DayRowHeights(height - header - RowCount() * GridLineWidth());
        for (int i = 0; i < 6; ++i)
            SetRowHeights(i + 1, rows[i]);
        minRowHeight_ = *std::min_element(rows.begin(), rows.end());
        const auto cols = CalcColumnWidths(width);
        for (int i = 0; i < 7; ++i)
            SetColWidths(i, cols[i]);
    } else {
        SetColWidths(0, std::max(width, 0));
        const auto rows = CalcColumnWidths(height);
        for (int i = 0; i < 7; ++i)
            SetRowHeights(i, rows[i]);
        minRowHeight_ = rows[0];
    }
}

void TWScheduler::resizeEvent(QResizeEvent* event)
{
    ResizeCells(ClientWidth(), ClientHeight());
    TCustomGrid::resizeEvent(event);
}

// --- display switches ------------------------------------------------------

void TWScheduler::SetDateWidth(int width)
{
    if (width == dateWidth_)
        return;
    dateWidth_ = std::max(width, 0);
    updateGeometry();
    InvalidateGrid();
}

void TWScheduler::SetDateBorder(int width)
{
    if (width == dateBorder_)
        return;
    dateBorder_ = std::max(width, 0);
    updateGeometry();
    InvalidateGrid();
}

void TWScheduler::SetTodayColor(TColor color)
{
    if (color == todayColor_)
        return;
    todayColor_ = color;
    InvalidateGrid();
}

void TWScheduler::SetDisplayTime(bool on)
{
    if (on == displayTime_)
        return;
    displayTime_ = on;
    InvalidateGrid();
}

void TWScheduler::SetAutoTitle(bool on)
{
    if (on == autoTitle_)
        return;
    autoTitle_ = on;
    InvalidateGrid();
}

void TWScheduler::SetDispRokuyo(bool on)
{
    if (on == dispRokuyo_)
        return;
    dispRokuyo_ = on;
    InvalidateGrid();
}

void TWScheduler::SetMakeHint(bool on)
{
    makeHint_ = on;
    if (!on)
        QToolTip::hideText();
}

void TWScheduler::SetDateFont(const QFont& font)
{
    dateFont_ = font;
    updateGeometry();
    InvalidateGrid();
}

void TWScheduler::SetEventFont(const QFont& font, TColor color)
{
    eventFont_ = font;
    eventFontColor_ = color;
    // The header row's height follows the font.
    updateGeometry();
    ResizeCells(ClientWidth(), ClientHeight());
    InvalidateGrid();
}

// --- filters ---------------------------------------------------------------

TDataKinds TWScheduler::DispKinds() const
{
    const int mask = store_.KindMask;
    TDataKinds kinds = 0;
    if (mask & 1)
        kinds |= KindSet(dkSecret);
    if (mask & 2)
        kinds |= KindSet(dkPersonal);
    if (mask & 4)
        kinds |= KindSet(dkOfficial);
    return kinds;
}

void TWScheduler::SetDispKinds(TDataKinds kinds)
{
    int mask = 0;
    if (kinds & KindSet(dkSecret))
        mask |= 1;
    if (kinds & KindSet(dkPersonal))
        mask |= 2;
    if (kinds & KindSet(dkOfficial))
        mask |= 4;
    SetKindMask(mask);
}

void TWScheduler::FilterChanged()
{
    ChangeDate();
    InvalidateGrid();
}

void TWScheduler::SetKindMask(int mask)
{
    if (mask == store_.KindMask)
        return;
    store_.SetKindMask(mask);
    FilterChanged();
}

void TWScheduler::SetPriorityFilter(int filter)
{
    if (filter == store_.PriorityFilter)
        return;
    store_.PriorityFilter = filter;
    FilterChanged();
}

void TWScheduler::SetDoneHide(bool hide)
{
    if (hide == store_.DoneHide)
        return;
    store_.DoneHide = hide;
    FilterChanged();
}

void TWScheduler::SetDispEvent3(bool on)
{
    if (on == holidays_.DispEvent3)
        return;
    holidays_.DispEvent3 = on;
    InvalidateGrid();
}

// --- holidays --------------------------------------------------------------

bool TWScheduler::LoadHolidays(const std::string& fileName, bool append, std::string* error)
{
    if (!append)
        holidays_.Clear();
    dayOff_.clear();
    const bool ok = holidays_.LoadFromFile(fileName, error);
    InvalidateGrid();
    return ok;
}

bool TWScheduler::IsDayOff(days::Day date) const
{
    const auto found = dayOff_.find(date);
    if (found != dayOff_.end())
        return found->second;
    if (dayOff_.size() > 100000)
        dayOff_.clear();
    const bool off = holidays_.IsDayOff(date);
    dayOff_.emplace(date, off);
    return off;
}

// --- items -----------------------------------------------------------------

bool TWScheduler::LoadSchedule(const std::string& fileName, std::string* error)
{
    // The name is kept even when reading fails: the store keeps a copy of a
    // file it could not read in full before it first writes over it.
    const bool ok = store_.OpenFile(fileName, error);
    fileName_ = fileName;
    InvalidateGrid();
    return ok;
}

bool TWScheduler::SaveSchedule()
{
    if (fileName_.empty())
        return true;
    return store_.SaveToFile(fileName_);
}

void TWScheduler::AddEvent(const TEventData& record)
{
    TEventData copy = record;
    copy.UpdateDate = days::Today();
    store_.AddEvent(copy, true);
}

void TWScheduler::UpdateEvent(PEventData item, const TEventData& record)
{
    if (!store_.Contains(item))
        return;
    const TEventData copy = record;
    store_.UpdateEvent(item, copy);
}

void TWScheduler::DeleteEvent(PEventData item)
{
    store_.DeleteEvent(item);
    ChangeDate();
}

void TWScheduler::SetModified(bool value)
{
    store_.SetModified(value);
    ChangeDate();
}

void TWScheduler::SelectCurrentDay()
{
    store_.SelectDay(CurrentDate());
}

void TWScheduler::ChangeDate()
{
    if (OnChangeDate && !destroying_)
        OnChangeDate(this);
}

void TWScheduler::ScheduleChanged()
{
    if (destroying_)
        return;
    if (store_.Modified) {
        // A failed write has told the user and left the store modified, so
        // the next change tries again.
        SaveSchedule();
        InvalidateCell(Col(), Row());
        ChangeDate();
    }
    InvalidateGrid();
}

// The alarm sequence. The handler usually shows a modal window, whose event
// loop keeps the clock running (a nested check must do nothing) and lets
// other code change the store (an item may be gone by the time its turn
// comes) or even delete this control.
void TWScheduler::CheckAlarms()
{
    if (!OnAlerm || alarmBusy_ || destroying_)
        return;
    QPointer<TWScheduler> self(this);
    alarmBusy_ = true;
    struct Release
    {
        QPointer<TWScheduler>& self;
        ~Release()
        {
            if (self)
                self->alarmBusy_ = false;
        }
    } release { self };

    const bool advanced = store_.CheckAlarms();
    std::vector<std::uint64_t> due;
    due.reserve(store_.DueList.size());
    for (const TEventData* item : store_.DueList)
        due.push_back(item->Id);

    bool fired = false;
    bool firedInMonth = false;
    for (std::uint64_t id : due) {
        PEventData item = store_.FindById(id);
        if (!item)
            continue;
        const TOnEventAlerm handler = OnAlerm;
        if (!handler)
            break;
        item->Alarmed = true;
        fired = true;
        if (InShownMonth(item->NextDate))
            firedInMonth = true;
        try {
            handler(this, item);
        } catch (const std::exception& e) {
            if (!self)
                return;
            msgdlg::ShowException(std::string_view(e.what()), this);
        } catch (...) {
            if (!self)
                return;
            msgdlg::ShowException(u"アラームの処理で不明なエラーが起きました"_qs, this);
        }
        if (!self || destroying_)
            return;
    }
    // Advanced occurrences are not saved by themselves (they reach the file
    // with the next write), and a change still waiting to be written stays
    // marked.
    if (fired || advanced) {
        if (firedInMonth || advanced)
            ChangeDate();
        InvalidateGrid();
    }
}

// --- hints and painting ----------------------------------------------------

QString TWScheduler::HintAt(QPoint pos)
{
    if (!makeHint_)
        return {};
    const TGridCoord cell = MouseCoord(pos.x(), pos.y());
    if (!cell.Valid())
        return {};
    if (gridType_ == gtWeekly && pos.x() >= dateWidth_)
        return {};
    if (gridType_ == gtMonthly && cell.Y == 0)
        return {};
    return qtext::ToQText(holidays_.HintText(CellDate(cell.X, cell.Y)));
}

bool TWScheduler::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && makeHint_) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = HintAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, viewport());
        return true;
    }
    return TCustomGrid::viewportEvent(event);
}

TGridDrawState TWScheduler::CellState(int col, int row) const
{
    if (col < FixedCols() || row < FixedRows())
        return gdFixed;
    TGridDrawState state = 0;
    if (Selection().Contains(col, row))
        state |= gdSelected;
    if (hasFocus() && col == Col() && row == Row())
        state |= gdFocused;
    return state;
}

void TWScheduler::DrawCell(QPainter& painter, int col, int row, const QRect& rect,
                           TGridDrawState state)
{
    const calpaint::CellModel m = BuildModel(col, row, rect, state);
    calpaint::PaintCell(painter, m, &texts_);
    if (!m.custom || !OnDrawEvent)
        return;
    // An exception must not leave the paint event; the user hears of it
    // once, after painting, and again only after a paint that went well.
    try {
        painter.save();
        OnDrawEvent(this, m.date, painter, m.content);
        painter.restore();
    } catch (const std::exception& e) {
        painter.restore();
        drawError_ = e.what();
    } catch (...) {
        painter.restore();
        drawError_ = sjis::FromUtf8("日付の描画で不明なエラーが起きました");
    }
}

void TWScheduler::paintEvent(QPaintEvent* event)
{
    drawError_.reset();
    TCustomGrid::paintEvent(event);
    if (!drawError_) {
        drawErrorShown_ = false;
        return;
    }
    if (drawErrorShown_)
        return;
    drawErrorShown_ = true;
    const std::string message = *drawError_;
    QMetaObject::invokeMethod(
        this, [this, message] { msgdlg::ShowException(std::string_view(message), this); },
        Qt::QueuedConnection);
}
