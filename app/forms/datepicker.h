#pragma once

// Date pickers on day numbers: TDatePicker, a drop-down calendar edit that
// holds the days the calendar shows (1900-01-01 to 9999-12-31), and
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
    // What the picker says when a typed year cannot reach its days.
    static QString RangeHint();

protected:
    // A digit typed over a selected field replaces the field, however the
    // selection was made; a digit the year field refuses shows RangeHint.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SelectFieldOfSelection();
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
