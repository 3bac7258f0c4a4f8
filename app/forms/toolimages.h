#pragma once

// The image list of the main window's tool bars. Indexes are fixed because
// handlers switch images by number (the list window's button shows 9 while
// hidden and 14 while shown, the grid button 24 for the month and 37 for the
// week grid, the priority button 26 when off and 27 + level when on, ...).

#include <QIcon>
#include <QList>

class QAction;
class QToolButton;

namespace toolimages {

enum Index {
    Hide = 0,
    Merge = 1,
    New = 2,
    Edit = 3,
    Copy = 4,
    Paste = 5,
    Delete = 6,
    Erase = 7,
    Export = 8,
    ListHidden = 9,
    PersonalShown = 10,
    PersonalHidden = 11,
    CompanyShown = 12,
    CompanyHidden = 13,
    ListShown = 14,
    MemoHidden = 15,
    MemoShown = 16,
    Setup = 17,
    PrevYear = 18,
    PrevPage = 19,
    NextPage = 20,
    NextYear = 21,
    Cut = 22,
    Today = 23,
    MonthGrid = 24,
    Close = 25,
    PriorityOff = 26,
    PriorityNone = 27, // 27 + level 0..4
    PriorityLow = 28,
    PriorityMid = 29,
    PriorityHigh = 30,
    PriorityTodo = 31,
    WeekGrid = 37,
    Count = 38
};

// The icons, drawn once (16 x 16 and 32 x 32).
const QList<QIcon>& Images();
QIcon Image(int index);

// The program's task-tray icon: a calendar page (16 to 48 pixels).
QIcon TrayImage();

// Shows an image and keeps its index in the "imageIndex" property, which the
// handlers read back when they switch images by number.
void SetImage(QAction* action, int index);
void SetImage(QToolButton* button, int index);

} // namespace toolimages
