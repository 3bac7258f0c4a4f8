#include "app/forms/kindform.h"
#include "controls/bevlabel.h"
#include "gui/colors.h"
#include "modal_driver.h"
#include "support/dialog_script.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class KindFormTest : public ::testing::Test
{
public:
    KindFormTest()
    {
        form.SetKinds({ u"会議:FF:"_qs, u"私用:8000:C0FFC0"_qs, u"来客"_qs });
        form.show();
    }
    void Add(const QString& name)
    {
        form.KindText->setText(name);
        form.AddBtn->click();
    }
    TKindForm form;
};

TEST_F(KindFormTest, AddsAtTheTopWithTheSampleColours)
{
    EXPECT_EQ(form.windowTitle(), u"分類の追加・削除"_qs);
    EXPECT_EQ(form.Sample->Caption(), u"サンプル"_qs);
    {
        // Red text, then a transparent background: "出張:FF:".
        DialogScript script;
        script.ChooseColor(QColor(255, 0, 0));
        form.FontColor->click();
        EXPECT_EQ(script.shown()[0].color, colors::ToQColor(colors::clWindowText));
    }
    form.TransBtn->click();
    EXPECT_FALSE(form.TransBtn->isEnabled());
    EXPECT_FALSE(form.Label1->isEnabled());
    Add(u"  出張  "_qs);
    EXPECT_EQ(form.KindText->text(), QString());
    ASSERT_EQ(form.KindList->count(), 4);
    EXPECT_EQ(form.KindList->item(0)->text(), u"出張:FF:"_qs);
    EXPECT_EQ(form.KindList->currentRow(), 0);

    // Untouched colours are the dialog's own: system colours keep their bit.
    TKindForm fresh;
    fresh.KindText->setText(u"会議"_qs);
    fresh.AddBtn->click();
    EXPECT_EQ(fresh.Kinds(), QStringList { u"会議:80000008:8000000F"_qs });
}

TEST_F(KindFormTest, ExistingNameIsReplacedOnlyAfterYes)
{
    form.KindList->setCurrentRow(2);
    EXPECT_EQ(form.Sample->Caption(), u"来客"_qs);
    {
        DialogScript script;
        script.ChooseColor(QColor(0, 0, 255));
        form.BackColor->click(); // rewrites the selected entry
    }
    EXPECT_EQ(form.KindList->item(2)->text(), u"来客:80000008:FF0000"_qs);
    const QStringList before = form.Kinds();
    {
        DialogScript script;
        script.Press(msgdlg::No);
        Add(u"会議"_qs);
        ASSERT_EQ(script.shown().size(), 1u);
        EXPECT_EQ(script.shown()[0].text, u"「会議」は既に登録されています\r\n置き換えますか？"_qs);
        EXPECT_EQ(script.shown()[0].buttons, msgdlg::Yes | msgdlg::No);
    }
    EXPECT_EQ(form.Kinds(), before);
    EXPECT_EQ(form.KindText->text(), QString());
    {
        DialogScript script;
        script.Press(msgdlg::Yes);
        Add(u"会議"_qs);
    }
    // Same place, the sample's colours.
    EXPECT_EQ(form.KindList->item(0)->text(), u"会議:80000008:FF0000"_qs);
    EXPECT_EQ(form.KindList->count(), 3);
}

TEST_F(KindFormTest, SelectedEntryFollowsColourChangesAndDeletes)
{
    // Rows are painted in their entries' colours.
    const QImage shot = form.KindList->viewport()->grab().toImage();
    const QRect row = form.KindList->visualItemRect(form.KindList->item(1));
    EXPECT_EQ(shot.pixelColor(row.right() - 4, row.center().y()), QColor(0xC0, 0xFF, 0xC0));

    form.KindList->setCurrentRow(1);
    EXPECT_EQ(form.Sample->Color(), 0xC0FFC0);
    EXPECT_EQ(form.Sample->FontColor(), 0x8000);
    EXPECT_TRUE(form.TransBtn->isEnabled());
    form.TransBtn->click();
    EXPECT_EQ(form.KindList->item(1)->text(), u"私用:8000:"_qs);
    EXPECT_FALSE(form.TransBtn->isEnabled());
    {
        DialogScript script;
        script.ChooseColor(QColor(0x12, 0x34, 0x56));
        form.FontColor->click();
    }
    EXPECT_EQ(form.KindList->item(1)->text(), u"私用:563412:"_qs);
    form.KindList->setCurrentRow(1);
    form.DelBtn->click();
    EXPECT_EQ(form.Kinds(), (QStringList { u"会議:FF:"_qs, u"来客"_qs }));

    // Without a selection: colours change only the sample, delete nothing.
    form.KindList->clearSelection();
    {
        DialogScript script;
        script.ChooseColor(QColor(0, 0, 0));
        form.BackColor->click();
    }
    EXPECT_EQ(form.Sample->Color(), 0);
    form.DelBtn->click();
    EXPECT_EQ(form.Kinds(), (QStringList { u"会議:FF:"_qs, u"来客"_qs }));
}

TEST_F(KindFormTest, UnusableNamesAreRefusedAndKeepTheirText)
{
    Add(u"   "_qs);
    EXPECT_EQ(form.KindText->text(), u"   "_qs);
    EXPECT_EQ(form.KindList->count(), 3);
    for (const QString& bad : { u"a\"b"_qs, u"会議:FF"_qs, u"my cat"_qs, u"a,b"_qs, u"x\ty"_qs }) {
        DialogScript script;
        script.Press(msgdlg::Ok);
        Add(bad);
        ASSERT_EQ(script.shown().size(), 1u);
        EXPECT_EQ(script.shown()[0].kind, msgdlg::Kind::Warning);
        EXPECT_EQ(form.KindText->text(), bad);
        EXPECT_EQ(form.KindList->count(), 3);
        EXPECT_TRUE(form.isVisible());
    }
}

TEST_F(KindFormTest, OkAndCancelCloseWithTheirResults)
{
    ModalDriver driver;
    driver.Then<TKindForm>([](TKindForm* dialog) { dialog->CancelBtn->click(); });
    driver.Then<TKindForm>([](TKindForm* dialog) { dialog->SetBtn->click(); });
    TKindForm dialog;
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
}

} // namespace
