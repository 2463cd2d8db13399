#pragma once

#include "notes/notes_store.h"
#include "store/raw_value.h"
#include "transcription/gemini_error.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

#include <QCoroTask>

#include <functional>
#include <memory>
#include <optional>

namespace kavo {

/// Classifies a dictated note: its kind, a topic for its title and the folder it belongs in.
///
/// The texts, the reply schema and the reply reader serve both the transcription request that classifies in
/// passing and a separate text-only request; the title and folder rules turn a classification into a filed note.
struct NoteFiler
{
    Q_DECLARE_TR_FUNCTIONS(NoteFiler)

public:
    enum class Kind { meeting, tasks, journal, idea, note };

    struct Result
    {
        Kind kind = Kind::note;
        QString topic; ///< at most 80 characters
        QString folder; ///< at most 40 characters; empty when the model chose none

        bool operator==(const Result&) const = default;
    };

    /// What the model is told about the notes that already exist.
    struct Context
    {
        struct Recent
        {
            QString title;
            QString folder;
        };

        QStringList folders; ///< every folder name, in store order
        QList<Recent> recent; ///< the latest notes, newest first
    };

    /// A model reply: the transcript (empty when the reply has none) and the classification.
    struct Reply
    {
        QString text;
        Result result;
    };

    QString apiKey;
    QString model; ///< a model that follows instructions
    QString thinkingLevel; ///< empty unless `model` is the model of the settings

    static const QString classificationRules;
    static const QString recentLead;
    static const QString textRequestLead;
    static const QString textRequestSeparator;

    /// The classification rules followed by the existing folders and the recent notes as compact JSON arrays.
    static QString rules(const Context& context);
    /// The reply schema in the service's dialect; with the transcript, its `text` field comes first.
    static QJsonObject schema(bool transcript);
    /// Reads a model reply. Throws JsonError when it is not JSON and GeminiError::badResponse when it is JSON
    /// but not an object; an unknown kind reads as `note`, a missing title or folder as empty.
    static Reply reply(const QString& text);
    /// One reply field on one line, without surrounding quotes or trailing full stops, cut to `limit`
    /// user-perceived characters (grapheme clusters), so a letter and its accents or an emoji stay whole.
    static QString tidy(const QJsonValue& value, int limit);
    /// The prompt of a text-only classification request.
    static QString textPrompt(const QString& transcript, const Context& context);

    /// Classifies an already transcribed text in a request of its own, with the retries of GeminiClient::post.
    QCoro::Task<Result> file(QString text, Context context, std::function<void(RequestProgress)> onProgress = {},
        std::shared_ptr<Cancellation> cancellation = {}) const;
    /// The model to classify with: `current` when it follows instructions, else a general model of `available`.
    static std::optional<QString> textModel(const QString& current, const QStringList& available);

    /// The note title the application makes from a classification; a meeting without a number is number 1.
    static QString title(Kind kind, const QString& topic, std::optional<int> number, const QDateTime& date);
    /// The existing folder a classification's folder name refers to, if any.
    static std::optional<NoteFolder> folder(const QString& name, const QList<NoteFolder>& folders);
};

template <> struct RawValues<NoteFiler::Kind>
{
    static constexpr std::array<std::pair<NoteFiler::Kind, const char*>, 5> table { {
        { NoteFiler::Kind::meeting, "meeting" },
        { NoteFiler::Kind::tasks, "tasks" },
        { NoteFiler::Kind::journal, "journal" },
        { NoteFiler::Kind::idea, "idea" },
        { NoteFiler::Kind::note, "note" },
    } };
};

} // namespace kavo
