#include "local_addresses.h"

#include <QFile>
#include <QNetworkInterface>

#include <algorithm>

namespace kavo::LocalAddresses {

namespace {

bool startsWithAny(const QString& text, std::initializer_list<const char*> prefixes)
{
    return std::any_of(prefixes.begin(), prefixes.end(),
        [&text](const char* prefix) { return text.startsWith(QLatin1String(prefix)); });
}

} // namespace

QStringList ordered(const QList<InterfaceAddress>& found, const std::optional<QString>& primary)
{
    QList<InterfaceAddress> usable;
    for (const InterfaceAddress& pair : found) {
        if (startsWithAny(pair.interface, { "en", "eth", "wl", "br" }) && !pair.address.isEmpty()
            && !startsWithAny(pair.address, { "127.", "169.254." }))
            usable.append(pair);
    }
    const auto interfaceRank = [&primary](const InterfaceAddress& pair) {
        if (pair.interface == primary)
            return 0;
        return startsWithAny(pair.interface, { "en", "eth", "wl" }) ? 1 : 2;
    };
    const auto addressRank = [](const InterfaceAddress& pair) {
        return pair.address.startsWith(QLatin1String("192.168.")) ? 0
            : pair.address.startsWith(QLatin1String("10."))       ? 1
                                                                  : 2;
    };
    std::stable_sort(usable.begin(), usable.end(), [&](const InterfaceAddress& a, const InterfaceAddress& b) {
        return std::tuple(interfaceRank(a), addressRank(a), a.address)
            < std::tuple(interfaceRank(b), addressRank(b), b.address);
    });
    QStringList addresses;
    for (const InterfaceAddress& pair : usable) {
        if (!addresses.contains(pair.address))
            addresses.append(pair.address);
    }
    return addresses;
}

std::optional<QString> primaryInterface(const QByteArray& routeTable)
{
    // Columns: Iface Destination Gateway Flags ...; the default route goes to destination 00000000.
    for (const QByteArray& line : routeTable.split('\n').mid(1)) {
        const QList<QByteArray> columns = line.simplified().split(' ');
        if (columns.size() > 1 && columns[1] == "00000000")
            return QString::fromLatin1(columns[0]);
    }
    return std::nullopt;
}

QStringList current()
{
    QList<InterfaceAddress> found;
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol)
                found.append({ interface.name(), entry.ip().toString() });
        }
    }
    QFile routes(QStringLiteral("/proc/net/route"));
    const QByteArray table = routes.open(QIODevice::ReadOnly) ? routes.readAll() : QByteArray();
    return ordered(found, primaryInterface(table));
}

} // namespace kavo::LocalAddresses
