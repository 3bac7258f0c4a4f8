// The export dialog driven through its widgets: format detection, the range
// buttons, what Execute prepares, the file-name history, writing and marking
// (and nothing of either on failure or Cancel), the missing template, the
// main window's button, and a screenshot under a window manager.
#include "app/forms/datepicker.h"
#include "app/forms/exportform.h"
#include "controls/bevlabel.h"
#include "core/files.h"
#include "core/schedlist.h"
#include "core/sjis.h"
#include "gui/qtext.h"
#include "gui/qtjapanese.h"
#include "view/wscheduler.h"

#include "mainwin_fixture.h"
#include "modal_driver.h"
#include "support/dialog_script.h"
#include "support/testutil.h"
#include "support/wm_screenshot.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <set>

namespace {

const std::string kData = KALVERO_SOURCE_DIR "/tests/data/export/";

class ExportFormTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(files::Copy(kData + "edge-cases.sch", schedule));
        ASSERT_TRUE(calendar.LoadSchedule(schedule));
        calendar.SetKindMask(7);
        calendar.SetCurrentDate(D(2024, 5, 8));
    }

    QString Path(const char* name) const { return QString::fromStdString(dir.path + name); }
    // Runs the export of the week of the golden files into a file.
    void ExportWeek(const QString& name)
    {
        form.FileName->setEditText(name);
        form.StartDate->SetDay(D(2024, 5, 8));
        form.LimitDate->SetDay(D(2024, 5, 14));
        form.ExecBtn->click();
    }
    PEventData Find(const char* subject)
    {
        for (PEventData item : calendar.Store().All())
            if (item->Subject == sjis::FromUtf8(subject))
                return item;
        return nullptr;
    }

    days::FixedClock clock { days::MomentOf(D(2024, 2, 29), 600) };
    TempDir dir;
    const std::string schedule = dir.path + "Kalvero.sch";
    TWScheduler calendar;
    TExportForm form { nullptr, &calendar };
};

TEST_F(ExportFormTest, TheExtensionPicksTheFormat)
{
    const struct
    {
        const char* name;
        const char* shown;
        bool exec;
        bool headLine;
    } cases[] = {
        { "/tmp/out.VCS", "vCalendar (for Palm Desktop v4.01日本語版)", true, false },
        { "out.csv", "CSV (for Ruputer PCアプリ v2)", true, true },
        { "layout.cvf", "CSVテンプレート(.cvf)", true, true },
        { "out.txt", "不明", false, false },
        { "", "不明", false, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        form.FileName->setEditText(QString::fromUtf8(c.name));
        EXPECT_EQ(form.OutputType->Caption(), QString::fromUtf8(c.shown));
        EXPECT_EQ(form.ExecBtn->isEnabled(), c.exec);
        EXPECT_EQ(form.AddHeadLine->isEnabled(), c.headLine);
    }
}

TEST_F(ExportFormTest, RangeButtonsEnableTheirControls)
{
    const struct
    {
        QRadioButton* button;
        bool start, limit, note;
    } cases[] = {
        { form.RadioButton2, true, false, true },
        { form.RadioButton3, false, false, true },
        { form.RadioButton1, true, true, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button->objectName().toStdString());
        c.button->click();
        EXPECT_EQ(form.StartDate->isEnabled(), c.start);
        EXPECT_EQ(form.LimitDate->isEnabled(), c.limit);
        EXPECT_EQ(form.Label3->isEnabled(), c.limit);
        EXPECT_EQ(form.Label4->isEnabled(), c.note);
    }
}

TEST_F(ExportFormTest, ExecutePreparesDatesLimitAndRange)
{
    form.RadioButton3->click();
    ModalDriver driver;
    driver.Then<TExportForm>([&](TExportForm* d) {
        EXPECT_EQ(d->StartDate->Day(), D(2024, 5, 8));
        EXPECT_EQ(d->LimitDate->Day(), D(2024, 6, 8)); // May has 31 days
        // Today is 29 February: the limit a year on is 28 February.
        EXPECT_EQ(d->Label4->text(), u"※無期限の予定は 2025/2/28 まで展開します"_qs);
        EXPECT_TRUE(d->RadioButton1->isChecked());
        EXPECT_EQ(d->Range(), exporter::ExportRange::Days);
        d->StartDate->SetDay(D(2024, 7, 1));
        EXPECT_EQ(d->LimitDate->Day(), D(2024, 8, 1));
        d->BitBtn2->click();
    });
    EXPECT_FALSE(form.Execute());
}

TEST_F(ExportFormTest, NoSecretIsClearedWhenItMayNotBeChosen)
{
    form.NoSecret->setChecked(true);
    form.SetNoSecretEnabled(false);
    EXPECT_FALSE(form.NoSecret->isEnabled());
    EXPECT_FALSE(form.NoSecret->isChecked());
}

TEST_F(ExportFormTest, WrittenFileMarksSingleItemsAndSavesThemAtOnce)
{
    form.SetFileNames({ dir.path + "a.vcs", dir.path + "week.vcs", dir.path + "c.vcs" });
    ExportWeek(Path("week.vcs"));
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_TRUE(ReadFile(dir.path + "week.vcs") == ReadFile(kData + "edge-cases-week.vcs"));
    EXPECT_EQ(form.FileNames(),
              (std::vector<std::string> { dir.path + "week.vcs", dir.path + "a.vcs",
                                          dir.path + "c.vcs" }));
    // The marks are in the schedule file already: single items written
    // (and those marked before), not series nor items left out.
    TSchedList saved;
    ASSERT_TRUE(saved.OpenFile(schedule));
    const std::set<std::string> marked { "打合せ", "終日の予定", "夜勤", "エクスポート済みの予定" };
    const std::set<std::string> unmarked { "朝の体操", "取消した予定", "対象外の予定", "遠い予定" };
    for (const TEventData* item : saved.All()) {
        const std::string subject = sjis::ToUtf8(item->Subject);
        if (marked.count(subject) + unmarked.count(subject) != 0) {
            EXPECT_EQ(item->Exported, marked.count(subject) != 0) << subject;
        }
    }

    // The next export leaves the marked items out; series come again.
    ExportWeek(Path("again.vcs"));
    const std::string again = ReadFile(dir.path + "again.vcs");
    EXPECT_FALSE(sjis::Contains(again, SJ("SUMMARY:打合せ")));
    EXPECT_TRUE(sjis::Contains(again, SJ("SUMMARY:朝の体操")));
}

TEST_F(ExportFormTest, FailedWriteMarksNothingAndSaysWhy)
{
    const std::string before = ReadFile(schedule);
    form.SetFileNames({ dir.path + "a.vcs" });
    const QString name = Path("no-such-folder/out.vcs");
    DialogScript script;
    script.Press(msgdlg::Ok);
    ExportWeek(name);
    ASSERT_EQ(script.shown().size(), 1u);
    EXPECT_EQ(script.shown()[0].kind, msgdlg::Kind::Error);
    EXPECT_TRUE(script.shown()[0].text.startsWith(u"エクスポートファイルが書き込めません!"_qs));
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.FileNames(), std::vector<std::string> { dir.path + "a.vcs" });
    EXPECT_FALSE(Find("打合せ")->Exported);
    EXPECT_TRUE(ReadFile(schedule) == before);
}

TEST_F(ExportFormTest, MissingTemplateIsReportedAndAFoundOneWritesCsv)
{
    const QString missing = Path("nothing.cvf");
    form.SetFileNames({ qtext::FromQ(missing) });
    {
        DialogScript script;
        script.Press(msgdlg::Ok);
        ExportWeek(missing);
        ASSERT_EQ(script.messages().size(), 1u);
        EXPECT_EQ(script.messages()[0], missing + u" が見つかりません！"_qs);
    }
    EXPECT_TRUE(form.FileNames().empty());
    EXPECT_FALSE(files::Exists(dir.path + "nothing.csv"));

    ASSERT_TRUE(files::Copy(kData + "edge-cases.cvf", dir.path + "layout.cvf"));
    form.AddHeadLine->setChecked(false);
    ExportWeek(Path("layout.cvf"));
    const std::string csv = ReadFile(dir.path + "layout.csv");
    EXPECT_EQ(csv.substr(0, 14), "\"2024/05/08\",\"");
}

TEST_F(ExportFormTest, CancelOnTheProgressWritesAndMarksNothing)
{
    form.ProgressDelay = 0;
    const std::vector<std::string> history { dir.path + "a.vcs", dir.path + "week.vcs" };
    form.SetFileNames(history);
    ModalDriver driver;
    driver.Then<QProgressDialog>([](QProgressDialog* progress) {
        QPushButton* cancel = progress->findChild<QPushButton*>();
        ASSERT_NE(cancel, nullptr);
        EXPECT_EQ(cancel->text(), u"キャンセル"_qs);
        cancel->click();
    });
    const std::string before = ReadFile(schedule);
    ExportWeek(Path("week.vcs"));
    EXPECT_EQ(driver.shown(), 1);
    EXPECT_FALSE(files::Exists(dir.path + "week.vcs"));
    EXPECT_FALSE(Find("打合せ")->Exported);
    EXPECT_TRUE(ReadFile(schedule) == before);
    // The dialog stays for another try, its history as it was.
    EXPECT_NE(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.FileNames(), history);
    EXPECT_EQ(form.FileName->currentText(), Path("week.vcs"));
}

TEST_F(MainWindowTest, ExportButtonOpensTheExportDialog)
{
    Write("Kalvero.ini", "EXPORTFILE=a.vcs,b.csv\r\n");
    Create();
    SchedFormDialogs().Export = {};
    ModalDriver driver;
    driver.Then<TExportForm>([](TExportForm* d) {
        EXPECT_EQ(d->FileNames(), (std::vector<std::string> { "a.vcs", "b.csv" }));
        EXPECT_EQ(d->FileName->currentText(), u"a.vcs"_qs);
        EXPECT_FALSE(d->NoSecret->isEnabled());
        d->reject();
    });
    form->ExportBtn->click();
    EXPECT_EQ(driver.shown(), 1);
}

// --- A look at the dialog on a real display

TEST(ExportFormOnX11, LeavesAScreenshot)
{
    wmshot::RunChild("ExportFormOnX11Child.*",
                     QStringLiteral(KALVERO_BINARY_DIR "/export_dialog.png"));
}

TEST(ExportFormOnX11Child, ShowsTheDialog)
{
    if (!wmshot::InChild())
        GTEST_SKIP() << "runs inside the screenshot test";
    TWScheduler calendar;
    TExportForm form(nullptr, &calendar);
    form.SetFileNames({ SJ("/home/kalvero/予定表.vcs"), "/home/kalvero/palm.csv" });
    form.SetNoSecretEnabled(true);
    bool grabbed = false;
    QTimer::singleShot(0, &form, [&] {
        grabbed = wmshot::GrabFramed(&form);
        form.reject();
    });
    form.Execute();
    EXPECT_TRUE(grabbed);
}

TEST(ExportFormOnX11, LeavesAScreenshotOfItsFileDialogInJapanese)
{
    if (!gui::TQtJapanese().Installed())
        GTEST_SKIP() << "Qt's Japanese translation is not installed";
    wmshot::RunChild("ExportFileDialogOnX11Child.*",
                     QStringLiteral(KALVERO_BINARY_DIR "/export_file_dialog.png"));
}

TEST(ExportFileDialogOnX11Child, SpeaksJapanese)
{
    if (!wmshot::InChild())
        GTEST_SKIP() << "runs inside the screenshot test";
    const gui::TQtJapanese japanese;
    TExportForm form(nullptr, nullptr);
    QStringList labels;
    bool grabbed = false;
    QTimer::singleShot(0, &form, [&] { // in the dialog's own loop
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            for (const QLabel* label : dialog->findChildren<QLabel*>())
                labels << label->text();
            grabbed = wmshot::GrabFramed(dialog);
            dialog->close();
        }
    });
    form.FileSelect->click();
    EXPECT_TRUE(grabbed && labels.contains(u"アドレス:"_qs) &&
                labels.contains(u"ファイル名(&N):"_qs))
        << labels.join(u'|').toStdString();
}

} // namespace
