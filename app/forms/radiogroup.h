#pragma once

// TRadioGroup: a captioned group of radio buttons read and written by index,
// laid out in columns. Setting the index from code clears every button for
// -1 and emits nothing; a click of the user emits Click.

#include <QGroupBox>
#include <QStringList>

#include <vector>

class QButtonGroup;
class QGridLayout;
class QRadioButton;

class TRadioGroup : public QGroupBox
{
    Q_OBJECT
public:
    explicit TRadioGroup(const QString& caption, QWidget* parent = nullptr);

    // Replaces the buttons; none is checked afterwards.
    void SetItems(const QStringList& items);
    int Count() const { return static_cast<int>(buttons_.size()); }
    QString Item(int index) const;
    void SetItem(int index, const QString& text);
    QRadioButton* Button(int index) const;

    // Items fill the columns top to bottom, then left to right.
    int Columns() const { return columns_; }
    void SetColumns(int columns);

    // -1 when no button is checked. An index outside the items checks none.
    int ItemIndex() const;
    void SetItemIndex(int index);

signals:
    // The user checked a button (a click or a key).
    void Click();

private:
    void Arrange();

    QButtonGroup* group_;
    QGridLayout* grid_;
    std::vector<QRadioButton*> buttons_;
    int columns_ = 1;
};
