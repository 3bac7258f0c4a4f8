#pragma once

// The category editor "分類の追加・削除": adds, recolours and deletes the
// category entries that items can carry. An entry is a name, ":", the text
// colour and ":" followed by the background colour (nothing when the
// background is transparent), the colours as upper-case hexadecimal digits
// without leading zeros ("会議:FF:", "私用:80000008:C0FFC0").
//
// The caller fills the list, runs the dialog and takes the list back after
// OK; Cancel drops every change.

#include "gui/colors.h"

#include <QDialog>
#include <QStringList>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;
class TBevelLabel;
class TKindDelegate;

class TKindForm : public QDialog
{
    Q_OBJECT
public:
    explicit TKindForm(QWidget* parent = nullptr);

    void SetKinds(const QStringList& kinds);
    QStringList Kinds() const;

    // The entry text of a name with these colours (back -1: transparent).
    static QString EntryText(const QString& name, TColor font, TColor back);
    // The characters a name may not hold: the double quote, the colon that
    // ends the name, the comma and blanks or control characters that would
    // split it when the entry is read back.
    static bool IsValidName(const QString& name);

    // Handlers of the controls (public so that tests can drive them).
    void AddBtnClick();
    void KindListClick();
    void FontColorClick();
    void BackColorClick();
    void TransBtnClick();
    void DelBtnClick();

    QLineEdit* KindText;
    QPushButton* AddBtn;
    QListWidget* KindList;
    TBevelLabel* Sample;
    QPushButton* FontColor;
    QPushButton* BackColor;
    QLabel* Label1;
    QToolButton* TransBtn;
    QPushButton* DelBtn;
    QPushButton* SetBtn;
    QPushButton* CancelBtn;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Rewrites entry i with the name and the sample's colours and selects it.
    void WriteEntry(int index, const QString& name);
    void UpdateTransparency();
    // The name part of an entry.
    static QString EntryName(const QString& entry);

    TKindDelegate* delegate_;
};
