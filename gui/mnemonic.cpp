#include "gui/mnemonic.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QWidget>

namespace mnemonic {

QChar Letter(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&'))
            continue;
        if (caption[i + 1] != QLatin1Char('&'))
            return caption[i + 1].toUpper();
        ++i; // "&&" stands for the character itself
    }
    return {};
}

bool ClickButtonFor(QWidget* window, const QKeyEvent* event)
{
    if (!window || !event ||
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    const QString typed = event->text();
    if (typed.size() != 1 || !typed[0].isLetterOrNumber())
        return false;
    const QChar letter = typed[0].toUpper();
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (button->isVisible() && button->isEnabled() && Letter(button->text()) == letter) {
            button->click();
            return true;
        }
    }
    return false;
}

} // namespace mnemonic
