#pragma once

#include "phone_recordings_model.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>
#include <QtQmlIntegration/qqmlintegration.h>

#include <chrono>
#include <functional>

namespace kavo {

class HistoryManager;
class PhoneStatus;
class Settings;
class Toasts;

/// The phone screen's state and actions: whether the server is on, the link to show as a QR code, whether the phone
/// is connected, and the recordings made on it. Lives as long as the application, because it also announces each
/// new phone connection with a toast while the screen is not shown.
class PhoneView : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns the phone screen's state")
    Q_PROPERTY(bool serverOn READ isServerOn NOTIFY serverOnChanged)
    Q_PROPERTY(QString firstLink READ firstLink NOTIFY firstLinkChanged)
    Q_PROPERTY(bool connected READ isConnected NOTIFY connectedChanged)
    Q_PROPERTY(QString statusLine READ statusLine NOTIFY connectedChanged)
    Q_PROPERTY(QString buttonText READ buttonText NOTIFY connectedChanged)
    Q_PROPERTY(QString error READ error NOTIFY errorChanged)
    Q_PROPERTY(kavo::PhoneRecordingsModel* recordings READ recordings CONSTANT)

public:
    /// How often the connection is judged again while the server is on.
    static constexpr auto recheckInterval = std::chrono::seconds(2);

    PhoneView(
        PhoneStatus& phone, Settings& settings, HistoryManager& history, Toasts& toasts, QObject* parent = nullptr);

    /// The moment "now" for the connection and the recordings' times; the system clock unless a test sets another.
    void setClock(std::function<QDateTime()> clock);

    bool isServerOn() const;
    /// The first of the phone links; empty while there is none.
    QString firstLink() const;
    /// The phone was in touch within the contact window, as judged at the last check.
    bool isConnected() const { return m_connected; }
    QString statusLine() const;
    QString buttonText() const;
    QString error() const;
    PhoneRecordingsModel* recordings() { return &m_recordings; }

    Q_INVOKABLE void turnOn();
    Q_INVOKABLE void newCode() { Q_EMIT newCodeRequested(); }
    /// Puts the first link on the clipboard as plain text.
    Q_INVOKABLE void copyLink();
    /// Puts the text of the phone recording with this id on the clipboard.
    Q_INVOKABLE void copyText(const QString& id);

Q_SIGNALS:
    void serverOnChanged();
    void firstLinkChanged();
    void connectedChanged();
    void errorChanged();
    /// "New code" or "Disconnect": the application makes a new token and restarts the phone server, so the link
    /// the phone holds stops working.
    void newCodeRequested();

private:
    void recheckConnection();
    void phoneSeen();
    void updateTimer();

    PhoneStatus& m_phone;
    Settings& m_settings;
    Toasts& m_toasts;
    PhoneRecordingsModel m_recordings;
    std::function<QDateTime()> m_clock = &QDateTime::currentDateTime;
    QTimer m_recheck;
    bool m_connected = false;
    QDateTime m_lastSeen;
};

} // namespace kavo
