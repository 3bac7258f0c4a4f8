#pragma once

// Answers the modal dialogs that the code under test opens with exec(): each
// time a modal dialog shows, the next step runs on it from the event loop.
// Every step must close the dialog it is given. A dialog without a step, or
// one a step leaves open, is rejected and fails the test, so a test never
// hangs on a dialog. Drivers nest: the one created last answers until it
// ends.

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <ostream>
#include <string>

class ModalDriver : public QObject
{
public:
    using Step = std::function<void(QDialog*)>;

    ModalDriver() : previous_(Top())
    {
        Top() = this;
        qApp->installEventFilter(this);
    }
    ~ModalDriver() override
    {
        qApp->removeEventFilter(this);
        Top() = previous_;
        EXPECT_TRUE(steps_.empty()) << steps_.size() << " dialog step(s) never ran";
    }

    // The next dialog must be a T; the step gets it as T.
    template<typename T> ModalDriver& Then(std::function<void(T*)> step)
    {
        steps_.push_back([step](QDialog* d) {
            T* typed = qobject_cast<T*>(d);
            ASSERT_NE(typed, nullptr) << "unexpected dialog " << d->metaObject()->className();
            step(typed);
        });
        return *this;
    }
    ModalDriver& Then(Step step)
    {
        steps_.push_back(std::move(step));
        return *this;
    }

    int shown() const { return shown_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            auto* dialog = qobject_cast<QDialog*>(watched);
            if (dialog && dialog->isWindow() && dialog->isModal() && Top() == this) {
                QPointer<QDialog> target(dialog);
                QTimer::singleShot(0, this, [this, target] {
                    if (target)
                        Run(target);
                });
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static ModalDriver*& Top()
    {
        static ModalDriver* top = nullptr;
        return top;
    }

    void Run(QDialog* dialog)
    {
        ++shown_;
        QPointer<QDialog> guard(dialog);
        if (steps_.empty()) {
            ADD_FAILURE() << "no step for dialog " << dialog->metaObject()->className() << " \""
                          << dialog->windowTitle().toStdString() << "\"";
        } else {
            Step step = std::move(steps_.front());
            steps_.pop_front();
            step(dialog);
        }
        if (guard && guard->isVisible()) {
            ADD_FAILURE() << "dialog " << guard->metaObject()->className() << " left open";
            guard->reject();
        }
    }

    ModalDriver* previous_;
    std::deque<Step> steps_;
    int shown_ = 0;
};

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

// The child of a window with this object name and type; fails the test when
// there is none.
template<typename T> T* Child(QObject* parent, const char* name)
{
    T* child = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << "no child " << name;
    return child;
}
