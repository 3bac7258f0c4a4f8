#include "app/forms/schedform.h"

#include "app/datapaths.h"
#include "app/forms/alermform.h"
#include "app/forms/enterform.h"
#include "app/forms/formutil.h"
#include "app/forms/listwindow.h"
#include "app/forms/memoform.h"
#include "app/forms/setupform.h"
#include "app/forms/toolimages.h"
#include "app/forms/variant.h"
#include "app/settings/initparam.h"
#include "app/settingsqt/settingsqt.h"
#include "controls/bevlabel.h"
#include "controls/btnlabel.h"
#include "controls/customdock.h"
#include "core/files.h"
#include "core/sjis.h"
#include "gui/application.h"
#include "gui/colors.h"
#include "gui/guards.h"
#include "gui/menukey.h"
#include "gui/msgdlg.h"
#include "gui/qtext.h"
#include "gui/screens.h"
#include "platform/clipboard.h"
#include "platform/hotkeys.h"
#include "platform/tray.h"
#include "view/wscheduler.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <stdexcept>

QPointer<TSchedForm> SchedForm;

TSchedFormDialogs& SchedFormDialogs()
{
    static TSchedFormDialogs dialogs;
    return dialogs;
}

namespace {

constexpr int kDefaultWidth = 520;
constexpr int kDefaultHeight = 420;

void SetFont(QWidget* widget, const TFontRec& font)
{
    widget->setFont(settingsqt::ToQFont(font));
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Text, settingsqt::FontColor(font));
    palette.setColor(QPalette::WindowText, settingsqt::FontColor(font));
    widget->setPalette(palette);
}

// Stops a timer for the lifetime of the object and starts it again on every
// way out (the timer may have gone with its window meanwhile).
class TimerPause
{
public:
    explicit TimerPause(QTimer* timer) : timer_(timer), wasActive_(timer && timer->isActive())
    {
        if (timer_)
            timer_->stop();
    }
    ~TimerPause()
    {
        if (timer_ && wasActive_)
            timer_->start();
    }
    TimerPause(const TimerPause&) = delete;
    TimerPause& operator=(const TimerPause&) = delete;

private:
    QPointer<QTimer> timer_;
    bool wasActive_;
};

std::int64_t MinuteOf(days::Moment m)
{
    return m >= 0 ? m / 60 : -((-m + 59) / 60);
}

std::string FaultText(schedrecord::Fault fault)
{
    switch (fault) {
    case schedrecord::Fault::FieldCount:
        return SJ("項目の数が正しくありません");
    case schedrecord::Fault::Repeat:
        return SJ("繰り返しの指定が読めません");
    case schedrecord::Fault::Flags:
        return SJ("フラグが数値ではありません");
    case schedrecord::Fault::Alarm:
        return SJ("アラームの指定が読めません");
    case schedrecord::Fault::Date:
        return SJ("日付が読めません");
    }
    return {};
}

std::string FileNameOf(const std::string& path)
{
    return path.substr(files::DirName(path).size());
}

} // namespace

// ---------------------------------------------------------------------------
// Creation

TSchedForm::TSchedForm(QWidget* parent) : QMainWindow(parent)
{
    SchedForm = this;
    setObjectName(QStringLiteral("SchedForm"));
    screens::KeepOnScreen(this);
    QCoreApplication::instance()->installEventFilter(this);
    CreateComponents();
    FormCreate();
}

TSchedForm::~TSchedForm()
{
    FormDestroy();
    if (SchedForm == this)
        SchedForm = nullptr;
}

void TSchedForm::CreateComponents()
{
    CreateActions();
    CreateMenus();
    CreateToolBars();

    CalendarPanel = new QWidget(this);
    CalendarPanel->setObjectName(QStringLiteral("CalendarPanel"));
    auto* layout = new QVBoxLayout(CalendarPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar2);
    Calendar = new TWScheduler(CalendarPanel);
    Calendar->setObjectName(QStringLiteral("Calendar"));
    layout->addWidget(Calendar, 1);
    TitleCaption = new TBevelLabel(CalendarPanel);
    TitleCaption->setObjectName(QStringLiteral("TitleCaption"));
    TitleCaption->SetBevelInner(bvNone);
    TitleCaption->SetBevelOuter(bvLowered);
    TitleCaption->SetTextBorder(4);
    TitleCaption->SetLayout(tlCenter);
    TitleCaption->setMinimumHeight(QFontMetrics(TitleCaption->font()).height() + 8);
    layout->addWidget(TitleCaption);
    setCentralWidget(CalendarPanel);

    Calendar->OnAlerm = [this](TWScheduler* sender, PEventData item) {
        CalendarAlerm(sender, item);
    };
    Calendar->OnChange = [this](TWScheduler*) { CalendarChange(); };
    Calendar->OnChangeDate = [this](TWScheduler*) { CalendarChangeDate(); };

    CreateDocks();
    ConnectItemCommands();

    AlermTimer1 = new QTimer(this);
    AlermTimer1->setObjectName(QStringLiteral("AlermTimer1"));
    AlermTimer1->setInterval(1000);
    connect(AlermTimer1, &QTimer::timeout, this, &TSchedForm::AlermTimer1Timer);

    hotKeys_ = hotkeys::CreateBackend();
    connect(hotKeys_.get(), &hotkeys::THotKeyBackend::Activated, this,
            [this](int id) { DoHotKey(id); });

    clipWatch_ = new clipboard::TWatch(this);
    connect(clipWatch_, &clipboard::TWatch::Changed, this,
            [this] { gui::Guarded([this] { ClipboardChanged(); }, this); });
    connect(PImport, &QAction::triggered, this,
            [this] { gui::Guarded([this] { ImportFromClipboard(); }, this); });

    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { OptPopup->popup(mapToGlobal(pos)); });
    hintTimer_ = new QTimer(this);
    hintTimer_->setSingleShot(true);
    hintTimer_->setInterval(1000);
    connect(hintTimer_, &QTimer::timeout, this, [this] {
        QWidget* viewport = Calendar->viewport();
        const QPoint local = viewport->mapFromGlobal(QCursor::pos());
        if (!QToolTip::isVisible() || !viewport->rect().contains(local))
            return;
        QHelpEvent help(QEvent::ToolTip, local, QCursor::pos());
        QCoreApplication::sendEvent(viewport, &help);
    });
    Calendar->viewport()->installEventFilter(this);
    Calendar->setContextMenuPolicy(Qt::CustomContextMenu);
    // Both the mouse and the menu key give the place in the cells' (the
    // viewport's) coordinates.
    connect(Calendar, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { OptPopup->popup(Calendar->viewport()->mapToGlobal(pos)); });
    gui::WatchMenuKey(this);
    CreateViewHandlers();
}

QAction* TSchedForm::NewAction_(const char* name, const QString& text, int image)
{
    auto* action = new QAction(text, this);
    action->setObjectName(QLatin1String(name));
    if (image >= 0)
        toolimages::SetImage(action, image);
    return action;
}

void TSchedForm::CreateActions()
{
    EditAction = NewAction_("EditAction", u"編集"_qs, toolimages::Edit);
    DelAction = NewAction_("DelAction", u"削除"_qs, toolimages::Delete);
    NewAction = NewAction_("NewAction", u"新規予定"_qs, toolimages::New);
    CopyAction = NewAction_("CopyAction", u"予定をコピー"_qs, toolimages::Copy);
    PasteAction = NewAction_("PasteAction", u"予定を貼付け"_qs, toolimages::Paste);
    CutAction = NewAction_("CutAction", u"切り取り"_qs, toolimages::Cut);
    GridAction = NewAction_("GridAction", u"週間表示"_qs, toolimages::MonthGrid);
    GridAction->setCheckable(true);
    PrivAction = NewAction_("PrivAction", u"個人予定表示"_qs, toolimages::PersonalShown);
    WorkAction = NewAction_("WorkAction", u"会社予定表示"_qs, toolimages::CompanyShown);
    CloseAction = NewAction_("CloseAction", u"閉じる(&X)"_qs, toolimages::Close);
    SetupAction = NewAction_("SetupAction", u"オプション..."_qs, toolimages::Setup);
    forms::SetTag(PrivAction, 0);
    forms::SetTag(WorkAction, 0);

    connect(GridAction, &QAction::triggered, this,
            [this] { gui::Guarded([this] { GridTypeClick(); }, this); });
    connect(CloseAction, &QAction::triggered, this, [this] { CloseActionExecute(); });
    connect(SetupAction, &QAction::triggered, this,
            [this] { gui::Guarded([this] { SetupActionExecute(); }, this); });
}

void TSchedForm::CreateMenus()
{
    auto subMenu = [this](QMenu* parent, const char* name, const QString& title) {
        QMenu* menu = parent->addMenu(title);
        menu->setObjectName(QLatin1String(name));
        menu->menuAction()->setObjectName(QLatin1String(name) + QStringLiteral("Item"));
        return menu;
    };
    auto item = [this](QMenu* parent, const char* name, const QString& text, bool checkable) {
        QAction* action = parent->addAction(text);
        action->setObjectName(QLatin1String(name));
        action->setCheckable(checkable);
        return action;
    };

    OptPopup = new QMenu(this);
    OptPopup->setObjectName(QStringLiteral("OptPopup"));
    NNewEvent = NewAction;
    OptPopup->addAction(NewAction);
    NEvent = subMenu(OptPopup, "NEvent", u"予定の編集..."_qs);
    NDelete = subMenu(OptPopup, "NDelete", u"予定の削除..."_qs);
    NCopy = subMenu(OptPopup, "NCopy", u"予定をコピー..."_qs);
    NPaste = PasteAction;
    OptPopup->addAction(PasteAction);
    N2 = OptPopup->addSeparator();
    N2->setObjectName(QStringLiteral("N2"));
    QuickLink = subMenu(OptPopup, "QuickLink", u"Quickメールリンク..."_qs);
    SendTo = subMenu(OptPopup, "SendTo", u"メール送信..."_qs);
    PImport = item(OptPopup, "PImport", u"クリップボードからインポート"_qs, false);
    PImport->setVisible(false);
    OptPopup->addSeparator();
    N8 = subMenu(OptPopup, "N8", u"カレンダー表示"_qs);
    NAutoMark = item(N8, "NAutoMark", u"件名/マーク切替"_qs, true);
    NBegTime = item(N8, "NBegTime", u"開始時刻"_qs, true);
    NSecret = item(N8, "NSecret", u"シークレットデータ"_qs, true);
    NEvent3 = item(N8, "NEvent3", u"年数付きイベント"_qs, true);
    NEventHint = item(N8, "NEventHint", u"イベントをヒント表示"_qs, true);
    N_Todo = item(N8, "N_Todo", u"完了項目を非表示"_qs, true);
    OptPopup->addSeparator();
    OptPopup->addAction(SetupAction);
    OptPopup->addAction(CloseAction);

    EditPopup = new QMenu(this);
    EditPopup->setObjectName(QStringLiteral("EditPopup"));
    EditPopup->addAction(EditAction);
    EditPopup->addAction(DelAction);
    EditPopup->addAction(CopyAction);
    EditPopup->addAction(PasteAction);
    EditPopup->addSeparator();
    N_Check = item(EditPopup, "N_Check", u"完了チェック"_qs, true);

    DispPriority = new QMenu(this);
    DispPriority->setObjectName(QStringLiteral("DispPriority"));
    forms::SetTag(DispPriority, -1);
    auto* group = new QActionGroup(DispPriority);
    group->setExclusive(true);
    auto level = [&](const char* name, const QString& text, int tag) {
        QAction* action = item(DispPriority, name, text, true);
        forms::SetTag(action, tag);
        group->addAction(action);
        return action;
    };
    PM_None = level("PM_None", u"無し"_qs, 0);
    PM_Low = level("PM_Low", u"重要度 ≧ 普"_qs, 1);
    PM_Mid = level("PM_Mid", u"重要度 ≧ 中"_qs, 2);
    PM_High = level("PM_High", u"重要度 ≧ 高"_qs, 3);
    ToDo = level("ToDo", u"ToDo項目"_qs, 4);

    MoveDirect = new QMenu(this);
    MoveDirect->setObjectName(QStringLiteral("MoveDirect"));
}

void TSchedForm::CreateToolBars()
{
    ToolBar1 = addToolBar(u"ツールバー"_qs);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);

    auto button = [this](const char* name, const QString& hint, int image) {
        auto* b = new QToolButton(ToolBar1);
        b->setObjectName(QLatin1String(name));
        b->setAutoRaise(true);
        b->setToolTip(hint);
        if (image >= 0)
            toolimages::SetImage(b, image);
        ToolBar1->addWidget(b);
        return b;
    };
    auto actionButton = [this](const char* name, QAction* action) {
        auto* b = new QToolButton(ToolBar1);
        b->setObjectName(QLatin1String(name));
        b->setAutoRaise(true);
        b->setDefaultAction(action);
        ToolBar1->addWidget(b);
        return b;
    };

    HideBtn = button("HideBtn", u"ウィンドウを隠す"_qs, toolimages::Hide);
    AddFileBtn = button("AddFileBtn", u"予定のマージ"_qs, toolimages::Merge);
    ToolBar1->addSeparator();
    NewBtn = actionButton("NewBtn", NewAction);
    EditBtn = actionButton("EditBtn", EditAction);
    ToolButton4 = actionButton("ToolButton4", CopyAction);
    ToolButton7 = actionButton("ToolButton7", PasteAction);
    DelBtn = actionButton("DelBtn", DelAction);
    EraseBtn = button("EraseBtn", u"一括削除"_qs, toolimages::Erase);
    ToolBar1->addSeparator();
    ViewListBtn = button("ViewListBtn", u"予定リスト表示切替"_qs, toolimages::ListHidden);
    MemoView = button("MemoView", u"メモ表示切替"_qs, toolimages::MemoHidden);
    ExportBtn = button("ExportBtn", u"エクスポート"_qs, toolimages::Export);
    SetupBtn = actionButton("SetupBtn", SetupAction);
    // The clock takes the free width, and only that (its text never pushes
    // the buttons after it off the bar), its text right-aligned against them.
    // (The tool bar lays out by what its items would like to have: the
    // label asks for nothing inside a room that takes the rest.)
    auto* clockRoom = new QWidget(ToolBar1);
    clockRoom->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto* clockLayout = new QHBoxLayout(clockRoom);
    clockLayout->setContentsMargins(0, 0, 0, 0);
    Separater = new QLabel(clockRoom);
    Separater->setObjectName(QStringLiteral("Separater"));
    Separater->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Separater->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    Separater->installEventFilter(this);
    clockLayout->addWidget(Separater);
    ToolBar1->addWidget(clockRoom);
    GridType = actionButton("GridType", GridAction);
    Padding = new QWidget(ToolBar1);
    Padding->setObjectName(QStringLiteral("Padding"));
    Padding->setFixedWidth(6);
    ToolBar1->addWidget(Padding);
    Personal = actionButton("Personal", PrivAction);
    Official = actionButton("Official", WorkAction);
    // The priority levels are the company button's right-click menu and the
    // priority button's drop-down.
    Official->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Official, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { DispPriority->popup(Official->mapToGlobal(pos)); });
    ImportBtn = button("ImportBtn", u"重要度による表示切替え"_qs, toolimages::PriorityOff);
    forms::SetTag(ImportBtn, 0);
    ImportBtn->setMenu(DispPriority);
    ImportBtn->setPopupMode(QToolButton::MenuButtonPopup);

    connect(HideBtn, &QToolButton::clicked, this, [this] { HideBtnClick(); });
    connect(ExportBtn, &QToolButton::clicked, this,
            [this] { gui::Guarded([this] { ExportBtnClick(); }, this); });

    // The navigation bar above the calendar.
    ToolBar2 = new QToolBar(this);
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
    ToolBar2->setMovable(false);
    ToolBar2->setIconSize(QSize(16, 16));
    auto nav = [this](const char* name, const QString& hint, int tag, int image) {
        auto* b = new QToolButton(ToolBar2);
        b->setObjectName(QLatin1String(name));
        b->setAutoRaise(true);
        b->setToolTip(hint);
        forms::SetTag(b, tag);
        toolimages::SetImage(b, image);
        ToolBar2->addWidget(b);
        return b;
    };
    PrevYear = nav("PrevYear", u"前の年へ"_qs, 1, toolimages::PrevYear);
    PrevPage = nav("PrevPage", u"前月へ"_qs, 10, toolimages::PrevPage);
    HereLabel = new TColorButton(ToolBar2);
    HereLabel->setObjectName(QStringLiteral("HereLabel"));
    HereLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    QFont hereFont = HereLabel->font();
    hereFont.setBold(true);
    HereLabel->setFont(hereFont);
    ToolBar2->addWidget(HereLabel);
    NextPage = nav("NextPage", u"翌月へ"_qs, 12, toolimages::NextPage);
    NextYear = nav("NextYear", u"次の年へ"_qs, 21, toolimages::NextYear);
}

void TSchedForm::CreateDocks()
{
    TDockPanel::PrepareWindow(this);
    DockLeft = new TDockPanel(this, alLeft);
    DockLeft->setObjectName(QStringLiteral("DockLeft"));
    DockRight = new TDockPanel(this, alRight);
    DockRight->setObjectName(QStringLiteral("DockRight"));
    DockBottom = new TDockPanel(this, alBottom);
    DockBottom->setObjectName(QStringLiteral("DockBottom"));
    ListWindow = new TListWindow(this);
    MemoForm = new TMemoForm(this);
    for (TDockClientForm* form :
         { static_cast<TDockClientForm*>(ListWindow), static_cast<TDockClientForm*>(MemoForm) })
        form->SetImages(toolimages::Images());
}

void TSchedForm::Step(const std::function<void()>& step)
{
    gui::Guarded(step, destroyed_ ? nullptr : this);
}

void TSchedForm::FormCreate()
{
    TBuildVariant& variant = BuildVariant();
    TDataPaths paths;
    Step([&] {
        paths = variant.DataPaths();
        SchedulePath = paths.ScheduleFile;
        std::string error;
        if (!EnsureFolder(paths.DataDir, &error))
            throw std::runtime_error(SJ("データフォルダを作成できません\r\n") + error);
        // Told at once, before the user makes a change that cannot be kept.
        if (!FolderTakesFiles(paths.DataDir, &error))
            msgdlg::Warning(
                SJ("このフォルダには書き込めないため、変更は保存できません。\r\n") + error, this);
    });
    Step([&] {
        if (SchedFormDialogs().Setup)
            setupForm_ = SchedFormDialogs().Setup(this);
        else
            setupForm_ = std::make_unique<TSetupForm>(this);
    });
    Step([&] {
        EnterForm = new TEnterForm(this);
        EnterForm->setObjectName(QStringLiteral("EnterForm"));
        EnterForm->SetCalendar(Calendar);
        connect(EnterForm, &TEnterForm::DialogShown, this,
                [this] { enterFormPause_ = std::make_unique<clipboard::TIgnore>(); });
        connect(EnterForm, &TEnterForm::DialogClosed, this, [this] { enterFormPause_.reset(); });
    });
    Step([&] {
        ListWindow->SetVisibleButton(ViewListBtn);
        ListWindow->SetStateImage(false, toolimages::ListHidden);
        ListWindow->SetStateImage(true, toolimages::ListShown);
        ListWindow->SetChangeImages(true);
        MemoForm->SetVisibleButton(MemoView);
        MemoForm->SetStateImage(false, toolimages::MemoHidden);
        MemoForm->SetStateImage(true, toolimages::MemoShown);
        MemoForm->SetChangeImages(true);
        // What one build has and the other has not.
        HideBtn->setToolTip(variant.IsProgram() ? variant.HideButtonHint()
                                                : u"ウィンドウを隠す"_qs);
        SendTo->setTitle(variant.IsProgram() ? variant.SendToCaption() : u"メール送信..."_qs);
        PImport->setVisible(variant.ImportsClipboard());
        QuickLink->menuAction()->setVisible(variant.HasHostMail());
        N2->setVisible(variant.HasHostMail());
        if (variant.CloseEndsProgram()) {
            tray_ = tray::CreateIcon(this);
            connect(tray_.get(), &tray::TTrayIcon::Clicked, this, [this](tray::Click click) {
                gui::Guarded([this, click] { TrayIconClicked(click); }, this);
            });
        }
    });
    Step([&] { HookClipboard(); });
    Step([&] { InitParam.LoadFromFile(paths.SettingsFile); });
    Step([&] { LoadWindowSettings(); });
    Step([&] { ListWindow->LoadFiles(SchedulePath); });
    Step([&] {
        std::string error;
        if (!Calendar->LoadHolidays(paths.HolidayFile, false, &error))
            throw std::runtime_error(error);
    });
    Step([&] {
        std::string error;
        if (!Calendar->LoadHolidays(paths.PersonalHolidayFile, true, &error))
            throw std::runtime_error(error);
    });
    Step([&] {
        std::string error;
        if (!Calendar->LoadSchedule(SchedulePath, &error))
            throw std::runtime_error(error);
    });
    Step([&] { ReportDroppedRecords(); });
    Step([&] { GridTypeClick(); });
    firstShow_ = true;
    Step([&] { RegisterHotKeys(); });
    if (variant.HasHostMail() && InitParam.QuickMemo)
        Step([&] { WriteQuickMemo(); });
    lastCheckedMinute_ = MinuteOf(days::Now());
    AlermTimer1->start();
}

void TSchedForm::ReportDroppedRecords()
{
    const TSchedList& store = Calendar->Store();
    const auto notShown = std::count_if(store.All().begin(), store.All().end(),
                                        [](const TEventData* item) { return !IsShownItem(*item); });
    if (store.DroppedRecords() == 0 && notShown == 0)
        return;
    std::string text;
    if (notShown > 0)
        text += SJ("予定表ファイル ") + FileNameOf(SchedulePath) +
            SJ(" に、日付が 1900/01/01 より前で表示できない予定が") + std::to_string(notShown) +
            SJ("件あります。これらの予定はそのままファイルに残します。");
    if (store.DroppedRecords() == 0) {
        msgdlg::Warning(text, this);
        return;
    }
    if (!text.empty())
        text += "\r\n";
    text += SJ("予定表ファイル ") + FileNameOf(SchedulePath) + SJ(" に読み込めない予定が") +
        std::to_string(store.DroppedRecords()) + SJ("件あったため、読み飛ばしました。") + "\r\n";
    for (const DroppedRecord& dropped : store.DroppedSamples())
        text += SJ("　") + std::to_string(dropped.line) + SJ("行目: ") + FaultText(dropped.reason) +
            "\r\n";
    if (static_cast<std::size_t>(store.DroppedRecords()) > store.DroppedSamples().size())
        text += SJ("　…") + "\r\n";
    text += SJ("元のファイルは、最初に保存するときに ") +
        FileNameOf(TSchedList::BackupName(SchedulePath)) + SJ(" として同じフォルダに残します。");
    msgdlg::Warning(text, this);
}

bool TSchedForm::HiddenByCommand() const
{
    return !isVisible() || (minimisedToHide_ && isMinimized());
}

void TSchedForm::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !isMinimized())
        minimisedToHide_ = false;
}

void TSchedForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // However the window came back (the tray icon, a hot key, a second
    // start), the icon goes.
    if (tray_ && tray_->Shown())
        tray_->Hide();
    if (firstShow_) {
        firstShow_ = false;
        Step([this] { FormActivate(); });
        // The keys (and the menu key) go to the calendar first.
        Calendar->setFocus();
    }
}

void TSchedForm::FormActivate()
{
    CalendarChange();
    CalendarChangeDate();
}

// ---------------------------------------------------------------------------
// Settings

void TSchedForm::RestoreBounds()
{
    const TBounds& b = InitParam.MainView;
    const std::int64_t w64 = std::int64_t(b.Right) - b.Left;
    const std::int64_t h64 = std::int64_t(b.Bottom) - b.Top;
    int width = w64 > 0 && w64 <= INT_MAX ? int(w64) : kDefaultWidth;
    int height = h64 > 0 && h64 <= INT_MAX ? int(h64) : kDefaultHeight;
    if (w64 <= 0 || h64 <= 0) {
        width = kDefaultWidth;
        height = kDefaultHeight;
    }
    QRect r(b.Left, b.Top, width, height);
    if (QScreen* primary = QGuiApplication::primaryScreen()) {
        const QSize screen = primary->size();
        if (screen.width() < r.width())
            r.setWidth(screen.width() / 2);
        if (screen.height() < r.height())
            r.setHeight(screen.height() / 2);
    }
    // Its frame is fitted again once the window manager has framed it.
    r = screens::Fit(r);
    resize(r.size());
    screens::PlaceFrame(this, r.topLeft());
}

void TSchedForm::RestoreDock(TDockClientForm* form, const std::string& state)
{
    const int side = form->LoadDockState(state);
    if (side == alBottom)
        DockBottom->ManualDock(form, form->DropSide());
    else if (side == alLeft)
        DockLeft->ManualDock(form, form->DropSide());
    else if (side == alRight)
        DockRight->ManualDock(form, form->DropSide());
    else
        form->ManualFloat(this);
    form->RestoreVisible();
}

void TSchedForm::LoadWindowSettings()
{
    Step([this] { RestoreBounds(); });
    Step([this] { RestoreDock(ListWindow, InitParam.ListView); });
    Step([this] { RestoreDock(MemoForm, InitParam.MemoView); });
    Step([this] {
        if (EnterForm)
            EnterForm->LoadLists(InitParam);
    });
    Step([this] {
        ListWindow->FindString->clear();
        for (const std::string& entry :
             sjis::ReadCommaText(InitParam.FindList, TListWindow::kHistoryLimit))
            ListWindow->FindString->addItem(qtext::ToQ(entry));
    });
    Step([this] { ApplySettings(); });
    Step([this] {
        const int mask = Calendar->GetKindMask();
        const int priv = (mask & 2) ? 0 : 1;
        const int work = (mask & 4) ? 0 : 1;
        forms::SetTag(PrivAction, priv);
        toolimages::SetImage(PrivAction, toolimages::PersonalShown + priv);
        forms::SetTag(WorkAction, work);
        toolimages::SetImage(WorkAction, toolimages::CompanyShown + work);
    });
}

void TSchedForm::ApplySettings()
{
    TBuildVariant& variant = BuildVariant();
    Calendar->SetEventFont(settingsqt::ToQFont(InitParam.EventFont), InitParam.EventFont.Color);
    Calendar->SetDateFont(settingsqt::ToQFont(InitParam.DateFont));
    setWindowTitle(qtext::ToQ(InitParam.Title));
    if (variant.TitleIsApplicationTitle())
        msgdlg::SetAppTitle(windowTitle());
    SetFont(MemoForm->Memo1, InitParam.MemoFont);

    ListWindow->InfoPage->setTabText(ListWindow->InfoPage->indexOf(ListWindow->TabNote),
                                     qtext::ToQ(InitParam.MemoTitle));
    colors::SetFaceColor(ListWindow->MemoData, InitParam.MemoColor);
    colors::SetFaceColor(ListWindow->SchedList, InitParam.SchedColor);
    colors::SetFaceColor(ListWindow->PhoneList, InitParam.PhoneColor);
    colors::SetFaceColor(ListWindow->FindList, InitParam.FindColor);
    colors::SetFaceColor(ListWindow->FindType, InitParam.FindColor);
    colors::SetFaceColor(ListWindow->FindString, InitParam.FindColor);

    Calendar->SetColor(InitParam.BackColor);
    Calendar->SetTodayColor(InitParam.TodayColor);

    NAutoMark->setChecked(InitParam.AutoTitle);
    NBegTime->setChecked(InitParam.TimeDisp);
    NBegTime->setEnabled(NAutoMark->isChecked());
    NEvent3->setChecked(InitParam.NoEvent);
    NEventHint->setChecked(InitParam.EventHint);
    N_Todo->setChecked(InitParam.HideDone);

    ListWindow->SetPageVisible(ListWindow->TabPhone, InitParam.PhoneTab);
    ListWindow->SetPageVisible(ListWindow->TabNote, InitParam.NoteTab);
    ListWindow->SetPageVisible(ListWindow->TabFind, InitParam.FindTab);
    ListWindow->SetPageVisible(ListWindow->TabTodo, InitParam.TodoTab);

    Calendar->SetAutoTitle(NAutoMark->isChecked());
    Calendar->SetDisplayTime(NBegTime->isChecked());
    Calendar->SetDispEvent3(NEvent3->isChecked());
    Calendar->SetMakeHint(NEventHint->isChecked());
    Calendar->SetDoneHide(N_Todo->isChecked());
    Calendar->SetKindMask(InitParam.DispType);
    Calendar->SetStartOfWeek(InitParam.StartOfWeek);
    Calendar->SetThinHoliday(InitParam.ReduceDay);
    Calendar->SetDateWidth(InitParam.DateColumn);
    Calendar->SetDateBorder(InitParam.DateBorder);
    Calendar->SetGridType(InitParam.WeeklyDisp ? gtWeekly : gtMonthly);
    Calendar->SetDispRokuyo(InitParam.DispRokuyo);

    NSecret->setChecked((Calendar->DispKinds() & KindSet(dkSecret)) != 0);
    GridAction->setChecked(InitParam.WeeklyDisp);
    // The grid button's image and the page hints follow the grid at once.
    UpdateGridLook();
}

void TSchedForm::StoreViewSettings()
{
    InitParam.AutoTitle = Calendar->AutoTitle();
    InitParam.TimeDisp = Calendar->DisplayTime();
    InitParam.NoEvent = Calendar->DispEvent3();
    InitParam.EventHint = Calendar->MakeHint();
    InitParam.HideDone = Calendar->DoneHide();
    InitParam.DispType = Calendar->GetKindMask();
    InitParam.ReduceDay = Calendar->ThinHoliday();
    InitParam.WeeklyDisp = Calendar->GridType() == gtWeekly;
}

void TSchedForm::ShowSetup()
{
    if (setupRunning_ || QApplication::activeModalWidget())
        return;
    gui::ReentryGuard running(setupRunning_);
    StoreViewSettings();
    ReleaseHotKeys();
    // The keys come back and the clock is cleared however the dialog ends.
    struct Rearm
    {
        TSchedForm* form;
        ~Rearm()
        {
            form->RegisterHotKeys();
            form->ShowClock(QString());
        }
    } rearm { this };
    if (setupForm_ && setupForm_->Execute()) {
        ApplySettings();
        Calendar->InvalidateGrid();
    }
}

// ---------------------------------------------------------------------------
// Hot keys

void TSchedForm::SetHotKey(int id, std::uint16_t shortCut)
{
    if (shortCut == 0 || !hotKeys_)
        return;
    hotKeys_->Register(id, shortCut);
}

void TSchedForm::RegisterHotKeys() noexcept
{
    try {
        SetHotKey(0, InitParam.Invoke);
        SetHotKey(1, InitParam.Resize);
    } catch (...) {
        // A key that cannot be had is simply not available.
    }
}

void TSchedForm::ReleaseHotKeys()
{
    if (!hotKeys_)
        return;
    hotKeys_->Unregister(0);
    hotKeys_->Unregister(1);
}

void TSchedForm::BringForward()
{
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void TSchedForm::DoHotKey(int id)
{
    gui::Guarded(
        [this, id] {
            if (id == 0) {
                // While a dialog of ours waits for an answer the window
                // only comes forward, with the dialog on top.
                if (QWidget* modal = QApplication::activeModalWidget()) {
                    BringForward();
                    modal->raise();
                    modal->activateWindow();
                } else if (isVisible() && !isMinimized() && isActiveWindow()) {
                    if (BuildVariant().CloseEndsProgram())
                        HideToTray();
                    else
                        hide();
                } else {
                    BringForward();
                }
            } else if (id == 1) {
                if (HiddenByCommand()) {
                    SetupAction->trigger();
                } else if (isMaximized()) {
                    showNormal();
                } else {
                    showMaximized();
                }
            }
        },
        this);
}

// ---------------------------------------------------------------------------
// Closing and shutdown

void ReportUnwrittenFiles(const std::vector<std::string>& paths)
{
    if (paths.empty())
        return;
    std::string text = SJ("次のファイルに書き込めませんでした。変更は保存されていません。");
    for (const std::string& path : paths)
        text += "\r\n" + path;
    msgdlg::Error(text);
}

void TSchedForm::TakeWindowState()
{
    QRect r(pos(), size());
    if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) {
        const QPoint frame = geometry().topLeft() - pos();
        r = QRect(normalGeometry().topLeft() - frame, normalGeometry().size());
    }
    InitParam.MainView = { r.left(), r.top(), r.left() + r.width(), r.top() + r.height() };
    InitParam.ListView = ListWindow->SaveDockState();
    InitParam.MemoView = MemoForm->SaveDockState();
}

void TSchedForm::closeEvent(QCloseEvent* event)
{
    const bool ending = BuildVariant().CloseEndsProgram();
    if (ending && !windowStateTaken_) {
        // Before the ending closes the tool windows.
        Step([this] { TakeWindowState(); });
        windowStateTaken_ = true;
    }
    if (ending)
        emit ProgramEnding();
    Step([this] { FormClose(); });
    event->accept();
    if (ending)
        QCoreApplication::quit();
}

void TSchedForm::FormClose()
{
    Calendar->ScheduleChanged();
    UnhookClipboard();
    if (tray_)
        tray_->Hide();
}

void TSchedForm::HideBtnClick()
{
    if (BuildVariant().CloseEndsProgram())
        HideToTray();
    else
        close();
}

void TSchedForm::CloseActionExecute()
{
    close();
}

void TSchedForm::SetupActionExecute()
{
    // Text copied while the settings change is not registered; the watch
    // comes back however the dialog ends.
    UnhookClipboard();
    struct Rehook
    {
        TSchedForm* form;
        ~Rehook() { form->HookClipboard(); }
    } rehook { this };
    ShowSetup();
}

void TSchedForm::FormDestroy()
{
    destroyed_ = true;
    AlermTimer1->stop();
    // A change not yet on disk is saved before anything is freed.
    Step([this] {
        if (Calendar->Store().Modified)
            Calendar->ScheduleChanged();
    });
    Step([this] { ListWindow->SaveFiles(); });
    if (!windowStateTaken_)
        Step([this] { TakeWindowState(); });
    Step([this] {
        if (EnterForm)
            EnterForm->StoreLists(InitParam);
    });
    Step([this] {
        std::vector<std::string> items;
        for (int i = 0; i < ListWindow->FindString->count(); ++i)
            items.push_back(qtext::FromQ(ListWindow->FindString->itemText(i)));
        InitParam.FindList = sjis::WriteCommaText(items);
    });
    Step([this] { StoreViewSettings(); });
    Step([this] { ReleaseHotKeys(); });
    delete EnterForm;
    EnterForm = nullptr;
    setupForm_.reset();
}

// ---------------------------------------------------------------------------
// Clock and alarms

QString TSchedForm::ClockText(days::Moment moment)
{
    const days::Ymd d = days::Decode(days::DayOf(moment));
    const std::int64_t s = days::SecondsOfDay(moment);
    return QStringLiteral("%1年%2月%3日 %4:%5:%6 ")
        .arg(d.year)
        .arg(d.month)
        .arg(d.day)
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

void TSchedForm::ShowClock(const QString& text)
{
    clockText_ = text;
    // The date goes first, then the time, where the room is short.
    const QFontMetrics metrics(Separater->font());
    const int room = Separater->contentsRect().width();
    QString shown = text;
    if (metrics.horizontalAdvance(shown) > room)
        shown = text.mid(text.indexOf(QLatin1Char(' ')) + 1);
    if (metrics.horizontalAdvance(shown) > room)
        shown.clear();
    Separater->setText(shown);
}

void TSchedForm::AlermTimer1Timer()
{
    gui::Guarded(
        [this] {
            const days::Moment now = days::Now();
            if (InitParam.ClockDisp && isVisible())
                ShowClock(ClockText(now));
            // Once per minute, whichever second the tick lands on.
            const std::int64_t minute = MinuteOf(now);
            if (minute == lastCheckedMinute_)
                return;
            lastCheckedMinute_ = minute;
            // No tick while alarm windows are open; the clock runs again
            // however the check ends.
            TimerPause pause(AlermTimer1);
            Calendar->CheckAlarms();
        },
        this);
}

void TSchedForm::CalendarAlerm(TWScheduler*, PEventData item)
{
    // Reported here, so that the next due item still rings.
    gui::Guarded(
        [this, item] {
            TBuildVariant& variant = BuildVariant();
            const std::string previous = variant.CurrentMailID();
            if (!item->MailID.empty() && item->OpenMail) {
                const std::string found =
                    variant.SelectMail(item->MailID, item->MailFolder, item->MailKey);
                if (!found.empty() && sjis::LowerAscii(found) != sjis::LowerAscii(item->MailID)) {
                    item->MailID = found;
                    item->MailFolder.clear();
                    Calendar->SaveSchedule();
                }
            }
            if (SchedFormDialogs().Alarm) {
                SchedFormDialogs().Alarm(this, previous, item);
            } else {
                TAlermForm alarm(this);
                alarm.ShowAlarm(previous, item, &Calendar->Store());
            }
        },
        this);
}

bool TSchedForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip && watched == Calendar->viewport())
        hintTimer_->start();
    if (event->type() == QEvent::Resize && watched == Separater)
        ShowClock(clockText_);
    // The application is ending: Qt closes every window next, floating tool
    // windows too, which would then be remembered as closed.
    if (event->type() == QEvent::Quit && watched == QCoreApplication::instance() &&
        !windowStateTaken_) {
        Step([this] { TakeWindowState(); });
        windowStateTaken_ = true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Views

PEventData TSchedForm::CurrentItem() const
{
    // The store may have dropped the item by a route that did not clear the
    // caption; a pointer it no longer holds is never handed out.
    auto* item = static_cast<PEventData>(TitleCaption->Data());
    return item && Calendar->Store().Contains(item) ? item : nullptr;
}
