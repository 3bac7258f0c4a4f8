#pragma once

// The application object and the last line of defence against exceptions:
// an exception that leaves an event handler, a slot or a timer is caught in
// the event dispatch and shown in the standard error box (the application
// title, the error icon and the message), and the program goes on.
//
// Entry points of our own still catch what they can handle themselves; this
// is for everything else.

#include <QApplication>

#include <exception>
#include <utility>

class QWidget;

namespace gui {

class TApplication : public QApplication
{
    Q_OBJECT

public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows an exception in the standard error box; never throws. Messages of
// our own exceptions are Shift_JIS (plain ASCII from the standard library
// is the same in it).
void ShowException(std::exception_ptr error, QWidget* parent = nullptr) noexcept;

// Runs fn; an exception leaving it is shown and swallowed. True when fn
// finished normally.
template<typename Fn> bool Guarded(Fn&& fn, QWidget* parent = nullptr) noexcept
{
    try {
        std::forward<Fn>(fn)();
        return true;
    } catch (...) {
        ShowException(std::current_exception(), parent);
        return false;
    }
}

} // namespace gui
