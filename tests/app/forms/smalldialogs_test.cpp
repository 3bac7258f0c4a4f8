#include "app/forms/noteform.h"
#include "app/forms/passform.h"
#include "app/forms/passwdform.h"
#include "app/forms/phoneform.h"
#include "app/forms/removeview.h"
#include "app/forms/userlistform.h"
#include "app/settings/initparam.h"
#include "core/sjis.h"
#include "gui/qtext.h"
#include "modal_driver.h"
#include "support/dialog_script.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Keeps the password of the global settings for the test and restores it.
struct PasswordScope
{
    explicit PasswordScope(const std::string& key) : saved(InitParam.SecretKey)
    {
        InitParam.SecretKey = key;
    }
    ~PasswordScope() { InitParam.SecretKey = saved; }
    std::string saved;
};

void Type(QLineEdit* edit, const QString& text)
{
    edit->clear();
    QTest::keyClicks(edit, text);
}

void ClickItem(QListWidget* list, int row)
{
    const QRect r = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
}

QStringList Items(QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

} // namespace

TEST(UserListForm, AddsTrimmedLowerCaseAddressesOnceAndDeletesTheClickedOne)
{
    TUserListForm form;
    EXPECT_EQ(form.windowTitle(), u"信頼する差出人登録"_qs);
    form.SetListText("a@example.jp,\"b c@example.jp\"");
    form.show();
    auto* list = Child<QListWidget>(&form, "UserList");
    auto* name = Child<QLineEdit>(&form, "UserName");
    auto* add = Child<QPushButton>(&form, "AddBtn");
    auto* del = Child<QPushButton>(&form, "DelBtn");
    ASSERT_TRUE(list && name && add && del);
    EXPECT_EQ(Items(list), (QStringList { u"a@example.jp"_qs, u"b c@example.jp"_qs }));
    EXPECT_FALSE(del->isEnabled());

    // Blanks around the typed address go; only ASCII letters are folded.
    name->setText(u"  Taro.Yamada@Example.COM \t"_qs);
    add->click();
    EXPECT_EQ(list->item(2)->text(), u"taro.yamada@example.com"_qs);
    EXPECT_EQ(name->text(), u"  Taro.Yamada@Example.COM \t"_qs); // the edit keeps its text
    // The same address in other letter case adds nothing.
    Type(name, u"TARO.yamada@example.com"_qs);
    add->click();
    EXPECT_EQ(list->count(), 3);
    // A full-width letter is no ASCII letter, and a trail byte that reads
    // as "A" (the second byte of ア) is never folded.
    name->setText(u"アＡB@x.jp"_qs);
    add->click();
    EXPECT_EQ(list->item(3)->text(), u"アＡb@x.jp"_qs);
    // Blanks only: nothing.
    Type(name, u"   "_qs);
    add->click();
    EXPECT_EQ(list->count(), 4);
    EXPECT_FALSE(del->isEnabled());

    ClickItem(list, 1);
    EXPECT_TRUE(del->isEnabled());
    del->click();
    EXPECT_EQ(
        Items(list),
        (QStringList { u"a@example.jp"_qs, u"taro.yamada@example.com"_qs, u"アＡb@x.jp"_qs }));
    EXPECT_FALSE(del->isEnabled()); // nothing selected after the delete

    // The list goes back as comma text, an item with a blank quoted.
    form.SetListText("\"b c@example.jp\",X@Y.jp");
    EXPECT_EQ(form.ListText(), "\"b c@example.jp\",X@Y.jp");
}

TEST(UserListForm, DoubleClickCopiesTheAddressInLowerCase)
{
    TUserListForm form;
    form.SetListText("Boss@Example.JP");
    form.show();
    auto* list = Child<QListWidget>(&form, "UserList");
    ASSERT_TRUE(list);
    const QRect r = list->visualItemRect(list->item(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(form.UserName->text(), u"boss@example.jp"_qs);
}

TEST(PhoneForm, TrimsAllFieldsAndAsksForAMissingNameOrNumber)
{
    struct Case
    {
        QString name, phone, mail, note;
        int result; // 2: still open after the message asked
        QString asked = {};
    };
    const QString number = u"電話番号を入力してください"_qs;
    const Case cases[] = {
        { u"山田"_qs, u""_qs, u"a@b.jp"_qs, u""_qs, 2, number },
        { u"山田"_qs, u"  \t "_qs, u""_qs, u""_qs, 2, number },
        { u"  "_qs, u"03-1234"_qs, u""_qs, u""_qs, 2, u"名前を入力してください"_qs },
        { u" "_qs, u""_qs, u""_qs, u"  "_qs, QDialog::Rejected }, // nothing typed
        // A double-byte blank is kept, as the file's own trimming keeps it.
        { u" 山田 太郎　 "_qs, u" 03-1234-5678 "_qs, u" taro@x.jp "_qs, u"  会社 "_qs,
          QDialog::Accepted },
    };
    for (const Case& c : cases) {
        TPhoneForm form;
        EXPECT_EQ(form.windowTitle(), u"電話帳登録"_qs);
        DialogScript script;
        if (!c.asked.isEmpty())
            script.Press(msgdlg::Ok);
        ModalDriver driver;
        driver.Then<TPhoneForm>([&c](TPhoneForm* f) {
            Child<QLineEdit>(f, "Name")->setText(c.name);
            Child<QLineEdit>(f, "Phone")->setText(c.phone);
            Child<QLineEdit>(f, "Mail")->setText(c.mail);
            Child<QLineEdit>(f, "Note")->setText(c.note);
            Child<QPushButton>(f, "BitBtn1")->click();
            if (f->isVisible())
                f->done(2);
        });
        EXPECT_EQ(form.exec(), c.result) << c.name.toStdString() << "/" << c.phone.toStdString();
        EXPECT_EQ(script.messages(),
                  c.asked.isEmpty() ? std::vector<QString>() : std::vector { c.asked });
        if (c.result == QDialog::Accepted) {
            EXPECT_EQ(form.Name->text(), u"山田 太郎　"_qs);
            EXPECT_EQ(form.Phone->text(), u"03-1234-5678"_qs);
            EXPECT_EQ(form.Mail->text(), u"taro@x.jp"_qs);
            EXPECT_EQ(form.Note->text(), u"会社"_qs);
        }
    }
}

TEST(NoteForm, MemoTakesTheMemoFontOfTheSettings)
{
    const TFontRec saved = InitParam.MemoFont;
    InitParam.MemoFont.Size = 15;
    InitParam.MemoFont.Style = fsItalic;
    InitParam.MemoFont.Color = 0x0000FF; // red
    TNoteForm form;
    InitParam.MemoFont = saved;
    EXPECT_EQ(form.Memo1->font().pointSize(), 15);
    EXPECT_TRUE(form.Memo1->font().italic());
    EXPECT_EQ(form.Memo1->palette().color(QPalette::Text), QColor(255, 0, 0));
}

TEST(NoteForm, ViewerShowsTheMemoReadOnlyWithoutStatusBar)
{
    TNoteForm form;
    auto* memo = Child<QPlainTextEdit>(&form, "Memo1");
    auto* status = Child<QStatusBar>(&form, "StatusBar1");
    ASSERT_TRUE(memo && status);
    bool seen = false;
    ModalDriver driver;
    driver.Then<TNoteForm>([&](TNoteForm* f) {
        seen = true;
        EXPECT_EQ(f->windowTitle(), u"「定例会議」のメモ"_qs);
        EXPECT_FALSE(status->isVisible());
        EXPECT_TRUE(memo->isReadOnly());
        EXPECT_EQ(memo->toPlainText(), u"資料を持参\n3F 会議室"_qs);
        EXPECT_EQ(memo->frameShape(), QFrame::NoFrame);
        EXPECT_EQ(memo->palette().color(QPalette::Base), f->palette().color(QPalette::Window));
        f->reject();
    });
    form.ShowNote(SJ("定例会議"), SJ("資料を持参\r\n3F 会議室"));
    EXPECT_TRUE(seen);
}

TEST(NoteForm, EditorShowsSubjectInStatusAndReturnsTextHoweverClosed)
{
    TNoteForm form;
    ModalDriver driver;
    driver.Then<TNoteForm>([](TNoteForm* f) {
        EXPECT_EQ(f->windowTitle(), u"メモの編集"_qs);
        EXPECT_TRUE(f->StatusBar1->isVisible());
        EXPECT_EQ(f->StatusPanel->text(), u"件名： 定例会議"_qs);
        EXPECT_FALSE(f->Memo1->isReadOnly());
        f->Memo1->moveCursor(QTextCursor::End);
        f->Memo1->insertPlainText(u"追記"_qs);
        QTest::keyClick(f->Memo1, Qt::Key_Return);
        QTest::keyClicks(f->Memo1, u"end"_qs);
        // Closed by Escape, not by a button: the text still comes back.
        QTest::keyClick(f, Qt::Key_Escape);
    });
    const std::string text = form.EditNote(SJ("定例会議"), SJ("一行目\r\n"));
    EXPECT_EQ(text, SJ("一行目\r\n追記\r\nend"));
}

TEST(PassForm, AsksUntilThePasswordIsRightOrCancelled)
{
    PasswordScope scope(SJ("ひみつ1"));
    {
        DialogScript script;
        script.Press(msgdlg::Ok);
        ModalDriver driver;
        driver.Then<TPassForm>([](TPassForm* f) {
            EXPECT_EQ(f->windowTitle(), u"シークレット解除"_qs);
            EXPECT_EQ(f->focusWidget(), f->Edit1);
            EXPECT_EQ(f->Edit1->echoMode(), QLineEdit::Password);
            QTest::keyClicks(f->Edit1, u"himitsu"_qs);
            f->BitBtn1->click();
        });
        driver.Then<TPassForm>([](TPassForm* f) {
            f->Edit1->setText(u"ひみつ1"_qs);
            f->BitBtn1->click();
        });
        EXPECT_TRUE(TPassForm::AskPassword());
        ASSERT_EQ(script.shown().size(), 1u);
        EXPECT_EQ(script.shown()[0].kind, msgdlg::Kind::Error);
        EXPECT_EQ(script.shown()[0].text, u"パスワードが違います"_qs);
        EXPECT_EQ(driver.shown(), 2);
    }
    {
        ModalDriver driver;
        driver.Then<TPassForm>([](TPassForm* f) {
            f->Edit1->setText(u"ひみつ1"_qs);
            f->BitBtn2->click(); // Cancel wins over a right password
        });
        EXPECT_FALSE(TPassForm::AskPassword());
    }
}

TEST(PassForm, NoPasswordSetAsksNothing)
{
    PasswordScope scope("");
    ModalDriver driver;
    EXPECT_TRUE(TPassForm::AskPassword());
    EXPECT_EQ(driver.shown(), 0);
}

TEST(PasswdForm, WithoutPasswordTheCurrentEditIsDisabledAndEmptyNewKeepsItUnset)
{
    std::string key;
    ModalDriver driver;
    driver.Then<TPasswdForm>([](TPasswdForm* f) {
        EXPECT_EQ(f->windowTitle(), u"パスワードの設定"_qs);
        EXPECT_FALSE(f->Pass1->isEnabled());
        EXPECT_EQ(f->focusWidget(), f->Pass2);
        f->BitBtn1->click();
    });
    EXPECT_TRUE(TPasswdForm::ChangePassword(key));
    EXPECT_EQ(key, "");

    driver.Then<TPasswdForm>([](TPasswdForm* f) {
        f->Pass2->setText(u"新しい"_qs);
        f->BitBtn1->click();
    });
    EXPECT_TRUE(TPasswdForm::ChangePassword(key));
    EXPECT_EQ(key, SJ("新しい"));
}

TEST(PasswdForm, WrongCurrentPasswordAndRefusedRemovalAskAgain)
{
    std::string key = "old";
    DialogScript script;
    script.Press(msgdlg::Ok); // wrong password
    script.Press(msgdlg::No).Press(msgdlg::Ok); // do not remove; enter one
    script.Press(msgdlg::Ok); // remove
    ModalDriver driver;
    driver.Then<TPasswdForm>([](TPasswdForm* f) {
        EXPECT_TRUE(f->Pass1->isEnabled());
        EXPECT_EQ(f->focusWidget(), f->Pass1);
        f->Pass1->setText(u"bad"_qs);
        f->BitBtn1->click();
    });
    driver.Then<TPasswdForm>([](TPasswdForm* f) {
        f->Pass1->setText(u"old"_qs);
        f->BitBtn1->click();
    });
    driver.Then<TPasswdForm>([](TPasswdForm* f) { f->BitBtn1->click(); });
    EXPECT_TRUE(TPasswdForm::ChangePassword(key));
    EXPECT_EQ(key, "");
    const auto& shown = script.shown();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].text, u"パスワードが違います"_qs);
    EXPECT_EQ(shown[1].text, u"パスワードを解除していいですか？"_qs);
    EXPECT_EQ(shown[1].kind, msgdlg::Kind::Confirmation);
    EXPECT_EQ(shown[1].buttons, msgdlg::No | msgdlg::Ok);
    EXPECT_EQ(shown[2].kind, msgdlg::Kind::Warning);
    EXPECT_EQ(shown[2].text, u"パスワードを入力して下さい"_qs);
    EXPECT_EQ(shown[3].text, u"パスワードを解除していいですか？"_qs);

    // Cancel leaves the password as it was.
    key = "old";
    driver.Then<TPasswdForm>([](TPasswdForm* f) {
        f->Pass1->setText(u"old"_qs);
        f->Pass2->setText(u"new"_qs);
        f->BitBtn2->click();
    });
    EXPECT_FALSE(TPasswdForm::ChangePassword(key));
    EXPECT_EQ(key, "old");
}

TEST(RemoveView, StartsWithPrevDateAndNothingKept)
{
    TRemoveView form;
    EXPECT_EQ(form.windowTitle(), u"予定の一括削除"_qs);
    for (const char* name : { "RepSched", "PriSched", "Secret", "UnKnown", "DispOnly" })
        EXPECT_FALSE(Child<QCheckBox>(&form, name)->isChecked()) << name;
    EXPECT_TRUE(Child<QRadioButton>(&form, "PrevDate")->isChecked());
    EXPECT_FALSE(Child<QRadioButton>(&form, "AllSched")->isChecked());
    EXPECT_EQ(Child<QPushButton>(&form, "DelExec")->text(), u"実行"_qs);

    const days::Day day = days::Encode(2004, 5, 1);
    form.SetRmDay(day - 7);
    EXPECT_EQ(form.RmDay(), day - 7);
    EXPECT_EQ(form.RmDate->text(), u"2004/04/24"_qs);

    ModalDriver driver;
    driver.Then<TRemoveView>([](TRemoveView* f) {
        EXPECT_EQ(f->focusWidget(), f->PrevDate);
        f->AllSched->click();
        f->DelExec->click();
    });
    driver.Then<TRemoveView>([](TRemoveView* f) { f->Cancel->click(); });
    EXPECT_EQ(form.exec(), QDialog::Accepted);
    EXPECT_TRUE(form.AllSched->isChecked());
    EXPECT_FALSE(form.PrevDate->isChecked());
    EXPECT_EQ(form.exec(), QDialog::Rejected);
}
