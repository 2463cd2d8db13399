#include "support/data_folder.h"
#include "support/table_rows.h"
#include "transcription/gemini_client.h"
#include "transcription/gemini_error.h"

#include <QJsonDocument>
#include <QTest>

using kavo::GeminiClient;
using kavo::GeminiError;
using kavo::test::columns;
using kavo::test::row;

namespace {

// Holds 0xFF and 0xFE so its Base64 has "+" and "/", and is long enough for a MIME encoder to break lines.
const QByteArray audio = QByteArray("\x00\xff\xfe RIFF", 8).repeated(20);

// JSON written with single quotes, so rows stay short; AUDIO stands for the recording in standard Base64.
QByteArray j(const char* text)
{
    return QByteArray(text).replace('\'', '"').replace("AUDIO", audio.toBase64());
}

QByteArray compact(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// A reply whose first candidate has these parts, followed by these further candidate fields.
QByteArray parts(const char* parts, const char* candidate = "")
{
    return j("{'candidates':[{'content':{'parts':[") + j(parts) + "]}" + j(candidate) + "}]}";
}

} // namespace

class TestGeminiReplies : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { kavo::test::useTemporaryDataFolder(); }

    void generateContentBody_data()
    {
        columns<QString, QString, bool, QByteArray>({ "model", "level", "schema", "config" });
        const QByteArray thinks = j("'temperature':0,'thinkingConfig':{'thinkingLevel':'low'}");
        row("default model", "gemini-3.8-flash", "low", false, thinks);
        row("2.x model", "gemini-2.5-pro", "low", false, j("'temperature':0"));
        row("1.x model", "gemini-1.5-flash", "high", false, j("'temperature':0"));
        row("no dot after 2", "gemini-20-flash", "low", false, thinks);
        row("2. not at the start", "x-gemini-2.5", "low", false, thinks);
        row("empty level", "gemini-3.8-flash", "", false, j("'temperature':0"));
        row("schema", "g-3", "low", true, j("'responseMimeType':'application/json','responseSchema':{},") + thinks);
    }
    void generateContentBody()
    {
        QFETCH(QString, model);
        QFETCH(QString, level);
        QFETCH(bool, schema);
        QFETCH(QByteArray, config);
        const GeminiClient client { {}, model, {}, level, {}, false, true, false, {}, {} };
        const auto requested = schema ? std::optional(QJsonObject {}) : std::nullopt;
        QCOMPARE(compact(client.generateContentBody(u"Say."_qs, audio, u"audio/mp4"_qs, requested)),
            j("{'contents':[{'parts':[{'text':'Say.'},{'inline_data':{'data':'AUDIO','mime_type':'audio/mp4'}}],'role':"
              "'user'}],'generationConfig':{")
                + config + "}}");
    }

    // An .m4a in either case is audio/mp4, as tst_gemini_client's routes show.
    void mimeTypeIsWavUnlessTheFileIsM4a()
    {
        for (const QString& name : { u"a.wav"_qs, u"a.mp3"_qs, u"a.m4a.tmp"_qs, u"recording"_qs })
            QCOMPARE(GeminiClient::mimeType(u"/tmp/"_qs + name), u"audio/wav"_qs);
    }

    // No instruction text, temperature or thinking level; empty settings are left out.
    void transcriptionBody()
    {
        GeminiClient client { {}, u"transcribe"_qs, u"never sent"_qs, u"low"_qs, {}, true, true, true, {}, {} };
        const QByteArray head = j("{'generation_config':{'transcription_config':{");
        const auto tail
            = j("}},'input':[{'data':'AUDIO','mime_type':'audio/wav','type':'audio'}],'model':'transcribe'}");
        QCOMPARE(compact(client.transcriptionBody(audio, u"audio/wav"_qs)), head + j("'mode':'verbatim'") + tail);
        client.transcriptionMode = u"smart"_qs;
        client.languageCodes = QStringList { u"uz-UZ"_qs, u"ru-RU"_qs };
        client.customVocabulary = QStringList { u"F"_qs };
        QCOMPARE(compact(client.transcriptionBody(audio, u"audio/wav"_qs)),
            head + j("'custom_vocabulary':['F'],'language_codes':['uz-UZ','ru-RU'],'mode':'smart'") + tail);
    }

    // Each reader's outcome as one text: "text:…", "bad:detail", "empty" or "json" (not JSON at all).
    void readers_data()
    {
        columns<QString, QByteArray, QString>({ "reader", "reply", "outcome" });
        row("thought part dropped", "text", parts("{'thought':true,'text':'hmm'},{'text':'Salom'}"), "text:Salom");
        row("joined, trimmed", "text", parts("{'text':' \\n A'},{},{'thought':false,'text':'B\\n'}"), "text:AB");
        row("first candidate only", "text", j("{'candidates':[{},{'content':{'parts':[{'text':'a'}]}}]}"), "empty");
        row("only white space", "text", parts("{'text':'  \\n \\t'}", ",'finishReason':'STOP'"), "empty");
        row("no parts, MAX_TOKENS", "text", parts("", ",'finishReason':'MAX_TOKENS'"), "bad:finishReason MAX_TOKENS");
        row("thought only", "text", parts("{'thought':true,'text':'x'}", ",'finishReason':'S'"), "bad:finishReason S");
        row("finish reason not a string", "text", parts("", ",'finishReason':3"), "empty");
        row("blocked", "text", j("{'promptFeedback':{'blockReason':'OTHER'}}"), "bad:blocked (OTHER)");
        row("blocked, []", "text", j("{'candidates':[],'promptFeedback':{'blockReason':'X'}}"), "bad:blocked (X)");
        row("nothing at all", "text", j("{}"), "empty");
        row("array at the top", "text", j("[]"), "bad:not an object");
        row("not JSON", "text", j("<html>"), "json");
        row("steps", "steps", j("{'steps':[{'content':[{'text':'A '}]},{},{'content':[{'text':'B\\n'}]}]}"),
            "text:A B");
        row("no steps", "steps", j("{}"), "empty");
        row("steps of white space", "steps", j("{'steps':[{'content':[{'text':' \\n'}]}]}"), "empty");
        row("steps in an array", "steps", j("['a']"), "bad:not an object");
        row("service message", "error", j("{'error':{'message':'API key not valid.'}}"), "text:API key not valid.");
        row("message not a string", "error", j("{'error':{'message':5}}"), "text:{\"error\":{\"message\":5}}");
        row("plain text", "error", j("Bad Gateway \xd0\x9e\xd1\x88"), "text:Bad Gateway \xd0\x9e\xd1\x88");
        row("not UTF-8", "error", j("\xff\xfe error"), "text:unknown error");
        row("names", "models", j("{'models':[{'name':'models/b'},{'name':5},{'name':'models/models/a'}]}"), "text:a|b");
        row("models missing", "models", j("{}"), "bad:no models field");
        row("models not objects", "models", j("{'models':['a']}"), "bad:no models field");
    }
    void readers()
    {
        QFETCH(QString, reader);
        QFETCH(QByteArray, reply);
        QString outcome;
        try {
            const QHash<QString, QString (*)(const QByteArray&)> readers { { u"text"_qs, GeminiClient::generatedText },
                { u"steps"_qs, GeminiClient::interactionText }, { u"error"_qs, GeminiClient::errorMessage },
                { u"models"_qs, [](const QByteArray& reply) { return GeminiClient::modelNames(reply).join(u'|'); } } };
            outcome = u"text:"_qs + readers.value(reader)(reply);
        } catch (const GeminiError& error) {
            const bool empty = error.kind() == GeminiError::Kind::emptyResponse;
            QVERIFY(empty || error.kind() == GeminiError::Kind::badResponse);
            outcome = empty ? u"empty"_qs : u"bad:"_qs + error.detail();
        } catch (const kavo::JsonError&) {
            outcome = u"json"_qs;
        }
        QTEST(outcome, "outcome");
    }

    void pickModel_data()
    {
        columns<QString, QString, QString>({ "names", "current", "picked" });
        row("current offered", "gemini-3.8-flash my-model", "my-model", "my-model");
        row("lite flash then pro: first gemini", "gemini-3-flash-lite gemini-3-pro", "gone", "gemini-3-flash-lite");
        row("general flash wherever it stands", "g-flash-image g-pro g-flash-tts g-flash", "gone", "g-flash");
        row("each excluded word", "flash-live flash-embedding flash-audio gemma-pro", "gone", "");
        row("flash without gemini", "gemini-pro flash-x", "gone", "flash-x");
    }
    void pickModel()
    {
        QFETCH(QString, names);
        QFETCH(QString, current);
        QTEST(GeminiClient::pickModel(names.split(u' ', Qt::SkipEmptyParts), current).value_or(QString()), "picked");
    }

    // A name that would change the address, or is not valid in it, is refused without ending the program.
    void modelEndpoint()
    {
        QCOMPARE(GeminiClient::modelEndpoint(u"m"_qs, u"generateContent"_qs),
            QUrl(u"https://generativelanguage.googleapis.com/v1beta/models/m:generateContent"_qs));
        for (const QString& model : { u"gemini 3"_qs, u"gemini#3"_qs, u"gemini?key=1"_qs, u"/../gemini"_qs, u".."_qs,
                 u"gemini%zz"_qs, QString() })
            QVERIFY_THROWS_EXCEPTION(std::exception, GeminiClient::modelEndpoint(model, u"generateContent"_qs));
    }
};

QTEST_GUILESS_MAIN(TestGeminiReplies)
#include "tst_gemini_replies.moc"
