#pragma once

// TButtonLabel: a label that acts as a push button (pressed offset, focus
// rectangle, Enter and Space click). TColorButton: a push button whose face
// is a colour swatch.

#include "controls/labelpaint.h"

#include <QWidget>

class TButtonLabel : public QWidget
{
    Q_OBJECT

public:
    explicit TButtonLabel(QWidget* parent = nullptr);

    TBevelCut BevelInner() const { return look_.bevelInner; }
    void SetBevelInner(TBevelCut cut);
    TBevelCut BevelOuter() const { return look_.bevelOuter; }
    void SetBevelOuter(TBevelCut cut);
    int BevelWidth() const { return look_.bevelWidth; }
    void SetBevelWidth(int width);
    int BorderWidth() const { return look_.borderWidth; }
    void SetBorderWidth(int width);
    // These repaint only when the value changes.
    bool DrawFocusRect() const { return drawFocusRect_; }
    void SetDrawFocusRect(bool draw);
    TTextLayout Layout() const { return look_.layout; }
    void SetLayout(TTextLayout layout);
    TAlignment Alignment() const { return look_.alignment; }
    void SetAlignment(TAlignment alignment);
    TTextRotate TextRotate() const { return look_.rotate; }
    void SetTextRotate(TTextRotate rotate);

    TColor Color() const { return look_.color; }
    void SetColor(TColor color);
    TColor FontColor() const { return look_.fontColor; }
    void SetFontColor(TColor color);
    QString Caption() const { return look_.caption; }
    void SetCaption(const QString& caption);
    // Tab stop off (the default) still lets a click focus the control.
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool tabStop);

    bool Pressed() const { return pressed_; }
    // Takes the focus and emits Clicked (what a mouse click does).
    void Click();

    QSize sizeHint() const override;

signals:
    void Clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    labelpaint::Look look_;
    bool drawFocusRect_ = false;
    bool tabStop_ = false;
    bool pressed_ = false;
    bool clicking_ = false; // left button went down on the control
};

enum TFocusBandType { fbNone, fbRect, fbBand };

class TColorButton : public QWidget
{
    Q_OBJECT

public:
    explicit TColorButton(QWidget* parent = nullptr);

    // The caption's colour is the inverse of the face colour.
    bool AutoFontColor() const { return autoFontColor_; }
    void SetAutoFontColor(bool on) { autoFontColor_ = on; }
    // These repaint only when the value changes.
    TFocusBandType DrawFocus() const { return drawFocus_; }
    void SetDrawFocus(TFocusBandType type);
    bool DrawFrame() const { return drawFrame_; }
    void SetDrawFrame(bool draw);

    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool tabStop);

    bool Pressed() const { return pressed_; }
    // The colour the caption is drawn in.
    QColor TextColor() const;
    // Takes the focus and emits Clicked (what a mouse click does).
    void Click();

    QSize sizeHint() const override;

signals:
    void Clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool autoFontColor_ = false;
    TFocusBandType drawFocus_ = fbNone;
    bool drawFrame_ = false;
    TColor color_ = colors::clBtnFace;
    TColor fontColor_ = colors::clWindowText;
    QString caption_;
    bool tabStop_ = true;
    bool pressed_ = false;
    bool tracking_ = false;
};
