#pragma once

// Dockable tool windows and the dock areas of the main window.
//
// TDockClientForm is the base of every dockable tool window (the list window,
// the memo view): a QDockWidget that keeps a tool button in step with its
// visibility and writes and reads its dock state as a text of seven numbers.
// Floating, it is a tool window framed by the window manager, at its own
// floating size, that goes and comes back with its main window.
// TDockPanel stands for one dock area of a QMainWindow (left, right or
// bottom) and keeps the area's size rule: the remembered size with exactly
// one visible window, the current size with more, nothing with none.
//
// Setting up a main window:
//     TDockPanel::PrepareWindow(window);   // corners, no tabs, no nesting
//     auto* left = new TDockPanel(window, alLeft);
//     auto* right = new TDockPanel(window, alRight);
//     auto* bottom = new TDockPanel(window, alBottom);
// Restoring a tool window from its text:
//     int side = form->LoadDockState(text);
//     if (side == alBottom) bottom->ManualDock(form, form->DropSide());
//     else if (side == alLeft) left->ManualDock(form, form->DropSide());
//     else if (side == alRight) right->ManualDock(form, form->DropSide());
//     else form->ManualFloat(window);
//     form->RestoreVisible();

#include <QDockWidget>
#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <QMetaObject>
#include <QPointer>
#include <QToolButton>

#include <optional>
#include <string>
#include <string_view>

// Sides as the dock-state text counts them.
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

class TDockPanel;

class TDockClientForm : public QDockWidget
{
    Q_OBJECT

public:
    // parent is the main window the form docks into. The form starts hidden.
    explicit TDockClientForm(QWidget* parent = nullptr);
    ~TDockClientForm() override;

    // The tool button that shows and toggles the window: linking it sets the
    // window's visibility to the button's checked state and makes a click
    // toggle the window. The button's "tag" property (int) holds 1 while the
    // window is visible, its "imageIndex" property the state image, and its
    // icon the image of that index (SetImages). Checked state and icon also go
    // to the button's default action when it has one.
    QToolButton* VisibleButton() const { return visibleButton_; }
    void SetVisibleButton(QToolButton* button);
    void SetStateImage(bool shown, int index);
    int StateImage(bool shown) const { return stateImages_[shown ? 1 : 0]; }
    bool ChangeImages() const { return changeImages_; }
    void SetChangeImages(bool change) { changeImages_ = change; }
    // The images the state image indexes select (the tool bar's image list).
    void SetImages(const QList<QIcon>& images);

    // "side,visible,drop side,left,top,undocked width,undocked height".
    std::string SaveDockState() const;
    // Applies a dock-state text and returns its dock side (a TAlign ordinal);
    // a text of fewer than seven items or with an item that is not a number
    // changes nothing and gives 0.
    int LoadDockState(std::string_view text);
    // Shows or hides the window as the last loaded text said. A floating
    // window of a main window not shown yet comes with it.
    void RestoreVisible();
    bool SavedVisible() const { return savedVisible_; }
    // Shown as the user left it: visible, or floating and hidden only while
    // its main window is hidden.
    bool Shown() const { return !isHidden() || withOwner_; }

    // The side of a panel on which the window was last dropped, relative to
    // the panel's other windows (alNone when it was dropped alone).
    int DropSide() const { return dropSide_; }
    // The size the window takes when floating.
    int UndockWidth() const;
    int UndockHeight() const;

    // The panel the window is docked in (hidden or not); nullptr when
    // floating or not docked.
    TDockPanel* HostDockSite() const;
    // The main window's dock area the window is docked in, NoDockWidgetArea
    // when floating or not docked.
    Qt::DockWidgetArea DockedArea() const;

    // Makes the window float: framed, at its undocked size, at the place
    // the last loaded text gave, else beside the main window. A window the
    // user floats takes the same size, and stays where it was dropped (or
    // goes beside the main window when it was floated without a drag).
    void ManualFloat(QMainWindow* window);

public slots:
    // The button's click: flips its tag and shows the window when it became 1.
    void ToggleVisible();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    friend class TDockPanel;
    void SyncButton();
    void OnTopLevelChanged(bool floating);
    void OnDockLocationChanged(Qt::DockWidgetArea area);
    // Frames, sizes and places a window that has come to float.
    void SettleFloating();
    // Hides or shows the window with its main window, the button untouched.
    void FollowOwner(bool shown);
    bool Dragging() const;
    // The inside's top left for a window of that size whose frame stands
    // right of the main window's, or left of it, or as near as the screen
    // allows.
    QPoint BesideMainWindow(const QSize& size) const;
    QMainWindow* MainWindow() const;

    QPointer<QToolButton> visibleButton_;
    QMetaObject::Connection buttonConnection_;
    bool savedVisible_ = false;
    int dropSide_ = alNone;
    int stateImages_[2] = { 0, 0 };
    bool changeImages_ = false;
    QList<QIcon> images_;
    int undockWidth_ = 0; // 0: the current width
    int undockHeight_ = 0; // 0: the current height
    // Where its inside stood when it last floated (from the loaded text at
    // first); none for a window that has not floated yet.
    std::optional<QPoint> floatPlace_;
    Qt::DockWidgetArea area_ = Qt::NoDockWidgetArea;
    bool trackFloating_ = false; // size and place are the user's
    bool floated_ = false; // floated, not yet sized and placed
    bool droppedByUser_ = false;
    bool settlePending_ = false;
    bool withOwner_ = false; // hidden while its main window is
    bool followingOwner_ = false;
    bool manualDocking_ = false;
    bool destroying_ = false;
};

class TDockPanel : public QObject
{
    Q_OBJECT

public:
    // One dock area of window: alLeft, alRight, alBottom (or alTop).
    TDockPanel(QMainWindow* window, TAlign align);

    // Corners for the side areas (so the bottom area lies under the central
    // widget only), no tabbed and no nested docks, no docking animation.
    static void PrepareWindow(QMainWindow* window);
    // The panel of an area of a window, nullptr when it has none.
    static TDockPanel* For(const QMainWindow* window, Qt::DockWidgetArea area);

    TAlign Align() const { return align_; }
    Qt::DockWidgetArea Area() const;
    QMainWindow* Window() const { return window_; }

    // The extent with exactly one visible window: width for a side panel,
    // height for a bottom panel.
    int RememberedSize() const { return rememberedSize_; }
    // The current extent: 0 when no docked window is visible.
    int Extent() const;
    // Dock widgets docked here, visible or not, in layout order.
    QList<QDockWidget*> DockClients() const;
    int VisibleDockClientCount(const QDockWidget* leaveOut = nullptr) const;

    // Docks a window here: before the panel's other windows for alTop and
    // alLeft, after them otherwise. Into an empty panel the window brings its
    // undocked width (side) or height (bottom) as the remembered size.
    void ManualDock(TDockClientForm* client, int dropSide = alNone);
    // Applies the size rule, counting the visible docked windows except
    // leaveOut.
    void UpdateSize(const QDockWidget* leaveOut = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TDockClientForm;
    Qt::Orientation SizeOrientation() const;
    int ExtentOf(const QDockWidget* dock) const;
    int ParentExtent() const;
    void ClientDropped(TDockClientForm* client, int dropSide, bool byUser);
    void ClientUndocked(TDockClientForm* client);
    void RememberCurrentSize();

    QPointer<QMainWindow> window_;
    TAlign align_;
    int rememberedSize_ = 0;
};
