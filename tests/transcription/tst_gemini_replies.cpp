#include "support/data_folder.h"
#include "transcription/gemini_client.h"
#include "transcription/gemini_error.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

#include <functional>

using kavo::GeminiClient;
using kavo::GeminiError;
using kavo::InvalidRequestError;

namespace {

// What a reader did, as one comparable text: "text:…", "bad:detail", "empty" or "json" (not JSON at all).
QString outcome(const std::function<QString()>& read)
{
    try {
        return u"text:"_qs + read();
    } catch (const GeminiError& error) {
        if (error.kind() == GeminiError::Kind::badResponse)
            return u"bad:"_qs + error.detail();
        return error.kind() == GeminiError::Kind::emptyResponse ? u"empty"_qs : u"other"_qs;
    } catch (const kavo::JsonError&) {
        return u"json"_qs;
    }
}

QJsonValue at(const QJsonObject& object, const QStringList& path)
{
    QJsonValue value = object;
    for (const QString& key : path)
        value = key.front().isDigit() ? value.toArray().at(key.toInt()) : value.toObject().value(key);
    return value;
}

const QByteArray audioBytes = QByteArray("\x00\xff\xfe RIFF", 8).repeated(20); // long enough to need wrapping

} // namespace

class TestGeminiReplies : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { kavo::test::useTemporaryDataFolder(); }
    void cleanup() { qunsetenv("KAVO_GEMINI_BASE_URL"); }

    void generationConfig_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("level");
        QTest::addColumn<bool>("thinks");
        QTest::newRow("default model") << u"gemini-3.8-flash"_qs << u"low"_qs << true;
        QTest::newRow("2.x model") << u"gemini-2.5-pro"_qs << u"low"_qs << false;
        QTest::newRow("1.x model") << u"gemini-1.5-flash"_qs << u"high"_qs << false;
        QTest::newRow("no dot after 2") << u"gemini-20-flash"_qs << u"low"_qs << true;
        QTest::newRow("not at the start") << u"x-gemini-2.5"_qs << u"low"_qs << true;
        QTest::newRow("empty level") << u"gemini-3.8-flash"_qs << QString() << false;
    }
    void generationConfig()
    {
        QFETCH(QString, model);
        QFETCH(QString, level);
        QFETCH(bool, thinks);
        const QJsonObject config = GeminiClient::generationConfig(model, level);
        QCOMPARE(
            QJsonDocument(QJsonObject { { u"t"_qs, config.value(u"temperature"_qs) } }).toJson(QJsonDocument::Compact),
            QByteArray(R"({"t":0})"));
        QCOMPARE(config.contains(u"thinkingConfig"_qs), thinks);
        if (thinks)
            QCOMPARE(at(config, { u"thinkingConfig"_qs, u"thinkingLevel"_qs }).toString(), level);
        QCOMPARE(config.size(), thinks ? 2 : 1);
    }

    void mimeType_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("mime");
        QTest::newRow("m4a") << u"/tmp/a.m4a"_qs << u"audio/mp4"_qs;
        QTest::newRow("M4A") << u"/tmp/a.M4A"_qs << u"audio/mp4"_qs;
        QTest::newRow("wav") << u"/tmp/a.wav"_qs << u"audio/wav"_qs;
        QTest::newRow("other") << u"/tmp/a.mp3"_qs << u"audio/wav"_qs;
        QTest::newRow("m4a only inside") << u"/tmp/a.m4a.tmp"_qs << u"audio/wav"_qs;
        QTest::newRow("none") << u"/tmp/recording"_qs << u"audio/wav"_qs;
    }
    void mimeType()
    {
        QFETCH(QString, path);
        QFETCH(QString, mime);
        QCOMPARE(GeminiClient::mimeType(path), mime);
    }

    void generateContentBody_data()
    {
        QTest::addColumn<bool>("withSchema");
        QTest::newRow("plain") << false;
        QTest::newRow("with schema") << true;
    }
    void generateContentBody()
    {
        QFETCH(bool, withSchema);
        GeminiClient client;
        client.model = u"gemini-3.8-flash"_qs;
        client.thinkingLevel = u"low"_qs;
        const QJsonObject schema { { u"type"_qs, u"OBJECT"_qs } };
        const QJsonObject body = client.generateContentBody(
            u"Say it."_qs, audioBytes, u"audio/mp4"_qs, withSchema ? std::optional(schema) : std::nullopt);

        QCOMPARE(body.value(u"contents"_qs).toArray().size(), 1);
        QCOMPARE(at(body, { u"contents"_qs, u"0"_qs, u"role"_qs }).toString(), u"user"_qs);
        const QJsonArray parts = at(body, { u"contents"_qs, u"0"_qs, u"parts"_qs }).toArray();
        QCOMPARE(parts.size(), 2);
        QCOMPARE(parts.at(0).toObject(), (QJsonObject { { u"text"_qs, u"Say it."_qs } }));
        const QJsonObject inlineData = parts.at(1).toObject().value(u"inline_data"_qs).toObject();
        QCOMPARE(inlineData.value(u"mime_type"_qs).toString(), u"audio/mp4"_qs);
        const QByteArray data = inlineData.value(u"data"_qs).toString().toLatin1();
        QVERIFY(!data.contains('\n'));
        QCOMPARE(QByteArray::fromBase64(data, QByteArray::AbortOnBase64DecodingErrors), audioBytes);

        const QJsonObject config = body.value(u"generationConfig"_qs).toObject();
        QVERIFY(config.contains(u"thinkingConfig"_qs));
        QCOMPARE(config.value(u"responseMimeType"_qs).toString(), withSchema ? u"application/json"_qs : QString());
        QCOMPARE(config.value(u"responseSchema"_qs).toObject(), withSchema ? schema : QJsonObject {});
        QCOMPARE(config.size(), withSchema ? 4 : 2);
    }

    void transcriptionBody_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QStringList>("vocabulary");
        QTest::addColumn<QByteArray>("expectedConfig");
        QTest::newRow("everything") << u"smart"_qs << QStringList { u"uz-UZ"_qs } << QStringList { u"Figma"_qs }
                                    << QByteArray(R"({"custom_vocabulary":["Figma"],"language_codes":["uz-UZ"],)"
                                                  R"("mode":"smart"})");
        QTest::newRow("empty lists and mode left out")
            << QString() << QStringList {} << QStringList {} << QByteArray(R"({"mode":"verbatim"})");
    }
    void transcriptionBody()
    {
        QFETCH(QString, mode);
        QFETCH(QStringList, codes);
        QFETCH(QStringList, vocabulary);
        QFETCH(QByteArray, expectedConfig);
        GeminiClient client;
        client.model = u"gemini-transcribe-1"_qs;
        client.prompt = u"never sent"_qs;
        client.thinkingLevel = u"low"_qs;
        client.transcriptionMode = mode;
        client.languageCodes = codes;
        client.customVocabulary = vocabulary;
        const QJsonObject body = client.transcriptionBody(audioBytes, u"audio/wav"_qs);

        QCOMPARE(body.keys(), (QStringList { u"generation_config"_qs, u"input"_qs, u"model"_qs }));
        QCOMPARE(body.value(u"model"_qs).toString(), client.model);
        const QJsonArray input = body.value(u"input"_qs).toArray();
        QCOMPARE(input.size(), 1);
        QCOMPARE(at(body, { u"input"_qs, u"0"_qs, u"type"_qs }).toString(), u"audio"_qs);
        QCOMPARE(at(body, { u"input"_qs, u"0"_qs, u"mime_type"_qs }).toString(), u"audio/wav"_qs);
        QCOMPARE(QByteArray::fromBase64(at(body, { u"input"_qs, u"0"_qs, u"data"_qs }).toString().toLatin1(),
                     QByteArray::AbortOnBase64DecodingErrors),
            audioBytes);
        QCOMPARE(body.value(u"generation_config"_qs).toObject().keys(), QStringList { u"transcription_config"_qs });
        const QJsonObject config = at(body, { u"generation_config"_qs, u"transcription_config"_qs }).toObject();
        QCOMPARE(QJsonDocument(config).toJson(QJsonDocument::Compact), expectedConfig);
    }

    void generatedText_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("expected");
        QTest::newRow("thought part dropped")
            << QByteArray(R"({"candidates":[{"content":{"parts":[{"thought":true,"text":"hmm"},{"text":"Salom"}]}}]})")
            << u"text:Salom"_qs;
        QTest::newRow("parts joined, trimmed, thought false kept")
            << QByteArray(R"({"candidates":[{"content":{"parts":[{"text":" \n Bir"},{"thought":false,"text":"ikki"},)"
                          R"({"inline_data":{}},{"text":" \n"}]}},{"content":{"parts":[{"text":"second"}]}}]})")
            << u"text:Birikki"_qs;
        QTest::newRow("only white space")
            << QByteArray(R"({"candidates":[{"content":{"parts":[{"text":"  \n \t"}]},"finishReason":"STOP"}]})")
            << u"empty"_qs;
        QTest::newRow("no parts, other finish reason")
            << QByteArray(R"({"candidates":[{"finishReason":"MAX_TOKENS"}]})") << u"bad:finishReason MAX_TOKENS"_qs;
        QTest::newRow("only a thought, safety") << QByteArray(
            R"({"candidates":[{"content":{"parts":[{"thought":true,"text":"x"}]},"finishReason":"SAFETY"}]})")
                                                << u"bad:finishReason SAFETY"_qs;
        QTest::newRow("finish reason not a string")
            << QByteArray(R"({"candidates":[{"finishReason":3}]})") << u"empty"_qs;
        QTest::newRow("blocked") << QByteArray(R"({"promptFeedback":{"blockReason":"OTHER"}})")
                                 << u"bad:blocked (OTHER)"_qs;
        QTest::newRow("empty candidates, blocked")
            << QByteArray(R"({"candidates":[],"promptFeedback":{"blockReason":"SAFETY"}})")
            << u"bad:blocked (SAFETY)"_qs;
        QTest::newRow("candidates not all objects")
            << QByteArray(R"({"candidates":[{"content":{"parts":[{"text":"a"}]}},1]})") << u"empty"_qs;
        QTest::newRow("nothing at all") << QByteArray("{}") << u"empty"_qs;
        QTest::newRow("array at the top") << QByteArray("[]") << u"bad:not an object"_qs;
        QTest::newRow("not JSON") << QByteArray("<html>") << u"json"_qs;
    }
    void generatedText()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, expected);
        QCOMPARE(outcome([&] { return GeminiClient::generatedText(reply); }), expected);
    }

    void interactionText_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("expected");
        QTest::newRow("steps joined") << QByteArray(
            R"({"steps":[{"content":[{"text":" Bir "},{"type":"x"}]},{"content":[{"text":"ikki\n"}]}]})")
                                      << u"text:Bir ikki"_qs;
        QTest::newRow("step without content")
            << QByteArray(R"({"steps":[{},{"content":[{"text":"a"}]}]})") << u"text:a"_qs;
        QTest::newRow("no steps") << QByteArray("{}") << u"empty"_qs;
        QTest::newRow("white space only") << QByteArray(R"({"steps":[{"content":[{"text":" \n"}]}]})") << u"empty"_qs;
        QTest::newRow("top not an object") << QByteArray(R"(["a"])") << u"bad:not an object"_qs;
        QTest::newRow("not JSON") << QByteArray("oops") << u"json"_qs;
    }
    void interactionText()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, expected);
        QCOMPARE(outcome([&] { return GeminiClient::interactionText(reply); }), expected);
    }

    void errorMessage_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("message");
        QTest::newRow("service message") << QByteArray(R"({"error":{"code":400,"message":"API key not valid."}})")
                                         << u"API key not valid."_qs;
        QTest::newRow("message not a string")
            << QByteArray(R"({"error":{"message":5}})") << u"{\"error\":{\"message\":5}}"_qs;
        QTest::newRow("plain text") << QByteArray("Bad Gateway \xd0\x9e\xd1\x88") << u"Bad Gateway \u041e\u0448"_qs;
        QTest::newRow("empty body") << QByteArray() << QString();
        QTest::newRow("not UTF-8") << QByteArray("\xff\xfe error") << u"unknown error"_qs;
    }
    void errorMessage()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, message);
        QCOMPARE(GeminiClient::errorMessage(body), message);
    }

    void modelNames_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("expected");
        QTest::newRow("prefix removed, sorted")
            << QByteArray(R"({"models":[{"name":"models/gemini-3.8-flash"},{"name":5},{"name":"models/aqa"},)"
                          R"({"displayName":"x"},{"name":"tuned/models/x-models/y"}]})")
            << u"text:aqa|gemini-3.8-flash|tuned/x-y"_qs;
        QTest::newRow("empty list") << QByteArray(R"({"models":[]})") << u"text:"_qs;
        QTest::newRow("missing") << QByteArray("{}") << u"bad:no models field"_qs;
        QTest::newRow("not objects") << QByteArray(R"({"models":["a"]})") << u"bad:no models field"_qs;
        QTest::newRow("array at the top") << QByteArray(R"([{"models":[]}])") << u"bad:no models field"_qs;
        QTest::newRow("not JSON") << QByteArray("{") << u"json"_qs;
    }
    void modelNames()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, expected);
        QCOMPARE(outcome([&] { return GeminiClient::modelNames(reply).join(u'|'); }), expected);
    }

    void pickModel_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("picked");
        QTest::newRow("current offered") << QStringList { u"gemini-3.8-flash"_qs, u"my-model"_qs } << u"my-model"_qs
                                         << u"my-model"_qs;
        QTest::newRow("lite flash, then pro: first gemini") << QStringList { u"gemini-3.8-flash-lite"_qs,
            u"gemini-3.8-pro"_qs } << u"gone"_qs << u"gemini-3.8-flash-lite"_qs;
        QTest::newRow("general flash wherever it stands") << QStringList { u"gemini-3.8-flash-image"_qs,
            u"gemini-3.8-pro"_qs, u"gemini-3.8-flash-tts"_qs, u"gemini-3.8-flash"_qs }
                                                          << u"gone"_qs << u"gemini-3.8-flash"_qs;
        QTest::newRow("each excluded word") << QStringList { u"flash-live"_qs, u"flash-embedding"_qs, u"flash-audio"_qs,
            u"gemma-pro"_qs } << u"gone"_qs << QString();
        QTest::newRow("flash without gemini")
            << QStringList { u"gemini-pro"_qs, u"flash-x"_qs } << u"gone"_qs << u"flash-x"_qs;
        QTest::newRow("nothing") << QStringList {} << QString() << QString();
    }
    void pickModel()
    {
        QFETCH(QStringList, names);
        QFETCH(QString, current);
        QFETCH(QString, picked);
        QCOMPARE(GeminiClient::pickModel(names, current).value_or(QString()), picked);
    }

    void modelEndpoint_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("url");
        QTest::newRow("plain")
            << u"gemini-3.8-flash"_qs
            << u"https://generativelanguage.googleapis.com/v1beta/models/gemini-3.8-flash:generateContent"_qs;
        QTest::newRow("space") << u"gemini 3"_qs << QString();
        QTest::newRow("fragment") << u"gemini#3"_qs << QString();
        QTest::newRow("query") << u"gemini?key=1"_qs << QString();
        QTest::newRow("climbs up") << u"/../gemini"_qs << QString();
        QTest::newRow("dot dot") << u".."_qs << QString();
        QTest::newRow("bad percent escape") << u"gemini%zz"_qs << QString();
        QTest::newRow("empty") << QString() << QString();
    }
    void modelEndpoint()
    {
        QFETCH(QString, model);
        QFETCH(QString, url);
        try {
            QCOMPARE(GeminiClient::modelEndpoint(model, u"generateContent"_qs).toString(QUrl::FullyEncoded), url);
        } catch (const InvalidRequestError& error) {
            QVERIFY2(url.isEmpty(), error.what());
            QVERIFY(error.message().contains(u'"' + model + u'"'));
        }
    }

    void endpointFollowsBaseAddress_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("pathAndQuery");
        QTest::addColumn<QString>("url");
        QTest::newRow("default") << QString() << u"/v1beta/models?pageSize=200"_qs
                                 << u"https://generativelanguage.googleapis.com/v1beta/models?pageSize=200"_qs;
        QTest::newRow("local server") << u"http://127.0.0.1:8123"_qs << u"/v1beta/interactions"_qs
                                      << u"http://127.0.0.1:8123/v1beta/interactions"_qs;
        QTest::newRow("trailing slash") << u"http://127.0.0.1:8123/"_qs << u"/v1beta/models/m"_qs
                                        << u"http://127.0.0.1:8123/v1beta/models/m"_qs;
        QTest::newRow("dot segment") << QString() << u"/v1beta/models/./m"_qs << QString();
        QTest::newRow("base without host") << u"not an address"_qs << u"/v1beta/models"_qs << QString();
    }
    void endpointFollowsBaseAddress()
    {
        QFETCH(QString, base);
        QFETCH(QString, pathAndQuery);
        QFETCH(QString, url);
        qputenv("KAVO_GEMINI_BASE_URL", base.toUtf8());
        try {
            QCOMPARE(GeminiClient::endpoint(pathAndQuery).toString(QUrl::FullyEncoded), url);
        } catch (const InvalidRequestError& error) {
            QVERIFY2(url.isEmpty(), error.what());
        }
    }
};

QTEST_GUILESS_MAIN(TestGeminiReplies)
#include "tst_gemini_replies.moc"
