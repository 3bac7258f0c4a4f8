#pragma once

// The password prompt shown before secret items are switched on.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TPassForm : public QDialog
{
    Q_OBJECT
public:
    explicit TPassForm(QWidget* parent = nullptr);

    // Asks for the password of the settings until it is typed right (true)
    // or the prompt is closed without OK (false). With no password set it
    // answers true at once. A wrong password says so and asks again. The
    // caller asks at every switching on.
    static bool AskPassword(QWidget* parent = nullptr);

    QLabel* Label1;
    QLineEdit* Edit1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

protected:
    void showEvent(QShowEvent* event) override;
};
