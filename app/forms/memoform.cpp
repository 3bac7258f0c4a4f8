#include "app/forms/memoform.h"

#include "gui/unloadsafe.h"

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
    // Tab and Enter belong to the window, not to a text nobody edits here.
    Memo1->setTabChangesFocus(true);
    QFont font;
    gui::SetFontFamilies(font, { u"ＭＳ Ｐゴシック", u"IPAPGothic", u"sans-serif" });
    font.setPixelSize(13);
    Memo1->setFont(font);
    setWidget(Memo1);
}
