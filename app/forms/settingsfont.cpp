#include "app/forms/settingsfont.h"

#include "gui/colors.h"
#include "gui/qtext.h"

#include <QWidget>

namespace forms {

QFont ToQFont(const TFontRec& rec)
{
    QFont font(qtext::ToQ(rec.Name));
    font.setPointSize(rec.Size > 0 ? rec.Size : 9);
    font.setBold((rec.Style & fsBold) != 0);
    font.setItalic((rec.Style & fsItalic) != 0);
    font.setUnderline((rec.Style & fsUnderline) != 0);
    font.setStrikeOut((rec.Style & fsStrikeOut) != 0);
    if (rec.Pitch == fpFixed)
        font.setFixedPitch(true);
    return font;
}

void ApplyFont(QWidget* widget, const TFontRec& rec)
{
    widget->setFont(ToQFont(rec));
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Text, colors::ToQColor(rec.Color));
    pal.setColor(QPalette::WindowText, colors::ToQColor(rec.Color));
    widget->setPalette(pal);
}

} // namespace forms
