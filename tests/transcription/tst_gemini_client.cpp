#include "support/data_folder.h"
#include "support/fake_gemini.h"
#include "transcription/gemini_client.h"
#include "transcription/gemini_error.h"
#include "transcription/note_filer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace kavo;
using namespace std::chrono_literals;
using test::FakeGemini;

namespace {

template <typename T> struct Outcome
{
    T value {};
    std::exception_ptr error;
};

template <typename T> QCoro::Task<Outcome<T>> settled(QCoro::Task<T> task)
{
    // The awaited value goes through a named variable: g++ 12 destroys it twice inside an aggregate initialiser.
    Outcome<T> outcome;
    try {
        outcome.value = co_await task;
    } catch (...) {
        outcome.error = std::current_exception();
    }
    co_return outcome;
}

/// Runs a request to its end; a failure comes back as a value because QCoro::waitFor cannot pass one on.
template <typename T> Outcome<T> run(QCoro::Task<T> task)
{
    return QCoro::waitFor(settled(std::move(task)));
}

/// A short name for how a request ended, so table rows can state it.
QString failure(const std::exception_ptr& error)
{
    if (!error)
        return QStringLiteral("none");
    try {
        std::rethrow_exception(error);
    } catch (const GeminiError& e) {
        switch (e.kind()) {
        case GeminiError::Kind::http:
            return QStringLiteral("http %1").arg(e.status());
        case GeminiError::Kind::noApiKey:
            return QStringLiteral("noApiKey");
        case GeminiError::Kind::emptyResponse:
            return QStringLiteral("emptyResponse");
        case GeminiError::Kind::badResponse:
            return QStringLiteral("badResponse ") + e.detail();
        }
    } catch (const TransportError&) {
        return QStringLiteral("transport");
    } catch (const CancelledError&) {
        return QStringLiteral("cancelled");
    } catch (const InvalidRequestError&) {
        return QStringLiteral("invalid request");
    } catch (const AudioFileError&) {
        return QStringLiteral("audio file");
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}

QByteArray audioBytes()
{
    QByteArray bytes;
    for (int i = 0; i < 3000; ++i)
        bytes.append(static_cast<char>(i * 7 % 256));
    return bytes;
}

QJsonObject noteReply(const QString& text)
{
    return QJsonObject { { u"text"_qs, text }, { u"kind"_qs, u"Meeting"_qs },
        { u"title"_qs, u"\u201CBudget plan.\u201D"_qs }, { u"folder"_qs, u"Work"_qs } };
}

} // namespace

class TestGeminiClient : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FakeGemini> m_fake;
    QString m_folder;

    GeminiClient client(const QString& model = u"gemini-3.8-flash"_qs) const
    {
        GeminiClient client;
        client.apiKey = u"key-123"_qs;
        client.model = model;
        client.thinkingLevel = u"low"_qs;
        client.transcriptionMode = u"verbatim"_qs;
        return client;
    }

    QString audioFile(const QString& name) const
    {
        const QString path = m_folder + u'/' + name;
        test::writeFile(path, audioBytes());
        return path;
    }

    static QString text(const QJsonValue& value) { return value.toString(); }

private Q_SLOTS:
    void initTestCase() { m_folder = test::useTemporaryDataFolder(); }

    void init()
    {
        m_fake = std::make_unique<FakeGemini>();
        QVERIFY(m_fake->start());
        qputenv("KAVO_GEMINI_BASE_URL", m_fake->baseUrl().toString().toUtf8());
    }

    void cleanup() { m_fake.reset(); }

    void routes_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QString>("mime");
        QTest::addColumn<bool>("thinking");
        QTest::newRow("generate content")
            << u"gemini-3.8-flash"_qs << u"a.wav"_qs << QByteArray("/v1beta/models/gemini-3.8-flash:generateContent")
            << u"audio/wav"_qs << true;
        QTest::newRow("older model, M4A")
            << u"gemini-2.5-flash"_qs << u"a.M4A"_qs << QByteArray("/v1beta/models/gemini-2.5-flash:generateContent")
            << u"audio/mp4"_qs << false;
        QTest::newRow("transcription route") << u"gemini-3-transcribe"_qs << u"a.m4a"_qs
                                             << QByteArray("/v1beta/interactions") << u"audio/mp4"_qs << false;
    }
    void routes()
    {
        QFETCH(QString, model);
        QFETCH(QString, file);
        QFETCH(QByteArray, path);
        QFETCH(QString, mime);
        QFETCH(bool, thinking);
        const bool interaction = path.endsWith("interactions");
        m_fake->enqueue(interaction ? FakeGemini::interaction(u" salom "_qs) : FakeGemini::text(u" salom "_qs));

        const auto outcome = run(client(model).transcribe(audioFile(file)));
        QCOMPARE(failure(outcome.error), u"none"_qs);
        QCOMPARE(outcome.value, u"salom"_qs);

        QCOMPARE(m_fake->requests().size(), 1);
        const FakeGemini::Request request = m_fake->requests().first();
        QCOMPARE(request.method, QByteArray("POST"));
        QCOMPARE(request.path, path);
        QCOMPARE(request.header("x-goog-api-key"), QByteArray("key-123"));
        QCOMPARE(request.header("content-type"), QByteArray("application/json"));
        const QJsonObject body = request.json();
        QJsonObject audio;
        if (interaction) {
            audio = body[u"input"][0].toObject();
            QCOMPARE(text(body[u"model"]), model);
            QVERIFY(!body.contains(u"contents"));
        } else {
            const QJsonArray parts = body[u"contents"][0][u"parts"].toArray();
            QCOMPARE(parts.size(), 2);
            QVERIFY(text(parts[0][u"text"]).endsWith(GeminiClient::dictationClosing));
            audio = parts[1][u"inline_data"].toObject();
            QCOMPARE(body[u"generationConfig"][u"thinkingConfig"][u"thinkingLevel"].isString(), thinking);
        }
        QCOMPARE(text(audio[u"mime_type"]), mime);
        QCOMPARE(QByteArray::fromBase64(audio[u"data"].toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors),
            audioBytes());
    }

    void retries_data()
    {
        // A status of 0 stands for a dropped connection, which takes two replies: Qt resends once by itself.
        QTest::addColumn<QList<int>>("script");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("progress");
        QTest::addColumn<int>("minimumMs");
        QTest::newRow("three 503 then 200") << QList<int> { 503, 503, 503, 200 } << u"none"_qs << u"TRTRTRT"_qs << 4400;
        QTest::newRow("four 503") << QList<int> { 503, 503, 503, 503 } << u"http 503"_qs << u"TRTRTRT"_qs << 4400;
        QTest::newRow("429 then 200") << QList<int> { 429, 200 } << u"none"_qs << u"TRT"_qs << 400;
        QTest::newRow("400 at once") << QList<int> { 400, 200 } << u"http 400"_qs << u"T"_qs << 0;
        QTest::newRow("other 2xx at once") << QList<int> { 204, 200 } << u"http 204"_qs << u"T"_qs << 0;
        QTest::newRow("dropped then 200") << QList<int> { 0, 0, 200 } << u"none"_qs << u"TRT"_qs << 400;
    }
    void retries()
    {
        QFETCH(QList<int>, script);
        QFETCH(QString, outcome);
        QFETCH(QString, progress);
        QFETCH(int, minimumMs);
        for (int status : script) {
            if (status == 0)
                m_fake->enqueue(FakeGemini::dropped());
            else
                m_fake->enqueue(status == 200 ? FakeGemini::text(u"done"_qs) : FakeGemini::error(status, u"busy"_qs));
        }
        QString reports;
        QElapsedTimer elapsed;
        elapsed.start();
        const auto result = run(client().transcribe(audioFile(u"a.wav"_qs),
            [&](GeminiClient::Progress p) { reports += p == GeminiClient::Progress::transcribing ? u'T' : u'R'; }));
        QCOMPARE(failure(result.error), outcome);
        QCOMPARE(reports, progress);
        QVERIFY2(elapsed.elapsed() >= minimumMs, QByteArray::number(elapsed.elapsed()));
        QVERIFY(elapsed.elapsed() < minimumMs + 3000);
        const int answered = outcome == u"none" ? int(script.size()) : int(reports.count(u'T'));
        QCOMPARE(m_fake->pendingReplies(), int(script.size()) - answered);
    }

    void cancellation_data()
    {
        QTest::addColumn<bool>("duringWait");
        QTest::newRow("during a wait") << true;
        QTest::newRow("during a reply") << false;
    }
    void cancellation()
    {
        QFETCH(bool, duringWait);
        if (duringWait)
            m_fake->enqueue(FakeGemini::error(503, u"busy"_qs));
        else
            m_fake->enqueue(FakeGemini::Reply { .body = FakeGemini::text(u"late"_qs).body, .delay = 5s });
        m_fake->enqueue(FakeGemini::text(u"never"_qs));
        const auto token = std::make_shared<Cancellation>();
        if (!duringWait)
            connect(m_fake.get(), &FakeGemini::requestReceived, token.get(), &Cancellation::cancel);
        QElapsedTimer elapsed;
        elapsed.start();
        const auto result = run(client().transcribe(
            audioFile(u"a.wav"_qs),
            [&](GeminiClient::Progress p) {
                if (p == GeminiClient::Progress::retrying)
                    QTimer::singleShot(100ms, token.get(), &Cancellation::cancel);
            },
            token));
        QCOMPARE(failure(result.error), u"cancelled"_qs);
        QVERIFY2(elapsed.elapsed() < 350, QByteArray::number(elapsed.elapsed()));
        QTest::qWait(600);
        QCOMPARE(m_fake->requests().size(), 1);
    }

    void refusedBeforeSending()
    {
        GeminiClient keyless = client();
        keyless.apiKey.clear();
        const QString missing = m_folder + u"/missing.wav"_qs;
        QCOMPARE(failure(run(keyless.transcribe(missing)).error), u"noApiKey"_qs);
        QCOMPARE(failure(run(keyless.transcribeNote(missing, {})).error), u"noApiKey"_qs);
        QCOMPARE(failure(run(keyless.listModels()).error), u"noApiKey"_qs);
        QCOMPARE(failure(run(NoteFiler { {}, u"gemini-3.8-flash"_qs, {} }.file(u"x"_qs, {})).error), u"noApiKey"_qs);
        QCOMPARE(failure(run(client().transcribe(missing)).error), u"audio file"_qs);
        QCOMPARE(
            failure(run(client(u"models/../x"_qs).transcribe(audioFile(u"a.wav"_qs))).error), u"invalid request"_qs);
        keyless.warmUp();
        QTest::qWait(200);
        QCOMPARE(m_fake->requests().size(), 0);
    }

    void warmUpOpensTheConnection()
    {
        m_fake->enqueue(FakeGemini::Reply { .body = "{}" });
        QSignalSpy received(m_fake.get(), &FakeGemini::requestReceived);
        client().warmUp();
        QVERIFY(received.wait(5000));
        const FakeGemini::Request request = m_fake->requests().first();
        QCOMPARE(request.method, QByteArray("GET"));
        QCOMPARE(request.path, QByteArray("/v1beta/models/gemini-3.8-flash"));
        QCOMPARE(request.header("x-goog-api-key"), QByteArray("key-123"));
    }

    void listModels()
    {
        m_fake->enqueue(FakeGemini::models({ u"gemini-3.8-flash"_qs, u"gemini-2.5-pro"_qs }));
        const auto listed = run(client().listModels());
        QCOMPARE(failure(listed.error), u"none"_qs);
        QCOMPARE(listed.value, QStringList({ u"gemini-2.5-pro"_qs, u"gemini-3.8-flash"_qs }));
        const FakeGemini::Request request = m_fake->requests().first();
        QCOMPARE(request.method, QByteArray("GET"));
        QCOMPARE(request.path, QByteArray("/v1beta/models?pageSize=200"));
        QCOMPARE(request.header("x-goog-api-key"), QByteArray("key-123"));

        m_fake->enqueue(FakeGemini::error(503, u"busy"_qs));
        m_fake->enqueue(FakeGemini::models({ u"gemini-3.8-flash"_qs }));
        QCOMPARE(failure(run(client().listModels()).error), u"http 503"_qs);
        QCOMPARE(m_fake->requests().size(), 2);
    }

    void transcribeNote()
    {
        const NoteFiler::Context context { { u"Work"_qs }, { { u"Standup"_qs, u"Work"_qs } } };
        const auto reply = [](const QJsonObject& note) {
            return FakeGemini::text(QString::fromUtf8(QJsonDocument(note).toJson(QJsonDocument::Compact)));
        };
        m_fake->enqueue(reply(noteReply(u" Let's plan. "_qs)));
        const auto note = run(client().transcribeNote(audioFile(u"n.wav"_qs), context));
        QCOMPARE(failure(note.error), u"none"_qs);
        QCOMPARE(note.value.text, u"Let's plan."_qs);
        QCOMPARE(note.value.result, (NoteFiler::Result { NoteFiler::Kind::meeting, u"Budget plan"_qs, u"Work"_qs }));

        const QJsonObject body = m_fake->requests().first().json();
        QVERIFY(text(body[u"contents"][0][u"parts"][0][u"text"])
                    .endsWith(GeminiClient::noteClosingLead + NoteFiler::rules(context)));
        QCOMPARE(body[u"generationConfig"][u"responseSchema"].toObject(), NoteFiler::schema(true));
        QCOMPARE(text(body[u"generationConfig"][u"responseMimeType"]), u"application/json"_qs);

        QJsonObject withoutText = noteReply({});
        withoutText.remove(u"text"_qs);
        m_fake->enqueue(reply(withoutText));
        QCOMPARE(failure(run(client().transcribeNote(audioFile(u"n.wav"_qs), context)).error), u"emptyResponse"_qs);
    }

    void fileClassifiesText()
    {
        m_fake->enqueue(FakeGemini::text(QString::fromUtf8(QJsonDocument(noteReply({})).toJson())));
        const NoteFiler filer { u"key-123"_qs, u"gemini-3.8-flash"_qs, {} };
        const NoteFiler::Context context { { u"Work"_qs }, {} };
        const auto filed = run(filer.file(u"We met about the budget."_qs, context));
        QCOMPARE(failure(filed.error), u"none"_qs);
        QCOMPARE(filed.value, (NoteFiler::Result { NoteFiler::Kind::meeting, u"Budget plan"_qs, u"Work"_qs }));

        const FakeGemini::Request request = m_fake->requests().first();
        QCOMPARE(request.path, QByteArray("/v1beta/models/gemini-3.8-flash:generateContent"));
        QCOMPARE(request.header("x-goog-api-key"), QByteArray("key-123"));
        const QJsonObject body = request.json();
        const QJsonArray parts = body[u"contents"][0][u"parts"].toArray();
        QCOMPARE(parts.size(), 1);
        QCOMPARE(text(parts[0][u"text"]), NoteFiler::textPrompt(u"We met about the budget."_qs, context));
        QCOMPARE(body[u"generationConfig"][u"responseSchema"].toObject(), NoteFiler::schema(false));
        QVERIFY(!body[u"generationConfig"].toObject().contains(u"thinkingConfig"));
    }

    void textModel_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QStringList>("available");
        QTest::addColumn<QString>("chosen");
        const QStringList offered { u"gemini-3-transcribe"_qs, u"gemini-3.8-flash-lite"_qs, u"gemini-3.8-flash"_qs };
        QTest::newRow("follows instructions") << u"gemini-2.5-pro"_qs << QStringList() << u"gemini-2.5-pro"_qs;
        QTest::newRow("transcription model") << u"gemini-3-transcribe"_qs << offered << u"gemini-3.8-flash"_qs;
        QTest::newRow("only transcription models")
            << u"gemini-3-transcribe"_qs << QStringList { u"gemini-3-transcribe"_qs, u"gemini-4-transcribe"_qs }
            << QString();
    }
    void textModel()
    {
        QFETCH(QString, current);
        QFETCH(QStringList, available);
        QFETCH(QString, chosen);
        QCOMPARE(NoteFiler::textModel(current, available).value_or(QString()), chosen);
    }

    // How Qt's failures without a reply are sorted decides whether a dictation is kept as offline.
    void unreachableServiceCountsAsOffline_data()
    {
        QTest::addColumn<int>("failure"); // 0 refused, 1 dropped twice, 2 slower than the time-out
        QTest::addColumn<int>("kind");
        QTest::newRow("nothing listens") << 0 << int(TransportError::Kind::cannotConnect);
        QTest::newRow("connection dropped") << 1 << int(TransportError::Kind::connectionLost);
        QTest::newRow("no answer in time") << 2 << int(TransportError::Kind::timedOut);
    }

    void unreachableServiceCountsAsOffline()
    {
        QFETCH(int, failure);
        QFETCH(int, kind);
        QUrl url = m_fake->baseUrl();
        if (failure == 0) {
            m_fake.reset(); // its port is closed now
        } else if (failure == 1) {
            m_fake->enqueue(FakeGemini::dropped());
            m_fake->enqueue(FakeGemini::dropped());
        } else {
            m_fake->enqueue({ .status = 200, .body = "{}", .delay = 3s });
        }
        QNetworkRequest request(url);
        request.setTransferTimeout(300);
        std::unique_ptr<QNetworkReply> reply(GeminiClient::network().get(request));
        QTRY_VERIFY_WITH_TIMEOUT(reply->isFinished(), 10000);
        const TransportError error = TransportError::from(reply->error(), reply->errorString());
        QCOMPARE(int(error.kind()), kind);
        QVERIFY(error.isOffline());
    }
};

QTEST_GUILESS_MAIN(TestGeminiClient)
#include "tst_gemini_client.moc"
