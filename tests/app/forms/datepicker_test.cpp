// The date pickers driven as the user drives them: typed dates, the
// drop-down calendar, and the ends of their range (1900-01-01 to 9999-12-31).
#include "app/forms/datepicker.h"

#include "support/testutil.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

namespace {

class DatePickerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        picker.resize(160, 28);
        picker.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&picker));
    }
    // Tabs into the picker, which selects the year, and types digits: each
    // full field moves on to the next. Enter ends the typing.
    void Type(const char* digits)
    {
        picker.clearFocus();
        picker.setFocus(Qt::TabFocusReason);
        QTest::keyClicks(&picker, QString::fromLatin1(digits));
        QTest::keyClick(&picker, Qt::Key_Return);
    }
    // Clicks the drop-down arrow, presses the keys in the calendar that
    // opens, and waits until it has closed again.
    void PickInDropDown(std::initializer_list<Qt::Key> keys)
    {
        QTest::mouseClick(&picker, Qt::LeftButton, {},
                          QPoint(picker.width() - 6, picker.height() / 2));
        QCalendarWidget* calendar = picker.calendarWidget();
        ASSERT_TRUE(QTest::qWaitFor([&] { return calendar->isVisible(); }));
        for (Qt::Key key : keys)
            QTest::keyClick(QApplication::focusWidget(), key);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !calendar->isVisible(); }));
    }

    TDatePicker picker;
};

} // namespace

TEST_F(DatePickerTest, TypedDates)
{
    picker.SetDay(D(2024, 1, 15));
    const struct
    {
        const char* typed;
        days::Day expected;
    } cases[] = {
        { "20240229", D(2024, 2, 29) },
        { "19000101", D(1900, 1, 1) },
        { "99991231", D(9999, 12, 31) },
        { "20230229", D(2023, 2, 28) }, // no 29th in that February
    };
    for (const auto& c : cases) {
        Type(c.typed);
        EXPECT_EQ(picker.Day(), c.expected) << c.typed;
    }
    // A year before 1900 is not taken, and the picker says why.
    Type("1899");
    EXPECT_EQ(picker.Day(), D(2023, 2, 28));
    EXPECT_EQ(QToolTip::text(), TDatePicker::RangeHint());
}

TEST_F(DatePickerTest, TypingOverASelectedFieldReplacesIt)
{
    // A double click can select the digits of one field while the edit's own
    // field is their neighbour: the digits typed replace the selected field.
    for (const auto& [field, from, typed] :
         { std::tuple(QDateTimeEdit::DaySection, 5, D(2024, 10, 4)),
           std::tuple(QDateTimeEdit::MonthSection, 8, D(2024, 5, 10)) }) {
        picker.SetDay(D(2024, 5, 4));
        picker.setCurrentSection(field);
        picker.findChild<QLineEdit*>()->setSelection(from, 2);
        QTest::keyClicks(&picker, u"10"_qs);
        EXPECT_EQ(picker.Day(), typed) << from;
    }
}

TEST_F(DatePickerTest, DatesFromOutsideTheRangeAreClamped)
{
    // Set from a stored item or the recognizer.
    picker.SetDay(-1);
    EXPECT_EQ(picker.Day(), D(1900, 1, 1));
    EXPECT_EQ(picker.text(), u"1900/01/01"_qs);
    picker.SetDay(days::kMaxDay + 1);
    EXPECT_EQ(picker.Day(), D(9999, 12, 31));
    EXPECT_EQ(picker.text(), u"9999/12/31"_qs);
}

TEST_F(DatePickerTest, DropDownPicksADayAndStopsAtTheRangeEnds)
{
    const struct
    {
        days::Day start;
        std::initializer_list<Qt::Key> keys;
        days::Day picked;
    } cases[] = {
        { D(2024, 2, 28), { Qt::Key_Right }, D(2024, 2, 29) },
        { D(2024, 2, 29), { Qt::Key_PageDown }, D(2024, 3, 29) },
        { D(1900, 1, 2), { Qt::Key_Up, Qt::Key_PageUp }, D(1900, 1, 1) },
        { D(9999, 12, 30), { Qt::Key_Down, Qt::Key_PageDown }, D(9999, 12, 31) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(days::FormatIso(c.start));
        picker.SetDay(c.start);
        PickInDropDown(c.keys);
        EXPECT_EQ(picker.Day(), c.picked);
    }
}

TEST(CheckDatePicker, TheCheckEnablesTheDateAndBothReportAChange)
{
    TCheckDatePicker picker;
    picker.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&picker));
    QSignalSpy changed(&picker, &TCheckDatePicker::Changed);
    EXPECT_FALSE(picker.Checked());
    EXPECT_FALSE(picker.Edit->isEnabled());
    QTest::mouseClick(picker.Check, Qt::LeftButton);
    EXPECT_TRUE(picker.Checked());
    EXPECT_TRUE(picker.Edit->isEnabled());
    picker.SetDay(D(2030, 5, 5));
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(picker.Day(), D(2030, 5, 5));
}
