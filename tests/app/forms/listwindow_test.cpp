// The list window's item pages driven through its widgets on a main window:
// day-list and date-form rows, the detail pane, the search with its history,
// the to-do list, the alarm menu, and rows that outlive their items.
#include "mainwin_fixture.h"
#include "modal_driver.h"

#include "app/forms/listwindow.h"
#include "app/forms/memoform.h"
#include "app/forms/radiogroup.h"
#include "controls/bevlabel.h"
#include "core/sjis.h"
#include "gui/colors.h"
#include "gui/qtext.h"
#include "view/wscheduler.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <random>

namespace {

const days::Day kToday = days::Encode(2024, 5, 10);
const std::uint32_t kDaily = recur::Pack({ .pattern = recur::RepeatPattern::Daily });

// An item to store; the arguments follow the order of the fields.
struct ItemFields
{
    ItemFields(std::string subject_, days::Day date_ = kToday, int start_ = -1, int priority_ = 0,
               bool done_ = false, std::uint32_t repeat_ = 0, days::Day limit_ = -1,
               int kindBits_ = 0, std::string category_ = {}, std::string place_ = {},
               std::string memo_ = {}, int alarmBefore_ = 0, bool cancelled_ = false)
        : subject(std::move(subject_)), date(date_), start(start_), priority(priority_),
          done(done_), repeat(repeat_), limit(limit_), kindBits(kindBits_),
          category(std::move(category_)), place(std::move(place_)), memo(std::move(memo_)),
          alarmBefore(alarmBefore_), cancelled(cancelled_)
    {
    }
    std::string subject; // UTF-8
    days::Day date;
    int start; // minutes; -1 untimed
    int priority;
    bool done;
    std::uint32_t repeat;
    days::Day limit;
    int kindBits;
    std::string category, place, memo;
    int alarmBefore;
    bool cancelled;
};

class ListWindowTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        Create();
        lw = form->ListWindow;
        Show();
        Cal()->SetCurrentDate(kToday);
    }
    TWScheduler* Cal() { return form->Calendar; }
    TSchedList& Store() { return form->Calendar->Store(); }

    PEventData Add(const ItemFields& s)
    {
        TEventData e;
        e.Subject = sjis::FromUtf8(s.subject);
        e.Date = s.date;
        e.HasTime = s.start >= 0;
        e.StartTime = s.start;
        e.EndTime = s.start >= 0 ? s.start + 60 : -1;
        e.Priority = s.priority;
        e.Done = s.done;
        e.Cancelled = s.cancelled;
        e.Repeat = s.repeat;
        e.LimitDate = s.limit;
        e.KindBits = s.kindBits;
        e.DataType = sjis::FromUtf8(s.category);
        e.Place = sjis::FromUtf8(s.place);
        e.Memo = sjis::FromUtf8(s.memo);
        e.AlarmBefore = s.alarmBefore;
        Cal()->AddEvent(e);
        for (PEventData item : Store().All())
            if (item->Subject == e.Subject && item->Date == e.Date)
                return item;
        ADD_FAILURE() << "not stored: " << s.subject;
        return nullptr;
    }
    static QStringList Row(QTreeWidget* list, int index)
    {
        QTreeWidgetItem* row = list->topLevelItem(index);
        return row ? QStringList { row->text(0), row->text(1), row->text(2), row->text(3) }
                   : QStringList();
    }
    static QStringList Subjects(QTreeWidget* list)
    {
        QStringList out;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            out << list->topLevelItem(i)->text(3);
        return out;
    }
    void Search(const QString& text, bool all = true, int type = 0)
    {
        (all ? lw->AndString : lw->OrString)->setChecked(true);
        lw->FindType->setCurrentIndex(type);
        lw->FindString->setEditText(text);
        lw->FindExec->click();
    }
    void Select(QTreeWidget* list, int row) { list->setCurrentItem(list->topLevelItem(row)); }
    void ClickRow(QTreeWidget* list, int row)
    {
        const QRect r = list->visualItemRect(list->topLevelItem(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    }

    days::FixedClock clock { days::MomentOf(kToday, 9 * 60) };
    TListWindow* lw = nullptr;
};

TEST_F(ListWindowTest, RowsInDayAndDateFormFollowTheirItems)
{
    struct Case
    {
        ItemFields fields;
        QStringList day; // start, end, priority, subject
        QStringList date; // date, time, priority, subject
    } cases[] = {
        { { "会議", kToday, 600, 2 },
          { "10:00", "11:00", "中", "会議" },
          { "2024/05/10", "10:00", "中", "会議" } },
        { { "済んだ", kToday, 540, 1, true },
          { "(完了)", "", "普", "済んだ" },
          { "2024/05/10", "09:00", "普", "済んだ" } },
        { { "終日", kToday, -1, 0 }, { "", "", "", "終日" }, { "2024/05/10", "－", "", "終日" } },
        { { "", kToday, -1, 4 },
          { "", "", "期限", "(件名無し)" },
          { "2024/05/10", "－", "未", "" } },
        { { "完了期限", kToday, 1500, 4, true },
          { "(完了)", "", "期限", "完了期限" },
          { "2024/05/10", "25:00", "○", "完了期限" } },
        { { "毎日", kToday - 3, 480, 3, false, kDaily },
          { "08:00", "09:00", "高", "毎日" },
          { "2024/05/07", "08:00", "高", "* 毎日" } },
    };
    for (const Case& c : cases) {
        PEventData item = Add(c.fields);
        QTreeWidgetItem day;
        QTreeWidgetItem date;
        TListWindow::SetListRow(&day, *item, true);
        TListWindow::SetListRow(&date, *item, false);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(day.text(i), c.day[i]) << c.fields.subject << " day " << i;
            EXPECT_EQ(date.text(i), c.date[i]) << c.fields.subject << " date " << i;
        }
    }
    // The main window fills the day list at every change of the day.
    ASSERT_EQ(lw->SchedList->topLevelItemCount(), 6);
    // A changed item redraws its rows on every page; a removed one leaves
    // them all.
    const int meetingRow = Subjects(lw->SchedList).indexOf(u"会議"_qs);
    PEventData meeting = lw->RowItem(lw->SchedList->topLevelItem(meetingRow));
    ASSERT_NE(meeting, nullptr);
    Search(u"会議"_qs);
    ASSERT_EQ(Subjects(lw->FindList), QStringList { u"会議"_qs });
    TEventData changed = *meeting;
    changed.Subject = sjis::FromUtf8("定例会議");
    Cal()->UpdateEvent(meeting, changed);
    lw->UpdateItem(meeting, false);
    EXPECT_EQ(Row(lw->SchedList, meetingRow)[3], u"定例会議"_qs);
    EXPECT_EQ(Row(lw->FindList, 0)[3], u"定例会議"_qs);
    lw->UpdateItem(meeting, true);
    Cal()->DeleteEvent(meeting);
    EXPECT_EQ(lw->SchedList->topLevelItemCount(), 5);
    EXPECT_EQ(lw->FindList->topLevelItemCount(), 0);
    EXPECT_EQ(lw->FindBox->title(), u"検索結果：全 0 件"_qs);
}

TEST_F(ListWindowTest, DetailPaneDescribesTheSelectedItem)
{
    struct Case
    {
        ItemFields fields;
        QString label2, place, category, priority, cancel, alarm;
        TColor priorityColor, cancelColor;
        bool alarmMenu;
    } cases[] = {
        // clang-format off
        { { "単発", kToday, 600, 3, false, 0, -1, 4, "仕事:0000FF", "本社" },
          u"日時：2024/05/10 10:00-11:00"_qs, u"本社"_qs, u"仕事 (不明)"_qs, u"高"_qs, {}, u"無し"_qs, 0x0000FF, 0, false },
        { { "毎日", kToday - 9, -1, 1, false, kDaily, kToday + 21, 3, "仕事" },
          u"次回：2024/05/10 (～2024/05/31)"_qs, {}, u"仕事 (会社*)"_qs, u"普"_qs, {}, u"無し"_qs, 0x00FF00, 0, false },
        { { "終わった", kToday - 40, 540, 2, false, kDaily, kToday - 30, 2 },
          u"繰返し：2024/03/31 09:00-10:00 (～2024/04/10)"_qs, {}, u" (会社)"_qs, u"中"_qs, {}, u"無し"_qs, 0x00FFFF, 0, false },
        { { "開いた", kToday - 40, 540, 0, false, kDaily, -1, 1 },
          u"次回：2024/05/10 09:00-10:00"_qs, {}, u" (個人*)"_qs, u"無し"_qs, {}, u"無し"_qs, colors::clBtnFace, 0, false },
        { { "済み", kToday, -1, 4, true },
          u"日時：2024/05/10"_qs, {}, u" (個人)"_qs, u"期限"_qs, u"(完了)"_qs, u"無し"_qs, colors::clBtnFace, colors::clBlue, false },
        { { "取消", kToday, -1, 4, true, 0, -1, 0, "", "", "", 0, true },
          u"日時：2024/05/10"_qs, {}, u" (個人)"_qs, u"期限"_qs, u"取消し"_qs, u"無し"_qs, colors::clBtnFace, colors::clRed, false },
        // Alarms: pending, due, disabled, over, alarmed and still ahead.
        { { "予定", kToday, 600, 0, false, 0, -1, 0, "", "", "", 30 },
          u"日時：2024/05/10 10:00-11:00"_qs, {}, u" (個人)"_qs, u"無し"_qs, {}, u" 05/10 09:30 "_qs, colors::clBtnFace, 0, true },
        { { "過ぎた", kToday, 570, 0, false, 0, -1, 0, "", "", "", 30 },
          u"日時：2024/05/10 09:30-10:30"_qs, {}, u" (個人)"_qs, u"無し"_qs, {}, u" 05/10 09:00 "_qs, colors::clBtnFace, 0, true },
        { { "無効", kToday, 600, 4, true, 0, -1, 0, "", "", "", 30 },
          u"日時：2024/05/10 10:00-11:00"_qs, {}, u" (個人)"_qs, u"期限"_qs, u"(完了)"_qs, u" 05/10 09:30 (無効)"_qs, colors::clBtnFace, colors::clBlue, false },
        { { "明日から", kToday + 1, 600, 0, false, kDaily, -1, 0, "", "", "", 30 },
          u"次回：2024/05/11 10:00-11:00"_qs, {}, u" (個人)"_qs, u"無し"_qs, {}, u" 05/11 09:30 (済)"_qs, colors::clBtnFace, 0, false },
        { { "昨日", kToday - 1, 600, 0, false, 0, -1, 0, "", "", "", 30 },
          u"日時：2024/05/09 10:00-11:00"_qs, {}, u" (個人)"_qs, u"無し"_qs, {}, u" 05/09 09:30 [済]"_qs, colors::clBtnFace, 0, true },
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fields.subject);
        PEventData item = Add(c.fields);
        lw->SchedList->clear();
        lw->AddDayItem(item);
        Select(lw->SchedList, 0);
        EXPECT_EQ(lw->ShownItem(), item);
        EXPECT_EQ(lw->Label2->text(), c.label2);
        EXPECT_EQ(lw->BevelLabel1->Caption(), c.place);
        EXPECT_EQ(lw->BevelLabel2->Caption(), c.category);
        EXPECT_EQ(lw->BevelLabel4->Caption(), c.priority);
        EXPECT_EQ(lw->BevelLabel4->Color(), c.priorityColor);
        EXPECT_EQ(lw->CancelMsg->text(), c.cancel);
        if (!c.cancel.isEmpty()) {
            EXPECT_EQ(lw->CancelMsg->palette().color(QPalette::WindowText),
                      colors::ToQColor(c.cancelColor));
        }
        EXPECT_EQ(lw->BevelLabel3->Caption(), c.alarm);
        EXPECT_EQ(TListWindow::Popup(lw->BevelLabel3) != nullptr, c.alarmMenu);
        EXPECT_EQ(TListWindow::Popup(lw->SchedList), form->EditPopup);
        EXPECT_FALSE(lw->MailOpenBtn->isEnabled());
    }
    // A series whose next occurrence lies behind the shown day waits.
    PEventData daily = Add({ "待ち", kToday, 600, 0, false, kDaily, -1, 0, "", "", "", 30 });
    Cal()->SetCurrentDate(kToday + 3);
    lw->SchedList->clear();
    lw->AddDayItem(daily);
    Select(lw->SchedList, 0);
    EXPECT_EQ(lw->BevelLabel3->Caption(), u" 05/10 09:30 [待]"_qs);
    // A linked mail opens through the build variant.
    struct MailHost : TBuildVariant
    {
        std::vector<std::string> opened;
        bool OpenLinkedMail(TEventData& item, QWidget*) override
        {
            opened.push_back(item.MailID);
            return false;
        }
    } host;
    TScopedBuildVariant scoped(&host);
    daily->MailID = "<id@host>";
    lw->UpdateItem(daily, false);
    ASSERT_TRUE(lw->MailOpenBtn->isEnabled());
    lw->MailOpenBtn->click();
    EXPECT_EQ(host.opened, std::vector<std::string> { "<id@host>" });
    // The value labels reach 10 pixels short of the pane's right edge; so
    // does the alarm label in the program, which has no mail button. Where
    // the button is (the plug-in), the label stops 10 short of it.
    EXPECT_TRUE(lw->MailOpenBtn->isHidden());
    lw->Panel2->resize(400, lw->Panel2->height());
    const int right = lw->Panel2->contentsRect().width() - 10;
    EXPECT_EQ(lw->BevelLabel1->geometry().right() + 1, right);
    EXPECT_EQ(lw->BevelLabel2->geometry().right() + 1, right);
    EXPECT_EQ(lw->BevelLabel3->geometry().right() + 1, right);
    lw->MailOpenBtn->show();
    lw->Panel2->resize(401, lw->Panel2->height());
    EXPECT_EQ(lw->MailOpenBtn->geometry().right() + 1, right + 1);
    EXPECT_EQ(lw->BevelLabel3->geometry().right() + 1, lw->MailOpenBtn->x() - 10);
    // No selection empties the pane.
    lw->SchedList->clearSelection();
    EXPECT_EQ(lw->ShownItem(), nullptr);
    EXPECT_EQ(lw->Label2->text(), QString());
    EXPECT_EQ(lw->BevelLabel3->Caption(), QString());
    EXPECT_EQ(lw->BevelLabel4->Color(), colors::clBtnFace);
    EXPECT_EQ(TListWindow::Popup(lw->SchedList), nullptr);
}

TEST_F(ListWindowTest, SearchSplitsOnFullWidthSpacesAndKeepsTwentyEntries)
{
    Add({ "会議 東京" });
    Add({ "会議" });
    Add({ "東京出張", kToday + 1, -1, 0, false, 0, -1, 0, "出張:FF", "大阪", "ア の話" });
    Add({ "ア" });
    Add({ "ａ@b" });
    Add({ "秘密の会議", kToday, -1, 0, false, 0, -1, 1 }); // hidden: secret display is off
    struct Case
    {
        QString text;
        bool all;
        int type;
        QStringList found;
    } cases[] = {
        { u"会議　東京"_qs, true, 0, { u"会議 東京"_qs } },
        { u"会議　東京"_qs, false, 0, { u"会議"_qs, u"会議 東京"_qs, u"東京出張"_qs } },
        { u"会議　　東京"_qs, true, 0, {} }, // an empty term never occurs
        { u"会議　　東京"_qs, false, 0, { u"会議"_qs, u"会議 東京"_qs, u"東京出張"_qs } },
        { u"会議,東京"_qs, true, 0, { u"会議 東京"_qs } },
        { u"A"_qs, false, 0, {} }, // the trail byte of "ア" is no "A"
        { u"ａ@"_qs, true, 0, { u"ａ@b"_qs } },
        { u"大阪"_qs, true, 1, { u"東京出張"_qs } },
        { u"出張"_qs, true, 2, { u"東京出張"_qs } },
        { u"FF"_qs, true, 2, {} }, // the colour is no part of the name
        { u"ア"_qs, true, 3, { u"東京出張"_qs } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        Search(c.text, c.all, c.type);
        EXPECT_EQ(Subjects(lw->FindList), c.found);
        EXPECT_EQ(lw->FindBox->title(), u"検索結果：全 %1 件"_qs.arg(c.found.size()));
        EXPECT_EQ(lw->ResultClear->isEnabled(), !c.found.isEmpty());
        if (!c.found.isEmpty()) {
            EXPECT_EQ(lw->ShownItem(), lw->SelectedItem(lw->FindList));
        }
    }
    EXPECT_EQ(TListWindow::SearchTerms(sjis::FromUtf8("ａ@")).size(), 1u);
    EXPECT_EQ(TListWindow::SearchTerms(sjis::FromUtf8("\"a b\"　c d")).size(), 3u);
    lw->ResultClear->click();
    EXPECT_EQ(lw->FindBox->title(), u"文字列検索"_qs);
    EXPECT_FALSE(lw->ResultClear->isEnabled());

    // History: Enter searches too (typed into the box, which hands the key
    // to its edit itself); an equal entry (ignoring case) moves to the top;
    // at most twenty entries, the oldest dropped.
    lw->FindString->clear();
    for (int i = 0; i < 21; ++i) {
        lw->FindString->setEditText(u" word%1 "_qs.arg(i));
        QTest::keyClick(lw->FindString, i % 2 ? Qt::Key_Return : Qt::Key_Enter);
    }
    ASSERT_EQ(lw->FindString->count(), 20);
    EXPECT_EQ(lw->FindString->itemText(0), u"word20"_qs);
    EXPECT_EQ(lw->FindString->itemText(19), u"word1"_qs);
    EXPECT_EQ(lw->FindString->currentText(), u"word20"_qs);
    Search(u"WORD5"_qs);
    EXPECT_EQ(lw->FindString->count(), 20);
    EXPECT_EQ(lw->FindString->itemText(0), u"WORD5"_qs);
    EXPECT_EQ(lw->FindString->findText(u"word5"_qs), -1);

    {
        DialogScript script;
        script.Press(msgdlg::No).Press(msgdlg::Yes);
        lw->HistDelete->trigger();
        EXPECT_EQ(lw->FindString->count(), 20);
        lw->HistDelete->trigger();
        EXPECT_EQ(lw->FindString->count(), 0);
        EXPECT_EQ(script.messages().at(0), u"履歴リストを消去します\r\nよろしいですか？"_qs);
    }
}

TEST_F(ListWindowTest, ToDoPageListsDeadlinesPastTheFiltersButSecretsOnlyWhenShown)
{
    Add({ "未完A", kToday, -1, 4 });
    Add({ "完了B", kToday - 1, -1, 4, true });
    Add({ "会社C", kToday + 2, 600, 4, false, 0, -1, 2 });
    Add({ "秘密D", kToday + 3, -1, 4, false, 0, -1, 1 });
    Add({ "普通E", kToday, -1, 1 });
    Cal()->SetPriorityFilter(0); // the calendar and the search hide every deadline...
    Cal()->SetKindMask(Cal()->GetKindMask() & ~4); // ...and company items
    Search(u"C"_qs);
    EXPECT_EQ(lw->FindList->topLevelItemCount(), 0);

    lw->InfoPage->setCurrentWidget(lw->TabTodo);
    EXPECT_EQ(Subjects(lw->TodoList), (QStringList { u"未完A"_qs, u"会社C"_qs }));
    EXPECT_EQ(lw->TodoKind->title(), u"全 2 件"_qs);
    EXPECT_EQ(Row(lw->TodoList, 1),
              (QStringList { u"2024/05/12"_qs, u"10:00"_qs, u"未"_qs, u"会社C"_qs }));
    EXPECT_EQ(lw->ShownItem(), lw->SelectedItem(lw->TodoList));
    lw->TodoKind->Button(1)->click();
    EXPECT_EQ(Subjects(lw->TodoList), QStringList { u"完了B"_qs });
    EXPECT_EQ(Row(lw->TodoList, 0)[2], u"○"_qs);
    lw->TodoKind->Button(2)->click();
    EXPECT_EQ(lw->TodoKind->title(), u"全 3 件"_qs);

    Cal()->SetDispKinds(Cal()->DispKinds() | KindSet(dkSecret));
    lw->TodoKind->Button(0)->click();
    EXPECT_EQ(Subjects(lw->TodoList), (QStringList { u"未完A"_qs, u"会社C"_qs, u"秘密D"_qs }));

    // A click moves the calendar to the item's date; the day list follows
    // unseen and leaves the pane alone.
    ClickRow(lw->TodoList, 2);
    EXPECT_EQ(Cal()->CurrentDate(), kToday + 3);
    EXPECT_EQ(Subjects(lw->TodoList).value(2), u"秘密D"_qs);
    EXPECT_EQ(lw->ShownItem()->Subject, sjis::FromUtf8("秘密D"));
}

TEST_F(ListWindowTest, AlarmMenuMarksWithoutSavingAndRemovesWithSaving)
{
    PEventData item = Add({ "鳴る", kToday, 600, 0, false, 0, -1, 0, "", "", "", 30 });
    const std::string sch = form->Calendar->ScheduleFileName();
    ASSERT_FALSE(sch.empty());
    auto fileThere = [&] { return QFile::exists(QString::fromStdString(sch)); };
    lw->AddDayItem(item);
    Select(lw->SchedList, 0);
    ASSERT_EQ(TListWindow::Popup(lw->BevelLabel3), lw->AlermPopup);

    struct Step
    {
        QAction* action;
        bool nAlerm, nAgain;
        bool alarmed;
        QString caption;
    };
    QFile::remove(QString::fromStdString(sch));
    for (const Step& s : { Step { lw->NAlerm, true, false, true, u" 05/10 09:30 [済]"_qs },
                           Step { lw->NAgain, false, true, false, u" 05/10 09:30 "_qs } }) {
        emit lw->AlermPopup->aboutToShow();
        EXPECT_EQ(lw->NAlerm->isEnabled(), s.nAlerm);
        EXPECT_EQ(lw->NAgain->isEnabled(), s.nAgain);
        EXPECT_TRUE(lw->NCancel->isEnabled());
        s.action->trigger();
        EXPECT_EQ(item->Alarmed, s.alarmed);
        EXPECT_EQ(lw->BevelLabel3->Caption(), s.caption);
        EXPECT_FALSE(fileThere()) << "a mark alone is not written";
    }
    // A change that is still waiting for its write is not dropped by a mark.
    Store().Modified = true;
    emit lw->AlermPopup->aboutToShow();
    lw->NAlerm->trigger();
    EXPECT_TRUE(fileThere());
    EXPECT_FALSE(Store().Modified);

    QFile::remove(QString::fromStdString(sch));
    lw->NCancel->trigger();
    EXPECT_EQ(item->AlarmBefore, 0);
    EXPECT_TRUE(fileThere());
    EXPECT_EQ(lw->BevelLabel3->Caption(), u"無し"_qs);
    EXPECT_EQ(TListWindow::Popup(lw->BevelLabel3), nullptr);
}

TEST_F(ListWindowTest, RowsNeverReachItemsThatLeftTheStore)
{
    for (int i = 0; i < 6; ++i)
        Add({ "項目" + std::to_string(i), kToday + i, -1, 4 });
    lw->InfoPage->setCurrentWidget(lw->TabFind);
    Search(u"項目"_qs);
    lw->TodoKind->Button(2)->click();
    ASSERT_EQ(lw->FindList->topLevelItemCount(), 6);
    ASSERT_EQ(lw->TodoList->topLevelItemCount(), 6);
    Select(lw->FindList, 5);

    // Deleted on another page: the shown item goes, both lists drop it.
    PEventData last = lw->ShownItem();
    ASSERT_NE(last, nullptr);
    Cal()->DeleteEvent(last);
    EXPECT_EQ(lw->FindList->topLevelItemCount(), 5);
    EXPECT_EQ(lw->TodoList->topLevelItemCount(), 5);
    EXPECT_NE(lw->ShownItem(), last);

    // Taken out behind the window's back: the rows stay but lead nowhere.
    PEventData first = lw->RowItem(lw->FindList->topLevelItem(0));
    Store().RemoveEvent(first);
    EXPECT_EQ(lw->RowItem(lw->FindList->topLevelItem(0)), nullptr);
    ClickRow(lw->FindList, 0);
    EXPECT_EQ(Cal()->CurrentDate(), kToday);
    EXPECT_EQ(lw->ShownItem(), nullptr);
    lw->UpdateItem(first, false); // a stale pointer is never read
    EXPECT_EQ(lw->FindList->topLevelItemCount(), 4);

    // Bulk delete: several removed, one notice.
    Select(lw->TodoList, 1);
    Store().RemoveEvent(lw->RowItem(lw->TodoList->topLevelItem(1)));
    Store().RemoveEvent(lw->RowItem(lw->TodoList->topLevelItem(2)));
    Cal()->SetModified(true);
    EXPECT_EQ(Subjects(lw->FindList), (QStringList { u"項目1"_qs, u"項目4"_qs }));
    EXPECT_EQ(lw->TodoKind->title(), u"全 2 件"_qs);

    // A merge that brings duplicates removes them as a bulk delete does.
    const std::string merged = dir + "merged.sch";
    ASSERT_TRUE(files::WriteAtomic(merged, Read("Kalvero.sch")));
    ASSERT_TRUE(Store().LoadFromFile(merged, true));
    Store().RemoveDuplicates();
    Cal()->SetModified(true);
    EXPECT_EQ(lw->FindList->topLevelItemCount(), 2);
    // A new file replaces every item.
    ASSERT_TRUE(Cal()->LoadSchedule(merged));
    Cal()->SetModified(true);
    EXPECT_EQ(lw->FindList->topLevelItemCount(), 0);
    EXPECT_EQ(lw->TodoList->topLevelItemCount(), 0);
    EXPECT_EQ(lw->FindBox->title(), u"検索結果：全 0 件"_qs);
    EXPECT_FALSE(lw->ResultClear->isEnabled());
}

TEST_F(ListWindowTest, SelectionMakesTheCurrentItemAndTheListsRunItsCommands)
{
    Add({ "単発", kToday, 600, 0, false, 0, -1, 0, "", "", "本文" });
    Add({ "毎日", kToday, 660, 0, false, kDaily });
    Cal()->SetCurrentDate(kToday + 1);
    Cal()->SetCurrentDate(kToday);
    ASSERT_EQ(Subjects(lw->SchedList), (QStringList { u"単発"_qs, u"毎日"_qs }));
    // The first row is selected: the current item, its memo in the memo view.
    ASSERT_NE(form->CurrentItem(), nullptr);
    EXPECT_EQ(form->CurrentItem(), lw->ShownItem());
    EXPECT_EQ(form->MemoForm->windowTitle(), u"単発"_qs);
    EXPECT_EQ(form->MemoForm->Memo1->toPlainText(), u"本文"_qs);
    EXPECT_TRUE(form->EditAction->isEnabled());
    EXPECT_TRUE(form->CutAction->isEnabled());
    EXPECT_FALSE(form->PasteAction->isEnabled());
    Select(lw->SchedList, 1);
    EXPECT_EQ(form->CurrentItem()->Subject, sjis::FromUtf8("毎日"));
    EXPECT_FALSE(form->CutAction->isEnabled()); // a series is not cut
    EXPECT_TRUE(form->DelAction->isEnabled());

    // Insert and a double click open the entry dialog; Delete asks first and
    // the row goes with the item.
    {
        ModalDriver driver;
        driver.Then([](QDialog* d) { d->reject(); }).Then([](QDialog* d) { d->reject(); });
        QTest::keyClick(lw->SchedList, Qt::Key_Insert);
        EXPECT_EQ(driver.shown(), 1);
        const QRect r = lw->SchedList->visualItemRect(lw->SchedList->topLevelItem(1));
        QTest::mouseClick(lw->SchedList->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(lw->SchedList->viewport(), Qt::LeftButton, {}, r.center());
        EXPECT_EQ(driver.shown(), 2);
    }
    {
        DialogScript script;
        script.Press(msgdlg::No).Press(msgdlg::Yes);
        QTest::keyClick(lw->SchedList, Qt::Key_Delete);
        EXPECT_EQ(Store().Count(), 2);
        QTest::keyClick(lw->SchedList, Qt::Key_Delete);
    }
    EXPECT_EQ(Store().Count(), 1);
    EXPECT_EQ(Subjects(lw->SchedList), QStringList { u"単発"_qs });
    EXPECT_EQ(form->CurrentItem(), lw->ShownItem());

    lw->SchedList->clearSelection();
    EXPECT_EQ(form->CurrentItem(), nullptr);
    EXPECT_FALSE(form->EditAction->isEnabled());
    EXPECT_FALSE(form->CutAction->isEnabled());
    EXPECT_EQ(form->MemoForm->windowTitle(), QString());
}

TEST(SearchTerms, RandomBytesSplitAndMatchByCharacters)
{
    // Random Shift_JIS-like queries and fields (lead bytes, trail bytes,
    // full-width spaces, commas, quotes, blanks) never break the split, and a
    // term matches a field exactly where it starts at a character start of
    // the field, found here by a walk of our own.
    std::mt19937 rng(20240510);
    const std::string pieces[] = { "\x81\x40", "\x83\x41", "A",    "@",    ",",    "\"",      " ",
                                   "\x82\x81", "\x81",     "\xE0", "\x41", "\x00", "\xFC\xFC" };
    auto randomText = [&] {
        std::string text;
        for (int n = int(rng() % 12); n > 0; --n)
            text += pieces[rng() % std::size(pieces)];
        return text;
    };
    auto foundAtCharacterStart = [](const std::string& field, const std::string& term) {
        for (std::size_t pos = 0; pos < field.size();) {
            if (field.compare(pos, term.size(), term) == 0)
                return true;
            const unsigned char c = static_cast<unsigned char>(field[pos]);
            pos += ((c >= 0x81 && c <= 0x9F) || c >= 0xE0) && c <= 0xFC ? 2 : 1;
        }
        return false;
    };
    int allMatched = 0, someMatched = 0;
    for (int round = 0; round < 3000; ++round) {
        const std::string query = randomText(), field = randomText();
        const std::vector<std::string> terms = TListWindow::SearchTerms(query);
        std::size_t found = 0;
        for (const std::string& term : terms) {
            EXPECT_EQ(sjis::Find(term, sjis::FromUtf8("\u3000")), std::string::npos) << round;
            found += !term.empty() && foundAtCharacterStart(field, term);
        }
        const bool all = !terms.empty() && found == terms.size();
        EXPECT_EQ(TListWindow::MatchTerms(field, terms, true), all) << round;
        EXPECT_EQ(TListWindow::MatchTerms(field, terms, false), found > 0) << round;
        allMatched += all;
        someMatched += found > 0;
    }
    // The random texts reach both outcomes of both modes.
    EXPECT_GT(allMatched, 50);
    EXPECT_LT(someMatched, 2950);
    EXPECT_FALSE(TListWindow::MatchTerms(sjis::FromUtf8("ア"), { "A" }, false));
    EXPECT_TRUE(TListWindow::MatchTerms(sjis::FromUtf8("ア A"), { "A" }, true));
    EXPECT_FALSE(TListWindow::MatchTerms("abc", {}, false));
    EXPECT_FALSE(TListWindow::MatchTerms("abc", { "a", "" }, true));
    EXPECT_TRUE(TListWindow::MatchTerms("abc", { "a", "" }, false));
}

} // namespace
