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

// The text after typing keys into a start text with the caret at a place
// (-1: at the end).
QString Typed(TValueEdit& e, const QString& start, int caret, const QString& keys)
{
    e.setText(start);
    if (caret >= 0)
        e.setCursorPosition(caret);
    QTest::keyClicks(&e, keys);
    return e.text();
}

void Drop(QLineEdit* edit, const QString& text)
{
    QMimeData data;
    data.setText(text);
    const QPoint at(edit->width() - 3, edit->height() / 2);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
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

TEST(ValueEdit, NormalisesAndReadsItsText)
{
    TValueEdit e;
    EXPECT_EQ(e.text(), "0");
    EXPECT_EQ(e.width(), 40);
    EXPECT_EQ(e.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    const std::pair<const char*, const char*> norm[] = {
        { "007", "7" }, { "0", "0" }, { "00.5", "0.5" }, { ".5", "0.5" }, { "", "" }
    };
    for (auto [in, out] : norm) {
        e.setText(in);
        EXPECT_EQ(e.text(), out) << in;
    }
    e.setText("1.25");
    EXPECT_EQ(e.Value(), 125);
    e.SetValue(-42);
    EXPECT_EQ(e.Value(), -42);

    // Value never fails: text that is no number does not get in, and
    // numbers beyond the integer range saturate.
    e.setText("123");
    e.setText("12x");
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
    EXPECT_EQ(Typed(e, "0", -1, "5"), "5");
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(Typed(e, "0", 0, "7"), "7"); // the zero is replaced wherever the caret is
    EXPECT_EQ(Typed(e, "0", -1, "."), "0.");
    EXPECT_EQ(Typed(e, "0.", -1, ".-a+ x"), "0.");
    EXPECT_EQ(Typed(e, "1.25", -1, "9"), "1.25"); // no third decimal
    EXPECT_EQ(Typed(e, "1.25", 0, "3"), "31.25"); // before the point is fine
    EXPECT_EQ(Typed(e, "10.5", 1, "\b"), "0.5");

    // Scale 0 refuses the point, so "1.5" cannot become 15 by accident.
    e.SetScale(0);
    EXPECT_EQ(Typed(e, "", -1, "1.5"), "15");

    // MaxColumn keeps the last characters, caret at the end.
    e.SetMaxColumn(3);
    EXPECT_EQ(Typed(e, "123", -1, "4"), "234");
    EXPECT_EQ(e.cursorPosition(), 3);
    EXPECT_EQ(Typed(e, "102", 0, "5"), "102");
    e.setText("1023");
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

    std::unique_ptr<QMenu> menu(e.createStandardContextMenu());
    QAction* paste = nullptr;
    for (QAction* a : menu->actions())
        if (a->text().startsWith("&Paste"))
            paste = a;
    ASSERT_NE(paste, nullptr);
    QApplication::clipboard()->setText(".56"); // two decimals with Scale 1
    paste->trigger();
    EXPECT_EQ(e.text(), "1234");
    QApplication::clipboard()->setText(".5");
    paste->trigger();
    EXPECT_EQ(e.text(), "1234.5");

    e.setText("7");
    Drop(&e, "-1");
    EXPECT_EQ(e.text(), "7");
    Drop(&e, "8");
    EXPECT_EQ(e.text(), "78");

    Commit(&e, u"１"_qs); // a full-width digit is no digit here
    Commit(&e, ".1.");
    EXPECT_EQ(e.text(), "78");
    Commit(&e, "9");
    EXPECT_EQ(e.text(), "789");
}

TEST(ValueEdit, BaseRewritesTheTextInTheScaledForm)
{
    TValueEdit e;
    e.SetScale(2);
    const std::pair<const char*, const char*> cases[] = {
        { "1.5", "1.50" }, { "0.05", "0.05" }, { "-7", "-7.00" }, { "1.234", "12.34" }
    };
    int base = 2;
    for (auto [in, out] : cases) {
        e.setText(in); // "1.234": the extra decimal stays in the number
        e.SetBase(++base);
        EXPECT_EQ(e.text(), out) << in;
    }
    e.SetBase(1); // ignored
    EXPECT_EQ(e.Base(), base);
    e.setText("1.25");
    e.SetScale(1); // a positive scale cuts extra decimals
    EXPECT_EQ(e.text(), "1.2");
}

TEST(ValueSpin, BuildsAndLaysOutItsParts)
{
    TValueSpin s;
    EXPECT_EQ(s.width(), 58);
    EXPECT_EQ(s.height(), s.Edit()->height());
    EXPECT_EQ(s.Edit()->text(), "0");
    EXPECT_EQ(s.focusProxy(), s.Edit());
    ShowAt(s, 100, 24);
    EXPECT_EQ(s.Edit()->geometry(), QRect(0, 0, 82, 24));
    EXPECT_EQ(s.UpDown()->geometry(), QRect(84, 0, 16, 24));
    s.setEnabled(false);
    EXPECT_FALSE(s.Edit()->isEnabled() || s.UpDown()->isEnabled());
}

TEST(ValueSpin, ClampsAndReportsOnlyChanges)
{
    TValueSpin s;
    s.SetMax(9999);
    QSignalSpy changes(&s, &TValueSpin::OnChange);
    s.Edit()->selectAll();
    QTest::keyClicks(s.Edit(), "12345"); // the fifth digit passes Max
    EXPECT_EQ(s.Value(), 9999);
    EXPECT_EQ(s.Edit()->text(), "9999");
    EXPECT_EQ(changes.count(), 5); // 1, 12, 123, 1234, 9999

    s.SetValue(9999);
    s.SetValue(20000);
    EXPECT_EQ(changes.count(), 5);
    s.SetValue(700);
    EXPECT_EQ(s.Edit()->text(), "700");
    s.SetMax(500); // pulls the value down
    EXPECT_EQ(s.Edit()->text(), "500");
    EXPECT_EQ(changes.count(), 7);

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
    EXPECT_EQ(s->Edit()->text(), "5");
    ShowAt(form, 200, 100);
    form.activateWindow();
    s->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return s->Edit()->hasFocus(); }));

    QSignalSpy changes(s, &TValueSpin::OnChange);
    s->Edit()->selectAll();
    QTest::keyClicks(s->Edit(), "1");
    EXPECT_EQ(s->Edit()->text(), "1");
    EXPECT_EQ(s->Value(), 5);
    QTest::keyClicks(s->Edit(), "2");
    EXPECT_EQ(s->Value(), 12);
    QTest::keyClicks(s->Edit(), "\b\b");
    EXPECT_EQ(s->Edit()->text(), "");
    EXPECT_EQ(s->Value(), 5);
    EXPECT_EQ(changes.count(), 2);
    QTest::keyClick(s->Edit(), Qt::Key_Return);
    EXPECT_EQ(s->Edit()->text(), "5");

    s->Edit()->selectAll();
    QTest::keyClicks(s->Edit(), "3");
    other->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return other->hasFocus(); }));
    EXPECT_EQ(s->Edit()->text(), "5");
}

TEST(ValueSpin, KeysAndButtonsStepByIncrement)
{
    TValueSpin s;
    s.SetMax(20);
    s.SetIncrement(5);
    ShowAt(s, 100, 24);
    QSignalSpy changes(&s, &TValueSpin::OnChange);
    QTest::keyClick(s.Edit(), Qt::Key_Up);
    QTest::keyClick(s.Edit(), Qt::Key_Up);
    QTest::mouseClick(s.UpDown()->UpButton(), Qt::LeftButton);
    QTest::keyClick(s.Edit(), Qt::Key_Down);
    EXPECT_EQ(s.Value(), 10);
    EXPECT_EQ(s.Edit()->text(), "10");
    EXPECT_EQ(changes.count(), 4);
    for (int i = 0; i < 4; ++i)
        QTest::mouseClick(s.UpDown()->UpButton(), Qt::LeftButton);
    EXPECT_EQ(s.Value(), 20);
    QTest::keyClick(s.Edit(), Qt::Key_Up); // at Max nothing moves, nothing fires
    QTest::mouseClick(s.UpDown()->UpButton(), Qt::LeftButton);
    EXPECT_EQ(changes.count(), 6);
}
