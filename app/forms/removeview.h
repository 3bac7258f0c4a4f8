#pragma once

// The choices of the bulk delete: which items to keep and which range to
// delete. The main window reads the controls after OK.

#include "core/days.h"

#include <QDialog>

class QCheckBox;
class QDateEdit;
class QGroupBox;
class QPushButton;
class QRadioButton;

class TRemoveView : public QDialog
{
    Q_OBJECT
public:
    explicit TRemoveView(QWidget* parent = nullptr);

    // The date of RmDate as a day number, and back.
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
    QDateEdit* RmDate;
    QCheckBox* DispOnly;
    QPushButton* DelExec;
    QPushButton* Cancel;

protected:
    void showEvent(QShowEvent* event) override;
};
