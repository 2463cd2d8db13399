#include "support/data_folder.h"
#include "support/fake_gemini.h"
#include "support/table_rows.h"
#include "support/task_outcome.h"
#include "transcription/gemini_client.h"
#include "transcription/gemini_error.h"
#include "transcription/low_delay.h"
#include "transcription/note_filer.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkReply>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <memory>

using namespace kavo;
using namespace std::chrono_literals;
using test::FakeGemini;
using test::row;

namespace {

const QString noKey = QStringLiteral("No API key. Add it in Settings, or set GEMINI_API_KEY.");

// The model's classification of a note, without the transcript.
const QString classification = QStringLiteral(R"("kind":"Meeting","title":"\u201CBudget plan.\u201D","folder":"Work")");

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

// JSON written with single quotes, as text.
QString q(const char* text)
{
    return QString::fromUtf8(j(text));
}

const QString a79(79, u'a');

// The default settings with these languages and vocabulary words, given as "word" or "word,language" items.
Config configWith(const QStringList& codes, const QStringList& words)
{
    Config config;
    config.languageCodes = codes;
    for (const QString& word : words)
        config.vocabulary << VocabularyWord { {}, word.section(u',', 0, 0), word.section(u',', 1) };
    return config;
}

// The clean-up block of the instructions, holding `line` between its header and its two fixed lines.
QString cleanUp(const QString& before, const QString& line, const QString& after = {})
{
    return u"%1\nClean the transcript up for reading, without changing what was meant:\n%2\n"
           "- Write spoken lists, dates, times and numbers in their normal written form.\n"
           "- Break long speech into sentences and paragraphs where the speaker paused.\n%3"_qs.arg(
               before, line, after);
}

GeminiClient clientFor(const QString& codes, bool fillers, bool corrections, bool punctuation, const QString& words,
    const QString& prompt = u"Prompt."_qs)
{
    Config config = configWith(codes.split(u' ', Qt::SkipEmptyParts), words.split(u'|', Qt::SkipEmptyParts));
    config.prompt = prompt;
    config.removeFillers = fillers;
    config.resolveCorrections = corrections;
    config.punctuation = punctuation;
    return GeminiClient::fromConfig(config);
}

} // namespace

class TestGeminiClient : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeGemini> m_fake;
    QString m_folder;

    static GeminiClient client(const QString& model = "gemini-3.8-flash")
    {
        return { "key-123", model, {}, {}, {}, false, true, false, {}, {} };
    }

    QString audioFile(const QString& name) const
    {
        test::writeFile(m_folder + '/' + name, audio);
        return m_folder + '/' + name;
    }

    // The replies of a script by status: 0 drops the connection, -1 answers after 5 s.
    void enqueue(const QList<int>& script)
    {
        for (int status : script)
            m_fake->enqueue(status == 0 ? FakeGemini::dropped()
                    : status == -1      ? FakeGemini::Reply { .body = "{}", .delay = 5s }
                    : status == 200     ? FakeGemini::text("done")
                                        : FakeGemini::error(status, "busy"));
    }

    // Checks the first request's method, path, key and (for a POST) content type, and gives its body.
    QJsonObject sent(const QByteArray& method, const QByteArray& path) const
    {
        const FakeGemini::Request r = m_fake->requests().value(0);
        QTest::qCompare(r.method + ' ' + r.path + ' ' + r.header("x-goog-api-key") + ' ' + r.header("content-type"),
            method + ' ' + path + " key-123 " + (method == "POST" ? "application/json" : ""), "request", "expected",
            __FILE__, __LINE__);
        return r.json();
    }

private Q_SLOTS:
    void initTestCase() { m_folder = test::useTemporaryDataFolder(); }

    void init()
    {
        m_fake = std::make_unique<FakeGemini>();
        QVERIFY(m_fake->start());
        qputenv("KAVO_GEMINI_BASE_URL", m_fake->baseUrl().toString().toUtf8());
    }

    void routes_data()
    {
        test::columns<QString, QString, QString, QString>({ "model", "file", "path", "mime" }); // path after /v1beta/
        row("M4A in capitals", "gemini-2.5-flash", "a.M4A", "models/gemini-2.5-flash:generateContent", "audio/mp4");
        row("transcription route", "gemini-3-transcribe", "a.m4a", "interactions", "audio/mp4");
        row("M4A only at the end", "gemini-3.8-flash", "a.m4a.tmp", "models/gemini-3.8-flash:generateContent",
            "audio/wav");
    }

    void routes()
    {
        const auto [model, file, path] = test::fetch<QString, QString, QString>({ "model", "file", "path" });
        const bool interaction = path.endsWith("interactions");
        m_fake->enqueue(interaction ? FakeGemini::interaction(" salom ") : FakeGemini::text(" salom "));
        QString text;
        QCOMPARE(test::outcome(client(model).transcribe(audioFile(file)), &text), "none");
        QCOMPARE(text, "salom");
        const QJsonObject body = sent("POST", "/v1beta/" + path.toUtf8());
        const QJsonArray parts = body[u"contents"][0][u"parts"].toArray();
        QVERIFY(interaction || parts[0][u"text"].toString().endsWith(GeminiClient::dictationClosing));
        const QJsonObject sound = interaction ? body[u"input"][0].toObject() : parts[1][u"inline_data"].toObject();
        QTEST(sound[u"mime_type"].toString(), "mime");
        QCOMPARE(QByteArray::fromBase64(sound[u"data"].toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors),
            audio);
    }

    void retries_data()
    {
        // Statuses as enqueue() takes them (Qt resends a dropped request once). Progress: T transcribing, R retrying.
        test::columns<QList<int>, QString, QString, int, QString>(
            { "script", "outcome", "progress", "minimumMs", "cancel" });
        row("three 503 then 200", QList<int> { 503, 503, 503, 200 }, "none", "TRTRTRT", 4400, "");
        row("four 503", QList<int> { 503, 503, 503, 503 }, "Gemini returned 503: busy", "TRTRTRT", 4400, "");
        row("429 then 200", QList<int> { 429, 200 }, "none", "TRT", 400, "");
        row("400 at once", QList<int> { 400, 200 }, "Gemini returned 400: busy", "T", 0, "");
        row("other 2xx at once", QList<int> { 204, 200 }, "Gemini returned 204: ", "T", 0, "");
        row("dropped then 200", QList<int> { 0, 0, 200 }, "none", "TRT", 400, "");
        row("cancelled while waiting", QList<int> { 503, 200 }, "The request was cancelled.", "TR", 100, "wait");
        row("cancelled during a reply", QList<int> { -1, 200 }, "The request was cancelled.", "T", 0, "reply");
    }

    void retries()
    {
        const auto [script, outcome, minimumMs, cancel]
            = test::fetch<QList<int>, QString, int, QString>({ "script", "outcome", "minimumMs", "cancel" });
        enqueue(script);
        const auto token = std::make_shared<Cancellation>();
        if (cancel == "reply")
            connect(m_fake.get(), &FakeGemini::requestReceived, token.get(), &Cancellation::cancel);
        QString reports;
        const auto report = [&](GeminiClient::Progress p) {
            reports += p == GeminiClient::Progress::transcribing ? 'T' : 'R';
            if (p == GeminiClient::Progress::retrying && cancel == "wait")
                QTimer::singleShot(100ms, token.get(), &Cancellation::cancel);
        };
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(test::outcome(client().transcribe(audioFile("a.wav"), report, token)), outcome);
        QTEST(reports, "progress");
        const qint64 ms = clock.elapsed(), slack = cancel.isEmpty() ? 3000 : 250; // a cancellation ends at once
        QVERIFY2(ms >= minimumMs && ms < minimumMs + slack, QByteArray::number(ms));
        if (!cancel.isEmpty())
            QTest::qWait(600); // no attempt follows
        QCOMPARE(m_fake->pendingReplies(), outcome == "none" ? 0 : int(script.size()) - int(reports.count('T')));
    }

    void refusedBeforeSendingAndWarmUp()
    {
        GeminiClient keyless = client();
        keyless.apiKey.clear();
        const QString missing = m_folder + "/missing.wav";
        QCOMPARE(test::outcome(keyless.transcribe(missing)), noKey);
        QCOMPARE(test::outcome(keyless.transcribeNote(missing, {})), noKey);
        QCOMPARE(test::outcome(keyless.listModels()), noKey);
        QCOMPARE(test::outcome(NoteFiler { {}, "gemini-3.8-flash", {} }.file("x", {})), noKey);
        QVERIFY(
            test::outcome(client().transcribe(missing)).startsWith("Could not read the recording " + missing + ": "));
        QVERIFY(test::outcome(client("models/../x").transcribe(audioFile("a.wav"))).startsWith("The model name"));
        QCOMPARE(m_fake->requests().size(), 0);

        enqueue({ 200 });
        keyless.warmUp();
        client().warmUp();
        QTRY_COMPARE(m_fake->requests().size(), 1);
        sent("GET", "/v1beta/models/gemini-3.8-flash");
        QTest::qWait(200);
        QCOMPARE(m_fake->requests().size(), 1); // none without a key
    }

    // Nagle's algorithm goes off on the connections to the service's port, and only on those.
    void lowDelayForTheServiceOnly()
    {
        QTcpServer service, other;
        QVERIFY(service.listen(QHostAddress::LocalHost) && other.listen(QHostAddress::LocalHost));
        QTcpSocket toService, toOther;
        toService.connectToHost(QHostAddress::LocalHost, service.serverPort());
        toOther.connectToHost(QHostAddress::LocalHost, other.serverPort());
        QVERIFY(toService.waitForConnected(5000) && toOther.waitForConnected(5000));
        const auto noDelay = [](const QTcpSocket& socket) {
            int on = 0;
            socklen_t length = sizeof on;
            getsockopt(int(socket.socketDescriptor()), IPPROTO_TCP, TCP_NODELAY, &on, &length);
            return on != 0;
        };
        QVERIFY(!noDelay(toService) && !noDelay(toOther));
        LowDelay::applyToConnections(service.serverPort());
        QVERIFY(noDelay(toService));
        QVERIFY(!noDelay(toOther));
    }

    void listModels()
    {
        m_fake->enqueue(FakeGemini::models({ "gemini-3.8-flash", "gemini-2.5-pro" }));
        QStringList listed;
        QCOMPARE(test::outcome(client().listModels(), &listed), "none");
        QCOMPARE(listed, QStringList({ "gemini-2.5-pro", "gemini-3.8-flash" }));
        sent("GET", "/v1beta/models?pageSize=200");
        enqueue({ 503, 200 }); // the list is never retried
        QCOMPARE(test::outcome(client().listModels()), "Gemini returned 503: busy");
        QCOMPARE(m_fake->requests().size(), 2);
    }

    void transcribesAndFilesNotes()
    {
        const NoteFiler::Context context { { "Work \"A\"" }, { { "Standup", "Work" } } };
        const NoteFiler::Result meeting { NoteFiler::Kind::meeting, "Budget plan", "Work" };
        m_fake->enqueue(FakeGemini::text("{" + classification + R"(,"text":" We plan. "})"));
        NoteFiler::Reply note;
        QCOMPARE(test::outcome(client().transcribeNote(audioFile("n.wav"), context), &note), "none");
        QCOMPARE(note.text, "We plan.");
        QCOMPARE(note.result, meeting);
        QJsonObject body = sent("POST", "/v1beta/models/gemini-3.8-flash:generateContent");
        QVERIFY(body[u"contents"][0][u"parts"][0][u"text"].toString().endsWith(
            GeminiClient::noteClosingLead + NoteFiler::rules(context)));
        QCOMPARE(body[u"generationConfig"][u"responseSchema"].toObject(), NoteFiler::schema(true));
        m_fake->enqueue(FakeGemini::text("{" + classification + "}"));
        QCOMPARE(test::outcome(client().transcribeNote(audioFile("n.wav"), context)), "Gemini returned no text.");

        // Filing typed text: one text part, the schema without the transcript and no thinking. The rules themselves
        // are in the whole text of a note's instructions, instructions().
        init();
        m_fake->enqueue(FakeGemini::text("{" + classification + "}"));
        NoteFiler::Result filed;
        QCOMPARE(
            test::outcome(NoteFiler { "key-123", "gemini-3.8-flash", {} }.file("We met.", context), &filed), "none");
        QCOMPARE(filed, meeting);
        body = sent("POST", "/v1beta/models/gemini-3.8-flash:generateContent");
        QCOMPARE(body[u"contents"][0][u"parts"].toArray(),
            (QJsonArray { QJsonObject { { "text",
                QString(u"The user dictated a note. Reply with one JSON object.\n\n"_qs + NoteFiler::classificationRules
                    + q("['Work \\'A\\'']\nRecent notes, newest first: [{'folder':'Work','title':'Standup'}]\n\n"
                        "The note:\nWe met.")) } } }));
        QCOMPARE(body[u"generationConfig"][u"responseSchema"].toObject(), NoteFiler::schema(false));
        QVERIFY(!body[u"generationConfig"].toObject().contains("thinkingConfig"));
    }

    void textModel()
    {
        // A model that follows instructions stays; a transcription model gives way to the first general flash model.
        const QStringList offered { "gemini-3-transcribe", "gemini-4-transcribe", "gemini-flash-lite", "gemini-flash" };
        QCOMPARE(NoteFiler::textModel("gemini-2.5-pro", {}), "gemini-2.5-pro");
        QCOMPARE(NoteFiler::textModel("gemini-3-transcribe", offered), "gemini-flash");
        QCOMPARE(NoteFiler::textModel("gemini-3-transcribe", offered.first(2)), std::nullopt);
    }

    // How Qt's failures without a reply are sorted decides whether a dictation is kept as offline.
    void unreachableServiceCountsAsOffline_data()
    {
        test::columns<QList<int>, int>({ "script", "kind" }); // an empty script: nothing listens
        row("nothing listens", QList<int> {}, int(TransportError::Kind::cannotConnect));
        row("connection dropped", QList<int> { 0, 0 }, int(TransportError::Kind::connectionLost));
        row("no answer in time", QList<int> { -1 }, int(TransportError::Kind::timedOut));
    }

    void unreachableServiceCountsAsOffline()
    {
        QFETCH(QList<int>, script);
        QNetworkRequest request(m_fake->baseUrl());
        request.setTransferTimeout(300);
        enqueue(script);
        if (script.isEmpty())
            m_fake.reset(); // its port is closed now
        std::unique_ptr<QNetworkReply> reply(GeminiClient::network().get(request));
        QTRY_VERIFY_WITH_TIMEOUT(reply->isFinished(), 10000);
        const TransportError error = TransportError::from(reply->error(), reply->errorString());
        QTEST(int(error.kind()), "kind");
        QVERIFY(error.isOffline());
    }

    void generateContentBody_data()
    {
        test::columns<QString, QString, bool, QByteArray>({ "model", "level", "schema", "config" });
        const QByteArray thinks = j("'temperature':0,'thinkingConfig':{'thinkingLevel':'low'}");
        row("2.x model", "gemini-2.5-pro", "low", false, j("'temperature':0"));
        row("1.x model", "gemini-1.5-flash", "high", false, j("'temperature':0"));
        row("no dot after 2", "gemini-20-flash", "low", false, thinks);
        row("2. not at the start", "x-gemini-2.5", "low", false, thinks);
        row("empty level", "gemini-3.8-flash", "", false, j("'temperature':0"));
        row("schema", "g-3", "low", true, j("'responseMimeType':'application/json','responseSchema':{},") + thinks);
    }
    void generateContentBody()
    {
        const auto [model, level, schema, config]
            = test::fetch<QString, QString, bool, QByteArray>({ "model", "level", "schema", "config" });
        const GeminiClient client { {}, model, {}, level, {}, false, true, false, {}, {} };
        const auto requested = schema ? std::optional(QJsonObject {}) : std::nullopt;
        QCOMPARE(compact(client.generateContentBody(u"Say."_qs, audio, u"audio/mp4"_qs, requested)),
            j("{'contents':[{'parts':[{'text':'Say.'},{'inline_data':{'data':'AUDIO','mime_type':'audio/mp4'}}],'role':"
              "'user'}],'generationConfig':{")
                + config + "}}");
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
        test::columns<QString, QByteArray, QString>({ "reader", "reply", "outcome" });
        row("thought part dropped", "text", parts("{'thought':true,'text':'hmm'},{'text':'Salom'}"), "text:Salom");
        row("joined, trimmed", "text", parts("{'text':' \\n A'},{},{'thought':false,'text':'B\\n'}"), "text:AB");
        row("first candidate only", "text", j("{'candidates':[{},{'content':{'parts':[{'text':'a'}]}}]}"), "empty");
        row("only white space", "text", parts("{'text':'  \\n \\t'}", ",'finishReason':'STOP'"), "empty");
        row("no parts, MAX_TOKENS", "text", parts("", ",'finishReason':'MAX_TOKENS'"), "bad:finishReason MAX_TOKENS");
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
        const auto [reader, reply] = test::fetch<QString, QByteArray>({ "reader", "reply" });
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
        test::columns<QString, QString, QString>({ "names", "current", "picked" });
        row("current offered", "gemini-3.8-flash my-model", "my-model", "my-model");
        row("lite flash then pro: first gemini", "gemini-3-flash-lite gemini-3-pro", "gone", "gemini-3-flash-lite");
        row("general flash wherever it stands", "g-flash-image g-pro g-flash-tts g-flash", "gone", "g-flash");
        row("each excluded word", "flash-live flash-embedding flash-audio gemma-pro", "gone", "");
        row("flash without gemini", "gemini-pro flash-x", "gone", "flash-x");
    }
    void pickModel()
    {
        const auto [names, current] = test::fetch<QString, QString>({ "names", "current" });
        QTEST(GeminiClient::pickModel(names.split(u' ', Qt::SkipEmptyParts), current).value_or(QString()), "picked");
    }

    // A name that would change the address, or is not valid in it, is refused without ending the program.
    void modelEndpoint()
    {
        qunsetenv("KAVO_GEMINI_BASE_URL");
        QCOMPARE(GeminiClient::modelEndpoint(u"m"_qs, u"generateContent"_qs),
            QUrl(u"https://generativelanguage.googleapis.com/v1beta/models/m:generateContent"_qs));
        for (const QString& model : { u"gemini 3"_qs, u"gemini#3"_qs, u"gemini?key=1"_qs, u"/../gemini"_qs, u".."_qs,
                 u"gemini%zz"_qs, QString() })
            QVERIFY_THROWS_EXCEPTION(std::exception, GeminiClient::modelEndpoint(model, u"generateContent"_qs));
    }

    // A read reply as "kind|topic|folder|text"; "bad:detail" for JSON that is not an object, "json" for no JSON.
    void reply_data()
    {
        test::columns<QString, QString>({ "reply", "read" });
        row("all fields", q("{'text':' Hi.\\n','kind':'tasks','title':'Milk','folder':'Home'}"), "tasks|Milk|Home|Hi.");
        row("capital kind", q("{'kind':'Meeting','title':'Standup'}"), "meeting|Standup||");
        row("unknown kind", q("{'kind':'recipe','title':'Soup'}"), "note|Soup||");
        row("values of other types", q("{'kind':1,'title':2,'folder':null,'text':3}"), "note|||");
        row("typographic quotes, full stop", q("{'title':' \\u201CBudget review.\\u201D '}"), "note|Budget review||");
        row("guillemets", q("{'folder':'\\u00AB\\u00ABIsh\\u00BB'}"), "note||Ish|");
        row("quotes, ellipsis, tab", q("{'title':'\\'Plans for May...\\'\\t'}"), "note|Plans for May||");
        row("inner full stop stays", q("{'title':'v2.1 release'}"), "note|v2.1 release||");
        row("run of line breaks", q("{'title':'Budget\\r\\n\\r\\nreview\\u2028'}"), "note|Budget review||");
        row("title of 100, folder of 50", q("{'title':'%1','folder':'%2'}").arg(QString(100, u'x'), QString(50, u'y')),
            u"note|%1|%2|"_qs.arg(QString(80, u'x'), QString(40, u'y')));
        // Characters as the user sees them: an accent joined to its letter.
        row("accent counts once", q("{'title':'%1e\\u0301x'}").arg(a79), u"note|"_qs + a79 + u"e\u0301||"_qs);
        row("truncated object", q("{'kind':'idea'"), "json");
        row("array", q("[{'kind':'idea'}]"), "bad:not a JSON object");
        row("null", " null ", "bad:not a JSON object");
    }
    void reply()
    {
        QFETCH(QString, reply);
        QString read;
        try {
            const NoteFiler::Reply r = NoteFiler::reply(reply);
            read = QStringList { rawValue(r.result.kind), r.result.topic, r.result.folder, r.text }.join(u'|');
        } catch (const GeminiError& error) {
            read = (error.kind() == GeminiError::Kind::badResponse ? u"bad:"_qs : u"other:"_qs) + error.detail();
        } catch (const JsonError&) {
            read = u"json"_qs;
        }
        QTEST(read, "read");
    }

    void schema()
    {
        const auto encoded = [](bool transcript) { return QString::fromUtf8(compact(NoteFiler::schema(transcript))); };
        const QString schema
            = q("{'properties':{'folder':{'type':'STRING'},'kind':{'enum':['meeting','tasks','journal',"
                "'idea','note'],'type':'STRING'},%1'title':{'type':'STRING'}},"
                "'propertyOrdering':[%2],'required':[%2],'type':'OBJECT'}");
        QCOMPARE(encoded(false), schema.arg(QString(), q("'kind','title','folder'")));
        QCOMPARE(encoded(true), schema.arg(q("'text':{'type':'STRING'},"), q("'text','kind','title','folder'")));
    }

    void titles_data()
    {
        test::columns<QString, QString, int, QString>({ "kind", "topic", "number", "title" }); // number 0: none
        row("meeting", "meeting", "Standup", 3, "Meeting 3 \u00B7 Dec 4");
        row("meeting without number", "meeting", "", 0, "Meeting 1 \u00B7 Dec 4");
        row("tasks", "tasks", "Groceries", 0, "Tasks \u00B7 Dec 4");
        row("journal", "journal", "My day", 0, "Journal \u00B7 Dec 4");
        row("idea", "idea", "Solar roof", 0, "Idea: Solar roof");
        row("idea without topic", "idea", "", 0, "Idea");
        row("note", "note", "Budget review", 0, "Budget review");
    }
    void titles()
    {
        const auto [kind, topic, number] = test::fetch<QString, QString, int>({ "kind", "topic", "number" });
        const QDateTime date(QDate(2024, 12, 4), QTime(12, 0));
        const auto given = number ? std::optional(number) : std::nullopt;
        QTEST(NoteFiler::title(*fromRawValue<NoteFiler::Kind>(kind), topic, given, date), "title");
    }

    // Whole instruction texts. A word of a language other than the chosen ones is left out, and without languages
    // every word is kept; codes must match exactly, and unknown ones are skipped.
    void instructions_data()
    {
        test::columns<GeminiClient, QString, QString>({ "client", "closing", "expected" });
        const QString lead = u"You are transcribing a voice message. Write technical terms, product names, file paths "
                             "and code identifiers in Latin script. Use normal punctuation and capitalization.\n"_qs;
        const QString fillers
            = u"- Drop filler sounds and false starts: uh, um, mm, yani, shuni, anaqa, repeated words."_qs;
        const QString corrections = u"- Resolve spoken self-corrections and keep only what the speaker settled on.\n"
                                    "  \"Seshanba, yo'q, chorshanba kelaman\" becomes \"Chorshanba kelaman\"."_qs;
        const QString vocabulary = u"\nThese names come up often and are easy to mishear \u2014 spell them\n"
                                   "exactly like this when you hear them: "_qs;
        const NoteFiler::Context context { { u"Ish"_qs, u"Home"_qs }, { { u"Standup"_qs, u"Home"_qs } } };
        row("dictation",
            GeminiClient::fromConfig(
                configWith({ "uz-UZ", "ru-RU", "en-US" }, { "Kubernetes", "Anvar,uz-UZ", "Yandex,ru-RU" })),
            GeminiClient::dictationClosing,
            lead
                + cleanUp(u"\nThe speaker may mix Uzbek, Russian and English. Keep every word in the language it was "
                          "spoken in \u2014 never translate between them. Write Uzbek in Latin script.\n"_qs,
                    fillers + u'\n' + corrections, vocabulary + u"Kubernetes, Anvar, Yandex.\n"_qs)
                + u"\nNever translate, summarize, answer, or add anything of your own.\n"
                  "Output only the transcript. If there is no speech, output nothing at all."_qs);
        row("verbatim, no punctuation, empty prompt, a note",
            clientFor({}, false, false, false, u"Anvar,uz-UZ|Figma"_qs, {}),
            GeminiClient::noteClosingLead + NoteFiler::rules(context),
            u"\n\nWrite down every word exactly as spoken, including repetitions, filler\n"
            "sounds and false starts. Do not tidy anything up.\n"
            "\nDo not add punctuation marks: no commas, full stops, question marks or exclamation marks.\n"_qs
                + vocabulary
                + u"Anvar, Figma.\n"
                  "\nThis recording is a note the user is dictating into their notes app. Reply with one JSON object.\n"
                  "text: the transcript, following every rule above. Never translate, summarize, answer, or add "
                  "anything of your own. Empty if there is no speech.\n"
                  "kind: \"meeting\" for notes from a meeting or a call; \"tasks\" for things to do; \"journal\" for "
                  "a diary entry about the user's own day; \"idea\" for an idea or a plan to explore; \"note\" for "
                  "anything else.\n"
                  "title: the note's topic in 2 to 6 words, in the language and script it is spoken in, worded like "
                  "the user's own titles below. No date, number, quotes or full stop: the app adds those.\n"
                  "folder: the existing folder the note belongs in, written exactly as it is listed. Only when none "
                  "of them fits, a short new folder name, 1 to 3 words, in the language of the note.\n"
                  "\nExisting folders: [\"Ish\",\"Home\"]\n"
                  "Recent notes, newest first: [{\"folder\":\"Home\",\"title\":\"Standup\"}]"_qs);
        row("only corrections, a code not exactly Uzbek's",
            clientFor(u"ru-RU uz"_qs, false, true, true, u"A,uz-UZ|F"_qs), u"\nEnd."_qs,
            u"Prompt.\n"_qs + cleanUp(u"\nThe speaker talks in Russian.\n"_qs, corrections, vocabulary + u"F.\n"_qs)
                + u"\nEnd."_qs);
        row("only fillers, an unknown code", clientFor(u"xx-XX uz-UZ"_qs, true, false, true, {}), u"\nEnd."_qs,
            u"Prompt.\n"_qs + cleanUp(u"\nThe speaker talks in Uzbek. Write Uzbek in Latin script.\n"_qs, fillers)
                + u"\nEnd."_qs);
    }

    void instructions()
    {
        const auto [client, closing] = test::fetch<GeminiClient, QString>({ "client", "closing" });
        QTEST(client.instructions(closing), "expected");
    }
};

QTEST_GUILESS_MAIN(TestGeminiClient)
#include "tst_gemini_client.moc"
