#include "gui/screens.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstdint>
#include <optional>

namespace screens {

namespace {

std::int64_t Seen(const QRect& area, const QRect& r)
{
    const QRect seen = area.intersected(r);
    return seen.isEmpty() ? 0 : std::int64_t(seen.width()) * seen.height();
}

std::int64_t Distance(const QRect& area, const QRect& r)
{
    const std::int64_t dx = std::max<std::int64_t>(
        { 0, std::int64_t(area.left()) - r.right(), std::int64_t(r.left()) - area.right() });
    const std::int64_t dy = std::max<std::int64_t>(
        { 0, std::int64_t(area.top()) - r.bottom(), std::int64_t(r.top()) - area.bottom() });
    return dx * dx + dy * dy;
}

// Places its window each time it is shown. Before the window manager has
// framed a window Qt knows only its inside; the frame is fitted once it is
// exposed.
class Keeper : public QObject
{
public:
    static constexpr const char* kName = "screensKeeper";

    explicit Keeper(QWidget* window) : QObject(window), window_(window)
    {
        setObjectName(QLatin1String(kName));
        window->installEventFilter(this);
    }

    // Where PlaceFrame put the frame, until the window manager has framed
    // the window.
    void Intend(const QPoint& frameTopLeft) { intended_ = frameTopLeft; }

    void Arm()
    {
        armed_ = false;
        // A tool window docked into its main window is no window of its own.
        if (!window_->isWindow())
            return;
        const QRect frame = window_->frameGeometry();
        Place(frame, frame);
        if (QWindow* handle = window_->windowHandle()) {
            handle->removeEventFilter(this);
            handle->installEventFilter(this);
            armed_ = true;
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && event->type() == QEvent::Show) {
            Arm();
        } else if (armed_ && event->type() == QEvent::Expose &&
                   watched == window_->windowHandle() && window_->windowHandle()->isExposed()) {
            armed_ = false;
            const QWindow* handle = window_->windowHandle();
            const QRect frame = handle->frameGeometry();
            QRect wanted = frame;
            if (intended_ && !handle->frameMargins().isNull())
                wanted.moveTopLeft(*intended_);
            intended_.reset();
            Place(frame, wanted);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // Moves (and shrinks) the window whose frame stands at current so that
    // the frame becomes wanted fitted onto a screen. Relative moves, so that
    // what Qt believes of a frame it has not seen yet does not matter.
    void Place(const QRect& current, const QRect& wanted)
    {
        const QRect fitted = Fit(wanted);
        if (fitted == current)
            return;
        if (fitted.size() != current.size())
            window_->resize(window_->size() - (current.size() - fitted.size()));
        window_->move(window_->pos() + (fitted.topLeft() - current.topLeft()));
    }

    QWidget* window_;
    std::optional<QPoint> intended_;
    bool armed_ = false;
};

Keeper* KeeperOf(QWidget* window)
{
    auto* keeper = static_cast<Keeper*>(
        window->findChild<QObject*>(QLatin1String(Keeper::kName), Qt::FindDirectChildrenOnly));
    return keeper ? keeper : new Keeper(window);
}

} // namespace

QRect Fit(const QRect& frame)
{
    const QScreen* best = nullptr;
    std::int64_t bestSeen = 0;
    std::int64_t bestDistance = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        if (area.isEmpty())
            continue;
        if (area.contains(frame))
            return frame;
        const std::int64_t seen = Seen(area, frame);
        const std::int64_t distance = Distance(area, frame);
        if (!best || seen > bestSeen || (seen == bestSeen && distance < bestDistance)) {
            best = screen;
            bestSeen = seen;
            bestDistance = distance;
        }
    }
    if (!best)
        return frame;
    const QRect area = best->availableGeometry();
    QRect r(frame.topLeft(),
            QSize(std::min(frame.width(), area.width()), std::min(frame.height(), area.height())));
    r.moveLeft(std::clamp(r.left(), area.left(), area.right() + 1 - r.width()));
    r.moveTop(std::clamp(r.top(), area.top(), area.bottom() + 1 - r.height()));
    return r;
}

void KeepOnScreen(QWidget* window)
{
    if (!window)
        return;
    Keeper* keeper = KeeperOf(window);
    if (window->isVisible())
        keeper->Arm();
}

void PlaceFrame(QWidget* window, const QPoint& frameTopLeft)
{
    KeeperOf(window)->Intend(frameTopLeft);
    window->move(frameTopLeft);
}

} // namespace screens
