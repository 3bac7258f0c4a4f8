#include "controls/spinbtns.h"
#include "gui/updown.h"

#include "widgets.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QToolButton>

#include <climits>
#include <memory>

namespace {

void Type(QWidget* w, const QString& keys)
{
    QTest::keyClicks(w, keys);
}

void Drop(QLineEdit* edit, const QString& text)
{
    QMimeData data;
    data.setText(text);
    const QPointF at(edit->width() - 3, edit->height() / 2);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(edit, &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(edit, &drop);
}

void Commit(QLineEdit* edit, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(edit, &event);
}

} // namespace

TEST(ValueEdit, StartsAsZeroAndNormalisesItsText)
{
    TValueEdit e;
    EXPECT_EQ(e.text(), "0");
    EXPECT_EQ(e.width(), 40);
    EXPECT_EQ(e.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(e.Value(), 0);

    e.setText("007");
    EXPECT_EQ(e.text(), "7");
    e.setText("0");
    EXPECT_EQ(e.text(), "0");
    e.setText("00.5");
    EXPECT_EQ(e.text(), "0.5");
    e.setText(".5");
    EXPECT_EQ(e.text(), "0.5");
    EXPECT_EQ(e.Value(), 5);
    e.setText("1.25");
    EXPECT_EQ(e.Value(), 125);
    e.setText("");
    EXPECT_EQ(e.Value(), 0);
    e.SetValue(-42);
    EXPECT_EQ(e.text(), "-42");
    EXPECT_EQ(e.Value(), -42);
}

TEST(ValueEdit, ValueNeverFailsAndSaturates)
{
    TValueEdit e;
    e.setText("123");
    e.setText("12x"); // no number: the text stays what it was
    EXPECT_EQ(e.text(), "123");
    e.setText("--1");
    EXPECT_EQ(e.text(), "123");
    e.setText("99999999999999999999");
    EXPECT_EQ(e.Value(), INT_MAX);
    e.setText("-99999999999999999999");
    EXPECT_EQ(e.Value(), INT_MIN);
}

TEST(ValueEdit, TypedKeysKeepTheRules)
{
    TValueEdit e;
    e.SetScale(2);
    QSignalSpy changes(&e, &TValueEdit::OnChange);
    Type(&e, "5");
    EXPECT_EQ(e.text(), "5");
    EXPECT_EQ(changes.count(), 1);

    e.setText("0");
    e.setCursorPosition(0); // wherever the caret stands, a digit replaces the zero
    Type(&e, "7");
    EXPECT_EQ(e.text(), "7");

    e.setText("0");
    Type(&e, ".");
    EXPECT_EQ(e.text(), "0.");
    Type(&e, ".");
    EXPECT_EQ(e.text(), "0.");
    Type(&e, "-a+ x");
    EXPECT_EQ(e.text(), "0.");

    // Scale 2: no third decimal, but digits before the point are fine.
    e.setText("1.25");
    Type(&e, "9");
    EXPECT_EQ(e.text(), "1.25");
    e.setCursorPosition(0);
    Type(&e, "3");
    EXPECT_EQ(e.text(), "31.25");
    QTest::keyClick(&e, Qt::Key_End);
    QTest::keyClick(&e, Qt::Key_Backspace);
    Type(&e, "8");
    EXPECT_EQ(e.text(), "31.28");

    // Deleting the leading digit normalises what is left.
    e.setText("10.5");
    e.setCursorPosition(1);
    QTest::keyClick(&e, Qt::Key_Backspace);
    EXPECT_EQ(e.text(), "0.5");
}

TEST(ValueEdit, ScaleZeroRefusesThePoint)
{
    TValueEdit e;
    e.setText("");
    Type(&e, "1.5");
    EXPECT_EQ(e.text(), "15");
    EXPECT_EQ(e.Value(), 15);
    Type(&e, ".");
    EXPECT_EQ(e.text(), "15");
}

TEST(ValueEdit, MaxColumnKeepsTheLastCharacters)
{
    TValueEdit e;
    e.setText("12345");
    e.SetMaxColumn(3);
    EXPECT_EQ(e.text(), "345");

    e.setText("123");
    Type(&e, "4");
    EXPECT_EQ(e.text(), "234");
    EXPECT_EQ(e.cursorPosition(), 3);

    e.setText("102");
    e.setCursorPosition(0);
    Type(&e, "5"); // "5102" keeps "102"
    EXPECT_EQ(e.text(), "102");
    e.setText("1023"); // "023" normalises
    EXPECT_EQ(e.text(), "23");
}

TEST(ValueEdit, EveryInputPathIsChecked)
{
    TValueEdit e;
    e.SetScale(1);
    ShowAt(e, 80, 24);
    e.setText("12");

    QApplication::clipboard()->setText("3a");
    QTest::keyClick(&e, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(e.text(), "12");
    QApplication::clipboard()->setText("34");
    QTest::keyClick(&e, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(e.text(), "1234");

    // The context menu's paste.
    QApplication::clipboard()->setText(".56");
    std::unique_ptr<QMenu> menu(e.createStandardContextMenu());
    QAction* paste = nullptr;
    for (QAction* a : menu->actions())
        if (a->text().startsWith("&Paste"))
            paste = a;
    ASSERT_NE(paste, nullptr);
    paste->trigger();
    EXPECT_EQ(e.text(), "1234"); // two decimals with Scale 1
    QApplication::clipboard()->setText(".5");
    paste->trigger();
    EXPECT_EQ(e.text(), "1234.5");

    // Drag and drop.
    e.setText("7");
    Drop(&e, "-1");
    EXPECT_EQ(e.text(), "7");
    Drop(&e, "8");
    EXPECT_EQ(e.text(), "78");

    // Input-method commits (full-width digits are not digits here).
    Commit(&e, u"１"_qs);
    EXPECT_EQ(e.text(), "78");
    Commit(&e, "9");
    EXPECT_EQ(e.text(), "789");
    Commit(&e, ".1.");
    EXPECT_EQ(e.text(), "789");
}

TEST(ValueEdit, BaseRewritesTheTextInTheScaledForm)
{
    TValueEdit e;
    e.SetScale(2);
    e.setText("1.5");
    e.SetBase(10);
    EXPECT_EQ(e.Base(), 10);
    EXPECT_EQ(e.text(), "1.50");
    e.SetBase(1); // ignored
    EXPECT_EQ(e.Base(), 10);

    e.setText("0.05");
    e.SetBase(3);
    EXPECT_EQ(e.text(), "0.05");
    e.setText("");
    e.SetBase(4);
    EXPECT_EQ(e.text(), "0.00");

    // Decimals beyond the scale stay in the number.
    TValueEdit f;
    f.setText("1.25"); // set by the program, past Scale
    f.SetScale(1);
    EXPECT_EQ(f.text(), "1.2"); // a positive scale cuts
    f.setText("1.25");
    f.SetScale(0);
    f.SetBase(2);
    EXPECT_EQ(f.text(), "125");
    f.SetValue(-7);
    f.SetScale(2);
    f.SetBase(5);
    EXPECT_EQ(f.text(), "-7.00");
}

TEST(ValueSpin, BuildsAndLaysOutItsParts)
{
    TValueSpin s;
    EXPECT_EQ(s.width(), 58);
    EXPECT_EQ(s.height(), s.Edit()->height());
    EXPECT_EQ(s.Value(), 0);
    EXPECT_EQ(s.Edit()->text(), "0");
    EXPECT_EQ(s.focusProxy(), s.Edit());
    EXPECT_EQ(s.UpDown()->focusPolicy(), Qt::NoFocus);

    ShowAt(s, 100, 24);
    EXPECT_EQ(s.Edit()->geometry(), QRect(0, 0, 82, 24));
    EXPECT_EQ(s.UpDown()->geometry(), QRect(84, 0, 16, 24));

    s.setEnabled(false);
    EXPECT_FALSE(s.Edit()->isEnabled());
    EXPECT_FALSE(s.UpDown()->isEnabled());

    s.SetEditColor(0x0000FF);
    EXPECT_EQ(s.EditColor(), 0x0000FF);
    EXPECT_EQ(s.Edit()->palette().color(QPalette::Base), QColor(255, 0, 0));
}

TEST(ValueSpin, ClampsAndReportsOnlyChanges)
{
    TValueSpin s;
    s.SetMax(9999);
    QSignalSpy changes(&s, &TValueSpin::OnChange);

    // Typing 12345: the fifth digit passes Max and is clamped at once.
    s.Edit()->selectAll();
    Type(s.Edit(), "12345");
    EXPECT_EQ(s.Value(), 9999);
    EXPECT_EQ(s.Edit()->text(), "9999");
    EXPECT_EQ(changes.count(), 5); // 1, 12, 123, 1234, 9999

    s.SetValue(9999);
    EXPECT_EQ(changes.count(), 5);
    s.SetValue(20000);
    EXPECT_EQ(s.Value(), 9999);
    EXPECT_EQ(changes.count(), 5);
    s.SetValue(700);
    EXPECT_EQ(s.Edit()->text(), "700");
    EXPECT_EQ(changes.count(), 6);

    // A lower maximum pulls the value down with it.
    s.SetMax(500);
    EXPECT_EQ(s.Value(), 500);
    EXPECT_EQ(s.Edit()->text(), "500");
    EXPECT_EQ(changes.count(), 7);
    s.SetMin(600);
    EXPECT_EQ(s.Value(), 500); // Min above Max: the position stays between them
    EXPECT_EQ(s.Edit()->text(), "500");
    s.SetMin(0);
    EXPECT_EQ(s.Value(), 500);

    // A pasted number far beyond the integer range.
    QApplication::clipboard()->setText("99999999999999");
    s.Edit()->selectAll();
    QTest::keyClick(s.Edit(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(s.Value(), 500);
    EXPECT_EQ(s.Edit()->text(), "500");
}

TEST(ValueSpin, ValuesBelowMinCanBeTypedAndAreCorrectedLater)
{
    QWidget form;
    auto* s = new TValueSpin(&form);
    auto* other = new QLineEdit(&form);
    other->move(0, 40);
    s->SetMax(100);
    s->SetMin(5);
    EXPECT_EQ(s->Value(), 5);
    EXPECT_EQ(s->Edit()->text(), "5");
    ShowAt(form, 200, 100);
    form.activateWindow();
    s->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return s->Edit()->hasFocus(); }));

    QSignalSpy changes(s, &TValueSpin::OnChange);
    s->Edit()->selectAll();
    Type(s->Edit(), "1");
    EXPECT_EQ(s->Edit()->text(), "1");
    EXPECT_EQ(s->Value(), 5);
    EXPECT_EQ(changes.count(), 0); // the position did not move
    Type(s->Edit(), "2");
    EXPECT_EQ(s->Value(), 12);
    EXPECT_EQ(changes.count(), 1);

    QTest::keyClick(s->Edit(), Qt::Key_Backspace);
    QTest::keyClick(s->Edit(), Qt::Key_Backspace);
    EXPECT_EQ(s->Edit()->text(), "");
    EXPECT_EQ(s->Value(), 5);
    EXPECT_EQ(changes.count(), 2);
    QTest::keyClick(s->Edit(), Qt::Key_Return);
    EXPECT_EQ(s->Edit()->text(), "5");

    Type(s->Edit(), "0"); // "50"
    EXPECT_EQ(s->Value(), 50);
    s->Edit()->selectAll();
    Type(s->Edit(), "3");
    EXPECT_EQ(s->Value(), 5);
    other->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return other->hasFocus(); }));
    EXPECT_EQ(s->Edit()->text(), "5");
}

TEST(ValueSpin, KeysStepByOneButtonsByIncrement)
{
    TValueSpin s;
    s.SetMax(20);
    s.SetIncrement(5);
    ShowAt(s, 100, 24);
    QSignalSpy changes(&s, &TValueSpin::OnChange);

    QTest::keyClick(s.Edit(), Qt::Key_Up);
    QTest::keyClick(s.Edit(), Qt::Key_Up);
    EXPECT_EQ(s.Value(), 2);
    EXPECT_EQ(s.Edit()->text(), "2");
    QTest::mouseClick(s.UpDown()->UpButton(), Qt::LeftButton);
    EXPECT_EQ(s.Value(), 7);
    EXPECT_EQ(s.Edit()->text(), "7");
    QTest::keyClick(s.Edit(), Qt::Key_Down);
    EXPECT_EQ(s.Value(), 6);
    EXPECT_EQ(changes.count(), 4);

    for (int i = 0; i < 5; ++i)
        QTest::mouseClick(s.UpDown()->UpButton(), Qt::LeftButton);
    EXPECT_EQ(s.Value(), 20);
    const int before = changes.count();
    QTest::keyClick(s.Edit(), Qt::Key_Up); // at Max: nothing moves, nothing fires
    QTest::mouseClick(s.UpDown()->UpButton(), Qt::LeftButton);
    EXPECT_EQ(s.Value(), 20);
    EXPECT_EQ(changes.count(), before);
}
