// The main window's item commands driven through its real components: the
// road of one new item, copy and paste through the clipboard, the delete
// questions, the bulk delete, the per-day menus and the current item.
#include "mainwin_fixture.h"
#include "modal_driver.h"

#include "app/forms/enterform.h"
#include "app/forms/listwindow.h"
#include "app/forms/memoform.h"
#include "app/forms/removeview.h"
#include "controls/bevlabel.h"
#include "core/sjis.h"
#include "core/view/wscheduler.h"
#include "gui/qtext.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

namespace {

days::Day D(int y, int m, int d)
{
    return days::Encode(y, m, d);
}

class ItemCommandsTest : public MainWindowTest
{
protected:
    void Start(days::Day date)
    {
        Create();
        Show();
        form->Calendar->SetCurrentDate(date);
        Settle();
    }
    PEventData Add(const std::string& subject, days::Day date, std::uint32_t repeat = 0,
                   days::Day limit = -1, int kindBits = 0)
    {
        TEventData e;
        e.Subject = subject;
        e.Date = date;
        e.Repeat = repeat;
        e.LimitDate = limit;
        e.KindBits = kindBits;
        form->Calendar->AddEvent(e);
        for (PEventData item : form->Calendar->Store().All())
            if (item->Subject == subject)
                return item;
        return nullptr;
    }
    QStringList Captions(QMenu* menu) const
    {
        QStringList out;
        for (QAction* a : menu->actions())
            out << a->text();
        return out;
    }
    QString Clipboard() const { return QApplication::clipboard()->text(); }
    int Count() const { return form->Calendar->Store().Count(); }

    days::FixedClock clock { days::MomentOf(D(2024, 7, 3), 8 * 60) };
};

constexpr std::uint32_t kDaily = rp::Repeating | rp::Daily;

} // namespace

TEST_F(ItemCommandsTest, DoubleClickOnADayStoresANewItemAndEveryViewFollows)
{
    Start(D(2024, 7, 1));
    TWScheduler* cal = form->Calendar;
    const TGridCoord cell = cal->DateCell(D(2024, 7, 10));
    const QPoint at = cal->CellRect(cell.X, cell.Y).center();
    ModalDriver driver;
    driver.Then<TEnterForm>([](TEnterForm* dialog) {
        EXPECT_EQ(dialog->EditedItem(), nullptr);
        EXPECT_EQ(dialog->EditCopy().Date, D(2024, 7, 10));
        dialog->Subject->setEditText(u"歯医者 & 薬局"_qs);
        dialog->OkBtn->click();
    });
    QTest::mouseClick(cal->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(cal->viewport(), Qt::LeftButton, {}, at);
    Settle();
    EXPECT_EQ(driver.shown(), 1);
    ASSERT_EQ(Count(), 1);
    EXPECT_NE(Read("Kalvero.sch").find(SJ("歯医者 & 薬局")), std::string::npos);
    ASSERT_EQ(form->ListWindow->SchedList->topLevelItemCount(), 1);
    EXPECT_EQ(Captions(form->NEvent), QStringList { u"07/10 歯医者 && 薬局..."_qs });
    for (QMenu* menu : { form->NDelete, form->NCopy, form->SendTo })
        EXPECT_EQ(menu->actions().size(), 1);
    const calpaint::CellModel model =
        cal->CellModel(cell.X, cell.Y, cal->CellState(cell.X, cell.Y));
    EXPECT_EQ(model.lines.size() + model.marks.size(), 1u);
}

TEST_F(ItemCommandsTest, CopyPasteAndCutThroughTheClipboard)
{
    Start(D(2024, 7, 1));
    TEventData e;
    e.Subject = SJ("定例会議");
    e.Memo = SJ("議題\r\n資料");
    e.Date = D(2024, 7, 1);
    e.HasTime = true;
    e.StartTime = 540;
    e.EndTime = 630;
    e.Place = SJ("本社 3F");
    e.DataType = SJ("仕事:FF0000");
    e.AlarmBefore = 15;
    e.Repeat = kDaily;
    form->Calendar->AddEvent(e);
    PEventData meeting = form->Calendar->Store().Items(0);
    form->Calendar->SetKindMask(7);
    PEventData secret = Add("secret", D(2024, 7, 1), 0, -1, 1);
    EXPECT_FALSE(form->PasteAction->isEnabled());

    // Nothing current: no command does anything.
    form->ShowCurrentItem(nullptr, false);
    QApplication::clipboard()->setText(u"before"_qs);
    form->CopyActionExecute();
    form->CutActionExecute();
    form->PasteActionExecute();
    form->EditActionExecute();
    form->DelActionExecute();
    EXPECT_EQ(Clipboard(), u"before"_qs);
    EXPECT_EQ(Count(), 2);

    // A secret item reaches only the copy buffer.
    const int secretRow = form->NCopy->actions()[0]->data().toULongLong() == secret->Id ? 0 : 1;
    form->NCopy->actions()[secretRow]->trigger();
    EXPECT_EQ(Clipboard(), u"before"_qs);
    EXPECT_TRUE(form->PasteAction->isEnabled());
    EXPECT_EQ(form->CopyBuffer().Subject, "secret");

    form->ShowCurrentItem(meeting, true);
    form->CopyActionExecute();
    // The series travels as its current day.
    EXPECT_EQ(qtext::FromQ(Clipboard()),
              SJ("定例会議\r\n議題\r\n資料\r\n\r\n--Kalvero->>>!\r\n"
                 "2024/07/03,09:00,10:30,\"本社 3F\",\"仕事:FF0000\",15@分前\r\n"
                 "!<<<--Kalvero-\r\n"));
    // Cut refuses a series.
    form->CutActionExecute();
    EXPECT_EQ(Count(), 2);

    // The series comes back once, as a single item on another day.
    form->Calendar->SetCurrentDate(D(2024, 6, 20));
    form->PasteActionExecute();
    ASSERT_EQ(Count(), 3);
    form->Calendar->SelectCurrentDay();
    ASSERT_EQ(form->Calendar->Store().DayList.size(), 1u);
    PEventData pasted = form->Calendar->Store().DayList[0];
    EXPECT_NE(pasted, meeting);
    EXPECT_EQ(pasted->Repeat, 0u);
    EXPECT_EQ(pasted->Date, D(2024, 6, 20));
    EXPECT_EQ(std::tie(pasted->StartTime, pasted->EndTime, pasted->Place, pasted->Memo,
                       pasted->AlarmBefore),
              std::tie(meeting->StartTime, meeting->EndTime, meeting->Place, meeting->Memo,
                       meeting->AlarmBefore));
    EXPECT_NE(Read("Kalvero.sch").find("2024/06/20"), std::string::npos);

    // Cut of the pasted single: gone, clipboard filled, current item cleared.
    form->ShowCurrentItem(pasted, true);
    form->CutActionExecute();
    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(form->CurrentItem(), nullptr);
    EXPECT_TRUE(form->TitleCaption->Caption().isEmpty());
    EXPECT_TRUE(qtext::FromQ(Clipboard()).find("2024/06/20") != std::string::npos);
    EXPECT_TRUE(form->CanPaste());
}

TEST_F(ItemCommandsTest, DeleteAsksWithTheItemsDatesAndNoKeepsIt)
{
    Start(D(2024, 7, 1));
    PEventData single = Add("single", D(2024, 7, 1));
    single->HasTime = true;
    single->StartTime = 600;
    single->EndTime = 660;
    Add("open", D(2024, 6, 1), kDaily);
    Add("limited", D(2024, 6, 1), kDaily, D(2024, 7, 31));
    struct Case
    {
        const char* subject;
        const char* question;
    };
    const Case cases[] = {
        { "single",
          "次の予定を削除します。よろしいですか？\r\n【 2024/07/01 】\r\n10:00-11:00 single" },
        { "open", "次の繰返し予定を削除します。よろしいですか？\r\n【 2024/06/01～ 】\r\n- open" },
        { "limited",
          "次の繰返し予定を削除します。よろしいですか？\r\n"
          "【 2024/06/01～2024/07/31 】\r\n- limited" },
    };
    for (const Case& c : cases) {
        PEventData item = nullptr;
        for (PEventData i : form->Calendar->Store().All())
            if (i->Subject == c.subject)
                item = i;
        ASSERT_NE(item, nullptr);
        form->ShowCurrentItem(item, true);
        const int before = Count();
        DialogScript script;
        script.Press(msgdlg::No).Press(msgdlg::Yes);
        form->DelActionExecute();
        EXPECT_EQ(Count(), before);
        EXPECT_EQ(form->CurrentItem(), item);
        form->DelActionExecute();
        EXPECT_EQ(Count(), before - 1);
        EXPECT_FALSE(form->TitleCaption->Caption().contains(QLatin1String(c.subject)));
        ASSERT_EQ(script.shown().size(), 2u);
        EXPECT_EQ(script.shown()[0].kind, msgdlg::Kind::Warning);
        EXPECT_EQ(script.shown()[0].buttons, msgdlg::Yes | msgdlg::No);
        EXPECT_EQ(script.shown()[1].sjisText(), sjis::FromUtf8(c.question));
        EXPECT_EQ(Read("Kalvero.sch").find(c.subject), std::string::npos);
    }
}

TEST_F(ItemCommandsTest, PerDayMenusFollowTheDayAndStaleSubItemsDoNothing)
{
    Start(D(2024, 7, 1));
    PEventData todo = Add(std::string(40, 'x'), D(2024, 7, 1));
    todo->Priority = 4;
    form->Calendar->SetKindMask(7);
    PEventData secret = Add("hidden", D(2024, 7, 1), 0, -1, 1);
    form->CalendarChangeDate();
    EXPECT_EQ(form->NEvent->actions().size(), 2);
    EXPECT_EQ(Captions(form->SendTo), QStringList { u"07/01 "_qs + QString(32, u'x') + u"..."_qs });
    form->OptPopupPopup();
    EXPECT_TRUE(form->NEvent->menuAction()->isEnabled());
    EXPECT_FALSE(form->QuickLink->menuAction()->isEnabled());
    EXPECT_FALSE(form->PasteAction->isEnabled());

    // The done check, only for deadlines.
    form->ShowCurrentItem(todo, true);
    EXPECT_EQ(form->TitleCaption->Caption(), u"◆ "_qs + QString(40, u'x'));
    form->EditPopupPopup();
    ASSERT_TRUE(form->N_Check->isEnabled());
    form->N_Check->trigger();
    EXPECT_TRUE(todo->Done);
    form->ShowCurrentItem(secret, true);
    form->EditPopupPopup();
    EXPECT_FALSE(form->N_Check->isEnabled());
    form->N_CheckClick();
    EXPECT_FALSE(secret->Done);

    // A sub-item whose item went by another route does nothing.
    QAction* stale = nullptr;
    for (QAction* a : form->NDelete->actions())
        if (a->data().toULongLong() == secret->Id)
            stale = a;
    ASSERT_NE(stale, nullptr);
    form->Calendar->Store().RemoveEvent(secret);
    EXPECT_EQ(form->CurrentItem(), nullptr);
    DialogScript none;
    form->ItemMenuDeleteClick(stale);
    form->ItemMenuEditClick(stale);
    form->CopyActionExecute(stale);
    EXPECT_FALSE(form->CanPaste());

    // An empty day clears the list, the menus and the current item.
    form->ShowCurrentItem(todo, true);
    form->Calendar->SetCurrentDate(D(2024, 7, 2));
    Settle();
    EXPECT_TRUE(form->NEvent->isEmpty());
    EXPECT_EQ(form->ListWindow->SchedList->topLevelItemCount(), 0);
    EXPECT_EQ(form->CurrentItem(), nullptr);
    EXPECT_TRUE(form->MemoForm->Memo1->toPlainText().isEmpty());
}

TEST_F(ItemCommandsTest, BulkDeleteDefaultsWriteOnceAndKeepSeriesDays)
{
    Start(D(2024, 6, 17));
    PEventData old = Add("old", D(2024, 6, 1));
    Add("new", D(2024, 6, 20));
    Add("weekly", D(2024, 5, 1), rp::Repeating | rp::Weekly | rp::UseWeekdays | rp::WeekdayBit(4));
    Add("secret", D(2024, 6, 1), 0, -1, 1);
    form->ShowCurrentItem(old, true);
    int writes = 0;
    TSchedList& store = form->Calendar->Store();
    auto notify = store.OnModified;
    store.OnModified = [&](TSchedList* s) {
        ++writes;
        notify(s);
    };
    ModalDriver driver;
    driver
        .Then<TRemoveView>([](TRemoveView* view) {
            EXPECT_EQ(view->RmDay(), D(2024, 6, 10));
            EXPECT_TRUE(view->PrevDate->isChecked());
            for (QCheckBox* box :
                 { view->RepSched, view->PriSched, view->Secret, view->UnKnown, view->DispOnly })
                EXPECT_FALSE(box->isChecked());
            view->Cancel->click();
        })
        .Then<TRemoveView>([](TRemoveView* view) { view->DelExec->click(); });
    form->EraseBtn->click();
    EXPECT_EQ(Count(), 4);
    EXPECT_EQ(writes, 0);
    form->EraseBtn->click();
    EXPECT_EQ(writes, 1);
    std::vector<std::string> left;
    for (PEventData e : store.All())
        left.push_back(e->Subject + " " + days::Format(e->Date));
    std::sort(left.begin(), left.end());
    // Secret items are hidden at start, so they stay.
    EXPECT_EQ(
        left,
        (std::vector<std::string> { "new 2024/06/20", "secret 2024/06/01", "weekly 2024/06/12" }));
    EXPECT_EQ(form->CurrentItem(), nullptr);
    const std::string file = Read("Kalvero.sch");
    EXPECT_EQ(file.find("old"), std::string::npos);
    EXPECT_NE(file.find("2024/06/12"), std::string::npos);
}
