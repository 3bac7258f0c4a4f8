#include "app/forms/userlistform.h"

#include "app/forms/formutil.h"
#include "core/sjis.h"
#include "gui/qtext.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Lower-cases ASCII letters at character starts of the Shift_JIS form, so a
// trail byte that looks like a capital letter is never changed.
QString LowerAddress(const QString& text)
{
    return qtext::ToQ(sjis::LowerAscii(qtext::FromQ(text)));
}

} // namespace

TUserListForm::TUserListForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(u"UserListForm"_qs);
    setWindowTitle(u"信頼する差出人登録"_qs);

    Label1 = new QLabel(u"メールアドレス"_qs, this);
    Label1->setObjectName(u"Label1"_qs);
    UserList = new QListWidget(this);
    UserList->setObjectName(u"UserList"_qs);
    UserList->setSelectionMode(QAbstractItemView::SingleSelection);
    UserName = new QLineEdit(this);
    UserName->setObjectName(u"UserName"_qs);
    AddBtn = forms::Button(this, u"リストへ追加"_qs, u"AddBtn"_qs);
    DelBtn = forms::Button(this, u"削除"_qs, u"DelBtn"_qs);
    DelBtn->setEnabled(false);
    BitBtn1 = new QPushButton(u"OK"_qs, this);
    BitBtn1->setObjectName(u"BitBtn1"_qs);
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(u"キャンセル"_qs, this);
    BitBtn2->setObjectName(u"BitBtn2"_qs);

    auto* side = new QVBoxLayout;
    side->addWidget(AddBtn);
    side->addWidget(DelBtn);
    side->addStretch();
    side->addWidget(BitBtn1);
    side->addWidget(BitBtn2);
    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(UserList, 1, 0);
    grid->addWidget(UserName, 2, 0);
    grid->addLayout(side, 0, 1, 3, 1);
    UserList->setMinimumSize(240, 160);

    connect(AddBtn, &QPushButton::clicked, this, &TUserListForm::AddBtnClick);
    connect(DelBtn, &QPushButton::clicked, this, &TUserListForm::DelBtnClick);
    connect(UserList, &QListWidget::itemSelectionChanged, this, &TUserListForm::UserListClick);
    connect(UserList, &QListWidget::itemDoubleClicked, this, &TUserListForm::UserListDblClick);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TUserListForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    forms::CenterOnScreen(this);
}

void TUserListForm::SetListText(const std::string& commaText)
{
    UserList->clear();
    for (const std::string& item : sjis::ReadCommaText(commaText))
        UserList->addItem(qtext::ToQ(item));
    UserListClick();
}

std::string TUserListForm::ListText() const
{
    std::vector<std::string> items;
    items.reserve(static_cast<std::size_t>(UserList->count()));
    for (int i = 0; i < UserList->count(); ++i)
        items.push_back(qtext::FromQ(UserList->item(i)->text()));
    return sjis::WriteCommaText(items);
}

void TUserListForm::AddBtnClick()
{
    const QString address = LowerAddress(forms::TrimBlanks(UserName->text()));
    if (address.isEmpty())
        return;
    for (int i = 0; i < UserList->count(); ++i) {
        if (UserList->item(i)->text() == address)
            return;
    }
    UserList->addItem(address);
}

void TUserListForm::UserListClick()
{
    DelBtn->setEnabled(!UserList->selectedItems().isEmpty());
}

void TUserListForm::DelBtnClick()
{
    const QList<QListWidgetItem*> selected = UserList->selectedItems();
    if (selected.isEmpty())
        return;
    delete UserList->takeItem(UserList->row(selected.first()));
    UserList->clearSelection();
    UserListClick();
}

void TUserListForm::UserListDblClick()
{
    const QList<QListWidgetItem*> selected = UserList->selectedItems();
    if (selected.isEmpty())
        return;
    UserName->setText(LowerAddress(selected.first()->text()));
}
