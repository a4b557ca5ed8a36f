#include "platform/qt/termination_signals.h"

#include "platform/win32/windows_headers.h"

#include <QMetaObject>
#include <QPointer>

#include <csignal>

namespace zuv::platform {

namespace {

// The object that receives the events; the system calls the handler on a thread of its own.
QPointer<TerminationSignals> g_receiver;

BOOL WINAPI OnConsoleEvent(DWORD event)
{
    const int signalNumber = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? SIGINT : SIGTERM;
    TerminationSignals* receiver = g_receiver.data();
    if (!receiver)
        return FALSE;
    QMetaObject::invokeMethod(
        receiver, [receiver, signalNumber] { emit receiver->Received(signalNumber); },
        Qt::QueuedConnection);
    // The system ends the process when the handler of a close, logoff or shutdown returns; the
    // program stores its files meanwhile and ends on its own first.
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        ::Sleep(5000);
    return TRUE;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    if (g_receiver || !::SetConsoleCtrlHandler(OnConsoleEvent, TRUE))
        return;
    g_receiver = this;
    m_active = true;
}

bool TerminationSignals::Active() const
{
    return m_active;
}

TerminationSignals::~TerminationSignals()
{
    if (!m_active)
        return;
    ::SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
    g_receiver = nullptr;
}

} // namespace zuv::platform
