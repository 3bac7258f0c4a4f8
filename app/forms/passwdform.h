#pragma once

// The password change form of the settings.

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

class TPasswdForm : public QDialog
{
    Q_OBJECT
public:
    explicit TPasswdForm(QWidget* parent = nullptr);

    // The whole change procedure of the settings' password button: asks for
    // the current password (when one is set) and the new one until the
    // change is right or the form is closed without OK. secretKey is the
    // plain password, empty when none is set; it changes only on success.
    // True when secretKey was set (to a new value, the same one, or empty).
    static bool ChangePassword(std::string& secretKey, QWidget* parent = nullptr);

    // Enables or disables Pass1; a disabled one shows the dialog colour.
    void SetCurrentEnabled(bool enabled);

    QLabel* Label1;
    QLabel* Label2;
    QLineEdit* Pass1;
    QLineEdit* Pass2;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

protected:
    void showEvent(QShowEvent* event) override;
};
