#include "low_delay.h"

#include <QDir>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace kavo::LowDelay {

namespace {

// The remote port of a connected TCP socket, or 0 for any other descriptor.
quint16 remotePort(int fd)
{
    int type = 0;
    socklen_t typeLength = sizeof type;
    if (getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &typeLength) != 0 || type != SOCK_STREAM)
        return 0;
    sockaddr_storage peer {};
    socklen_t peerLength = sizeof peer;
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerLength) != 0)
        return 0;
    if (peer.ss_family == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in&>(peer).sin_port);
    if (peer.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6&>(peer).sin6_port);
    return 0;
}

} // namespace

// Qt keeps its HTTP sockets to itself, so they are found among the process's descriptors.
void applyToConnections(quint16 port)
{
    const QDir descriptors(QStringLiteral("/proc/self/fd"));
    for (const QString& name : descriptors.entryList(QDir::System | QDir::NoDotAndDotDot)) {
        bool isNumber = false;
        const int fd = name.toInt(&isNumber);
        if (!isNumber || remotePort(fd) != port)
            continue;
        const int on = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    }
}

} // namespace kavo::LowDelay
