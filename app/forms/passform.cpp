#include "app/forms/passform.h"

#include "app/forms/formutil.h"
#include "app/settings/consts.h"
#include "app/settings/initparam.h"
#include "gui/msgdlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TPassForm::TPassForm(QWidget* parent)
    : QDialog(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(u"PassForm"_qs);
    setWindowTitle(u"シークレット解除"_qs);

    Label1 = new QLabel(u"パスワード"_qs, this);
    Label1->setObjectName(u"Label1"_qs);
    Edit1 = forms::PasswordEdit(this, u"Edit1"_qs);
    Label1->setBuddy(Edit1);
    auto* buttons = forms::OkCancelRow(this, BitBtn1, u"BitBtn1"_qs, BitBtn2, u"BitBtn2"_qs);
    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addLayout(buttons, 1, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    Edit1->setMinimumWidth(160);

    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

void TPassForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    forms::CenterOnScreen(this);
    Edit1->setFocus(Qt::ActiveWindowFocusReason);
}

bool TPassForm::AskPassword(QWidget* parent)
{
    if (InitParam.CheckPassword(std::string()))
        return true;
    TPassForm form(parent);
    for (;;) {
        if (form.exec() != QDialog::Accepted)
            return false;
        if (InitParam.CheckPassword(forms::EditText(form.Edit1)))
            return true;
        msgdlg::Error(strconst::WrongPassword(), &form);
    }
}
