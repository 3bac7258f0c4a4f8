#include "app/forms/kindform.h"

#include "app/forms/formutil.h"
#include "app/forms/kindview.h"
#include "controls/bevlabel.h"
#include "core/eventdata.h"
#include "gui/msgdlg.h"
#include "gui/qtext.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QString Hex(TColor color)
{
    return QString::number(static_cast<std::uint32_t>(color), 16).toUpper();
}

} // namespace

TKindForm::TKindForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(u"KindForm"_qs);
    setWindowTitle(u"分類の追加・削除"_qs);

    KindText = new QLineEdit(this);
    KindText->setObjectName(u"KindText"_qs);
    AddBtn = forms::Button(this, u"追加"_qs, u"AddBtn"_qs);

    KindList = new QListWidget(this);
    KindList->setObjectName(u"KindList"_qs);
    KindList->setUniformItemSizes(true);
    delegate_ = new TKindDelegate(this);
    delegate_->SetItemHeight(KindList->fontMetrics().height() + 4);
    KindList->setItemDelegate(delegate_);

    Sample = new TBevelLabel(this);
    Sample->setObjectName(u"Sample"_qs);
    Sample->SetCaption(u"サンプル"_qs);
    Sample->SetAlignment(taCenter);
    Sample->SetLayout(tlCenter);
    Sample->SetFontColor(colors::clWindowText);
    Sample->SetColor(colors::clBtnFace);
    Sample->setMinimumHeight(28);

    FontColor = forms::Button(this, u"文字色"_qs, u"FontColor"_qs);
    BackColor = forms::Button(this, u"背景色"_qs, u"BackColor"_qs);
    Label1 = new QLabel(u"背景は透過色"_qs, this);
    Label1->setObjectName(u"Label1"_qs);
    TransBtn = new QToolButton(this);
    TransBtn->setObjectName(u"TransBtn"_qs);
    TransBtn->setText(u"透"_qs);
    DelBtn = forms::Button(this, u"削除"_qs, u"DelBtn"_qs);
    SetBtn = forms::Button(this, u"OK"_qs, u"SetBtn"_qs);
    CancelBtn = forms::Button(this, u"キャンセル"_qs, u"CancelBtn"_qs);

    auto* top = new QHBoxLayout;
    top->addWidget(KindText, 1);
    top->addWidget(AddBtn);
    auto* trans = new QHBoxLayout;
    trans->addWidget(Label1);
    trans->addWidget(TransBtn);
    trans->addStretch(1);
    auto* side = new QVBoxLayout;
    side->addWidget(Sample);
    side->addWidget(FontColor);
    side->addWidget(BackColor);
    side->addLayout(trans);
    side->addWidget(DelBtn);
    side->addStretch(1);
    side->addWidget(SetBtn);
    side->addWidget(CancelBtn);
    auto* grid = new QGridLayout(this);
    grid->addLayout(top, 0, 0);
    grid->addWidget(KindList, 1, 0);
    grid->addLayout(side, 0, 1, 2, 1);
    setFixedSize(340, 300);

    // Return in the name edit adds the name; it never closes the dialog.
    connect(KindText, &QLineEdit::returnPressed, this, [this] { AddBtnClick(); });
    connect(AddBtn, &QPushButton::clicked, this, [this] { AddBtnClick(); });
    connect(KindList, &QListWidget::itemSelectionChanged, this, [this] { KindListClick(); });
    connect(FontColor, &QPushButton::clicked, this, [this] { FontColorClick(); });
    connect(BackColor, &QPushButton::clicked, this, [this] { BackColorClick(); });
    connect(TransBtn, &QToolButton::clicked, this, [this] { TransBtnClick(); });
    connect(DelBtn, &QPushButton::clicked, this, [this] { DelBtnClick(); });
    connect(SetBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    UpdateTransparency();
}

void TKindForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    forms::CenterOnScreen(this);
    KindText->setFocus();
}

void TKindForm::SetKinds(const QStringList& kinds)
{
    KindList->clear();
    KindList->addItems(kinds);
}

QStringList TKindForm::Kinds() const
{
    QStringList out;
    for (int i = 0; i < KindList->count(); ++i)
        out << KindList->item(i)->text();
    return out;
}

QString TKindForm::EntryText(const QString& name, TColor font, TColor back)
{
    return name + u':' + Hex(font) + u':' + (back == -1 ? QString() : Hex(back));
}

bool TKindForm::IsValidName(const QString& name)
{
    for (QChar c : name) {
        if (c.unicode() <= 0x20 || c == u'"' || c == u':' || c == u',' || c.unicode() == 0x7F)
            return false;
    }
    return true;
}

QString TKindForm::EntryName(const QString& entry)
{
    std::string name;
    TColor font = 0, back = 0;
    ParseKind(qtext::FromQ(entry), name, font, back);
    return qtext::ToQ(name);
}

void TKindForm::WriteEntry(int index, const QString& name)
{
    QListWidgetItem* item = KindList->item(index);
    if (!item)
        return;
    item->setText(EntryText(name, Sample->FontColor(), Sample->Color()));
    KindList->setCurrentRow(index);
    UpdateTransparency();
}

void TKindForm::UpdateTransparency()
{
    const bool opaque = Sample->Color() != -1;
    Label1->setEnabled(opaque);
    TransBtn->setEnabled(opaque);
    TransBtn->setAutoRaise(!opaque);
}

void TKindForm::KindListClick()
{
    QListWidgetItem* item = KindList->currentItem();
    if (!item || !item->isSelected())
        return;
    std::string name;
    TColor font = 0, back = -1;
    ParseKind(qtext::FromQ(item->text()), name, font, back);
    Sample->SetCaption(qtext::ToQ(name));
    Sample->SetColor(back);
    Sample->SetFontColor(font);
    UpdateTransparency();
}

void TKindForm::FontColorClick()
{
    const auto chosen = msgdlg::ChooseColor(colors::ToQColor(Sample->FontColor()), this);
    if (!chosen)
        return;
    Sample->SetFontColor(colors::FromQColor(*chosen));
    if (QListWidgetItem* item = KindList->currentItem(); item && item->isSelected())
        WriteEntry(KindList->row(item), EntryName(item->text()));
}

void TKindForm::BackColorClick()
{
    const TColor back = Sample->Color();
    const auto chosen = msgdlg::ChooseColor(
        back == -1 ? colors::ToQColor(colors::clWindow) : colors::ToQColor(back), this);
    if (!chosen)
        return;
    Sample->SetColor(colors::FromQColor(*chosen));
    UpdateTransparency();
    if (QListWidgetItem* item = KindList->currentItem(); item && item->isSelected())
        WriteEntry(KindList->row(item), EntryName(item->text()));
}

void TKindForm::TransBtnClick()
{
    Sample->SetColor(-1);
    UpdateTransparency();
    if (QListWidgetItem* item = KindList->currentItem(); item && item->isSelected())
        WriteEntry(KindList->row(item), EntryName(item->text()));
}

void TKindForm::DelBtnClick()
{
    QListWidgetItem* item = KindList->currentItem();
    if (!item || !item->isSelected())
        return;
    delete KindList->takeItem(KindList->row(item));
}

void TKindForm::AddBtnClick()
{
    const QString name = forms::TrimBlanks(KindText->text());
    if (name.isEmpty())
        return;
    if (!IsValidName(name)) {
        msgdlg::Warning(u"分類名に \" : , 空白や制御文字は使えません"_qs, this);
        KindText->setFocus();
        return;
    }
    KindText->clear();
    for (int i = 0; i < KindList->count(); ++i) {
        if (EntryName(KindList->item(i)->text()) != name)
            continue;
        if (msgdlg::AskYesNo(u"「"_qs + name + u"」は既に登録されています\r\n置き換えますか？"_qs,
                             msgdlg::Kind::Confirmation, this))
            WriteEntry(i, name);
        return;
    }
    KindList->insertItem(0, QString());
    WriteEntry(0, name);
}
