#include "note_filer.h"

#include "format/format.h"
#include "transcription/gemini_client.h"
#include "transcription/gemini_error.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QTextBoundaryFinder>

namespace kavo {
namespace {

const QString titleKey = QStringLiteral("title");
const QString folderKey = QStringLiteral("folder");
const QString kindKey = QStringLiteral("kind");
const QString textKey = QStringLiteral("text");

// The line terminators of Unicode; "\r\n" is one break, not two.
bool isLineBreak(QChar c)
{
    switch (c.unicode()) {
    case u'\n':
    case u'\v':
    case u'\f':
    case u'\r':
    case 0x0085:
    case 0x2028:
    case 0x2029:
        return true;
    default:
        return false;
    }
}

bool isSpaceOrTab(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool isQuotationMark(QChar c)
{
    return c == u'"' || c == u'\u201C' || c == u'\u201D' || c == u'\u00AB' || c == u'\u00BB';
}

template <typename Predicate> QStringView trimmed(QStringView text, Predicate strip)
{
    while (!text.isEmpty() && strip(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && strip(text.back()))
        text.chop(1);
    return text;
}

// Each run of line breaks becomes one space, so a title spread over lines reads as one line.
QString joinedLines(const QString& text)
{
    QString line;
    line.reserve(text.size());
    bool inBreak = false;
    for (const QChar c : text) {
        if (isLineBreak(c)) {
            if (!inBreak)
                line.append(u' ');
            inBreak = true;
        } else {
            line.append(c);
            inBreak = false;
        }
    }
    return line;
}

QString firstCharacters(const QString& text, int limit)
{
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    for (int count = 0; count < limit && end < text.size(); ++count)
        end = graphemes.toNextBoundary();
    return text.first(end);
}

QString compactJson(const QJsonArray& array)
{
    // Qt's serialiser has no failure result: an empty array is written as "[]" and a lone surrogate is escaped.
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

// JSON allows a bare string, number, boolean or null as the whole text; Qt's parser refuses those as illegal
// values, so a reply of that shape is recognised by parsing it as the only element of an array.
bool isJsonScalar(const QByteArray& utf8)
{
    QJsonParseError error;
    const QJsonDocument wrapped = QJsonDocument::fromJson('[' + utf8 + ']', &error);
    return error.error == QJsonParseError::NoError && wrapped.array().size() == 1;
}

QJsonObject stringType()
{
    return QJsonObject { { QStringLiteral("type"), QStringLiteral("STRING") } };
}

// Takes the filer by value: the caller's copy may be gone before the reply arrives.
QCoro::Task<NoteFiler::Result> fileWith(NoteFiler filer, QString text, NoteFiler::Context context,
    std::function<void(RequestProgress)> onProgress, std::shared_ptr<Cancellation> cancellation)
{
    if (filer.apiKey.isEmpty())
        throw GeminiError::noApiKey();
    QJsonObject config = GeminiClient::generationConfig(filer.model, filer.thinkingLevel);
    config.insert(QStringLiteral("responseMimeType"), QStringLiteral("application/json"));
    config.insert(QStringLiteral("responseSchema"), NoteFiler::schema(false));
    const QJsonObject content { { QStringLiteral("role"), QStringLiteral("user") },
        { QStringLiteral("parts"), QJsonArray { QJsonObject { { textKey, NoteFiler::textPrompt(text, context) } } } } };
    const QJsonObject body { { QStringLiteral("contents"), QJsonArray { content } },
        { QStringLiteral("generationConfig"), config } };
    const QUrl url = GeminiClient::modelEndpoint(filer.model, QStringLiteral("generateContent"));
    const QByteArray reply = co_await GeminiClient::post(url, filer.apiKey, body, onProgress, cancellation);
    co_return NoteFiler::reply(GeminiClient::generatedText(reply)).result;
}

} // namespace

const QString NoteFiler::classificationRules = QStringLiteral(
    "kind: \"meeting\" for notes from a meeting or a call; \"tasks\" for things to do; \"journal\" for a diary entry "
    "about the user's own day; \"idea\" for an idea or a plan to explore; \"note\" for anything else.\n"
    "title: the note's topic in 2 to 6 words, in the language and script it is spoken in, worded like the user's "
    "own titles below. No date, number, quotes or full stop: the app adds those.\n"
    "folder: the existing folder the note belongs in, written exactly as it is listed. Only when none of them "
    "fits, a short new folder name, 1 to 3 words, in the language of the note.\n"
    "\n"
    "Existing folders: ");
const QString NoteFiler::recentLead = QStringLiteral("\nRecent notes, newest first: ");
const QString NoteFiler::textRequestLead = QStringLiteral("The user dictated a note. Reply with one JSON object.\n\n");
const QString NoteFiler::textRequestSeparator = QStringLiteral("\n\nThe note:\n");

QString NoteFiler::rules(const Context& context)
{
    QJsonArray recent;
    for (const Context::Recent& note : context.recent)
        recent.append(QJsonObject { { titleKey, note.title }, { folderKey, note.folder } });
    return classificationRules + compactJson(QJsonArray::fromStringList(context.folders)) + recentLead
        + compactJson(recent);
}

QJsonObject NoteFiler::schema(bool transcript)
{
    QJsonArray kinds;
    for (const auto& [kind, raw] : RawValues<Kind>::table)
        kinds.append(QString::fromLatin1(raw));
    QJsonObject kindType = stringType();
    kindType.insert(QStringLiteral("enum"), kinds);

    QJsonObject properties {
        { kindKey, kindType },
        { titleKey, stringType() },
        { folderKey, stringType() },
    };
    QJsonArray order { kindKey, titleKey, folderKey };
    if (transcript) {
        properties.insert(textKey, stringType());
        order.prepend(textKey);
    }
    return QJsonObject {
        { QStringLiteral("type"), QStringLiteral("OBJECT") },
        { QStringLiteral("properties"), properties },
        { QStringLiteral("required"), order },
        { QStringLiteral("propertyOrdering"), order },
    };
}

NoteFiler::Reply NoteFiler::reply(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(utf8, &error);
    const QString notAnObject = QStringLiteral("not a JSON object");
    if (error.error != QJsonParseError::NoError) {
        if (isJsonScalar(utf8))
            throw GeminiError::badResponse(notAnObject);
        throw JsonError(error.errorString());
    }
    if (!document.isObject())
        throw GeminiError::badResponse(notAnObject);

    const QJsonObject object = document.object();
    return Reply {
        object.value(textKey).toString().trimmed(),
        Result {
            fromRawValue<Kind>(object.value(kindKey).toString().toLower()).value_or(Kind::note),
            tidy(object.value(titleKey), 80),
            tidy(object.value(folderKey), 40),
        },
    };
}

QString NoteFiler::tidy(const QJsonValue& value, int limit)
{
    const QString line = joinedLines(value.toString());
    QStringView text = trimmed(trimmed(line, isSpaceOrTab), isQuotationMark);
    while (text.endsWith(u'.'))
        text.chop(1);
    return firstCharacters(trimmed(text, isSpaceOrTab).toString(), limit);
}

QString NoteFiler::textPrompt(const QString& transcript, const Context& context)
{
    return textRequestLead + rules(context) + textRequestSeparator + transcript;
}

QCoro::Task<NoteFiler::Result> NoteFiler::file(QString text, Context context,
    std::function<void(RequestProgress)> onProgress, std::shared_ptr<Cancellation> cancellation) const
{
    return fileWith(*this, std::move(text), std::move(context), std::move(onProgress), std::move(cancellation));
}

std::optional<QString> NoteFiler::textModel(const QString& current, const QStringList& available)
{
    const QLatin1String transcribe("transcribe");
    if (!current.contains(transcribe))
        return current;
    QStringList general = available;
    general.removeIf([&](const QString& name) { return name.contains(transcribe); });
    return GeminiClient::pickModel(general, QString());
}

QString NoteFiler::title(Kind kind, const QString& topic, std::optional<int> number, const QDateTime& date)
{
    const QString separator = QStringLiteral(" \u00B7 ");
    switch (kind) {
    case Kind::meeting:
        return tr("Meeting") + u' ' + QString::number(number.value_or(1)) + separator + Format::shortDate(date);
    case Kind::tasks:
        return tr("Tasks") + separator + Format::shortDate(date);
    case Kind::journal:
        return tr("Journal") + separator + Format::shortDate(date);
    case Kind::idea:
        if (topic.isEmpty())
            return tr("Idea");
        return tr("Idea") + QStringLiteral(": ") + topic;
    case Kind::note:
        return topic;
    }
    return topic;
}

std::optional<NoteFolder> NoteFiler::folder(const QString& name, const QList<NoteFolder>& folders)
{
    return NotesStore::folderNamed(name, folders);
}

} // namespace kavo
