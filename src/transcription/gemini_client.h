#pragma once

#include "store/config.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace kavo {

/// Turns a recording into text through the Gemini API. A value made fresh from the settings for every job;
/// it holds no state between calls. This part builds the requests and reads the replies.
struct GeminiClient
{
    Q_DECLARE_TR_FUNCTIONS(GeminiClient)

public:
    /// What a running request reports to its caller.
    enum class Progress { transcribing, retrying };

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
    /// The base address followed by `pathAndQuery` exactly as given. Throws GeminiError::http with status 0
    /// (a failure without an HTTP reply, never retried) when the result is not a well-formed address or its
    /// path has empty, "." or ".." segments.
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
