#include "controls/customdock.h"

#include "core/sjis.h"
#include "gui/screens.h"

#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

constexpr int kDefaultWidth = 230;
constexpr int kDefaultHeight = 210;

// A floating tool window: framed by the window manager, with a title, a
// close box and edges to size it by. (Qt leaves floating dock widgets
// without a frame on X11 and draws a title bar of its own.)
constexpr Qt::WindowFlags kFloatingFlags =
    Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

// A number as the settings store writes it: optional blanks and sign,
// decimal digits or "$" and hexadecimal digits, within 32 bits.
bool ToInt(const std::string& text, int& out)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < text.size() && text[i] == '$') {
        hex = true;
        ++i;
    }
    if (i >= text.size())
        return false;
    const std::uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
        if (value > limit)
            return false;
    }
    std::uint32_t bits = static_cast<std::uint32_t>(value);
    if (negative)
        bits = 0u - bits;
    out = static_cast<std::int32_t>(bits);
    return true;
}

TAlign AlignOf(Qt::DockWidgetArea area)
{
    switch (area) {
    case Qt::LeftDockWidgetArea:
        return alLeft;
    case Qt::RightDockWidgetArea:
        return alRight;
    case Qt::TopDockWidgetArea:
        return alTop;
    case Qt::BottomDockWidgetArea:
        return alBottom;
    default:
        return alNone;
    }
}

bool ButtonDown(const QToolButton* button)
{
    if (const QAction* a = button->defaultAction())
        return a->isChecked();
    return button->isChecked();
}

void SetButtonDown(QToolButton* button, bool down)
{
    if (QAction* a = button->defaultAction()) {
        a->setCheckable(true);
        a->setChecked(down);
    }
    button->setCheckable(true);
    button->setChecked(down);
}

void SetButtonIcon(QToolButton* button, const QIcon& icon)
{
    if (QAction* a = button->defaultAction())
        a->setIcon(icon);
    button->setIcon(icon);
}

} // namespace

// ---- TDockClientForm -------------------------------------------------------

TDockClientForm::TDockClientForm(QWidget* parent) : QDockWidget(parent)
{
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea);
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                QDockWidget::DockWidgetFloatable);
    hide();
    screens::KeepOnScreen(this);
    if (parent)
        parent->installEventFilter(this);
    connect(this, &QDockWidget::topLevelChanged, this, &TDockClientForm::OnTopLevelChanged);
    connect(this, &QDockWidget::dockLocationChanged, this, &TDockClientForm::OnDockLocationChanged);
}

TDockClientForm::~TDockClientForm()
{
    destroying_ = true;
    if (buttonConnection_)
        disconnect(buttonConnection_);
}

QMainWindow* TDockClientForm::MainWindow() const
{
    return qobject_cast<QMainWindow*>(parentWidget());
}

Qt::DockWidgetArea TDockClientForm::DockedArea() const
{
    const QMainWindow* window = MainWindow();
    if (!window || isFloating())
        return Qt::NoDockWidgetArea;
    return window->dockWidgetArea(const_cast<TDockClientForm*>(this));
}

TDockPanel* TDockClientForm::HostDockSite() const
{
    const Qt::DockWidgetArea area = DockedArea();
    if (area == Qt::NoDockWidgetArea)
        return nullptr;
    return TDockPanel::For(MainWindow(), area);
}

void TDockClientForm::SetVisibleButton(QToolButton* button)
{
    if (buttonConnection_)
        disconnect(buttonConnection_);
    buttonConnection_ = {};
    visibleButton_ = button;
    if (!button)
        return;
    button->setCheckable(true);
    setVisible(ButtonDown(button));
    buttonConnection_ =
        connect(button, &QAbstractButton::clicked, this, &TDockClientForm::ToggleVisible);
}

void TDockClientForm::SetStateImage(bool shown, int index)
{
    stateImages_[shown ? 1 : 0] = index;
}

void TDockClientForm::SetImages(const QList<QIcon>& images)
{
    images_ = images;
}

void TDockClientForm::SyncButton()
{
    QToolButton* button = visibleButton_;
    if (!button)
        return;
    const bool shown = Shown();
    SetButtonDown(button, shown);
    button->setProperty("tag", shown ? 1 : 0);
    if (changeImages_) {
        const int index = stateImages_[shown ? 1 : 0];
        button->setProperty("imageIndex", index);
        SetButtonIcon(button, index >= 0 && index < images_.size() ? images_[index] : QIcon());
    }
}

void TDockClientForm::ToggleVisible()
{
    QToolButton* button = visibleButton_;
    if (!button)
        return;
    const int tag = 1 - button->property("tag").toInt();
    button->setProperty("tag", tag);
    setVisible(tag == 1);
    SyncButton();
}

bool TDockClientForm::event(QEvent* event)
{
    const bool result = QDockWidget::event(event);
    // The explicit visibility (what a close box, hide() or show() change),
    // not the window being covered or the main window minimised.
    if ((event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent) &&
        !destroying_ && !followingOwner_) {
        SyncButton();
        if (TDockPanel* panel = HostDockSite())
            panel->UpdateSize();
    }
    // Qt shows a floating window again after each change of its flags (it
    // floated, a drag of it ended): then it is framed, sized and placed.
    if (event->type() == QEvent::Show && isFloating() && !settlePending_) {
        settlePending_ = true;
        QTimer::singleShot(0, this, [this] { SettleFloating(); });
    }
    return result;
}

bool TDockClientForm::eventFilter(QObject* watched, QEvent* event)
{
    // A floating window goes when its main window is hidden (into the task
    // tray, or closed in the plug-in) and comes back with it; a minimised
    // main window takes its tool windows along by itself.
    // (The main window is no QMainWindow any more while it is being
    // destroyed, and is then left alone.)
    const bool shownOrHidden = event->type() == QEvent::Hide || event->type() == QEvent::Show;
    if (shownOrHidden && !event->spontaneous() && !destroying_ && watched == MainWindow()) {
        if (event->type() == QEvent::Hide && isFloating() && !isHidden()) {
            withOwner_ = true;
            FollowOwner(false);
        } else if (event->type() == QEvent::Show && withOwner_) {
            withOwner_ = false;
            FollowOwner(true);
        }
    }
    return QDockWidget::eventFilter(watched, event);
}

void TDockClientForm::FollowOwner(bool shown)
{
    followingOwner_ = true;
    setVisible(shown);
    followingOwner_ = false;
}

bool TDockClientForm::Dragging() const
{
    // Qt lifts a window out of the window manager's hands while it is
    // dragged to be docked.
    return windowFlags().testFlag(Qt::X11BypassWindowManagerHint);
}

// Only what the window manager reports is the user's floating size and
// place: what Qt does to the window on its own (lifting it out, moving it
// with the mouse, docking it, holding it at its smallest size) is not.
void TDockClientForm::resizeEvent(QResizeEvent* event)
{
    QDockWidget::resizeEvent(event);
    if (!event->spontaneous() || !trackFloating_ || !isFloating())
        return;
    // A size below the window's smallest stays as it was stored while the
    // window is held at its smallest.
    const QSize least = minimumSizeHint().expandedTo(minimumSize());
    if (width() != std::max(UndockWidth(), least.width()))
        undockWidth_ = width();
    if (height() != std::max(UndockHeight(), least.height()))
        undockHeight_ = height();
}

void TDockClientForm::moveEvent(QMoveEvent* event)
{
    QDockWidget::moveEvent(event);
    if (event->spontaneous() && trackFloating_ && isFloating())
        floatPlace_ = geometry().topLeft();
}

int TDockClientForm::UndockWidth() const
{
    return undockWidth_ > 0 ? undockWidth_ : width();
}

int TDockClientForm::UndockHeight() const
{
    return undockHeight_ > 0 ? undockHeight_ : height();
}

void TDockClientForm::OnTopLevelChanged(bool floating)
{
    trackFloating_ = false;
    if (!floating)
        return;
    const Qt::DockWidgetArea old = area_;
    area_ = Qt::NoDockWidgetArea;
    if (TDockPanel* panel = TDockPanel::For(MainWindow(), old))
        panel->ClientUndocked(this);
    floated_ = true;
    droppedByUser_ = Dragging();
}

void TDockClientForm::SettleFloating()
{
    settlePending_ = false;
    if (!isFloating() || Dragging())
        return;
    const bool shown = !isHidden();
    // Where the user let go of it (the inside of the frameless window Qt
    // dragged).
    const QPoint dropped = geometry().topLeft();
    const bool reframe = windowFlags().testFlag(Qt::FramelessWindowHint);
    if (reframe) {
        followingOwner_ = true;
        setWindowFlags(kFloatingFlags);
        followingOwner_ = false;
    }
    if (floated_) {
        // Just floated: its own floating size, where it was dropped, or at
        // its last place, or beside the main window.
        floated_ = false;
        const QSize size(UndockWidth(), UndockHeight());
        setGeometry(QRect(droppedByUser_    ? dropped
                              : floatPlace_ ? *floatPlace_
                                            : BesideMainWindow(size),
                          size));
    } else if (reframe) {
        setGeometry(QRect(dropped, size()));
    }
    if (reframe && shown) {
        followingOwner_ = true;
        show();
        followingOwner_ = false;
    }
    trackFloating_ = true;
}

QPoint TDockClientForm::BesideMainWindow(const QSize& size) const
{
    const QMainWindow* window = MainWindow();
    if (!window)
        return geometry().topLeft();
    const QRect main = window->frameGeometry();
    // Its own frame is not known before it is shown: the main window's
    // stands in for it.
    const QRect inside = window->geometry();
    const QMargins frame(inside.left() - main.left(), inside.top() - main.top(),
                         main.right() - inside.right(), main.bottom() - inside.bottom());
    const QSize outer = size.grownBy(frame);
    QRect beside(QPoint(main.right() + 1, main.top()), outer);
    if (screens::Fit(beside) != beside) {
        const QRect left(QPoint(main.left() - outer.width(), main.top()), outer);
        beside = screens::Fit(left) == left ? left : screens::Fit(beside);
    }
    return beside.topLeft() + QPoint(frame.left(), frame.top());
}

void TDockClientForm::OnDockLocationChanged(Qt::DockWidgetArea area)
{
    if (manualDocking_ || isFloating() || area == Qt::NoDockWidgetArea)
        return;
    area_ = area;
    TDockPanel* panel = TDockPanel::For(MainWindow(), area);
    if (!panel)
        return;
    // The drop side: where the window landed beside the panel's other
    // visible windows.
    int side = alNone;
    const QList<QDockWidget*> clients = panel->DockClients();
    QList<QDockWidget*> visible;
    for (QDockWidget* d : clients)
        if (!d->isHidden())
            visible << d;
    if (visible.size() >= 2) {
        const bool first = visible.first() == this;
        if (area == Qt::BottomDockWidgetArea || area == Qt::TopDockWidgetArea)
            side = first ? alLeft : alRight;
        else
            side = first ? alTop : alBottom;
    }
    panel->ClientDropped(this, side, true);
}

std::string TDockClientForm::SaveDockState() const
{
    const Qt::DockWidgetArea area = DockedArea();
    QPoint pos = geometry().topLeft();
    if (area != Qt::NoDockWidgetArea) {
        // Docked: the position inside the panel, as the panel's own
        // coordinates would give it.
        QPoint origin = pos;
        if (const TDockPanel* panel = TDockPanel::For(MainWindow(), area)) {
            for (const QDockWidget* d : panel->DockClients())
                if (!d->isHidden()) {
                    origin.setX(std::min(origin.x(), d->x()));
                    origin.setY(std::min(origin.y(), d->y()));
                }
        }
        pos -= origin;
    }
    char text[128];
    std::snprintf(text, sizeof text, "%d,%d,%d,%d,%d,%d,%d", static_cast<int>(AlignOf(area)),
                  Shown() ? 1 : 0, dropSide_, pos.x(), pos.y(), UndockWidth(), UndockHeight());
    return text;
}

int TDockClientForm::LoadDockState(std::string_view text)
{
    const std::vector<std::string> items = sjis::ReadCommaText(text, 7);
    if (items.size() <= 6)
        return 0;
    int v[7];
    for (int i = 0; i < 7; ++i)
        if (!ToInt(items[i], v[i]))
            return 0; // nothing applied, as for a short text
    dropSide_ = v[2] & 0xFF;
    QRect bounds(std::max(v[3], 0), std::max(v[4], 0), v[5], v[6]);
    if (v[5] <= 0 || v[6] <= 0)
        bounds.setSize(QSize(kDefaultWidth, kDefaultHeight));
    bounds = screens::Fit(bounds);
    setGeometry(bounds);
    undockWidth_ = bounds.width();
    undockHeight_ = bounds.height();
    savedVisible_ = v[1] == 1;
    const int side = v[0] & 0xFF;
    // Only a floating window's place is a place on the screen.
    floatPlace_.reset();
    if (side != alBottom && side != alLeft && side != alRight)
        floatPlace_ = bounds.topLeft();
    return side;
}

void TDockClientForm::RestoreVisible()
{
    const QWidget* owner = parentWidget();
    withOwner_ = savedVisible_ && isFloating() && owner && !owner->isVisible();
    if (withOwner_) {
        // It comes with its main window.
        hide();
        SyncButton();
        return;
    }
    setVisible(savedVisible_);
}

void TDockClientForm::ManualFloat(QMainWindow* window)
{
    if (!window)
        return;
    // A dock widget floats from a main window's layout, so that the user can
    // dock it again later.
    if (parentWidget() != window || window->dockWidgetArea(this) == Qt::NoDockWidgetArea) {
        manualDocking_ = true;
        window->addDockWidget(Qt::LeftDockWidgetArea, this);
        manualDocking_ = false;
    }
    setFloating(true);
    SettleFloating();
}

// ---- TDockPanel ------------------------------------------------------------

TDockPanel::TDockPanel(QMainWindow* window, TAlign align)
    : QObject(window), window_(window), align_(align)
{
    if (window)
        window->installEventFilter(this);
}

void TDockPanel::PrepareWindow(QMainWindow* window)
{
    window->setCorner(Qt::TopLeftCorner, Qt::LeftDockWidgetArea);
    window->setCorner(Qt::BottomLeftCorner, Qt::LeftDockWidgetArea);
    window->setCorner(Qt::TopRightCorner, Qt::RightDockWidgetArea);
    window->setCorner(Qt::BottomRightCorner, Qt::RightDockWidgetArea);
    // Unanimated: a window docks at once when it is dropped, so that its
    // floating size is never taken from the steps of an animation.
    window->setDockOptions({});
}

TDockPanel* TDockPanel::For(const QMainWindow* window, Qt::DockWidgetArea area)
{
    if (!window || area == Qt::NoDockWidgetArea)
        return nullptr;
    for (TDockPanel* panel : window->findChildren<TDockPanel*>(Qt::FindDirectChildrenOnly))
        if (panel->Area() == area)
            return panel;
    return nullptr;
}

Qt::DockWidgetArea TDockPanel::Area() const
{
    switch (align_) {
    case alLeft:
        return Qt::LeftDockWidgetArea;
    case alRight:
        return Qt::RightDockWidgetArea;
    case alTop:
        return Qt::TopDockWidgetArea;
    case alBottom:
        return Qt::BottomDockWidgetArea;
    default:
        return Qt::NoDockWidgetArea;
    }
}

Qt::Orientation TDockPanel::SizeOrientation() const
{
    return align_ == alTop || align_ == alBottom ? Qt::Vertical : Qt::Horizontal;
}

int TDockPanel::ExtentOf(const QDockWidget* dock) const
{
    return SizeOrientation() == Qt::Vertical ? dock->height() : dock->width();
}

QList<QDockWidget*> TDockPanel::DockClients() const
{
    QList<QDockWidget*> out;
    if (!window_ || Area() == Qt::NoDockWidgetArea)
        return out;
    for (QDockWidget* d : window_->findChildren<QDockWidget*>(Qt::FindDirectChildrenOnly))
        if (!d->isFloating() && window_->dockWidgetArea(d) == Area())
            out << d;
    const bool across = SizeOrientation() == Qt::Vertical;
    std::stable_sort(out.begin(), out.end(), [across](const QDockWidget* a, const QDockWidget* b) {
        return across ? a->x() < b->x() : a->y() < b->y();
    });
    return out;
}

int TDockPanel::VisibleDockClientCount(const QDockWidget* leaveOut) const
{
    int n = 0;
    for (const QDockWidget* d : DockClients())
        if (!d->isHidden() && d != leaveOut)
            ++n;
    return n;
}

int TDockPanel::Extent() const
{
    int extent = 0;
    for (const QDockWidget* d : DockClients())
        if (!d->isHidden())
            extent = std::max(extent, ExtentOf(d));
    return extent;
}

int TDockPanel::ParentExtent() const
{
    if (!window_)
        return 0;
    if (SizeOrientation() == Qt::Horizontal)
        return window_->width();
    // The bottom panel shares its height with the central widget.
    int bottom = window_->height();
    if (const QStatusBar* bar =
            window_->findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly))
        if (!bar->isHidden())
            bottom = bar->y();
    const QWidget* central = window_->centralWidget();
    return bottom - (central ? central->y() : 0);
}

void TDockPanel::UpdateSize(const QDockWidget* leaveOut)
{
    if (!window_)
        return;
    QList<QDockWidget*> visible;
    for (QDockWidget* d : DockClients())
        if (!d->isHidden() && d != leaveOut)
            visible << d;
    // None: the area collapses by itself. Two or more: the area keeps its
    // extent, which the layout does by itself too.
    if (visible.size() == 1 && rememberedSize_ > 0)
        window_->resizeDocks({ visible.first() }, { rememberedSize_ }, SizeOrientation());
}

void TDockPanel::ManualDock(TDockClientForm* client, int dropSide)
{
    if (!window_ || !client || Area() == Qt::NoDockWidgetArea)
        return;
    QList<QDockWidget*> others = DockClients();
    others.removeAll(client);
    const Qt::Orientation stacking =
        SizeOrientation() == Qt::Vertical ? Qt::Horizontal : Qt::Vertical;
    client->manualDocking_ = true;
    window_->addDockWidget(Area(), client, stacking);
    if (client->isFloating())
        client->setFloating(false);
    if (!others.isEmpty() && (dropSide == alTop || dropSide == alLeft)) {
        // splitDockWidget puts its second argument after its first.
        window_->splitDockWidget(client, others[0], stacking);
        for (qsizetype i = 1; i < others.size(); ++i)
            window_->splitDockWidget(others[i - 1], others[i], stacking);
    }
    client->manualDocking_ = false;
    client->area_ = Area();
    ClientDropped(client, dropSide, false);
}

void TDockPanel::ClientDropped(TDockClientForm* client, int dropSide, bool byUser)
{
    client->dropSide_ = dropSide & 0xFF;
    if (DockClients().size() >= 2)
        return;
    int size = SizeOrientation() == Qt::Vertical ? client->UndockHeight() : client->UndockWidth();
    if (byUser) {
        // Dragged into an empty panel: the window's undocked extent, at most
        // half of what the panel shares with the central widget.
        const int half = ParentExtent() / 2;
        if (size >= half)
            size = half;
    }
    rememberedSize_ = size;
    UpdateSize();
}

void TDockPanel::ClientUndocked(TDockClientForm* client)
{
    UpdateSize(client);
}

void TDockPanel::RememberCurrentSize()
{
    if (VisibleDockClientCount() > 0)
        rememberedSize_ = Extent();
}

bool TDockPanel::eventFilter(QObject* watched, QEvent* event)
{
    // The separators between the dock areas and the centre belong to the main
    // window itself: a button released on it may end a drag of the panel's
    // edge, and the size it leaves becomes the remembered size.
    // The type test comes first: while the main window is being destroyed it
    // is no longer a QMainWindow, and the pointer must not be looked at.
    if (event->type() == QEvent::MouseButtonRelease && watched == window_.get())
        QTimer::singleShot(0, this, [this] { RememberCurrentSize(); });
    return QObject::eventFilter(watched, event);
}
