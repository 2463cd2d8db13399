#pragma once

#include "dictation/dictation_state.h"
#include "phone/http_parser.h"
#include "phone/server_identity.h"

#include <QCoreApplication>
#include <QCoro/QCoroTask>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QThread>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>

namespace kavo {

class PhoneListeners;

/// The server a phone on the same network uses as a remote microphone: the page for recording over HTTPS, its status
/// checks and its uploads, plus an optional plain HTTP port for phone automation shortcuts. Every request but a font
/// download carries the token as its "t" query value.
///
/// This object lives on the main thread and answers there; its sockets live on a thread of their own,
/// "kavo.phone-server", so that a slow or hostile client never holds up the interface. Starting reads or makes the
/// server's certificate with the openssl program on that thread too: `stateChanged()` tells when the listeners are up
/// or have failed.
class PhoneServer : public QObject
{
    Q_OBJECT

public:
    /// Turns an upload (its bytes and content type) into its transcript, on the main thread; an exception's message
    /// is the error the phone is shown.
    using AudioHandler = std::function<QCoro::Task<QString>(QByteArray, QString)>;

    static constexpr quint16 defaultPort = 8765;
    static constexpr quint16 defaultPlainPort = 8766;
    static constexpr std::chrono::milliseconds defaultIdleTimeout = std::chrono::seconds(30);
    /// Connections open at once, whatever they are doing; well under the descriptors a desktop session allows.
    static constexpr int maxConnections = 256;
    /// Bytes of request bodies the server takes on at once, counted from their headers until the reply: four
    /// uploads of the largest size.
    static constexpr qint64 bodyBudget = 4 * HttpParser::bodyLimit;

    explicit PhoneServer(ServerIdentity identity = ServerIdentity(), QObject* parent = nullptr);
    ~PhoneServer() override;

    /// Restarts the server: HTTPS on `port`, plain HTTP on `plainPort` when there is one. An empty token lets every
    /// request in.
    void start(quint16 port, std::optional<quint16> plainPort, const QString& token);
    /// Closes both ports. Connections already accepted finish their request.
    void stop();

    void setAudioHandler(AudioHandler handler);
    /// What "/status" answers; "Ready" until set. Safe from any thread.
    void setStatusText(const QString& text);
    QString statusText() const;
    /// Answers "/status" with the phase of this dictation from now on.
    void reportPhaseOf(const DictationState& state);
    static QString statusText(DictationState::Phase phase);
    /// How long a connection may take to send its headers, or pause between pieces of its body.
    void setIdleTimeout(std::chrono::milliseconds timeout);

    /// The HTTPS port listens.
    bool isRunning() const { return m_running; }
    /// The plain HTTP port listens.
    bool plainIsRunning() const { return m_plainRunning; }
    /// Why the HTTPS port does not listen, for the user; empty when all is well.
    QString lastError() const { return m_lastError; }
    /// Why the plain HTTP port does not listen; empty when it does or was not asked for.
    QString plainError() const { return m_plainError; }
    /// Connections open now, from their TLS handshake to their end. Safe from any thread.
    int openConnections() const { return m_openConnections; }
    /// Bytes of request bodies the server has taken on: announced by bodies on their way, or of uploads whose
    /// transcript is being worked out. Safe from any thread.
    qint64 heldBodyBytes() const { return m_heldBodyBytes; }
    quint16 port() const { return m_port; }
    quint16 plainPort() const { return m_plainPort; }
    QString token() const { return m_token; }

Q_SIGNALS:
    /// The phone page was in touch: a request with the right token other than a font download.
    void seen();
    /// `isRunning`, `plainIsRunning` or `lastError` changed.
    void stateChanged();

private:
    friend class PhoneListeners;
    enum class Listener { https, http };

    void applyReport(quint64 generation, Listener listener, bool running, quint16 port, const QString& message);
    static QString emptyRecordingText();
    QCoro::Task<> answerUpload(quint64 connection, QByteArray body, QString contentType);

    std::chrono::milliseconds m_idleTimeout = defaultIdleTimeout;

    QThread m_thread;
    PhoneListeners* m_listeners = nullptr;
    AudioHandler m_audioHandler;
    mutable QMutex m_statusMutex;
    QString m_statusText;
    // Every start and stop begins a new generation; reports of listeners from an older one are dropped.
    quint64 m_generation = 0;
    bool m_running = false;
    bool m_plainRunning = false;
    QString m_lastError;
    QString m_plainError;
    quint16 m_port = defaultPort;
    quint16 m_plainPort = defaultPlainPort;
    QString m_token;
    // Written by the listeners on the server's thread.
    std::atomic<int> m_openConnections = 0;
    std::atomic<qint64> m_heldBodyBytes = 0;
};

} // namespace kavo
