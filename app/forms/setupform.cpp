#include "app/forms/setupform.h"

#include "app/forms/enterform.h"
#include "app/forms/formutil.h"
#include "app/forms/passwdform.h"
#include "app/forms/radiogroup.h"
#include "app/forms/userlistform.h"
#include "app/forms/variant.h"
#include "app/settings/consts.h"
#include "app/settingsqt/settingsqt.h"
#include "controls/btnlabel.h"
#include "controls/hotkeyedit.h"
#include "controls/spinbtns.h"
#include "gui/colors.h"
#include "gui/msgdlg.h"
#include "gui/qtext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

// One page of the dialog: fills its controls from the settings and writes
// them back.
class TSetupPage : public QWidget
{
public:
    using QWidget::QWidget;
    virtual void Load(const TInitParam& settings) = 0;
    virtual void Store(TInitParam& settings) const = 0;
};

namespace {

template<typename T> T* Named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QCheckBox* Check(QWidget* parent, const char* name, const QString& caption)
{
    return Named(new QCheckBox(caption, parent), name);
}

QLineEdit* Edit(QWidget* parent, const char* name)
{
    return Named(new QLineEdit(parent), name);
}

TValueSpin* Spin(QWidget* parent, const char* name, int min, int max)
{
    auto* spin = Named(new TValueSpin(parent), name);
    spin->SetMin(min);
    spin->SetMax(max);
    // The spin box sizes itself; the layouts keep that size.
    spin->setFixedSize(spin->size());
    return spin;
}

THotKeyEdit* HotKey(QWidget* parent, const char* name)
{
    auto* edit = Named(new THotKeyEdit(parent), name);
    edit->setMinimumWidth(150);
    return edit;
}

QGroupBox* Group(QWidget* parent, const QString& caption)
{
    return new QGroupBox(caption, parent);
}

// A label, the control it names and an optional text after it, in one row.
QHBoxLayout* Row(QWidget* parent, const QString& before, QWidget* control,
                 const QString& after = QString())
{
    auto* row = new QHBoxLayout;
    if (!before.isEmpty()) {
        auto* label = new QLabel(before, parent);
        label->setBuddy(control);
        row->addWidget(label);
    }
    row->addWidget(control);
    if (!after.isEmpty())
        row->addWidget(new QLabel(after, parent));
    row->addStretch(1);
    return row;
}

// The colour dialog for a swatch: after OK the swatch takes the colour.
void PickColor(TColorButton* swatch)
{
    if (const std::optional<QColor> chosen =
            msgdlg::ChooseColor(colors::ToQColor(swatch->Color()), swatch->window()))
        swatch->SetColor(colors::FromQColor(*chosen));
}

// The six colour swatches share one look and one click handler; their tag
// says which setting they show.
TColorButton* Swatch(QWidget* parent, const char* name, const QString& caption, int tag)
{
    auto* swatch = Named(new TColorButton(parent), name);
    swatch->SetCaption(caption);
    swatch->SetAutoFontColor(false);
    swatch->SetDrawFocus(fbRect);
    swatch->SetDrawFrame(true);
    swatch->setMinimumSize(swatch->sizeHint());
    forms::SetTag(swatch, tag);
    QObject::connect(swatch, &TColorButton::Clicked, swatch, [swatch] { PickColor(swatch); });
    return swatch;
}

QString Text(const std::string& sjis)
{
    return qtext::ToQ(sjis);
}

std::string Text(const QLineEdit* edit)
{
    return qtext::FromQ(edit->text());
}

// ---------------------------------------------------------------------------
// "全般"

class TGeneralPage : public TSetupPage
{
public:
    explicit TGeneralPage(QWidget* parent) : TSetupPage(parent)
    {
        setObjectName(u"TabSheet1"_qs);
        auto* window = Group(this, u"予定表ウィンドウ"_qs);
        KalveroTitle = Edit(window, "KalveroTitle");
        StartWindow = Check(window, "StartWindow", u"起動時にウィンドウを表示"_qs);
        auto* windowBox = new QVBoxLayout(window);
        windowBox->addLayout(Row(window, u"タイトル"_qs, KalveroTitle));
        KalveroTitle->setMinimumWidth(170);
        windowBox->addWidget(StartWindow);

        auto* show = Group(this, u"表示"_qs);
        DispPhoneTab = Check(show, "DispPhoneTab", u"電話帳を表示"_qs);
        DispNoteTab = Check(show, "DispNoteTab", u"メモ帳を表示"_qs);
        DispFindTab = Check(show, "DispFindTab", u"検索タブ表示"_qs);
        ClockDisp = Check(show, "ClockDisp", u"ツールバーに時刻表示"_qs);
        DispTodoTab = Check(show, "DispTodoTab", u"ToDoタブ表示"_qs);
        auto* showGrid = new QGridLayout(show);
        showGrid->addWidget(DispPhoneTab, 0, 0);
        showGrid->addWidget(DispNoteTab, 1, 0);
        showGrid->addWidget(DispFindTab, 2, 0);
        showGrid->addWidget(ClockDisp, 0, 1);
        showGrid->addWidget(DispTodoTab, 1, 1);

        auto* keys = Group(this, u" ホットキー "_qs);
        Invoked = HotKey(keys, "Invoked");
        ResizeHotkey = HotKey(keys, "ResizeHotkey");
        auto* keyGrid = new QGridLayout(keys);
        auto* invokeLabel = new QLabel(u"Window表示・非表示"_qs, keys);
        invokeLabel->setBuddy(Invoked);
        auto* resizeLabel = new QLabel(u"サイズ変更　/　設定Window"_qs, keys);
        resizeLabel->setBuddy(ResizeHotkey);
        keyGrid->addWidget(invokeLabel, 0, 0);
        keyGrid->addWidget(Invoked, 0, 1);
        keyGrid->addWidget(resizeLabel, 1, 0);
        keyGrid->addWidget(ResizeHotkey, 1, 1);

        auto* memo = Group(this, u"メモ帳のタイトル"_qs);
        MemoTitle = Edit(memo, "MemoTitle");
        (new QVBoxLayout(memo))->addWidget(MemoTitle);

        auto* colours = Group(this, u"表示色"_qs);
        SchedColor = Swatch(colours, "SchedColor", u"予定リスト"_qs, 0);
        PhoneColor = Swatch(colours, "PhoneColor", u"電話帳"_qs, 1);
        MemoColor = Swatch(colours, "MemoColor", u"メモ"_qs, 2);
        FindColor = Swatch(colours, "FindColor", u"検索リスト"_qs, 3);
        auto* colourBox = new QVBoxLayout(colours);
        for (TColorButton* swatch : { SchedColor, PhoneColor, MemoColor, FindColor })
            colourBox->addWidget(swatch);
        colourBox->addStretch(1);

        auto* left = new QVBoxLayout;
        left->addWidget(window);
        left->addWidget(show);
        left->addWidget(keys);
        left->addStretch(1);
        auto* right = new QVBoxLayout;
        right->addWidget(memo);
        right->addWidget(colours, 1);
        auto* page = new QHBoxLayout(this);
        page->addLayout(left, 1);
        page->addLayout(right);
    }

    void Load(const TInitParam& s) override
    {
        KalveroTitle->setText(Text(s.Title));
        StartWindow->setChecked(s.ShowStart);
        DispPhoneTab->setChecked(s.PhoneTab);
        DispNoteTab->setChecked(s.NoteTab);
        DispFindTab->setChecked(s.FindTab);
        ClockDisp->setChecked(s.ClockDisp);
        DispTodoTab->setChecked(s.TodoTab);
        Invoked->SetHotKey(s.Invoke);
        ResizeHotkey->SetHotKey(s.Resize);
        MemoTitle->setText(Text(s.MemoTitle));
        SchedColor->SetColor(s.SchedColor);
        PhoneColor->SetColor(s.PhoneColor);
        MemoColor->SetColor(s.MemoColor);
        FindColor->SetColor(s.FindColor);
    }

    void Store(TInitParam& s) const override
    {
        s.Title = Text(KalveroTitle);
        s.ShowStart = StartWindow->isChecked();
        s.PhoneTab = DispPhoneTab->isChecked();
        s.NoteTab = DispNoteTab->isChecked();
        s.FindTab = DispFindTab->isChecked();
        s.ClockDisp = ClockDisp->isChecked();
        s.TodoTab = DispTodoTab->isChecked();
        s.Invoke = Invoked->HotKey();
        s.Resize = ResizeHotkey->HotKey();
        s.MemoTitle = Text(MemoTitle);
        s.SchedColor = SchedColor->Color();
        s.PhoneColor = PhoneColor->Color();
        s.MemoColor = MemoColor->Color();
        s.FindColor = FindColor->Color();
    }

private:
    QLineEdit* KalveroTitle;
    QCheckBox* StartWindow;
    QCheckBox* DispPhoneTab;
    QCheckBox* DispNoteTab;
    QCheckBox* DispFindTab;
    QCheckBox* ClockDisp;
    QCheckBox* DispTodoTab;
    THotKeyEdit* Invoked;
    THotKeyEdit* ResizeHotkey;
    QLineEdit* MemoTitle;
    TColorButton* SchedColor;
    TColorButton* PhoneColor;
    TColorButton* MemoColor;
    TColorButton* FindColor;
};

// ---------------------------------------------------------------------------
// "カレンダー"

class TCalendarPage : public TSetupPage
{
public:
    TCalendarPage(QWidget* parent, QPointer<TSchedForm> owner)
        : TSetupPage(parent), owner_(std::move(owner))
    {
        setObjectName(u"TabSheet3"_qs);
        auto* fonts = Group(this, u"フォントと背景色"_qs);
        FontIndex = Named(new QComboBox(fonts), "FontIndex");
        FontIndex->addItems({ u"件名フォント"_qs, u"日付フォント"_qs, u"メモウィンドウ"_qs });
        SetFontBtn = Named(new QToolButton(fonts), "SetFontBtn");
        SetFontBtn->setText(u"Aa"_qs);
        QFont glyph = SetFontBtn->font();
        glyph.setBold(true);
        SetFontBtn->setFont(glyph);
        BackColor = Swatch(fonts, "BackColor", QString(), 4);
        // The swatch is also the sample of the chosen font on the calendar's
        // background, so it has room for a large one.
        BackColor->setMinimumSize(170, 44);
        TodaysColor = Swatch(fonts, "TodaysColor", u"当日色"_qs, 5);
        auto* fontRow = new QHBoxLayout;
        fontRow->addWidget(FontIndex, 1);
        fontRow->addWidget(SetFontBtn);
        auto* fontBox = new QVBoxLayout(fonts);
        fontBox->addLayout(fontRow);
        fontBox->addWidget(BackColor);
        fontBox->addWidget(TodaysColor);

        // Created in the order they stand, which Tab follows.
        StartWeek = Named(new TRadioGroup(u"開始曜日"_qs, this), "StartWeek");
        StartWeek->SetItems({ u"日曜"_qs, u"月曜"_qs });
        StartWeek->SetColumns(2);
        SecretDefine = forms::Button(this, u"パスワードの設定"_qs, u"SecretDefine"_qs);
        KindDef = forms::Button(this, u"分類設定"_qs, u"KindDef"_qs);

        auto* view = Group(this, u"表示設定"_qs);
        AutoTitle = Check(view, "AutoTitle", u"マーク・件名表示自動切替"_qs);
        DisplayTime = Check(view, "DisplayTime", u"開始時刻を付加する"_qs);
        DispEvent3 = Check(view, "DispEvent3", u"年数付きイベント表示"_qs);
        Reduced = Check(view, "Reduced", u"土・日を縮小表示する"_qs);
        DispWeekly = Check(view, "DispWeekly", u"週間予定で表示する"_qs);
        DateWidth = Spin(view, "DateWidth", 50, 200);
        DateBorder = Spin(view, "DateBorder", 0, 4);
        EventHint = Check(view, "EventHint", u"イベントをヒント表示"_qs);
        TodoHide = Check(view, "TodoHide", u"完了チェック項目を非表示"_qs);
        DispRokuyo = Check(view, "DispRokuyo", u"六曜を表示する"_qs);
        auto* viewBox = new QVBoxLayout(view);
        for (QCheckBox* check : { AutoTitle, DisplayTime, DispEvent3, Reduced, DispWeekly })
            viewBox->addWidget(check);
        auto* numbers = new QGridLayout;
        auto* widthLabel = new QLabel(u"日付列の幅"_qs, view);
        widthLabel->setBuddy(DateWidth);
        auto* borderLabel = new QLabel(u"日付境界線幅"_qs, view);
        borderLabel->setBuddy(DateBorder);
        numbers->addWidget(widthLabel, 0, 0);
        numbers->addWidget(DateWidth, 0, 1);
        numbers->addWidget(borderLabel, 1, 0);
        numbers->addWidget(DateBorder, 1, 1);
        numbers->setColumnStretch(2, 1);
        viewBox->addLayout(numbers);
        for (QCheckBox* check : { EventHint, TodoHide, DispRokuyo })
            viewBox->addWidget(check);

        auto* left = new QVBoxLayout;
        left->addWidget(fonts);
        left->addWidget(StartWeek);
        left->addWidget(SecretDefine);
        left->addWidget(KindDef);
        left->addStretch(1);
        auto* page = new QHBoxLayout(this);
        page->addLayout(left);
        page->addWidget(view, 1, Qt::AlignTop);

        connect(FontIndex, &QComboBox::activated, this, [this] { FontIndexChange(); });
        connect(SetFontBtn, &QToolButton::clicked, this, [this] { SetFontBtnClick(); });
        connect(SecretDefine, &QPushButton::clicked, this,
                [this] { TPasswdForm::ChangePassword(InitParam.SecretKey, window()); });
        connect(KindDef, &QPushButton::clicked, this, [this] {
            if (owner_ && owner_->EnterForm)
                owner_->EnterForm->EditKinds(window());
        });
    }

    void Load(const TInitParam& s) override
    {
        fonts_ = { s.EventFont, s.DateFont, s.MemoFont };
        BackColor->SetColor(s.BackColor);
        TodaysColor->SetColor(s.TodayColor);
        AutoTitle->setChecked(s.AutoTitle);
        DisplayTime->setChecked(s.TimeDisp);
        DispEvent3->setChecked(s.NoEvent);
        Reduced->setChecked(s.ReduceDay);
        DispWeekly->setChecked(s.WeeklyDisp);
        DateWidth->SetValue(s.DateColumn);
        DateBorder->SetValue(s.DateBorder);
        EventHint->setChecked(s.EventHint);
        TodoHide->setChecked(s.HideDone);
        DispRokuyo->setChecked(s.DispRokuyo);
        StartWeek->SetItemIndex(s.StartOfWeek);
        FontIndex->setCurrentIndex(0);
        FontIndexChange();
    }

    void Store(TInitParam& s) const override
    {
        s.EventFont = fonts_[0];
        s.DateFont = fonts_[1];
        s.MemoFont = fonts_[2];
        s.BackColor = BackColor->Color();
        s.TodayColor = TodaysColor->Color();
        s.AutoTitle = AutoTitle->isChecked();
        s.TimeDisp = DisplayTime->isChecked();
        s.NoEvent = DispEvent3->isChecked();
        s.ReduceDay = Reduced->isChecked();
        s.WeeklyDisp = DispWeekly->isChecked();
        s.DateColumn = DateWidth->Value();
        s.DateBorder = DateBorder->Value();
        s.EventHint = EventHint->isChecked();
        s.HideDone = TodoHide->isChecked();
        s.DispRokuyo = DispRokuyo->isChecked();
        s.StartOfWeek = std::max(0, StartWeek->ItemIndex());
    }

private:
    // The subject and date fonts show on the background swatch, as they
    // will on the calendar; the memo font has no sample there.
    void FontIndexChange()
    {
        const int index = FontIndex->currentIndex();
        if (index != 0 && index != 1)
            return;
        BackColor->SetCaption(index == 0 ? u"予定・背景色"_qs : u"1,2,3,..."_qs);
        const TFontRec& font = fonts_[static_cast<std::size_t>(index)];
        BackColor->setFont(settingsqt::ToQFont(font));
        BackColor->SetFontColor(font.Color);
    }

    // The calendar draws its texts plain: a style chosen in the dialog is
    // dropped. Character set and colour are not the dialog's to change.
    void SetFontBtnClick()
    {
        const int index = FontIndex->currentIndex();
        if (index < 0 || index > 2)
            return;
        TFontRec& font = fonts_[static_cast<std::size_t>(index)];
        const std::optional<QFont> chosen = msgdlg::ChooseFont(settingsqt::ToQFont(font), window());
        if (!chosen)
            return;
        settingsqt::FromQFont(*chosen, font);
        font.Style = 0;
        FontIndexChange();
    }

    QPointer<TSchedForm> owner_;
    std::array<TFontRec, 3> fonts_;
    QComboBox* FontIndex;
    QToolButton* SetFontBtn;
    TColorButton* BackColor;
    TColorButton* TodaysColor;
    QCheckBox* AutoTitle;
    QCheckBox* DisplayTime;
    QCheckBox* DispEvent3;
    QCheckBox* Reduced;
    QCheckBox* DispWeekly;
    TValueSpin* DateWidth;
    TValueSpin* DateBorder;
    QCheckBox* EventHint;
    QPushButton* SecretDefine;
    QCheckBox* TodoHide;
    QCheckBox* DispRokuyo;
    TRadioGroup* StartWeek;
    QPushButton* KindDef;
};

// ---------------------------------------------------------------------------
// "インポート"

class TImportPage : public TSetupPage
{
public:
    explicit TImportPage(QWidget* parent) : TSetupPage(parent)
    {
        setObjectName(u"TabSheet2"_qs);
        TBuildVariant& variant = BuildVariant();
        AutoEnter =
            Named(new TRadioGroup(
                      variant.IsProgram() ? variant.AutoPickupCaption() : u"受信時の動作"_qs, this),
                  "AutoEnter");
        QStringList items { u"登録しない"_qs, u"全て登録"_qs };
        // Trusted senders are a matter of mails that arrive.
        if (variant.HasHostMail())
            items << u"差出人指定"_qs;
        AutoEnter->SetItems(items);
        AutoEnter->SetColumns(3);
        Button1 = forms::Button(this, u"差出人設定"_qs, u"Button1"_qs);
        NoScanField = Check(this, "NoScanField",
                            u"コンテキストメニュー表示でインポートメールかを調べない"_qs);
        AlermReject = Check(this, "AlermReject", u"アラーム指定があっても登録しない"_qs);
        auto* page = new QVBoxLayout(this);
        page->addWidget(AutoEnter);
        auto* buttonRow = new QHBoxLayout;
        buttonRow->addStretch(1);
        buttonRow->addWidget(Button1);
        page->addLayout(buttonRow);
        page->addWidget(NoScanField);
        page->addWidget(AlermReject);
        page->addStretch(1);

        connect(AutoEnter, &TRadioGroup::Click, this, [this] { AutoEnterClick(); });
        connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
        AutoEnterClick();
    }

    void Load(const TInitParam& s) override
    {
        // A choice this build does not offer shows as the nearest it does
        // (registering from trusted senders only is registering all where
        // there are no senders to trust).
        AutoEnter->SetItemIndex(std::clamp(s.AutoPickup, 0, AutoEnter->Count() - 1));
        NoScanField->setChecked(s.NoScanField);
        AlermReject->setChecked(s.AlermReject);
        AutoEnterClick();
    }

    void Store(TInitParam& s) const override
    {
        s.AutoPickup = std::max(0, AutoEnter->ItemIndex());
        s.NoScanField = NoScanField->isChecked();
        s.AlermReject = AlermReject->isChecked();
    }

private:
    void AutoEnterClick() { Button1->setEnabled(AutoEnter->ItemIndex() == 2); }

    void Button1Click()
    {
        TUserListForm form(window());
        form.SetListText(InitParam.UserList);
        if (form.exec() == QDialog::Accepted)
            InitParam.UserList = form.ListText();
    }

    TRadioGroup* AutoEnter;
    QPushButton* Button1;
    QCheckBox* NoScanField;
    QCheckBox* AlermReject;
};

// ---------------------------------------------------------------------------
// "アラーム"

class TAlarmPage : public TSetupPage
{
public:
    explicit TAlarmPage(QWidget* parent) : TSetupPage(parent)
    {
        setObjectName(u"TabSheet4"_qs);
        auto* window = Group(this, u"アラームウィンドウ"_qs);
        AlermColor = Named(new TButtonLabel(window), "AlermColor");
        AlermColor->SetCaption(u"背景色"_qs);
        AlermColor->SetBorderWidth(4);
        AlermFont = Named(new TButtonLabel(window), "AlermFont");
        AlermFont->SetCaption(u"文字色"_qs);
        for (TButtonLabel* label : { AlermColor, AlermFont }) {
            label->SetAlignment(taCenter);
            label->SetLayout(tlCenter);
            label->SetTabStop(true);
            label->SetDrawFocusRect(true);
        }
        auto* windowBox = new QHBoxLayout(window);
        windowBox->addWidget(AlermColor);
        windowBox->addWidget(AlermFont);

        auto* again = Group(this, u"再通知の間隔は"_qs);
        AlermInterval = Spin(again, "AlermInterval", 1, 168);
        DoNext = Named(new QRadioButton(u"時間後"_qs, again), "DoNext");
        BelongTime = Named(new QRadioButton(u"アラーム指定の単位に従う"_qs, again), "BelongTime");
        auto* againBox = new QVBoxLayout(again);
        auto* intervalRow = new QHBoxLayout;
        intervalRow->addWidget(AlermInterval);
        intervalRow->addWidget(DoNext);
        intervalRow->addStretch(1);
        againBox->addLayout(intervalRow);
        againBox->addWidget(BelongTime);

        auto* close = Group(this, u"自動クローズ"_qs);
        AutoClose = Spin(close, "AutoClose", 0, 10);
        ReAlerm = Check(close, "ReAlerm", u"自動クローズしたら再通知する"_qs);
        auto* closeBox = new QVBoxLayout(close);
        closeBox->addLayout(Row(close, QString(), AutoClose, u"分後"_qs));
        closeBox->addWidget(ReAlerm);

        AlermDefault = Check(this, "AlermDefault", u"再通知をデフォルトにする"_qs);
        ReplyMail = Check(this, "ReplyMail", u"メール送信でリンクメールの返信を作成する"_qs);
        // Without a host mail client there is no linked mail to reply to.
        if (!BuildVariant().HasHostMail())
            ReplyMail->setVisible(false);

        auto* page = new QVBoxLayout(this);
        page->addWidget(window);
        auto* middle = new QHBoxLayout;
        middle->addWidget(again, 1);
        middle->addWidget(close, 1);
        page->addLayout(middle);
        page->addWidget(AlermDefault);
        page->addWidget(ReplyMail);
        page->addStretch(1);

        connect(AlermColor, &TButtonLabel::Clicked, this, [this] { AlermColorClick(); });
        connect(AlermFont, &TButtonLabel::Clicked, this, [this] { AlermFontClick(); });
    }

    void Load(const TInitParam& s) override
    {
        ShowBackground(s.WinColor);
        AlermFont->SetFontColor(s.FontColor);
        AlermInterval->SetValue(s.Interval);
        DoNext->setChecked(s.AlermUnit);
        BelongTime->setChecked(!s.AlermUnit);
        AutoClose->SetValue(s.AutoClose);
        ReAlerm->setChecked(s.RepAlerm);
        AlermDefault->setChecked(s.RepCheck);
        // Hidden without a host and then off, so that it is stored as 0.
        ReplyMail->setChecked(s.ReplyMail && BuildVariant().HasHostMail());
    }

    void Store(TInitParam& s) const override
    {
        s.WinColor = AlermColor->Color();
        s.FontColor = AlermFont->FontColor();
        s.Interval = AlermInterval->Value();
        s.AlermUnit = DoNext->isChecked();
        s.AutoClose = AutoClose->Value();
        s.RepAlerm = ReAlerm->isChecked();
        s.RepCheck = AlermDefault->isChecked();
        s.ReplyMail = ReplyMail->isChecked();
    }

private:
    // The background swatch writes its caption in the inverse colour, so
    // that it stays readable; a system colour (the default is one) is
    // inverted by its RGB value. The text-colour swatch shows the alarm's
    // text on this background.
    void ShowBackground(TColor color)
    {
        AlermColor->SetColor(color);
        AlermColor->SetFontColor(~colors::ToRgb(color, palette()) & 0xFFFFFF);
        AlermFont->SetColor(color);
    }

    void AlermColorClick()
    {
        if (const std::optional<QColor> chosen =
                msgdlg::ChooseColor(colors::ToQColor(AlermColor->Color()), window()))
            ShowBackground(colors::FromQColor(*chosen));
    }

    void AlermFontClick()
    {
        if (const std::optional<QColor> chosen =
                msgdlg::ChooseColor(colors::ToQColor(AlermFont->FontColor()), window()))
            AlermFont->SetFontColor(colors::FromQColor(*chosen));
    }

    TButtonLabel* AlermColor;
    TButtonLabel* AlermFont;
    TValueSpin* AlermInterval;
    QRadioButton* DoNext;
    QRadioButton* BelongTime;
    TValueSpin* AutoClose;
    QCheckBox* ReAlerm;
    QCheckBox* AlermDefault;
    QCheckBox* ReplyMail;
};

// ---------------------------------------------------------------------------
// "予定通知"

class TQuickMemoPage : public TSetupPage
{
public:
    explicit TQuickMemoPage(QWidget* parent) : TSetupPage(parent)
    {
        setObjectName(u"TabSheet5"_qs);
        auto* group = Group(this, u"QuickMemoで通知"_qs);
        QuickMemo = Check(group, "QuickMemo", u"予定を書き込む"_qs);
        DateCount = Spin(group, "DateCount", 0, 7);
        MemoLimits = Spin(group, "MemoLimits", -1, 100);
        ClearMemo = Check(group, "ClearMemo", u"メモを全部クリアしてから書込む"_qs);
        NoSched = Check(group, "NoSched", u"予定が無い日は書込まない"_qs);
        auto* box = new QVBoxLayout(group);
        box->addWidget(QuickMemo);
        box->addLayout(Row(group, u"当日から"_qs, DateCount, u"日後まで"_qs));
        box->addLayout(Row(group, u"メモの文字数制限"_qs, MemoLimits, u"文字分"_qs));
        box->addWidget(new QLabel(u"（0 は制限なし、 -1 は１行目のみ）"_qs, group));
        box->addWidget(ClearMemo);
        box->addWidget(NoSched);
        auto* page = new QVBoxLayout(this);
        page->addWidget(group);
        page->addStretch(1);

        connect(QuickMemo, &QCheckBox::toggled, this, [this] { QuickMemoClick(); });
    }

    void Load(const TInitParam& s) override
    {
        QuickMemo->setChecked(s.QuickMemo);
        DateCount->SetValue(s.DayCount);
        MemoLimits->SetValue(s.MemoLimit);
        ClearMemo->setChecked(s.MemoClear);
        NoSched->setChecked(s.NoMemoSched);
        QuickMemoClick();
    }

    void Store(TInitParam& s) const override
    {
        s.QuickMemo = QuickMemo->isChecked();
        s.DayCount = DateCount->Value();
        s.MemoLimit = MemoLimits->Value();
        s.MemoClear = ClearMemo->isChecked();
        s.NoMemoSched = NoSched->isChecked();
    }

private:
    void QuickMemoClick()
    {
        const bool on = QuickMemo->isChecked();
        for (QWidget* control :
             std::initializer_list<QWidget*> { ClearMemo, DateCount, MemoLimits, NoSched })
            control->setEnabled(on);
    }

    QCheckBox* QuickMemo;
    TValueSpin* DateCount;
    TValueSpin* MemoLimits;
    QCheckBox* ClearMemo;
    QCheckBox* NoSched;
};

} // namespace

// ---------------------------------------------------------------------------

TSetupForm::TSetupForm(TSchedForm* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(u"SetupForm"_qs);
    setWindowTitle(u"Miradelの設定"_qs);

    PageControl1 = Named(new QTabWidget(this), "PageControl1");
    pages_ = { new TGeneralPage(PageControl1), new TCalendarPage(PageControl1, owner),
               new TImportPage(PageControl1), new TAlarmPage(PageControl1),
               new TQuickMemoPage(PageControl1) };
    const QString captions[] = { u"全般"_qs, u"カレンダー"_qs, u"インポート"_qs, u"アラーム"_qs,
                                 u"予定通知"_qs };
    for (std::size_t i = 0; i < pages_.size(); ++i)
        PageControl1->addTab(pages_[i], captions[i]);
    // The day digest is written into the host's mailbox.
    if (!BuildVariant().HasHostMail())
        PageControl1->setTabVisible(4, false);
    PageControl1->setCurrentIndex(0);

    VersionLabel = Named(new QLabel(this), "VersionLabel");
    VersionLabel->setText(Text(strconst::ProductName()) + u" v"_qs + Text(strconst::Version()) +
                          Text(strconst::AboutLine()));
    VersionLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* buttons =
        forms::OkCancelRow(this, OKButton, u"OKButton"_qs, CancelButton, u"CancelButton"_qs);
    // The label takes the room of the row's leading stretch.
    delete buttons->takeAt(0);
    buttons->insertWidget(0, VersionLabel, 1);

    auto* main = new QVBoxLayout(this);
    main->addWidget(PageControl1);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);

    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

TSetupForm::~TSetupForm() = default;

void TSetupForm::LoadFrom(const TInitParam& settings)
{
    for (TSetupPage* page : pages_)
        page->Load(settings);
}

void TSetupForm::StoreTo(TInitParam& settings) const
{
    for (TSetupPage* page : pages_)
        page->Store(settings);
}

bool TSetupForm::Execute()
{
    LoadFrom(InitParam);
    if (exec() != QDialog::Accepted)
        return false;
    StoreTo(InitParam);
    return true;
}

void TSetupForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    forms::CenterOnScreen(this);
    raise();
    activateWindow();
    CancelButton->setFocus(Qt::ActiveWindowFocusReason);
}
