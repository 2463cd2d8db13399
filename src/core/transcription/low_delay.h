#pragma once

#include <QtGlobal>

namespace kavo {

/// Qt's HTTP connections leave Nagle's algorithm on, and a request body goes out in writes of 16 KiB: each write
/// after the first then waits until the server acknowledges the one before, which a server may delay by 40 ms. With the
/// algorithm off on the connections to the service, an upload goes out at once.
namespace LowDelay {

/// Turns Nagle's algorithm off on this process's connected TCP sockets whose remote port is `port`.
void applyToConnections(quint16 port);

} // namespace LowDelay

} // namespace kavo
