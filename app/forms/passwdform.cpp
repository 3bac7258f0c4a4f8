#include "app/forms/passwdform.h"

#include "app/forms/formutil.h"
#include "app/settings/consts.h"
#include "gui/msgdlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TPasswdForm::TPasswdForm(QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(u"PasswdForm"_qs);
    setWindowTitle(u"パスワードの設定"_qs);

    Label1 = new QLabel(u"現在のパスワード"_qs, this);
    Label1->setObjectName(u"Label1"_qs);
    Label2 = new QLabel(u"新パスワード"_qs, this);
    Label2->setObjectName(u"Label2"_qs);
    Pass1 = forms::PasswordEdit(this, u"Pass1"_qs);
    Pass2 = forms::PasswordEdit(this, u"Pass2"_qs);
    Label1->setBuddy(Pass1);
    Label2->setBuddy(Pass2);
    auto* buttons = forms::OkCancelRow(this, BitBtn1, u"BitBtn1"_qs, BitBtn2, u"BitBtn2"_qs);
    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Pass1, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Pass2, 1, 1);
    grid->addLayout(buttons, 2, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    Pass1->setMinimumWidth(160);

    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

void TPasswdForm::SetCurrentEnabled(bool enabled)
{
    Pass1->setEnabled(enabled);
    QPalette pal = Pass1->palette();
    const QPalette own = QLineEdit().palette();
    pal.setColor(QPalette::Base,
                 enabled ? own.color(QPalette::Base) : palette().color(QPalette::Window));
    Pass1->setPalette(pal);
}

void TPasswdForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    forms::CenterOnScreen(this);
    (Pass1->isEnabled() ? Pass1 : Pass2)->setFocus(Qt::ActiveWindowFocusReason);
}

bool TPasswdForm::ChangePassword(std::string& secretKey, QWidget* parent)
{
    TPasswdForm form(parent);
    for (;;) {
        const bool passwordSet = !secretKey.empty();
        form.SetCurrentEnabled(passwordSet);
        if (form.exec() != QDialog::Accepted)
            return false;
        // A disabled edit counts as empty, which matches an unset password.
        const std::string current = passwordSet ? forms::EditText(form.Pass1) : std::string();
        if (current != secretKey) {
            msgdlg::Error(strconst::WrongPassword(), &form);
            continue;
        }
        const std::string next = forms::EditText(form.Pass2);
        if (passwordSet && next.empty()) {
            if (msgdlg::Message(msgdlg::Kind::Confirmation, strconst::RemovePassword(),
                                msgdlg::No | msgdlg::Ok, &form) != msgdlg::Ok) {
                msgdlg::Warning(strconst::EnterPassword(), &form);
                continue;
            }
        }
        secretKey = next;
        return true;
    }
}
