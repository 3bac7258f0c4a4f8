#include "app/forms/listwindow.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

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
// column take what is left.
QTreeWidget* List(QWidget* page, const char* name, const QStringList& columns,
                  const QList<int>& widths)
{
    auto* list = new QTreeWidget(page);
    list->setObjectName(QLatin1String(name));
    list->setRootIsDecorated(false);
    list->setAutoFillBackground(true);
    list->setHeaderLabels(columns);
    for (int i = 0; i < widths.size(); ++i)
        if (widths[i] > 0)
            list->setColumnWidth(i, widths[i]);
    page->layout()->addWidget(list);
    return list;
}

} // namespace

TListWindow::TListWindow(QWidget* parent) : TDockClientForm(parent)
{
    setObjectName(QStringLiteral("ListWindow"));
    setWindowTitle(u"リストビュー"_qs);
    InfoPage = new QTabWidget(this);
    InfoPage->setObjectName(QStringLiteral("InfoPage"));
    InfoPage->setDocumentMode(true);
    setWidget(InfoPage);

    TabSchedule = Page(InfoPage, "TabSchedule", u"予定リスト"_qs);
    SchedList = List(TabSchedule, "SchedList", { u"開始"_qs, u"終了"_qs, u"重要"_qs, u"件名"_qs },
                     { 45, 45, 38 });
    TabPhone = Page(InfoPage, "TabPhone", u"電話帳"_qs);
    PhoneList =
        List(TabPhone, "PhoneList",
             { u"名前"_qs, u"電話番号"_qs, u"メールアドレス"_qs, u"備考"_qs }, { 0, 80, 159 });
    TabNote = Page(InfoPage, "TabNote", u"メモ帳"_qs);
    MemoData = new QPlainTextEdit(TabNote);
    MemoData->setObjectName(QStringLiteral("MemoData"));
    TabNote->layout()->addWidget(MemoData);
    TabFind = Page(InfoPage, "TabFind", u"検索"_qs);
    FindString = new QComboBox(TabFind);
    FindString->setObjectName(QStringLiteral("FindString"));
    FindString->setEditable(true);
    TabFind->layout()->addWidget(FindString);
    FindType = new QComboBox(TabFind);
    FindType->setObjectName(QStringLiteral("FindType"));
    FindType->addItems({ u"件名"_qs, u"場所"_qs, u"分類"_qs, u"メモ"_qs });
    TabFind->layout()->addWidget(FindType);
    FindList = List(TabFind, "FindList", { u"日付"_qs, u"時間"_qs, u"重要"_qs, u"件名"_qs },
                    { 0, 45, 38 });
    TabTodo = Page(InfoPage, "TabTodo", u"ToDo"_qs);
    TodoList = List(TabTodo, "TodoList", { u"日付"_qs, u"時間"_qs, u"完了"_qs, u"件名"_qs },
                    { 0, 45, 38 });
    InfoPage->setCurrentWidget(TabSchedule);
}

void TListWindow::LoadFiles(const std::string& schedulePath)
{
    BasePath = schedulePath;
}

void TListWindow::SaveFiles()
{
    // Nothing is written until a page changes its file.
}

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
