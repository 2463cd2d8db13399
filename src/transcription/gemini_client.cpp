#include "gemini_client.h"

#include "gemini_error.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>

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

} // namespace

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
        throw GeminiError::http(0, tr("cannot form a web address from \"%1\"").arg(pathAndQuery));
    return url;
}

QUrl GeminiClient::modelEndpoint(const QString& model, const QString& action)
{
    // The name must stay one path segment: no separators, no query or fragment.
    static const QRegularExpression structural(QStringLiteral("[/?#]"));
    if (model.isEmpty() || model == QLatin1String(".") || model == QLatin1String("..")
        || structural.match(model).hasMatch())
        throw GeminiError::http(0, tr("the model name \"%1\" cannot form a web address").arg(model));
    QString path = QStringLiteral("/v1beta/models/") + model;
    if (!action.isEmpty())
        path += QLatin1Char(':') + action;
    return endpoint(path);
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
