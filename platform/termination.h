#pragma once

// Polite requests to end the program: SIGTERM (a session ending, kill),
// SIGINT (Ctrl+C in a terminal) and SIGHUP (the terminal closing). While a
// watch exists, these signals no longer end the process at once; the watch
// emits Requested from the event loop instead, so the program closes its
// window and saves what it holds as when the user closes it.

#include <QObject>

class QSocketNotifier;

namespace termination {

class TTerminationWatch : public QObject
{
    Q_OBJECT

public:
    explicit TTerminationWatch(QObject* parent = nullptr);
    // Gives the signals back their earlier handling.
    ~TTerminationWatch() override;

    bool Active() const { return notifier_ != nullptr; }

signals:
    void Requested(int signalNumber);

private:
    void OnReadable();
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace termination
