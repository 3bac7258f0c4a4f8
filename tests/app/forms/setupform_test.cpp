// The settings dialog: every control over its setting, the buttons that act
// at once, the enabling rules, fonts, colours and hot keys, both builds, and
// a picture of every page.
#include "app/forms/enterform.h"
#include "app/forms/kindform.h"
#include "app/forms/passwdform.h"
#include "app/forms/radiogroup.h"
#include "app/forms/setupform.h"
#include "app/forms/userlistform.h"
#include "controls/btnlabel.h"
#include "controls/hotkeyedit.h"
#include "controls/spinbtns.h"
#include "core/sjis.h"
#include "gui/colors.h"
#include "gui/qtext.h"
#include "mainwin_fixture.h"
#include "modal_driver.h"
#include "view/wscheduler.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// The plug-in build as its bridge will install it.
class PluginVariant : public TBuildVariant
{
public:
    strconst::Build Build() const override { return strconst::Build::Plugin; }
    bool HasHostMail() const override { return true; }
};

// The settings of the file that has none of its keys.
void Defaults(TInitParam& settings)
{
    settings.LoadFromFile("");
}

QTabWidget* Pages(QWidget* form)
{
    return Child<QTabWidget>(form, "PageControl1");
}

// A fresh dialog over a fresh settings object (the file without keys).
struct Dialog
{
    Dialog() { Defaults(settings); }
    void Load() { form.LoadFrom(settings); }
    // The controls written into a second fresh settings object.
    void Store()
    {
        Defaults(stored);
        form.StoreTo(stored);
    }
    template<typename T> T* Control(const char* name) { return Child<T>(&form, name); }
    TInitParam settings;
    TInitParam stored;
    TSetupForm form;
};

struct CheckCase
{
    const char* name;
    bool TInitParam::*field;
};

const CheckCase kChecks[] = {
    { "StartWindow", &TInitParam::ShowStart },   { "DispPhoneTab", &TInitParam::PhoneTab },
    { "DispNoteTab", &TInitParam::NoteTab },     { "DispFindTab", &TInitParam::FindTab },
    { "ClockDisp", &TInitParam::ClockDisp },     { "DispTodoTab", &TInitParam::TodoTab },
    { "AutoTitle", &TInitParam::AutoTitle },     { "DisplayTime", &TInitParam::TimeDisp },
    { "DispEvent3", &TInitParam::NoEvent },      { "Reduced", &TInitParam::ReduceDay },
    { "DispWeekly", &TInitParam::WeeklyDisp },   { "EventHint", &TInitParam::EventHint },
    { "TodoHide", &TInitParam::HideDone },       { "DispRokuyo", &TInitParam::DispRokuyo },
    { "NoScanField", &TInitParam::NoScanField }, { "AlermReject", &TInitParam::AlermReject },
    { "ReAlerm", &TInitParam::RepAlerm },        { "AlermDefault", &TInitParam::RepCheck },
    { "ReplyMail", &TInitParam::ReplyMail },     { "QuickMemo", &TInitParam::QuickMemo },
    { "ClearMemo", &TInitParam::MemoClear },     { "NoSched", &TInitParam::NoMemoSched },
};

TEST(SetupForm, EveryCheckShowsItsSettingAndWritesItBack)
{
    PluginVariant plugin; // where every check is offered
    TScopedBuildVariant variant(&plugin);
    for (const CheckCase& c : kChecks) {
        Dialog d;
        d.settings.*c.field = !(d.settings.*c.field);
        d.Load();
        auto* box = d.Control<QCheckBox>(c.name);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->isChecked(), d.settings.*c.field) << c.name;
        box->setChecked(!box->isChecked());
        d.Store();
        EXPECT_EQ(d.stored.*c.field, !(d.settings.*c.field)) << c.name;
    }
}

struct SpinCase
{
    const char* name;
    std::int32_t TInitParam::*field;
    int min;
    int max;
};

const SpinCase kSpins[] = {
    { "DateWidth", &TInitParam::DateColumn, 50, 200 },
    { "DateBorder", &TInitParam::DateBorder, 0, 4 },
    { "AlermInterval", &TInitParam::Interval, 1, 168 },
    { "AutoClose", &TInitParam::AutoClose, 0, 10 },
    { "DateCount", &TInitParam::DayCount, 0, 7 },
    { "MemoLimits", &TInitParam::MemoLimit, -1, 100 },
};

// A value out of range (a hand-edited file) shows clamped and is written
// back clamped.
TEST(SetupForm, SpinBoxesShowTheirSettingWithinTheirRangeAndWriteItBack)
{
    for (const SpinCase& c : kSpins) {
        for (const auto& [given, shown] :
             { std::pair { c.max + 300, c.max }, std::pair { c.min - 5, c.min },
               std::pair { c.min + 1, c.min + 1 } }) {
            Dialog d;
            d.settings.*c.field = given;
            d.Load();
            EXPECT_EQ(d.Control<TValueSpin>(c.name)->Value(), shown) << c.name << " " << given;
            d.Store();
            EXPECT_EQ(d.stored.*c.field, shown) << c.name << " " << given;
        }
    }
}

TEST(SetupForm, TextsChoicesAndHotKeysShowTheirSettingAndWriteItBack)
{
    PluginVariant plugin;
    TScopedBuildVariant variant(&plugin);
    Dialog d;
    d.settings.Title = SJ("予定表");
    d.settings.MemoTitle = SJ("覚え書き");
    d.settings.StartOfWeek = 1;
    d.settings.AutoPickup = 2;
    d.settings.Invoke = 0x4041;
    d.settings.AlermUnit = true;
    d.Load();
    EXPECT_EQ(d.Control<QLineEdit>("KalveroTitle")->text(), u"予定表"_qs);
    EXPECT_EQ(d.Control<QLineEdit>("MemoTitle")->text(), u"覚え書き"_qs);
    EXPECT_EQ(d.Control<TRadioGroup>("StartWeek")->ItemIndex(), 1);
    EXPECT_EQ(d.Control<TRadioGroup>("AutoEnter")->ItemIndex(), 2);
    EXPECT_EQ(d.Control<THotKeyEdit>("Invoked")->text(), u"Ctrl+A"_qs);
    EXPECT_TRUE(d.Control<QRadioButton>("DoNext")->isChecked());

    d.Control<QLineEdit>("KalveroTitle")->setText(u"仕事"_qs);
    d.Control<QLineEdit>("MemoTitle")->clear();
    d.Control<QRadioButton>("StartWeek0")->click();
    d.Control<QRadioButton>("AutoEnter1")->click();
    d.Control<QRadioButton>("BelongTime")->click();
    QTest::keyClick(d.Control<THotKeyEdit>("Invoked"), Qt::Key_K,
                    Qt::ControlModifier | Qt::AltModifier);
    QTest::keyClick(d.Control<THotKeyEdit>("ResizeHotkey"), Qt::Key_F2, Qt::AltModifier);
    d.Store();
    EXPECT_EQ(d.stored.Title, SJ("仕事"));
    EXPECT_EQ(d.stored.MemoTitle, "");
    EXPECT_EQ(d.stored.StartOfWeek, 0);
    EXPECT_EQ(d.stored.AutoPickup, 1);
    EXPECT_EQ(d.stored.Invoke, 0xC04B);
    EXPECT_EQ(d.stored.Resize, 0x8071);
    EXPECT_FALSE(d.stored.AlermUnit);
}

struct SwatchCase
{
    const char* name;
    TColor TInitParam::*field;
};

const SwatchCase kSwatches[] = {
    { "SchedColor", &TInitParam::SchedColor }, { "PhoneColor", &TInitParam::PhoneColor },
    { "MemoColor", &TInitParam::MemoColor },   { "FindColor", &TInitParam::FindColor },
    { "BackColor", &TInitParam::BackColor },   { "TodaysColor", &TInitParam::TodayColor },
};

TEST(SetupForm, EverySwatchPicksItsColourFromItsOwnStart)
{
    for (const SwatchCase& c : kSwatches) {
        Dialog d;
        d.settings.*c.field = 0x123456;
        d.Load();
        DialogScript script;
        script.ChooseColor(QColor(1, 2, 3));
        d.Control<TColorButton>(c.name)->Click();
        ASSERT_EQ(script.shown().size(), 1u) << c.name;
        EXPECT_EQ(script.shown()[0].color, colors::ToQColor(0x123456)) << c.name;
        d.Store();
        EXPECT_EQ(d.stored.*c.field, 0x030201) << c.name;
    }
    // Cancel leaves the colour.
    Dialog d;
    d.Load();
    DialogScript script;
    script.Cancel();
    d.Control<TColorButton>("SchedColor")->Click();
    d.Store();
    EXPECT_EQ(d.stored.SchedColor, d.settings.SchedColor);
}

// The default alarm background is a system colour: its caption is drawn in
// the inverse of the colour it stands for, not of its index.
TEST(SetupForm, AlarmSwatchesShowTheAlarmColoursAndPickThem)
{
    Dialog d;
    d.Load();
    auto* back = d.Control<TButtonLabel>("AlermColor");
    auto* text = d.Control<TButtonLabel>("AlermFont");
    ASSERT_EQ(d.settings.WinColor, colors::clHighlight);
    EXPECT_EQ(back->Color(), colors::clHighlight);
    EXPECT_EQ(back->FontColor(), ~colors::ToRgb(colors::clHighlight) & 0xFFFFFF);
    EXPECT_EQ(text->Color(), colors::clHighlight);
    EXPECT_EQ(text->FontColor(), d.settings.FontColor);

    DialogScript script;
    script.ChooseColor(QColor(255, 255, 0)).ChooseColor(QColor(0, 128, 0));
    back->Click();
    EXPECT_EQ(back->FontColor(), colors::clBlue);
    EXPECT_EQ(text->Color(), colors::clYellow);
    text->Click();
    EXPECT_EQ(script.shown()[0].color, colors::ToQColor(colors::clHighlight));
    EXPECT_EQ(script.shown()[1].color, colors::ToQColor(d.settings.FontColor));
    d.Store();
    EXPECT_EQ(d.stored.WinColor, colors::clYellow);
    EXPECT_EQ(d.stored.FontColor, colors::clGreen);
}

TEST(SetupForm, FontIndexShowsTheFontOnTheBackgroundAndAChosenFontLosesItsStyle)
{
    Dialog d;
    d.settings.EventFont.Size = 14;
    d.settings.EventFont.Color = colors::clRed;
    d.settings.DateFont.Size = 20;
    d.settings.MemoFont.Size = 11;
    d.settings.MemoFont.Charset = 1;
    d.settings.MemoFont.Color = colors::clNavy;
    d.Load();
    auto* index = d.Control<QComboBox>("FontIndex");
    auto* sample = d.Control<TColorButton>("BackColor");
    EXPECT_EQ(index->currentText(), u"件名フォント"_qs);
    EXPECT_EQ(sample->Caption(), u"予定・背景色"_qs);
    EXPECT_EQ(sample->font().pointSize(), 14);
    EXPECT_EQ(sample->FontColor(), colors::clRed);
    QTest::keyClick(index, Qt::Key_Down);
    EXPECT_EQ(sample->Caption(), u"1,2,3,..."_qs);
    EXPECT_EQ(sample->font().pointSize(), 20);
    // The memo font has no sample: the swatch stays as it was.
    QTest::keyClick(index, Qt::Key_Down);
    EXPECT_EQ(index->currentText(), u"メモウィンドウ"_qs);
    EXPECT_EQ(sample->Caption(), u"1,2,3,..."_qs);

    QFont chosen(u"IPAGothic"_qs, 16);
    chosen.setBold(true);
    chosen.setItalic(true);
    chosen.setUnderline(true);
    DialogScript script;
    script.ChooseFont(chosen).ChooseFont(chosen);
    d.Control<QToolButton>("SetFontBtn")->click();
    EXPECT_EQ(script.shown()[0].font.pointSize(), 11);
    QTest::keyClick(index, Qt::Key_Up, Qt::NoModifier);
    QTest::keyClick(index, Qt::Key_Up, Qt::NoModifier);
    d.Control<QToolButton>("SetFontBtn")->click();
    EXPECT_EQ(sample->font().pointSize(), 16);
    EXPECT_FALSE(sample->font().bold());
    d.Store();
    for (const TFontRec* font : { &d.stored.MemoFont, &d.stored.EventFont }) {
        EXPECT_EQ(font->Name, "IPAGothic");
        EXPECT_EQ(font->Size, 16);
        EXPECT_EQ(font->Style, 0);
    }
    EXPECT_EQ(d.stored.MemoFont.Charset, 1);
    EXPECT_EQ(d.stored.MemoFont.Color, colors::clNavy);
    EXPECT_EQ(d.stored.DateFont, d.settings.DateFont);
}

TEST(SetupForm, EnablingRulesFollowTheClicksAndTheLoadedValues)
{
    PluginVariant plugin;
    TScopedBuildVariant variant(&plugin);
    Dialog d;
    d.form.show();
    auto* senders = d.Control<QPushButton>("Button1");
    const std::vector<QWidget*> digest = { d.Control<QWidget>("ClearMemo"),
                                           d.Control<QWidget>("DateCount"),
                                           d.Control<QWidget>("MemoLimits"),
                                           d.Control<QWidget>("NoSched") };
    auto digestEnabled = [&] {
        int n = 0;
        for (QWidget* w : digest)
            n += w->isEnabled();
        return n;
    };
    d.Load();
    EXPECT_FALSE(senders->isEnabled());
    EXPECT_EQ(digestEnabled(), 0);
    d.Control<TRadioGroup>("AutoEnter")->Button(2)->click();
    EXPECT_TRUE(senders->isEnabled());
    d.Control<TRadioGroup>("AutoEnter")->Button(1)->click();
    EXPECT_FALSE(senders->isEnabled());
    d.Control<QCheckBox>("QuickMemo")->click();
    EXPECT_EQ(digestEnabled(), 4);
    d.Control<QCheckBox>("QuickMemo")->click();
    EXPECT_EQ(digestEnabled(), 0);

    d.settings.AutoPickup = 2;
    d.settings.QuickMemo = true;
    d.Load();
    EXPECT_TRUE(senders->isEnabled());
    EXPECT_EQ(digestEnabled(), 4);
}

TEST(SetupForm, EachBuildOffersItsOwnChoicesAndNamesItsProduct)
{
    {
        strconst::ScopedBuild build(strconst::Build::Program);
        Dialog d;
        d.settings.AutoPickup = 2;
        d.settings.ReplyMail = true;
        d.Load();
        EXPECT_EQ(d.form.windowTitle(), u"Miradelの設定"_qs);
        EXPECT_EQ(d.Control<QLabel>("VersionLabel")->text(),
                  u"Miradel-アプリ版 v"_qs + QString::fromUtf8(strconst::kVersion) +
                      u" (Kalvero personal scheduler)"_qs);
        auto* pickup = d.Control<TRadioGroup>("AutoEnter");
        EXPECT_EQ(pickup->title(), u"テキストコピー時の動作"_qs);
        ASSERT_EQ(pickup->Count(), 2);
        EXPECT_EQ(pickup->Item(1), u"全て登録"_qs);
        // Trusted senders only is all mails where no mail arrives.
        EXPECT_EQ(pickup->ItemIndex(), 1);
        EXPECT_TRUE(d.Control<QWidget>("ReplyMail")->isHidden());
        EXPECT_FALSE(Pages(&d.form)->isTabVisible(4));
        d.Store();
        EXPECT_EQ(d.stored.AutoPickup, 1);
        // No linked mail to reply to without a host: stored as off.
        EXPECT_FALSE(d.stored.ReplyMail);
    }
    {
        strconst::ScopedBuild build(strconst::Build::Plugin);
        PluginVariant plugin;
        TScopedBuildVariant variant(&plugin);
        Dialog d;
        EXPECT_EQ(d.Control<QLabel>("VersionLabel")->text(),
                  u"Miradelプラグイン v"_qs + QString::fromUtf8(strconst::kVersion) +
                      u" (Kalvero personal scheduler)"_qs);
        auto* pickup = d.Control<TRadioGroup>("AutoEnter");
        EXPECT_EQ(pickup->title(), u"受信時の動作"_qs);
        EXPECT_EQ(pickup->Count(), 3);
        EXPECT_FALSE(d.Control<QWidget>("ReplyMail")->isHidden());
        const QTabWidget* pages = Pages(&d.form);
        QStringList captions;
        for (int i = 0; i < pages->count(); ++i) {
            EXPECT_TRUE(pages->isTabVisible(i));
            captions << pages->tabText(i) + u"/"_qs + pages->widget(i)->objectName();
        }
        EXPECT_EQ(captions,
                  QStringList({ u"全般/TabSheet1"_qs, u"カレンダー/TabSheet3"_qs,
                                u"インポート/TabSheet2"_qs, u"アラーム/TabSheet4"_qs,
                                u"予定通知/TabSheet5"_qs }));
    }
}

// --- In the main window

// The plug-in's answers on the program's data folder: the trusted-senders
// button needs a build where mails arrive.
class HostMailVariant : public TProgramVariant
{
public:
    using TProgramVariant::TProgramVariant;
    bool HasHostMail() const override { return true; }
};

class SetupInMainWindow : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        // The real dialog.
        SchedFormDialogs().Setup = {};
    }
    TSetupForm* Form() { return dynamic_cast<TSetupForm*>(form->SetupForm()); }
};

TEST_F(SetupInMainWindow, CancelDropsTheControlsButKeepsWhatTheButtonsDidAtOnce)
{
    HostMailVariant host(dir + "Kalvero");
    TScopedBuildVariant hostScope(&host);
    Write("Kalvero.ini", SJ("TITLE=前の題\r\n"));
    Create();
    Show();
    ASSERT_NE(Form(), nullptr);

    ModalDriver driver;
    driver.Then<TSetupForm>([](TSetupForm* f) {
        Child<QLineEdit>(f, "KalveroTitle")->setText(u"捨てる題"_qs);
        Child<QPushButton>(f, "SecretDefine")->click();
        Child<TRadioGroup>(f, "AutoEnter")->Button(2)->click();
        Child<QPushButton>(f, "Button1")->click();
        Child<QPushButton>(f, "KindDef")->click();
        Child<QPushButton>(f, "CancelButton")->click();
    });
    driver.Then<TPasswdForm>([](TPasswdForm* f) {
        f->Pass2->setText(u"秘密"_qs);
        f->BitBtn1->click();
    });
    driver.Then<TUserListForm>([](TUserListForm* f) {
        f->UserName->setText(u"Boss@Example.com"_qs);
        f->AddBtn->click();
        f->BitBtn1->click();
    });
    driver.Then<TKindForm>([](TKindForm* f) {
        f->KindText->setText(u"出張"_qs);
        f->AddBtn->click();
        f->SetBtn->click();
    });
    form->SetupAction->trigger();
    EXPECT_EQ(driver.shown(), 4);

    EXPECT_EQ(form->windowTitle(), u"前の題"_qs);
    EXPECT_EQ(InitParam.Title, SJ("前の題"));
    EXPECT_EQ(InitParam.AutoPickup, 0);
    EXPECT_EQ(InitParam.SecretKey, SJ("秘密"));
    EXPECT_EQ(InitParam.UserList, "boss@example.com");
    ASSERT_FALSE(form->EnterForm->KindItems().isEmpty());
    EXPECT_TRUE(form->EnterForm->KindItems().first().startsWith(u"出張:"_qs));

    // The final save: the password enciphered, the categories from the
    // entry dialog.
    Close();
    const std::string ini = Read("Kalvero.ini");
    const auto at = ini.find("SECRETKEY=");
    ASSERT_NE(at, std::string::npos);
    const std::string cipher = ini.substr(at + 10, ini.find("\r\n", at) - at - 10);
    EXPECT_NE(cipher, SJ("秘密"));
    EXPECT_EQ(TInitParam::CryptString(cipher, 2), SJ("秘密"));
    EXPECT_NE(ini.find("USERLIST=boss@example.com\r\n"), std::string::npos);
    EXPECT_NE(ini.find(SJ("TYPES=出張:")), std::string::npos);
}

TEST_F(SetupInMainWindow, OkShowsTheSettingsAtOnceAndTheNextOpeningReloadsThem)
{
    Create();
    Show();
    ModalDriver driver;
    driver.Then<TSetupForm>([](TSetupForm* f) {
        EXPECT_EQ(f->focusWidget(), Child<QPushButton>(f, "CancelButton"));
        Child<QLineEdit>(f, "KalveroTitle")->setText(u"今週の予定"_qs);
        QTabWidget* pages = Pages(f);
        pages->setCurrentIndex(1);
        Child<TRadioGroup>(f, "StartWeek")->Button(1)->click();
        Child<QPushButton>(f, "OKButton")->click();
    });
    // The page last shown comes back; the controls show the settings again,
    // not what a cancelled opening left in them.
    driver.Then<TSetupForm>([](TSetupForm* f) {
        EXPECT_EQ(Pages(f)->currentIndex(), 1);
        EXPECT_EQ(Child<QLineEdit>(f, "KalveroTitle")->text(), u"今週の予定"_qs);
        Child<QLineEdit>(f, "KalveroTitle")->setText(u"捨てる"_qs);
        f->reject();
    });
    driver.Then<TSetupForm>([](TSetupForm* f) {
        EXPECT_EQ(Child<QLineEdit>(f, "KalveroTitle")->text(), u"今週の予定"_qs);
        f->reject();
    });
    form->SetupAction->trigger();
    EXPECT_EQ(form->windowTitle(), u"今週の予定"_qs);
    EXPECT_EQ(form->Calendar->StartOfWeek(), 1);
    form->SetupAction->trigger();
    form->SetupAction->trigger();
    EXPECT_EQ(driver.shown(), 3);
    Close();
    const std::string ini = Read("Kalvero.ini");
    EXPECT_NE(ini.find(SJ("TITLE=今週の予定\r\n")), std::string::npos);
    EXPECT_NE(ini.find("STARTOFWEEK=1\r\n"), std::string::npos);
}

// Every page, shown at the dialog's fixed size, as a picture in the build
// folder; no text of a page is squeezed below the room it needs or reaches
// outside the dialog.
TEST(SetupForm, EveryPageFitsTheFixedSizeAndLeavesAPicture)
{
    for (const bool plugin : { false, true }) {
        PluginVariant pluginVariant;
        TScopedBuildVariant variant(plugin ? &pluginVariant : nullptr);
        strconst::ScopedBuild build(plugin ? strconst::Build::Plugin : strconst::Build::Program);
        TInitParam settings;
        Defaults(settings);
        TSetupForm form;
        form.LoadFrom(settings);
        form.show();
        QTabWidget* pages = Pages(&form);
        for (int i = 0; i < pages->count(); ++i) {
            if (!pages->isTabVisible(i))
                continue;
            pages->setCurrentIndex(i);
            QApplication::processEvents();
            const QRect inside = form.rect();
            for (QWidget* w : pages->widget(i)->findChildren<QWidget*>()) {
                if (!w->isVisibleTo(&form))
                    continue;
                const QRect r(w->mapTo(&form, QPoint(0, 0)), w->size());
                EXPECT_TRUE(inside.contains(r)) << w->objectName().toStdString() << " page " << i;
                // The arrows of a spin box are sized by the spin box.
                if (qobject_cast<QLabel*>(w) || qobject_cast<QCheckBox*>(w) ||
                    qobject_cast<QRadioButton*>(w) || qobject_cast<QPushButton*>(w) ||
                    qobject_cast<QGroupBox*>(w)) {
                    EXPECT_GE(w->width(), w->sizeHint().width())
                        << w->objectName().toStdString() << " page " << i;
                }
            }
            const QString file = QStringLiteral(KALVERO_BINARY_DIR "/setupform_%1_page%2.png")
                                     .arg(plugin ? u"plugin"_qs : u"program"_qs)
                                     .arg(i + 1);
            EXPECT_TRUE(form.grab().save(file)) << file.toStdString();
        }
    }
}

} // namespace
