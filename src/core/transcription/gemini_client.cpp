#include "gemini_client.h"

#include "gemini_error.h"
#include "low_delay.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QThread>
#include <QTimer>

#include <QCoroNetworkReply>
#include <QCoroTimer>

#include <algorithm>
#include <array>
#include <chrono>

namespace kavo {
namespace {

const QString defaultBaseUrl = QStringLiteral("https://generativelanguage.googleapis.com");

/// The value as a list of objects when it is an array holding only objects.
std::optional<QList<QJsonObject>> objectArray(const QJsonValue& value)
{
    if (!value.isArray())
        return std::nullopt;
    QList<QJsonObject> objects;
    for (const QJsonValue element : value.toArray()) {
        if (!element.isObject())
            return std::nullopt;
        objects << element.toObject();
    }
    return objects;
}

QJsonDocument parsed(const QByteArray& reply)
{
    QJsonParseError error;
    QJsonDocument document = QJsonDocument::fromJson(reply, &error);
    if (error.error != QJsonParseError::NoError)
        throw JsonError(error.errorString());
    return document;
}

QJsonObject replyObject(const QByteArray& reply)
{
    const QJsonDocument document = parsed(reply);
    if (!document.isObject())
        throw GeminiError::badResponse(QStringLiteral("not an object"));
    return document.object();
}

/// The string `text` fields of the objects, joined with nothing between.
QString joinedTexts(const QList<QJsonObject>& objects)
{
    QString text;
    for (const QJsonObject& object : objects) {
        if (const QJsonValue value = object.value(QLatin1String("text")); value.isString())
            text += value.toString();
    }
    return text;
}

QString base64(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toBase64());
}

using namespace std::chrono_literals;

constexpr auto requestTimeout = 120s;
constexpr auto modelListTimeout = 60s;
constexpr auto warmUpTimeout = 10s;
/// The waits after the failures of attempts 0, 1 and 2; attempt 3 is the last.
constexpr std::array<std::chrono::milliseconds, 3> retryWaits { 400ms, 1200ms, 3000ms };

QNetworkRequest keyedRequest(const QUrl& url, const QString& apiKey, std::chrono::milliseconds timeout)
{
    QNetworkRequest request(url);
    request.setRawHeader(QByteArrayLiteral("x-goog-api-key"), apiKey.toUtf8());
    request.setTransferTimeout(static_cast<int>(timeout.count()));
    return request;
}

/// What came back for one request: an HTTP status (0 when there was no HTTP reply), the body, and the transport
/// error when the exchange failed below HTTP.
struct Exchange
{
    int status = 0;
    QByteArray body;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QString errorText;

    /// The exchange broke below HTTP (Qt numbers the network and proxy failures below 200), even if a status
    /// line had already arrived.
    bool isTransportFailure() const
    {
        return error != QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied;
    }
    bool isSuccess() const { return status == 200 && !isTransportFailure(); }
};

struct LaterDeleter
{
    void operator()(QNetworkReply* reply) const { reply->deleteLater(); }
};

QCoro::Task<Exchange> finished(QNetworkReply* started, std::shared_ptr<Cancellation> cancellation)
{
    const std::unique_ptr<QNetworkReply, LaterDeleter> reply(started);
    if (cancellation)
        QObject::connect(cancellation.get(), &Cancellation::cancelled, reply.get(), &QNetworkReply::abort);
    if (!reply->isFinished())
        co_await reply.get();
    if (cancellation)
        cancellation->check();
    co_return Exchange { reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll(),
        reply->error(), reply->errorString() };
}

QCoro::Task<> wait(std::chrono::milliseconds delay, std::shared_ptr<Cancellation> cancellation)
{
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer); // a coarse timer may end a wait up to 5 % early
    if (cancellation)
        QObject::connect(cancellation.get(), &Cancellation::cancelled, &timer, [&timer] { timer.start(0); });
    timer.start(delay);
    co_await timer;
    if (cancellation)
        cancellation->check();
}

void report(const GeminiClient::ProgressHandler& onProgress, GeminiClient::Progress progress)
{
    if (onProgress)
        onProgress(progress);
}

QByteArray readAudio(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AudioFileError(path, file.errorString());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw AudioFileError(path, file.errorString());
    return bytes;
}

// The requests take the client by value: the caller's copy may be gone before the reply arrives.

QCoro::Task<QString> transcribeWith(GeminiClient client, QString audioPath, GeminiClient::ProgressHandler onProgress,
    std::shared_ptr<Cancellation> cancellation)
{
    if (client.apiKey.isEmpty())
        throw GeminiError::noApiKey();
    const QByteArray audio = readAudio(audioPath);
    const QString mime = GeminiClient::mimeType(audioPath);
    // Arguments are named before the co_await: g++ 12 mishandles temporaries inside co_await expressions.
    if (client.usesTranscriptionRoute()) {
        const QUrl url = GeminiClient::endpoint(QStringLiteral("/v1beta/interactions"));
        const QJsonObject body = client.transcriptionBody(audio, mime);
        const QByteArray reply = co_await GeminiClient::post(url, client.apiKey, body, onProgress, cancellation);
        co_return GeminiClient::interactionText(reply);
    }
    const QUrl url = GeminiClient::modelEndpoint(client.model, QStringLiteral("generateContent"));
    const QJsonObject body
        = client.generateContentBody(client.instructions(GeminiClient::dictationClosing), audio, mime, std::nullopt);
    const QByteArray reply = co_await GeminiClient::post(url, client.apiKey, body, onProgress, cancellation);
    co_return GeminiClient::generatedText(reply);
}

QCoro::Task<NoteFiler::Reply> transcribeNoteWith(GeminiClient client, QString audioPath, NoteFiler::Context context,
    GeminiClient::ProgressHandler onProgress, std::shared_ptr<Cancellation> cancellation)
{
    if (client.apiKey.isEmpty())
        throw GeminiError::noApiKey();
    const QByteArray audio = readAudio(audioPath);
    const QJsonObject body
        = client.generateContentBody(client.instructions(GeminiClient::noteClosingLead + NoteFiler::rules(context)),
            audio, GeminiClient::mimeType(audioPath), NoteFiler::schema(true));
    const QUrl url = GeminiClient::modelEndpoint(client.model, QStringLiteral("generateContent"));
    const QByteArray reply = co_await GeminiClient::post(url, client.apiKey, body, onProgress, cancellation);
    NoteFiler::Reply note = NoteFiler::reply(GeminiClient::generatedText(reply));
    if (note.text.isEmpty())
        throw GeminiError::emptyResponse();
    co_return note;
}

QCoro::Task<QStringList> listModelsWith(QString apiKey)
{
    if (apiKey.isEmpty())
        throw GeminiError::noApiKey();
    const QNetworkRequest request
        = keyedRequest(GeminiClient::endpoint(QStringLiteral("/v1beta/models?pageSize=200")), apiKey, modelListTimeout);
    QNetworkReply* reply = GeminiClient::network().get(request);
    const Exchange exchange = co_await finished(reply, nullptr);
    if (exchange.isTransportFailure())
        throw TransportError::from(exchange.error, exchange.errorText);
    if (!exchange.isSuccess())
        throw GeminiError::http(exchange.status, GeminiClient::errorMessage(exchange.body));
    co_return GeminiClient::modelNames(exchange.body);
}

} // namespace

QCoro::Task<QString> GeminiClient::transcribe(
    QString audioPath, ProgressHandler onProgress, std::shared_ptr<Cancellation> cancellation) const
{
    return transcribeWith(*this, std::move(audioPath), std::move(onProgress), std::move(cancellation));
}

QCoro::Task<NoteFiler::Reply> GeminiClient::transcribeNote(QString audioPath, NoteFiler::Context context,
    ProgressHandler onProgress, std::shared_ptr<Cancellation> cancellation) const
{
    return transcribeNoteWith(
        *this, std::move(audioPath), std::move(context), std::move(onProgress), std::move(cancellation));
}

QCoro::Task<QStringList> GeminiClient::listModels() const
{
    return listModelsWith(apiKey);
}

void GeminiClient::warmUp() const
{
    if (apiKey.isEmpty())
        return;
    QUrl url;
    try {
        url = modelEndpoint(model);
    } catch (const InvalidRequestError&) {
        return; // the request itself will report the name
    }
    QNetworkReply* reply = network().get(keyedRequest(url, apiKey, warmUpTimeout));
    QObject::connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
}

QNetworkAccessManager& GeminiClient::network()
{
    Q_ASSERT(QThread::currentThread() == QCoreApplication::instance()->thread());
    // Never deleted: it must outlive every request, and the application object goes before static destructors.
    static auto* const manager = new QNetworkAccessManager();
    return *manager;
}

QCoro::Task<QByteArray> GeminiClient::post(
    QUrl url, QString apiKey, QJsonObject body, ProgressHandler onProgress, std::shared_ptr<Cancellation> cancellation)
{
    QNetworkRequest request = keyedRequest(url, apiKey, requestTimeout);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    const QByteArray payload = QJsonDocument(body).toJson(QJsonDocument::Compact);
    const int lastAttempt = static_cast<int>(retryWaits.size());
    for (int attempt = 0;; ++attempt) {
        if (cancellation)
            cancellation->check();
        report(onProgress, Progress::transcribing);
        if (cancellation)
            cancellation->check();
        LowDelay::applyToConnections(quint16(url.port(url.scheme() == u"http" ? 80 : 443)));
        QNetworkReply* reply = network().post(request, payload);
        const Exchange exchange = co_await finished(reply, cancellation);
        if (exchange.isSuccess())
            co_return exchange.body;
        if (exchange.isTransportFailure()) {
            if (attempt == lastAttempt)
                throw TransportError::from(exchange.error, exchange.errorText);
        } else {
            // A status of 0 means an answer that was not HTTP; like any other client error it is final.
            const bool retryable = exchange.status == 429 || exchange.status >= 500;
            if (!retryable || attempt == lastAttempt)
                throw GeminiError::http(exchange.status, errorMessage(exchange.body));
        }
        report(onProgress, Progress::retrying);
        co_await wait(retryWaits[attempt], cancellation);
    }
}

GeminiClient GeminiClient::fromConfig(const Config& config)
{
    GeminiClient client;
    client.apiKey = config.resolvedApiKey();
    client.model = config.model;
    client.prompt = config.prompt;
    client.thinkingLevel = config.thinkingLevel;
    client.transcriptionMode
        = config.removeFillers || config.resolveCorrections ? QStringLiteral("smart") : QStringLiteral("verbatim");
    client.removeFillers = config.removeFillers;
    client.punctuation = config.punctuation;
    client.resolveCorrections = config.resolveCorrections;
    client.languageCodes = config.languageCodes;
    for (const VocabularyWord& word : config.vocabulary) {
        if (word.language.isEmpty() || config.languageCodes.isEmpty() || config.languageCodes.contains(word.language))
            client.customVocabulary << word.word;
    }
    return client;
}

QString GeminiClient::mimeType(const QString& path)
{
    return QFileInfo(path).suffix().toLower() == QLatin1String("m4a") ? QStringLiteral("audio/mp4")
                                                                      : QStringLiteral("audio/wav");
}

QJsonObject GeminiClient::generationConfig(const QString& model, const QString& thinkingLevel)
{
    // The 1.x and 2.x models reject a thinking level.
    static const QRegularExpression olderModel(QStringLiteral("^gemini-[12]\\."));
    QJsonObject config { { QStringLiteral("temperature"), 0 } };
    if (!thinkingLevel.isEmpty() && !olderModel.match(model).hasMatch())
        config.insert(
            QStringLiteral("thinkingConfig"), QJsonObject { { QStringLiteral("thinkingLevel"), thinkingLevel } });
    return config;
}

QJsonObject GeminiClient::generateContentBody(const QString& instructions, const QByteArray& audio, const QString& mime,
    const std::optional<QJsonObject>& schema) const
{
    const QJsonObject audioPart { { QStringLiteral("inline_data"),
        QJsonObject { { QStringLiteral("mime_type"), mime }, { QStringLiteral("data"), base64(audio) } } } };
    const QJsonObject content { { QStringLiteral("role"), QStringLiteral("user") },
        { QStringLiteral("parts"),
            QJsonArray { QJsonObject { { QStringLiteral("text"), instructions } }, audioPart } } };
    QJsonObject config = generationConfig(model, thinkingLevel);
    if (schema) {
        config.insert(QStringLiteral("responseMimeType"), QStringLiteral("application/json"));
        config.insert(QStringLiteral("responseSchema"), *schema);
    }
    return { { QStringLiteral("contents"), QJsonArray { content } }, { QStringLiteral("generationConfig"), config } };
}

QJsonObject GeminiClient::transcriptionBody(const QByteArray& audio, const QString& mime) const
{
    QJsonObject transcription { { QStringLiteral("mode"),
        transcriptionMode.isEmpty() ? QStringLiteral("verbatim") : transcriptionMode } };
    if (!languageCodes.isEmpty())
        transcription.insert(QStringLiteral("language_codes"), QJsonArray::fromStringList(languageCodes));
    if (!customVocabulary.isEmpty())
        transcription.insert(QStringLiteral("custom_vocabulary"), QJsonArray::fromStringList(customVocabulary));
    const QJsonObject input { { QStringLiteral("type"), QStringLiteral("audio") },
        { QStringLiteral("data"), base64(audio) }, { QStringLiteral("mime_type"), mime } };
    return { { QStringLiteral("model"), model }, { QStringLiteral("input"), QJsonArray { input } },
        { QStringLiteral("generation_config"),
            QJsonObject { { QStringLiteral("transcription_config"), transcription } } } };
}

QUrl GeminiClient::baseUrl()
{
    const QString custom = qEnvironmentVariable("KAVO_GEMINI_BASE_URL");
    return QUrl(custom.isEmpty() ? defaultBaseUrl : custom);
}

QUrl GeminiClient::endpoint(const QString& pathAndQuery)
{
    QString base = baseUrl().toString(QUrl::FullyEncoded);
    if (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    QUrl url(base + pathAndQuery, QUrl::StrictMode);
    const QString path = url.path(QUrl::FullyEncoded);
    // A path the server would read differently from the way it is written is refused as well.
    const bool wellFormed = url.isValid() && !url.scheme().isEmpty() && !url.host().isEmpty() && !url.hasFragment()
        && !path.contains(QLatin1String("//"))
        && url.adjusted(QUrl::NormalizePathSegments).path(QUrl::FullyEncoded) == path;
    if (!wellFormed)
        throw InvalidRequestError::address(pathAndQuery);
    return url;
}

QUrl GeminiClient::modelEndpoint(const QString& model, const QString& action)
{
    // The name must stay one path segment: no separators, no query or fragment.
    static const QRegularExpression structural(QStringLiteral("[/?#]"));
    if (model.isEmpty() || model == QLatin1String(".") || model == QLatin1String("..")
        || structural.match(model).hasMatch())
        throw InvalidRequestError::modelName(model);
    QString path = QStringLiteral("/v1beta/models/") + model;
    if (!action.isEmpty())
        path += QLatin1Char(':') + action;
    try {
        return endpoint(path);
    } catch (const InvalidRequestError&) {
        endpoint(QStringLiteral("/v1beta/models")); // a broken base address is reported as such
        throw InvalidRequestError::modelName(model);
    }
}

QString GeminiClient::generatedText(const QByteArray& reply)
{
    const QJsonObject top = replyObject(reply);
    const auto candidates = objectArray(top.value(QLatin1String("candidates")));
    if (candidates && !candidates->isEmpty()) {
        const QJsonObject& candidate = candidates->first();
        auto parts = objectArray(candidate.value(QLatin1String("content")).toObject().value(QLatin1String("parts")))
                         .value_or(QList<QJsonObject> {});
        parts.removeIf(
            [](const QJsonObject& part) { return part.value(QLatin1String("thought")) == QJsonValue(true); });
        QString text = joinedTexts(parts).trimmed();
        if (!text.isEmpty())
            return text;
        const QJsonValue finishReason = candidate.value(QLatin1String("finishReason"));
        if (finishReason.isString() && finishReason.toString() != QLatin1String("STOP"))
            throw GeminiError::badResponse(QStringLiteral("finishReason ") + finishReason.toString());
        throw GeminiError::emptyResponse();
    }
    const QJsonValue blockReason
        = top.value(QLatin1String("promptFeedback")).toObject().value(QLatin1String("blockReason"));
    if (blockReason.isString())
        throw GeminiError::badResponse(QStringLiteral("blocked (") + blockReason.toString() + QLatin1Char(')'));
    throw GeminiError::emptyResponse();
}

QString GeminiClient::interactionText(const QByteArray& reply)
{
    const QJsonObject top = replyObject(reply);
    QList<QJsonObject> contents;
    for (const QJsonObject& step : objectArray(top.value(QLatin1String("steps"))).value_or(QList<QJsonObject> {}))
        contents << objectArray(step.value(QLatin1String("content"))).value_or(QList<QJsonObject> {});
    QString text = joinedTexts(contents).trimmed();
    if (text.isEmpty())
        throw GeminiError::emptyResponse();
    return text;
}

QString GeminiClient::errorMessage(const QByteArray& body)
{
    const QJsonValue message = QJsonDocument::fromJson(body)
                                   .object()
                                   .value(QLatin1String("error"))
                                   .toObject()
                                   .value(QLatin1String("message"));
    if (message.isString())
        return message.toString();
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(body);
    return decoder.hasError() ? QStringLiteral("unknown error") : text;
}

QStringList GeminiClient::modelNames(const QByteArray& reply)
{
    const QJsonDocument document = parsed(reply);
    const auto models = objectArray(document.object().value(QLatin1String("models")));
    if (!document.isObject() || !models)
        throw GeminiError::badResponse(QStringLiteral("no models field"));
    QStringList names;
    for (const QJsonObject& model : *models) {
        if (const QJsonValue name = model.value(QLatin1String("name")); name.isString())
            names << name.toString().remove(QLatin1String("models/"));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<QString> GeminiClient::pickModel(const QStringList& names, const QString& current)
{
    if (names.contains(current))
        return current;
    static const QStringList excluded { QStringLiteral("lite"), QStringLiteral("image"), QStringLiteral("tts"),
        QStringLiteral("live"), QStringLiteral("embedding"), QStringLiteral("audio") };
    const auto generalFlash = std::find_if(names.begin(), names.end(), [](const QString& name) {
        return name.contains(QLatin1String("flash"))
            && std::none_of(excluded.begin(), excluded.end(), [&](const QString& word) { return name.contains(word); });
    });
    if (generalFlash != names.end())
        return *generalFlash;
    const auto gemini = std::find_if(
        names.begin(), names.end(), [](const QString& name) { return name.contains(QLatin1String("gemini")); });
    if (gemini != names.end())
        return *gemini;
    return std::nullopt;
}

} // namespace kavo
