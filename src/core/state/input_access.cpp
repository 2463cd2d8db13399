#include "input_access.h"

#include "store/log.h"

#include <QCoreApplication>

namespace kavo {

InputAccess::InputAccess(Probe probe, QObject* parent)
    : QObject(parent)
    , m_probe(std::move(probe))
{
    m_poll.setInterval(pollInterval);
    connect(&m_poll, &QTimer::timeout, this, &InputAccess::poll);
}

void InputAccess::check()
{
    setGranted(m_probe());
    Log::write(QStringLiteral("accessibility granted=") + (m_granted ? u"true"_qs : u"false"_qs));
    if (m_granted) {
        m_poll.stop();
        Q_EMIT accessGranted();
    } else if (!m_poll.isActive()) {
        m_poll.start();
    }
}

QString InputAccess::waitingMessage()
{
    return QCoreApplication::translate("InputAccess",
        "Waiting for input access. Run “sudo usermod -aG input $USER” or install the udev rule that comes with Kavo "
        "Voice, then log out and back in.");
}

void InputAccess::poll()
{
    if (!m_probe())
        return;
    Log::write(QStringLiteral("accessibility granted while waiting"));
    m_poll.stop();
    setGranted(true);
    Q_EMIT accessGranted();
}

void InputAccess::setGranted(bool granted)
{
    if (granted == m_granted)
        return;
    m_granted = granted;
    Q_EMIT grantedChanged();
}

} // namespace kavo
