#pragma once

// An up-down control in the manner of the Windows one: two stacked arrow
// buttons, drawn by the style and repeating while held, that step a 16-bit
// position by Increment inside Min..Max. It takes no keyboard focus (the
// control it serves does) unless it is a tab stop of its own.

#include <QWidget>

#include <cstdint>

class QToolButton;

enum TUDBtnType { btNext, btPrev }; // the up and the down arrow

class TUpDown : public QWidget
{
    Q_OBJECT
public:
    // 16 pixels wide, Min 0, Max 100, Position 0, Increment 1.
    explicit TUpDown(QWidget* parent = nullptr);

    // Min, Max and Position hold 16-bit values; larger ones are cut to the
    // 16-bit range. The position always stays inside the range (between the
    // lower and the higher of Min and Max).
    int Min() const { return min_; }
    void SetMin(int value);
    int Max() const { return max_; }
    void SetMax(int value);
    int Position() const { return position_; }
    void SetPosition(int value);
    int Increment() const { return increment_; }
    void SetIncrement(int value) { increment_ = value; }

    // A tab stop takes the focus by Tab and by a click, shows it with a frame
    // around its buttons, and steps with the Up and Down keys as the buttons
    // do: for an up-down that serves no focusable control.
    bool TabStop() const { return focusPolicy() != Qt::NoFocus; }
    void SetTabStop(bool on);

    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

signals:
    // After every step of a button (also when the position stood at the end
    // of the range and could not move).
    void OnClick(TUDBtnType button);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Step(TUDBtnType button);
    void Arrange();
    int Clamp(long long value) const;

    QToolButton* up_;
    QToolButton* down_;
    std::int16_t min_ = 0;
    std::int16_t max_ = 100;
    std::int16_t position_ = 0;
    int increment_ = 1;
};
