// The main window's navigation and views driven through its buttons, menus
// and keys: page moves, the direct-date menu and typed dates, the grid type,
// the filters, secret items behind the password, and merging other files.
#include "mainwin_fixture.h"
#include "modal_driver.h"

#include "app/directdate.h"
#include "app/forms/enterform.h"
#include "app/forms/listwindow.h"
#include "app/forms/memoform.h"
#include "app/forms/passform.h"
#include "controls/bevlabel.h"
#include "controls/btnlabel.h"
#include "core/sjis.h"
#include "gui/qtext.h"
#include "view/wscheduler.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <random>

namespace {

int Prop(const QObject* object, const char* name)
{
    return object->property(name).toInt();
}

// A record line of a single item (kind bits and priority in the flags).
std::string Record(const char* date, const char* subject, int flags = 0, const char* memo = "")
{
    return SJ("*2024/01/01,") + date + ",10:00,11:00,\"" + sjis::FromUtf8(subject) +
        "\",\"\",\"\",\"\"," + std::to_string(flags) + ",0,0@" + SJ("分前") + ",\"" +
        sjis::FromUtf8(memo) + "\"\r\n";
}

class ViewsTest : public MainWindowTest
{
protected:
    // Today is 31 January 2024, so that month steps meet the end-of-month
    // rule.
    days::FixedClock clock { days::MomentOf(days::Encode(2024, 1, 31), 10 * 60) };

    void Start(const std::string& schedule = {})
    {
        Write("Kalvero.sch", schedule);
        Create();
        Show();
    }
    std::string Current() const { return days::Format(form->Calendar->CurrentDate()); }
    // The subjects shown on the current date (or all items), sorted, in
    // UTF-8 and joined by blanks.
    std::string Subjects(bool all = false)
    {
        form->Calendar->SelectCurrentDay();
        const TSchedList& store = form->Calendar->Store();
        std::vector<std::string> out;
        for (const TEventData* item : all ? store.All() : store.DayList)
            out.push_back(sjis::ToUtf8(item->Subject));
        std::sort(out.begin(), out.end());
        std::string joined;
        for (const std::string& s : out)
            joined += (joined.empty() ? "" : " ") + s;
        return joined;
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(form->Calendar, Qt::Key(key), modifiers);
    }
};

TEST_F(ViewsTest, PagesStepMonthsWeeksAndYearsWithTheEndOfMonthRule)
{
    Start();
    EXPECT_EQ(form->HereLabel->Caption(), u"2024年 1月"_qs);
    // From 31 January a month on gives the last of February (a leap year),
    // and a year on from 29 February the 28th; in the week grid pages are
    // weeks.
    QToolButton* grid = form->GridType;
    const std::pair<QAbstractButton*, const char*> steps[] = {
        { form->NextPage, "2024/02/29" }, { form->NextYear, "2025/02/28" },
        { form->PrevPage, "2025/01/28" }, { form->PrevYear, "2024/01/28" },
        { grid, "2024/01/28" },           { form->NextPage, "2024/02/04" },
        { form->PrevPage, "2024/01/28" }, { form->NextYear, "2025/01/28" },
        { grid, "2025/01/28" },
    };
    for (const auto& [button, expected] : steps) {
        button->click();
        EXPECT_EQ(Current(), expected) << button->objectName().toStdString();
    }
    EXPECT_EQ(form->HereLabel->Caption(), u"2025年 1月"_qs);
    form->HereLabel->Click();
    EXPECT_EQ(Current(), "2024/01/31");
    EXPECT_EQ(form->HereLabel->Caption(), u"2024年 1月"_qs);

    for (bool weekly : { true, false }) {
        grid->click();
        EXPECT_EQ(form->Calendar->GridType(), weekly ? gtWeekly : gtMonthly);
        EXPECT_EQ(InitParam.WeeklyDisp, weekly);
        EXPECT_EQ(Prop(form->GridAction, "imageIndex"), weekly ? 37 : 24);
        EXPECT_EQ(form->PrevPage->toolTip(), weekly ? u"前週へ"_qs : u"前月へ"_qs);
        EXPECT_EQ(form->NextPage->toolTip(), weekly ? u"翌週へ"_qs : u"翌月へ"_qs);
    }
    EXPECT_EQ(form->PrevYear->toolTip(), u"前の年へ"_qs);
    EXPECT_EQ(form->NextYear->toolTip(), u"次の年へ"_qs);
    // The month caption fills the bar between the page buttons.
    for (int width : { 520, 900 }) {
        form->resize(width, 500);
        Settle();
        const int right = form->HereLabel->x() + form->HereLabel->width();
        EXPECT_LE(right, form->NextPage->x());
        EXPECT_GE(right, form->NextPage->x() - 4);
        EXPECT_GE(form->NextYear->x() + form->NextYear->width(), form->ToolBar2->width() - 8);
    }
}

TEST_F(ViewsTest, DirectMenuListsNineYearsWithTheMonthsOfTheCurrentOne)
{
    Start();
    auto check = [&](int year, int month) {
        const QList<QAction*> items = form->MoveDirect->actions();
        ASSERT_EQ(items.size(), 11);
        for (int i = 0; i < 9; ++i) {
            const int y = year - 3 + i;
            EXPECT_EQ(items[i]->text(), QStringLiteral("%1年").arg(y));
            EXPECT_EQ(Prop(items[i], "tag"), y);
            EXPECT_EQ(items[i]->isChecked(), y == year);
            EXPECT_EQ(items[i]->menu() != nullptr, y == year);
        }
        const QList<QAction*> months = items[3]->menu()->actions();
        ASSERT_EQ(months.size(), 12);
        for (int m = 1; m <= 12; ++m) {
            EXPECT_EQ(months[m - 1]->text(), QStringLiteral("%1月").arg(m));
            EXPECT_EQ(Prop(months[m - 1], "tag"), m);
            EXPECT_EQ(months[m - 1]->isChecked(), m == month);
        }
        EXPECT_TRUE(items[9]->isSeparator());
        EXPECT_EQ(items[10]->text(), u"直接入力..."_qs);
        EXPECT_EQ(Prop(items[10], "tag"), -1);
    };
    check(2024, 1);
    // A year or a month moves there, and the menu follows at once.
    form->MoveDirect->actions()[8]->trigger();
    EXPECT_EQ(Current(), "2029/01/31");
    check(2029, 1);
    form->MoveDirect->actions()[3]->menu()->actions()[1]->trigger();
    EXPECT_EQ(Current(), "2029/02/28");
    check(2029, 2);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form->MoveDirect->findChildren<QMenu*>().size(), 1);
    EXPECT_EQ(form->ToolBar2->contextMenuPolicy(), Qt::CustomContextMenu);
}

TEST_F(ViewsTest, TypedDatesMoveOnlyWhenTheyReadAsOneDate)
{
    Start();
    const std::pair<const char*, const char*> cases[] = {
        { "2005", "2005/01/31" },
        { "2005/2/30", "2005/02/28" },
        { "2005.2", "2005/02/28" },
        { "2004-2-29", "2004/02/29" },
        { "2005/2/", "2005/02/28" },
        { "1899/5/5", "2024/05/05" }, // below 1900 is no year
        { " 2010 / 12 / 5 ", "2024/01/31" }, // blanks are no separators
        { "3/15", "2024/01/31" }, // month 15 rejected, no day
        { "2005-2/3", "2024/01/31" }, // mixed separators
        { "2005年", "2024/01/31" },
        { "10000/1/1", "2024/01/31" },
        { "99999999999999999999", "2024/01/31" },
        { "2005/2/99999999999999999", "2024/01/31" },
        { "", "2024/01/31" },
        { nullptr, "2024/01/31" }, // Cancel
    };
    for (const auto& [typed, expected] : cases) {
        form->Calendar->SetCurrentDate(days::Encode(2024, 1, 31));
        DialogScript script;
        if (typed)
            script.Enter(qtext::ToQ(sjis::FromUtf8(typed)));
        else
            script.Cancel();
        form->MoveDirect->actions().last()->trigger();
        EXPECT_EQ(Current(), expected) << (typed ? typed : "Cancel");
        // The prompt only: a date that leads nowhere brings no message.
        ASSERT_EQ(script.shown().size(), 1u);
        EXPECT_EQ(script.shown()[0].caption, u"直接入力"_qs);
        EXPECT_EQ(script.shown()[0].text, u"表示する日付(1900以降)を入力してください:"_qs);
        EXPECT_EQ(script.shown()[0].initial, QString());
    }
}

TEST(DirectDate, HostileTextNeverGivesAnInvalidDate)
{
    std::mt19937 random(20261209);
    const std::string seeds[] = { "2005/2/30", "2004-12-31", SJ("９９９９年"), "9999/12/31" };
    for (int round = 0; round < 20000; ++round) {
        std::string text = seeds[round % 4];
        for (int e = static_cast<int>(random() % 6); e >= 0; --e) {
            const std::size_t at = random() % (text.size() + 1);
            const char byte = static_cast<char>(random() % 2 ? random() : '0' + random() % 10);
            if (random() % 3 == 0 && at < text.size())
                text.erase(at, 1);
            else
                text.insert(at, 1, byte);
        }
        days::Day out = -1;
        if (ParseDirectDate(text, days::Encode(2024, 1, 31), out)) {
            const days::Ymd d = days::Decode(out);
            ASSERT_TRUE(days::IsValidDate(d.year, d.month, d.day) && d.year >= 1900) << text;
        }
    }
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
    // Personal, company and unclassified items of priorities 0, 2, 3, and a
    // deadline that is done; both categories shown at the start.
    Write("Kalvero.ini", "DISPTYPE=6\r\n");
    Start(Record("2024/01/31", "個人", 0) + Record("2024/01/31", "会社", 2 + 32) +
          Record("2024/01/31", "未分類", 4 + 48) + Record("2024/01/31", "締切", 8 + 512));
    EXPECT_EQ(Subjects(), "会社 個人 未分類 締切");
    struct Click
    {
        QAbstractButton* button;
        QAction* action;
        int tag, image;
        const char* shown;
    };
    const Click clicks[] = {
        { form->Personal, form->PrivAction, 1, 11, "会社 未分類" },
        { form->Official, form->WorkAction, 1, 13, "未分類" },
        { form->Personal, form->PrivAction, 0, 10, "個人 未分類 締切" },
        { form->Official, form->WorkAction, 0, 12, "会社 個人 未分類 締切" },
    };
    for (const Click& c : clicks) {
        c.button->click();
        EXPECT_EQ(Prop(c.action, "tag"), c.tag);
        EXPECT_EQ(Prop(c.action, "imageIndex"), c.image);
        EXPECT_EQ(Subjects(), c.shown);
    }
    // The priority button: off before any level was chosen, then the level
    // chosen last, on and off.
    struct Level
    {
        QObject* what;
        int filter, image;
        const char* shown;
    };
    const Level levels[] = {
        { form->ImportBtn, -1, 26, "会社 個人 未分類 締切" },
        { form->PM_Mid, 2, 29, "会社 未分類 締切" },
        { form->PM_None, 0, 27, "個人" },
        { form->ToDo, 4, 31, "締切" },
        { form->PM_High, 3, 30, "未分類 締切" },
        { form->ImportBtn, -1, 26, "会社 個人 未分類 締切" },
        { form->ImportBtn, 3, 30, "未分類 締切" },
    };
    for (const Level& l : levels) {
        if (auto* item = qobject_cast<QAction*>(l.what)) {
            item->trigger();
            EXPECT_TRUE(item->isChecked());
            EXPECT_EQ(Prop(form->DispPriority, "tag"), l.filter);
        } else {
            form->ImportBtn->click();
        }
        EXPECT_EQ(Prop(form->ImportBtn, "tag"), l.filter >= 0 ? 1 : 0);
        EXPECT_EQ(Prop(form->ImportBtn, "imageIndex"), l.image);
        EXPECT_EQ(form->Calendar->PriorityFilter(), l.filter);
        EXPECT_EQ(Subjects(), l.shown) << l.what->objectName().toStdString();
    }
}

TEST_F(ViewsTest, DisplaySwitchesFollowTheirChecks)
{
    Start();
    TWScheduler* cal = form->Calendar;
    if (!form->NAutoMark->isChecked())
        form->NAutoMark->trigger();
    const std::pair<QAction*, std::function<bool()>> switches[] = {
        { form->NBegTime, [cal] { return cal->DisplayTime(); } },
        { form->NEvent3, [cal] { return cal->DispEvent3(); } },
        { form->NEventHint, [cal] { return cal->MakeHint(); } },
        { form->N_Todo, [cal] { return cal->DoneHide(); } },
    };
    for (int round = 0; round < 2; ++round)
        for (const auto& [item, state] : switches) {
            const bool before = item->isChecked();
            item->trigger();
            EXPECT_NE(item->isChecked(), before);
            EXPECT_EQ(state(), item->isChecked()) << item->objectName().toStdString();
        }
    for (bool on : { false, true }) {
        form->NAutoMark->trigger();
        EXPECT_EQ(cal->AutoTitle(), on);
        EXPECT_EQ(form->NBegTime->isEnabled(), on);
    }
    form->NEventHint->trigger();
    const bool hint = form->NEventHint->isChecked();
    form->close();
    Close();
    EXPECT_EQ(InitParam.EventHint, hint);
}

TEST_F(ViewsTest, SecretItemsNeedThePasswordToShowAndLeaveTheViewsWhenHidden)
{
    Start(Record("2024/01/31", "秘密", 1, "秘密のメモ") + Record("2024/01/31", "普通", 0));
    EXPECT_EQ(Subjects(), "普通");
    // No password: no prompt; switching off never asks.
    InitParam.SecretKey.clear();
    {
        ModalDriver driver;
        form->NSecret->trigger();
        EXPECT_TRUE(form->NSecret->isChecked());
        EXPECT_EQ(Subjects(), "普通 秘密");
        form->NSecret->trigger();
        EXPECT_FALSE(form->NSecret->isChecked());
    }
    InitParam.SecretKey = SJ("ひらけ");
    auto answer = [](const QString& typed, bool ok) {
        return [typed, ok](TPassForm* f) {
            f->Edit1->setText(typed);
            (ok ? f->BitBtn1 : f->BitBtn2)->click();
        };
    };
    {
        // Cancel in the password dialog changes nothing.
        ModalDriver driver;
        driver.Then<TPassForm>(answer(u"ひらけ"_qs, false));
        form->NSecret->trigger();
        EXPECT_FALSE(form->NSecret->isChecked());
        EXPECT_EQ(Subjects(), "普通");
        EXPECT_EQ(driver.shown(), 1);
    }
    {
        ModalDriver driver;
        driver.Then<TPassForm>(answer(u"ひらけ"_qs, true));
        form->NSecret->trigger();
        EXPECT_TRUE(form->NSecret->isChecked());
        EXPECT_EQ(Subjects(), "普通 秘密");
    }
    // Hiding the current item's kind empties the caption, the memo view and
    // the search results; an item still shown stays current.
    TListWindow* lw = form->ListWindow;
    lw->AndString->setChecked(true);
    lw->FindString->setEditText(u"秘密"_qs);
    lw->FindExec->click();
    ASSERT_EQ(lw->FindList->topLevelItemCount(), 1);
    PEventData secret = nullptr, plain = nullptr;
    for (PEventData item : form->Calendar->Store().All())
        (item->KindBits & 1 ? secret : plain) = item;
    form->TitleCaption->SetData(secret);
    form->TitleCaption->SetCaption(u"◆ 秘密"_qs);
    form->MemoForm->setWindowTitle(u"秘密"_qs);
    form->MemoForm->Memo1->setPlainText(u"秘密のメモ"_qs);
    {
        ModalDriver driver;
        form->NSecret->trigger();
    }
    // The refilled day list makes its first row, a visible one, current.
    EXPECT_NE(form->CurrentItem(), secret);
    EXPECT_NE(form->TitleCaption->Caption(), u"◆ 秘密"_qs);
    EXPECT_NE(form->MemoForm->windowTitle(), u"秘密"_qs);
    EXPECT_NE(form->MemoForm->Memo1->toPlainText(), u"秘密のメモ"_qs);
    EXPECT_EQ(lw->FindList->topLevelItemCount(), 0);
    // The day list was refilled and shows its first row, never the secret one.
    EXPECT_NE(lw->ShownItem(), secret);
    form->TitleCaption->SetData(plain);
    form->N_Todo->trigger();
    EXPECT_EQ(form->CurrentItem(), plain);
    form->Personal->click();
    EXPECT_EQ(form->CurrentItem(), nullptr);
    InitParam.SecretKey.clear();
}

TEST_F(ViewsTest, CalendarKeysMoveAndRunTheItemCommands)
{
    Start(Record("2024/01/31", "会議"));
    form->Calendar->setFocus();
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const std::tuple<int, Qt::KeyboardModifiers, const char*> presses[] = {
        { Qt::Key_Right, ctrl, "2025/01/31" },
        { Qt::Key_Down, ctrl, "2025/02/28" },
        { Qt::Key_Left, ctrl, "2024/02/28" },
        { Qt::Key_Up, ctrl, "2024/01/28" },
        { Qt::Key_Right, Qt::NoModifier, "2024/01/29" }, // the grid's own step
        { Qt::Key_Return, ctrl, "2024/01/31" },
        { Qt::Key_Down, ctrl | Qt::ShiftModifier, "2024/02/29" },
        { Qt::Key_Enter, ctrl | Qt::KeypadModifier, "2024/01/31" },
        { Qt::Key_Left, ctrl | Qt::AltModifier, "2024/01/31" },
        { Qt::Key_Delete, ctrl, "2024/01/31" },
    };
    for (const auto& [key, modifiers, expected] : presses) {
        Key(key, modifiers);
        EXPECT_EQ(Current(), expected) << key;
    }
    {
        // The new-item command opens the entry dialog.
        ModalDriver driver;
        driver.Then<TEnterForm>([](TEnterForm* dialog) { dialog->CancelBtn->click(); });
        Key(Qt::Key_Return, ctrl | Qt::ShiftModifier);
        EXPECT_EQ(driver.shown(), 1);
    }
    // Delete asks about the current item of the day.
    ASSERT_NE(form->CurrentItem(), nullptr);
    for (msgdlg::Button answer : { msgdlg::No, msgdlg::Yes }) {
        DialogScript script;
        script.Press(answer);
        Key(Qt::Key_Delete);
        ASSERT_EQ(script.shown().size(), 1u);
        EXPECT_NE(script.shown()[0].text.indexOf(u"会議"_qs), -1);
        EXPECT_EQ(form->Calendar->Store().Count(), answer == msgdlg::Yes ? 0 : 1);
    }
}

TEST_F(ViewsTest, MergeAddsTheReadableRecordsSavesAtOnceAndCountsTheRest)
{
    Start(Record("2024/01/31", "会議") + Record("2024/02/01", "歯医者"));
    auto merge = [&](const std::string& file, int filter, const char* message = nullptr,
                     msgdlg::Kind kind = msgdlg::Kind::Warning) {
        DialogScript script;
        script.ChooseFile(qtext::ToQ(dir + file), filter);
        if (message)
            script.Press(msgdlg::Ok);
        form->AddFileBtn->click();
        const auto& shown = script.shown();
        ASSERT_EQ(shown.size(), message ? 2u : 1u) << file;
        EXPECT_EQ(shown[0].caption, u"マージする予定表ファイルを指定してください"_qs);
        EXPECT_EQ(shown[0].filter, u"スケジュール(SCH)|*.sch|CSVファイル|*.csv"_qs);
        if (message) {
            EXPECT_EQ(shown[1].kind, kind);
            EXPECT_EQ(shown[1].sjisText().rfind(sjis::FromUtf8(message), 0), 0u) << file;
        }
    };
    {
        DialogScript script;
        script.Cancel();
        form->AddFileBtn->click();
    }
    // One item we have and a new one: only the new one comes.
    Write("other.sch",
          Record("2024/01/31", "会議") + Record("2024/01/31", "出張", 0, "一行目\r\n二行目"));
    merge("other.sch", 1);
    EXPECT_EQ(Subjects(true), "会議 出張 歯医者");
    EXPECT_EQ(Subjects(), "会議 出張");
    EXPECT_FALSE(form->Calendar->Store().Modified);
    std::string saved = Read("Kalvero.sch");
    EXPECT_NE(saved.find(SJ("\"出張\",\"\",\"\",\"\",0,0,0@分前,\"一行目\r\n二行目\"")),
              std::string::npos);

    // Lines that cannot be read cost only themselves and are counted; a CSV
    // header is no such line; a file that cannot be read adds nothing.
    Write("bad.sch", Record("2024/01/31", "新しい") + "garbage line\r\n");
    Write("bad.csv",
          SJ("\"件名\",x,0,日付,開始,終了,分類,メモ\r\n\"旅行\",,0,2024/03/01,,,,\r\n"
             "\"休み\",,0,2024/13/01,,,,\r\n"));
    Write("header.csv",
          SJ("\"件名\",x,0,日付,開始,終了,分類,メモ\r\n\"帰省\",,0,2024/03/02,,,,\r\n"));
    Write("garbage.sch", "garbage line\r\n");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(dir + "folder.sch")));
    merge("bad.sch", 1, "予定表として読めない行が1件あったため、その行は追加しませんでした。");
    merge("bad.csv", 2, "CSVファイルとして読めない行が1件あったため、その行は追加しませんでした。");
    merge("header.csv", 2);
    Write("old.csv", "x,,0,1899/12/29,,,,\r\n");
    merge("old.csv", 2, "1件の予定は日付が範囲外のため、追加しませんでした。");
    EXPECT_EQ(Subjects(true), "会議 出張 帰省 新しい 旅行 歯医者");
    saved = Read("Kalvero.sch");
    EXPECT_NE(saved.find(SJ("\"帰省\"")), std::string::npos);
    merge("garbage.sch", 1, "予定表として読めない行が1件あったため、その行は追加しませんでした。");
    merge("folder.sch", 1, "ファイルを読み込めません。", msgdlg::Kind::Error);
    EXPECT_EQ(Subjects(true), "会議 出張 帰省 新しい 旅行 歯医者");
    EXPECT_EQ(Read("Kalvero.sch"), saved);

    // CSV rows become items (a repeated row once); the schedule merged into
    // itself adds nothing.
    Write("in.csv",
          SJ("\"旅行\",,0,2024/03/01,9:00,17:00,\"休暇\",\"持ち物\"\r\n"
             "会社,,0,2024/03/02,,,,\r\n"
             "\"旅行\",,0,2024/03/01,9:00,17:00,\"休暇\",\"持ち物\"\r\n"));
    merge("in.csv", 2);
    const char* all = "会社 会議 出張 帰省 新しい 旅行 旅行 歯医者";
    EXPECT_EQ(Subjects(true), all);
    saved = Read("Kalvero.sch");
    EXPECT_NE(saved.find(SJ("2024/03/01,09:00,17:00,\"旅行\",\"\",\"休暇\",\"\",0,")),
              std::string::npos);
    EXPECT_NE(saved.find(SJ("2024/03/02,00:00,00:00,\"会社\",\"\",\"\",\"\",2,")),
              std::string::npos);
    merge("Kalvero.sch", 1);
    EXPECT_EQ(Subjects(true), all);
    EXPECT_EQ(Read("Kalvero.sch"), saved);
}

} // namespace
