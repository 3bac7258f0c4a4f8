#include "gui/drawkind.h"

#include "core/eventdata.h"
#include "gui/colors.h"
#include "gui/qtext.h"

void DrawKind(QPainter& canvas, const QRect& rect, std::string_view kind)
{
    std::string name;
    TColor font = 0, back = -1;
    ParseKind(kind, name, font, back);
    canvas.save();
    canvas.fillRect(rect, colors::ToQColor(back == -1 ? colors::clWindow : back));
    // A colour that did not read (-1) paints like the window text.
    canvas.setPen(colors::ToQColor(font == -1 ? colors::clWindowText : font));
    // The name's top-left corner sits at (Left + 4, Top + 1).
    const QRect textRect(rect.left() + 4, rect.top() + 1, std::max(0, rect.width() - 4),
                         std::max(0, rect.height() - 1));
    canvas.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, qtext::ToQ(name));
    canvas.restore();
}
