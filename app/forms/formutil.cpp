#include "app/forms/formutil.h"

#include "gui/qtext.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QWidget>

namespace forms {

namespace {

QScreen* ScreenOf(const QWidget* window)
{
    if (window->parentWidget() && window->parentWidget()->screen())
        return window->parentWidget()->screen();
    if (window->screen())
        return window->screen();
    return QGuiApplication::primaryScreen();
}

} // namespace

void CenterOnScreen(QWidget* window)
{
    QScreen* screen = ScreenOf(window);
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = window->frameGeometry().size();
    window->move(area.left() + (area.width() - size.width()) / 2,
                 area.top() + (area.height() - size.height()) / 2);
}

int AvailableScreenWidth(const QWidget* window)
{
    QScreen* screen = ScreenOf(window);
    return screen ? screen->availableGeometry().width() : 0;
}

QString TrimBlanks(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= 0x20)
        ++first;
    while (last > first && text[last - 1].unicode() <= 0x20)
        --last;
    return text.mid(first, last - first);
}

void TrimEdit(QLineEdit* edit)
{
    const QString text = TrimBlanks(edit->text());
    if (text != edit->text())
        edit->setText(text);
}

std::string EditText(const QLineEdit* edit)
{
    return qtext::FromQ(edit->text());
}

} // namespace forms
