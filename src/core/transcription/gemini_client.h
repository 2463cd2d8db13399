#pragma once

#include "store/config.h"
#include "transcription/gemini_error.h"
#include "transcription/note_filer.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <QCoroTask>

#include <functional>
#include <memory>
#include <optional>

class QNetworkAccessManager;

namespace kavo {

/// Turns a recording into text through the Gemini API. A value made fresh from the settings for every job;
/// it holds no state between calls. Requests run on the main thread; each call works on its own copy of the
/// client, so the value may go away while a request runs.
struct GeminiClient
{
    Q_DECLARE_TR_FUNCTIONS(GeminiClient)

public:
    using Progress = RequestProgress;
    using ProgressHandler = std::function<void(Progress)>;

    QString apiKey;
    QString model;
    QString prompt;
    QString thinkingLevel;
    QString transcriptionMode; ///< "smart" or "verbatim"
    bool removeFillers = false;
    bool punctuation = true;
    bool resolveCorrections = false;
    QStringList languageCodes;
    QStringList customVocabulary;

    /// The client for the current settings; the vocabulary keeps the words of the chosen languages.
    static GeminiClient fromConfig(const Config& config);

    // Requests. Failures are thrown: GeminiError, TransportError, JsonError, InvalidRequestError, AudioFileError
    // and CancelledError.
    /// The transcript of one recording, through the route the model calls for.
    QCoro::Task<QString> transcribe(
        QString audioPath, ProgressHandler onProgress = {}, std::shared_ptr<Cancellation> cancellation = {}) const;
    /// The transcript of a note and its classification, from one generate-content request.
    QCoro::Task<NoteFiler::Reply> transcribeNote(QString audioPath, NoteFiler::Context context,
        ProgressHandler onProgress = {}, std::shared_ptr<Cancellation> cancellation = {}) const;
    /// The names of the models the key can use, sorted; the first page only, no retries.
    QCoro::Task<QStringList> listModels() const;
    /// Opens the connection to the service while the user is still speaking; returns at once, and the outcome
    /// is ignored.
    void warmUp() const;

    /// The session every request of the main thread goes through, so connections are reused.
    static QNetworkAccessManager& network();
    /// Posts `body` with up to 4 attempts: 429, 5xx and transport failures are retried after 0.4, 1.2 and 3 s,
    /// everything else is thrown at once. Returns the body of the first reply with status 200.
    static QCoro::Task<QByteArray> post(QUrl url, QString apiKey, QJsonObject body, ProgressHandler onProgress = {},
        std::shared_ptr<Cancellation> cancellation = {});

    // The instruction text of the generate-content route.
    static const QString dictationClosing;
    /// The start of the closing paragraph of a note; the note filer's rules follow it directly.
    static const QString noteClosingLead;
    /// The whole instruction text of one request, ending with `closing`.
    QString instructions(const QString& closing) const;
    /// The language paragraph alone; empty when no code names a known language.
    static QString languageRules(const QStringList& codes);
    /// The clean-up block used when the transcript is tidied up.
    static QString smartRules(bool fillers, bool corrections);

    // Request bodies.
    /// Models whose name holds "transcribe" have their own route that takes no instruction text.
    bool usesTranscriptionRoute() const { return model.contains(QLatin1String("transcribe")); }
    /// "audio/mp4" for an .m4a file, whatever the case; every other file is sent as "audio/wav".
    static QString mimeType(const QString& path);
    /// Temperature 0, and the thinking level for models that accept one.
    static QJsonObject generationConfig(const QString& model, const QString& thinkingLevel);
    /// The generate-content body: the instructions, then the audio; a schema asks for a JSON reply.
    QJsonObject generateContentBody(const QString& instructions, const QByteArray& audio, const QString& mime,
        const std::optional<QJsonObject>& schema) const;
    /// The body of the transcription route: the settings as structured fields, no instruction text.
    QJsonObject transcriptionBody(const QByteArray& audio, const QString& mime) const;

    // Addresses.
    /// The service's base address; KAVO_GEMINI_BASE_URL replaces it when set and not empty.
    static QUrl baseUrl();
    /// The base address followed by `pathAndQuery` exactly as given. Throws InvalidRequestError when the result
    /// is not a well-formed address or its path has empty, "." or ".." segments.
    static QUrl endpoint(const QString& pathAndQuery);
    /// "/v1beta/models/" + model, followed by ":" + action when an action is given. Throws as `endpoint`
    /// when the model name is empty, would add segments, a query or a fragment, or is not valid in a path.
    static QUrl modelEndpoint(const QString& model, const QString& action = {});

    // Reply readers. Replies that are not JSON throw JsonError; the others throw GeminiError.
    /// The text of a generate-content reply, thought parts left out, trimmed.
    static QString generatedText(const QByteArray& reply);
    /// The text of a transcription-route reply, trimmed.
    static QString interactionText(const QByteArray& reply);
    /// The service's message in an error reply, else the body itself, else "unknown error".
    static QString errorMessage(const QByteArray& body);
    /// The model names of a model-list reply without their "models/" prefix, sorted.
    static QStringList modelNames(const QByteArray& reply);
    /// The model to use from those a key offers: `current` when offered, else a general flash model,
    /// else the first Gemini model.
    static std::optional<QString> pickModel(const QStringList& names, const QString& current);
};

} // namespace kavo
