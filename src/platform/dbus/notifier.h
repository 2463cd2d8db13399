#pragma once

#include <QObject>
#include <QString>

namespace kavo {

/// Posts desktop notifications through the session bus's notification service. Posting never waits for the
/// service; without one, or when it refuses, nothing is shown and nothing is reported.
class Notifier : public QObject
{
    Q_OBJECT

public:
    explicit Notifier(QObject* parent = nullptr);

    /// Shows `title` and `body` (both already in the interface language) as one notification.
    void post(const QString& title, const QString& body);
};

} // namespace kavo
