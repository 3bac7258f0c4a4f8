// The main window's item commands through its real components: the road of
// one new item, copy and paste through the clipboard, the delete questions,
// the per-day menus and the bulk delete.
#include "mainwin_fixture.h"
#include "modal_driver.h"

#include "app/forms/enterform.h"
#include "app/forms/listwindow.h"
#include "app/forms/memoform.h"
#include "app/forms/removeview.h"
#include "controls/bevlabel.h"
#include "core/sjis.h"
#include "gui/qtext.h"
#include "view/wscheduler.h"

#include "support/popup.h"
#include "support/testutil.h"
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

const std::uint32_t kDaily = recur::Pack({ .pattern = recur::RepeatPattern::Daily });

class ItemCommandsTest : public MainWindowTest
{
protected:
    void Start(days::Day date)
    {
        Create();
        Show();
        form->Calendar->SetKindMask(7); // secret items shown
        form->Calendar->SetCurrentDate(date);
    }
    PEventData Add(const std::string& subject, days::Day date, std::uint32_t repeat = 0,
                   days::Day limit = -1, int kindBits = 0)
    {
        TEventData e;
        std::tie(e.Subject, e.Date, e.Repeat, e.LimitDate, e.KindBits) =
            std::tie(subject, date, repeat, limit, kindBits);
        form->Calendar->AddEvent(e);
        return Find(subject);
    }

    days::FixedClock clock { days::MomentOf(D(2024, 7, 3), 8 * 60) };
};

} // namespace

TEST_F(ItemCommandsTest, DoubleClickOnADayStoresANewItemAndEveryViewFollows)
{
    Start(D(2024, 7, 1));
    TWScheduler* cal = form->Calendar;
    const TGridCoord cell = cal->DateCell(D(2024, 7, 10));
    const QPoint at = cal->CellRect(cell.X, cell.Y).center();
    ModalDriver driver;
    driver.Then<TEnterForm>([](TEnterForm* dialog) {
        EXPECT_EQ(dialog->EditCopy().Date, D(2024, 7, 10));
        dialog->Subject->setEditText(u"歯医者 & 薬局"_qs);
        dialog->OkBtn->click();
    });
    QTest::mouseClick(cal->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(cal->viewport(), Qt::LeftButton, {}, at);
    Settle();
    ASSERT_EQ(Count(), 1);
    EXPECT_NE(Read("Kalvero.sch").find(SJ("歯医者 & 薬局")), std::string::npos);
    EXPECT_EQ(form->ListWindow->SchedList->topLevelItemCount(), 1);
    ASSERT_EQ(Opened(form->NEvent).size(), 1);
    EXPECT_EQ(Opened(form->NEvent)[0]->text(), u"07/10 歯医者 && 薬局..."_qs);
    for (QMenu* menu : { form->NDelete, form->NCopy, form->SendTo })
        EXPECT_EQ(Opened(menu).size(), 1);
    const calpaint::CellModel model =
        cal->CellModel(cell.X, cell.Y, cal->CellState(cell.X, cell.Y));
    EXPECT_EQ(model.lines.size() + model.marks.size(), 1u);
}

TEST_F(ItemCommandsTest, CopyPasteAndCutThroughTheClipboard)
{
    Start(D(2024, 7, 1));
    PEventData meeting = Add(SJ("定例会議"), D(2024, 7, 1), kDaily);
    meeting->Memo = SJ("議題\r\n資料");
    meeting->HasTime = true;
    std::tie(meeting->StartTime, meeting->EndTime, meeting->AlarmBefore) = std::tuple(540, 630, 15);
    meeting->Place = SJ("本社 3F");
    meeting->DataType = SJ("仕事:FF0000");
    form->Calendar->SetModified(true);
    PEventData secret = Add("secret", D(2024, 7, 1), 0, -1, 1);

    // Nothing current: nothing happens; a secret item reaches only the
    // copy buffer.
    QApplication::clipboard()->setText(u"before"_qs);
    form->ShowCurrentItem(nullptr, false);
    form->CopyActionExecute();
    form->CutActionExecute();
    form->PasteActionExecute();
    form->DelActionExecute();
    EXPECT_FALSE(form->PasteAction->isEnabled());
    SubItem(form->NCopy, secret)->trigger();
    EXPECT_EQ(Clipboard(), "before");
    EXPECT_TRUE(form->PasteAction->isEnabled());
    EXPECT_EQ(Count(), 2);

    // A series travels as its current day; Cut refuses it.
    form->ShowCurrentItem(meeting, true);
    EXPECT_EQ(form->TitleCaption->Caption(), u"◎ 定例会議"_qs);
    EXPECT_EQ(form->MemoForm->Memo1->toPlainText(), u"議題\n資料"_qs);
    form->CopyActionExecute();
    EXPECT_EQ(Clipboard(),
              SJ("定例会議\r\n議題\r\n資料\r\n\r\n--Kalvero->>>!\r\n"
                 "2024/07/03,09:00,10:30,\"本社 3F\",\"仕事:FF0000\",15@分前\r\n"
                 "!<<<--Kalvero-\r\n"));
    form->CutActionExecute();
    EXPECT_EQ(Count(), 2);

    // It comes back once, as a single item on another day.
    form->Calendar->SetCurrentDate(D(2024, 6, 20));
    form->PasteActionExecute();
    ASSERT_EQ(Count(), 3);
    ASSERT_EQ(Opened(form->NEvent).size(), 1);
    PEventData pasted = form->MenuItem(Opened(form->NEvent)[0]);
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(
        std::tuple(pasted->Repeat, pasted->Date, pasted->StartTime, pasted->Place, pasted->Memo),
        std::tuple(0u, D(2024, 6, 20), meeting->StartTime, meeting->Place, meeting->Memo));
    EXPECT_NE(Read("Kalvero.sch").find("2024/06/20"), std::string::npos);

    // Cut of a single item: copied, gone, no longer current.
    form->ShowCurrentItem(pasted, true);
    form->CutActionExecute();
    EXPECT_EQ(Count(), 2);
    EXPECT_TRUE(form->TitleCaption->Caption().isEmpty());
    EXPECT_NE(Clipboard().find("2024/06/20"), std::string::npos);
}

TEST_F(ItemCommandsTest, DeleteAsksWithTheItemsDatesAndNoKeepsIt)
{
    Start(D(2024, 7, 1));
    PEventData single = Add("single", D(2024, 7, 1));
    single->HasTime = true;
    std::tie(single->StartTime, single->EndTime) = std::tuple(600, 660);
    Add("open", D(2024, 6, 1), kDaily);
    Add("limited", D(2024, 6, 1), kDaily, D(2024, 7, 31));
    const std::pair<const char*, const char*> cases[] = {
        { "single",
          "次の予定を削除します。よろしいですか？\r\n【 2024/07/01 】\r\n10:00-11:00 single" },
        { "open", "次の繰返し予定を削除します。よろしいですか？\r\n【 2024/06/01～ 】\r\n- open" },
        { "limited",
          "次の繰返し予定を削除します。よろしいですか？\r\n"
          "【 2024/06/01～2024/07/31 】\r\n- limited" },
    };
    for (const auto& [subject, question] : cases) {
        PEventData item = Find(subject);
        form->ShowCurrentItem(item, true);
        DialogScript script;
        script.Press(msgdlg::No).Press(msgdlg::Yes);
        form->DelActionExecute();
        EXPECT_EQ(Find(subject), item);
        form->DelActionExecute();
        EXPECT_EQ(Find(subject), nullptr);
        EXPECT_FALSE(form->TitleCaption->Caption().contains(QLatin1String(subject)));
        EXPECT_EQ(Read("Kalvero.sch").find(subject), std::string::npos);
        ASSERT_EQ(script.shown().size(), 2u);
        EXPECT_EQ(script.shown()[0].kind, msgdlg::Kind::Warning);
        EXPECT_EQ(script.shown()[0].buttons, msgdlg::Yes | msgdlg::No);
        EXPECT_EQ(script.shown()[1].sjisText(), sjis::FromUtf8(question));
    }
}

TEST_F(ItemCommandsTest, PerDayMenusFollowTheDayAndStaleSubItemsDoNothing)
{
    Start(D(2024, 7, 1));
    PEventData todo = Add(std::string(40, 'x'), D(2024, 7, 1));
    todo->Priority = 4;
    PEventData secret = Add("hidden", D(2024, 7, 1), 0, -1, 1);
    EXPECT_EQ(Opened(form->NEvent).size(), 2);
    ASSERT_EQ(Opened(form->SendTo).size(), 1);
    EXPECT_EQ(Opened(form->SendTo)[0]->text(), u"07/01 "_qs + QString(32, u'x') + u"..."_qs);
    form->OptPopupPopup();
    EXPECT_TRUE(form->NEvent->menuAction()->isEnabled());
    EXPECT_FALSE(form->QuickLink->menuAction()->isEnabled());

    // The done check, only for deadlines.
    for (PEventData item : { todo, secret }) {
        form->ShowCurrentItem(item, true);
        form->EditPopupPopup();
        EXPECT_EQ(form->N_Check->isEnabled(), item == todo);
        form->N_CheckClick();
        EXPECT_EQ(item->Done, item == todo);
    }

    // A sub-item whose item went by another route does nothing.
    QAction* stale = SubItem(form->NDelete, secret);
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
    EXPECT_TRUE(form->NEvent->isEmpty());
    EXPECT_EQ(form->ListWindow->SchedList->topLevelItemCount(), 0);
    EXPECT_EQ(form->CurrentItem(), nullptr);
    EXPECT_TRUE(form->MemoForm->Memo1->toPlainText().isEmpty());
}

TEST_F(ItemCommandsTest, PerDaySubMenusFillAsTheyOpenAndFollowTheDayWhileOpen)
{
    Start(D(2024, 7, 2));
    Add("first", D(2024, 7, 1));
    Add("second", D(2024, 7, 2));
    EXPECT_TRUE(form->NEvent->isEmpty());
    QMenu* menu = RightClickMenu(form->TitleCaption, form->TitleCaption->rect().center());
    ASSERT_EQ(menu, form->OptPopup);
    for (Qt::Key key : { Qt::Key_Down, Qt::Key_Down, Qt::Key_Right })
        QTest::keyClick(menu, key);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->NEvent->isVisible(); }));
    auto texts = [&] {
        QStringList out;
        for (QAction* action : form->NEvent->actions())
            out << action->text();
        return out;
    };
    const QStringList shown = texts();
    form->Calendar->SetCurrentDate(D(2024, 7, 1));
    const QStringList followed = texts();
    QTest::keyClick(form->NEvent, Qt::Key_Escape);
    QTest::keyClick(menu, Qt::Key_Escape);
    EXPECT_EQ(shown, QStringList { u"07/02 second..."_qs });
    EXPECT_EQ(followed, QStringList { u"07/01 first..."_qs });
}

TEST_F(ItemCommandsTest, RightClicksOnTheCalendarAndTheWindowOpenTheOptionsMenu)
{
    Start(D(2024, 7, 1));
    Add("meeting", D(2024, 7, 1));
    const struct
    {
        days::Day selected; // by the right click on the calendar
        QWidget* clicked;
        bool perDayItems;
    } cases[] = {
        { D(2024, 7, 1), form->Calendar->viewport(), true },
        { D(2024, 7, 2), form->Calendar->viewport(), false },
        { D(2024, 7, 1), form->TitleCaption, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clicked->metaObject()->className());
        const bool onDay = c.clicked == form->Calendar->viewport();
        form->Calendar->SetCurrentDate(onDay ? D(2024, 7, 3) : c.selected);
        const QRect day = form->Calendar->CellRect(form->Calendar->DateCell(c.selected).X,
                                                   form->Calendar->DateCell(c.selected).Y);
        QMenu* menu = RightClickMenu(c.clicked, onDay ? day.center() : c.clicked->rect().center());
        ASSERT_EQ(menu, form->OptPopup);
        // The menu readied itself for the selected day as it opened.
        EXPECT_EQ(form->Calendar->CurrentDate(), c.selected);
        EXPECT_EQ(form->NEvent->menuAction()->isEnabled(), c.perDayItems);
        EXPECT_EQ(form->NDelete->menuAction()->isEnabled(), c.perDayItems);
        QTest::keyClick(menu, Qt::Key_Escape);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !menu->isVisible(); }));
    }
}

TEST_F(ItemCommandsTest, BulkDeleteDefaultsWriteOnceAndKeepSeriesDays)
{
    Start(D(2024, 6, 17));
    form->Calendar->SetKindMask(6); // secret items hidden
    PEventData old = Add("old", D(2024, 6, 1));
    Add("new", D(2024, 6, 20));
    Add("weekly", D(2024, 5, 1),
        recur::Pack({ .pattern = recur::RepeatPattern::Weekly,
                      .weekdays = recur::Weekdays({ 2 }),
                      .useWeekdays = true }));
    Add("secret", D(2024, 6, 1), 0, -1, 1);
    form->ShowCurrentItem(old, true);
    int writes = 0;
    TSchedList& store = form->Calendar->Store();
    store.OnModified = [&, notify = store.OnModified](TSchedList* s) {
        ++writes;
        notify(s);
    };
    ModalDriver driver;
    driver
        .Then<TRemoveView>([](TRemoveView* view) {
            EXPECT_EQ(view->RmDay(), D(2024, 6, 10));
            view->Cancel->click();
        })
        .Then<TRemoveView>([](TRemoveView* view) { view->DelExec->click(); });
    form->EraseBtn->click();
    EXPECT_EQ(writes + Count(), 4);
    form->EraseBtn->click();
    EXPECT_EQ(writes, 1);
    std::map<std::string, days::Day> left;
    for (PEventData e : store.All())
        left[e->Subject] = e->Date;
    EXPECT_EQ(left,
              (std::map<std::string, days::Day> { { "new", D(2024, 6, 20) },
                                                  { "secret", D(2024, 6, 1) },
                                                  { "weekly", D(2024, 6, 10) } }));
    EXPECT_FALSE(form->TitleCaption->Caption().contains(u"old"_qs));
    EXPECT_EQ(Read("Kalvero.sch").find("old"), std::string::npos);
}
