#include "support/data_folder.h"
#include "support/fake_gemini.h"
#include "support/table_rows.h"
#include "transcription/gemini_client.h"
#include "transcription/gemini_error.h"
#include "transcription/note_filer.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkReply>
#include <QTest>
#include <QTimer>

#include <memory>
#include <numeric>

using namespace kavo;
using namespace std::chrono_literals;
using test::FakeGemini;
using test::row;

namespace {

/// Runs a request to its end and gives "none" or the failure's English message, so that rows can state it; the
/// value goes to `value` when one is asked for. QCoro::waitFor cannot pass a failure on.
template <typename T> QString run(QCoro::Task<T> task, T* value = nullptr)
{
    return QCoro::waitFor([](QCoro::Task<T> task, T* value) -> QCoro::Task<QString> {
        try {
            T result = co_await task; // a named variable: g++ 12 destroys a temporary here twice
            if (value)
                *value = std::move(result);
            co_return "none";
        } catch (const std::exception& e) {
            co_return e.what();
        }
    }(std::move(task), value));
}

const QString noKey = QStringLiteral("No API key. Add it in Settings, or set GEMINI_API_KEY.");

// The model's classification of a note, without the transcript.
const QString classification = QStringLiteral(R"("kind":"Meeting","title":"\u201CBudget plan.\u201D","folder":"Work")");

} // namespace

class TestGeminiClient : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeGemini> m_fake;
    QString m_folder;
    QByteArray m_audio { 3000, 0 }; // every byte value, so that the Base64 alphabet's "+" and "/" both appear

    static GeminiClient client(const QString& model = "gemini-3.8-flash")
    {
        return { "key-123", model, {}, {}, {}, false, true, false, {}, {} };
    }

    QString audioFile(const QString& name) const
    {
        test::writeFile(m_folder + '/' + name, m_audio);
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
    void initTestCase()
    {
        m_folder = test::useTemporaryDataFolder();
        std::iota(m_audio.begin(), m_audio.end(), char(0));
    }

    void init()
    {
        m_fake = std::make_unique<FakeGemini>();
        QVERIFY(m_fake->start());
        qputenv("KAVO_GEMINI_BASE_URL", m_fake->baseUrl().toString().toUtf8());
    }

    void routes_data()
    {
        test::columns<QString, QString, QString, QString>({ "model", "file", "path", "mime" }); // path after /v1beta/
        row("generate content", "gemini-3.8-flash", "a.wav", "models/gemini-3.8-flash:generateContent", "audio/wav");
        row("M4A in capitals", "gemini-2.5-flash", "a.M4A", "models/gemini-2.5-flash:generateContent", "audio/mp4");
        row("transcription route", "gemini-3-transcribe", "a.m4a", "interactions", "audio/mp4");
    }

    void routes()
    {
        QFETCH(QString, model);
        QFETCH(QString, file);
        QFETCH(QString, path);
        const bool interaction = path.endsWith("interactions");
        m_fake->enqueue(interaction ? FakeGemini::interaction(" salom ") : FakeGemini::text(" salom "));
        QString text;
        QCOMPARE(run(client(model).transcribe(audioFile(file)), &text), "none");
        QCOMPARE(text, "salom");
        const QJsonObject body = sent("POST", "/v1beta/" + path.toUtf8());
        const QJsonArray parts = body[u"contents"][0][u"parts"].toArray();
        QVERIFY(interaction || parts[0][u"text"].toString().endsWith(GeminiClient::dictationClosing));
        const QJsonObject audio = interaction ? body[u"input"][0].toObject() : parts[1][u"inline_data"].toObject();
        QTEST(audio[u"mime_type"].toString(), "mime");
        QCOMPARE(QByteArray::fromBase64(audio[u"data"].toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors),
            m_audio);
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
        QFETCH(QList<int>, script);
        QFETCH(QString, outcome);
        QFETCH(int, minimumMs);
        QFETCH(QString, cancel);
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
        QCOMPARE(run(client().transcribe(audioFile("a.wav"), report, token)), outcome);
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
        QCOMPARE(run(keyless.transcribe(missing)), noKey);
        QCOMPARE(run(keyless.transcribeNote(missing, {})), noKey);
        QCOMPARE(run(keyless.listModels()), noKey);
        QCOMPARE(run(NoteFiler { {}, "gemini-3.8-flash", {} }.file("x", {})), noKey);
        QVERIFY(run(client().transcribe(missing)).startsWith("Could not read the recording " + missing + ": "));
        QVERIFY(run(client("models/../x").transcribe(audioFile("a.wav"))).startsWith("The model name"));
        QCOMPARE(m_fake->requests().size(), 0);

        enqueue({ 200 });
        keyless.warmUp();
        client().warmUp();
        QTRY_COMPARE(m_fake->requests().size(), 1);
        sent("GET", "/v1beta/models/gemini-3.8-flash");
        QTest::qWait(200);
        QCOMPARE(m_fake->requests().size(), 1); // none without a key
    }

    void listModels()
    {
        m_fake->enqueue(FakeGemini::models({ "gemini-3.8-flash", "gemini-2.5-pro" }));
        QStringList listed;
        QCOMPARE(run(client().listModels(), &listed), "none");
        QCOMPARE(listed, QStringList({ "gemini-2.5-pro", "gemini-3.8-flash" }));
        sent("GET", "/v1beta/models?pageSize=200");
        enqueue({ 503, 200 }); // the list is never retried
        QCOMPARE(run(client().listModels()), "Gemini returned 503: busy");
        QCOMPARE(m_fake->requests().size(), 2);
    }

    void transcribesAndFilesNotes()
    {
        const NoteFiler::Context context { { "Work" }, { { "Standup", "Work" } } };
        const NoteFiler::Result meeting { NoteFiler::Kind::meeting, "Budget plan", "Work" };
        m_fake->enqueue(FakeGemini::text("{" + classification + R"(,"text":" We plan. "})"));
        NoteFiler::Reply note;
        QCOMPARE(run(client().transcribeNote(audioFile("n.wav"), context), &note), "none");
        QCOMPARE(note.text, "We plan.");
        QCOMPARE(note.result, meeting);
        QJsonObject body = sent("POST", "/v1beta/models/gemini-3.8-flash:generateContent");
        QVERIFY(body[u"contents"][0][u"parts"][0][u"text"].toString().endsWith(
            GeminiClient::noteClosingLead + NoteFiler::rules(context)));
        QCOMPARE(body[u"generationConfig"][u"responseSchema"].toObject(), NoteFiler::schema(true));
        m_fake->enqueue(FakeGemini::text("{" + classification + "}"));
        QCOMPARE(run(client().transcribeNote(audioFile("n.wav"), context)), "Gemini returned no text.");

        // Filing typed text: one text part, the schema without the transcript and no thinking.
        init();
        m_fake->enqueue(FakeGemini::text("{" + classification + "}"));
        NoteFiler::Result filed;
        QCOMPARE(run(NoteFiler { "key-123", "gemini-3.8-flash", {} }.file("We met.", context), &filed), "none");
        QCOMPARE(filed, meeting);
        body = sent("POST", "/v1beta/models/gemini-3.8-flash:generateContent");
        QCOMPARE(body[u"contents"][0][u"parts"].toArray(),
            (QJsonArray { QJsonObject { { "text", NoteFiler::textPrompt("We met.", context) } } }));
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
};

QTEST_GUILESS_MAIN(TestGeminiClient)
#include "tst_gemini_client.moc"
