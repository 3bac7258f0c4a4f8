#include "view/cellmodel.h"

#include "gui/bevel.h"

#include <QPainter>

#include <array>

// The drawings live in the library's resource file; a static library has to
// register it by hand, from outside any namespace.
static void InitIconResources()
{
    Q_INIT_RESOURCE(calendar_icons);
}

namespace calpaint {

const char* IconName(int index)
{
    static const char* const names[kIconCount] = { "DONE", "LOW", "MIDD", "HIGH", "TODO", "OFF" };
    return index >= 0 && index < kIconCount ? names[index] : "";
}

const QPixmap& IconPixmap(int index)
{
    static const std::array<QPixmap, kIconCount> icons = [] {
        InitIconResources();
        std::array<QPixmap, kIconCount> out;
        for (int i = 0; i < kIconCount; ++i)
            out[i] = QPixmap(QStringLiteral(":/calendar/") + QLatin1String(IconName(i)));
        return out;
    }();
    static const QPixmap none;
    return index >= 0 && index < kIconCount ? icons[index] : none;
}

const QStaticText& TextCache::Get(const QString& text, const QFont& font)
{
    const QString key = font.toString() + QChar(0x1F) + text;
    auto found = texts_.constFind(key);
    if (found != texts_.constEnd())
        return *found;
    if (texts_.size() >= 4000)
        texts_.clear();
    QStaticText laid(text);
    laid.setTextFormat(Qt::PlainText);
    laid.setPerformanceHint(QStaticText::AggressiveCaching);
    laid.prepare(QTransform(), font);
    return *texts_.insert(key, laid);
}

const TextPiece* CellModel::Find(TextRole role) const
{
    for (const TextPiece& t : texts)
        if (t.role == role)
            return &t;
    return nullptr;
}

std::vector<const TextPiece*> CellModel::All(TextRole role) const
{
    std::vector<const TextPiece*> out;
    for (const TextPiece& t : texts)
        if (t.role == role)
            out.push_back(&t);
    return out;
}

namespace {

void PaintText(QPainter& p, const TextPiece& t, const QRect& cell, TextCache* cache)
{
    p.save();
    p.setClipRect((t.clip.isEmpty() ? cell : t.clip) & cell);
    p.setFont(t.font);
    p.setPen(t.color);
    constexpr int topLeft = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    // Laid-out texts carry no strike-out or underline.
    const bool plain = !t.font.strikeOut() && !t.font.underline() && !t.font.overline();
    if (cache && plain && t.flags == topLeft)
        p.drawStaticText(t.box.topLeft(), cache->Get(t.text, t.font));
    else
        p.drawText(t.box, t.flags, t.text);
    p.restore();
}

} // namespace

void PaintCell(QPainter& p, const CellModel& m, TextCache* cache)
{
    p.fillRect(m.rect, m.background);
    for (const Bevel& b : m.bevels) {
        QRect r = b.rect;
        bevel::Frame3D(p, r, b.topLeft, b.bottomRight, b.width);
    }
    if (m.frameWidth > 0 && !m.frameArea.isEmpty()) {
        const QRect& a = m.frameArea;
        const int w = m.frameWidth;
        p.fillRect(QRect(a.left(), a.top(), a.width(), w), m.frameColor);
        p.fillRect(QRect(a.left(), a.bottom() - w + 1, a.width(), w), m.frameColor);
        p.fillRect(QRect(a.left(), a.top(), w, a.height()), m.frameColor);
        p.fillRect(QRect(a.right() - w + 1, a.top(), w, a.height()), m.frameColor);
    }
    if (m.custom)
        return;
    for (const ItemLine& line : m.lines) {
        p.fillRect(line.fill, line.back);
        if (line.icon >= 0) {
            p.save();
            p.setClipRect(line.fill & m.rect);
            p.drawPixmap(line.iconAt, IconPixmap(line.icon));
            p.restore();
        }
        PaintText(p, line.text, m.rect, cache);
    }
    if (!m.restFill.isEmpty())
        p.fillRect(m.restFill, m.restColor);
    if (!m.marks.empty()) {
        p.save();
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(Qt::NoPen);
        p.setBrush(m.markColor);
        for (const Mark& mark : m.marks) {
            if (mark.square)
                p.drawRect(mark.rect);
            else
                p.drawEllipse(mark.rect);
        }
        p.restore();
    }
    for (const TextPiece& t : m.texts)
        PaintText(p, t, m.rect, cache);
}

} // namespace calpaint
