#pragma once

#include <QCoreApplication>
#include <QNetworkReply>
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

} // namespace kavo
