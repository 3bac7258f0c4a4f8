#include "app/forms/alermform.h"

#include "app/forms/formutil.h"
#include "app/forms/noteform.h"
#include "app/forms/variant.h"
#include "app/settings/initparam.h"
#include "core/schedlist.h"
#include "core/sjis.h"
#include "gui/colors.h"
#include "gui/mnemonic.h"
#include "gui/msgdlg.h"
#include "gui/qtext.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <qdrawutil.h>

#include <algorithm>
#include <exception>

namespace {

// Resource metrics of the window, in pixels.
constexpr int kLabelLeft = 8;
constexpr int kClientHeight = 150;
constexpr int kMinClientWidth = 220;
constexpr int kButtonLeft = 70;
constexpr int kGlyphButton = 24;
constexpr int kTimeLabelWidth = 40;
constexpr int kTimeLabelHeight = 14;
// What the window frame takes beyond the client area, kept free when the
// width is capped at the screen.
constexpr int kFrameAllowance = 16;

TAlarmTickFactory& TickFactory()
{
    static TAlarmTickFactory factory;
    return factory;
}

class TimerTick : public TAlarmTick
{
public:
    TimerTick()
    {
        timer_.setInterval(1000);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (OnTick)
                OnTick();
        });
    }
    void Start() override { timer_.start(); }
    void Stop() override { timer_.stop(); }
    bool Running() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};

// Runs an event handler; what it throws is shown, not passed on.
template<typename Fn> void Guarded(QWidget* window, Fn fn)
{
    try {
        fn();
    } catch (const std::exception& e) {
        msgdlg::ShowException(QString::fromUtf8(e.what()), window);
    } catch (...) {
        msgdlg::ShowException(u"Unknown error"_qs, window);
    }
}

QFont PixelFont(const QFont& base, int pixels, bool bold)
{
    QFont f(base);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

void SetTextColor(QWidget* w, const QColor& color)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, color);
    pal.setColor(QPalette::Text, color);
    w->setPalette(pal);
}

// The mail button's glyphs, drawn here: an envelope to send, an envelope
// with a returning arrow to reply to the linked mail.
QIcon MailGlyph(bool reply)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(64, 64, 64));
    p.setBrush(QColor(255, 255, 240));
    p.drawRect(1, 3, 13, 9);
    p.drawLine(1, 3, 8, 8);
    p.drawLine(14, 3, 8, 8);
    if (reply) {
        p.setPen(QPen(QColor(192, 0, 0), 2));
        p.drawLine(6, 14, 13, 14);
        p.drawLine(6, 14, 8, 12);
    }
    return QIcon(pm);
}

QIcon NoteGlyph()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(64, 64, 64));
    p.setBrush(QColor(255, 255, 200));
    p.drawRect(3, 1, 10, 13);
    for (int y = 4; y <= 11; y += 3)
        p.drawLine(5, y, 11, y);
    return QIcon(pm);
}

QString TwoDigits(int n)
{
    return QString::asprintf("%02d", n);
}

// "再通知する＠mm/dd hh:nn"
QString ReNotifyCaption(days::Moment at)
{
    const days::Ymd ymd = days::Decode(days::DayOf(at));
    const std::int64_t secs = days::SecondsOfDay(at);
    return u"再通知する＠"_qs + TwoDigits(ymd.month) + u'/' + TwoDigits(ymd.day) + u' ' +
        TwoDigits(static_cast<int>(secs / 3600)) + u':' +
        TwoDigits(static_cast<int>(secs % 3600 / 60));
}

QString DateLine(const TEventData& item)
{
    const days::Ymd ymd = days::Decode(item.NextDate);
    QString line = u"【日時】 "_qs + QString::number(ymd.month) + u'/' + QString::number(ymd.day);
    if (item.HasTime) {
        line += u"  "_qs + qtext::ToQ(MinutesToStr(item.StartTime)) + u"～"_qs +
            qtext::ToQ(MinutesToStr(item.EndTime));
    }
    return line;
}

} // namespace

TAlarmTick::~TAlarmTick() = default;

void TAlermForm::SetTickFactory(TAlarmTickFactory factory)
{
    TickFactory() = std::move(factory);
}

QString TAlermForm::MailSendHint(int tag)
{
    return tag == 1 ? u"リンクメールに返信する"_qs : u"この予定をメール送信する"_qs;
}

TAlermForm::TAlermForm(QWidget* owner)
    : QDialog(owner,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(u"AlermForm"_qs);
    setWindowTitle(u"■予定のお知らせです！"_qs);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, colors::ToQColor(colors::clHighlight));
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);

    auto makeLabel = [this](const char* name, int top, int pixels, bool bold) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(name));
        label->setFont(PixelFont(font(), pixels, bold));
        label->move(kLabelLeft, top);
        return label;
    };
    Label1 = makeLabel("Label1", 6, 16, true);
    Label2 = makeLabel("Label2", 32, 13, false);
    Label3 = makeLabel("Label3", 52, 13, false);

    NoteBtn = new QToolButton(this);
    NoteBtn->setObjectName(u"NoteBtn"_qs);
    NoteBtn->setAutoRaise(true);
    NoteBtn->setToolTip(u"メモを見る"_qs);
    NoteBtn->setIcon(NoteGlyph());
    NoteBtn->setGeometry(0, 117, kGlyphButton, kGlyphButton);

    mailSend = new QToolButton(this);
    mailSend->setObjectName(u"mailSend"_qs);
    mailSend->setAutoRaise(true);
    mailSend->setIcon(MailGlyph(false));
    mailSend->setGeometry(0, 2, kGlyphButton, kGlyphButton);

    ReAlerm = new QCheckBox(this);
    ReAlerm->setObjectName(u"ReAlerm"_qs);
    ReAlerm->setFont(PixelFont(font(), 11, false));
    SetTextColor(ReAlerm, Qt::white);
    ReAlerm->setGeometry(kLabelLeft, 76, 200, 16);

    ReturnCheck = new QCheckBox(u"直前のメールに戻る"_qs, this);
    ReturnCheck->setObjectName(u"ReturnCheck"_qs);
    ReturnCheck->adjustSize();
    ReturnCheck->move(kLabelLeft, 94);
    ReturnCheck->hide();

    Button1 = new QPushButton(u"了解！(&Y)"_qs, this);
    Button1->setObjectName(u"Button1"_qs);
    Button1->setDefault(true);
    Button1->setGeometry(kButtonLeft, 116, 100, 26);

    TimeLabel = new QLabel(u"0:00"_qs, this);
    TimeLabel->setObjectName(u"TimeLabel"_qs);
    TimeLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    TimeLabel->setFont(PixelFont(font(), 11, false));
    SetTextColor(TimeLabel, Qt::white);
    TimeLabel->resize(kTimeLabelWidth, kTimeLabelHeight);

    // FormCreate: the countdown sits at the bottom of the client area.
    resize(kMinClientWidth, kClientHeight);
    TimeLabel->move(width() - kTimeLabelWidth - 2, kClientHeight - kTimeLabelHeight - 2);

    auto makeTick = [] {
        std::unique_ptr<TAlarmTick> tick = TickFactory() ? TickFactory()() : nullptr;
        return tick ? std::move(tick) : std::make_unique<TimerTick>();
    };
    keyGuard_ = makeTick();
    keyGuard_->OnTick = [this] {
        keyGuard_->Stop();
        qApp->removeEventFilter(this);
    };
    timer_ = makeTick();
    timer_->OnTick = [this] { Timer1Timer(); };

    // Tab goes from the top right down to the buttons.
    setTabOrder(mailSend, ReAlerm);
    setTabOrder(ReAlerm, ReturnCheck);
    setTabOrder(ReturnCheck, Button1);
    setTabOrder(Button1, NoteBtn);

    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(NoteBtn, &QToolButton::clicked, this, &TAlermForm::NoteBtnClick);
    connect(mailSend, &QToolButton::clicked, this, &TAlermForm::mailSendClick);
}

TAlermForm::~TAlermForm()
{
    qApp->removeEventFilter(this);
    for (TAlarmTick* tick : { keyGuard_.get(), timer_.get() }) {
        tick->Stop();
        tick->OnTick = nullptr;
    }
}

void TAlermForm::ShowAlarm(const std::string& prevMailId, PEventData item, TSchedList* store)
{
    if (!item)
        return;
    TBuildVariant& variant = BuildVariant();

    mailSendTag_ = 0;
    shown_ = *item;
    const std::uint64_t id = item->Id;

    ReturnCheck->setVisible(variant.HasHostMail() && !prevMailId.empty());
    if (variant.HasHostMail() && !item->MailID.empty() && InitParam.ReplyMail &&
        sjis::EqualsNoCase(variant.CurrentMailID(), item->MailID)) {
        mailSendTag_ = 1;
        mailSend->setIcon(MailGlyph(true));
    }
    mailSend->setProperty("Tag", mailSendTag_);
    mailSend->setToolTip(MailSendHint(mailSendTag_));
    ReturnCheck->setChecked(!ReturnCheck->isHidden());

    reNotify_ = ReNotifyMoment(*item, days::Now(), InitParam);
    ReAlerm->setVisible(reNotify_.Visible);
    if (reNotify_.Visible)
        ReAlerm->setText(ReNotifyCaption(reNotify_.At));
    ReAlerm->setEnabled(reNotify_.Enabled);
    if (!reNotify_.Enabled)
        ReAlerm->setChecked(true);

    texts_[0] = u"【件名】 "_qs + qtext::ToQ(item->Subject);
    texts_[1] = DateLine(*item);
    texts_[2] = u"【場所】 "_qs + qtext::ToQ(item->Place);
    Label1->setText(texts_[0]);
    Label2->setText(texts_[1]);
    Label3->setText(texts_[2]);

    exec();
    timer_->Stop();
    keyGuard_->Stop();
    qApp->removeEventFilter(this);

    // The item may have left the store while the window was open; only a
    // record still held is changed.
    bool held = true;
    if (store)
        held = id != 0 ? store->FindById(id) == item : store->Contains(item);
    if (ReAlerm->isChecked() && held) {
        item->AlarmTime = reNotify_.At;
        item->Alarmed = false;
    }
    if (ReturnCheck->isChecked() && !prevMailId.empty())
        variant.SetCurrentMail(prevMailId);
}

void TAlermForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TAlermForm::FitLabel(QLabel* label, const QString& text, int width)
{
    const QFontMetrics fm(label->font());
    const QString shown = fm.horizontalAdvance(text) > width
        ? fm.elidedText(text, Qt::ElideRight, std::max(width, 0))
        : text;
    label->setText(shown);
    label->setToolTip(shown == text ? QString() : text);
    label->resize(std::max(fm.horizontalAdvance(shown), 1) + 2, fm.height());
}

void TAlermForm::FormShow()
{
    if (ReAlerm->isEnabled())
        ReAlerm->setChecked(InitParam.RepCheck && !ReAlerm->isHidden());
    secondsLeft_ = std::clamp(InitParam.AutoClose, 0, 10) * 60;

    QPalette pal = palette();
    pal.setColor(QPalette::Window, colors::ToQColor(InitParam.WinColor));
    pal.setColor(QPalette::WindowText, colors::ToQColor(InitParam.FontColor));
    setPalette(pal);
    const QColor fontColor = colors::ToQColor(InitParam.FontColor);
    for (QLabel* label : { Label1, Label2, Label3 })
        SetTextColor(label, fontColor);
    SetTextColor(ReAlerm, Qt::white);
    SetTextColor(TimeLabel, Qt::white);

    // The width that shows every label whole, but never wider than the
    // screen: there the labels are cut short and show their text as a hint.
    auto natural = [](const QLabel* label, const QString& text) {
        return QFontMetrics(label->font()).horizontalAdvance(text) + 2;
    };
    int width = std::max({ Button1->width() + NoteBtn->width() + 2 * kButtonLeft + 10,
                           2 * ReturnCheck->x() + ReturnCheck->width(),
                           natural(Label1, texts_[0]) + 2 * Label1->x() + mailSend->width(),
                           natural(Label2, texts_[1]) + 2 * Label2->x(),
                           natural(Label3, texts_[2]) + 2 * Label3->x(), kMinClientWidth });
    const int screenWidth = forms::AvailableScreenWidth(this);
    if (screenWidth > 0)
        width = std::min(width, std::max(kMinClientWidth, screenWidth - kFrameAllowance));
    FitLabel(Label1, texts_[0], width - 2 * Label1->x() - mailSend->width());
    FitLabel(Label2, texts_[1], width - 2 * Label2->x());
    FitLabel(Label3, texts_[2], width - 2 * Label3->x());
    setFixedSize(width, kClientHeight);

    mailSend->move(width - mailSend->width(), mailSend->y());
    TimeLabel->move(width - TimeLabel->width() - 2, kClientHeight - TimeLabel->height() - 2);
    Button1->move((width - Button1->width()) / 2, Button1->y());
    NoteBtn->move(width - NoteBtn->width() - 10, NoteBtn->y());
    NoteBtn->setEnabled(!shown_.Memo.empty());
    ReAlerm->resize(std::max(TimeLabel->x() - 1, 1), ReAlerm->height());
    TimeLabel->clear();
    forms::CenterOnScreen(this);

    if (secondsLeft_ > 0)
        timer_->Start();
    // Keys reach the focused control before the window: they are held back
    // application-wide until the guard's first tick.
    qApp->installEventFilter(this);
    keyGuard_->Start();
    Button1->setFocus();
    raise();
    activateWindow();
}

void TAlermForm::Timer1Timer()
{
    Guarded(this, [this] {
        --secondsLeft_;
        const int left = std::max(secondsLeft_, 0);
        TimeLabel->setText(QString::asprintf("%d:%2.2d", left / 60, left % 60));
        if (secondsLeft_ <= 0) {
            timer_->Stop();
            ReAlerm->setChecked(ReNotifyAfterAutoClose(reNotify_, InitParam));
            accept();
        }
    });
}

void TAlermForm::NoteBtnClick()
{
    Guarded(this, [this] {
        const bool running = timer_->Running();
        timer_->Stop();
        {
            TNoteForm note(this);
            note.ShowNote(shown_.Subject, shown_.Memo);
        }
        if (running && secondsLeft_ > 0 && isVisible())
            timer_->Start();
    });
}

void TAlermForm::mailSendClick()
{
    Guarded(this, [this] {
        TBuildVariant& variant = BuildVariant();
        if (mailSendTag_ == 1)
            variant.ReplyToCurrentMail();
        else
            variant.SendScheduleMail(std::string(), shown_, this);
    });
    accept();
}

void TAlermForm::reject()
{
    accept();
}

bool TAlermForm::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride: {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!TakesKeys() && widget && widget->window() == this) {
            // An accepted override keeps the key from the shortcuts too.
            event->accept();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void TAlermForm::keyPressEvent(QKeyEvent* event)
{
    // "Y" alone acknowledges, as "了解！(&Y)" promises.
    if (mnemonic::ClickButtonFor(this, event))
        return;
    QDialog::keyPressEvent(event);
}

void TAlermForm::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    // The sunken client edge.
    QPainter p(this);
    qDrawWinPanel(&p, rect(), palette(), true, nullptr);
}

void TAlermForm::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(event);
        return;
    }
    // Pressing on the window's surface drags the window.
    if (windowHandle() && windowHandle()->startSystemMove())
        return;
    dragging_ = true;
    dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void TAlermForm::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging_)
        move(event->globalPosition().toPoint() - dragOffset_);
    else
        QDialog::mouseMoveEvent(event);
}

void TAlermForm::mouseReleaseEvent(QMouseEvent* event)
{
    dragging_ = false;
    QDialog::mouseReleaseEvent(event);
}
