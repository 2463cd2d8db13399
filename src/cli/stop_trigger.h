#pragma once

#include "session/termination_signals.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <optional>

namespace kavo::cli {

/// Tells a long-running command when to end: Enter on standard input, Ctrl+C or a termination signal, or the end
/// of an optional time limit. Standard input that is closed ends nothing, so a command fed from /dev/null runs until
/// its time limit or a signal.
class StopTrigger : public QObject
{
    Q_OBJECT

public:
    explicit StopTrigger(std::optional<double> seconds, QObject* parent = nullptr);

Q_SIGNALS:
    void triggered();

private:
    void readInput();
    void fire();

    QSocketNotifier m_input;
    TerminationSignals m_signals;
    QTimer m_limit;
    bool m_fired = false;
};

/// Parses a positive number of seconds for --seconds; nothing when `text` is not one.
std::optional<double> parseSeconds(const QString& text);

} // namespace kavo::cli
