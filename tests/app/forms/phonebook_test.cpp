// The list window's phone book and memo pad driven through their widgets.
#include "mainwin_fixture.h"
#include "modal_driver.h"

#include "app/forms/listwindow.h"
#include "app/forms/phoneform.h"
#include "app/phonebook.h"
#include "core/files.h"
#include "core/sjis.h"
#include "support/dialog_script.h"
#include "support/popup.h"
#include "view/wscheduler.h"

#include <QDir>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <filesystem>

namespace {

// A list window on a data folder of its own, without the main window.
class PhoneBookTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid() && QDir(tmp.path()).mkdir("data"));
        dir = tmp.path().toStdString() + "/data/";
        // Messages of the file writers go to message boxes, as in the program.
        msgdlg::InstallReportSink();
        window = new TListWindow(&host);
        window->resize(400, 300);
    }
    void Write(const std::string& name, const std::string& text)
    {
        ASSERT_TRUE(files::WriteAtomic(dir + name, text));
    }
    std::string Read(const std::string& path)
    {
        std::string text;
        files::ReadAll(path[0] == '/' ? path : dir + path, text);
        return text;
    }
    void Load() { window->LoadFiles(dir + "Kalvero.sch"); }
    QTreeWidget* List() { return window->PhoneList; }
    QStringList Row(int i)
    {
        QStringList texts;
        for (int c = 0; c < 4; ++c)
            texts << List()->topLevelItem(i)->text(c);
        return texts;
    }
    QStringList Names()
    {
        QStringList names;
        for (int i = 0; i < List()->topLevelItemCount(); ++i)
            names << List()->topLevelItem(i)->text(0);
        return names;
    }
    void Select(int i)
    {
        List()->setCurrentItem(i < 0 ? nullptr : List()->topLevelItem(i));
        if (i < 0)
            List()->clearSelection();
    }
    void Key(Qt::Key key) { QTest::keyClick(List(), key); }
    void Page(QWidget* page) { window->InfoPage->setCurrentWidget(page); }

    QTemporaryDir tmp;
    std::string dir;
    QMainWindow host;
    TListWindow* window = nullptr;
};

} // namespace

TEST_F(PhoneBookTest, LoadsEditsAndWritesBackByteForByte)
{
    // A line of more fields than an entry has is kept as it is, after the
    // entries.
    const std::string tooMany = "many" + std::string(phonebook::kMaxFields + 1, ',');
    const std::string file = "\"" + SJ("山田 太郎") + "\",03-1234,taro@x.jp,\"" + SJ("営業 課長") +
        "\"\r\n\"" + SJ("ソ表") + "\",\"0\"\"1\",,\"\"\r\n\"only a name\"\r\n" +
        "\"five\",555,f@x.jp,note,kept\r\n" + tooMany + "\r\n\"bare\",1\r\n";
    Write("Kalvero.tel", file);
    Load();
    ASSERT_EQ(Names(), (QStringList { u"山田 太郎"_qs, u"ソ表"_qs, u"five"_qs, u"bare"_qs }));
    EXPECT_EQ(Row(0),
              (QStringList { u"山田 太郎"_qs, u"03-1234"_qs, u"taro@x.jp"_qs, u"営業 課長"_qs }));
    EXPECT_EQ(Row(1), (QStringList { u"ソ表"_qs, u"0\"1"_qs, "", "" }));
    EXPECT_TRUE(window->MemoData->toPlainText().isEmpty()); // no ".mem": an empty pad
    window->SaveFiles(); // unchanged: nothing is written, the skipped line stays
    EXPECT_EQ(Read("Kalvero.tel"), file);
    EXPECT_FALSE(files::Exists(dir + "Kalvero.mem"));

    ModalDriver driver;
    DialogScript script;
    Select(-1); // no row: neither key does anything
    Key(Qt::Key_Insert);
    Key(Qt::Key_Delete);
    EXPECT_EQ(driver.shown(), 0);

    // Adding: the dialog opens at the window's top-right corner; Cancel adds
    // nothing; fields are trimmed.
    driver.Then<TPhoneForm>([&](TPhoneForm* f) {
        EXPECT_EQ(f->pos(), window->mapToGlobal(QPoint(window->width(), 0)));
        f->Name->setText(u"x"_qs);
        f->BitBtn2->click();
    });
    driver.Then<TPhoneForm>([](TPhoneForm* f) {
        f->Name->setText(u" 新 人 "_qs);
        f->Phone->setText(u"090"_qs);
        f->Note->setText(u"say \"hi\""_qs);
        f->BitBtn1->click();
    });
    window->AddPhone->trigger();
    EXPECT_FALSE(window->PhoneChanged);
    window->AddPhone->trigger();
    EXPECT_TRUE(window->PhoneChanged);
    EXPECT_EQ(Row(4), (QStringList { u"新 人"_qs, u"090"_qs, "", u"say \"hi\""_qs }));

    // Editing (Insert, double click) shows the fields present; fields past
    // the note stay; Cancel changes nothing.
    driver.Then<TPhoneForm>([](TPhoneForm* f) {
        EXPECT_EQ(
            QStringList({ f->Name->text(), f->Phone->text(), f->Mail->text(), f->Note->text() }),
            (QStringList { u"five"_qs, u"555"_qs, u"f@x.jp"_qs, u"note"_qs }));
        f->Name->setText(u"Five, Inc."_qs);
        f->Note->clear();
        f->BitBtn1->click();
    });
    driver.Then<TPhoneForm>([](TPhoneForm* f) {
        EXPECT_TRUE(f->Phone->text() == u"1"_qs && f->Mail->text().isEmpty());
        f->BitBtn2->click();
    });
    Select(2);
    Key(Qt::Key_Insert);
    Select(3);
    List()->itemDoubleClicked(List()->topLevelItem(3), 0);
    EXPECT_EQ(Row(2), (QStringList { u"Five, Inc."_qs, u"555"_qs, u"f@x.jp"_qs, "" }));

    // Deleting asks first; No keeps the row.
    script.Press(msgdlg::No).Press(msgdlg::Yes);
    Select(1);
    Key(Qt::Key_Delete);
    EXPECT_EQ(List()->topLevelItemCount(), 5);
    Key(Qt::Key_Delete);
    ASSERT_EQ(script.shown().size(), 2u);
    EXPECT_EQ(script.shown()[1].kind, msgdlg::Kind::Confirmation);
    EXPECT_EQ(script.shown()[1].sjisText(), SJ("【ソ表】を削除します。よろしいですか？"));

    window->SaveFiles();
    EXPECT_FALSE(window->PhoneChanged);
    EXPECT_EQ(Read("Kalvero.tel"),
              "\"" + SJ("山田 太郎") + "\",03-1234,taro@x.jp,\"" + SJ("営業 課長") +
                  "\"\r\n\"Five, Inc.\",555,f@x.jp,,kept\r\n" + "\"bare\",1\r\n\"" + SJ("新 人") +
                  "\",090,,\"say \"\"hi\"\"\"\r\n" + tooMany + "\r\n");
}

TEST_F(PhoneBookTest, ColumnClicksSortByTheJapaneseCollatorAndDoNotMarkAChange)
{
    // Byte order would put the hiragana "か" before the katakana "イ".
    Write("Kalvero.tel",
          "\"" + SJ("かとう") + "\",2\r\n\"" + SJ("イトウ") +
              "\",10,i@x.jp\r\n\"b\",3\r\n\"B\",1,,x\r\n\"a\",,m\r\n");
    Load();
    Select(1);
    const QStringList byName { u"a"_qs, u"b"_qs, u"B"_qs, u"イトウ"_qs, u"かとう"_qs };
    const struct
    {
        int column, tag;
        QStringList names;
    } clicks[] = {
        { 0, 0, byName },
        // Again: descending; equal names keep their order.
        { 0, 1, { u"かとう"_qs, u"イトウ"_qs, u"b"_qs, u"B"_qs, u"a"_qs } },
        // Another column: ascending again, by text.
        { 1, 0, { u"a"_qs, u"B"_qs, u"イトウ"_qs, u"かとう"_qs, u"b"_qs } },
        { 1, 1, { u"b"_qs, u"かとう"_qs, u"イトウ"_qs, u"B"_qs, u"a"_qs } },
        // A missing field counts as empty.
        { 2, 0, { u"b"_qs, u"かとう"_qs, u"B"_qs, u"イトウ"_qs, u"a"_qs } },
        { 0, 0, byName },
    };
    for (const auto& click : clicks) {
        List()->header()->sectionClicked(click.column);
        EXPECT_EQ(Names(), click.names) << click.column;
        EXPECT_EQ(window->SortColumn, click.column);
        EXPECT_EQ(List()->property("tag").toInt(), click.tag);
    }
    EXPECT_FALSE(window->PhoneChanged);
    EXPECT_TRUE(List()->currentItem()->text(0) == u"イトウ"_qs &&
                List()->currentItem()->isSelected());

    // The order reaches the file with the next change; new rows go last.
    window->AddPhoneLine("\"Aaron\",\"9\",\"\",\"\"");
    window->AddPhoneLine("\"ignored\"");
    window->PhoneChanged = true;
    window->SaveFiles();
    EXPECT_EQ(Read("Kalvero.tel"),
              "\"a\",,m\r\n\"b\",3\r\n\"B\",1,,x\r\n\"" + SJ("イトウ") + "\",10,i@x.jp\r\n\"" +
                  SJ("かとう") + "\",2\r\n\"Aaron\",9,,\"\"\r\n");
}

TEST_F(PhoneBookTest, RightClickOnARowSelectsItAndOpensItsMenu)
{
    Write("Kalvero.tel", "\"mail\",1,m@x.jp\r\n\"nomail\",2\r\n");
    Load();
    host.resize(500, 400);
    host.show();
    window->show();
    Page(window->TabPhone);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    QTreeWidget* list = List();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->viewport()->isVisible(); }));
    for (int row : { 0, 1 }) {
        Select(1 - row);
        QMenu* menu = RightClickMenu(list->viewport(),
                                     list->visualItemRect(list->topLevelItem(row)).center());
        ASSERT_EQ(menu, window->PhonePopup);
        EXPECT_EQ(list->currentItem(), list->topLevelItem(row));
        EXPECT_TRUE(window->EditPhone->isEnabled());
        EXPECT_EQ(window->MakeMail->isEnabled(), row == 0); // only row 0 has an address
        QTest::keyClick(menu, Qt::Key_Escape);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !menu->isVisible(); }));
    }
}

TEST_F(PhoneBookTest, MemoPadKeepsBytesShiftJisCannotMapThroughEditsElsewhere)
{
    // 85 40 is an unassigned code; a lead byte ends the file.
    const std::string memo = "one\r\n\x85\x40" + SJ("予定") + "\r\ntwo\x81";
    Write("Kalvero.mem", memo);
    Load();
    QPlainTextEdit* pad = window->MemoData;
    pad->moveCursor(QTextCursor::Start);
    QTest::keyClicks(pad, "X");
    window->SaveFiles();
    EXPECT_EQ(Read("Kalvero.mem"), "X" + memo);

    // Each such character is one character of the pad: deleting it deletes
    // its bytes and nothing else.
    QTest::keyClick(pad, Qt::Key_Down);
    QTest::keyClick(pad, Qt::Key_Home);
    QTest::keyClick(pad, Qt::Key_Delete);
    QTest::keyClick(pad, Qt::Key_End);
    QTest::keyClick(pad, Qt::Key_Backspace); // 定
    window->SaveFiles();
    EXPECT_EQ(Read("Kalvero.mem"), "Xone\r\n" + SJ("予") + "\r\ntwo\x81");
}

TEST_F(PhoneBookTest, PageChangesSaveAnEditedMemoPadAndAFolderThatCannotBeWrittenLosesNothing)
{
    Write("Kalvero.tel", "\"old\",1\r\n");
    Write("Kalvero.mem", "one\ntwo"); // bare LF: a rewrite would show
    Load();
    EXPECT_EQ(window->MemoData->toPlainText(), u"one\ntwo"_qs);
    Page(window->TabNote);
    EXPECT_EQ(Read("Kalvero.mem"), "one\ntwo");

    window->MemoData->moveCursor(QTextCursor::End);
    QTest::keyClick(window->MemoData, Qt::Key_Return);
    QInputMethodEvent typed; // Japanese arrives from the input method
    typed.setCommitString(u"メモ"_qs);
    QApplication::sendEvent(window->MemoData, &typed);
    Page(window->TabPhone);
    const std::string memo = "one\r\ntwo\r\n" + SJ("メモ");
    EXPECT_EQ(Read("Kalvero.mem"), memo);
    ASSERT_TRUE(QFile::remove(QString::fromStdString(dir + "Kalvero.mem")));
    Page(window->TabNote); // edited once: written at every page change
    EXPECT_EQ(Read("Kalvero.mem"), memo);
    EXPECT_EQ(QFile::permissions(QString::fromStdString(dir + "Kalvero.mem")),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    EXPECT_EQ(Read("Kalvero.tel"), "\"old\",1\r\n");

    // The data folder goes away and a file takes its name.
    window->AddPhoneLine("\"new\",2");
    window->PhoneChanged = true;
    const QString folder = tmp.path() + "/data";
    ASSERT_TRUE(QDir().rename(folder, tmp.path() + "/moved"));
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    {
        DialogScript script;
        script.Press(msgdlg::Ok).Press(msgdlg::Ok);
        Page(window->TabPhone);
        ASSERT_EQ(script.shown().size(), 2u);
        EXPECT_EQ(script.shown()[0].kind, msgdlg::Kind::Error);
        EXPECT_EQ(script.shown()[0].sjisText().rfind(SJ("メモ帳を保存できません\r\n"), 0), 0u);
        EXPECT_EQ(script.shown()[1].sjisText().rfind(SJ("電話帳を保存できません\r\n"), 0), 0u);
    }
    EXPECT_TRUE(window->PhoneChanged);
    const std::string moved = tmp.path().toStdString() + "/moved/";
    EXPECT_EQ(Read(moved + "Kalvero.tel"), "\"old\",1\r\n");
    EXPECT_EQ(Read(moved + "Kalvero.mem"), memo);

    // Once the folder is back, the next save writes both.
    ASSERT_TRUE(blocker.remove() && QDir().rename(tmp.path() + "/moved", folder));
    window->MemoData->appendPlainText(u"!"_qs);
    DialogScript none;
    Page(window->TabNote);
    EXPECT_FALSE(window->PhoneChanged);
    EXPECT_EQ(Read("Kalvero.tel"), "\"old\",1\r\n\"new\",2\r\n");
    EXPECT_EQ(Read("Kalvero.mem"), memo + "\r\n!");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
              (QStringList { "Kalvero.mem", "Kalvero.tel" }));

    // A folder in a file's place cannot be read: said so at load.
    ASSERT_TRUE(QFile::remove(folder + "/Kalvero.tel") && QDir(folder).mkdir("Kalvero.tel"));
    none.Press(msgdlg::Ok);
    TListWindow(&host).LoadFiles(dir + "Kalvero.sch");
    EXPECT_EQ(none.shown().back().sjisText().rfind(SJ("電話帳を読み込めません\r\n"), 0), 0u);
}

TEST_F(PhoneBookTest, FilesThatCouldNotBeReadAreNeverWrittenOver)
{
    // Links that lead round in a circle cannot be opened.
    for (const char* name : { "Kalvero.tel", "Kalvero.mem" })
        std::filesystem::create_symlink(name, dir + name);
    {
        DialogScript script;
        script.Press(msgdlg::Ok).Press(msgdlg::Ok);
        Load();
        ASSERT_EQ(script.shown().size(), 2u);
        EXPECT_EQ(script.shown()[0].sjisText().rfind(SJ("電話帳を読み込めません\r\n"), 0), 0u);
        EXPECT_EQ(script.shown()[1].sjisText().rfind(SJ("メモ帳を読み込めません\r\n"), 0), 0u);
    }
    DialogScript none;
    window->AddPhoneLine("\"new\",2");
    window->PhoneChanged = true;
    window->MemoData->appendPlainText(u"new"_qs);
    window->SaveFiles();
    EXPECT_TRUE(std::filesystem::is_symlink(dir + "Kalvero.tel"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir + "Kalvero.mem"));
}

namespace {

// Records what the phone book asks the build variant to mail.
class MailRecorder : public TProgramVariant
{
public:
    using TProgramVariant::TProgramVariant;
    void ComposeMail(const std::string& address, QWidget*) override { sent.push_back(address); }
    void SendScheduleMail(const std::string& address, const TEventData& item, QWidget*) override
    {
        sent.push_back(address + "|" + item.Subject);
    }
    std::vector<std::string> sent;
};

} // namespace

TEST_F(MainWindowTest, PhoneBookStartsQuietlyMailsOnlyWhereItCanAndIsSavedWhenTheWindowGoes)
{
    MailRecorder recorder(dir + "Kalvero");
    TScopedBuildVariant scoped(&recorder);
    {
        DialogScript script; // no files: empty pages and no message
        Create();
    }
    TListWindow* list = form->ListWindow;
    EXPECT_EQ(TListWindow::Popup(list->PhoneList), list->PhonePopup);
    EXPECT_TRUE(list->PhoneList->topLevelItemCount() == 0 &&
                list->MemoData->toPlainText().isEmpty());
    for (const char* line : { "\"mail\",1,m@x.jp", "\"nomail\",2,,note", "\"short\",3" })
        list->AddPhoneLine(line);

    TSchedList& store = form->Calendar->Store();
    TEventData e;
    e.Date = days::Encode(2026, 12, 9);
    e.Subject = "open";
    PEventData open = store.Items(store.AddEvent(e, false));
    e.Subject = "secret";
    e.KindBits = 1;
    PEventData secret = store.Items(store.AddEvent(e, false));
    list->SchedList->clear();
    list->AddDayItem(open);
    list->AddDayItem(secret);
    const struct
    {
        int phoneRow, dayRow; // -1: none selected
        bool edit, mail, send;
    } cases[] = {
        { -1, 0, false, false, false }, { 0, -1, true, true, false }, { 0, 1, true, true, false },
        { 0, 0, true, true, true },     { 1, 0, true, false, false }, { 2, 0, true, false, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.phoneRow << c.dayRow);
        for (QTreeWidget* l : { list->PhoneList, list->SchedList }) {
            const int row = l == list->PhoneList ? c.phoneRow : c.dayRow;
            l->clearSelection();
            if (row >= 0)
                l->topLevelItem(row)->setSelected(true);
            l->setCurrentItem(row < 0 ? nullptr : l->topLevelItem(row));
        }
        list->PhonePopupPopup();
        EXPECT_TRUE(list->AddPhone->isEnabled());
        EXPECT_EQ(list->EditPhone->isEnabled(), c.edit);
        EXPECT_EQ(list->DelPhone->isEnabled(), c.edit);
        EXPECT_EQ(list->MakeMail->isEnabled(), c.mail);
        EXPECT_EQ(list->SendSched->isEnabled(), c.send);
        list->MakeMail->trigger(); // disabled items do nothing
        list->SendSched->trigger();
    }
    EXPECT_EQ(recorder.sent,
              (std::vector<std::string> { "m@x.jp", "m@x.jp", "m@x.jp", "m@x.jp|open" }));

    list->PhoneChanged = true;
    list->MemoData->setPlainText(u"a\nb"_qs);
    list->MemoData->document()->setModified(true);
    Close();
    EXPECT_EQ(Read("Kalvero.tel"), "\"mail\",1,m@x.jp\r\n\"nomail\",2,,note\r\n\"short\",3\r\n");
    EXPECT_EQ(Read("Kalvero.mem"), "a\r\nb");
}
