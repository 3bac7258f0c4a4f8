#pragma once

// Shift+F10 opens the context menu of the focused control, as the menu key
// does: at the control's current item, where its input-method cursor
// rectangle lies (the selected cell of a grid, the current row of a list).

class QWidget;

namespace gui {

// From now on until window goes, for the keys typed into window and into
// every window it owns (its dialogs and tool windows).
void WatchMenuKey(QWidget* window);

} // namespace gui
