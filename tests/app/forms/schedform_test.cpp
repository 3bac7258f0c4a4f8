// The main window driven through its components: a fresh start, settings in
// and out, the hot keys, the settings flow, bounds, failing start-up steps,
// shutdown and the export history.
#include "mainwin_fixture.h"
#include "support/testutil.h"

#include "app/forms/enterform.h"
#include "app/forms/listwindow.h"
#include "app/forms/memoform.h"
#include "controls/bevlabel.h"
#include "controls/btnlabel.h"
#include "controls/customdock.h"
#include "core/sjis.h"
#include "gui/qtext.h"
#include "view/wscheduler.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string Value(const std::string& ini, const std::string& key)
{
    for (const std::string& line : Lines(ini))
        if (line.rfind(key + "=", 0) == 0)
            return line.substr(key.size() + 1);
    return "<none>";
}

TEST_F(MainWindowTest, FreshStartShowsTheDefaultWindowAndWritesOnlyTheSettings)
{
    Create();
    Show();
    EXPECT_EQ(form->size(), QSize(520, 420));
    EXPECT_EQ(form->Calendar->GridType(), gtMonthly);
    EXPECT_EQ(form->ListWindow->DockedArea(), Qt::LeftDockWidgetArea);
    EXPECT_TRUE(form->ListWindow->isVisible());
    EXPECT_EQ(form->MemoForm->DockedArea(), Qt::BottomDockWidgetArea);
    EXPECT_TRUE(form->MemoForm->isVisible());
    // Every page of the list window can be reached without scrolling, its
    // tab whole in view.
    QTabBar* tabs = form->ListWindow->InfoPage->tabBar();
    ASSERT_EQ(tabs->count(), 5);
    for (int i = 0; i < tabs->count(); ++i)
        EXPECT_TRUE(tabs->rect().contains(tabs->tabRect(i))) << tabs->tabText(i).toStdString();
    // Every day number is drawn whole at the default size.
    TWScheduler* cal = form->Calendar;
    for (int i = 0; i < 42; ++i) {
        const TGridCoord cell = cal->DateCell(cal->FirstCellDate() + i);
        const calpaint::CellModel m = cal->CellModel(cell.X, cell.Y, 0);
        const calpaint::TextPiece* number = m.Find(calpaint::TextRole::DayNumber);
        ASSERT_NE(number, nullptr);
        const QFontMetrics metrics(number->font);
        EXPECT_TRUE(m.content.contains(
            QRect(number->box.topLeft(),
                  QSize(metrics.horizontalAdvance(number->text), metrics.height()))))
            << number->text.toStdString() << " in " << m.content.height() << " pixels";
    }
    EXPECT_TRUE(form->ViewListBtn->isChecked());
    EXPECT_EQ(form->ViewListBtn->property("imageIndex").toInt(), 14);
    EXPECT_EQ(form->MemoView->property("imageIndex").toInt(), 16);
    EXPECT_EQ(form->windowTitle(), qtext::ToQ(strconst::ProgramProductName()));
    EXPECT_EQ(msgdlg::AppTitle(), form->windowTitle());
    EXPECT_EQ(form->ListWindow->windowTitle(), u"リストビュー"_qs);
    EXPECT_EQ(form->HereLabel->Caption(), u"2025年 3月"_qs); // the fixture's today
    // No hot key is set in a fresh settings file.
    EXPECT_EQ(keys->RegisteredCount(), 0u);
    EXPECT_TRUE(form->AlermTimer1->isActive());
    form->close();
    Close();

    EXPECT_EQ(Files(), QStringList({ u"Kalvero.ini"_qs }));
    const std::vector<std::string> lines = Lines(Read("Kalvero.ini"));
    EXPECT_EQ(lines.size(), 51u);
    EXPECT_EQ(lines.front(), "MAINVIEW=0,0,520,420");
    EXPECT_EQ(lines[1], "LISTVIEW=3,1,0,0,0,230,210");
    EXPECT_EQ(lines[2], "MEMOVIEW=2,1,0,0,0,230,210");
    EXPECT_EQ(lines.back(), "DISPROKUYO=1");
}

TEST_F(MainWindowTest, ComponentsCarryTheirNamesAndTexts)
{
    Create();
    for (const char* name :
         { "ToolBar1",    "HideBtn",     "AddFileBtn",   "NewBtn",     "EditBtn",
           "ToolButton4", "ToolButton7", "DelBtn",       "EraseBtn",   "ViewListBtn",
           "MemoView",    "ExportBtn",   "SetupBtn",     "Separater",  "GridType",
           "Padding",     "Personal",    "Official",     "ImportBtn",  "CalendarPanel",
           "ToolBar2",    "PrevYear",    "PrevPage",     "HereLabel",  "NextPage",
           "NextYear",    "Calendar",    "TitleCaption", "ListWindow", "MemoForm",
           "Memo1",       "InfoPage",    "MemoData",     "SchedList",  "FindString" })
        EXPECT_NE(form->findChild<QWidget*>(QLatin1String(name)), nullptr) << name;
    for (const char* name : { "DockLeft", "DockRight", "DockBottom", "AlermTimer1", "OptPopup",
                              "EditPopup", "DispPriority", "MoveDirect" })
        EXPECT_NE(form->findChild<QObject*>(QLatin1String(name)), nullptr) << name;

    EXPECT_EQ(form->DispPriority->property("tag").toInt(), -1);
    EXPECT_EQ(form->PM_Mid->property("tag").toInt(), 2);
    EXPECT_EQ(form->PrevYear->toolTip(), u"前の年へ"_qs);
    EXPECT_EQ(form->NextYear->property("tag").toInt(), 21);
    EXPECT_EQ(form->ImportBtn->property("imageIndex").toInt(), 26);

    // The program's own captions and items.
    EXPECT_EQ(form->HideBtn->toolTip(), u"タスクトレイに入れる"_qs);
    EXPECT_EQ(form->SendTo->title(), u"コピー＆送信..."_qs);
    EXPECT_TRUE(form->PImport->isVisible());
    EXPECT_FALSE(form->QuickLink->menuAction()->isVisible());
    EXPECT_FALSE(form->N2->isVisible());
    // The list window's pages.
    QTabWidget* pages = form->ListWindow->InfoPage;
    ASSERT_EQ(pages->count(), 5);
    EXPECT_EQ(pages->tabText(0), u"予定リスト"_qs);
    EXPECT_EQ(pages->tabText(4), u"ToDo"_qs);
}

TEST_F(MainWindowTest, SettingsAreAppliedAndWrittenBack)
{
    CopyHolidays();
    Write("Kalvero.ini",
          SJ("TITLE=仕事の予定\r\nWEEKLYDISP=1\r\nSTARTOFWEEK=1\r\nDISPTYPE=7\r\n"
             "LISTVIEW=4,1,0,0,0,200,180\r\nMEMOVIEW=3,0,0,0,0,230,210\r\n"
             "MAINVIEW=10,20,2010,320\r\nEVENTFONT=IPAGothic,128,$0000FF,1,14,2\r\n"
             "MEMOFONT=IPAPGothic,128,$008000,0,11,0\r\n"
             "BACKCOLOR=$E0FFE0\r\nTODAYCOLOR=$C0C0FF\r\nSCHEDCOLOR=$D0D0D0\r\n"
             "MEMOTITLE=ノート\r\nPHONETAB=0\r\nAUTOTITLE=0\r\nTIMEDISP=1\r\n"
             "FINDLIST=会議,\"a b\"\r\nREDUCEDAY=1\r\nDATECOLUMN=120\r\nFOO=kept\r\n"
             "SUBJECT=定例会,\"x y\"\r\nPLACE=本社\r\nTYPES=仕事:FF0000\r\nLASTKIND=1\r\n"));
    Create();
    Show();
    EXPECT_EQ(form->windowTitle(), u"仕事の予定"_qs);
    EXPECT_EQ(msgdlg::AppTitle(), u"仕事の予定"_qs);
    EXPECT_EQ(form->Calendar->GridType(), gtWeekly);
    EXPECT_TRUE(form->GridAction->isChecked());
    EXPECT_EQ(form->GridAction->property("imageIndex").toInt(), 37);
    EXPECT_EQ(form->PrevPage->toolTip(), u"前週へ"_qs);
    EXPECT_EQ(form->NextPage->toolTip(), u"翌週へ"_qs);
    EXPECT_EQ(form->Calendar->StartOfWeek(), 1);
    // The secret bit never survives a start.
    EXPECT_EQ(form->Calendar->GetKindMask(), 6);
    EXPECT_FALSE(form->NSecret->isChecked());
    EXPECT_EQ(form->PrivAction->property("tag").toInt(), 0);
    EXPECT_EQ(form->WorkAction->property("imageIndex").toInt(), 12);
    EXPECT_EQ(form->ListWindow->DockedArea(), Qt::RightDockWidgetArea);
    EXPECT_EQ(form->MemoForm->DockedArea(), Qt::LeftDockWidgetArea);
    EXPECT_FALSE(form->MemoForm->isVisible());
    // 2000 wide does not fit the screen: half the screen's width.
    const QSize screen = QGuiApplication::primaryScreen()->size();
    EXPECT_EQ(form->width(), screen.width() / 2);
    EXPECT_EQ(form->height(), 300);
    EXPECT_EQ(form->Calendar->EventFont().pointSize(), 14);
    EXPECT_TRUE(form->Calendar->EventFont().bold());
    EXPECT_EQ(form->Calendar->EventFontColor(), 0x0000FF);
    EXPECT_EQ(form->MemoForm->Memo1->font().pointSize(), 11);
    EXPECT_EQ(form->MemoForm->Memo1->palette().color(QPalette::Text), QColor(0, 128, 0));
    EXPECT_EQ(form->Calendar->Color(), 0xE0FFE0);
    EXPECT_EQ(form->Calendar->TodayColor(), 0xC0C0FF);
    EXPECT_EQ(form->ListWindow->SchedList->palette().color(QPalette::Base),
              QColor(0xD0, 0xD0, 0xD0));
    EXPECT_EQ(form->ListWindow->InfoPage->tabText(2), u"ノート"_qs);
    EXPECT_FALSE(form->ListWindow->PageVisible(form->ListWindow->TabPhone));
    EXPECT_TRUE(form->ListWindow->PageVisible(form->ListWindow->TabFind));
    EXPECT_FALSE(form->NAutoMark->isChecked());
    EXPECT_TRUE(form->NBegTime->isChecked());
    EXPECT_FALSE(form->NBegTime->isEnabled());
    EXPECT_TRUE(form->Calendar->ThinHoliday());
    EXPECT_EQ(form->Calendar->DateWidth(), 120);
    ASSERT_EQ(form->ListWindow->FindString->count(), 2);
    EXPECT_EQ(form->ListWindow->FindString->itemText(1), u"a b"_qs);

    // The view switches changed through the window go back into the file.
    form->GridAction->trigger();
    EXPECT_EQ(form->Calendar->GridType(), gtMonthly);
    EXPECT_EQ(form->PrevPage->toolTip(), u"前月へ"_qs);
    form->move(30, 40);
    form->resize(500, 350);
    Settle();
    form->ListWindow->FindString->insertItem(0, u"新しい"_qs);
    Close();

    const std::string ini = Read("Kalvero.ini");
    EXPECT_EQ(Value(ini, "TITLE"), SJ("仕事の予定"));
    EXPECT_EQ(Value(ini, "WEEKLYDISP"), "0");
    EXPECT_EQ(Value(ini, "DISPTYPE"), "6");
    EXPECT_EQ(Value(ini, "STARTOFWEEK"), "1");
    EXPECT_EQ(Value(ini, "MAINVIEW"), "30,40,530,390");
    EXPECT_EQ(Value(ini, "LISTVIEW").substr(0, 4), "4,1,");
    EXPECT_EQ(Value(ini, "MEMOVIEW").substr(0, 4), "3,0,");
    EXPECT_EQ(Value(ini, "FINDLIST"), SJ("新しい,会議,\"a b\""));
    EXPECT_EQ(Value(ini, "EVENTFONT"), "IPAGothic,128,$0000FF,1,14,2");
    EXPECT_EQ(Value(ini, "BACKCOLOR"), std::to_string(0xE0FFE0));
    EXPECT_EQ(Value(ini, "TIMEDISP"), "1");
    EXPECT_EQ(Value(ini, "FOO"), "kept");
    // The entry dialog's histories pass through it unchanged.
    EXPECT_EQ(Value(ini, "SUBJECT"), SJ("定例会,\"x y\""));
    EXPECT_EQ(Value(ini, "PLACE"), SJ("本社"));
    EXPECT_EQ(Value(ini, "TYPES"), SJ("仕事:FF0000"));
    EXPECT_EQ(Value(ini, "LASTKIND"), "1");
}

TEST_F(MainWindowTest, BoundsOfNoSizeOrOffEveryScreenAreMended)
{
    Write("Kalvero.ini", "MAINVIEW=100,50,100,-20\r\n");
    Create();
    EXPECT_EQ(form->size(), QSize(520, 420));
    form.reset();

    Write("Kalvero.ini", "MAINVIEW=9000,-7000,9300,-6800\r\n");
    Create();
    EXPECT_EQ(form->size(), QSize(300, 200));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(form->geometry())) << form->geometry().x();
    form.reset();

    // Partly off the screen: moved wholly onto it.
    Write("Kalvero.ini", "MAINVIEW=-100,10,300,310\r\n");
    Create();
    EXPECT_EQ(form->pos(), QPoint(screen.left(), 10));
}

TEST_F(MainWindowTest, HotKeysShowHideRaiseAndMaximise)
{
    Write("Kalvero.ini", "INVOKE=49227\r\nRESIZE=49229\r\n"); // Ctrl+Alt+K, Ctrl+Alt+M
    const std::uint16_t invoke = 0xC04B, resize = 0xC04D;
    Create();
    EXPECT_EQ(keys->Registered(0), invoke);
    EXPECT_EQ(keys->Registered(1), resize);
    Show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));

    // In front: hidden. Hidden: shown and in front.
    EXPECT_TRUE(keys->Press(invoke));
    Settle();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(keys->Press(invoke));
    Settle();
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));

    // Behind another window: brought forward, not hidden.
    QWidget other;
    other.resize(200, 100);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_FALSE(form->isActiveWindow());
    keys->Press(invoke);
    Settle();
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));

    // RESIZE toggles maximised.
    keys->Press(resize);
    Settle();
    EXPECT_TRUE(form->isMaximized());
    keys->Press(resize);
    Settle();
    EXPECT_FALSE(form->isMaximized());

    // On a hidden window RESIZE opens the settings without showing it; no
    // hot key is held while the dialog is open.
    form->hide();
    std::size_t heldDuringDialog = 99;
    bool visibleDuringDialog = true;
    setup->onExecute = [&] {
        heldDuringDialog = keys->RegisteredCount();
        visibleDuringDialog = form->isVisible();
        return false;
    };
    keys->Press(resize);
    Settle();
    EXPECT_EQ(setup->executed, 1);
    EXPECT_EQ(heldDuringDialog, 0u);
    EXPECT_FALSE(visibleDuringDialog);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(keys->Registered(0), invoke);
    EXPECT_EQ(keys->Registered(1), resize);
}

TEST_F(MainWindowTest, SettingsFlowAppliesAfterOkAndAlwaysRestoresTheKeys)
{
    Write("Kalvero.ini", "INVOKE=49227\r\nCLOCKDISP=1\r\n");
    Create();
    Show();
    form->Separater->setText(u"12:00"_qs);

    // Cancel: the changes the dialog left are not applied.
    setup->onExecute = [&] {
        InitParam.Title = "Changed";
        return false;
    };
    form->SetupAction->trigger();
    EXPECT_NE(form->windowTitle(), u"Changed"_qs);
    EXPECT_TRUE(form->Separater->text().isEmpty());
    EXPECT_EQ(keys->Registered(0), 0xC04B);

    // OK: the settings reach the window; a new key is registered.
    setup->onExecute = [&] {
        InitParam.Title = "Changed";
        InitParam.WeeklyDisp = true;
        InitParam.Resize = 0x2000 | 0x71; // Shift+F2
        // The settings flow cannot start twice.
        form->ShowSetup();
        return true;
    };
    form->SetupAction->trigger();
    EXPECT_EQ(setup->executed, 2);
    EXPECT_EQ(form->windowTitle(), u"Changed"_qs);
    EXPECT_EQ(form->Calendar->GridType(), gtWeekly);
    EXPECT_EQ(form->PrevPage->toolTip(), u"前週へ"_qs);
    EXPECT_EQ(keys->Registered(1), 0x2071);

    // A dialog that fails: reported, and the keys are back all the same.
    DialogScript script;
    script.Press(msgdlg::Ok);
    setup->onExecute = []() -> bool { throw std::runtime_error("dialog broke"); };
    form->SetupAction->trigger();
    EXPECT_EQ(script.messages(), std::vector<QString>({ u"dialog broke."_qs }));
    EXPECT_EQ(keys->Registered(0), 0xC04B);
    EXPECT_EQ(keys->Registered(1), 0x2071);
    // The view switches were stored before the dialog opened.
    EXPECT_TRUE(InitParam.WeeklyDisp);
}

TEST_F(MainWindowTest, WhileAModalDialogIsOpenSetupWaitsAndInvokeOnlyRaises)
{
    Write("Kalvero.ini", "INVOKE=49227\r\n");
    Create();
    Show();
    QDialog dialog(form.get());
    dialog.setModal(true);
    dialog.show();
    Settle();
    ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
    form->ShowSetup();
    EXPECT_EQ(setup->executed, 0);
    form->activateWindow();
    Settle();
    keys->Press(0xC04B);
    Settle();
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(dialog.isVisible());
    dialog.hide();
    form->ShowSetup();
    EXPECT_EQ(setup->executed, 1);
}

TEST_F(MainWindowTest, HistoriesLoadNoMoreEntriesThanTheyKeep)
{
    std::string many;
    for (int i = 0; i < 25; ++i)
        many += "e" + std::to_string(i) + ",";
    Write("Kalvero.ini", "FINDLIST=" + many + "\r\nSUBJECT=" + many + "\r\nPLACE=" + many + "\r\n");
    Create();
    for (const QComboBox* box :
         { form->ListWindow->FindString, form->EnterForm->Subject, form->EnterForm->Place }) {
        ASSERT_EQ(box->count(), 20) << box->objectName().toStdString();
        EXPECT_EQ(box->itemText(19), u"e19"_qs);
    }
}

TEST_F(MainWindowTest, FailingStartUpStepIsReportedOnceAndTheRestRuns)
{
    // A folder where the holiday file belongs cannot be read.
    ASSERT_TRUE(QDir(tmp.path()).mkdir(u"Kalvero.hol"_qs));
    Write("Kalvero.sch", "");
    Write("Kalvero.ini", "INVOKE=49227\r\nWEEKLYDISP=1\r\n");
    {
        DialogScript script;
        script.Press(msgdlg::Ok);
        Create();
        ASSERT_EQ(script.shown().size(), 1u);
        EXPECT_EQ(script.shown()[0].kind, msgdlg::Kind::Error);
    }
    // The schedule, the grid and the hot keys came after the failure.
    EXPECT_EQ(form->Calendar->ScheduleFileName(), dir + "Kalvero.sch");
    EXPECT_EQ(form->Calendar->GridType(), gtWeekly);
    EXPECT_EQ(keys->Registered(0), 0xC04B);
    TEventData item;
    item.Date = days::Encode(2025, 3, 14);
    item.Subject = "saved";
    form->Calendar->AddEvent(item);
    EXPECT_NE(Read("Kalvero.sch").find("saved"), std::string::npos);
}

TEST_F(MainWindowTest, RecordsBefore1900AreCountedAtLoadAndKept)
{
    const std::string old = TestData("schedule/subject-line-break.resaved.sch");
    Write("Kalvero.sch", old);
    DialogScript script;
    script.Press(msgdlg::Ok);
    Create();
    EXPECT_NE(script.shown().at(0).sjisText().find(SJ("表示できない予定が1件")), std::string::npos);
    form->Calendar->Store().SetModified(true);
    EXPECT_EQ(Read("Kalvero.sch"), old);
}

TEST_F(MainWindowTest, ADamagedScheduleIsReportedOnceAtLoadAndKeptBeforeItIsRewritten)
{
    auto record = [](const char* subject) {
        return "*2024/01/01,2024/01/31,10:00,11:00,\"" + sjis::FromUtf8(subject) +
            "\",\"\",\"\",\"\",0,0,0@" + SJ("分前") + ",\"\"\r\n";
    };
    // A quote typed into a subject, and a line of no record at the end.
    const std::string original = record("会議") + record("出\"張") + record("歯医者") + "garbage";
    Write("Kalvero.sch", original);
    {
        DialogScript script;
        script.Press(msgdlg::Ok);
        Create();
        ASSERT_EQ(script.shown().size(), 1u);
        EXPECT_EQ(script.shown()[0].kind, msgdlg::Kind::Warning);
        EXPECT_EQ(
            script.shown()[0].sjisText(),
            SJ("予定表ファイル Kalvero.sch に読み込めない予定が2件あったため、読み飛ばしました。"
               "\r\n　2行目: 項目の数が正しくありません\r\n　4行目: 項目の数が正しくありま"
               "せん\r\n元のファイルは、最初に保存するときに Kalvero.bak として同じフォルダ"
               "に残します。"));
    }
    EXPECT_EQ(form->Calendar->Store().Count(), 2);
    EXPECT_EQ(Read("Kalvero.sch"), original);
    EXPECT_FALSE(files::Exists(dir + "Kalvero.bak"));

    DialogScript none;
    TEventData item;
    item.Date = days::Encode(2025, 3, 14);
    item.Subject = "new";
    form->Calendar->AddEvent(item);
    EXPECT_EQ(Read("Kalvero.bak"), original);
    EXPECT_NE(Read("Kalvero.sch").find(record("歯医者")), std::string::npos);
}

TEST_F(MainWindowTest, ShutdownSavesAModifiedScheduleBeforeAnythingIsFreed)
{
    Create();
    // The first write fails (a folder in the file's place): the change stays
    // marked in memory.
    ASSERT_TRUE(QDir(tmp.path()).mkdir(u"Kalvero.sch"_qs));
    form->Calendar->LoadSchedule(dir + "Kalvero.sch");
    {
        DialogScript script;
        script.Press(msgdlg::Ok);
        TEventData item;
        item.Date = days::Encode(2025, 3, 14);
        item.Subject = "pending";
        form->Calendar->AddEvent(item);
        EXPECT_EQ(script.shown().size(), 1u);
    }
    EXPECT_TRUE(form->Calendar->Store().Modified);
    ASSERT_TRUE(QDir(tmp.path()).rmdir(u"Kalvero.sch"_qs));
    Close();
    EXPECT_NE(Read("Kalvero.sch").find("pending"), std::string::npos);
}

TEST_F(MainWindowTest, ClosingSavesTheScheduleAndHideMinimisesWithoutATray)
{
    Write("Kalvero.sch", "");
    Create();
    trayIcon->available = false;
    Show();
    form->HideBtnClick();
    Settle();
    EXPECT_TRUE(form->isMinimized());
    form->BringForward();
    Settle();
    EXPECT_FALSE(form->isMinimized());
    EXPECT_TRUE(form->isVisible());

    // A change still marked as not written (a write that failed earlier)
    // reaches the file when the window closes.
    TEventData item;
    item.Date = days::Encode(2025, 3, 14);
    item.Subject = "before";
    form->Calendar->AddEvent(item);
    form->Calendar->Store().All().front()->Subject = "changed in memory";
    form->Calendar->Store().Modified = true;
    EXPECT_EQ(Read("Kalvero.sch").find("changed in memory"), std::string::npos);
    form->CloseAction->trigger();
    Settle();
    EXPECT_FALSE(form->isVisible());
    EXPECT_NE(Read("Kalvero.sch").find("changed in memory"), std::string::npos);
}

TEST_F(MainWindowTest, ExportKeepsItsFileHistory)
{
    Write("Kalvero.ini", "EXPORTFILE=a.vcs,,\"my file.csv\"\r\n");
    Create();
    std::vector<std::string> offered;
    bool noSecretEnabled = true;
    onExport = [&](FakeExportDialog& d) {
        offered = d.names;
        noSecretEnabled = d.noSecretEnabled;
        d.names.insert(d.names.begin(), "new.vcs");
        return true;
    };
    form->ExportBtn->click();
    EXPECT_EQ(offered, std::vector<std::string>({ "a.vcs", "my file.csv" }));
    EXPECT_FALSE(noSecretEnabled);
    EXPECT_EQ(InitParam.ExportFile, "new.vcs,a.vcs,\"my file.csv\"");

    // Nothing exported: the history stays.
    onExport = [&](FakeExportDialog& d) {
        d.names = { "x.csv" };
        return false;
    };
    form->NSecret->setChecked(true);
    form->ExportBtn->click();
    EXPECT_EQ(InitParam.ExportFile, "new.vcs,a.vcs,\"my file.csv\"");
}

TEST_F(MainWindowTest, ClockShowsTheFixedFormWhenSwitchedOn)
{
    EXPECT_EQ(TSchedForm::ClockText(days::MomentOf(days::Encode(2024, 3, 5), 9 * 60 + 7) + 3),
              u"2024年3月5日 9:07:03 "_qs);
    days::FixedClock clock(days::MomentOf(days::Encode(2024, 12, 31), 23 * 60 + 59) + 59);
    Write("Kalvero.ini", "CLOCKDISP=1\r\n");
    Create();
    Show();
    form->AlermTimer1Timer();
    Settle();
    // At the default size the clock gives way, its date first, and the
    // buttons after it stay on the bar.
    EXPECT_EQ(form->Separater->text(), u"23:59:59 "_qs);
    for (QWidget* button : { form->GridType, form->Personal, form->Official, form->ImportBtn })
        EXPECT_TRUE(button->isVisible()) << button->objectName().toStdString();
    form->resize(900, 420);
    Settle();
    EXPECT_EQ(form->Separater->text(), u"2024年12月31日 23:59:59 "_qs);
    // Switched off, the label keeps its last text.
    InitParam.ClockDisp = false;
    clock.Advance(1);
    form->AlermTimer1Timer();
    EXPECT_EQ(form->Separater->text(), u"2024年12月31日 23:59:59 "_qs);
}

} // namespace
