#include "network_monitor.h"

#include <QSocketNotifier>

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace kavo {

NetworkMonitor::NetworkMonitor(QObject* parent)
    : QObject(parent)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(settleTime);
    connect(&m_settle, &QTimer::timeout, this, &NetworkMonitor::changed);

    UniqueFd socket(::socket(AF_NETLINK, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, NETLINK_ROUTE));
    sockaddr_nl address {};
    address.nl_family = AF_NETLINK;
    address.nl_groups = RTMGRP_LINK | RTMGRP_IPV4_IFADDR | RTMGRP_IPV6_IFADDR;
    if (!socket || ::bind(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        m_problem
            = QStringLiteral("cannot listen for network changes: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    m_socket = std::move(socket);
    m_notifier = std::make_unique<QSocketNotifier>(m_socket.get(), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &NetworkMonitor::readMessages);
}

NetworkMonitor::~NetworkMonitor() = default;

void NetworkMonitor::readMessages()
{
    // What changed is asked of the system afterwards; the messages only say when to ask.
    char buffer[8192];
    while (::recv(m_socket.get(), buffer, sizeof buffer, 0) > 0) { }
    m_settle.start();
}

} // namespace kavo
