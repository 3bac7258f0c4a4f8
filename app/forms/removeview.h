#pragma once

// The choices of the bulk delete: which items to keep and which range to
// delete. The main window reads the controls after OK.

#include "app/forms/datepicker.h"
#include "core/days.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

class TRemoveView : public QDialog
{
    Q_OBJECT
public:
    explicit TRemoveView(QWidget* parent = nullptr);

    // The date of RmDate as a day number, and back (clamped to the picker's
    // days).
    days::Day RmDay() const;
    void SetRmDay(days::Day day);

    QGroupBox* GroupBox1; // items to keep
    QCheckBox* RepSched;
    QCheckBox* PriSched;
    QCheckBox* Secret;
    QCheckBox* UnKnown;
    QGroupBox* GroupBox2; // range
    QRadioButton* AllSched;
    QRadioButton* PrevDate;
    TDatePicker* RmDate; // moves the series it keeps: only days the calendar shows
    QCheckBox* DispOnly;
    QPushButton* DelExec;
    QPushButton* Cancel;

protected:
    void showEvent(QShowEvent* event) override;
};
