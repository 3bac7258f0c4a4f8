#include "app/forms/radiogroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

TRadioGroup::TRadioGroup(const QString& caption, QWidget* parent) : QGroupBox(caption, parent)
{
    group_ = new QButtonGroup(this);
    grid_ = new QGridLayout(this);
    grid_->setContentsMargins(6, 2, 6, 2);
    grid_->setHorizontalSpacing(6);
    grid_->setVerticalSpacing(0);
    connect(group_, &QButtonGroup::idClicked, this, [this](int) { emit Click(); });
}

void TRadioGroup::SetItems(const QStringList& items)
{
    for (QRadioButton* button : buttons_) {
        group_->removeButton(button);
        delete button;
    }
    buttons_.clear();
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        button->setObjectName(objectName() + QString::number(i));
        group_->addButton(button, i);
        buttons_.push_back(button);
    }
    Arrange();
}

QString TRadioGroup::Item(int index) const
{
    return index >= 0 && index < Count() ? buttons_[index]->text() : QString();
}

void TRadioGroup::SetItem(int index, const QString& text)
{
    if (index >= 0 && index < Count())
        buttons_[index]->setText(text);
}

QRadioButton* TRadioGroup::Button(int index) const
{
    return index >= 0 && index < Count() ? buttons_[index] : nullptr;
}

void TRadioGroup::SetColumns(int columns)
{
    columns_ = columns < 1 ? 1 : columns;
    Arrange();
}

int TRadioGroup::ItemIndex() const
{
    return group_->checkedId();
}

void TRadioGroup::SetItemIndex(int index)
{
    if (index >= 0 && index < Count()) {
        buttons_[index]->setChecked(true);
        return;
    }
    // An exclusive group refuses to uncheck its last checked button.
    group_->setExclusive(false);
    for (QRadioButton* button : buttons_)
        button->setChecked(false);
    group_->setExclusive(true);
}

void TRadioGroup::Arrange()
{
    const int count = Count();
    const int rows = (count + columns_ - 1) / columns_;
    for (int i = 0; i < count; ++i) {
        grid_->removeWidget(buttons_[i]);
        grid_->addWidget(buttons_[i], rows ? i % rows : 0, rows ? i / rows : 0);
    }
}
