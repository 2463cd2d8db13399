#pragma once

#include <QCoreApplication>
#include <QNetworkReply>
#include <QObject>
#include <QString>

#include <exception>

namespace kavo {

/// A failure reported by or about the Gemini service, with the message shown to the user.
class GeminiError : public std::exception
{
    Q_DECLARE_TR_FUNCTIONS(GeminiError)

public:
    enum class Kind { http, badResponse, noApiKey, emptyResponse };

    static GeminiError http(int status, const QString& message);
    static GeminiError badResponse(const QString& detail);
    static GeminiError noApiKey();
    static GeminiError emptyResponse();

    Kind kind() const { return m_kind; }
    /// The HTTP status of an `http` error (0 when the reply was not HTTP).
    int status() const { return m_status; }
    /// The service's message of an `http` error, or the detail of a `badResponse`.
    QString detail() const { return m_detail; }

    /// The user-facing text in the interface language.
    QString message() const;
    const char* what() const noexcept override;

private:
    GeminiError(Kind kind, int status, const QString& detail);

    Kind m_kind;
    int m_status = 0;
    QString m_detail;
    QByteArray m_englishMessage;
};

/// A request that got no HTTP response at all: the network, the host or the connection failed.
class TransportError : public std::exception
{
public:
    /// All but `other` mean the computer could not reach the service: such a dictation counts as offline.
    /// Qt reports a failed DNS lookup as a host that was not found, so the two share `hostNotFound`.
    enum class Kind { notConnected, connectionLost, timedOut, hostNotFound, cannotConnect, other };

    TransportError(Kind kind, const QString& description);
    /// Qt's network errors mapped onto the kinds above.
    static TransportError from(QNetworkReply::NetworkError error, const QString& description);

    Kind kind() const { return m_kind; }
    bool isOffline() const { return m_kind != Kind::other; }
    QString message() const { return m_description; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    Kind m_kind;
    QString m_description;
    QByteArray m_utf8;
};

/// A reply that is not JSON at all; the parser's own description is the message.
class JsonError : public std::exception
{
public:
    explicit JsonError(const QString& description);
    QString message() const { return m_description; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_description;
    QByteArray m_utf8;
};

/// A request that could not be built: the model name or the service address does not form a web address.
/// Nothing was sent, and sending it again would fail the same way.
class InvalidRequestError : public std::exception
{
    Q_DECLARE_TR_FUNCTIONS(InvalidRequestError)

public:
    static InvalidRequestError modelName(const QString& model);
    static InvalidRequestError address(const QString& pathAndQuery);

    QString message() const { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    explicit InvalidRequestError(const QString& message);

    QString m_message;
    QByteArray m_utf8;
};

/// An audio file that could not be read for upload.
class AudioFileError : public std::exception
{
    Q_DECLARE_TR_FUNCTIONS(AudioFileError)

public:
    AudioFileError(const QString& path, const QString& reason);

    QString message() const { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

/// The owner of a request stopped it before it finished.
class CancelledError : public std::exception
{
    Q_DECLARE_TR_FUNCTIONS(CancelledError)

public:
    QString message() const { return tr("The request was cancelled."); }
    const char* what() const noexcept override { return "The request was cancelled."; }
};

/// The text to show for a failure: the interface-language message of the errors above, else `what()`.
QString errorDescription(const std::exception& error);
/// The same for a captured failure; "unknown error" for one that is not a `std::exception`.
QString errorDescription(std::exception_ptr failure);

/// What a running request reports to its caller: an attempt is about to be sent, or an attempt failed in a way
/// worth retrying and the next one is being waited for.
enum class RequestProgress { transcribing, retrying };

/// Stops a running request from the main thread: a wait ends at once, a reply in flight is aborted, and the
/// request fails with CancelledError. Shared between the caller and the request, so either may outlive the other.
class Cancellation : public QObject
{
    Q_OBJECT

public:
    void cancel();
    bool isCancelled() const { return m_cancelled; }
    /// Throws CancelledError once cancel() has been called.
    void check() const;

Q_SIGNALS:
    void cancelled();

private:
    bool m_cancelled = false;
};

} // namespace kavo
