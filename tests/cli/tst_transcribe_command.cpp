#include "audio/codec/wav_reader.h"

#include "support/command_runner.h"
#include "support/data_folder.h"
#include "support/fake_gemini.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace kavo;
using test::FakeGemini;

class TestTranscribeCommand : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_data;
    std::unique_ptr<FakeGemini> m_gemini;

    QString audioPath() const { return m_data.filePath(QStringLiteral("speech.wav")); }

    // The MIME type and bytes of the audio part of a request.
    static std::pair<QString, QByteArray> sentAudio(const FakeGemini::Request& request)
    {
        const QJsonObject data
            = request.json()[QStringLiteral("contents")][0][QStringLiteral("parts")][1][QStringLiteral("inline_data")]
                  .toObject();
        return { data[QStringLiteral("mime_type")].toString(),
            QByteArray::fromBase64(data[QStringLiteral("data")].toString().toLatin1()) };
    }

    // The fake service answers from this process's event loop, so the program is awaited without blocking it.
    test::CommandResult run(const QStringList& arguments, const QByteArray& apiKey = "test-key")
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("KAVO_DATA_DIR"), m_data.path());
        environment.insert(QStringLiteral("KAVO_GEMINI_BASE_URL"), m_gemini->baseUrl().toString());
        environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
        environment.remove(QStringLiteral("GEMINI_API_KEY"));
        if (!apiKey.isEmpty())
            environment.insert(QStringLiteral("GEMINI_API_KEY"), QString::fromUtf8(apiKey));
        return test::runKavoVoiceServed(QStringList { QStringLiteral("transcribe") } + arguments, environment);
    }

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }

    void init()
    {
        QDir(m_data.path()).removeRecursively();
        QDir().mkpath(m_data.path());
        // Half a second of a 440 Hz tone at 44.1 kHz stereo: decoded to the recording format, then sent as M4A.
        std::vector<float> tone(22050);
        for (std::size_t frame = 0; frame < tone.size(); ++frame)
            tone[frame] = 0.3f * float(std::sin(2 * M_PI * 440 * double(frame) / 44100));
        writeWav(audioPath(), { 44100, 2, SampleFormat::int16 }, { tone, tone });
        test::writeFile(m_data.filePath(QStringLiteral("config.json")),
            R"({"snippets":[{"id":"6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6C","trigger":"my mail","text":"aziz@kavo.uz"}]})");
        m_gemini = std::make_unique<FakeGemini>();
        QVERIFY(m_gemini->start());
    }

    void printsTheExpandedTranscript()
    {
        m_gemini->enqueue(FakeGemini::text(QStringLiteral("Write to my mail today")));
        const test::CommandResult result = run({ audioPath() });
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out, QByteArray("Write to aziz@kavo.uz today\n"));
        QCOMPARE(m_gemini->requests().size(), 1);
        const auto request = m_gemini->requests().first();
        QCOMPARE(request.path, QByteArray("/v1beta/models/gemini-3.8-flash:generateContent"));
        QCOMPARE(request.header("x-goog-api-key"), QByteArray("test-key"));
        QCOMPARE(sentAudio(request).first, QStringLiteral("audio/mp4"));
        QCOMPARE(sentAudio(request).second.mid(4, 4), QByteArray("ftyp"));
    }

    void refusedM4aIsSentOnceMoreAsWav_data()
    {
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<int>("requests");
        QTest::newRow("audio refused") << QStringLiteral("Request contains an invalid argument: audio") << 2;
        QTest::newRow("thinking refused") << QStringLiteral("Thinking level is not supported") << 1;
    }

    void refusedM4aIsSentOnceMoreAsWav()
    {
        QFETCH(QString, refusal);
        QFETCH(int, requests);
        m_gemini->enqueue(FakeGemini::error(400, refusal));
        m_gemini->enqueue(FakeGemini::text(QStringLiteral("Sent as WAV")));
        const test::CommandResult result = run({ audioPath() });
        QCOMPARE(result.exitCode, requests == 2 ? 0 : 1);
        QCOMPARE(m_gemini->requests().size(), requests);
        if (requests == 1)
            return;
        QCOMPARE(result.out, QByteArray("Sent as WAV\n"));
        const auto [mimeType, bytes] = sentAudio(m_gemini->requests().last());
        QCOMPARE(mimeType, QStringLiteral("audio/wav"));
        QCOMPARE(bytes.size(), 44 + 8000 * 2); // the recording format: 16 kHz mono 16-bit
        QVERIFY(QString::fromUtf8(test::readFile(m_data.filePath(QStringLiteral("kavo.log"))))
                    .contains(QLatin1String("Gemini refused m4a with 400; sending WAV")));
    }

    void unreadableAudioIsNotSent()
    {
        test::writeFile(audioPath(), "not audio at all");
        const test::CommandResult result = run({ audioPath() });
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.err.startsWith("could not read the audio: "), result.err.constData());
        QVERIFY(m_gemini->requests().isEmpty());
    }

    void jsonLinePerFile()
    {
        m_gemini->enqueue(FakeGemini::text(QStringLiteral("one")));
        m_gemini->enqueue(FakeGemini::text(QStringLiteral("two")));
        const test::CommandResult result = run({ QStringLiteral("--json"), audioPath(), audioPath() });
        QCOMPARE(result.exitCode, 0);
        const QList<QByteArray> lines = result.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 2);
        const QJsonObject second = QJsonDocument::fromJson(lines[1]).object();
        QCOMPARE(second[QStringLiteral("text")].toString(), QStringLiteral("two"));
        QCOMPARE(second[QStringLiteral("model")].toString(), QStringLiteral("gemini-3.8-flash"));
        QVERIFY(second[QStringLiteral("seconds")].toDouble() >= 0);
    }

    void noteIsClassified()
    {
        m_gemini->enqueue(FakeGemini::text(QStringLiteral(
            R"({"text":"We agreed on the budget.","kind":"Meeting","title":"Budget review","folder":"Work"})")));
        const test::CommandResult result = run({ QStringLiteral("--note"), audioPath() });
        QCOMPARE(result.exitCode, 0);
        const QStringList lines = QString::fromUtf8(result.out).split(u'\n');
        QCOMPARE(lines.value(0), QStringLiteral("We agreed on the budget."));
        QCOMPARE(lines.value(1), QStringLiteral("kind: meeting"));
        QVERIFY2(lines.value(2).startsWith(QStringLiteral("title: Meeting 1 · ")), qPrintable(lines.value(2)));
        QCOMPARE(lines.value(3), QStringLiteral("folder: Work"));
        const QJsonObject config = m_gemini->requests().first().json()[QStringLiteral("generationConfig")].toObject();
        QCOMPARE(config[QStringLiteral("responseMimeType")].toString(), QStringLiteral("application/json"));
    }

    void failures_data()
    {
        QTest::addColumn<QByteArray>("apiKey");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("no key") << QByteArray() << 0
                                << QByteArray("No API key. Add it in Settings, or set GEMINI_API_KEY.\n");
        QTest::newRow("refused request") << QByteArray("bad-key") << 400
                                         << QByteArray("Gemini returned 400: API key not valid.\n");
    }

    void failures()
    {
        QFETCH(QByteArray, apiKey);
        QFETCH(int, status);
        QFETCH(QByteArray, message);
        if (status)
            m_gemini->enqueue(FakeGemini::error(status, QStringLiteral("API key not valid.")));
        const test::CommandResult result = run({ audioPath() }, apiKey);
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.err, message);
        QVERIFY(result.out.isEmpty());
        QCOMPARE(m_gemini->requests().size(), status ? 1 : 0);
    }

    void badArguments()
    {
        QCOMPARE(run({}).exitCode, 2);
        QCOMPARE(run({ QStringLiteral("--verbose"), audioPath() }).exitCode, 2);
        QVERIFY(m_gemini->requests().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTranscribeCommand)
#include "tst_transcribe_command.moc"
