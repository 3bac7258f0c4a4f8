#pragma once

// The alignment of a tree widget cell, kept as a plain integer, which the
// item views read as well. Qt's own setter stores a Qt::Alignment value, and
// that registers the flag type with Qt from the code that calls it: from the
// plug-in, the registration would outlive the library once the host unloads
// it, and the next load would crash on it.

#include <QTreeWidgetItem>

namespace gui {

inline void SetTextAlignment(QTreeWidgetItem* item, int column, Qt::Alignment alignment)
{
    item->setData(column, Qt::TextAlignmentRole, static_cast<int>(alignment));
}

} // namespace gui
