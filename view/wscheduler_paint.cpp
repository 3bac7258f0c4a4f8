// The painting half of TWScheduler: every cell becomes a calpaint::CellModel
// (colours, texts, fonts, icons, marks and rectangles), which PaintCell then
// draws. Nothing is cached between paints: each day asks the holiday list,
// the almanac (when its label is shown) and the store afresh.

#include "view/wscheduler.h"

#include "core/sjis.h"
#include "gui/qtext.h"

#include <QFontMetrics>

#include <algorithm>
#include <optional>

using calpaint::CellModel;
using calpaint::TextPiece;
using calpaint::TextRole;

namespace {

QFont PlainFont(QFont font, int pointSize)
{
    font.setPointSize(pointSize);
    font.setBold(false);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

const QString& WeekdayName(int weekday)
{
    static const QString names[7] = { u"日"_qs, u"月"_qs, u"火"_qs, u"水"_qs,
                                      u"木"_qs, u"金"_qs, u"土"_qs };
    return names[((weekday % 7) + 7) % 7];
}

// The room a single-line text takes when drawn from its top-left corner.
QRect TextExtent(const QFont& font, const QString& text, QPoint at)
{
    const QFontMetrics metrics(font);
    return QRect(at, QSize(metrics.horizontalAdvance(text), metrics.height()));
}

// A label or name is drawn whole or not at all: it must lie inside its area
// and keep clear of what is already there (the day number).
bool FitsWhole(const QRect& extent, const QRect& area, const QRect& keepClear = QRect())
{
    return area.contains(extent) && !extent.intersects(keepClear);
}

bool AlarmMarked(const TEventData* item, days::Day date)
{
    const int state = AlarmState(item, date);
    return state == 3 || state == 4 || state == 6;
}

} // namespace

QColor TWScheduler::Colour(TColor color) const
{
    return colors::ToQColor(color, palette());
}

TextPiece TWScheduler::Text(TextRole role, const QString& text, const QFont& font,
                            const QColor& color, QPoint at, const QRect& clip) const
{
    TextPiece t;
    t.role = role;
    t.text = text;
    t.font = font;
    t.color = color;
    const int height = QFontMetrics(font).height();
    t.box = QRect(at.x(), at.y(), std::max(clip.right() - at.x() + 1, 1), height);
    t.flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    t.clip = clip;
    return t;
}

calpaint::CellModel TWScheduler::CellModel(int col, int row, TGridDrawState state)
{
    return BuildModel(col, row, CellRect(col, row), state);
}

calpaint::CellModel TWScheduler::BuildModel(int col, int row, const QRect& rect,
                                            TGridDrawState state)
{
    calpaint::CellModel m;
    m.rect = rect;
    if (gridType_ == gtWeekly)
        WeekCell(m, row, state);
    else if (row == 0)
        HeaderCell(m, col);
    else
        MonthCell(m, col, row, state);
    return m;
}

TWScheduler::DayLook TWScheduler::DayColours(bool forceInMonth, days::Day date)
{
    DayLook look;
    const bool dayOff = holidays_.SelectDay(date);
    const int weekday = days::DayOfWeek(date);
    if (weekday == 1) {
        look.text = Colour(kSundayColor);
        look.background = Colour(kSundayBack);
    } else if (weekday == 7) {
        look.text = Colour(kSaturdayColor);
        look.background = Colour(kSaturdayBack);
    } else {
        look.text = Colour(kWeekdayColor);
        look.background = Colour(Color());
    }
    if (date == days::Today()) {
        look.background = Colour(todayColor_);
    } else if (dayOff) {
        look.text = Colour(kHolidayColor);
        look.background = Colour(kDayOffBack);
    }
    look.inMonth = forceInMonth || InShownMonth(date);
    if (!look.inMonth)
        look.background = Colour(kOtherMonthBack);
    return look;
}

void TWScheduler::CellFrame(calpaint::CellModel& m, const QRect& area, TGridDrawState state) const
{
    m.frameArea = area;
    if (state & gdSelected) {
        m.frameWidth = 3;
        m.frameColor = Colour((state & gdFocused) ? kFrameColor : kFrameColorUnfocused);
    }
    m.content = area.adjusted(3, 3, -3, -3);
}

void TWScheduler::HeaderCell(calpaint::CellModel& m, int col)
{
    m.date = -1;
    m.background = Colour(FixedColor());
    m.bevels.push_back({ m.rect, Colour(colors::clBtnHighlight), Colour(colors::clBtnShadow), 1 });
    m.content = m.rect;
    const int weekday = (col + startOfWeek_) % 7;
    TColor color = colors::clBlack;
    if (weekday == 0)
        color = kSundayColor;
    else if (weekday == 6)
        color = kSaturdayColor;
    TextPiece t;
    t.role = TextRole::Header;
    t.text = WeekdayName(weekday);
    t.font = PlainFont(eventFont_, 10);
    t.color = Colour(color);
    t.box = m.rect;
    t.flags = Qt::AlignCenter | Qt::TextSingleLine;
    t.clip = m.rect;
    m.texts.push_back(t);
}

QFont TWScheduler::NumberFont(bool inMonth) const
{
    QFont font = dateFont_;
    font.setBold(inMonth);
    font.setItalic(!inMonth);
    return font;
}

std::optional<calpaint::TextPiece> TWScheduler::RokuyoText(QPoint at, const QRect& area)
{
    TKyureki& kyureki = holidays_.Kyureki();
    const int luck = kyureki.RokuyoLuck();
    const TColor color = luck == 1 ? colors::clRed : luck == 2 ? kGreyText : colors::clBlack;
    const QString name = qtext::ToQ(kyureki.RokuyoName());
    const QFont font = PlainFont(eventFont_, 8);
    if (!FitsWhole(TextExtent(font, name, at), area))
        return std::nullopt;
    return Text(TextRole::Rokuyo, name, font, Colour(color), at, area);
}

void TWScheduler::MonthCell(calpaint::CellModel& m, int col, int row, TGridDrawState state)
{
    const days::Day date = CellDate(col, row);
    m.date = date;
    if (dispRokuyo_)
        holidays_.Kyureki().Calc(date);
    const DayLook look = DayColours(false, date);
    m.background = look.background;
    m.textColor = look.text;
    m.inMonth = look.inMonth;
    CellFrame(m, m.rect, state);
    if (OnDrawEvent) {
        m.custom = true;
        return;
    }
    const QRect& content = m.content;
    const int h = FontHeight(dateFont_);
    const int lineHeight = std::max(1, FontHeight(eventFont_));
    // Whether item lines fit is judged on the smallest row, so that every
    // row of the month looks alike.
    const bool itemLines = autoTitle_ && (minRowHeight_ - h - 6) / lineHeight >= 1;

    // The day number at the top left is always there, whole (the rows are
    // never lower than it, see minimumSizeHint); the six-day label follows
    // it when it fits whole left of the alarm marks.
    const QFont numberFont = NumberFont(look.inMonth);
    const QString number = QString::number(days::Decode(date).day);
    const TextPiece numberText =
        Text(TextRole::DayNumber, number, numberFont, look.text, content.topLeft(), content);
    // Digits stand on the base line: the number takes no room below it.
    QRect taken(content.topLeft(),
                QSize(QFontMetrics(numberFont).horizontalAdvance(number),
                      QFontMetrics(numberFont).ascent()));

    int labelRight = content.right();
    if (!itemLines) {
        const int d = std::max(4, h / 3 + 2);
        const int x = content.right() + 1 - d;
        int y = content.top();
        m.markColor = Colour(kMarkColor);
        store_.SelectDay(date);
        for (int i = 0; i < store_.DayEventCount(); ++i) {
            if (y >= m.rect.bottom() + 1)
                break;
            m.marks.push_back(
                { QRect(x + 1, y + 1, d - 2, d - 2), AlarmMarked(store_.DayEvent(i), date) });
            y += d;
        }
        if (!m.marks.empty())
            labelRight = x - 1;
    }
    std::optional<TextPiece> label;
    if (dispRokuyo_) {
        label = RokuyoText(QPoint(taken.right() + 1 + 2, content.top()),
                           QRect(content.topLeft(), QPoint(labelRight, content.bottom())));
        if (label)
            taken |= TextExtent(label->font, label->text, label->box.topLeft());
    }

    if (itemLines) {
        // Names beside the number keep two pixels from it.
        const int top =
            HolidayNames(m, QString(), content, h, date, look.text, taken.adjusted(0, 0, 2, 0));
        EventLines(m, QRect(content.left(), top, content.width(), content.bottom() - top + 1),
                   date);
    }
    m.texts.push_back(numberText);
    if (label)
        m.texts.push_back(*label);
}

void TWScheduler::WeekCell(calpaint::CellModel& m, int row, TGridDrawState state)
{
    const days::Day date = firstCellDate_ + row;
    m.date = date;
    // Days of the neighbouring months are not greyed in the week grid.
    const DayLook look = DayColours(true, date);
    if (dispRokuyo_)
        holidays_.Kyureki().Calc(date);
    m.background = look.background;
    m.textColor = look.text;
    m.inMonth = true;

    const QRect& rect = m.rect;
    const QRect dateColumn(rect.left(), rect.top(), std::min(dateWidth_, rect.width()),
                           rect.height());
    const bool selected = state & gdSelected;
    const QColor shadow = Colour(colors::clBtnShadow);
    const QColor light = Colour(colors::clBtnHighlight);
    if (dateBorder_ > 0)
        m.bevels.push_back(
            { dateColumn, selected ? shadow : light, selected ? light : shadow, dateBorder_ });
    const QRect inner = dateColumn.adjusted(dateBorder_, dateBorder_, -dateBorder_, -dateBorder_);
    const int x = dateColumn.left() + 4;
    int top = inner.top();

    QFont numberFont = dateFont_;
    numberFont.setBold(true);
    const days::Ymd ymd = days::Decode(date);
    m.texts.push_back(Text(TextRole::DayNumber, QString::number(ymd.day), numberFont, look.text,
                           QPoint(x, top), inner));
    top += QFontMetrics(numberFont).height();

    // The weekday and six-day labels below the number, each only when it
    // fits whole into the date column.
    const QFont labelFont = PlainFont(eventFont_, eventFont_.pointSize());
    const QString label = u"("_qs + WeekdayName(days::DayOfWeek(date) - 1) + u")"_qs;
    if (FitsWhole(TextExtent(labelFont, label, QPoint(x, top)), inner))
        m.texts.push_back(
            Text(TextRole::Weekday, label, labelFont, look.text, QPoint(x, top), inner));
    const QFontMetrics labelMetrics(labelFont);
    const int labelHeight = labelMetrics.height();
    if (dispRokuyo_) {
        if (std::optional<TextPiece> rokuyo = RokuyoText(QPoint(x, top + labelHeight), inner))
            m.texts.push_back(*rokuyo);
    }
    const int used = top + labelHeight - rect.top();

    const QRect namesArea(QPoint(x + labelMetrics.horizontalAdvance(label), rect.top() + 4),
                          QPoint(inner.right(), rect.bottom()));
    const QString heading =
        row == 0 || ymd.day == 1 ? QString::number(ymd.month) + u"月"_qs : QString();
    // The month heading is written in the item lines' font and colour.
    HolidayNames(m, heading, namesArea, used - 4, date, Colour(eventFontColor_), QRect());

    const QRect items(rect.left() + dateColumn.width(), rect.top(),
                      std::max(rect.width() - dateColumn.width(), 0), rect.height());
    CellFrame(m, items, state);
    EventLines(m, m.content.adjusted(1, 1, -1, -1), date);
}

int TWScheduler::HolidayNames(calpaint::CellModel& m, const QString& heading, const QRect& area,
                              int space, days::Day date, const QColor& headingColor,
                              const QRect& keepClear)
{
    // Names keep their places whether or not they are drawn; one that would
    // be cut, or run into the day number, is left out.
    int top = area.top();
    if (!heading.isEmpty()) {
        const QFont font = eventFont_;
        const int width = QFontMetrics(font).horizontalAdvance(heading);
        const int x = std::max(area.left(), area.right() + 1 - width);
        if (FitsWhole(TextExtent(font, heading, QPoint(x, top)), area, keepClear))
            m.texts.push_back(
                Text(TextRole::Heading, heading, font, headingColor, QPoint(x, top), area));
        const int line = FontHeight(font);
        top += line;
        space = std::max(0, space - line);
    }
    QFont font = eventFont_;
    font.setPointSize(8);
    const int line = FontHeight(font);
    const auto& kindColors = HolidayKindColors();
    for (int i = 0; i < holidays_.DayCount(); ++i) {
        const THolidayRec* rule = holidays_.DayItem(i);
        if (!rule)
            break;
        const int kind = rule->Kind & 7;
        QFont f = font;
        f.setItalic(kind == 4);
        f.setBold(kind == 5);
        const QColor color =
            m.inMonth ? Colour(static_cast<TColor>(kindColors[kind])) : Colour(kOtherMonthNames);
        // An anniversary counts its years to the year of the cell's date.
        const QString name = qtext::ToQ(THolidayList::DisplayName(*rule, date));
        const int width = QFontMetrics(f).horizontalAdvance(name);
        const int x = std::max(area.left(), area.right() + 1 - 2 - width);
        int y = top;
        if (kind >= 4)
            space = std::max(0, space - line);
        else
            y = top + space;
        if (FitsWhole(TextExtent(f, name, QPoint(x, y)), area, keepClear))
            m.texts.push_back(Text(TextRole::Holiday, name, f, color, QPoint(x, y), area));
        top += line;
    }
    return top + space;
}

void TWScheduler::EventLines(calpaint::CellModel& m, const QRect& area, days::Day date)
{
    store_.SelectDay(date);
    const bool weekly = gridType_ == gtWeekly;
    const QColor grey = Colour(kGreyText);
    const QColor fontColor = Colour(eventFontColor_);
    int top = area.top();
    for (int i = 0; i < store_.DayEventCount(); ++i) {
        if (top >= area.bottom() + 1)
            return;
        const TEventData* item = store_.DayEvent(i);
        std::string text;
        if (displayTime_ && item->StartTime >= 0) {
            if (weekly) {
                text = MinutesToStr(item->StartTime);
                if (item->EndTime >= 0)
                    text += SJ("～") + MinutesToStr(item->EndTime);
                text += " " + item->Subject;
            } else if (!item->Done) {
                text = MinutesToStr(item->StartTime) + " " + item->Subject;
            } else {
                text = item->Subject;
            }
        } else {
            text = item->Subject;
        }
        QFont font = eventFont_;
        font.setBold(AlarmMarked(item, date));
        font.setItalic(item->Repeat != 0);
        font.setStrikeOut(item->Cancelled);

        calpaint::ItemLine line;
        line.dayIndex = i;
        QColor color;
        if (m.inMonth && !item->Done) {
            line.back = item->BackColor == -1 ? m.background : Colour(item->BackColor);
            color = item->FontColor == -1 ? fontColor : Colour(item->FontColor);
        } else {
            line.back = m.background;
            color = grey;
        }
        if (item->Priority > 0 || item->Done) {
            if (item->Cancelled)
                line.icon = calpaint::icOff;
            else if (item->Done)
                line.icon = calpaint::icDone;
            else if (item->Priority <= 4)
                line.icon = item->Priority; // LOW, MIDD, HIGH, TODO
        }
        int x = area.left();
        if (line.icon >= 0) {
            line.iconAt = QPoint(area.left(), top);
            x += calpaint::IconPixmap(line.icon).width() + 4;
        }
        line.fill = QRect(area.left(), top, area.width(), area.bottom() - top + 1);
        line.text = Text(TextRole::Item, qtext::ToQ(text), font, color, QPoint(x, top), line.fill);
        top += QFontMetrics(font).height();
        m.lines.push_back(line);
    }
    if (top <= area.bottom()) {
        m.restFill = QRect(area.left(), top, area.width(), area.bottom() - top + 1);
        m.restColor = m.background;
    }
}
