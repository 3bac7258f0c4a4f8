#include "gui/menukey.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QWidget>

namespace gui {

namespace {

// Watches the whole application, since the keys go to whichever control has
// the focus; acts only on those of its window's family.
class MenuKeyFilter : public QObject
{
public:
    explicit MenuKeyFilter(QWidget* window) : QObject(window), window_(window)
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        auto* control = qobject_cast<QWidget*>(watched);
        if (key->key() != Qt::Key_F10 || key->modifiers() != Qt::ShiftModifier || !control ||
            !Owned(control))
            return false;
        // What Qt sends for the menu key.
        const QPoint at = control->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, control->mapToGlobal(at));
        QCoreApplication::sendEvent(control, &menu);
        return true;
    }

private:
    bool Owned(const QWidget* widget) const
    {
        for (; widget; widget = widget->parentWidget())
            if (widget == window_)
                return true;
        return false;
    }

    QWidget* window_;
};

} // namespace

void WatchMenuKey(QWidget* window)
{
    new MenuKeyFilter(window);
}

} // namespace gui
