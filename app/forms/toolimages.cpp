#include "app/forms/toolimages.h"

#include <QAction>
#include <QToolButton>

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace toolimages {

namespace {

// One tool image: a symbol or a short text on a rounded face.
struct Glyph
{
    QString text;
    QColor face;
    QColor ink = Qt::white;
    bool crossed = false; // "hidden" state: a diagonal bar over the face
    bool outline = false; // unfilled face (switched off)
};

QPixmap Draw(const Glyph& g, int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    if (g.text.isEmpty() && !g.face.isValid())
        return pm;
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0.5, 0.5, size - 1.0, size - 1.0);
    const qreal radius = size / 5.0;
    if (g.outline) {
        p.setPen(QPen(g.face, size / 10.0));
        p.setBrush(Qt::white);
    } else {
        p.setPen(g.face.darker(130));
        p.setBrush(g.face);
    }
    p.drawRoundedRect(r, radius, radius);
    QFont font;
    font.setPixelSize(g.text.size() > 1 ? size * 9 / 20 : size * 3 / 4);
    font.setBold(true);
    p.setFont(font);
    p.setPen(g.outline ? g.face : g.ink);
    p.drawText(r, Qt::AlignCenter, g.text);
    if (g.crossed) {
        p.setPen(QPen(QColor(200, 0, 0), size / 8.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(size * 0.2, size * 0.8), QPointF(size * 0.8, size * 0.2));
    }
    return pm;
}

QList<QIcon> Build()
{
    const QColor blue(40, 90, 170), green(40, 140, 70), orange(210, 120, 20), red(190, 40, 40),
        grey(110, 110, 110), purple(130, 60, 150), teal(20, 130, 140);
    QList<Glyph> glyphs(Count);
    glyphs[Hide] = { u"▼"_qs, grey };
    glyphs[Merge] = { u"＋"_qs, teal };
    glyphs[New] = { u"新"_qs, green };
    glyphs[Edit] = { u"編"_qs, blue };
    glyphs[Copy] = { u"写"_qs, blue };
    glyphs[Paste] = { u"貼"_qs, blue };
    glyphs[Delete] = { u"削"_qs, red };
    glyphs[Erase] = { u"掃"_qs, red };
    glyphs[Export] = { u"出"_qs, teal };
    glyphs[ListHidden] = { u"≡"_qs, grey, Qt::white, true };
    glyphs[PersonalShown] = { u"個"_qs, green };
    glyphs[PersonalHidden] = { u"個"_qs, green, Qt::white, true, true };
    glyphs[CompanyShown] = { u"会"_qs, blue };
    glyphs[CompanyHidden] = { u"会"_qs, blue, Qt::white, true, true };
    glyphs[ListShown] = { u"≡"_qs, blue };
    glyphs[MemoHidden] = { u"メ"_qs, grey, Qt::white, true };
    glyphs[MemoShown] = { u"メ"_qs, orange };
    glyphs[Setup] = { u"設"_qs, grey };
    glyphs[PrevYear] = { u"«"_qs, grey };
    glyphs[PrevPage] = { u"‹"_qs, grey };
    glyphs[NextPage] = { u"›"_qs, grey };
    glyphs[NextYear] = { u"»"_qs, grey };
    glyphs[Cut] = { u"切"_qs, red };
    glyphs[Today] = { u"今"_qs, orange };
    glyphs[MonthGrid] = { u"月"_qs, purple };
    glyphs[Close] = { u"×"_qs, grey };
    glyphs[PriorityOff] = { u"!"_qs, grey, Qt::white, false, true };
    glyphs[PriorityNone] = { u"無"_qs, grey };
    glyphs[PriorityLow] = { u"普"_qs, green };
    glyphs[PriorityMid] = { u"中"_qs, orange };
    glyphs[PriorityHigh] = { u"高"_qs, red };
    glyphs[PriorityTodo] = { u"期"_qs, purple };
    glyphs[WeekGrid] = { u"週"_qs, purple };
    QList<QIcon> icons;
    for (const Glyph& g : glyphs) {
        QIcon icon;
        icon.addPixmap(Draw(g, 16));
        icon.addPixmap(Draw(g, 32));
        icons << icon;
    }
    return icons;
}

} // namespace

const QList<QIcon>& Images()
{
    static const QList<QIcon> images = Build();
    return images;
}

QIcon Image(int index)
{
    const QList<QIcon>& images = Images();
    return index >= 0 && index < images.size() ? images[index] : QIcon();
}

QIcon TrayImage()
{
    QIcon icon;
    for (const int size : { 16, 22, 32, 48 }) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal unit = size / 16.0;
        const QRectF page(unit, 2 * unit, 14 * unit, 13 * unit);
        p.setPen(QPen(QColor(60, 60, 60), unit * 0.75));
        p.setBrush(Qt::white);
        p.drawRoundedRect(page, 2 * unit, 2 * unit);
        // The red band of the month with its two binding rings.
        QPainterPath band;
        band.addRoundedRect(page.adjusted(0, 0, 0, -9 * unit), 2 * unit, 2 * unit);
        p.fillPath(band, QColor(190, 40, 40));
        p.fillRect(QRectF(page.left(), page.top() + 2 * unit, page.width(), 2 * unit),
                   QColor(190, 40, 40));
        p.setPen(QPen(QColor(60, 60, 60), unit, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5 * unit, unit), QPointF(5 * unit, 4 * unit));
        p.drawLine(QPointF(11 * unit, unit), QPointF(11 * unit, 4 * unit));
        // Three rows of days; one is marked.
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 4; ++col)
                p.fillRect(
                    QRectF((3 + 3 * col) * unit, (7.5 + 2.5 * row) * unit, 1.6 * unit, 1.6 * unit),
                    row == 1 && col == 2 ? QColor(40, 90, 170) : QColor(120, 120, 120));
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

void SetImage(QAction* action, int index)
{
    action->setProperty("imageIndex", index);
    action->setIcon(Image(index));
}

void SetImage(QToolButton* button, int index)
{
    button->setProperty("imageIndex", index);
    button->setIcon(Image(index));
}

} // namespace toolimages
