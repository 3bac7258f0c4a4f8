#pragma once

// One entry of the phone book: name, number, mail address and note.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TPhoneForm : public QDialog
{
    Q_OBJECT
public:
    explicit TPhoneForm(QWidget* parent = nullptr);

    // OK: trims blanks from all four edits. With all of them empty the form
    // closes as cancelled, so the caller stores nothing; without a name or
    // a number it says which is needed and stays open with what was typed.
    void BitBtn1Click();

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLineEdit* Name;
    QLineEdit* Phone;
    QLineEdit* Mail;
    QLineEdit* Note;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
};
