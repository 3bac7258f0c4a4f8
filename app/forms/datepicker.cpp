#include "app/forms/datepicker.h"

#include "app/settings/consts.h"
#include "gui/qtext.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolTip>

#include <algorithm>

namespace forms {

namespace {

const qint64 kJulianOfDayZero = QDate(1899, 12, 30).toJulianDay();

} // namespace

QDate ToQDate(days::Day day)
{
    return QDate::fromJulianDay(kJulianOfDayZero + day);
}

days::Day FromQDate(const QDate& date)
{
    return static_cast<days::Day>(date.toJulianDay() - kJulianOfDayZero);
}

} // namespace forms

TDatePicker::TDatePicker(QWidget* parent) : QDateEdit(parent)
{
    setCalendarPopup(true);
    setDisplayFormat(u"yyyy/MM/dd"_qs);
    setDateRange(forms::ToQDate(MinDay()), forms::ToQDate(MaxDay()));
}

days::Day TDatePicker::MinDay()
{
    return days::kFirstShownDay;
}

days::Day TDatePicker::MaxDay()
{
    return days::kLastShownDay;
}

QString TDatePicker::RangeHint()
{
    return qtext::ToQ(strconst::ShownDatesOnly());
}

void TDatePicker::keyPressEvent(QKeyEvent* event)
{
    const QString typed = event->text();
    if (typed.size() != 1 || typed[0] < u'0' || typed[0] > u'9') {
        QDateEdit::keyPressEvent(event);
        return;
    }
    SelectFieldOfSelection();
    const bool year = currentSection() == QDateTimeEdit::YearSection;
    const QString before = text();
    QDateEdit::keyPressEvent(event);
    if (year && text() == before)
        QToolTip::showText(mapToGlobal(QPoint(0, height())), RangeHint(), this);
}

void TDatePicker::SelectFieldOfSelection()
{
    // The edit replaces a field only when its own section selection covers
    // it; a selection made by the mouse or with Shift is only text.
    const QLineEdit* edit = lineEdit();
    if (!edit->hasSelectedText())
        return;
    const QString shown = edit->text();
    int at = edit->selectionStart();
    const int end = at + static_cast<int>(edit->selectedText().size());
    while (at < end && !shown[at].isDigit())
        ++at;
    if (at == end)
        return;
    const int field = static_cast<int>(shown.left(at).count(u'/'));
    if (field >= sectionCount())
        return;
    setCurrentSectionIndex(field);
    setSelectedSection(sectionAt(field));
}

days::Day TDatePicker::Day() const
{
    return forms::FromQDate(date());
}

void TDatePicker::SetDay(days::Day day)
{
    setDate(forms::ToQDate(std::clamp(day, MinDay(), MaxDay())));
}

TCheckDatePicker::TCheckDatePicker(QWidget* parent) : QWidget(parent)
{
    Check = new QCheckBox(this);
    Edit = new TDatePicker(this);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    row->addWidget(Check);
    row->addWidget(Edit, 1);
    Edit->setEnabled(false);
    connect(Check, &QCheckBox::toggled, this, [this](bool on) {
        Edit->setEnabled(on);
        emit Changed();
    });
    connect(Edit, &QDateEdit::dateChanged, this, [this] { emit Changed(); });
}

bool TCheckDatePicker::Checked() const
{
    return Check->isChecked();
}

void TCheckDatePicker::SetChecked(bool checked)
{
    Check->setChecked(checked);
}
