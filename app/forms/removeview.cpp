#include "app/forms/removeview.h"

#include "app/forms/formutil.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

template<typename T> T* Named(T* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

} // namespace

TRemoveView::TRemoveView(QWidget* parent) : QDialog(parent)
{
    setObjectName(u"RemoveView"_qs);
    setWindowTitle(u"予定の一括削除"_qs);

    GroupBox1 = Named(new QGroupBox(u"次の予定は削除しない"_qs, this), u"GroupBox1"_qs);
    RepSched = Named(new QCheckBox(u"繰返し予定"_qs, GroupBox1), u"RepSched"_qs);
    PriSched = Named(new QCheckBox(u"重要度指定のある予定"_qs, GroupBox1), u"PriSched"_qs);
    Secret = Named(new QCheckBox(u"シークレット"_qs, GroupBox1), u"Secret"_qs);
    UnKnown = Named(new QCheckBox(u"未分類"_qs, GroupBox1), u"UnKnown"_qs);
    auto* keep = new QGridLayout(GroupBox1);
    keep->addWidget(RepSched, 0, 0);
    keep->addWidget(PriSched, 0, 1);
    keep->addWidget(Secret, 1, 0);
    keep->addWidget(UnKnown, 1, 1);

    GroupBox2 = Named(new QGroupBox(u"削除範囲"_qs, this), u"GroupBox2"_qs);
    AllSched = Named(new QRadioButton(u"全ての予定"_qs, GroupBox2), u"AllSched"_qs);
    PrevDate = Named(new QRadioButton(u"以前の予定"_qs, GroupBox2), u"PrevDate"_qs);
    PrevDate->setChecked(true);
    RmDate = Named(new TDatePicker(GroupBox2), u"RmDate"_qs);
    DispOnly = Named(new QCheckBox(u"現在表示中の予定のみ"_qs, GroupBox2), u"DispOnly"_qs);
    auto* range = new QGridLayout(GroupBox2);
    range->addWidget(AllSched, 0, 0);
    range->addWidget(PrevDate, 1, 0);
    range->addWidget(RmDate, 1, 1);
    range->addWidget(DispOnly, 2, 0, 1, 2);

    DelExec = Named(new QPushButton(u"実行"_qs, this), u"DelExec"_qs);
    DelExec->setDefault(true);
    Cancel = Named(new QPushButton(u"キャンセル"_qs, this), u"Cancel"_qs);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(DelExec);
    buttons->addWidget(Cancel);

    auto* main = new QVBoxLayout(this);
    main->addWidget(GroupBox1);
    main->addWidget(GroupBox2);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);

    SetRmDay(days::Today());
    connect(DelExec, &QPushButton::clicked, this, &QDialog::accept);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TRemoveView::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    forms::CenterOnScreen(this);
    PrevDate->setFocus(Qt::ActiveWindowFocusReason);
}

days::Day TRemoveView::RmDay() const
{
    return RmDate->Day();
}

void TRemoveView::SetRmDay(days::Day day)
{
    RmDate->SetDay(day);
}
