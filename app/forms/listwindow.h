#pragma once

// The list window: the dockable tool window beside the calendar with its
// pages (day list, phone book, memo pad, search, to-do). The main window
// creates, docks and restores it, shows and hides its pages and gives its
// lists their colours and the search history; the pages' own behaviour and
// the phone-book and memo-pad files belong to the pages.

#include "controls/customdock.h"

#include <string>

class QComboBox;
class QPlainTextEdit;
class QTabWidget;
class QTreeWidget;

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

    // The schedule file's path: the phone book and the memo pad lie beside
    // it (empty until LoadFiles).
    std::string BasePath;
    bool PhoneChanged = false;

    // Reads the phone book and the memo pad beside the schedule file.
    void LoadFiles(const std::string& schedulePath);
    // Writes what changed of them. Reports its own write failures.
    void SaveFiles();

    // Shows or hides a page's tab (the page stays).
    void SetPageVisible(QWidget* page, bool visible);
    bool PageVisible(QWidget* page) const;
};
