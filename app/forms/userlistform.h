#pragma once

// The list of trusted senders whose mails may register schedules by
// themselves.

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class TUserListForm : public QDialog
{
    Q_OBJECT
public:
    explicit TUserListForm(QWidget* parent = nullptr);

    // The list as the settings keep it: comma text of Shift_JIS addresses.
    void SetListText(const std::string& commaText);
    std::string ListText() const;

    // Adds the typed address, trimmed and with ASCII letters in lower case,
    // at the end unless the list already holds exactly that text.
    void AddBtnClick();
    // DelBtn is enabled exactly while an item is selected.
    void UserListClick();
    void DelBtnClick();
    // The selected address, in lower case, becomes the typed text.
    void UserListDblClick();

    QLabel* Label1;
    QListWidget* UserList;
    QLineEdit* UserName;
    QPushButton* AddBtn;
    QPushButton* DelBtn;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

protected:
    void showEvent(QShowEvent* event) override;
};
