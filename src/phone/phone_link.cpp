#include "phone_link.h"

#include "phone/phone_token.h"
#include "store/log.h"

namespace kavo {

PhoneLink::PhoneLink(
    Settings& settings, PhoneStatus& status, PhoneServer& server, AddressSource addresses, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_status(status)
    , m_server(server)
    , m_addressSource(std::move(addresses))
{
    m_statusDelay.setSingleShot(true);
    m_statusDelay.setInterval(statusDelay);
    connect(&m_statusDelay, &QTimer::timeout, this, &PhoneLink::readStatus);
    connect(&m_server, &PhoneServer::seen, this, [this] { m_status.setLastSeen(QDateTime::currentDateTime()); });
    // A certificate made for new addresses can take longer than the delay; its outcome shows when it comes.
    connect(&m_server, &PhoneServer::stateChanged, this, [this] {
        if (m_settings.phoneServerEnabled() && !m_statusDelay.isActive())
            readStatus();
    });
}

void PhoneLink::apply()
{
    if (!m_settings.phoneServerEnabled()) {
        m_statusDelay.stop();
        m_server.stop();
        m_addresses.clear();
        m_status.setRunning(false);
        m_status.setPhoneURLs({});
        m_status.setShortcutURLs({});
        m_status.setLastSeen({});
        m_status.setError({});
        return;
    }
    if (m_settings.phoneToken().isEmpty()) {
        m_settings.setPhoneToken(PhoneToken::make());
        m_settings.save();
    }
    m_addresses = m_addressSource();
    m_statusDelay.start();
    const auto port = [](int value) { return quint16(qBound(0, value, 65535)); };
    m_server.start(port(m_settings.phonePort()),
        m_settings.phonePlainEnabled() ? std::optional(port(m_settings.phonePlainPort())) : std::nullopt,
        m_settings.phoneToken());
}

void PhoneLink::networkChanged()
{
    if (!m_settings.phoneServerEnabled() || m_addressSource() == m_addresses)
        return;
    Log::write(QStringLiteral("network changed; restarting the phone server"));
    apply();
}

void PhoneLink::readStatus()
{
    m_status.setRunning(m_server.isRunning());
    m_status.setError(m_server.lastError());
    QStringList phoneURLs;
    QStringList shortcutURLs;
    if (m_server.lastError().isEmpty()) {
        for (const QString& address : std::as_const(m_addresses)) {
            phoneURLs << QStringLiteral("https://%1:%2/?t=%3").arg(address).arg(m_server.port()).arg(m_server.token());
            if (m_settings.phonePlainEnabled())
                shortcutURLs << QStringLiteral("http://%1:%2/audio?t=%3")
                                    .arg(address)
                                    .arg(m_server.plainPort())
                                    .arg(m_server.token());
        }
    }
    m_status.setPhoneURLs(phoneURLs);
    m_status.setShortcutURLs(shortcutURLs);
}

} // namespace kavo
