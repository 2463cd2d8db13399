#pragma once

#include <QObject>
#include <QSocketNotifier>

namespace kavo {

/// Turns Ctrl+C (SIGINT) and SIGTERM into a signal on the main thread, so the process can end in order instead of
/// being cut off. The default handling comes back when the object goes.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

Q_SIGNALS:
    /// One of the signals arrived; several arriving together are one.
    void received();

private:
    void drain();

    QSocketNotifier m_notifier;
};

} // namespace kavo
