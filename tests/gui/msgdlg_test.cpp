#include "gui/msgdlg.h"

#include "core/report.h"
#include "core/sjis.h"
#include "gui/qtext.h"
#include "support/dialog_script.h"
#include "support/testutil.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using msgdlg::Button;
using msgdlg::Kind;
using msgdlg::test::Call;
using msgdlg::test::Script;

namespace {

// A script whose problems are collected instead of failing the test, for
// tests of the failure reporting itself.
struct CollectingScript
{
    std::vector<std::string> problems;
    Script script { [this](const std::string& p) { problems.push_back(p); } };
};

} // namespace

TEST(MsgDlg, MessagesRecordKindCaptionTextAndButtons)
{
    msgdlg::SetAppTitle(u"Miradel(アプリ版)"_qs);
    DialogScript s;
    s.Press(msgdlg::Ok).Press(msgdlg::Ok).Press(msgdlg::Ok).Press(msgdlg::Yes).Press(msgdlg::No);
    s.Press(msgdlg::Ok).Press(msgdlg::Ok);

    msgdlg::Information(u"登録しました"_qs);
    msgdlg::Warning(SJ("範囲を選択して下さい"));
    msgdlg::Error(std::string_view(SJ("パスワードが違います")));
    EXPECT_TRUE(msgdlg::AskYesNo(SJ("履歴リストを消去します\r\nよろしいですか？")));
    EXPECT_FALSE(msgdlg::AskYesNo(u"削除しますか？"_qs, Kind::Warning));
    msgdlg::ShowMessage(u"plain"_qs);
    msgdlg::ShowException(u"'abc' is not a valid integer value"_qs);

    const auto& shown = s.shown();
    ASSERT_EQ(shown.size(), 7u);
    EXPECT_EQ(shown[0].kind, Kind::Information);
    EXPECT_EQ(shown[0].caption, u"情報"_qs);
    EXPECT_EQ(shown[0].buttons, msgdlg::Buttons(msgdlg::Ok));
    EXPECT_EQ(shown[1].caption, u"警告"_qs);
    EXPECT_EQ(shown[1].sjisText(), SJ("範囲を選択して下さい"));
    EXPECT_EQ(shown[2].kind, Kind::Error);
    EXPECT_EQ(shown[2].caption, u"エラー"_qs);
    EXPECT_EQ(shown[3].kind, Kind::Confirmation);
    EXPECT_EQ(shown[3].caption, u"確認"_qs);
    // Texts are recorded as passed: the CR LF of the Shift_JIS text stays.
    EXPECT_EQ(shown[3].text, u"履歴リストを消去します\r\nよろしいですか？"_qs);
    EXPECT_EQ(shown[3].buttons, msgdlg::Yes | msgdlg::No);
    EXPECT_EQ(shown[5].kind, Kind::Plain);
    EXPECT_EQ(shown[5].caption, u"Miradel(アプリ版)"_qs);
    EXPECT_EQ(shown[6].kind, Kind::Error);
    EXPECT_EQ(shown[6].caption, u"Miradel(アプリ版)"_qs);
    EXPECT_EQ(shown[6].text, u"'abc' is not a valid integer value."_qs);
    EXPECT_EQ(s.pendingAnswers(), 0u);
}

TEST(MsgDlg, CancelAnswersWithTheEscapeButton)
{
    DialogScript s;
    s.Cancel().Cancel().Cancel().Press(msgdlg::Cancel).Press(msgdlg::Ok);
    EXPECT_EQ(msgdlg::AskYesNoCancel(u"q"_qs), msgdlg::Cancel);
    EXPECT_EQ(msgdlg::Message(Kind::Confirmation, u"q"_qs, msgdlg::Yes | msgdlg::No), msgdlg::No);
    EXPECT_EQ(msgdlg::Message(Kind::Confirmation, u"q"_qs, msgdlg::No | msgdlg::Ok), msgdlg::No);
    EXPECT_EQ(msgdlg::AskYesNoCancel(u"q"_qs), msgdlg::Cancel);
    // The password removal question: No and OK.
    EXPECT_EQ(msgdlg::Message(Kind::Confirmation, u"パスワードを解除していいですか？"_qs,
                              msgdlg::No | msgdlg::Ok),
              msgdlg::Ok);
}

TEST(MsgDlg, InputQueries)
{
    DialogScript s;
    s.Enter(u"2004/1/31"_qs).Cancel().Enter(u"予定"_qs);
    EXPECT_EQ(msgdlg::InputQuery(u"直接入力"_qs, u"表示する日付(1900以降)を入力してください:"_qs),
              u"2004/1/31"_qs);
    EXPECT_FALSE(msgdlg::InputQuery(u"c"_qs, u"p"_qs, u"init"_qs).has_value());
    const std::optional<std::string> sj =
        msgdlg::InputQuery(SJ("直接入力"), SJ("日付:"), SJ("初期"));
    ASSERT_TRUE(sj.has_value());
    EXPECT_EQ(*sj, SJ("予定"));

    ASSERT_EQ(s.shown().size(), 3u);
    EXPECT_EQ(s.shown()[0].call, Call::Input);
    EXPECT_EQ(s.shown()[0].caption, u"直接入力"_qs);
    EXPECT_EQ(s.shown()[0].text, u"表示する日付(1900以降)を入力してください:"_qs);
    EXPECT_EQ(s.shown()[2].initial, u"初期"_qs);
    EXPECT_TRUE(s.messages().empty());
}

TEST(MsgDlg, FileDialogsGiveNameAndFilterIndex)
{
    DialogScript s;
    s.ChooseFile(u"/tmp/a.csv"_qs, 2).Cancel().ChooseFile(u"/tmp/out"_qs, 1);
    s.ChooseFile(u"/tmp/予定.vcs"_qs, 1);

    msgdlg::FileDialogOptions open;
    open.title = u"マージする予定表ファイルを指定してください"_qs;
    open.filter = u"スケジュール(SCH)|*.sch|CSVファイル|*.csv"_qs;
    const auto merged = msgdlg::OpenFile(open);
    ASSERT_TRUE(merged.has_value());
    EXPECT_EQ(merged->fileName, u"/tmp/a.csv"_qs);
    EXPECT_EQ(merged->filterIndex, 2);
    EXPECT_FALSE(msgdlg::OpenFile(open).has_value());

    msgdlg::FileDialogOptions save;
    save.filter = u"vCalendar|*.vcs|CSV|*.csv"_qs;
    save.filterIndex = 2;
    save.defaultExt = u"csv"_qs;
    const auto saved = msgdlg::SaveFile(save);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->fileName, u"/tmp/out.csv"_qs); // as the real dialog does, below
    const auto kept = msgdlg::SaveFile(save);
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(kept->fileName, u"/tmp/予定.vcs"_qs);
    EXPECT_EQ(kept->path(), "/tmp/予定.vcs"); // UTF-8 bytes of the file system

    ASSERT_EQ(s.shown().size(), 4u);
    EXPECT_EQ(s.shown()[0].call, Call::OpenFile);
    EXPECT_EQ(s.shown()[0].caption, u"マージする予定表ファイルを指定してください"_qs);
    EXPECT_EQ(s.shown()[0].filter, open.filter);
    EXPECT_EQ(s.shown()[2].call, Call::SaveFile);
    EXPECT_EQ(s.shown()[2].caption, u"名前を付けて保存"_qs);
    EXPECT_EQ(s.shown()[2].filterIndex, 2);
}

TEST(MsgDlg, TheSaveDialogAddsTheDefaultExtensionToANameWithoutOne)
{
    // The real dialog as SaveFile sets it up, answered by typing a name.
    TempDir dir;
    msgdlg::FileDialogOptions save;
    save.filter = u"vCalendar|*.vcs|CSV|*.csv"_qs;
    save.filterIndex = 2;
    save.defaultExt = u"csv"_qs;
    save.initialDir = QString::fromStdString(dir.path);
    for (const auto& [typed, expected] :
         { std::pair { "out", "out.csv" }, std::pair { "list.vcs", "list.vcs" } }) {
        const auto dialog = msgdlg::test::MakeFileDialog(true, save);
        dialog->open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        auto* name = dialog->findChild<QLineEdit*>(u"fileNameEdit"_qs);
        ASSERT_NE(name, nullptr);
        QTest::keyClicks(name, QString::fromLatin1(typed));
        QTest::keyClick(name, Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->isVisible(); }));
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        const msgdlg::FileChoice choice = msgdlg::test::FileDialogChoice(*dialog);
        EXPECT_EQ(choice.path(), dir.path + expected);
        EXPECT_EQ(choice.filterIndex, 2);
    }
}

TEST(MsgDlg, QtFilterText)
{
    EXPECT_EQ(msgdlg::QtFilter(u"スケジュール(SCH)|*.sch|CSVファイル|*.csv"_qs),
              u"スケジュール(SCH) (*.sch);;CSVファイル (*.csv)"_qs);
    EXPECT_EQ(msgdlg::QtFilter(u"両方|*.sch;*.csv|全て"_qs), u"両方 (*.sch *.csv);;全て (*)"_qs);
    EXPECT_EQ(msgdlg::QtFilter(QString()), QString());
}

TEST(MsgDlg, ColourAndFontDialogs)
{
    DialogScript s;
    QFont bold(u"IPAGothic"_qs, 12);
    bold.setBold(true);
    s.ChooseColor(QColor(255, 255, 0)).Cancel().ChooseFont(bold);
    EXPECT_EQ(msgdlg::ChooseColor(QColor(1, 2, 3)), QColor(255, 255, 0));
    EXPECT_FALSE(msgdlg::ChooseColor(Qt::red).has_value());
    EXPECT_EQ(msgdlg::ChooseFont(QFont()), bold);
    EXPECT_EQ(s.shown()[0].color, QColor(1, 2, 3));
    EXPECT_EQ(s.shown()[2].call, Call::Font);
}

TEST(MsgDlg, ReportSinkShowsBoxesOfTheKind)
{
    const report::Sink previous = report::SetSink({});
    msgdlg::InstallReportSink();
    {
        DialogScript s;
        s.Press(msgdlg::Ok).Press(msgdlg::Ok).Press(msgdlg::Ok);
        report::Error(SJ("スケジュールが書き込めません!\r\n") + "disk full");
        report::Warning(SJ("100:") + SJ("ﾌｧｲﾙに書込めませんでした\n処理をｽｷｯﾌﾟします"));
        report::Information("x");
        ASSERT_EQ(s.shown().size(), 3u);
        EXPECT_EQ(s.shown()[0].kind, Kind::Error);
        EXPECT_EQ(s.shown()[0].sjisText(), SJ("スケジュールが書き込めません!\r\n") + "disk full");
        EXPECT_EQ(s.shown()[1].kind, Kind::Warning);
        EXPECT_EQ(s.shown()[1].text, u"100:ﾌｧｲﾙに書込めませんでした\n処理をｽｷｯﾌﾟします"_qs);
        EXPECT_EQ(s.shown()[2].kind, Kind::Information);
    }
    report::SetSink(previous);
}

// The hook's own failures: missing answers, answers of the wrong sort,
// buttons that are not shown, out-of-range filters and unused answers all
// reach the failure handler, and the call gets the cancelling answer.
TEST(MsgDlg, ScriptProblemsAreReported)
{
    auto c = std::make_unique<CollectingScript>();
    EXPECT_EQ(msgdlg::AskYesNoCancel(u"unscripted question"_qs), msgdlg::Cancel);
    ASSERT_EQ(c->problems.size(), 1u);
    EXPECT_NE(c->problems[0].find("unscripted question"), std::string::npos);

    c->script.ChooseFile(u"x"_qs);
    EXPECT_EQ(msgdlg::Message(Kind::Warning, u"w"_qs, msgdlg::Yes | msgdlg::No), msgdlg::No);
    EXPECT_EQ(c->problems.size(), 2u);

    c->script.Press(msgdlg::Cancel);
    EXPECT_FALSE(msgdlg::AskYesNo(u"no cancel here"_qs));
    EXPECT_EQ(c->problems.size(), 3u);

    c->script.ChooseFile(u"x"_qs, 3);
    msgdlg::FileDialogOptions o;
    o.filter = u"a|*.a|b|*.b"_qs;
    EXPECT_FALSE(msgdlg::OpenFile(o).has_value());
    EXPECT_EQ(c->problems.size(), 4u);

    c->script.Enter(u"t"_qs);
    EXPECT_FALSE(msgdlg::ChooseColor(Qt::red).has_value());
    EXPECT_EQ(c->problems.size(), 5u);
    EXPECT_EQ(c->script.shown().size(), 5u);

    std::vector<std::string> leftovers;
    {
        Script unused([&](const std::string& p) { leftovers.push_back(p); });
        unused.Press(msgdlg::Ok).Press(msgdlg::Yes);
    }
    ASSERT_EQ(leftovers.size(), 1u);
    EXPECT_NE(leftovers[0].find("2 scripted"), std::string::npos);
}

TEST(MsgDlgDeathTest, UnscriptedDialogOffscreenAbortsInsteadOfBlocking)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(msgdlg::Warning(u"nobody answers"_qs), "unanswered message box.*nobody answers");
}

// The real box: buttons in the fixed order with the Japanese texts, the
// default and Escape buttons, the caption of the kind.
TEST(MsgDlg, RealMessageBoxLook)
{
    auto box = msgdlg::test::MakeMessageBox(Kind::Confirmation, u"a\r\nb"_qs,
                                            msgdlg::Cancel | msgdlg::No | msgdlg::Yes);
    EXPECT_EQ(box->windowTitle(), u"確認"_qs);
    const QList<QPushButton*> buttons = box->findChildren<QPushButton*>();
    QStringList texts;
    for (QPushButton* b : buttons)
        texts << b->text();
    EXPECT_EQ(texts, (QStringList { u"はい(&Y)"_qs, u"いいえ(&N)"_qs, u"キャンセル"_qs }));
    EXPECT_TRUE(buttons[0]->isDefault());
    bool found = false;
    for (QLabel* l : box->findChildren<QLabel*>())
        found = found || l->text() == u"a\nb"_qs;
    EXPECT_TRUE(found);

    QTimer::singleShot(0, box.get(), [&] { box->reject(); });
    EXPECT_EQ(box->exec(), msgdlg::Cancel);
    QTimer::singleShot(0, box.get(), [&] { buttons[1]->click(); });
    EXPECT_EQ(box->exec(), msgdlg::No);
}

// The underlined letter of a button, pressed alone, answers the box; other
// letters, and the letter with Ctrl, do not.
TEST(MsgDlg, UnderlinedLetterAloneAnswers)
{
    struct Case
    {
        msgdlg::Buttons buttons;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        msgdlg::Button answer; // NoButton: the box stays open
    } cases[] = {
        { msgdlg::Yes | msgdlg::No, Qt::Key_Y, Qt::NoModifier, msgdlg::Yes },
        { msgdlg::Yes | msgdlg::No | msgdlg::Cancel, Qt::Key_N, Qt::NoModifier, msgdlg::No },
        { msgdlg::Yes | msgdlg::No, Qt::Key_N, Qt::ShiftModifier, msgdlg::No },
        { msgdlg::Yes | msgdlg::No, Qt::Key_N, Qt::ControlModifier, msgdlg::NoButton },
        { msgdlg::Yes | msgdlg::No, Qt::Key_X, Qt::NoModifier, msgdlg::NoButton },
        { msgdlg::Ok, Qt::Key_Y, Qt::NoModifier, msgdlg::NoButton },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.key));
        auto box = msgdlg::test::MakeMessageBox(Kind::Confirmation, u"?"_qs, c.buttons);
        bool open = false;
        QTimer::singleShot(0, box.get(), [&] {
            // The default button has the focus; it passes letters on.
            QPushButton* focused = nullptr;
            for (QPushButton* b : box->findChildren<QPushButton*>())
                if (b->isDefault())
                    focused = b;
            QTest::keyClick(focused, c.key, c.modifiers);
            open = box->isVisible();
            if (open)
                box->reject();
        });
        const int result = box->exec();
        EXPECT_EQ(open, c.answer == msgdlg::NoButton);
        if (c.answer != msgdlg::NoButton) {
            EXPECT_EQ(result, c.answer);
        }
    }
}
