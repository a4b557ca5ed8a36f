#pragma once

#include <QObject>

class QSocketNotifier;

namespace zuv::platform {

// The requests to end that the system sends a program (the session's logout, Ctrl+C in a
// terminal, the terminal going away) turned into a signal on the user-interface thread, so the
// program can end in order and store its files instead of being killed where it stands.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    // Catches SIGTERM, SIGINT and SIGHUP for as long as the object lives; one object at a time.
    // On Windows: the console's Ctrl+C, Ctrl+Break, close, logoff and shutdown events.
    explicit TerminationSignals(QObject* parent = nullptr);
    // Gives the signals back their default handling.
    ~TerminationSignals() override;

    // False when the signals could not be caught (they then end the program as before).
    bool Active() const;

signals:
    // One of the signals arrived (its number); emitted on the thread that owns the object.
    void Received(int signalNumber);

private:
#ifdef _WIN32
    bool m_active = false;
#else
    void ReadPending();

    QSocketNotifier* m_notifier = nullptr;
#endif
};

} // namespace zuv::platform
