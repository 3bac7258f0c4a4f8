#pragma once

// Values handed to Qt that Qt keeps in its process-wide registries and caches
// after the widgets that used them are gone. From the plug-in, such a value
// must not point into the library's own code or data: the host may unload the
// library and load it again elsewhere, and Qt would then read freed memory.

#include <QFont>
#include <QString>
#include <QStringList>
#include <QTreeWidgetItem>

#include <initializer_list>

namespace gui {

// The alignment of a tree widget cell, kept as a plain integer, which the
// item views read as well. Qt's own setter stores a Qt::Alignment value,
// and that registers the flag type with Qt from the code that calls it.
inline void SetTextAlignment(QTreeWidgetItem* item, int column, Qt::Alignment alignment)
{
    item->setData(column, Qt::TextAlignmentRole, static_cast<int>(alignment));
}

// Sets the font families from copies of the names: Qt's font cache keeps
// the names, and a literal's text lies in the library.
inline void SetFontFamilies(QFont& font, std::initializer_list<QStringView> families)
{
    QStringList copies;
    for (QStringView family : families)
        copies.append(family.toString());
    font.setFamilies(copies);
}

} // namespace gui
