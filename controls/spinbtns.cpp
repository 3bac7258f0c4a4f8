#include "controls/spinbtns.h"

#include "gui/updown.h"

#include <QKeyEvent>
#include <QValidator>

#include <algorithm>
#include <limits>

namespace {

constexpr int kUpDownWidth = 16;
constexpr int kGap = 2;

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Digits after the point; -1 without a point.
int Decimals(const QString& text)
{
    const int dot = text.indexOf(u'.');
    return dot < 0 ? -1 : static_cast<int>(text.size()) - dot - 1;
}

// Any text that reads as a number: an optional leading minus sign, digits and
// at most one point.
bool Numeric(const QString& text)
{
    int dots = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'-' && i == 0)
            continue;
        if (c == u'.' && ++dots == 1)
            continue;
        if (!IsDigit(c))
            return false;
    }
    return true;
}

// Decimal digits as a number, saturating at the integer range.
int SaturatingNumber(const QString& digits, bool negative)
{
    long long n = 0;
    const long long limit = negative ? -static_cast<long long>(std::numeric_limits<int>::min())
                                     : std::numeric_limits<int>::max();
    for (QChar c : digits) {
        n = std::min(limit, n * 10 + (c.unicode() - u'0'));
    }
    return static_cast<int>(negative ? -n : n);
}

int SaturatingProduct(int a, int b)
{
    const long long p = static_cast<long long>(a) * b;
    return static_cast<int>(
        std::clamp<long long>(p, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

void Normalise(QString& text, int& cursor)
{
    int removed = 0;
    while (text.size() >= 2 && text[0] == u'0') {
        text.remove(0, 1);
        ++removed;
    }
    cursor = std::max(0, cursor - removed);
    if (text.startsWith(u'.')) {
        text.prepend(u'0');
        ++cursor;
    }
}

} // namespace

// Every change a person makes to the text (keys, paste, drop, input method)
// passes here before it is shown: a change that breaks the rules is undone,
// one that keeps them is normalised in place.
class ValueRules : public QValidator
{
public:
    explicit ValueRules(TValueEdit* edit) : QValidator(edit), edit_(edit) { }
    State validate(QString& input, int& pos) const override
    {
        if (!edit_->Typable(input))
            return Invalid;
        edit_->Trim(input, pos);
        return Acceptable;
    }

private:
    TValueEdit* edit_;
};

// --- TValueEdit -------------------------------------------------------------

TValueEdit::TValueEdit(QWidget* parent) : QLineEdit(parent), good_(QStringLiteral("0"))
{
    setAlignment(Qt::AlignRight);
    setText(good_);
    setValidator(new ValueRules(this));
    connect(this, &QLineEdit::textChanged, this, &TValueEdit::TextChanged);
    resize(40, sizeHint().height());
}

bool TValueEdit::Typable(const QString& text) const
{
    int dots = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'-') {
            if (i != 0 || !good_.startsWith(u'-'))
                return false;
        } else if (c == u'.') {
            if (++dots > 1)
                return false;
        } else if (!IsDigit(c)) {
            return false;
        }
    }
    const int decimals = Decimals(text);
    if (decimals < 0)
        return true;
    const int had = Decimals(good_);
    if (scale_ <= 0)
        return had >= 0 && decimals <= had;
    return decimals <= std::max(scale_, had);
}

void TValueEdit::Trim(QString& text, int& cursor) const
{
    Normalise(text, cursor);
    if (maxColumn_ > 0 && text.size() > maxColumn_) {
        text = text.right(maxColumn_);
        Normalise(text, cursor);
        cursor = static_cast<int>(text.size());
    }
}

void TValueEdit::TextChanged(const QString& text)
{
    if (reverting_)
        return;
    if (!Numeric(text)) {
        // Text set by other means than typing, or a change the validator
        // could not undo: back to the last good text, which was reported.
        reverting_ = true;
        setText(good_);
        reverting_ = false;
        return;
    }
    QString trimmed = text;
    int cursor = cursorPosition();
    Trim(trimmed, cursor);
    if (trimmed != text) {
        setText(trimmed); // reports the trimmed text
        setCursorPosition(cursor);
        return;
    }
    good_ = text;
    emit OnChange();
}

void TValueEdit::keyPressEvent(QKeyEvent* event)
{
    // A digit typed into "0" replaces the zero wherever the caret stands.
    const QString key = event->text();
    if (key.size() == 1 && IsDigit(key[0]) && text() == u"0" && !hasSelectedText())
        selectAll();
    QLineEdit::keyPressEvent(event);
}

int TValueEdit::Value() const
{
    QString t = text();
    const bool negative = t.startsWith(u'-');
    if (negative)
        t.remove(0, 1);
    const int dot = t.indexOf(u'.');
    if (dot >= 0)
        t.remove(dot, 1);
    if (!Numeric(t) || t.contains(u'-') || t.contains(u'.'))
        return 0;
    return SaturatingNumber(t, negative);
}

void TValueEdit::SetValue(int value)
{
    setText(QString::number(value));
}

void TValueEdit::SetMaxColumn(int columns)
{
    if (columns == maxColumn_)
        return;
    maxColumn_ = columns;
    QString t = text();
    int cursor = cursorPosition();
    Trim(t, cursor);
    if (t != text())
        setText(t);
}

void TValueEdit::SetScale(int scale)
{
    scale_ = scale;
    const QString t = text();
    if (scale_ > 0 && Decimals(t) > scale_)
        setText(t.left(t.indexOf(u'.') + 1 + scale_));
}

void TValueEdit::SetBase(int base)
{
    if (base <= 1)
        return;
    base_ = base;
    SetScaledValue(ScaledValue());
}

int TValueEdit::ScaledValue() const
{
    QString t = text().isEmpty() ? QStringLiteral("0") : text();
    const bool negative = t.startsWith(u'-');
    if (negative)
        t.remove(0, 1);
    int decimals = Decimals(t);
    if (decimals >= 0)
        t.remove(t.indexOf(u'.'), 1);
    else
        decimals = 0;
    // Missing decimals are filled up; extra ones stay in the number.
    for (; decimals < scale_; ++decimals)
        t.append(u'0');
    if (!Numeric(t) || t.contains(u'-') || t.contains(u'.'))
        return 0;
    return SaturatingProduct(SaturatingNumber(t, negative), base_);
}

void TValueEdit::SetScaledValue(int value)
{
    const long long v = value / base_;
    QString s = QString::number(v < 0 ? -v : v);
    if (scale_ > 0) {
        while (s.size() <= scale_)
            s.prepend(u'0');
        s.insert(s.size() - scale_, u'.');
    }
    if (v < 0)
        s.prepend(u'-');
    setText(s);
}

void TValueEdit::SetColor(TColor color)
{
    color_ = color;
    QPalette p = palette();
    p.setColor(QPalette::Base, colors::ToQColor(color, p));
    setPalette(p);
}

// --- TValueSpin -------------------------------------------------------------

TValueSpin::TValueSpin(QWidget* parent)
    : QWidget(parent), edit_(new TValueEdit(this)), upDown_(new TUpDown(this))
{
    upDown_->resize(kUpDownWidth, upDown_->height());
    connect(upDown_, &TUpDown::OnClick, this, [this] { SetValue(upDown_->Position()); });
    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(edit_);
    SetColor(color_);
    resize(edit_->width() + kUpDownWidth + kGap, edit_->height());
    edit_->SetValue(0);
    connect(edit_, &TValueEdit::OnChange, this, &TValueSpin::EditChanged);
    edit_->installEventFilter(this);
}

int TValueSpin::Value() const
{
    return upDown_->Position();
}

void TValueSpin::Report()
{
    if (upDown_->Position() == reported_)
        return;
    reported_ = upDown_->Position();
    emit OnChange();
}

void TValueSpin::SetValue(int value)
{
    upDown_->SetPosition(value);
    const int now = upDown_->Position();
    if (edit_->Value() != now || edit_->text().isEmpty())
        edit_->SetValue(now); // comes back through EditChanged with nothing to do
    Report();
}

void TValueSpin::EditChanged()
{
    const int typed = edit_->Value();
    const int low = std::min(upDown_->Min(), upDown_->Max());
    // A number below Min may be on its way to a valid one ("1" before
    // "12"): the position stays inside, the text is put right on Enter or
    // when the focus leaves. An empty text stands for the position too.
    if (typed < low || edit_->text().isEmpty()) {
        upDown_->SetPosition(typed);
        Report();
        return;
    }
    SetValue(typed);
}

void TValueSpin::CorrectText()
{
    if (edit_->text() != QString::number(Value()))
        edit_->SetValue(Value());
}

void TValueSpin::KeepInRange()
{
    // The up-down has pulled its position inside; an edit value outside the
    // range follows it.
    const int low = std::min(upDown_->Min(), upDown_->Max());
    const int high = std::max(upDown_->Min(), upDown_->Max());
    const int shown = edit_->Value();
    if (shown < low || shown > high)
        edit_->SetValue(Value());
    Report();
}

int TValueSpin::Min() const
{
    return upDown_->Min();
}

void TValueSpin::SetMin(int value)
{
    upDown_->SetMin(value);
    KeepInRange();
}

int TValueSpin::Max() const
{
    return upDown_->Max();
}

void TValueSpin::SetMax(int value)
{
    upDown_->SetMax(value);
    KeepInRange();
}

int TValueSpin::Increment() const
{
    return upDown_->Increment();
}

void TValueSpin::SetIncrement(int value)
{
    upDown_->SetIncrement(value);
}

void TValueSpin::SetColor(TColor color)
{
    color_ = color;
    QPalette p = palette();
    p.setColor(QPalette::Window, colors::ToQColor(color, p));
    setPalette(p);
    setAutoFillBackground(true);
}

TColor TValueSpin::EditColor() const
{
    return edit_->Color();
}

void TValueSpin::SetEditColor(TColor color)
{
    edit_->SetColor(color);
}

void TValueSpin::Step(bool up)
{
    CorrectText();
    const long long step = up ? Increment() : -static_cast<long long>(Increment());
    SetValue(static_cast<int>(std::clamp<long long>(Value() + step, std::numeric_limits<int>::min(),
                                                    std::numeric_limits<int>::max())));
}

void TValueSpin::resizeEvent(QResizeEvent*)
{
    const int w = width();
    const int h = height();
    upDown_->setGeometry(w - kUpDownWidth, 0, kUpDownWidth, h);
    edit_->setGeometry(0, 0, std::max(0, w - kUpDownWidth - kGap), h);
}

void TValueSpin::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        Step(event->key() == Qt::Key_Up);
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TValueSpin::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edit_) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down) {
                Step(key == Qt::Key_Up);
                return true;
            }
            if (key == Qt::Key_Return || key == Qt::Key_Enter)
                CorrectText(); // and the key goes on (a dialog's default button)
        } else if (event->type() == QEvent::FocusOut) {
            CorrectText();
        }
    }
    return QWidget::eventFilter(watched, event);
}
