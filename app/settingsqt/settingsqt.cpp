#include "app/settingsqt/settingsqt.h"

#include "gui/colors.h"
#include "gui/qtext.h"

#include <algorithm>
#include <cstdint>

namespace settingsqt {

QFont ToQFont(const TFontRec& font)
{
    QFont q;
    if (!font.Name.empty())
        q.setFamily(qtext::ToQ(font.Name));
    q.setPointSize(std::clamp<int>(font.Size, 1, 1000));
    q.setBold((font.Style & fsBold) != 0);
    q.setItalic((font.Style & fsItalic) != 0);
    q.setUnderline((font.Style & fsUnderline) != 0);
    q.setStrikeOut((font.Style & fsStrikeOut) != 0);
    if (font.Pitch == fpFixed) {
        q.setFixedPitch(true);
        q.setStyleHint(QFont::TypeWriter);
    } else if (font.Pitch == fpVariable) {
        q.setFixedPitch(false);
    }
    return q;
}

QColor FontColor(const TFontRec& font)
{
    return colors::ToQColor(font.Color);
}

void FromQFont(const QFont& qfont, TFontRec& font)
{
    font.Name = qtext::FromQ(qfont.family());
    if (qfont.pointSizeF() > 0)
        font.Size = std::max(1, qRound(qfont.pointSizeF()));
    else if (qfont.pixelSize() > 0)
        font.Size = std::max(1, qRound(qfont.pixelSize() * 72.0 / 96.0));
    std::int32_t style = 0;
    if (qfont.bold())
        style |= fsBold;
    if (qfont.italic())
        style |= fsItalic;
    if (qfont.underline())
        style |= fsUnderline;
    if (qfont.strikeOut())
        style |= fsStrikeOut;
    font.Style = style;
    // Only a pitch asked for explicitly is recorded as one.
    if (qfont.resolveMask() & QFont::FixedPitchResolved)
        font.Pitch = qfont.fixedPitch() ? fpFixed : fpVariable;
    else
        font.Pitch = fpDefault;
}

} // namespace settingsqt
