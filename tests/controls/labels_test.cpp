#include "controls/bevlabel.h"
#include "controls/btnlabel.h"
#include "widgets.h"

#include <QApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QColor kHighlight(250, 250, 250);
const QColor kShadow(100, 100, 100);
const QColor kButton(200, 200, 200);
const QColor kBase(255, 255, 240);

QPalette TestPalette()
{
    QPalette p;
    for (auto group : { QPalette::Active, QPalette::Inactive }) {
        p.setColor(group, QPalette::Light, kHighlight);
        p.setColor(group, QPalette::Mid, kShadow);
        p.setColor(group, QPalette::Button, kButton);
        p.setColor(group, QPalette::Window, kButton);
        p.setColor(group, QPalette::Base, kBase);
        p.setColor(group, QPalette::Text, Qt::black);
    }
    return p;
}

QImage Shot(QWidget& w)
{
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Bounding box of the pixels that differ clearly from the face colour.
QRect InkBox(const QImage& img, const QColor& face, const QRect& within)
{
    QRect box;
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (std::abs(c.red() - face.red()) + std::abs(c.green() - face.green()) +
                    std::abs(c.blue() - face.blue()) >
                200)
                box = box.united(QRect(x, y, 1, 1));
        }
    return box;
}

bool HasPixel(const QImage& img, const QRect& within, const QColor& color)
{
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x)
            if (img.pixelColor(x, y) == color)
                return true;
    return false;
}

QFont BigFont()
{
    QFont f(u"IPAGothic"_qs);
    f.setPixelSize(16);
    return f;
}

// A top-level window holding the control, shown and active so that focus works.
template<class W> struct Shown
{
    QWidget window;
    W* w;
    Shown(QSize size)
    {
        window.setPalette(TestPalette());
        window.resize(size + QSize(40, 40));
        w = new W(&window);
        w->setGeometry(QRect(QPoint(20, 20), size));
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        QApplication::processEvents();
    }
};

} // namespace

// ---- TBevelLabel -----------------------------------------------------------

TEST(BevelLabel, DownSwitchesBevelsAndRepaintsOnlyOnChange)
{
    Shown<TBevelLabel> s(QSize(60, 30));
    TBevelLabel& l = *s.w;
    EXPECT_EQ(l.BevelInner(), bvLowered);
    EXPECT_EQ(l.BevelOuter(), bvNone);
    EXPECT_EQ(l.BevelWidth(), 1);
    l.SetBevelOuter(bvRaised);
    QApplication::processEvents();
    PaintCounter counter;
    l.installEventFilter(&counter);

    l.SetDown(false); // the current value: nothing at all
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);
    EXPECT_EQ(l.BevelOuter(), bvRaised);

    l.SetDown(true);
    QApplication::processEvents();
    EXPECT_GE(counter.paints, 1);
    EXPECT_EQ(l.BevelInner(), bvLowered);
    EXPECT_EQ(l.BevelOuter(), bvNone);
    QImage img = Shot(l);
    EXPECT_EQ(img.pixelColor(0, 15), kShadow);
    EXPECT_EQ(img.pixelColor(59, 15), kHighlight);

    l.SetDown(false);
    EXPECT_EQ(l.BevelInner(), bvRaised);
    img = Shot(l);
    EXPECT_EQ(img.pixelColor(0, 15), kHighlight);
    EXPECT_EQ(img.pixelColor(59, 15), kShadow);

    // Unchanged values of the change-only properties do not repaint either.
    QApplication::processEvents();
    const int settled = counter.paints;
    l.SetTextBorder(0);
    l.SetLineBorder(0);
    l.SetTextOffset(0);
    l.SetTextRotate(trNone);
    l.SetSingleLine(false);
    l.SetLayout(tlTop);
    l.SetAlignment(taLeftJustify);
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, settled);
    l.SetLineBorder(3);
    QApplication::processEvents();
    EXPECT_GT(counter.paints, settled);
}

TEST(BevelLabel, BevelsBorderBandAndFaceColours)
{
    Shown<TBevelLabel> s(QSize(40, 20));
    TBevelLabel& l = *s.w;
    l.SetBevelOuter(bvRaised);
    l.SetBevelInner(bvLowered);
    l.SetBevelWidth(2);
    l.SetBorderWidth(3);
    l.SetColor(colors::clRed);
    const QImage img = Shot(l);
    const QColor red(255, 0, 0);
    const QColor left[] = { kHighlight, kHighlight, red, red, red, kShadow, kShadow, red };
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(img.pixelColor(x, 10), left[x]) << x;
    const QColor right[] = { kShadow, kShadow, red, red, red, kHighlight, kHighlight, red };
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(img.pixelColor(39 - i, 10), right[i]) << i;
    EXPECT_EQ(img.pixelColor(20, 1), kHighlight);
    EXPECT_EQ(img.pixelColor(20, 18), kShadow);

    l.SetColor(-1);
    EXPECT_EQ(Shot(l).pixelColor(20, 10), kBase); // the window colour
    l.SetColor(colors::clBtnFace);
    EXPECT_EQ(Shot(l).pixelColor(20, 10), kButton);
}

TEST(BevelLabel, SingleLineRotation)
{
    Shown<TBevelLabel> s(QSize(150, 150));
    TBevelLabel& l = *s.w;
    l.setFont(BigFont());
    l.SetBevelInner(bvNone);
    l.SetColor(colors::clWhite);
    l.SetFontColor(colors::clBlack);
    l.SetCaption(u"WWWWWWW"_qs);
    const QRect all(0, 0, 150, 150);

    l.SetSingleLine(true);
    QRect box = InkBox(Shot(l), Qt::white, all);
    ASSERT_FALSE(box.isEmpty());
    EXPECT_GT(box.width(), box.height());
    EXPECT_LT(box.top(), 10);
    EXPECT_LT(box.left(), 10);

    // Sideways to the left: the caption runs upwards from the bottom-left.
    l.SetTextRotate(trLeft);
    box = InkBox(Shot(l), Qt::white, all);
    ASSERT_FALSE(box.isEmpty());
    EXPECT_GT(box.height(), box.width());
    EXPECT_LT(box.left(), 10);
    EXPECT_GT(box.bottom(), 140);

    l.SetTextRotate(trRight);
    box = InkBox(Shot(l), Qt::white, all);
    EXPECT_GT(box.height(), box.width());
    EXPECT_GT(box.right(), 140);
    EXPECT_LT(box.top(), 10);

    // Rotation applies to single-line mode only.
    l.SetTextRotate(trLeft);
    l.SetSingleLine(false);
    box = InkBox(Shot(l), Qt::white, all);
    EXPECT_GT(box.width(), box.height());
    EXPECT_LT(box.top(), 10);

    // Layout and alignment place the single line in the text box.
    l.SetSingleLine(true);
    l.SetTextRotate(trNone);
    l.SetLayout(tlBottom);
    l.SetAlignment(taRightJustify);
    box = InkBox(Shot(l), Qt::white, all);
    EXPECT_GT(box.bottom(), 135);
    EXPECT_GT(box.right(), 140);
    l.SetLayout(tlCenter);
    l.SetAlignment(taCenter);
    box = InkBox(Shot(l), Qt::white, all);
    EXPECT_NEAR(box.center().x(), 75, 4);
    EXPECT_NEAR(box.center().y(), 75, 6);
}

TEST(BevelLabel, MultiLineTextStaysInsideTheFrame)
{
    Shown<TBevelLabel> s(QSize(120, 60));
    TBevelLabel& l = *s.w;
    l.setFont(BigFont());
    l.SetBevelInner(bvLowered);
    l.SetBevelWidth(4);
    l.SetColor(colors::clWhite);
    l.SetFontColor(colors::clBlack);
    // A text running left over the frame and down past the bottom.
    l.SetTextOffset(-30);
    l.SetCaption(u"WWWWWWWWWWWW\nWWWW\nWWWW\nWWWW\nWWWW"_qs);
    const QImage img = Shot(l);
    for (int i = 0; i < 4; ++i) {
        for (int y = i; y < 60 - i - 1; ++y)
            EXPECT_EQ(img.pixelColor(i, y), kShadow) << i << "," << y;
        for (int x = i; x < 120 - i; ++x)
            EXPECT_EQ(img.pixelColor(x, 59 - i), kHighlight) << x << "," << 59 - i;
    }
    EXPECT_FALSE(InkBox(img, Qt::white, QRect(4, 4, 112, 52)).isEmpty());

    // Layout and alignment in multi-line mode.
    l.SetTextOffset(0);
    l.SetCaption(u"WW\nWW"_qs);
    l.SetAlignment(taRightJustify);
    l.SetLayout(tlBottom);
    QRect box = InkBox(Shot(l), Qt::white, QRect(4, 4, 112, 52));
    EXPECT_GT(box.right(), 105);
    EXPECT_GT(box.bottom(), 45);
    l.SetAlignment(taCenter);
    l.SetLayout(tlCenter);
    box = InkBox(Shot(l), Qt::white, QRect(4, 4, 112, 52));
    EXPECT_NEAR(box.center().x(), 60, 4);
    EXPECT_NEAR(box.center().y(), 30, 6);
}

TEST(BevelLabel, ClickAndDoubleClickSignals)
{
    Shown<TBevelLabel> s(QSize(60, 20));
    TBevelLabel& l = *s.w;
    QSignalSpy clicks(&l, &TBevelLabel::Clicked);
    QSignalSpy doubles(&l, &TBevelLabel::DoubleClicked);
    QTest::mouseClick(&l, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks.count(), 1);
    QTest::mouseDClick(&l, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(doubles.count(), 1);
    QTest::mouseClick(&l, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(l.hasFocus());
}

// ---- TButtonLabel ----------------------------------------------------------

TEST(ButtonLabel, PressLeaveReenterRelease)
{
    Shown<TButtonLabel> s(QSize(80, 30));
    TButtonLabel& b = *s.w;
    EXPECT_EQ(TButtonLabel().size(), QSize(185, 41));
    QSignalSpy clicks(&b, &TButtonLabel::Clicked);

    EXPECT_EQ(Shot(b).pixelColor(0, 15), kShadow); // lowered inner bevel at the edge
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(40, 15));
    EXPECT_TRUE(b.Pressed());
    // Pressed: everything moves 2 pixels right and down.
    QImage img = Shot(b);
    EXPECT_EQ(img.pixelColor(2, 15), kShadow);
    EXPECT_EQ(img.pixelColor(40, 2), kShadow);

    QTest::mouseMove(&b, QPoint(90, 15));
    EXPECT_FALSE(b.Pressed());
    QTest::mouseMove(&b, QPoint(40, 15));
    EXPECT_FALSE(b.Pressed()); // coming back does not press it again
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(40, 15));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_TRUE(b.hasFocus()); // the click takes the focus

    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(40, 15));
    QTest::mouseMove(&b, QPoint(40, -5));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(40, -5));
    EXPECT_FALSE(b.Pressed());
    EXPECT_EQ(clicks.count(), 1);

    QTest::mouseClick(&b, Qt::RightButton, {}, QPoint(40, 15));
    EXPECT_FALSE(b.Pressed());
    EXPECT_EQ(clicks.count(), 1);
}

TEST(ButtonLabel, KeysAndFocusRectangle)
{
    Shown<TButtonLabel> s(QSize(80, 30));
    TButtonLabel& b = *s.w;
    b.SetColor(colors::clWhite);
    QSignalSpy clicks(&b, &TButtonLabel::Clicked);
    // Inside the 1-pixel lowered bevel the face starts at (1, 1).
    EXPECT_EQ(Shot(b).pixelColor(1, 1), QColor(Qt::white));

    b.setFocus();
    ASSERT_TRUE(b.hasFocus());
    EXPECT_EQ(Shot(b).pixelColor(1, 1), QColor(Qt::white)); // no DrawFocusRect
    b.SetDrawFocusRect(true);
    QImage img = Shot(b);
    EXPECT_EQ(img.pixelColor(1, 1), QColor(Qt::black));
    EXPECT_EQ(img.pixelColor(3, 1), QColor(Qt::black));
    EXPECT_EQ(img.pixelColor(2, 1), QColor(Qt::white)); // dotted

    QTest::keyClick(&b, Qt::Key_Return);
    QTest::keyClick(&b, Qt::Key_Space);
    QTest::keyClick(&b, Qt::Key_Enter);
    QTest::keyClick(&b, Qt::Key_A);
    EXPECT_EQ(clicks.count(), 3);

    b.clearFocus();
    EXPECT_EQ(Shot(b).pixelColor(1, 1), QColor(Qt::white));
}

// ---- TColorButton ----------------------------------------------------------

TEST(ColorButton, AutomaticTextColour)
{
    TColorButton b;
    b.setPalette(TestPalette());
    b.SetAutoFontColor(true);
    b.SetColor(colors::clWhite);
    EXPECT_EQ(b.TextColor(), QColor(0, 0, 0));
    b.SetColor(colors::clYellow);
    EXPECT_EQ(b.TextColor(), QColor(0, 0, 255));
    // A system colour is resolved before it is inverted.
    b.SetColor(colors::clWindow);
    EXPECT_EQ(b.TextColor(), QColor(0, 0, 15));
    b.SetAutoFontColor(false);
    b.SetFontColor(colors::clRed);
    EXPECT_EQ(b.TextColor(), QColor(255, 0, 0));
}

TEST(ColorButton, FaceCaptionFrameAndFocusBand)
{
    Shown<TColorButton> s(QSize(100, 40));
    TColorButton& b = *s.w;
    EXPECT_EQ(TColorButton().size(), QSize(80, 21));
    b.setFont(BigFont());
    b.SetColor(colors::clYellow);
    b.SetAutoFontColor(true);
    b.SetDrawFrame(true);
    b.SetDrawFocus(fbRect);
    b.SetCaption(u"WWW"_qs);
    const QColor yellow(255, 255, 0), blue(0, 0, 255);
    b.clearFocus(); // the window gave it the focus as its only tab stop
    ASSERT_FALSE(b.hasFocus());

    QImage img = Shot(b);
    EXPECT_EQ(img.pixelColor(10, 20), yellow);
    EXPECT_TRUE(HasPixel(img, QRect(30, 5, 40, 30), blue));
    EXPECT_NE(img.pixelColor(0, 0), QColor(Qt::black)); // no focus: no frame
    EXPECT_EQ(img.pixelColor(4, 20), yellow); // and no focus rectangle

    b.setFocus();
    ASSERT_TRUE(b.hasFocus());
    img = Shot(b);
    EXPECT_EQ(img.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(img.pixelColor(99, 39), QColor(Qt::black));
    // Frame 1, face edge 2, then the focus rectangle one pixel inside the swatch.
    EXPECT_EQ(img.pixelColor(4, 20), blue);

    b.SetDrawFocus(fbBand);
    img = Shot(b);
    EXPECT_EQ(img.pixelColor(4, 20), yellow);
    EXPECT_TRUE(HasPixel(img, QRect(10, 4, 80, 32), blue));
}

TEST(ColorButton, PressLeaveReenterAndKeys)
{
    Shown<TColorButton> s(QSize(80, 21));
    TColorButton& b = *s.w;
    QSignalSpy clicks(&b, &TColorButton::Clicked);

    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(40, 10));
    EXPECT_TRUE(b.Pressed());
    QTest::mouseMove(&b, QPoint(100, 10));
    EXPECT_FALSE(b.Pressed());
    QTest::mouseMove(&b, QPoint(40, 10));
    EXPECT_TRUE(b.Pressed()); // the face presses again
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(40, 10));
    EXPECT_FALSE(b.Pressed());
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_TRUE(b.hasFocus());

    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(40, 10));
    QTest::mouseMove(&b, QPoint(40, 30));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(40, 30));
    EXPECT_EQ(clicks.count(), 1);

    QTest::mousePress(&b, Qt::RightButton, {}, QPoint(40, 10));
    EXPECT_FALSE(b.Pressed());
    QTest::mouseMove(&b, QPoint(41, 10));
    EXPECT_FALSE(b.Pressed()); // no tracking either
    QTest::mouseRelease(&b, Qt::RightButton, {}, QPoint(41, 10));
    EXPECT_EQ(clicks.count(), 1);

    QTest::keyClick(&b, Qt::Key_Space);
    QTest::keyClick(&b, Qt::Key_Return);
    QTest::keyClick(&b, Qt::Key_X);
    EXPECT_EQ(clicks.count(), 3);
}
