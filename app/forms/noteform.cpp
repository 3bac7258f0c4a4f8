#include "app/forms/noteform.h"

#include "app/forms/formutil.h"
#include "app/settings/initparam.h"
#include "app/settingsqt/settingsqt.h"
#include "gui/colors.h"
#include "gui/qtext.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QVBoxLayout>

TNoteForm::TNoteForm(QWidget* parent)
    : QDialog(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                  Qt::WindowStaysOnTopHint)
{
    setObjectName(u"NoteForm"_qs);
    setSizeGripEnabled(false);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(u"Memo1"_qs);
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setFont(settingsqt::ToQFont(InitParam.MemoFont));
    QPalette memoPalette = Memo1->palette();
    memoPalette.setColor(QPalette::Text, settingsqt::FontColor(InitParam.MemoFont));
    Memo1->setPalette(memoPalette);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(u"StatusBar1"_qs);
    StatusBar1->setSizeGripEnabled(false);
    StatusPanel = new QLabel(StatusBar1);
    StatusPanel->setObjectName(u"StatusPanel"_qs);
    StatusBar1->addWidget(StatusPanel, 1);

    layout_ = new QVBoxLayout(this);
    layout_->setSpacing(0);
    layout_->addWidget(Memo1, 1);
    layout_->addWidget(StatusBar1);
    SetBorderWidth(5);
    resize(360, 240);
}

void TNoteForm::SetBorderWidth(int width)
{
    layout_->setContentsMargins(width, width, width, width);
}

void TNoteForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (centre_)
        forms::CenterOnScreen(this);
}

void TNoteForm::ShowNote(const std::string& title, const std::string& text)
{
    centre_ = true;
    SetBorderWidth(5);
    StatusBar1->hide();
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    QPalette pal = Memo1->palette();
    pal.setColor(QPalette::Base, palette().color(QPalette::Window));
    Memo1->setPalette(pal);
    Memo1->setPlainText(qtext::ToQText(text));
    setWindowTitle(u"「"_qs + qtext::ToQ(title) + u"」のメモ"_qs);
    exec();
}

std::string TNoteForm::EditNote(const std::string& title, const std::string& text)
{
    centre_ = false;
    SetBorderWidth(0);
    StatusPanel->setText(u"件名： "_qs + qtext::ToQ(title));
    StatusBar1->show();
    Memo1->setReadOnly(false);
    Memo1->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    QPalette pal = Memo1->palette();
    pal.setColor(QPalette::Base, colors::ToQColor(colors::clWindow));
    Memo1->setPalette(pal);
    Memo1->setPlainText(qtext::ToQText(text));
    setWindowTitle(u"メモの編集"_qs);
    exec();
    return qtext::FromQText(Memo1->toPlainText());
}
