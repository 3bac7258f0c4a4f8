#include "app/forms/listwindow.h"

#include "app/forms/radiogroup.h"
#include "app/forms/schedform.h"
#include "app/forms/variant.h"
#include "controls/bevlabel.h"
#include "core/sjis.h"
#include "gui/application.h"
#include "gui/colors.h"
#include "gui/guards.h"
#include "gui/msgdlg.h"
#include "gui/qtext.h"
#include "gui/unloadsafe.h"
#include "view/wscheduler.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The row's item identity lives in column 0 under this role.
constexpr int kIdRole = Qt::UserRole;

constexpr TColor kSchedListColor = 0xE0FFFF;
constexpr TColor kPhoneListColor = 0xFFFFE0;
constexpr TColor kFindListColor = 0xE0F0F0;

// The texts and colours of the priorities 0..4.
QString PriorityText(int priority)
{
    static const QString texts[] = { u"無し"_qs, u"普"_qs, u"中"_qs, u"高"_qs, u"期限"_qs };
    return priority >= 0 && priority < 5 ? texts[priority] : QString();
}
TColor PriorityColor(int priority)
{
    static const TColor table[] = { colors::clBtnFace, 0x00FF00, 0x00FFFF, 0x0000FF, 0xFF00FF };
    return priority >= 0 && priority < 5 ? table[priority] : colors::clBtnFace;
}

QString AlarmSuffix(int state)
{
    switch (state) {
    case 1:
        return u"(無効)"_qs;
    case 2:
        return u"(済)"_qs;
    case 5:
        return u"[済]"_qs;
    case 6:
        return u"[待]"_qs;
    default:
        return {};
    }
}

QString DateText(days::Day day)
{
    return qtext::ToQ(days::Format(day));
}

QString Two(std::int64_t n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

void SetTextColor(QWidget* widget, TColor color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colors::ToQColor(color, palette));
    widget->setPalette(palette);
}

QWidget* Page(QTabWidget* pages, const char* name, const QString& caption)
{
    auto* page = new QWidget(pages);
    page->setObjectName(QLatin1String(name));
    pages->addTab(page, caption);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    return page;
}

// A report-style list with its column captions; a width of 0 lets the
// column take what is left. centred is the column whose texts are centred
// (-1 none).
QTreeWidget* List(QWidget* page, const char* name, const QStringList& columns,
                  const QList<int>& widths, int centred = -1)
{
    auto* list = new QTreeWidget(page);
    list->setObjectName(QLatin1String(name));
    list->setRootIsDecorated(false);
    list->setAutoFillBackground(true);
    list->setHeaderLabels(columns);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setUniformRowHeights(true);
    // A short window still shows the detail pane; the list scrolls.
    list->setMinimumHeight(24);
    for (int i = 0; i < widths.size(); ++i)
        if (widths[i] > 0)
            list->setColumnWidth(i, widths[i]);
    if (centred >= 0)
        gui::SetTextAlignment(list->headerItem(), centred, Qt::AlignCenter);
    page->layout()->addWidget(list);
    return list;
}

TBevelLabel* DetailLabel(QWidget* parent, const char* name)
{
    auto* label = new TBevelLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->SetBevelOuter(bvLowered);
    label->SetBevelInner(bvNone);
    label->SetTextBorder(2);
    label->SetLayout(tlCenter);
    return label;
}

// Tabs with less room beside their captions, so that five of them fit a
// narrow window.
class CompactTabs : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override
    {
        if (metric == PM_TabBarTabHSpace)
            return QProxyStyle::pixelMetric(metric, option, widget) / 2;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

// Geometry of the detail pane (pixels).
constexpr int kRowHeight = 18;
constexpr int kRowStep = 21;
constexpr int kValueLeft = 62;
constexpr int kMargin = 10;

} // namespace

TListWindow::TListWindow(QWidget* parent)
    : TDockClientForm(parent), owner_(qobject_cast<TSchedForm*>(parent))
{
    setObjectName(QStringLiteral("ListWindow"));
    setWindowTitle(u"リストビュー"_qs);
    auto* body = new QWidget(this);
    auto* bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->setSpacing(2);
    InfoPage = new QTabWidget(body);
    InfoPage->setObjectName(QStringLiteral("InfoPage"));
    InfoPage->setDocumentMode(true);
    // Every page stays reachable without scrolling: the tabs are never cut
    // short or hidden behind scroll arrows, so the window is at least as
    // wide as its tabs.
    InfoPage->setUsesScrollButtons(false);
    InfoPage->setElideMode(Qt::ElideNone);
    auto* compact = new CompactTabs;
    compact->setParent(InfoPage->tabBar());
    InfoPage->tabBar()->setStyle(compact);
    bodyLayout->addWidget(InfoPage, 1);
    setWidget(body);

    TabSchedule = Page(InfoPage, "TabSchedule", u"予定リスト"_qs);
    SchedList = List(TabSchedule, "SchedList", { u"開始"_qs, u"終了"_qs, u"重要"_qs, u"件名"_qs },
                     { 45, 45, 38 }, 2);
    SchedList->header()->setSectionsClickable(false);
    QFont fixed;
    gui::SetFontFamilies(fixed, { u"ＭＳ ゴシック", u"IPAGothic", u"monospace" });
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setPixelSize(12);
    SchedList->setFont(fixed);
    TabPhone = Page(InfoPage, "TabPhone", u"電話帳"_qs);
    PhoneList =
        List(TabPhone, "PhoneList",
             { u"名前"_qs, u"電話番号"_qs, u"メールアドレス"_qs, u"備考"_qs }, { 0, 80, 159 });
    TabNote = Page(InfoPage, "TabNote", u"メモ帳"_qs);
    MemoData = new QPlainTextEdit(TabNote);
    MemoData->setObjectName(QStringLiteral("MemoData"));
    TabNote->layout()->addWidget(MemoData);
    CreatePhonePages();
    CreateFindPage();
    CreateTodoPage();
    CreateDetailPane();
    bodyLayout->addWidget(Panel2);

    colors::SetFaceColor(SchedList, kSchedListColor);
    colors::SetFaceColor(PhoneList, kPhoneListColor);
    colors::SetFaceColor(FindList, kFindListColor);
    colors::SetFaceColor(TodoList, kFindListColor);

    for (QTreeWidget* list : { SchedList, FindList, TodoList }) {
        connect(list, &QTreeWidget::itemSelectionChanged, this,
                [this, list] { Guard([this, list] { FindListSelectItem(list); }); });
        connect(list, &QTreeWidget::itemDoubleClicked, this,
                [this] { Guard([this] { SchedListDblClick(); }); });
        list->installEventFilter(this);
        list->setContextMenuPolicy(Qt::DefaultContextMenu);
        connect(list, &QWidget::customContextMenuRequested, this, [list](const QPoint& pos) {
            if (QMenu* menu = Popup(list))
                menu->popup(list->viewport()->mapToGlobal(pos));
        });
    }
    for (QTreeWidget* list : { FindList, TodoList })
        connect(list, &QTreeWidget::itemClicked, this,
                [this](QTreeWidgetItem* row) { Guard([this, row] { FindListDblClick(row); }); });
    // The window's own menu is the main window's.
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (owner_ && owner_->OptPopup)
            owner_->OptPopup->popup(mapToGlobal(pos));
    });

    // FormCreate
    InfoPage->setCurrentWidget(TabSchedule);
    PhoneChanged = false;
    FindType->setCurrentIndex(0);
    ResultClearClick();
    connect(InfoPage, &QTabWidget::currentChanged, this,
            [this] { Guard([this] { InfoPageChange(); }); });
}

void TListWindow::CreateFindPage()
{
    TabFind = Page(InfoPage, "TabFind", u"検索"_qs);
    FindBox = new QGroupBox(TabFind);
    FindBox->setObjectName(QStringLiteral("FindBox"));
    auto* grid = new QGridLayout(FindBox);
    grid->setContentsMargins(4, 2, 4, 4);
    grid->setSpacing(2);
    FindString = new QComboBox(FindBox);
    FindString->setObjectName(QStringLiteral("FindString"));
    FindString->setEditable(true);
    // The history is kept by the search itself.
    FindString->setInsertPolicy(QComboBox::NoInsert);
    FindString->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    grid->addWidget(FindString, 0, 0, 1, 3);
    FindExec = new QToolButton(FindBox);
    FindExec->setObjectName(QStringLiteral("FindExec"));
    FindExec->setToolTip(u"検索実行"_qs);
    FindExec->setText(u"検索"_qs);
    FindExec->setAutoRaise(true);
    grid->addWidget(FindExec, 0, 3);
    ResultClear = new QToolButton(FindBox);
    ResultClear->setObjectName(QStringLiteral("ResultClear"));
    ResultClear->setToolTip(u"検索結果をクリア"_qs);
    ResultClear->setText(u"クリア"_qs);
    ResultClear->setAutoRaise(true);
    ResultClear->setEnabled(false);
    grid->addWidget(ResultClear, 0, 4);
    AndString = new QRadioButton(QStringLiteral("AND"), FindBox);
    AndString->setObjectName(QStringLiteral("AndString"));
    AndString->setChecked(true);
    grid->addWidget(AndString, 1, 0);
    OrString = new QRadioButton(QStringLiteral("OR"), FindBox);
    OrString->setObjectName(QStringLiteral("OrString"));
    grid->addWidget(OrString, 1, 1);
    FindType = new QComboBox(FindBox);
    FindType->setObjectName(QStringLiteral("FindType"));
    FindType->addItems({ u"件名"_qs, u"場所"_qs, u"分類"_qs, u"メモ"_qs });
    grid->addWidget(FindType, 1, 2, 1, 3);
    TabFind->layout()->addWidget(FindBox);
    FindList = List(TabFind, "FindList", { u"日付"_qs, u"時間"_qs, u"重要"_qs, u"件名"_qs },
                    { 80, 45, 38 }, 2);

    PopupDropDown = new QMenu(this);
    PopupDropDown->setObjectName(QStringLiteral("PopupDropDown"));
    HistDelete = PopupDropDown->addAction(u"履歴を消去"_qs);
    HistDelete->setObjectName(QStringLiteral("HistDelete"));
    SetPopup(FindString, PopupDropDown);
    FindString->lineEdit()->setContextMenuPolicy(Qt::NoContextMenu);
    connect(FindString, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupDropDown->popup(FindString->mapToGlobal(pos)); });

    connect(FindExec, &QToolButton::clicked, this, [this] { Guard([this] { FindExecClick(); }); });
    connect(ResultClear, &QToolButton::clicked, this,
            [this] { Guard([this] { ResultClearClick(); }); });
    connect(HistDelete, &QAction::triggered, this,
            [this] { Guard([this] { HistDeleteClick(); }); });
    // Keys reach the box, which hands them to its edit by a direct call:
    // Enter is caught on the box itself.
    FindString->installEventFilter(this);
}

void TListWindow::CreateTodoPage()
{
    TabTodo = Page(InfoPage, "TabTodo", u"ToDo"_qs);
    TodoKind = new TRadioGroup(QString(), TabTodo);
    TodoKind->setObjectName(QStringLiteral("TodoKind"));
    TodoKind->SetItems({ u"未完"_qs, u"完了"_qs, u"全て"_qs });
    TodoKind->SetColumns(3);
    TodoKind->SetItemIndex(0);
    TabTodo->layout()->addWidget(TodoKind);
    TodoList = List(TabTodo, "TodoList", { u"日付"_qs, u"時間"_qs, u"完了"_qs, u"件名"_qs },
                    { 80, 45, 38 }, 2);
    connect(TodoKind, &TRadioGroup::Click, this, [this] { Guard([this] { TodoKindClick(); }); });
}

void TListWindow::CreateDetailPane()
{
    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameShape(QFrame::Panel);
    Panel2->setFrameShadow(QFrame::Sunken);
    Panel2->setFixedHeight(4 + kRowStep * 5);
    Panel2->installEventFilter(this);

    Label2 = new QLabel(Panel2);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(6, 3, 400, kRowHeight);
    const QString captions[] = { u"場所:"_qs, u"分類:"_qs, u"重要度:"_qs, u"アラーム:"_qs };
    for (int i = 0; i < 4; ++i) {
        auto* caption = new QLabel(captions[i], Panel2);
        caption->setGeometry(6, 3 + kRowStep * (i + 1), kValueLeft - 8, kRowHeight);
    }
    BevelLabel1 = DetailLabel(Panel2, "BevelLabel1");
    BevelLabel1->setGeometry(kValueLeft, 3 + kRowStep, 100, kRowHeight);
    BevelLabel2 = DetailLabel(Panel2, "BevelLabel2");
    BevelLabel2->setGeometry(kValueLeft, 3 + kRowStep * 2, 100, kRowHeight);
    BevelLabel4 = DetailLabel(Panel2, "BevelLabel4");
    BevelLabel4->SetBevelOuter(bvRaised);
    BevelLabel4->SetAlignment(taCenter);
    BevelLabel4->setGeometry(kValueLeft, 3 + kRowStep * 3, 40, kRowHeight);
    BevelLabel3 = DetailLabel(Panel2, "BevelLabel3");
    BevelLabel3->setGeometry(kValueLeft, 3 + kRowStep * 4, 100, kRowHeight);

    CancelMsg = new QLabel(Panel2);
    CancelMsg->setObjectName(QStringLiteral("CancelMsg"));
    QFont bold = CancelMsg->font();
    bold.setBold(true);
    bold.setUnderline(true);
    CancelMsg->setFont(bold);
    SetTextColor(CancelMsg, colors::clRed);
    CancelMsg->setGeometry(kValueLeft + 48, 3 + kRowStep * 3, 120, kRowHeight);

    MailOpenBtn = new QToolButton(Panel2);
    MailOpenBtn->setObjectName(QStringLiteral("MailOpenBtn"));
    MailOpenBtn->setToolTip(u"リンクメールを開く"_qs);
    MailOpenBtn->setText(u"✉"_qs);
    MailOpenBtn->setAutoRaise(true);
    MailOpenBtn->setEnabled(false);
    MailOpenBtn->setGeometry(300, 3 + kRowStep * 4 - 1, 22, kRowHeight + 2);
    connect(MailOpenBtn, &QToolButton::clicked, this,
            [this] { Guard([this] { MailOpenBtnClick(); }); });
    // Linked mails live in the host mail client; the program has none.
    if (!BuildVariant().HasHostMail())
        MailOpenBtn->hide();

    AlermPopup = new QMenu(this);
    AlermPopup->setObjectName(QStringLiteral("AlermPopup"));
    NAlerm = AlermPopup->addAction(u"通知済みへ"_qs);
    NAlerm->setObjectName(QStringLiteral("NAlerm"));
    NAgain = AlermPopup->addAction(u"再通知お願い！"_qs);
    NAgain->setObjectName(QStringLiteral("NAgain"));
    NCancel = AlermPopup->addAction(u"アラーム無し"_qs);
    NCancel->setObjectName(QStringLiteral("NCancel"));
    QAction* const tagged[] = { NAlerm, NAgain, NCancel };
    for (int tag = 0; tag < 3; ++tag) {
        tagged[tag]->setProperty("tag", tag);
        connect(tagged[tag], &QAction::triggered, this,
                [this, tag] { Guard([this, tag] { NAlermChange(tag); }); });
    }
    connect(AlermPopup, &QMenu::aboutToShow, this,
            [this] { Guard([this] { AlermPopupPopup(); }); });
    connect(BevelLabel3, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (QMenu* menu = Popup(BevelLabel3))
            menu->popup(BevelLabel3->mapToGlobal(pos));
    });
    ClearDetails();
    FormResize();
}

// ---------------------------------------------------------------------------
// Helpers

void TListWindow::Guard(const std::function<void()>& handler)
{
    gui::Guarded(handler, this);
}

TWScheduler* TListWindow::Scheduler() const
{
    return owner_ ? owner_->Calendar : nullptr;
}

QTreeWidget* TListWindow::ActiveList() const
{
    QWidget* page = InfoPage->currentWidget();
    if (page == TabFind)
        return FindList;
    if (page == TabTodo)
        return TodoList;
    return SchedList;
}

void TListWindow::SetPopup(QWidget* widget, QMenu* menu)
{
    widget->setProperty("popupMenu", QVariant::fromValue<QObject*>(menu));
    // Without a menu of its own a right click goes on to the window's menu.
    widget->setContextMenuPolicy(menu ? Qt::CustomContextMenu : Qt::DefaultContextMenu);
}

QMenu* TListWindow::Popup(const QWidget* widget)
{
    return qobject_cast<QMenu*>(widget->property("popupMenu").value<QObject*>());
}

PEventData TListWindow::RowItem(const QTreeWidgetItem* row) const
{
    TWScheduler* calendar = Scheduler();
    if (!row || !calendar)
        return nullptr;
    return calendar->Store().FindById(row->data(0, kIdRole).toULongLong());
}

PEventData TListWindow::SelectedItem(const QTreeWidget* list) const
{
    return RowItem(list->selectedItems().value(0));
}

PEventData TListWindow::ShownItem() const
{
    TWScheduler* calendar = Scheduler();
    return calendar ? calendar->Store().FindById(shownId_) : nullptr;
}

bool TListWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == FindString && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            Guard([this] { FindExecClick(); });
            return true;
        }
        if (watched == SchedList || watched == FindList || watched == TodoList) {
            bool used = false;
            Guard([&] { used = SchedListKeyDown(key); });
            if (used)
                return true;
        }
    } else if (event->type() == QEvent::Resize && watched == Panel2) {
        Guard([this] { FormResize(); });
    }
    return TDockClientForm::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Rows

void TListWindow::SetListRow(QTreeWidgetItem* row, const TEventData& item, bool dayForm)
{
    row->setData(0, kIdRole, QVariant::fromValue<qulonglong>(item.Id));
    QString texts[4];
    if (dayForm) {
        if (item.HasTime && !item.Done) {
            texts[0] = qtext::ToQ(MinutesToStr(item.StartTime));
            texts[1] = qtext::ToQ(MinutesToStr(item.EndTime));
        } else if (item.Done) {
            texts[0] = u"(完了)"_qs;
        }
        if (item.Priority >= 1)
            texts[2] = PriorityText(item.Priority);
        texts[3] = item.Subject.empty() ? u"(件名無し)"_qs : qtext::ToQ(item.Subject);
    } else {
        texts[0] = DateText(item.Date);
        texts[1] = item.HasTime ? qtext::ToQ(MinutesToStr(item.StartTime)) : u"－"_qs;
        if (item.Priority == 4)
            texts[2] = item.Done ? u"○"_qs : u"未"_qs;
        else if (item.Priority != 0)
            texts[2] = PriorityText(item.Priority);
        texts[3] =
            item.Repeat != 0 ? u"* "_qs + qtext::ToQ(item.Subject) : qtext::ToQ(item.Subject);
    }
    for (int i = 0; i < 4; ++i)
        if (row->text(i) != texts[i])
            row->setText(i, texts[i]);
    gui::SetTextAlignment(row, 2, Qt::AlignCenter);
}

void TListWindow::AddDayItem(PEventData item)
{
    if (!item)
        return;
    SetListRow(new QTreeWidgetItem(SchedList), *item, true);
}

void TListWindow::ShowDay(const std::vector<PEventData>& items)
{
    // The rows of the day before go first, so that nothing reads them again.
    SchedList->clear();
    TWScheduler* calendar = Scheduler();
    if (calendar && calendar->Store().Revision() != checkedRevision_)
        StoreChanged();
    else
        FollowShownItem();
    // Filled before they join the list, and joined in one insertion.
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(items.size()));
    for (PEventData item : items) {
        rows.append(new QTreeWidgetItem);
        SetListRow(rows.back(), *item, true);
    }
    SchedList->addTopLevelItems(rows);
}

void TListWindow::UpdateItem(PEventData item, bool remove)
{
    TWScheduler* calendar = Scheduler();
    // A pointer the store no longer holds may not even be read: the rows are
    // then checked against the store as a whole.
    if (!item || !calendar || !calendar->Store().Contains(item)) {
        StoreChanged();
        return;
    }
    const qulonglong id = item->Id;
    // Every list that shows the item follows it, not only the active one,
    // so that no page keeps a row of a removed item.
    for (QTreeWidget* list : { SchedList, FindList, TodoList }) {
        for (int i = list->topLevelItemCount() - 1; i >= 0; --i) {
            QTreeWidgetItem* row = list->topLevelItem(i);
            if (row->data(0, kIdRole).toULongLong() != id)
                continue;
            if (remove)
                delete row;
            else
                SetListRow(row, *item, list == SchedList);
        }
    }
    if (remove) {
        UpdateCounts();
        ResultClear->setEnabled(FindList->topLevelItemCount() > 0);
        if (shownId_ == id)
            FindListSelectItem(ActiveList());
    } else if (shownId_ == id) {
        ShowDetails(item, true);
    }
}

void TListWindow::StoreChanged()
{
    TWScheduler* calendar = Scheduler();
    if (!calendar)
        return;
    const TSchedList& store = calendar->Store();
    checkedRevision_ = store.Revision();
    bool lost = false;
    for (QTreeWidget* list : { SchedList, FindList, TodoList }) {
        const QSignalBlocker quiet(list);
        for (int i = list->topLevelItemCount() - 1; i >= 0; --i) {
            QTreeWidgetItem* row = list->topLevelItem(i);
            if (PEventData item = store.FindById(row->data(0, kIdRole).toULongLong())) {
                SetListRow(row, *item, list == SchedList);
            } else {
                lost = true;
                delete row;
            }
        }
    }
    if (lost) {
        UpdateCounts();
        ResultClear->setEnabled(FindList->topLevelItemCount() > 0);
    }
    FollowShownItem();
}

void TListWindow::FollowShownItem()
{
    if (shownId_ == 0)
        return;
    if (PEventData shown = ShownItem())
        ShowDetails(shown, true);
    else
        FindListSelectItem(ActiveList());
}

void TListWindow::DropHiddenRows()
{
    TWScheduler* calendar = Scheduler();
    if (!calendar)
        return;
    const TSchedList& store = calendar->Store();
    const bool secretShown = (store.KindMask & 1) != 0;
    const PEventData shown = ShownItem();
    bool shownGone = false;
    for (QTreeWidget* list : { FindList, TodoList }) {
        const QSignalBlocker quiet(list);
        for (int i = list->topLevelItemCount() - 1; i >= 0; --i) {
            QTreeWidgetItem* row = list->topLevelItem(i);
            const PEventData item = store.FindById(row->data(0, kIdRole).toULongLong());
            const bool hidden = !item ||
                (list == FindList ? !store.IsVisible(*item) : (item->KindBits & 1) && !secretShown);
            if (!hidden)
                continue;
            shownGone = shownGone || item == shown;
            delete row;
        }
    }
    UpdateCounts();
    ResultClear->setEnabled(FindList->topLevelItemCount() > 0);
    if (shownGone) {
        ShowDetails(nullptr, false);
        FindListSelectItem(ActiveList());
    }
}

void TListWindow::UpdateCounts()
{
    FindBox->setTitle(u"検索結果：全 %1 件"_qs.arg(FindList->topLevelItemCount()));
    TodoKind->setTitle(u"全 %1 件"_qs.arg(TodoList->topLevelItemCount()));
}

// ---------------------------------------------------------------------------
// Selection and details

void TListWindow::FindListSelectItem(QTreeWidget* list)
{
    QTreeWidgetItem* row = list->selectedItems().value(0);
    PEventData item = RowItem(row);
    // Lists of hidden pages change behind the user's back (the day list
    // follows the calendar); only the search results speak for themselves.
    if (list != FindList && list->parentWidget() != InfoPage->currentWidget())
        return;
    SetPopup(list, item && owner_ ? owner_->EditPopup : nullptr);
    ShowDetails(item, row != nullptr);
    UpdateActions();
}

void TListWindow::ClearDetails()
{
    shownId_ = 0;
    CancelMsg->clear();
    Label2->clear();
    BevelLabel1->SetCaption(QString());
    BevelLabel2->SetCaption(QString());
    BevelLabel3->SetCaption(QString());
    BevelLabel4->SetCaption(QString());
    BevelLabel4->SetColor(colors::clBtnFace);
    SetPopup(BevelLabel3, nullptr);
    MailOpenBtn->setEnabled(false);
}

void TListWindow::ShowDetails(PEventData item, bool shown)
{
    if (owner_)
        owner_->ShowCurrentItem(item, shown);
    CancelMsg->clear();
    if (!shown || !item) {
        ClearDetails();
        return;
    }
    shownId_ = item->Id;
    const TEventData& e = *item;
    QString times;
    if (e.HasTime)
        times = u" "_qs + qtext::ToQ(MinutesToStr(e.StartTime)) + u"-"_qs +
            qtext::ToQ(MinutesToStr(e.EndTime));
    QString label = u"日時"_qs;
    days::Day date = e.Date;
    QString limit;
    if (e.Repeat != 0) {
        if (e.NextDate < 0) {
            label = u"繰返し"_qs;
        } else {
            label = u"次回"_qs;
            date = e.NextDate;
        }
        if (e.LimitDate > 0)
            limit = u" (～"_qs + DateText(e.LimitDate) + u")"_qs;
    }
    Label2->setText(label + u"："_qs + DateText(date) + times + limit);

    const int kindIndex = e.KindBits / 2;
    QString kind = kindIndex == 0 ? u"個人"_qs : kindIndex == 1 ? u"会社"_qs : u"不明"_qs;
    if (e.KindBits < 0)
        kind = u"不明"_qs;
    if (e.KindBits & 1)
        kind += u"*"_qs;
    std::string name;
    TColor fore = 0;
    TColor back = 0;
    ParseKind(e.DataType, name, fore, back);
    BevelLabel1->SetCaption(qtext::ToQ(e.Place));
    BevelLabel2->SetCaption(qtext::ToQ(name) + u" ("_qs + kind + u")"_qs);
    BevelLabel4->SetCaption(PriorityText(e.Priority));
    BevelLabel4->SetColor(PriorityColor(e.Priority));
    if (e.Done) {
        CancelMsg->setText(u"(完了)"_qs);
        SetTextColor(CancelMsg, colors::clBlue);
        BevelLabel4->SetColor(colors::clBtnFace);
    }
    if (e.Cancelled) {
        CancelMsg->setText(u"取消し"_qs);
        SetTextColor(CancelMsg, colors::clRed);
        BevelLabel4->SetColor(colors::clBtnFace);
    }
    if (e.AlarmBefore == 0) {
        BevelLabel3->SetCaption(u"無し"_qs);
        SetPopup(BevelLabel3, nullptr);
    } else {
        TWScheduler* calendar = Scheduler();
        const int state = AlarmState(item, calendar ? calendar->CurrentDate() : days::Today());
        const days::Ymd d = days::Decode(days::DayOf(e.AlarmTime));
        const std::int64_t s = days::SecondsOfDay(e.AlarmTime);
        BevelLabel3->SetCaption(u" "_qs + Two(d.month) + u"/"_qs + Two(d.day) + u" "_qs +
                                Two(s / 3600) + u":"_qs + Two(s / 60 % 60) + u" "_qs +
                                AlarmSuffix(state));
        SetPopup(BevelLabel3, state >= 3 && state <= 5 ? AlermPopup : nullptr);
    }
    MailOpenBtn->setEnabled(!e.MailID.empty());
}

void TListWindow::UpdateActions()
{
    if (!owner_)
        return;
    const PEventData current = owner_->CurrentItem();
    owner_->EditAction->setEnabled(current != nullptr);
    owner_->DelAction->setEnabled(current != nullptr);
    owner_->CopyAction->setEnabled(current != nullptr);
    owner_->CutAction->setEnabled(current != nullptr && current->Repeat == 0);
    owner_->PasteAction->setEnabled(owner_->CanPaste());
}

// ---------------------------------------------------------------------------
// Handlers

void TListWindow::InfoPageChange()
{
    QWidget* page = InfoPage->currentWidget();
    QTreeWidget* list = SchedList;
    if (page == TabFind) {
        list = FindList;
    } else if (page == TabTodo) {
        TodoKindClick();
        list = TodoList;
    }
    if (list->isVisible())
        list->setFocus();
    FindListSelectItem(list);
    SaveFiles();
}

void TListWindow::SchedListDblClick()
{
    if (owner_)
        owner_->EditActionExecute();
}

bool TListWindow::SchedListKeyDown(int key)
{
    if (key == Qt::Key_Insert) {
        if (owner_)
            owner_->EditActionExecute();
        return true;
    }
    if (key == Qt::Key_Delete) {
        if (owner_)
            owner_->DelActionExecute();
        return true;
    }
    return false;
}

void TListWindow::FindListDblClick(QTreeWidgetItem* row)
{
    PEventData item = RowItem(row);
    TWScheduler* calendar = Scheduler();
    if (item && calendar)
        calendar->SetCurrentDate(item->Date);
}

void TListWindow::AlermPopupPopup()
{
    // The menu acts on the item the pane shows, whichever list it came from.
    PEventData item = ShownItem();
    TWScheduler* calendar = Scheduler();
    if (!item || !calendar)
        return;
    const int state = AlarmState(item, calendar->CurrentDate());
    NAlerm->setEnabled(state == 3 || state == 4);
    NAgain->setEnabled(!NAlerm->isEnabled() && state == 5);
    NCancel->setEnabled(true);
}

void TListWindow::NAlermChange(int tag)
{
    PEventData item = ShownItem();
    TWScheduler* calendar = Scheduler();
    if (!item || !calendar)
        return;
    const std::uint64_t id = item->Id;
    switch (tag) {
    case 0:
        item->Alarmed = true;
        break;
    case 1:
        item->Alarmed = false;
        break;
    case 2:
        item->AlarmBefore = 0;
        break;
    default:
        return;
    }
    // Only a removed alarm is worth a write; the two marks just refresh the
    // views, and a change still waiting to be saved stays waiting (it is
    // written now, as with any change).
    calendar->SetModified(tag == 2 || calendar->Store().Modified);
    if (PEventData still = calendar->Store().FindById(id); still && shownId_ == id)
        ShowDetails(still, true);
}

void TListWindow::MailOpenBtnClick()
{
    PEventData item = ShownItem();
    if (!item || item->MailID.empty())
        return;
    // A link the host renumbered is repaired in the item and kept.
    if (BuildVariant().OpenLinkedMail(*item, this))
        if (TWScheduler* calendar = Scheduler())
            calendar->SaveSchedule();
}

std::vector<std::string> TListWindow::SearchTerms(const std::string& text)
{
    static const std::string wideSpace = sjis::FromUtf8("\u3000");
    return sjis::ReadCommaText(sjis::ReplaceAll(text, wideSpace, ","));
}

bool TListWindow::MatchTerms(const std::string& field, const std::vector<std::string>& terms,
                             bool matchAll)
{
    if (terms.empty())
        return false;
    std::size_t matches = 0;
    for (const std::string& term : terms)
        if (!term.empty() && sjis::Contains(field, term))
            ++matches;
    return matchAll ? matches == terms.size() : matches > 0;
}

void TListWindow::FindExecClick()
{
    FindList->setUpdatesEnabled(false);
    struct Finish
    {
        TListWindow* w;
        ~Finish()
        {
            w->FindList->setUpdatesEnabled(true);
            w->ResultClear->setEnabled(w->FindList->topLevelItemCount() > 0);
        }
    } finish { this };
    FindList->clear();
    QString query = FindString->currentText();
    if (query.isEmpty() && FindString->currentIndex() >= 0)
        query = FindString->itemText(FindString->currentIndex());
    const gui::WaitCursor wait;
    const std::string text = qtext::FromQ(query);
    const std::vector<std::string> terms = SearchTerms(text);
    const int type = FindType->currentIndex();
    const bool matchAll = AndString->isChecked();
    TWScheduler* calendar = Scheduler();
    QList<QTreeWidgetItem*> rows;
    if (calendar && (matchAll || OrString->isChecked())) {
        const TSchedList& store = calendar->Store();
        for (PEventData item : store.All()) {
            const std::string field = type == 1 ? item->Place
                : type == 2                     ? KindName(item->DataType)
                : type == 3                     ? item->Memo
                                                : item->Subject;
            if (!store.IsVisible(*item) || !MatchTerms(field, terms, matchAll))
                continue;
            auto* row = new QTreeWidgetItem;
            SetListRow(row, *item, false);
            rows.append(row);
        }
    }
    FindList->addTopLevelItems(rows);
    UpdateCounts();
    if (FindList->topLevelItemCount() > 0)
        FindList->setCurrentItem(FindList->topLevelItem(0));

    const std::string entry = sjis::Trim(text);
    if (!entry.empty()) {
        for (int i = FindString->count() - 1; i >= 0; --i)
            if (sjis::EqualsNoCase(qtext::FromQ(FindString->itemText(i)), entry))
                FindString->removeItem(i);
        FindString->insertItem(0, qtext::ToQ(entry));
        while (FindString->count() > kHistoryLimit)
            FindString->removeItem(FindString->count() - 1);
        FindString->setEditText(qtext::ToQ(entry));
    }
}

void TListWindow::ResultClearClick()
{
    FindList->clear();
    ResultClear->setEnabled(false);
    FindBox->setTitle(u"文字列検索"_qs);
}

void TListWindow::HistDeleteClick()
{
    if (!msgdlg::AskYesNo(u"履歴リストを消去します\r\nよろしいですか？"_qs,
                          msgdlg::Kind::Confirmation, this))
        return;
    // The text being typed stays.
    const QString typed = FindString->currentText();
    FindString->clear();
    FindString->setEditText(typed);
}

void TListWindow::TodoKindClick()
{
    TodoList->setUpdatesEnabled(false);
    struct Finish
    {
        QTreeWidget* list;
        ~Finish() { list->setUpdatesEnabled(true); }
    } finish { TodoList };
    TodoList->clear();
    const gui::WaitCursor wait;
    TWScheduler* calendar = Scheduler();
    QList<QTreeWidgetItem*> rows;
    if (calendar) {
        const TSchedList& store = calendar->Store();
        // The filters of the calendar do not hide deadlines here, but secret
        // items stay hidden until secret display is on.
        const bool secretShown = (store.KindMask & 1) != 0;
        const int kind = TodoKind->ItemIndex();
        for (PEventData item : store.All()) {
            if (item->Priority != 4 || ((item->KindBits & 1) && !secretShown))
                continue;
            if ((kind == 0 && !item->Done) || (kind == 1 && item->Done) || kind == 2) {
                auto* row = new QTreeWidgetItem;
                SetListRow(row, *item, false);
                rows.append(row);
            }
        }
    }
    TodoList->addTopLevelItems(rows);
    UpdateCounts();
    if (TodoList->topLevelItemCount() > 0)
        TodoList->setCurrentItem(TodoList->topLevelItem(0));
}

void TListWindow::FormResize()
{
    const int width = Panel2->contentsRect().width();
    for (TBevelLabel* label : { BevelLabel1, BevelLabel2 })
        label->resize(std::max(0, width - label->x() - kMargin), label->height());
    MailOpenBtn->move(std::max(0, width - MailOpenBtn->width() - kMargin), MailOpenBtn->y());
    const int alarmEnd = MailOpenBtn->isHidden() ? width : MailOpenBtn->x();
    BevelLabel3->resize(std::max(0, alarmEnd - BevelLabel3->x() - kMargin), BevelLabel3->height());
    Label2->resize(std::max(0, width - Label2->x() - kMargin), Label2->height());
}

// ---------------------------------------------------------------------------
// Pages and files

void TListWindow::SetPageVisible(QWidget* page, bool visible)
{
    const int index = InfoPage->indexOf(page);
    if (index >= 0)
        InfoPage->setTabVisible(index, visible);
}

bool TListWindow::PageVisible(QWidget* page) const
{
    const int index = InfoPage->indexOf(page);
    return index >= 0 && InfoPage->isTabVisible(index);
}
