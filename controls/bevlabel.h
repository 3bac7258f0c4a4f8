#pragma once

// TBevelLabel: a static label with bevelled frames, single-line (rotatable)
// or multi-line text. Property writes store and repaint.

#include "controls/labelpaint.h"

#include <QWidget>

class TBevelLabel : public QWidget
{
    Q_OBJECT

public:
    explicit TBevelLabel(QWidget* parent = nullptr);

    // Pressed look: True gives a lowered inner bevel, False a raised one; the
    // outer bevel goes either way. Acts only on a change.
    bool Down() const { return down_; }
    void SetDown(bool down);

    TBevelCut BevelInner() const { return look_.bevelInner; }
    void SetBevelInner(TBevelCut cut);
    TBevelCut BevelOuter() const { return look_.bevelOuter; }
    void SetBevelOuter(TBevelCut cut);
    int BevelWidth() const { return look_.bevelWidth; }
    void SetBevelWidth(int width);
    int BorderWidth() const { return look_.borderWidth; }
    void SetBorderWidth(int width);

    // These repaint only when the value changes.
    TTextRotate TextRotate() const { return look_.rotate; }
    void SetTextRotate(TTextRotate rotate);
    bool SingleLine() const { return look_.singleLine; }
    void SetSingleLine(bool singleLine);
    int TextBorder() const { return look_.textBorder; }
    void SetTextBorder(int border);
    // Stored for the form's sake; painting does not use it.
    int LineBorder() const { return lineBorder_; }
    void SetLineBorder(int border);
    int TextOffset() const { return look_.textOffset; }
    void SetTextOffset(int offset);
    TAlignment Alignment() const { return look_.alignment; }
    void SetAlignment(TAlignment alignment);
    TTextLayout Layout() const { return look_.layout; }
    void SetLayout(TTextLayout layout);
    bool WordWrap() const { return look_.wordWrap; }
    void SetWordWrap(bool wrap);

    // -1 paints the face in the window colour.
    TColor Color() const { return look_.color; }
    void SetColor(TColor color);
    TColor FontColor() const { return look_.fontColor; }
    void SetFontColor(TColor color);
    QString Caption() const { return look_.caption; }
    void SetCaption(const QString& caption);

    // Free for the owner's use; the label never reads it.
    void* Data() const { return data_; }
    void SetData(void* data) { data_ = data; }

    QSize sizeHint() const override;

signals:
    void Clicked();
    void DoubleClicked();
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void MouseMove(Qt::KeyboardModifiers modifiers, QPoint pos);
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void Changed();

    labelpaint::Look look_;
    bool down_ = false;
    int lineBorder_ = 0;
    void* data_ = nullptr;
    bool clicking_ = false; // left button went down on the label
};
