#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace kavo {

/// The computer's IPv4 addresses that a phone on the same network can reach, in the order the phone link shows them:
/// the interface of the default route first, then wired and wireless ones, then bridges; home networks (192.168.)
/// before office ones (10.) before the rest.
namespace LocalAddresses {

struct InterfaceAddress
{
    QString interface;
    QString address;
};

/// The usable addresses of `found` in display order, each once. `primary` is the default route's interface.
QStringList ordered(const QList<InterfaceAddress>& found, const std::optional<QString>& primary);
/// The interface of the IPv4 default route in the kernel's routing table (the text of /proc/net/route).
std::optional<QString> primaryInterface(const QByteArray& routeTable);
/// This computer's usable addresses now.
QStringList current();

} // namespace LocalAddresses
} // namespace kavo
