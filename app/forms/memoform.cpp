#include "app/forms/memoform.h"

#include <QPlainTextEdit>

TMemoForm::TMemoForm(QWidget* parent) : TDockClientForm(parent)
{
    setObjectName(QStringLiteral("MemoForm"));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setFocusPolicy(Qt::NoFocus);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The view takes the colour of the window around it.
    Memo1->setBackgroundRole(QPalette::Window);
    setWidget(Memo1);
}
