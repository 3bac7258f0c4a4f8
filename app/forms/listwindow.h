#pragma once

// The list window: the dockable tool window beside the calendar with its
// pages (day list, phone book, memo pad, search, to-do) above a pane that
// details the selected item. The main window creates, docks and restores it,
// shows and hides its pages and gives its lists their colours and the search
// history.
//
// Rows of the day list, the search results and the to-do list name their item
// by its identity in the store (TEventData::Id), never by its address: every
// use looks the item up first, so a row whose item has left the store is
// harmless until StoreChanged drops it.

#include "controls/customdock.h"
#include "core/eventdata.h"

#include <QPointer>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QRadioButton;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TBevelLabel;
class TRadioGroup;
class TSchedForm;
class TWScheduler;

class TListWindow : public TDockClientForm
{
    Q_OBJECT

public:
    // parent is the main window.
    explicit TListWindow(QWidget* parent);

    QTabWidget* InfoPage = nullptr;
    QWidget* TabSchedule = nullptr;
    QWidget* TabPhone = nullptr;
    QWidget* TabNote = nullptr;
    QWidget* TabFind = nullptr;
    QWidget* TabTodo = nullptr;
    QTreeWidget* SchedList = nullptr;
    QTreeWidget* PhoneList = nullptr;
    QPlainTextEdit* MemoData = nullptr;
    QComboBox* FindString = nullptr;
    QComboBox* FindType = nullptr;
    QTreeWidget* FindList = nullptr;
    QTreeWidget* TodoList = nullptr;

    // The search page's group and its controls.
    QGroupBox* FindBox = nullptr;
    QToolButton* FindExec = nullptr;
    QToolButton* ResultClear = nullptr;
    QRadioButton* AndString = nullptr;
    QRadioButton* OrString = nullptr;
    QMenu* PopupDropDown = nullptr; // FindString's menu
    QAction* HistDelete = nullptr;
    // The to-do page's kind: 0 open, 1 done, 2 all.
    TRadioGroup* TodoKind = nullptr;

    // The detail pane.
    QFrame* Panel2 = nullptr;
    QLabel* Label2 = nullptr; // the date line
    TBevelLabel* BevelLabel1 = nullptr; // place
    TBevelLabel* BevelLabel2 = nullptr; // category and kind
    TBevelLabel* BevelLabel3 = nullptr; // alarm
    TBevelLabel* BevelLabel4 = nullptr; // priority
    QLabel* CancelMsg = nullptr;
    QToolButton* MailOpenBtn = nullptr;
    QMenu* AlermPopup = nullptr; // BevelLabel3's menu
    QAction* NAlerm = nullptr; // tag 0
    QAction* NAgain = nullptr; // tag 1
    QAction* NCancel = nullptr; // tag 2

    // The schedule file's path: the phone book and the memo pad lie beside
    // it (empty until LoadFiles).
    std::string BasePath;
    bool PhoneChanged = false;
    // Lines of the phone book file that hold too many fields to be an entry:
    // written back as they were read.
    std::vector<std::string> PhoneKeptLines;

    // Reads the phone book and the memo pad beside the schedule file.
    void LoadFiles(const std::string& schedulePath);
    // Writes what changed of them. Reports its own write failures.
    void SaveFiles();

    // --- Phone book and memo pad
    QMenu* PhonePopup = nullptr;
    QAction* AddPhone = nullptr;
    QAction* EditPhone = nullptr;
    QAction* DelPhone = nullptr;
    QAction* MakeMail = nullptr;
    QAction* SendSched = nullptr;
    // Last phone-book column sorted (-1 none); PhoneList's "tag" property
    // holds the direction (0 ascending, 1 descending).
    int SortColumn = -1;

    // Appends the entry of one ".tel" line; a line of fewer than two
    // fields adds nothing.
    void AddPhoneLine(const std::string& line);
    // Enables the phone book's popup items for the selected row.
    void PhonePopupPopup();
    void AddPhoneClick();
    void PhoneEditClick();
    void DelPhoneClick();
    void MakeMailClick();
    void SendSchedClick();
    void PhoneListColumnClick(int column);

    // Shows or hides a page's tab (the page stays).
    void SetPageVisible(QWidget* page, bool visible);
    bool PageVisible(QWidget* page) const;

    // --- Item rows (called by the main window)
    // Appends a day-list row for the item.
    void AddDayItem(PEventData item);
    // After the calendar's date or items changed: the day list holds a row
    // for each of the items, in their order, and the search and to-do rows
    // are checked against the store (StoreChanged) only when it has changed
    // since they last were, so that a move to another day costs that day's
    // rows. The detail pane follows the new date either way.
    void ShowDay(const std::vector<PEventData>& items);
    // After an item changed (remove false) or just before it leaves the
    // store (remove true): its rows are redrawn or dropped.
    void UpdateItem(PEventData item, bool remove);
    // After any change of the store's items (delete, cut, bulk delete,
    // merge, a new file): rows whose item has left the store go, the others
    // are redrawn, and the detail pane follows. Cheap enough to call after
    // every change.
    void StoreChanged();
    // After the calendar's filters hid items (secret display switched off):
    // search results of items no longer shown go, secret deadlines leave the
    // to-do list, and the detail pane follows.
    void DropHiddenRows();

    // The item a row names, or nullptr when the row is none or its item has
    // left the store.
    PEventData RowItem(const QTreeWidgetItem* row) const;
    // The item of a list's selected row (nullptr as RowItem).
    PEventData SelectedItem(const QTreeWidget* list) const;
    // The item the detail pane shows, or nullptr.
    PEventData ShownItem() const;
    // The menu a widget opens on a right click, nullptr when none.
    static QMenu* Popup(const QWidget* widget);

    // Fills a row from an item: day form for the day list, date form for the
    // search and to-do lists.
    static void SetListRow(QTreeWidgetItem* row, const TEventData& item, bool dayForm);
    void ShowDetails(PEventData item, bool shown);
    void UpdateActions();
    void UpdateCounts();

    // --- Handlers
    void InfoPageChange();
    void SchedListDblClick();
    // Insert edits and Delete deletes the current item; true when the key
    // was used.
    bool SchedListKeyDown(int key);
    void FindListSelectItem(QTreeWidget* list);
    // A click on a search or to-do row moves the calendar to its item.
    void FindListDblClick(QTreeWidgetItem* row);
    void AlermPopupPopup();
    void NAlermChange(int tag);
    void MailOpenBtnClick();
    void FindExecClick();
    void ResultClearClick();
    void HistDeleteClick();
    void TodoKindClick();
    void FormResize();

    // Entries the search history keeps.
    static constexpr int kHistoryLimit = 20;

    // Search terms of a text: full-width spaces separate like commas, then
    // the text splits as comma text.
    static std::vector<std::string> SearchTerms(const std::string& text);
    // Whether a field holds all (matchAll) or any of the terms; an empty term
    // never occurs, and no terms match nothing.
    static bool MatchTerms(const std::string& field, const std::vector<std::string>& terms,
                           bool matchAll);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateFindPage();
    void CreateTodoPage();
    void CreateDetailPane();
    void CreatePhonePages();
    // Empties the pane (no item shown).
    void ClearDetails();
    TWScheduler* Scheduler() const;
    // The detail pane shows its item afresh, or, when that item has left the
    // store, the selected row of the active list.
    void FollowShownItem();
    // The list of the active page (the day list on the other pages).
    QTreeWidget* ActiveList() const;
    void SetPopup(QWidget* widget, QMenu* menu);
    void Guard(const std::function<void()>& handler);

    QPointer<TSchedForm> owner_;
    std::uint64_t shownId_ = 0;
    // The store's revision when StoreChanged last checked the rows.
    std::uint64_t checkedRevision_ = 0;
    // A phone book or memo pad file that exists but could not be read is
    // never written over with what the window holds instead.
    bool phoneUnread_ = false;
    bool memoUnread_ = false;
};
