#pragma once

#include "remote_control.h"

#include <memory>

namespace kavo {

/// How a start of the desktop application goes on.
struct InstanceStart
{
    /// This process's remote control when it is now the running instance.
    std::unique_ptr<RemoteControl> remoteControl;
    /// Another instance runs and was asked to show its window: this start should end.
    bool otherInstanceRuns = false;
    /// Why the other instance could not be asked, or why this one runs without a remote control (no session bus);
    /// empty otherwise. In the interface language.
    QString error;
};

/// Makes sure one instance of the application runs on a bus: claims the application's name for a new remote
/// control, or, when another instance holds it, asks that one to show its window.
QCoro::Task<InstanceStart> startInstance(QDBusConnection bus);

} // namespace kavo
