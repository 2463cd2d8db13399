#pragma once

#include <QCoroTask>
#include <QDBusConnection>
#include <QObject>

namespace kavo {

/// The running application's remote control on the session bus: the bus name `applicationID` and, at `objectPath`,
/// the interface of that name with the methods Toggle, Start, Stop, Cancel and ShowWindow. A call only announces the
/// request; what it means is for the application to decide.
class RemoteControl : public QObject
{
    Q_OBJECT
    // moc takes only a literal here: it is `applicationID`.
    Q_CLASSINFO("D-Bus Interface", "uz.kavo.KavoVoice")

public:
    static constexpr QLatin1StringView objectPath { "/uz/kavo/KavoVoice" };

    explicit RemoteControl(QDBusConnection bus, QObject* parent = nullptr);
    /// Gives the name and the object back, so that another instance can start.
    ~RemoteControl() override;

    /// Exports the object and asks the bus for the application's name. True when this process got it; false when
    /// another process holds it or the bus cannot be reached, and the object is then withdrawn.
    QCoro::Task<bool> claim();

    // The methods of the D-Bus interface.
public Q_SLOTS:
    Q_SCRIPTABLE void Toggle();
    Q_SCRIPTABLE void Start();
    Q_SCRIPTABLE void Stop();
    Q_SCRIPTABLE void Cancel();
    Q_SCRIPTABLE void ShowWindow();

Q_SIGNALS:
    void toggleRequested();
    void startRequested();
    void stopRequested();
    void cancelRequested();
    void showWindowRequested();

private:
    QDBusConnection m_bus;
    bool m_exported = false;
    bool m_named = false;
};

} // namespace kavo
