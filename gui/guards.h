#pragma once

// Scoped state for entry points (slots, timers, callbacks): what they switch
// on or off comes back on every path out, exceptions included.

#include <QApplication>
#include <QCursor>

namespace gui {

// The hourglass for the lifetime of the object; nests.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Marks a busy flag for the lifetime of the object. entered() is false when
// the flag was already set (a nested call), and then the flag is left alone:
//     ReentryGuard guard(checking_);
//     if (!guard.entered())
//         return;
class ReentryGuard
{
public:
    explicit ReentryGuard(bool& busy) : busy_(busy), entered_(!busy) { busy_ = true; }
    ~ReentryGuard()
    {
        if (entered_)
            busy_ = false;
    }
    bool entered() const { return entered_; }
    ReentryGuard(const ReentryGuard&) = delete;
    ReentryGuard& operator=(const ReentryGuard&) = delete;

private:
    bool& busy_;
    bool entered_;
};

} // namespace gui
