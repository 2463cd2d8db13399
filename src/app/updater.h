#pragma once

#include <QCoreApplication>
#include <QString>

namespace kavo {

class Notifier;

/// Software updates. The distribution's package manager installs them, so a check tells the user where they come
/// from instead of downloading anything.
class Updater
{
    Q_DECLARE_TR_FUNCTIONS(Updater)

public:
    explicit Updater(Notifier& notifier)
        : m_notifier(notifier)
    { }

    void checkForUpdates();
    static QString message();

private:
    Notifier& m_notifier;
};

} // namespace kavo
