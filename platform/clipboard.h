#pragma once

// The clipboard as Kalvero uses it: text it writes itself, and a watch that
// reports text copied by other programs (the program build registers copied
// schedules from it).
//
// Kalvero's own text never comes back as a copy from outside: a write holds
// the watches off while it happens, and the text is remembered, because
// clipboard managers take the text over and announce it once more later.

#include <QMetaObject>
#include <QObject>
#include <QString>

namespace clipboard {

// Puts Kalvero's own text on the clipboard.
void SetText(const QString& text);
// Remembers a text Kalvero took from the clipboard, so that a later
// announcement of the same text is not taken again.
void NoteTaken(const QString& text);
// True when text is what Kalvero wrote or took last (line ends aside).
bool IsOwnText(const QString& text);

// While one exists, no watch reports a change. They nest: an import, a write
// or an open entry dialog each hold one, and the last to go ends the pause.
class TIgnore
{
public:
    TIgnore();
    ~TIgnore();
    TIgnore(const TIgnore&) = delete;
    TIgnore& operator=(const TIgnore&) = delete;
};
bool Ignoring();

// Reports new clipboard text from other programs while hooked.
class TWatch : public QObject
{
    Q_OBJECT

public:
    explicit TWatch(QObject* parent = nullptr);

    // Starts watching (a second Hook changes nothing). What the clipboard
    // holds already is not reported.
    void Hook();
    void Unhook();
    bool Hooked() const { return static_cast<bool>(connection_); }

signals:
    // The clipboard took text from another program. Delivered through the
    // event loop, so that a handler may open windows; never for a change
    // made while ignoring, for Kalvero's own text, or after Unhook.
    void Changed();

private:
    void OnDataChanged();
    void Deliver();

    QMetaObject::Connection connection_;
    bool pending_ = false;
};

} // namespace clipboard
