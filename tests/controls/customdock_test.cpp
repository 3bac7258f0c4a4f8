#include "controls/customdock.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <memory>

namespace {

void Settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

QList<QIcon> Images()
{
    QList<QIcon> icons;
    for (int i = 0; i < 17; ++i) {
        QPixmap pm(16, 16);
        pm.fill(QColor(i * 15, 255 - i * 15, 100));
        icons << QIcon(pm);
    }
    return icons;
}

// The main window as the program builds it: a central widget, tool buttons
// for the two tool windows and three dock areas.
struct MainWindow
{
    QMainWindow window;
    QWidget* central = new QLabel(u"calendar"_qs);
    TDockPanel* left;
    TDockPanel* right;
    TDockPanel* bottom;
    TDockClientForm* list;
    TDockClientForm* memo;
    QToolButton* listButton = new QToolButton;
    QToolButton* memoButton = new QToolButton;
    QList<QIcon> images = Images();

    MainWindow()
    {
        window.resize(760, 520);
        window.setCentralWidget(central);
        TDockPanel::PrepareWindow(&window);
        left = new TDockPanel(&window, alLeft);
        right = new TDockPanel(&window, alRight);
        bottom = new TDockPanel(&window, alBottom);
        auto* bar = window.addToolBar(u"tools"_qs);
        bar->addWidget(listButton);
        bar->addWidget(memoButton);
        list = new TDockClientForm(&window);
        list->setWindowTitle(u"リストビュー"_qs);
        list->setWidget(new QLabel(u"list"_qs));
        memo = new TDockClientForm(&window);
        memo->setWidget(new QLabel(u"memo"_qs));
        Link(list, listButton, 9, 14);
        Link(memo, memoButton, 15, 16);
    }

    void Link(TDockClientForm* form, QToolButton* button, int hidden, int shown)
    {
        form->SetImages(images);
        form->SetVisibleButton(button);
        form->SetStateImage(false, hidden);
        form->SetStateImage(true, shown);
        form->SetChangeImages(true);
    }

    // What the main window does at start for each tool window.
    void Restore(TDockClientForm* form, const std::string& text)
    {
        const int side = form->LoadDockState(text);
        if (side == alBottom)
            bottom->ManualDock(form, form->DropSide());
        else if (side == alLeft)
            left->ManualDock(form, form->DropSide());
        else if (side == alRight)
            right->ManualDock(form, form->DropSide());
        else
            form->ManualFloat(&window);
        form->RestoreVisible();
    }

    void Show()
    {
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        Settle();
    }
};

QRect AvailableScreen()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

} // namespace

TEST(DockClientForm, DefaultTextsRestoreBothToolWindows)
{
    MainWindow m;
    m.Restore(m.list, "3,1,0,0,0,230,210");
    m.Restore(m.memo, "2,1,0,0,0,230,210");
    m.Show();

    EXPECT_EQ(m.list->DockedArea(), Qt::LeftDockWidgetArea);
    EXPECT_EQ(m.list->HostDockSite(), m.left);
    EXPECT_EQ(m.memo->DockedArea(), Qt::BottomDockWidgetArea);
    EXPECT_TRUE(m.list->isVisible());
    EXPECT_TRUE(m.memo->isVisible());
    EXPECT_NEAR(m.list->width(), 230, 2);
    EXPECT_NEAR(m.memo->height(), 210, 2);
    EXPECT_EQ(m.left->RememberedSize(), 230);
    EXPECT_EQ(m.bottom->RememberedSize(), 210);
    // The bottom area lies under the calendar only; the left one runs the
    // full height beside both.
    const QRect calendar = m.central->geometry();
    EXPECT_GE(m.memo->x(), m.list->geometry().right());
    EXPECT_GE(m.memo->y(), calendar.bottom());
    EXPECT_NEAR(m.memo->x(), calendar.x(), 1);
    EXPECT_NEAR(m.memo->width(), calendar.width(), 1);
    EXPECT_GE(m.list->geometry().bottom(), m.memo->geometry().bottom());
    EXPECT_EQ(m.right->Extent(), 0);

    EXPECT_EQ(m.list->SaveDockState(), "3,1,0,0,0,230,210");
    EXPECT_EQ(m.memo->SaveDockState(), "2,1,0,0,0,230,210");
    // The buttons followed the restored visibility.
    EXPECT_TRUE(m.listButton->isChecked());
    EXPECT_EQ(m.listButton->property("tag").toInt(), 1);
    EXPECT_EQ(m.listButton->property("imageIndex").toInt(), 14);
    EXPECT_EQ(m.memoButton->property("imageIndex").toInt(), 16);
}

TEST(DockClientForm, LoadDockStateRules)
{
    MainWindow m;
    TDockClientForm& f = *m.list;
    EXPECT_EQ(f.LoadDockState("3,1,0,0,0,230,210"), alLeft);
    EXPECT_TRUE(f.SavedVisible());
    EXPECT_EQ(f.DropSide(), 0);
    EXPECT_EQ(f.geometry(), QRect(0, 0, 230, 210));
    EXPECT_EQ(f.UndockWidth(), 230);
    EXPECT_EQ(f.UndockHeight(), 210);

    // Short texts and texts with an item that is not a number change nothing.
    for (const char* bad :
         { "", "3,1,0", "3,1,0,0,0,230", "3,1,x,0,0,230,210", "3,1,0,0,0,230,2.5",
           "3,1,0,0,0,230,99999999999", "3,1,0,0,0,$,210", "3,1,0,0,0,230,-", "a,b,c,d,e,f,g" }) {
        EXPECT_EQ(f.LoadDockState(bad), 0) << bad;
        EXPECT_TRUE(f.SavedVisible()) << bad;
        EXPECT_EQ(f.geometry(), QRect(0, 0, 230, 210)) << bad;
    }

    EXPECT_EQ(f.LoadDockState("0,0,4,-20,-5,230,210"), 0);
    EXPECT_FALSE(f.SavedVisible());
    EXPECT_EQ(f.DropSide(), alRight);
    EXPECT_EQ(f.geometry().topLeft(), QPoint(0, 0));

    // Low bytes, "$" hexadecimal, blanks and quotes, extra items.
    EXPECT_EQ(f.LoadDockState("$103,1,$201,10,20,300,200,99,x"), 3);
    EXPECT_EQ(f.DropSide(), 1);
    EXPECT_EQ(f.geometry(), QRect(10, 20, 300, 200));
    EXPECT_EQ(f.LoadDockState(" 4 , \"1\" ,0,5,6,240,220"), alRight);
    EXPECT_EQ(f.geometry(), QRect(5, 6, 240, 220));
    EXPECT_TRUE(f.SavedVisible());

    // A width or height of 0 or less gives the default size.
    f.LoadDockState("0,1,0,10,10,0,300");
    EXPECT_EQ(f.geometry(), QRect(10, 10, 230, 210));
    f.LoadDockState("0,1,0,10,10,300,-1");
    EXPECT_EQ(f.geometry().size(), QSize(230, 210));
    EXPECT_EQ(f.UndockWidth(), 230);

    // Floating bounds stay on the available screen.
    const QRect screen = AvailableScreen();
    f.LoadDockState("0,1,0,5000,5000,230,210");
    EXPECT_EQ(f.geometry(), QRect(screen.right() + 1 - 230, screen.bottom() + 1 - 210, 230, 210));
    f.LoadDockState("0,1,0,0,0,50000,40000");
    EXPECT_EQ(f.geometry(), screen);
    EXPECT_EQ(f.UndockWidth(), screen.width());
}

TEST(DockClientForm, SaveDockStateDockedHiddenFloating)
{
    MainWindow m;
    m.Restore(m.list, "3,1,0,0,0,230,210");
    m.Restore(m.memo, "2,1,0,0,0,230,210");
    m.Show();

    m.memo->hide();
    Settle();
    EXPECT_EQ(m.memo->SaveDockState(), "2,0,0,0,0,230,210");
    EXPECT_FALSE(m.memoButton->isChecked());

    m.list->setFloating(true);
    Settle();
    EXPECT_EQ(m.list->size(), QSize(230, 210)); // floats at its undocked size
    // The user moves and sizes it (through the window system).
    m.list->windowHandle()->setGeometry(100, 120, 300, 250);
    Settle();
    EXPECT_EQ(m.list->SaveDockState(), "0,1,0,100,120,300,250");
    EXPECT_EQ(m.left->Extent(), 0);

    // Closed with its close box while floating: the button follows.
    m.list->close();
    Settle();
    EXPECT_EQ(m.list->SaveDockState(), "0,0,0,100,120,300,250");
    EXPECT_FALSE(m.listButton->isChecked());
    EXPECT_EQ(m.listButton->property("tag").toInt(), 0);
    EXPECT_EQ(m.listButton->property("imageIndex").toInt(), 9);

    // Docked again, the window keeps its floating size for the next time.
    m.list->show();
    m.list->setFloating(false);
    Settle();
    EXPECT_EQ(m.list->DockedArea(), Qt::LeftDockWidgetArea);
    EXPECT_EQ(m.list->UndockWidth(), 300);
    EXPECT_EQ(m.list->UndockHeight(), 250);
    EXPECT_EQ(m.list->SaveDockState().substr(0, 10), "3,1,0,0,0,");
    m.list->setFloating(true);
    Settle();
    EXPECT_EQ(m.list->size(), QSize(300, 250));
}

TEST(DockClientForm, FloatingTextRestoresFloating)
{
    MainWindow m;
    m.Restore(m.list, "0,1,0,40,50,260,220");
    m.Restore(m.memo, "0,0,0,0,0,230,210");
    m.Show();
    EXPECT_TRUE(m.list->isFloating());
    EXPECT_TRUE(m.list->isVisible());
    EXPECT_EQ(m.list->geometry(), QRect(40, 50, 260, 220));
    EXPECT_EQ(m.list->SaveDockState(), "0,1,0,40,50,260,220");
    EXPECT_TRUE(m.memo->isHidden());
    EXPECT_EQ(m.memo->SaveDockState(), "0,0,0,0,0,230,210");
    EXPECT_EQ(m.left->Extent(), 0);
    EXPECT_EQ(m.bottom->Extent(), 0);
}

// Floated without a drag: its floating size, beside the main window; a
// floating window is hidden and shown with its main window.
TEST(DockClientForm, FloatsBesideTheMainWindowAndGoesWithIt)
{
    MainWindow m;
    m.window.setGeometry(10, 10, 400, 300);
    m.Restore(m.memo, "2,1,0,0,0,300,200");
    m.Restore(m.list, "0,1,0,40,50,260,220");
    EXPECT_TRUE(m.list->isHidden()); // until its main window shows
    m.Show();
    EXPECT_TRUE(m.list->isVisible());
    m.memo->setFloating(true);
    Settle();
    EXPECT_EQ(m.memo->size(), QSize(300, 200));
    EXPECT_GT(m.memo->frameGeometry().left(), m.window.frameGeometry().right());
    m.window.hide();
    EXPECT_TRUE(m.memo->isHidden());
    EXPECT_EQ(m.memo->SaveDockState().substr(0, 4), "0,1,");
    m.window.show();
    EXPECT_TRUE(m.memo->isVisible());
}

TEST(DockClientForm, VisibilityButton)
{
    MainWindow m;
    m.Restore(m.list, "3,0,0,0,0,230,210");
    m.Show();
    EXPECT_TRUE(m.list->isHidden());
    EXPECT_EQ(m.left->Extent(), 0);

    QTest::mouseClick(m.listButton, Qt::LeftButton);
    Settle();
    EXPECT_TRUE(m.list->isVisible());
    EXPECT_TRUE(m.listButton->isChecked());
    EXPECT_EQ(m.listButton->property("tag").toInt(), 1);
    EXPECT_EQ(m.listButton->property("imageIndex").toInt(), 14);
    EXPECT_EQ(m.listButton->icon().cacheKey(), m.images[14].cacheKey());
    EXPECT_NEAR(m.left->Extent(), 230, 2);

    QTest::mouseClick(m.listButton, Qt::LeftButton);
    Settle();
    EXPECT_TRUE(m.list->isHidden());
    EXPECT_FALSE(m.listButton->isChecked());
    EXPECT_EQ(m.listButton->property("tag").toInt(), 0);
    EXPECT_EQ(m.listButton->icon().cacheKey(), m.images[9].cacheKey());
    EXPECT_EQ(m.left->Extent(), 0);

    // Linking a checked button shows the window.
    QToolButton other;
    other.setCheckable(true);
    other.setChecked(true);
    m.list->SetVisibleButton(&other);
    EXPECT_FALSE(m.list->isHidden());
    EXPECT_EQ(other.property("imageIndex").toInt(), 14);
    // The old button no longer toggles the window.
    QTest::mouseClick(m.listButton, Qt::LeftButton);
    EXPECT_FALSE(m.list->isHidden());

    // A freed button is forgotten.
    {
        auto gone = std::make_unique<QToolButton>();
        m.memo->SetVisibleButton(gone.get());
    }
    EXPECT_EQ(m.memo->VisibleButton(), nullptr);
    m.memo->show();
    m.memo->hide();
    EXPECT_TRUE(m.memo->isHidden());
}

TEST(DockPanel, TwoWindowsInOneAreaKeepTheSize)
{
    MainWindow m;
    m.Restore(m.memo, "2,1,0,0,0,230,180");
    m.Restore(m.list, "2,1,4,0,0,230,210");
    m.Show();
    ASSERT_EQ(m.bottom->DockClients().size(), 2);
    EXPECT_EQ(m.bottom->DockClients()[0], m.memo); // drop side right: after the memo
    EXPECT_EQ(m.bottom->RememberedSize(), 180); // from the first window dropped
    EXPECT_NEAR(m.bottom->Extent(), 180, 2);
    const int calendarBottom = m.central->geometry().bottom();

    m.list->hide();
    Settle();
    EXPECT_NEAR(m.bottom->Extent(), 180, 2);
    EXPECT_EQ(m.central->geometry().bottom(), calendarBottom);
    m.memo->hide();
    Settle();
    EXPECT_EQ(m.bottom->Extent(), 0);
    EXPECT_GT(m.central->geometry().bottom(), calendarBottom + 150);
    m.list->show();
    Settle();
    EXPECT_NEAR(m.list->height(), 180, 2);

    // Dragging the separator between the calendar and the panel sets the
    // remembered size.
    m.memo->show();
    Settle();
    const QPoint grip((m.list->x() + m.list->geometry().right()) / 2,
                      (m.central->geometry().bottom() + m.list->y()) / 2);
    QTest::mousePress(&m.window, Qt::LeftButton, {}, grip);
    const int before = m.bottom->Extent();
    QTest::mouseMove(&m.window, grip - QPoint(0, 40));
    // The main window applies separator moves on its own timer.
    EXPECT_TRUE(QTest::qWaitFor([&] { return m.bottom->Extent() != before; }));
    QTest::mouseRelease(&m.window, Qt::LeftButton, {}, grip - QPoint(0, 40));
    Settle();
    const int dragged = m.bottom->Extent();
    EXPECT_NEAR(dragged, 220, 3);
    EXPECT_EQ(m.bottom->RememberedSize(), dragged);
    m.list->hide();
    m.memo->hide();
    Settle();
    EXPECT_EQ(m.bottom->Extent(), 0);
    m.memo->show();
    Settle();
    EXPECT_EQ(m.bottom->Extent(), dragged);
}

TEST(DockPanel, DropOrderAndDropSide)
{
    MainWindow m;
    m.Restore(m.memo, "3,1,0,0,0,230,210");
    m.Restore(m.list, "3,1,1,0,0,250,210"); // drop side top: above the memo
    m.Show();
    const QList<QDockWidget*> clients = m.left->DockClients();
    ASSERT_EQ(clients.size(), 2);
    EXPECT_EQ(clients[0], m.list);
    EXPECT_EQ(clients[1], m.memo);
    EXPECT_LT(m.list->y(), m.memo->y());
    EXPECT_EQ(m.list->SaveDockState().substr(0, 6), "3,1,1,");
    // The memo sits below the list inside the panel.
    const std::string memoState = m.memo->SaveDockState();
    EXPECT_EQ(memoState.substr(0, 8), "3,1,0,0,");
    EXPECT_NE(memoState.substr(8, 2), "0,");
    EXPECT_EQ(m.left->RememberedSize(), 230);

    // Docked by the user into an empty panel: the undocked width, at most half
    // of the window.
    m.list->LoadDockState("0,1,0,0,0,600,210");
    m.list->setFloating(true);
    Settle();
    m.window.addDockWidget(Qt::RightDockWidgetArea, m.list);
    m.list->setFloating(false);
    Settle();
    EXPECT_EQ(m.list->DockedArea(), Qt::RightDockWidgetArea);
    EXPECT_EQ(m.right->RememberedSize(), m.window.width() / 2);
    EXPECT_EQ(m.list->DropSide(), alNone);
}
