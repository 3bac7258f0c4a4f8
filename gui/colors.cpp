#include "gui/colors.h"

#include <QApplication>
#include <QWidget>

namespace colors {

namespace {

QColor SystemToQColor(TColor c, const QPalette& p)
{
    switch (c) {
    case clScrollBar:
    case clBtnFace:
    case clMenu:
    case clActiveBorder:
    case clInactiveBorder:
        return p.color(QPalette::Active, QPalette::Button);
    case clBackground:
    case clAppWorkSpace:
        return p.color(QPalette::Active, QPalette::Dark);
    case clActiveCaption:
        return p.color(QPalette::Active, QPalette::Highlight);
    case clInactiveCaption:
        return p.color(QPalette::Inactive, QPalette::Mid);
    case clWindow:
        return p.color(QPalette::Active, QPalette::Base);
    case clWindowFrame:
    case cl3DDkShadow:
        return p.color(QPalette::Active, QPalette::Shadow);
    case clMenuText:
        return p.color(QPalette::Active, QPalette::WindowText);
    case clWindowText:
        return p.color(QPalette::Active, QPalette::Text);
    case clCaptionText:
        return p.color(QPalette::Active, QPalette::HighlightedText);
    case clHighlight:
        return p.color(QPalette::Active, QPalette::Highlight);
    case clHighlightText:
        return p.color(QPalette::Active, QPalette::HighlightedText);
    case clBtnShadow:
        return p.color(QPalette::Active, QPalette::Mid);
    case clGrayText:
    case clInactiveCaptionText:
        return p.color(QPalette::Disabled, QPalette::Text);
    case clBtnText:
        return p.color(QPalette::Active, QPalette::ButtonText);
    case clBtnHighlight:
        return p.color(QPalette::Active, QPalette::Light);
    case cl3DLight:
        return p.color(QPalette::Active, QPalette::Midlight);
    case clInfoText:
        return p.color(QPalette::Active, QPalette::ToolTipText);
    case clInfoBk:
        return p.color(QPalette::Active, QPalette::ToolTipBase);
    default:
        return p.color(QPalette::Active, QPalette::Window);
    }
}

QPalette AppPalette()
{
    return QApplication::palette();
}

} // namespace

QColor ToQColor(TColor c, const QPalette& palette)
{
    if (IsSystemColor(c))
        return SystemToQColor(c, palette);
    const auto v = static_cast<std::uint32_t>(c);
    return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

QColor ToQColor(TColor c)
{
    return ToQColor(c, AppPalette());
}

TColor FromQColor(const QColor& c)
{
    return static_cast<TColor>(static_cast<std::uint32_t>(c.red()) |
                               (static_cast<std::uint32_t>(c.green()) << 8) |
                               (static_cast<std::uint32_t>(c.blue()) << 16));
}

TColor ToRgb(TColor c, const QPalette& palette)
{
    return IsSystemColor(c) ? FromQColor(ToQColor(c, palette)) : (c & 0xFFFFFF);
}

TColor ToRgb(TColor c)
{
    return ToRgb(c, AppPalette());
}

void SetFaceColor(QWidget* widget, TColor color)
{
    QPalette palette = widget->palette();
    const QColor c = ToQColor(color, palette);
    palette.setColor(QPalette::Base, c);
    palette.setColor(QPalette::Window, c);
    widget->setPalette(palette);
}

} // namespace colors
