#pragma once

#include "platform/dbus/remote_control.h"

#include <QStringList>

namespace kavo::test {

/// Notes each request the remote control announces by name ("toggle", "showWindow"...), in the order they come.
inline void recordRequests(RemoteControl& control, QStringList& requests)
{
    const auto note = [&requests](const char* name) { return [&requests, name] { requests.append(name); }; };
    QObject::connect(&control, &RemoteControl::toggleRequested, note("toggle"));
    QObject::connect(&control, &RemoteControl::startRequested, note("start"));
    QObject::connect(&control, &RemoteControl::stopRequested, note("stop"));
    QObject::connect(&control, &RemoteControl::cancelRequested, note("cancel"));
    QObject::connect(&control, &RemoteControl::showWindowRequested, note("showWindow"));
}

} // namespace kavo::test
