#pragma once

#include "platform/x11/x11_display.h"

#include <QObject>

#include <QCoroTask>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

union _XEvent;

class QSocketNotifier;

namespace kavo {

/// This application's own connection to the X server for synthetic input and selections. Events are read from the
/// Qt event loop (a socket notifier); each goes to a coroutine waiting for it, else to one handler.
class X11Connection : public QObject
{
    Q_OBJECT

public:
    using EventHandler = std::function<void(const _XEvent&)>;
    using EventMatch = std::function<bool(const _XEvent&)>;

    /// Connects to the display DISPLAY names; `isOpen()` tells whether that worked.
    explicit X11Connection(QObject* parent = nullptr);
    ~X11Connection() override;

    bool isOpen() const { return m_display != nullptr; }
    _XDisplay* display() const { return m_display.get(); }
    unsigned long rootWindow() const;
    unsigned long atom(const char* name) const;

    void setEventHandler(EventHandler handler);
    /// The first event that `match` accepts within `timeout`, sending the requests made so far first; nothing on
    /// timeout or when the connection closes meanwhile.
    QCoro::Task<std::optional<_XEvent>> waitFor(EventMatch match, std::chrono::milliseconds timeout);
    /// Hands every event already received to its waiting coroutine or the handler.
    void dispatchPending();

private:
    struct Wait;

    void handle(_XEvent& event);

    DisplayPtr m_display;
    std::unique_ptr<QSocketNotifier> m_notifier;
    EventHandler m_handler;
    std::vector<Wait*> m_waits;
};

/// Keeps the X protocol errors of the requests made in its scope from ending the process (Xlib's default when a
/// window that another client owns disappears under us), and tells whether any happened. Main thread only.
class X11ErrorTrap
{
public:
    explicit X11ErrorTrap(_XDisplay* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    /// Waits until the server has processed every request so far: true when none of them failed.
    bool succeeded();

private:
    _XDisplay* m_display;
};

} // namespace kavo
