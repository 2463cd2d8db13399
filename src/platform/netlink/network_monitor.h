#pragma once

#include "platform/unique_fd.h"

#include <QObject>
#include <QTimer>

#include <memory>

class QSocketNotifier;

namespace kavo {

/// Tells when this computer's network addresses may have changed: an address came or went, or a link went up or
/// down. It listens to the kernel's routing messages, so it needs no network manager.
class NetworkMonitor : public QObject
{
    Q_OBJECT

public:
    /// Messages closer together than this are one change: joining a network adds several addresses at once.
    static constexpr std::chrono::milliseconds settleTime { 200 };

    explicit NetworkMonitor(QObject* parent = nullptr);
    ~NetworkMonitor() override;

    bool isWatching() const { return static_cast<bool>(m_socket); }
    /// Why it is not watching; empty when it is.
    QString problem() const { return m_problem; }

Q_SIGNALS:
    void changed();

private:
    void readMessages();

    UniqueFd m_socket;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QTimer m_settle;
    QString m_problem;
};

} // namespace kavo
