#pragma once

// Date pickers on day numbers: TDatePicker, a drop-down calendar edit that
// holds every date from 0100-01-01 to 9999-12-31 (so no date the recognizer
// or a stored item brings is moved by a narrower range), and
// TCheckDatePicker, the same with a check box that says whether the date is
// in use.

#include "core/days.h"

#include <QDate>
#include <QDateEdit>

class QCheckBox;

namespace forms {

QDate ToQDate(days::Day day);
days::Day FromQDate(const QDate& date);

} // namespace forms

class TDatePicker : public QDateEdit
{
    Q_OBJECT
public:
    explicit TDatePicker(QWidget* parent = nullptr);

    // The shown date; dates outside the picker's range are clamped to it.
    days::Day Day() const;
    void SetDay(days::Day day);
    // The first and last day a picker can hold.
    static days::Day MinDay();
    static days::Day MaxDay();
};

class TCheckDatePicker : public QWidget
{
    Q_OBJECT
public:
    explicit TCheckDatePicker(QWidget* parent = nullptr);

    bool Checked() const;
    void SetChecked(bool checked);
    days::Day Day() const { return Edit->Day(); }
    void SetDay(days::Day day) { Edit->SetDay(day); }

    QCheckBox* Check;
    TDatePicker* Edit;

signals:
    // The check or the date changed.
    void Changed();
};
