#pragma once

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>

struct _XDisplay;
union _XEvent;

class QSocketNotifier;

namespace kavo {

/// This application's own connection to the X server for synthetic input and selections. Events that arrive are
/// handed to one handler, from the Qt event loop (a socket notifier) and while `waitFor` waits.
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
    _XDisplay* display() const { return m_display; }
    unsigned long rootWindow() const;
    unsigned long atom(const char* name) const;

    void setEventHandler(EventHandler handler);
    /// Waits up to `timeout` for an event that `match` accepts and stores it in `event`; every other event goes to
    /// the handler meanwhile. False on timeout.
    bool waitFor(const EventMatch& match, std::chrono::milliseconds timeout, _XEvent& event);
    /// Hands every event already received to the handler.
    void dispatchPending();

private:
    void handle(_XEvent& event);

    _XDisplay* m_display = nullptr;
    std::unique_ptr<QSocketNotifier> m_notifier;
    EventHandler m_handler;
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
