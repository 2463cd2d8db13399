#include "phone_server.h"

#include "phone/http_parser.h"
#include "phone/phone_listeners.h"
#include "transcription/gemini_error.h"

#include <QMutexLocker>
#include <QPointer>

namespace kavo {

PhoneServer::PhoneServer(ServerIdentity identity, QObject* parent)
    : QObject(parent)
    , m_statusText(QStringLiteral("Ready"))
{
    m_thread.setObjectName(QStringLiteral("kavo.phone-server"));
    m_listeners = new PhoneListeners(*this, std::move(identity));
    m_listeners->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_listeners, &QObject::deleteLater);
    m_thread.start();
}

PhoneServer::~PhoneServer()
{
    m_thread.quit();
    m_thread.wait();
}

void PhoneServer::start(quint16 port, std::optional<quint16> plainPort, const QString& token)
{
    stop();
    const bool hadError = !m_lastError.isEmpty() || !m_plainError.isEmpty();
    m_lastError.clear();
    m_plainError.clear();
    m_port = port;
    m_token = token;
    if (plainPort)
        m_plainPort = *plainPort;
    if (hadError)
        Q_EMIT stateChanged();
    PhoneListeners* listeners = m_listeners;
    const quint64 generation = m_generation;
    const std::chrono::milliseconds idleTimeout = m_idleTimeout;
    QMetaObject::invokeMethod(
        listeners, [=] { listeners->start(generation, port, plainPort, token, idleTimeout); }, Qt::QueuedConnection);
}

void PhoneServer::stop()
{
    ++m_generation;
    QMetaObject::invokeMethod(m_listeners, &PhoneListeners::stop, Qt::QueuedConnection);
    if (!m_running && !m_plainRunning)
        return;
    m_running = false;
    m_plainRunning = false;
    Q_EMIT stateChanged();
}

void PhoneServer::setAudioHandler(AudioHandler handler)
{
    m_audioHandler = std::move(handler);
}

void PhoneServer::setStatusText(const QString& text)
{
    const QMutexLocker lock(&m_statusMutex);
    m_statusText = text;
}

QString PhoneServer::statusText() const
{
    const QMutexLocker lock(&m_statusMutex);
    return m_statusText;
}

void PhoneServer::reportPhaseOf(const DictationState& state)
{
    setStatusText(statusText(state.phase()));
    connect(&state, &DictationState::phaseChanged, this, [this, &state] { setStatusText(statusText(state.phase())); });
}

QString PhoneServer::statusText(DictationState::Phase phase)
{
    switch (phase) {
    case DictationState::Phase::recording:
        return QStringLiteral("The computer is recording");
    case DictationState::Phase::working:
        return QStringLiteral("Transcribing");
    case DictationState::Phase::failed:
        return QStringLiteral("Last attempt failed");
    case DictationState::Phase::idle:
        break;
    }
    return QStringLiteral("Ready");
}

void PhoneServer::setIdleTimeout(std::chrono::milliseconds timeout)
{
    m_idleTimeout = timeout;
}

QString PhoneServer::emptyRecordingText()
{
    return tr("The recording was empty.");
}

void PhoneServer::applyReport(quint64 generation, Listener listener, bool running, quint16 port, const QString& message)
{
    // A listener of an earlier start may still report; only the current ones count.
    if (generation != m_generation)
        return;
    if (listener == Listener::https) {
        m_running = running;
        if (running) {
            m_port = port;
            m_lastError.clear();
        } else if (!message.isEmpty()) {
            m_lastError = message;
        }
    } else {
        m_plainRunning = running;
        m_plainError = message;
        if (running)
            m_plainPort = port;
    }
    Q_EMIT stateChanged();
}

QCoro::Task<> PhoneServer::answerUpload(quint64 connection, QByteArray body, QString contentType)
{
    const QPointer self(this);
    PhoneListeners* listeners = m_listeners;
    QByteArray reply;
    if (!m_audioHandler) {
        reply = HttpParser::jsonReply("400 Bad Request", QStringLiteral("error"), emptyRecordingText());
    } else {
        try {
            const QString text = co_await m_audioHandler(std::move(body), std::move(contentType));
            reply = HttpParser::jsonReply("200 OK", QStringLiteral("text"), text);
        } catch (...) {
            reply = HttpParser::jsonReply(
                "500 Internal Server Error", QStringLiteral("error"), errorDescription(std::current_exception()));
        }
    }
    // The listeners go with the server's thread, which ends with the server.
    if (self)
        QMetaObject::invokeMethod(
            listeners, [listeners, connection, reply] { listeners->answer(connection, reply); }, Qt::QueuedConnection);
}

} // namespace kavo
