#include "app/forms/phoneform.h"

#include "app/forms/formutil.h"
#include "gui/msgdlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <utility>

namespace {

QLineEdit* MakeEdit(QWidget* parent, const QString& name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

} // namespace

TPhoneForm::TPhoneForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(u"PhoneForm"_qs);
    setWindowTitle(u"電話帳登録"_qs);

    Label1 = new QLabel(u"名前："_qs, this);
    Label2 = new QLabel(u"電話番号："_qs, this);
    Label3 = new QLabel(u"メールアドレス："_qs, this);
    Label4 = new QLabel(u"備考"_qs, this);
    Label1->setObjectName(u"Label1"_qs);
    Label2->setObjectName(u"Label2"_qs);
    Label3->setObjectName(u"Label3"_qs);
    Label4->setObjectName(u"Label4"_qs);
    Name = MakeEdit(this, u"Name"_qs);
    Phone = MakeEdit(this, u"Phone"_qs);
    Mail = MakeEdit(this, u"Mail"_qs);
    Note = MakeEdit(this, u"Note"_qs);
    auto* buttons = forms::OkCancelRow(this, BitBtn1, u"BitBtn1"_qs, BitBtn2, u"BitBtn2"_qs);

    auto* grid = new QGridLayout(this);
    QLabel* labels[] = { Label1, Label2, Label3, Label4 };
    QLineEdit* edits[] = { Name, Phone, Mail, Note };
    for (int i = 0; i < 4; ++i) {
        labels[i]->setBuddy(edits[i]);
        grid->addWidget(labels[i], i, 0);
        grid->addWidget(edits[i], i, 1);
    }
    grid->addLayout(buttons, 4, 0, 1, 2);
    Name->setMinimumWidth(220);

    connect(BitBtn1, &QPushButton::clicked, this, &TPhoneForm::BitBtn1Click);
}

void TPhoneForm::BitBtn1Click()
{
    for (QLineEdit* edit : { Name, Phone, Mail, Note })
        forms::TrimEdit(edit);
    if (Name->text().isEmpty() && Phone->text().isEmpty() && Mail->text().isEmpty() &&
        Note->text().isEmpty())
        return reject();
    // What was typed stays, for the user to complete.
    for (const auto& [edit, missing] : { std::pair { Name, u"名前を入力してください"_qs },
                                         std::pair { Phone, u"電話番号を入力してください"_qs } }) {
        if (edit->text().isEmpty()) {
            msgdlg::Warning(missing, this);
            edit->setFocus();
            return;
        }
    }
    accept();
}
