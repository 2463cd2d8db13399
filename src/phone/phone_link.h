#pragma once

#include "phone/phone_server.h"
#include "state/phone_status.h"
#include "store/settings.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <functional>

namespace kavo {

/// Runs the phone server as the settings say and tells the interface how it stands: whether it listens, its error,
/// the addresses the phone and automation shortcuts use, and when the phone was last in touch. Restarts the server
/// when the settings or this computer's addresses change. Main thread only.
class PhoneLink : public QObject
{
    Q_OBJECT

public:
    using AddressSource = std::function<QStringList()>;

    /// How long after a start the status is read: the listeners report by then.
    static constexpr std::chrono::milliseconds statusDelay { 600 };

    PhoneLink(Settings& settings, PhoneStatus& status, PhoneServer& server, AddressSource addresses,
        QObject* parent = nullptr);

    /// Starts or restarts the server when the settings enable it, making a token first when there is none; stops it
    /// and clears the status otherwise.
    void apply();
    /// Restarts the server when this computer's addresses are not those it was started for.
    void networkChanged();

private:
    void readStatus();

    Settings& m_settings;
    PhoneStatus& m_status;
    PhoneServer& m_server;
    AddressSource m_addressSource;
    /// The addresses the server was last started for.
    QStringList m_addresses;
    QTimer m_statusDelay;
};

} // namespace kavo
