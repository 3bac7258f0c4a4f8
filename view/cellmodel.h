#pragma once

// The picture of one calendar cell, worked out in full before anything is
// painted: the fills, bevels and frame, every text with its font, colour and
// place, the item lines with their icons, and the alarm marks. The calendar
// builds one per cell; PaintCell turns it into QPainter calls and decides
// nothing itself. Tests read the model instead of pixels where glyphs would
// be involved.

#include <QColor>
#include <QFont>
#include <QHash>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QStaticText>
#include <QString>

#include <cstdint>
#include <vector>

class QPainter;

namespace calpaint {

// The six item icons by index, as the resources name them.
enum IconIndex { icDone = 0, icLow = 1, icMidd = 2, icHigh = 3, icTodo = 4, icOff = 5 };
constexpr int kIconCount = 6;
// "DONE", "LOW", "MIDD", "HIGH", "TODO", "OFF".
const char* IconName(int index);
// The icon drawing (transparent where nothing is drawn); a null pixmap for
// an index out of range.
const QPixmap& IconPixmap(int index);

enum class TextRole {
    Header, // weekday name of the month grid's header row
    DayNumber,
    Weekday, // "(月)" in the week grid
    Rokuyo, // the six-day-cycle label
    Heading, // month heading of the week grid ("5月")
    Holiday, // a holiday or marked-day name
    Item, // an item line's text
};

struct TextPiece
{
    TextRole role = TextRole::DayNumber;
    QString text;
    QFont font;
    QColor color;
    // The text is laid out in box with the alignment flags and clipped to
    // clip (an empty clip: the cell).
    QRect box;
    int flags = 0;
    QRect clip;
};

// One item line: its background from the line's top to the bottom of the
// item area (the next line paints over the rest), an optional icon at the
// line's left edge, and the text.
struct ItemLine
{
    int dayIndex = -1; // position in the store's day list
    QRect fill;
    QColor back;
    int icon = -1;
    QPoint iconAt;
    TextPiece text;
};

// An alarm mark: a filled square (alarm due or pending) or circle.
struct Mark
{
    QRect rect;
    bool square = false;
};

struct Bevel
{
    QRect rect;
    QColor topLeft;
    QColor bottomRight;
    int width = 1;
};

struct CellModel
{
    QRect rect; // the whole cell
    std::int32_t date = -1; // the day shown; -1 for the header row
    QColor background; // fills the whole cell first
    QColor textColor; // day number and weekday label
    bool inMonth = true;
    std::vector<Bevel> bevels;
    // The selection frame: frameWidth pixels inside frameArea.
    QRect frameArea;
    int frameWidth = 0;
    QColor frameColor;
    // What is left inside the frame for the content.
    QRect content;
    // The application draws the content itself (nothing below is set).
    bool custom = false;
    std::vector<ItemLine> lines;
    // Filled with the day's background after the item lines.
    QRect restFill;
    QColor restColor;
    std::vector<Mark> marks;
    QColor markColor;
    // Texts in painting order (names, day number, labels).
    std::vector<TextPiece> texts;

    // The first text of a role, or nullptr.
    const TextPiece* Find(TextRole role) const;
    // Every text of a role.
    std::vector<const TextPiece*> All(TextRole role) const;
};

// Texts laid out once and kept between paints: shaping a text costs more
// than drawing it, and a calendar shows the same numbers, labels and
// subjects paint after paint. Bounded in size; GUI thread only.
class TextCache
{
public:
    const QStaticText& Get(const QString& text, const QFont& font);

private:
    QHash<QString, QStaticText> texts_;
};

// Paints the model: background, bevels, frame, item lines, the rest fill,
// marks, texts. Single-line texts from a corner come from the cache when one
// is given.
void PaintCell(QPainter& painter, const CellModel& model, TextCache* cache = nullptr);

} // namespace calpaint
