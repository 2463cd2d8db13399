#include "gemini_error.h"

namespace kavo {
namespace {

QString englishMessage(GeminiError::Kind kind, int status, const QString& detail)
{
    switch (kind) {
    case GeminiError::Kind::http:
        return QStringLiteral("Gemini returned %1: %2").arg(status).arg(detail);
    case GeminiError::Kind::badResponse:
        return QStringLiteral("Could not read the Gemini response: %1").arg(detail);
    case GeminiError::Kind::noApiKey:
        return QStringLiteral("No API key. Add it in Settings, or set GEMINI_API_KEY.");
    case GeminiError::Kind::emptyResponse:
        return QStringLiteral("Gemini returned no text.");
    }
    return {};
}

} // namespace

GeminiError::GeminiError(Kind kind, int status, const QString& detail)
    : m_kind(kind)
    , m_status(status)
    , m_detail(detail)
    , m_englishMessage(englishMessage(kind, status, detail).toUtf8())
{ }

GeminiError GeminiError::http(int status, const QString& message)
{
    return GeminiError(Kind::http, status, message);
}

GeminiError GeminiError::badResponse(const QString& detail)
{
    return GeminiError(Kind::badResponse, 0, detail);
}

GeminiError GeminiError::noApiKey()
{
    return GeminiError(Kind::noApiKey, 0, QString());
}

GeminiError GeminiError::emptyResponse()
{
    return GeminiError(Kind::emptyResponse, 0, QString());
}

QString GeminiError::message() const
{
    switch (m_kind) {
    case Kind::http:
        return tr("Gemini returned %1: %2").arg(m_status).arg(m_detail);
    case Kind::badResponse:
        return tr("Could not read the Gemini response: %1").arg(m_detail);
    case Kind::noApiKey:
        return tr("No API key. Add it in Settings, or set GEMINI_API_KEY.");
    case Kind::emptyResponse:
        return tr("Gemini returned no text.");
    }
    return {};
}

const char* GeminiError::what() const noexcept
{
    return m_englishMessage.constData();
}

TransportError::TransportError(Kind kind, const QString& description)
    : m_kind(kind)
    , m_description(description)
    , m_utf8(description.toUtf8())
{ }

TransportError TransportError::from(QNetworkReply::NetworkError error, const QString& description)
{
    using E = QNetworkReply::NetworkError;
    switch (error) {
    case E::NetworkSessionFailedError:
    case E::BackgroundRequestNotAllowedError:
        return { Kind::notConnected, description };
    case E::RemoteHostClosedError:
    case E::TemporaryNetworkFailureError:
        return { Kind::connectionLost, description };
    case E::TimeoutError:
    case E::ProxyTimeoutError:
    case E::OperationCanceledError: // a transfer time-out aborts the reply this way
        return { Kind::timedOut, description };
    case E::HostNotFoundError:
    case E::ProxyNotFoundError:
        return { Kind::hostNotFound, description };
    case E::ConnectionRefusedError:
    case E::ProxyConnectionRefusedError:
    case E::ProxyConnectionClosedError:
        return { Kind::cannotConnect, description };
    default:
        return { Kind::other, description };
    }
}

JsonError::JsonError(const QString& description)
    : m_description(description)
    , m_utf8(description.toUtf8())
{ }

InvalidRequestError::InvalidRequestError(const QString& message)
    : m_message(message)
    , m_utf8(message.toUtf8())
{ }

InvalidRequestError InvalidRequestError::modelName(const QString& model)
{
    return InvalidRequestError(tr("The model name \"%1\" cannot form a web address.").arg(model));
}

InvalidRequestError InvalidRequestError::address(const QString& pathAndQuery)
{
    return InvalidRequestError(tr("The Gemini address cannot be formed from \"%1\".").arg(pathAndQuery));
}

AudioFileError::AudioFileError(const QString& path, const QString& reason)
    : m_message(tr("Could not read the recording %1: %2").arg(path, reason))
    , m_utf8(m_message.toUtf8())
{ }

void Cancellation::cancel()
{
    if (m_cancelled)
        return;
    m_cancelled = true;
    Q_EMIT cancelled();
}

void Cancellation::check() const
{
    if (m_cancelled)
        throw CancelledError();
}

QString errorDescription(const std::exception& error)
{
    if (const auto* gemini = dynamic_cast<const GeminiError*>(&error))
        return gemini->message();
    if (const auto* cancelled = dynamic_cast<const CancelledError*>(&error))
        return cancelled->message();
    if (const auto* invalid = dynamic_cast<const InvalidRequestError*>(&error))
        return invalid->message();
    if (const auto* audio = dynamic_cast<const AudioFileError*>(&error))
        return audio->message();
    return QString::fromUtf8(error.what());
}

QString errorDescription(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        return errorDescription(error);
    } catch (...) { }
    return QStringLiteral("unknown error");
}

} // namespace kavo
