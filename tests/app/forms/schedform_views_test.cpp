// The main window's navigation and views driven through its buttons, menus
// and keys: page moves, the direct-date menu and typed dates, the grid type,
// the filters, secret items behind the password, and merging other files.
#include "mainwin_fixture.h"
#include "modal_driver.h"

#include "app/directdate.h"
#include "app/forms/memoform.h"
#include "app/forms/passform.h"
#include "controls/bevlabel.h"
#include "controls/btnlabel.h"
#include "core/sjis.h"
#include "core/view/wscheduler.h"
#include "gui/qtext.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <initializer_list>
#include <random>

namespace {

days::Day D(int y, int m, int d)
{
    return days::Encode(y, m, d);
}

std::string Ymd(days::Day day)
{
    return days::Format(day);
}

int Image(const QObject* object)
{
    return object->property("imageIndex").toInt();
}

int Tag(const QObject* object)
{
    return object->property("tag").toInt();
}

// A record line of a single item (kind bits and priority in the flags).
std::string Record(const char* date, const char* subject, int flags = 0, const char* memo = "")
{
    return SJ("*2024/01/01,") + date + ",10:00,11:00,\"" + sjis::FromUtf8(subject) +
        "\",\"\",\"\",\"\"," + std::to_string(flags) + ",0,0@" + SJ("分前") + ",\"" +
        sjis::FromUtf8(memo) + "\"";
}

class ViewsTest : public MainWindowTest
{
protected:
    // Today is 31 January 2024, so that month steps meet the end-of-month
    // rule.
    days::FixedClock clock { days::MomentOf(D(2024, 1, 31), 10 * 60) };

    void Start(const std::string& schedule = {})
    {
        if (!schedule.empty())
            Write("Kalvero.sch", schedule);
        Create();
        Show();
    }
    days::Day Current() const { return form->Calendar->CurrentDate(); }
    QString Here() const { return form->HereLabel->Caption(); }
    // The subjects the calendar lists for the current date.
    std::vector<std::string> DaySubjects()
    {
        form->Calendar->SelectCurrentDay();
        std::vector<std::string> out;
        for (const TEventData* item : form->Calendar->Store().DayList)
            out.push_back(item->Subject);
        return out;
    }
    QAction* DirectInput() const
    {
        return form->MoveDirect->findChild<QAction*>(QStringLiteral("DirectInput"));
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(form->Calendar, Qt::Key(key), modifiers);
    }
};

TEST_F(ViewsTest, PageButtonsStepMonthsWeeksAndYearsWithTheEndOfMonthRule)
{
    Start();
    EXPECT_EQ(Here(), u"2024年 1月"_qs);
    struct Step
    {
        QToolButton* button;
        const char* expected;
    };
    // From 31 January: a month on gives the last of February (a leap year),
    // and a year on from 29 February the 28th.
    const Step monthly[] = {
        { form->NextPage, "2024/02/29" }, { form->NextYear, "2025/02/28" },
        { form->PrevPage, "2025/01/28" }, { form->PrevYear, "2024/01/28" },
        { form->PrevYear, "2023/01/28" },
    };
    for (const Step& s : monthly) {
        s.button->click();
        EXPECT_EQ(Ymd(Current()), s.expected) << s.button->objectName().toStdString();
    }
    EXPECT_EQ(Here(), u"2023年 1月"_qs);
    form->HereLabel->Click();
    EXPECT_EQ(Current(), D(2024, 1, 31));
    EXPECT_EQ(Here(), u"2024年 1月"_qs);
    EXPECT_EQ(form->PrevYear->toolTip(), u"前の年へ"_qs);
    EXPECT_EQ(form->NextYear->toolTip(), u"次の年へ"_qs);

    // The week grid: pages are weeks; image and hints follow the grid.
    EXPECT_EQ(Image(form->GridAction), 24);
    form->GridType->click();
    EXPECT_EQ(form->Calendar->GridType(), gtWeekly);
    EXPECT_TRUE(InitParam.WeeklyDisp);
    EXPECT_EQ(Image(form->GridAction), 37);
    EXPECT_EQ(form->PrevPage->toolTip(), u"前週へ"_qs);
    EXPECT_EQ(form->NextPage->toolTip(), u"翌週へ"_qs);
    form->NextPage->click();
    EXPECT_EQ(Current(), D(2024, 2, 7));
    EXPECT_EQ(Here(), u"2024年 2月"_qs);
    form->PrevPage->click();
    form->PrevPage->click();
    EXPECT_EQ(Current(), D(2024, 1, 24));
    form->NextYear->click();
    EXPECT_EQ(Current(), D(2025, 1, 24));
    form->GridType->click();
    EXPECT_EQ(form->Calendar->GridType(), gtMonthly);
    EXPECT_FALSE(InitParam.WeeklyDisp);
    EXPECT_EQ(Image(form->GridAction), 24);
    EXPECT_EQ(form->PrevPage->toolTip(), u"前月へ"_qs);
    EXPECT_EQ(form->NextPage->toolTip(), u"翌月へ"_qs);
    // The month caption fills the bar between the page buttons.
    EXPECT_GT(form->HereLabel->width(), form->PrevPage->width());
}

TEST_F(ViewsTest, DirectMenuListsNineYearsWithTheMonthsOfTheCurrentOne)
{
    Start();
    auto check = [&](int year, int month) {
        const QList<QAction*> items = form->MoveDirect->actions();
        ASSERT_EQ(items.size(), 11);
        for (int i = 0; i < 9; ++i) {
            const int y = year - 3 + i;
            QAction* item = items[i];
            EXPECT_EQ(item->text(), QStringLiteral("%1年").arg(y));
            EXPECT_EQ(Tag(item), y);
            EXPECT_EQ(item->isChecked(), y == year);
            EXPECT_EQ(item->menu() != nullptr, y == year);
        }
        QMenu* months = items[3]->menu();
        ASSERT_NE(months, nullptr);
        ASSERT_EQ(months->actions().size(), 12);
        for (int m = 1; m <= 12; ++m) {
            EXPECT_EQ(months->actions()[m - 1]->text(), QStringLiteral("%1月").arg(m));
            EXPECT_EQ(Tag(months->actions()[m - 1]), m);
            EXPECT_EQ(months->actions()[m - 1]->isChecked(), m == month);
        }
        EXPECT_TRUE(items[9]->isSeparator());
        EXPECT_EQ(items[10]->text(), u"直接入力..."_qs);
        EXPECT_EQ(Tag(items[10]), -1);
    };
    check(2024, 1);
    // A year item moves to that year; the menu follows at once.
    form->MoveDirect->actions()[8]->trigger();
    EXPECT_EQ(Current(), D(2029, 1, 31));
    check(2029, 1);
    form->MoveDirect->actions()[3]->menu()->actions()[1]->trigger();
    EXPECT_EQ(Current(), D(2029, 2, 28));
    check(2029, 2);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form->MoveDirect->findChildren<QMenu*>().size(), 1);
    // The bar's popup is this menu.
    EXPECT_EQ(form->ToolBar2->contextMenuPolicy(), Qt::CustomContextMenu);
}

TEST_F(ViewsTest, TypedDatesMoveOnlyWhenTheyReadAsOneDate)
{
    Start();
    struct Case
    {
        const char* typed;
        const char* expected; // from 31 January 2024
    };
    const Case cases[] = {
        { "2005", "2005/01/31" },
        { "2005/2/30", "2005/02/28" },
        { "2005.2", "2005/02/28" },
        { "2004-2-29", "2004/02/29" },
        { " 2010 / 12 / 5 ", "2024/01/31" }, // blanks are no separators
        { "1899/5/5", "2024/05/05" }, // below 1900 is no year
        { "3/15", "2024/01/31" }, // month 15 rejected, no day
        { "2005-2/3", "2024/01/31" }, // mixed separators
        { "2005年", "2024/01/31" },
        { "10000/1/1", "2024/01/31" },
        { "99999999999999999999", "2024/01/31" },
        { "2005/2/99999999999999999", "2024/01/31" },
        { "", "2024/01/31" },
        { "2005/2/", "2005/02/28" },
    };
    for (const Case& c : cases) {
        form->Calendar->SetCurrentDate(D(2024, 1, 31));
        DialogScript script;
        script.Enter(qtext::ToQ(sjis::FromUtf8(c.typed)));
        DirectInput()->trigger();
        EXPECT_EQ(Ymd(Current()), c.expected) << c.typed;
        ASSERT_EQ(script.shown().size(), 1u) << "no message may follow: " << c.typed;
        EXPECT_EQ(script.shown()[0].caption, u"直接入力"_qs);
        EXPECT_EQ(script.shown()[0].text, u"表示する日付(1900以降)を入力してください:"_qs);
        EXPECT_EQ(script.shown()[0].initial, QString());
    }
    DialogScript script;
    script.Cancel();
    form->Calendar->SetCurrentDate(D(2024, 3, 3));
    DirectInput()->trigger();
    EXPECT_EQ(Current(), D(2024, 3, 3));
}

TEST(DirectDate, HostileTextNeverGivesAnInvalidDate)
{
    std::mt19937 random(20261209);
    const std::string seeds[] = { "2005/2/30", "2004-12-31", "1900.1.1", SJ("９９９９年"),
                                  "9999/12/31" };
    const days::Day current = D(2024, 1, 31);
    for (int round = 0; round < 20000; ++round) {
        std::string text = seeds[round % 5];
        const int edits = 1 + static_cast<int>(random() % 6);
        for (int e = 0; e < edits; ++e) {
            const char byte = static_cast<char>(random() % 256);
            const std::size_t at = text.empty() ? 0 : random() % (text.size() + 1);
            if (random() % 3 == 0 && !text.empty())
                text.erase(std::min(at, text.size() - 1), 1);
            else if (random() % 2)
                text.insert(at, 1, random() % 2 ? byte : static_cast<char>('0' + random() % 10));
            else if (!text.empty())
                text[std::min(at, text.size() - 1)] = byte;
        }
        days::Day out = -1;
        if (ParseDirectDate(text, current, out)) {
            const days::Ymd d = days::Decode(out);
            ASSERT_TRUE(days::IsValidDate(d.year, d.month, d.day)) << text;
            ASSERT_TRUE(d.year == 2024 || d.year >= 1900) << text;
        }
    }
    days::Day out = 0;
    EXPECT_TRUE(ParseDirectDate("9999/12/31", current, out));
    EXPECT_EQ(out, days::kMaxDay);
    std::size_t pos = 0;
    std::int32_t n = -1;
    EXPECT_TRUE(ParseNumber(SJ("第2147483647号"), pos, n));
    EXPECT_EQ(n, 2147483647);
    pos = 0;
    EXPECT_FALSE(ParseNumber("2147483648", pos, n));
    EXPECT_EQ(pos, 10u);
}

TEST_F(ViewsTest, CategoryAndPriorityFiltersSwitchTheirButtonsAndTheCalendar)
{
    // Personal (0), company (2), unclassified (4); priorities 0, 2, 3 and a
    // deadline that is done. Both categories are shown at the start.
    Write("Kalvero.ini", "DISPTYPE=6\r\n");
    Start(Record("2024/01/31", "個人", 0) + "\r\n" + Record("2024/01/31", "会社", 2 + 32) + "\r\n" +
          Record("2024/01/31", "未分類", 4 + 48) + "\r\n" + Record("2024/01/31", "締切", 8 + 512) +
          "\r\n");
    auto subjects = [&](std::initializer_list<const char*> list) {
        std::vector<std::string> out;
        for (const char* s : list)
            out.push_back(sjis::FromUtf8(s));
        std::sort(out.begin(), out.end());
        std::vector<std::string> shown = DaySubjects();
        std::sort(shown.begin(), shown.end());
        return shown == out;
    };
    EXPECT_TRUE(subjects({ "個人", "会社", "未分類", "締切" }));

    form->Personal->click();
    EXPECT_EQ(Tag(form->PrivAction), 1);
    EXPECT_EQ(Image(form->PrivAction), 11);
    EXPECT_EQ(form->Calendar->GetKindMask() & 2, 0);
    form->Official->click();
    EXPECT_EQ(Tag(form->WorkAction), 1);
    EXPECT_EQ(Image(form->WorkAction), 13);
    EXPECT_TRUE(subjects({ "未分類" }));
    form->Personal->click();
    EXPECT_EQ(Tag(form->PrivAction), 0);
    EXPECT_EQ(Image(form->PrivAction), 10);
    EXPECT_TRUE(subjects({ "個人", "未分類", "締切" }));
    form->Official->click();
    EXPECT_EQ(Image(form->WorkAction), 12);
    EXPECT_EQ(form->Calendar->GetKindMask(), 6);

    // The priority button before any level: all stays shown, the button off.
    form->ImportBtn->click();
    EXPECT_EQ(Tag(form->ImportBtn), 0);
    EXPECT_EQ(Image(form->ImportBtn), 26);
    EXPECT_EQ(form->Calendar->PriorityFilter(), -1);
    struct Level
    {
        QAction* item;
        int image;
        std::vector<const char*> shown;
    };
    const Level levels[] = {
        { form->PM_Mid, 29, { "会社", "未分類", "締切" } },
        { form->PM_None, 27, { "個人" } },
        { form->ToDo, 31, { "締切" } },
        { form->PM_High, 30, { "未分類", "締切" } },
    };
    for (const Level& l : levels) {
        l.item->trigger();
        EXPECT_TRUE(l.item->isChecked());
        EXPECT_EQ(Tag(form->DispPriority), Tag(l.item));
        EXPECT_EQ(Tag(form->ImportBtn), 1);
        EXPECT_EQ(Image(form->ImportBtn), l.image);
        EXPECT_EQ(form->Calendar->PriorityFilter(), Tag(l.item));
        std::vector<std::string> want;
        for (const char* s : l.shown)
            want.push_back(sjis::FromUtf8(s));
        std::vector<std::string> shown = DaySubjects();
        std::sort(want.begin(), want.end());
        std::sort(shown.begin(), shown.end());
        EXPECT_EQ(shown, want) << l.item->objectName().toStdString();
    }
    form->ImportBtn->click();
    EXPECT_EQ(Image(form->ImportBtn), 26);
    EXPECT_EQ(form->Calendar->PriorityFilter(), -1);
    form->ImportBtn->click();
    EXPECT_EQ(Image(form->ImportBtn), 30);
    EXPECT_EQ(form->Calendar->PriorityFilter(), 3);
}

TEST_F(ViewsTest, DisplaySwitchesFollowTheirChecks)
{
    Start();
    TWScheduler* cal = form->Calendar;
    struct Switch
    {
        QAction* item;
        std::function<bool()> state;
    };
    const Switch switches[] = {
        { form->NAutoMark, [cal] { return cal->AutoTitle(); } },
        { form->NBegTime, [cal] { return cal->DisplayTime(); } },
        { form->NEvent3, [cal] { return cal->DispEvent3(); } },
        { form->NEventHint, [cal] { return cal->MakeHint(); } },
        { form->N_Todo, [cal] { return cal->DoneHide(); } },
    };
    form->NAutoMark->setChecked(false);
    form->NAutoMark->trigger(); // on, so that the start-time item is enabled
    for (const Switch& s : switches) {
        for (int round = 0; round < 2; ++round) {
            const bool before = s.item->isChecked();
            s.item->trigger();
            EXPECT_NE(s.item->isChecked(), before);
            EXPECT_EQ(s.state(), s.item->isChecked()) << s.item->objectName().toStdString();
        }
    }
    form->NAutoMark->trigger();
    EXPECT_FALSE(cal->AutoTitle());
    EXPECT_FALSE(form->NBegTime->isEnabled());
    form->NAutoMark->trigger();
    EXPECT_TRUE(form->NBegTime->isEnabled());
    form->close();
    Close();
    EXPECT_TRUE(InitParam.AutoTitle);
}

TEST_F(ViewsTest, SecretItemsNeedThePasswordToShowAndLeaveTheViewsWhenHidden)
{
    Start(Record("2024/01/31", "秘密", 1, "秘密のメモ") + "\r\n" + Record("2024/01/31", "普通", 0) +
          "\r\n");
    EXPECT_FALSE(form->NSecret->isChecked());
    EXPECT_EQ(DaySubjects(), std::vector<std::string> { SJ("普通") });

    // No password: no prompt; off never asks either.
    InitParam.SecretKey.clear();
    {
        ModalDriver driver;
        form->NSecret->trigger();
        EXPECT_TRUE(form->NSecret->isChecked());
        EXPECT_EQ(DaySubjects().size(), 2u);
        form->NSecret->trigger();
        EXPECT_FALSE(form->NSecret->isChecked());
        EXPECT_EQ(driver.shown(), 0);
    }

    InitParam.SecretKey = SJ("ひらけ");
    {
        // A wrong password says so and asks again; Cancel changes nothing.
        DialogScript script;
        script.Press(msgdlg::Ok);
        ModalDriver driver;
        driver.Then<TPassForm>([](TPassForm* f) {
            f->Edit1->setText(u"ごま"_qs);
            f->BitBtn1->click();
        });
        driver.Then<TPassForm>([](TPassForm* f) { f->BitBtn2->click(); });
        form->NSecret->trigger();
        EXPECT_FALSE(form->NSecret->isChecked());
        EXPECT_EQ(form->Calendar->DispKinds() & KindSet(dkSecret), 0u);
        ASSERT_EQ(script.messages().size(), 1u);
        EXPECT_EQ(script.messages()[0], u"パスワードが違います"_qs);
        EXPECT_EQ(script.shown()[0].kind, msgdlg::Kind::Error);
    }
    {
        ModalDriver driver;
        driver.Then<TPassForm>([](TPassForm* f) {
            f->Edit1->setText(u"ひらけ"_qs);
            f->BitBtn1->click();
        });
        form->NSecret->trigger();
        EXPECT_TRUE(form->NSecret->isChecked());
        EXPECT_NE(form->Calendar->DispKinds() & KindSet(dkSecret), 0u);
    }
    // The secret item is the current one; hiding it empties the caption and
    // the memo view.
    PEventData secret = nullptr;
    for (PEventData item : form->Calendar->Store().All())
        if (item->KindBits & 1)
            secret = item;
    ASSERT_NE(secret, nullptr);
    form->TitleCaption->SetData(secret);
    form->TitleCaption->SetCaption(qtext::ToQ(SJ("◆ 秘密")));
    form->MemoForm->setWindowTitle(qtext::ToQ(secret->Subject));
    form->MemoForm->Memo1->setPlainText(qtext::ToQ(secret->Memo));
    {
        ModalDriver driver;
        form->NSecret->trigger();
        EXPECT_EQ(driver.shown(), 0);
    }
    EXPECT_FALSE(form->NSecret->isChecked());
    EXPECT_EQ(form->CurrentItem(), nullptr);
    EXPECT_EQ(form->TitleCaption->Caption(), QString());
    EXPECT_EQ(form->MemoForm->windowTitle(), QString());
    EXPECT_EQ(form->MemoForm->Memo1->toPlainText(), QString());
    // Hiding the current item's category lets go of it; an item still shown
    // stays current.
    ASSERT_EQ(DaySubjects(), std::vector<std::string> { SJ("普通") });
    PEventData plain = form->Calendar->Store().DayList.at(0);
    form->TitleCaption->SetData(plain);
    form->Personal->click();
    EXPECT_EQ(form->CurrentItem(), nullptr);
    form->Personal->click();
    form->TitleCaption->SetData(plain);
    form->N_Todo->trigger();
    EXPECT_EQ(form->CurrentItem(), plain);
    InitParam.SecretKey.clear();
}

TEST_F(ViewsTest, CalendarKeysMoveAndRunTheItemCommands)
{
    Start();
    form->Calendar->setFocus();
    QSignalSpy created(form->NewAction, &QAction::triggered);
    QSignalSpy deleted(form->DelAction, &QAction::triggered);
    struct Press
    {
        int key;
        Qt::KeyboardModifiers modifiers;
        const char* expected;
    };
    const Press presses[] = {
        { Qt::Key_Right, Qt::ControlModifier, "2025/01/31" },
        { Qt::Key_Down, Qt::ControlModifier, "2025/02/28" },
        { Qt::Key_Left, Qt::ControlModifier, "2024/02/28" },
        { Qt::Key_Up, Qt::ControlModifier, "2024/01/28" },
        { Qt::Key_Right, Qt::NoModifier, "2024/01/29" }, // the grid's own step
        { Qt::Key_Return, Qt::ControlModifier, "2024/01/31" },
        { Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier, "2024/02/29" },
        { Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier, "2024/01/31" },
        { Qt::Key_Left, Qt::AltModifier | Qt::ControlModifier, "2024/01/31" },
    };
    for (const Press& p : presses) {
        Key(p.key, p.modifiers);
        EXPECT_EQ(Ymd(Current()), p.expected) << p.key;
    }
    EXPECT_EQ(created.count(), 0);
    Key(Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(created.count(), 1);
    Key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(deleted.count(), 0);
    Key(Qt::Key_Delete);
    EXPECT_EQ(deleted.count(), 1);
    EXPECT_EQ(Current(), D(2024, 1, 31));
}

TEST_F(ViewsTest, MergeAddsAllOfAFileOrNothingAndSavesOnce)
{
    const std::string mine =
        Record("2024/01/31", "会議") + "\r\n" + Record("2024/02/01", "歯医者") + "\r\n";
    Start(mine);
    auto subjects = [&] {
        std::vector<std::string> out;
        for (const TEventData* item : form->Calendar->Store().All())
            out.push_back(item->Subject);
        return out;
    };
    const auto before = subjects();
    ASSERT_EQ(before.size(), 2u);

    // Cancel does nothing.
    {
        DialogScript script;
        script.Cancel();
        form->AddFileBtn->click();
        ASSERT_EQ(script.shown().size(), 1u);
        EXPECT_EQ(script.shown()[0].call, msgdlg::test::Call::OpenFile);
        EXPECT_EQ(script.shown()[0].caption, u"マージする予定表ファイルを指定してください"_qs);
        EXPECT_EQ(script.shown()[0].filter, u"スケジュール(SCH)|*.sch|CSVファイル|*.csv"_qs);
    }
    // A schedule holding one of ours and a new item: only the new one comes.
    Write("other.sch",
          Record("2024/01/31", "会議") + "\r\n" +
              Record("2024/01/31", "出張", 0, "一行目\r\n二行目") + "\r\n");
    {
        DialogScript script;
        script.ChooseFile(qtext::ToQ(dir + "other.sch"), 1);
        form->AddFileBtn->click();
    }
    EXPECT_EQ(subjects().size(), 3u);
    EXPECT_FALSE(form->Calendar->Store().Modified);
    std::string saved = Read("Kalvero.sch");
    EXPECT_NE(saved.find(SJ("出張")), std::string::npos);
    EXPECT_NE(saved.find(SJ("一行目\r\n二行目")), std::string::npos);
    EXPECT_EQ(DaySubjects().size(), 2u);

    // Files that cannot be read whole add nothing and say so.
    Write("bad.sch", Record("2024/01/31", "新しい") + "\r\n" + "garbage line\r\n");
    Write("bad.csv", SJ("\"件名\",x,0,日付,開始,終了,分類,メモ\r\n\"旅行\",,0,2024/03/01,,,,\r\n"));
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(dir + "folder.sch")));
    struct Bad
    {
        const char* file;
        int filter;
        const char* says;
    };
    const Bad bads[] = {
        { "bad.sch", 1, "予定表として読めない行が1件あるため、何も追加しませんでした。" },
        { "bad.csv", 2, "CSVファイルとして読めない行が1件あるため、何も追加しませんでした。" },
        { "folder.sch", 1, "ファイルを読み込めません。" },
    };
    for (const Bad& b : bads) {
        DialogScript script;
        script.ChooseFile(qtext::ToQ(dir + b.file), b.filter);
        script.Press(msgdlg::Ok);
        form->AddFileBtn->click();
        ASSERT_EQ(script.shown().size(), 2u) << b.file;
        EXPECT_EQ(script.shown()[1].kind, msgdlg::Kind::Error);
        EXPECT_EQ(script.shown()[1].sjisText().rfind(sjis::FromUtf8(b.says), 0), 0u)
            << script.shown()[1].text.toStdString();
        EXPECT_EQ(subjects().size(), 3u) << b.file;
        EXPECT_EQ(Read("Kalvero.sch"), saved) << b.file;
    }

    // A CSV file: its rows become items (duplicates dropped), saved at once.
    Write("in.csv",
          SJ("\"旅行\",,0,2024/03/01,9:00,17:00,\"休暇\",\"持ち物\"\r\n"
             "会社,,0,2024/03/02,,,,\r\n"
             "\"旅行\",,0,2024/03/01,9:00,17:00,\"休暇\",\"持ち物\"\r\n"));
    {
        DialogScript script;
        script.ChooseFile(qtext::ToQ(dir + "in.csv"), 2);
        form->AddFileBtn->click();
        EXPECT_EQ(script.shown().size(), 1u);
    }
    EXPECT_EQ(subjects().size(), 5u);
    saved = Read("Kalvero.sch");
    EXPECT_NE(saved.find(SJ("\"旅行\"")), std::string::npos);
    EXPECT_NE(saved.find(SJ("2024/03/02,00:00,00:00,\"会社\",\"\",\"\",\"\",2,")),
              std::string::npos);
    // Merging the schedule into itself adds nothing.
    {
        DialogScript script;
        script.ChooseFile(qtext::ToQ(dir + "Kalvero.sch"), 1);
        form->AddFileBtn->click();
    }
    EXPECT_EQ(subjects().size(), 5u);
    EXPECT_EQ(Read("Kalvero.sch"), saved);
}

} // namespace
