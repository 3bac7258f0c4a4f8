#pragma once

// Controls for entering whole numbers: TValueEdit, a right-aligned edit that
// holds only digits and at most one decimal point and reads as an integer,
// and TValueSpin, such an edit with an up-down at its right.

#include "gui/colors.h"

#include <QLineEdit>

class TUpDown;

class TValueEdit : public QLineEdit
{
    Q_OBJECT
public:
    // 40 pixels wide, text "0", MaxColumn 0, Scale 0, Base 1.
    explicit TValueEdit(QWidget* parent = nullptr);

    // The text without its point as a number ("1.25" reads 125); 0 for an
    // empty text; a number beyond the integer range saturates.
    int Value() const;
    // Text := the decimal text of the value.
    void SetValue(int value);

    // The most characters the text keeps (0: no limit); a longer text keeps
    // its last characters.
    int MaxColumn() const { return maxColumn_; }
    void SetMaxColumn(int columns);
    // Decimals after the point (0: no point can be entered). A positive
    // scale cuts decimals beyond it from the text.
    int Scale() const { return scale_; }
    void SetScale(int scale);
    // A multiplier; values below 2 are ignored. Setting it rewrites the text
    // in the scaled form (Scale decimals, "1.5" with Scale 2 gives "1.50").
    int Base() const { return base_; }
    void SetBase(int base);

    TColor Color() const { return color_; }
    void SetColor(TColor color);

signals:
    // After every change of the text, once it keeps the rules and is trimmed.
    void OnChange();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend class ValueRules;
    // The rules for a change that the user makes (typed keys, paste, drop,
    // input method): digits and at most one point, a point only with a
    // positive Scale, no more decimals than Scale, no minus sign (one
    // that is already there may stay). A text that came in by other means
    // and breaks a rule may stay as it is, but no change makes it worse.
    bool Typable(const QString& text) const;
    // Normalises ("007" -> "7", ".5" -> "0.5") and cuts to MaxColumn,
    // keeping the caret in place (at the end after a cut).
    void Trim(QString& text, int& cursor) const;
    void TextChanged(const QString& text);
    int ScaledValue() const;
    void SetScaledValue(int value);

    int maxColumn_ = 0;
    int scale_ = 0;
    int base_ = 1;
    TColor color_ = colors::clWindow;
    QString good_; // the last text that kept the rules
    bool reverting_ = false;
};

class TValueSpin : public QWidget
{
    Q_OBJECT
public:
    // The edit and a 16-pixel up-down, 58 pixels wide, as high as the edit;
    // the edit takes the focus for the spin box, by a click or by Tab.
    explicit TValueSpin(QWidget* parent = nullptr);

    // The up-down's position, a 16-bit value inside Min..Max.
    int Value() const;
    // Moves the position to the value (clamped to Min..Max) and shows it in
    // the edit. OnChange fires whenever the position changes, by any route.
    void SetValue(int value);
    // A new range pulls the position and the edit's value inside it.
    int Min() const;
    void SetMin(int value);
    int Max() const;
    void SetMax(int value);
    // The step of the arrow buttons and of the Up and Down keys.
    int Increment() const;
    void SetIncrement(int value);

    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TColor EditColor() const;
    void SetEditColor(TColor color);

    TValueEdit* Edit() const { return edit_; }
    TUpDown* UpDown() const { return upDown_; }

signals:
    void OnChange();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void EditChanged();
    // Up or down by Increment, as the arrow buttons step.
    void Step(bool up);
    // Puts the position back into the edit when its text says otherwise (a
    // value below Min typed in, an empty text).
    void CorrectText();
    void KeepInRange();
    // OnChange when the position differs from the one last reported.
    void Report();

    TValueEdit* edit_;
    TUpDown* upDown_;
    int reported_ = 0;
    TColor color_ = colors::clBtnFace;
};
