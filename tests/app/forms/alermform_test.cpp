#include "app/forms/alermform.h"
#include "app/forms/noteform.h"
#include "app/forms/variant.h"
#include "app/settings/initparam.h"
#include "core/schedlist.h"
#include "core/sjis.h"
#include "gui/colors.h"
#include "gui/qtext.h"
#include "modal_driver.h"
#include "support/dialog_script.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

const days::Day kDay = days::Encode(2004, 5, 10);

days::Moment At(days::Day day, int hour, int minute)
{
    return days::MomentOf(day, hour * 60 + minute);
}

// A countdown tick stepped by the test.
class FakeTick : public TAlarmTick
{
public:
    void Start() override { running = true; }
    void Stop() override { running = false; }
    bool Running() const override { return running; }
    void Fire(int times = 1)
    {
        for (int i = 0; i < times && running; ++i)
            OnTick();
    }
    bool running = false;
};

// A build variant that records what the window asked of the host.
class FakeVariant : public TBuildVariant
{
public:
    bool HasHostMail() const override { return host; }
    std::string CurrentMailID() override { return current; }
    void SetCurrentMail(const std::string& id) override { selected.push_back(id); }
    void ReplyToCurrentMail() override { ++replies; }
    void SendScheduleMail(const std::string& address, const TEventData& item, QWidget*) override
    {
        sent.push_back(address + "|" + item.Subject);
    }
    bool host = true;
    std::string current;
    std::vector<std::string> selected;
    int replies = 0;
    std::vector<std::string> sent;
};

class AlermFormTest : public ::testing::Test
{
protected:
    AlermFormTest() : clock(At(kDay, 9, 0))
    {
        InitParam.LoadFromFile("");
        store.SetKindMask(7);
        TAlermForm::SetTickFactory([this] {
            auto tick = std::make_unique<FakeTick>();
            this->tick = tick.get();
            return tick;
        });
    }
    ~AlermFormTest() override
    {
        TAlermForm::SetTickFactory({});
        SetBuildVariant(nullptr);
        InitParam.LoadFromFile("");
    }

    // Adds an item with a 15-minute alarm on kDay from start to end.
    PEventData Add(int start, int end, int unit = 0, const char* subject = "定例会議")
    {
        TEventData e;
        e.Date = kDay;
        if (start >= 0) {
            e.HasTime = true;
            e.StartTime = start;
            e.EndTime = end;
        }
        e.Subject = sjis::FromUtf8(subject);
        e.Place = SJ("3F 会議室");
        e.Memo = SJ("資料を持参\r\n二行目");
        e.AlarmBefore = 15;
        e.AlarmUnit = unit;
        return store.Items(store.AddEvent(e, false));
    }

    // Opens the window for the item; step runs while it is up and must close it.
    void Show(PEventData item, std::function<void(TAlermForm*)> step,
              const std::string& prevMail = std::string())
    {
        ModalDriver driver;
        driver.Then<TAlermForm>(std::move(step));
        TAlermForm form;
        form.ShowAlarm(prevMail, item, &store);
        EXPECT_EQ(driver.shown(), 1);
    }

    // The first second after the window appeared has passed.
    static void FirstSecondPassed(TAlermForm* f) { static_cast<FakeTick*>(f->KeyGuard())->Fire(); }

    days::FixedClock clock;
    TSchedList store;
    FakeTick* tick = nullptr;
};

} // namespace

TEST_F(AlermFormTest, ShowsSubjectDateAndPlace)
{
    PEventData timed = Add(600, 1500);
    Show(timed, [](TAlermForm* f) {
        EXPECT_EQ(f->windowTitle(), u"■予定のお知らせです！"_qs);
        EXPECT_EQ(f->Label1->text(), u"【件名】 定例会議"_qs);
        EXPECT_EQ(f->Label2->text(), u"【日時】 5/10  10:00～25:00"_qs);
        EXPECT_EQ(f->Label3->text(), u"【場所】 3F 会議室"_qs);
        EXPECT_TRUE(f->Label1->toolTip().isEmpty());
        EXPECT_EQ(f->Button1->text(), u"了解！(&Y)"_qs);
        EXPECT_TRUE(f->NoteBtn->isEnabled());
        EXPECT_EQ(f->NoteBtn->toolTip(), u"メモを見る"_qs);
        // The whole window fits its widest line.
        EXPECT_GE(f->width(), f->Label2->x() + f->Label2->width());
        f->Button1->click();
    });
    PEventData untimed = Add(-1, -1);
    untimed->Memo.clear();
    Show(untimed, [](TAlermForm* f) {
        EXPECT_EQ(f->Label2->text(), u"【日時】 5/10"_qs);
        EXPECT_FALSE(f->NoteBtn->isEnabled());
        f->Button1->click();
    });
}

TEST_F(AlermFormTest, ColoursComeFromTheSettings)
{
    InitParam.WinColor = 0x00FF0000; // blue
    InitParam.FontColor = 0x0000FFFF; // yellow
    Show(Add(600, 660), [](TAlermForm* f) {
        EXPECT_EQ(f->palette().color(QPalette::Window), QColor(0, 0, 255));
        for (QLabel* l : { f->Label1, f->Label2, f->Label3 })
            EXPECT_EQ(l->palette().color(QPalette::WindowText), QColor(255, 255, 0));
        EXPECT_EQ(f->TimeLabel->palette().color(QPalette::WindowText), QColor(Qt::white));
        EXPECT_EQ(f->ReAlerm->palette().color(QPalette::WindowText), QColor(Qt::white));
        f->Button1->click();
    });
}

// When the re-notify moment falls is the rule of renotify_test; the window
// words it in its check box, or hides the box when it has none to offer.
TEST_F(AlermFormTest, ReNotifyCaptionAndVisibilityFollowTheMoment)
{
    const struct
    {
        int start;
        QString caption; // empty: hidden
    } cases[] = {
        { 600, u"再通知する＠05/10 09:05"_qs },
        { 543, QString() }, // starts in 3 minutes: nothing to offer
    };
    clock.Set(At(kDay, 9, 0));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        Show(Add(c.start, c.start + 30), [&c](TAlermForm* f) {
            EXPECT_EQ(!f->ReAlerm->isHidden(), !c.caption.isEmpty());
            if (!c.caption.isEmpty()) {
                EXPECT_EQ(f->ReAlerm->text(), c.caption);
            }
            EXPECT_FALSE(f->ReAlerm->isChecked());
            f->Button1->click();
        });
    }
}

TEST_F(AlermFormTest, CheckedReNotifySetsTheAlarmSoTheNextCheckRingsAgain)
{
    InitParam.RepCheck = true;
    clock.Set(At(kDay, 9, 45));
    PEventData item = Add(600, 660);
    store.CheckAlarms();
    ASSERT_EQ(store.DueList.size(), 1u);
    item->Alarmed = true; // as the calendar marks it before it rings
    Show(item, [](TAlermForm* f) {
        EXPECT_TRUE(f->ReAlerm->isChecked());
        EXPECT_TRUE(f->ReAlerm->isEnabled());
        f->Button1->click();
    });
    EXPECT_EQ(item->AlarmTime, At(kDay, 9, 50));
    EXPECT_FALSE(item->Alarmed);

    clock.Set(At(kDay, 9, 50) - 1);
    store.CheckAlarms();
    EXPECT_TRUE(store.DueList.empty());
    clock.Set(At(kDay, 9, 50));
    store.CheckAlarms();
    ASSERT_EQ(store.DueList.size(), 1u);
    EXPECT_EQ(store.DueList[0], item);

    // Unchecked: the alarm stays as it was.
    InitParam.RepCheck = false;
    item->Alarmed = true;
    Show(item, [](TAlermForm* f) {
        EXPECT_FALSE(f->ReAlerm->isChecked());
        f->Button1->click();
    });
    EXPECT_EQ(item->AlarmTime, At(kDay, 9, 50));
    EXPECT_TRUE(item->Alarmed);
}

TEST_F(AlermFormTest, UnderlinedLetterAloneAcknowledges)
{
    Show(Add(600, 660), [](TAlermForm* f) {
        FirstSecondPassed(f);
        QTest::keyClick(f->Button1, Qt::Key_X);
        EXPECT_TRUE(f->isVisible());
        QTest::keyClick(f->ReAlerm, Qt::Key_Y);
        EXPECT_FALSE(f->isVisible());
        EXPECT_EQ(f->result(), QDialog::Accepted);
    });
}

// Keys typed for another window as the alarm comes up do not answer it: the
// window takes none until its first second has passed.
TEST_F(AlermFormTest, TakesNoKeyInItsFirstSecond)
{
    InitParam.AutoClose = 1;
    PEventData item = Add(600, 660);
    Show(item, [this](TAlermForm* f) {
        ASSERT_FALSE(f->TakesKeys());
        f->ReAlerm->setChecked(true);
        for (QWidget* target : std::initializer_list<QWidget*> { f->Button1, f->ReAlerm })
            for (Qt::Key key : { Qt::Key_Space, Qt::Key_Return, Qt::Key_Y, Qt::Key_Escape })
                QTest::keyClick(target, key);
        QTest::keyClick(f->Button1, Qt::Key_Y, Qt::AltModifier);
        EXPECT_TRUE(f->isVisible());
        EXPECT_TRUE(f->ReAlerm->isChecked());
        // The countdown is a clock of its own.
        tick->Fire();
        EXPECT_FALSE(f->TakesKeys());
        FirstSecondPassed(f);
        EXPECT_TRUE(f->TakesKeys());
        QTest::keyClick(f->Button1, Qt::Key_Space);
        EXPECT_FALSE(f->isVisible());
    });
    EXPECT_FALSE(item->Alarmed);
}

TEST_F(AlermFormTest, EscapeAndCloseApplyTheChoicesLikeTheButton)
{
    PEventData item = Add(600, 660);
    item->Alarmed = true;
    Show(item, [](TAlermForm* f) {
        f->ReAlerm->setChecked(true);
        FirstSecondPassed(f);
        QTest::keyClick(f, Qt::Key_Escape);
    });
    EXPECT_EQ(item->AlarmTime, At(kDay, 9, 5));
    EXPECT_FALSE(item->Alarmed);

    clock.Set(At(kDay, 9, 20));
    Show(item, [](TAlermForm* f) {
        f->ReAlerm->setChecked(true);
        f->close();
    });
    EXPECT_EQ(item->AlarmTime, At(kDay, 9, 25));
}

TEST_F(AlermFormTest, OpenDeadlineIsCheckedAndDisabledWhateverTheSettings)
{
    InitParam.RepCheck = false;
    InitParam.RepAlerm = false;
    InitParam.AutoClose = 1;
    PEventData item = Add(543, 600);
    item->Priority = 4;
    Show(item, [this](TAlermForm* f) {
        EXPECT_FALSE(f->ReAlerm->isEnabled());
        EXPECT_TRUE(f->ReAlerm->isChecked());
        EXPECT_EQ(f->ReAlerm->text(), u"再通知する＠05/10 10:00"_qs);
        tick->Fire(60);
    });
    EXPECT_EQ(item->AlarmTime, At(kDay, 10, 0));
}

TEST_F(AlermFormTest, AutoCloseCountsDownAndFollowsRepAlerm)
{
    InitParam.AutoClose = 1;
    InitParam.RepCheck = true; // checked at show ...
    InitParam.RepAlerm = false; // ... but not after the automatic close
    PEventData item = Add(600, 660);
    item->Alarmed = true;
    Show(item, [this](TAlermForm* f) {
        ASSERT_TRUE(tick->Running());
        EXPECT_EQ(f->TimeLabel->text(), QString());
        EXPECT_EQ(f->SecondsLeft(), 60);
        tick->Fire();
        EXPECT_EQ(f->TimeLabel->text(), u"0:59"_qs);
        tick->Fire(58);
        EXPECT_EQ(f->TimeLabel->text(), u"0:01"_qs);
        EXPECT_TRUE(f->isVisible());
        EXPECT_TRUE(f->ReAlerm->isChecked());
        tick->Fire();
        EXPECT_EQ(f->TimeLabel->text(), u"0:00"_qs);
        EXPECT_FALSE(f->isVisible());
        EXPECT_FALSE(tick->Running());
    });
    EXPECT_TRUE(item->Alarmed);

    InitParam.RepCheck = false;
    InitParam.RepAlerm = true;
    InitParam.AutoClose = 2;
    Show(item, [this](TAlermForm* f) {
        EXPECT_FALSE(f->ReAlerm->isChecked());
        tick->Fire();
        EXPECT_EQ(f->TimeLabel->text(), u"1:59"_qs);
        tick->Fire(119);
        EXPECT_FALSE(f->isVisible());
    });
    EXPECT_EQ(item->AlarmTime, At(kDay, 9, 5));
    EXPECT_FALSE(item->Alarmed);
}

TEST_F(AlermFormTest, PressingOnTheSurfaceDragsTheWindow)
{
    Show(Add(600, 660), [](TAlermForm* f) {
        const QPoint start = f->pos();
        const QPoint grip(4, f->height() - 4);
        QTest::mousePress(f, Qt::LeftButton, {}, grip);
        QMouseEvent move(QEvent::MouseMove, QPointF(grip + QPoint(30, 20)),
                         QPointF(f->mapToGlobal(grip + QPoint(30, 20))), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f, &move);
        QTest::mouseRelease(f, Qt::LeftButton, {}, grip + QPoint(30, 20));
        EXPECT_EQ(f->pos(), start + QPoint(30, 20));
        f->Button1->click();
    });
}

TEST_F(AlermFormTest, AutoCloseZeroNeverCountsDown)
{
    InitParam.AutoClose = 0;
    Show(Add(600, 660), [this](TAlermForm* f) {
        EXPECT_FALSE(tick->Running());
        EXPECT_EQ(f->TimeLabel->text(), QString());
        f->Button1->click();
    });
}

TEST_F(AlermFormTest, MemoButtonPausesTheCountdown)
{
    InitParam.AutoClose = 1;
    Show(Add(600, 660), [this](TAlermForm* f) {
        tick->Fire(10);
        EXPECT_EQ(f->TimeLabel->text(), u"0:50"_qs);
        ModalDriver note;
        note.Then<TNoteForm>([this](TNoteForm* n) {
            EXPECT_EQ(n->Memo1->toPlainText(), u"資料を持参\n二行目"_qs);
            EXPECT_FALSE(tick->Running());
            n->reject();
        });
        f->NoteBtn->click();
        EXPECT_TRUE(tick->Running());
        tick->Fire();
        EXPECT_EQ(f->TimeLabel->text(), u"0:49"_qs);
        f->Button1->click();
    });
}

TEST_F(AlermFormTest, ItemDeletedWhileTheWindowIsOpenIsNotWritten)
{
    InitParam.RepCheck = true;
    PEventData item = Add(600, 660);
    PEventData other = Add(700, 760, 0, "別件");
    Show(item, [this, item](TAlermForm* f) {
        EXPECT_TRUE(f->ReAlerm->isChecked());
        ASSERT_TRUE(store.DeleteEvent(item));
        f->Button1->click();
    });
    // Nothing was written through the stale pointer (the sanitizer build
    // would report it); the other item is untouched.
    EXPECT_EQ(store.Count(), 1);
    EXPECT_EQ(store.Items(0), other);
    EXPECT_EQ(other->AlarmTime, At(kDay, 11, 25));
}

TEST_F(AlermFormTest, LongSubjectIsCutToTheScreenWithTheWholeTextAsHint)
{
    const std::string subject(600, 'W');
    PEventData item = Add(600, 660, 0, subject.c_str());
    Show(item, [&subject](TAlermForm* f) {
        const int screenWidth = QGuiApplication::primaryScreen()->availableGeometry().width();
        EXPECT_LE(f->width(), screenWidth);
        EXPECT_EQ(f->Label1->toolTip(), u"【件名】 "_qs + QString::fromStdString(subject));
        EXPECT_TRUE(f->Label1->text().endsWith(QChar(0x2026)));
        EXPECT_LE(f->Label1->x() + f->Label1->width(), f->mailSend->x());
        f->Button1->click();
    });
}

TEST_F(AlermFormTest, ProgramBuildSendsTheItemAndNeverReturnsToAMail)
{
    FakeVariant variant;
    variant.host = false;
    variant.current = "<a@x>";
    SetBuildVariant(&variant);
    InitParam.ReplyMail = true;
    PEventData item = Add(600, 660);
    item->MailID = "<a@x>";
    Show(
        item,
        [](TAlermForm* f) {
            EXPECT_TRUE(f->ReturnCheck->isHidden());
            EXPECT_EQ(f->MailSendTag(), 0);
            EXPECT_EQ(f->mailSend->toolTip(), u"この予定をメール送信する"_qs);
            f->mailSend->click();
            EXPECT_FALSE(f->isVisible());
        },
        "prev");
    EXPECT_EQ(variant.sent, std::vector<std::string> { "|" + SJ("定例会議") });
    EXPECT_TRUE(variant.selected.empty());
    EXPECT_EQ(variant.replies, 0);
}

TEST_F(AlermFormTest, HostBuildRepliesToTheLinkedMailAndReturnsToThePreviousOne)
{
    FakeVariant variant;
    variant.current = "<ABC@Example.jp>";
    SetBuildVariant(&variant);
    InitParam.ReplyMail = true;
    PEventData item = Add(600, 660);
    item->MailID = "<abc@example.JP>";
    Show(
        item,
        [](TAlermForm* f) {
            EXPECT_FALSE(f->ReturnCheck->isHidden());
            EXPECT_TRUE(f->ReturnCheck->isChecked());
            EXPECT_EQ(f->ReturnCheck->text(), u"直前のメールに戻る"_qs);
            EXPECT_EQ(f->MailSendTag(), 1);
            EXPECT_EQ(f->mailSend->toolTip(), u"リンクメールに返信する"_qs);
            f->mailSend->click();
        },
        "prev-id");
    EXPECT_EQ(variant.replies, 1);
    EXPECT_TRUE(variant.sent.empty());
    EXPECT_EQ(variant.selected, std::vector<std::string> { "prev-id" });

    // REPLYMAIL off, or another mail in the host: the button sends; no
    // previous mail: nothing to return to.
    for (bool replyMail : { false, true }) {
        InitParam.ReplyMail = replyMail;
        variant.current = replyMail ? "<other@x>" : "<abc@example.jp>";
        variant.selected.clear();
        Show(item, [](TAlermForm* f) {
            EXPECT_EQ(f->MailSendTag(), 0);
            EXPECT_TRUE(f->ReturnCheck->isHidden());
            f->Button1->click();
        });
        EXPECT_TRUE(variant.selected.empty());
    }

    // Unticked by the user: the host stays where it is.
    Show(
        item,
        [](TAlermForm* f) {
            f->ReturnCheck->setChecked(false);
            f->Button1->click();
        },
        "prev-id");
    EXPECT_TRUE(variant.selected.empty());
}
