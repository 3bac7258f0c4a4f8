#pragma once

// The small stay-on-top window that announces one due alarm: subject, date
// and place, a countdown to an optional automatic close, the offer to ring
// again later, the memo, and the mail button.

#include "app/forms/renotify.h"
#include "core/eventdata.h"

#include <QDialog>
#include <QPoint>

#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QLabel;
class QPushButton;
class QToolButton;
class TSchedList;

// The countdown's one-second tick. The window runs on a QTimer; tests
// install ticks they step by hand, so no test waits for a second to pass.
class TAlarmTick
{
public:
    virtual ~TAlarmTick();
    virtual void Start() = 0; // OnTick every second until stopped
    virtual void Stop() = 0;
    virtual bool Running() const = 0;
    std::function<void()> OnTick;
};
using TAlarmTickFactory = std::function<std::unique_ptr<TAlarmTick>()>;

class TAlermForm : public QDialog
{
    Q_OBJECT
public:
    explicit TAlermForm(QWidget* owner = nullptr);
    ~TAlermForm() override;

    // Fills the window for the item, runs it modally, then applies the
    // choices however the window was closed: a checked "notify again" sets
    // the item's AlarmTime to the re-notify moment and clears Alarmed, so the
    // alarm check rings it again then; a checked ReturnCheck makes the host
    // show prevMailId again. The item is written only while store still holds
    // it (it may have been deleted while the window was open); pass nullptr
    // for a record of the caller's own that stays valid. prevMailId is the
    // host's current mail when the alarm fired, empty when none (always in
    // the program build). The item is not saved here.
    void ShowAlarm(const std::string& prevMailId, PEventData item, TSchedList* store);

    // Ticks of windows created from now on; an empty factory restores the
    // QTimer.
    static void SetTickFactory(TAlarmTickFactory factory);

    // The hint of the mail button by its role: 0 send, 1 reply.
    static QString MailSendHint(int tag);

    // Handlers, public so that the window's behaviour can be driven directly.
    void FormShow();
    void NoteBtnClick();
    void Timer1Timer();
    void mailSendClick();

    int SecondsLeft() const { return secondsLeft_; }
    const TReNotify& ReNotify() const { return reNotify_; }
    int MailSendTag() const { return mailSendTag_; }
    TAlarmTick* Timer1() const { return timer_.get(); }
    // Runs from the moment the window appears to its first tick: until then
    // the window takes no key, so that keys typed for another window just
    // before the alarm came up do not answer it unseen.
    TAlarmTick* KeyGuard() const { return keyGuard_.get(); }
    bool TakesKeys() const { return !keyGuard_->Running(); }

    QLabel* Label1; // subject
    QLabel* Label2; // date and time
    QLabel* Label3; // place
    QToolButton* NoteBtn;
    QToolButton* mailSend;
    QCheckBox* ReAlerm;
    QPushButton* Button1;
    QCheckBox* ReturnCheck;
    QLabel* TimeLabel;

public slots:
    // Escape and the window manager's close acknowledge like Button1.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void FitLabel(QLabel* label, const QString& text, int width);

    std::unique_ptr<TAlarmTick> keyGuard_;
    std::unique_ptr<TAlarmTick> timer_;
    int secondsLeft_ = 0;
    int mailSendTag_ = 0;
    TReNotify reNotify_;
    TEventData shown_; // the item as shown, for the mail and memo buttons
    QString texts_[3]; // the full texts of Label1..Label3
    bool dragging_ = false;
    QPoint dragOffset_;
};
