#include "apps/application_id.h"
#include "audio/codec/wav_reader.h"
#include "platform/dbus/remote_control.h"
#include "store/config.h"
#include "store/history.h"
#include "support/command_runner.h"
#include "support/data_folder.h"
#include "support/fake_gemini.h"
#include "support/remote_requests.h"
#include "support/table_rows.h"
#include "support/test_services.h"
#include "support/virtual_microphone.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTest>

#include <csignal>

#include <cmath>

using namespace kavo;
using test::FakeGemini;
using test::row;

namespace {

const QByteArray storedHistory = R"({"entries": [
    {"id":"6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B60","date":"2026-12-04T23:17:17Z","text":"Salom\r\ndunyo"},
    {"id":"6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B61","date":"2026-12-01T10:30:00Z","text":"bitta","status":"discarded"},
    {"id":"6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B62","date":"2026-12-05T08:00:00Z","status":"failed"}]})";

const QByteArray snippetsConfig = R"({"snippets":[
    {"id":"6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6C","trigger":"addr","text":"A\nB"},
    {"id":"6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6D","trigger":"mening manzilim","text":"Toshkent"},
    {"id":"6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6E","trigger":"my mail","text":"aziz@kavo.uz"}]})";

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

    QString m_data;
    std::unique_ptr<FakeGemini> m_gemini;

    QString path(const QString& name) const { return QDir(m_data).filePath(name); }

    // Runs the program against the fake service, with `key` as GEMINI_API_KEY unless it is empty.
    test::CommandResult run(const QStringList& arguments, const QString& key = "test-key",
        const std::function<void(QProcess&)>& started = {})
    {
        QProcessEnvironment extra;
        extra.insert("KAVO_GEMINI_BASE_URL", m_gemini->baseUrl().toString());
        if (!key.isEmpty())
            extra.insert("GEMINI_API_KEY", key);
        return test::runKavoVoice(arguments, m_data, extra, started);
    }

    // Half a second of a 440 Hz tone at 44.1 kHz stereo: decoded to the recording format, then sent as M4A.
    QString toneWav() const
    {
        std::vector<float> tone(22050);
        for (std::size_t frame = 0; frame < tone.size(); ++frame)
            tone[frame] = 0.3f * float(std::sin(2 * M_PI * 440 * double(frame) / 44100));
        writeWav(path("speech.wav"), { 44100, 2, SampleFormat::int16 }, { tone, tone });
        test::writeFile(Config::filePath(), snippetsConfig);
        return path("speech.wav");
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_data = test::useTemporaryDataFolder();
        qputenv("TZ", "Asia/Tashkent");
    }

    void init()
    {
        test::emptyDataFolder();
        m_gemini = std::make_unique<FakeGemini>();
        QVERIFY(m_gemini->start());
    }

    // Refused arguments print the usage and change nothing; a note that does not exist is no usage error.
    void refusals_data()
    {
        test::columns<QString, int, QString>({ "arguments", "exitCode", "message" });
        const QString note = QUuid::createUuid().toString(QUuid::WithoutBraces);
        row("unknown command", "frobnicate", 2, "kavo-voice: unknown command \"frobnicate\"");
        row("config, unknown option", "config --verbose", 2, "unknown argument \"--verbose\"");
        row("dictate, seconds not a number", "dictate --seconds soon", 2, "--seconds needs a positive number");
        row("dictate, no note ID", "dictate --note x", 2, "--note needs a note ID");
        row("dictate, both targets", "dictate --type --note " + note, 2, "exclude each other");
        row("dictate, unknown note", "dictate --note " + note, 1, "there is no note " + note);
        row("history, limit without value", "history --limit", 2, "--limit needs a number");
        row("history, limit zero", "history --limit 0", 2, "positive whole number, not \"0\"");
        row("history, unknown option", "history --verbose", 2, "unknown argument \"--verbose\"");
        row("snippets, no subcommand", "snippets", 2, "missing subcommand");
        row("snippets, unknown one", "snippets shrink addr", 2, "unknown subcommand \"shrink\"");
        row("snippets, no text", "snippets expand", 2, "exactly one TEXT argument");
        row("snippets, two texts", "snippets expand my addr", 2, "exactly one TEXT argument");
        row("transcribe, no file", "transcribe", 2, "no audio file given");
        row("transcribe, unknown option", "transcribe --verbose a.wav", 2, "option \"--verbose\"");
        row("serve, port out of range", "serve --port 65536", 2, "--port needs a port number from 0 to 65535");
        row("serve, token without value", "serve --token", 2, "--token needs a value");
        row("show, extra argument", "show extra", 2, "kavo-voice show: takes no arguments");
    }

    void refusals()
    {
        const auto [arguments, exitCode, message]
            = test::fetch<QString, int, QString>({ "arguments", "exitCode", "message" });
        test::writeFile(History::filePath(), storedHistory);
        const test::CommandResult result = run(arguments.split(u' '));
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY2(result.err.contains(message.toUtf8()), result.err.constData());
        QCOMPARE(result.err.contains("Usage: kavo-voice"), exitCode == 2);
        QVERIFY(result.out.isEmpty() && m_gemini->requests().isEmpty());
        QCOMPARE(test::readFile(History::filePath()), storedHistory);
    }

    // What is printed is what the settings file holds, the key masked unless asked for; a readable file is left as
    // it is, a missing one written and a damaged one set aside.
    void config_data()
    {
        test::columns<QByteArray, QStringList, QString, QByteArray>({ "stored", "arguments", "printedKey", "err" });
        const QByteArray keyed = R"({"apiKey":"AIzaSyA-secret-part-wxyz","sounds":false})";
        const QByteArray notSet = "API key: not set\n";
        row("no settings", QByteArray(), QStringList(), "", notSet);
        row("key masked", keyed, QStringList(), "AIza…wxyz", QByteArray());
        row("key shown", keyed, QStringList { "--show-key" }, "AIzaSyA-secret-part-wxyz", QByteArray());
        row("damaged settings", QByteArray("{ not json"), QStringList(), "", notSet);
    }

    void config()
    {
        const auto [stored, arguments, printedKey]
            = test::fetch<QByteArray, QStringList, QString>({ "stored", "arguments", "printedKey" });
        if (!stored.isEmpty())
            test::writeFile(Config::filePath(), stored);
        const test::CommandResult result = run(QStringList { "config" } + arguments, {});
        QCOMPARE(result.exitCode, 0);
        QTEST(result.err, "err");
        const QByteArray file = test::readFile(Config::filePath());
        const std::optional<Config> written = Config::decode(file);
        QVERIFY(written);
        QJsonObject expected = QJsonDocument::fromJson(written->encode()).object();
        expected.insert("apiKey", printedKey);
        QCOMPARE(QJsonDocument::fromJson(result.out).object(), expected);
        QVERIFY(
            result.out.contains("\"defaultsVersion\": 2") && result.out.contains("\"model\": \"gemini-3.8-flash\""));
        const QStringList broken = QDir(m_data).entryList({ "config.json.broken-*" });
        QCOMPARE(broken.size(), qsizetype(stored.startsWith("{ not")));
        QCOMPARE(broken.isEmpty() ? file : test::readFile(path(broken.first())), stored.isEmpty() ? file : stored);
    }

    // What the history and snippets commands print. History is newest first, whatever the order in the file; a file
    // that cannot be read is reported and left alone. A text to expand reaches the expansion exactly as given.
    void printing_data()
    {
        test::columns<QStringList, QByteArray, int, QString>({ "arguments", "file", "exitCode", "out" });
        const QString failed = "2026-12-05 13:00  failed     0 words\n";
        const QString done = "2026-12-05 04:17  done       2 words  Salom dunyo\n";
        const QString discarded = "2026-12-01 15:30  discarded  1 word  bitta\n";
        const QList<HistoryEntry> stored = History::decode(storedHistory).value().entries;
        const QJsonArray newestTwo { stored[2].toJson(), stored[0].toJson() };
        const QStringList history { "history" }, expand { "snippets", "expand" };
        row("all", history, storedHistory, 0, failed + done + discarded);
        row("limit 2", history + QStringList { "--limit", "2" }, storedHistory, 0, failed + done);
        row("limit beyond the list", history + QStringList { "--limit", "50" }, storedHistory, 0,
            failed + done + discarded);
        row("JSON", history + QStringList { "--json", "--limit", "2" }, storedHistory, 0,
            QString::fromUtf8(QJsonDocument(newestTwo).toJson()));
        row("duration as string", history, QByteArray(storedHistory).replace("text", "duration"), 1, "");
        row("fractional seconds", history, QByteArray(storedHistory).replace("17Z", "17.5Z"), 1, "");
        row("expand, white space and lines kept", expand + QStringList { "  To addr, MENING\nmanzilim.  " },
            storedHistory, 0, "  To A\nB, Toshkent.  \n");
        row("expand empty text", expand + QStringList { "" }, storedHistory, 0, "\n");
        row("expand text like an option", expand + QStringList { "--help" }, storedHistory, 0, "--help\n");
    }

    void printing()
    {
        const auto [arguments, file, exitCode]
            = test::fetch<QStringList, QByteArray, int>({ "arguments", "file", "exitCode" });
        test::writeFile(History::filePath(), file);
        test::writeFile(Config::filePath(), snippetsConfig);
        const test::CommandResult result = run(arguments);
        QCOMPARE(result.exitCode, exitCode);
        QTEST(QString::fromUtf8(result.out), "out");
        QVERIFY2(exitCode ? result.err.startsWith("kavo-voice: cannot read ") : result.err.isEmpty(), result.err);
        QCOMPARE(test::readFile(History::filePath()), file);
    }

    // A remote-control command reaches the running application, here a remote control of this test, which hears
    // exactly that request; without one, or without a session bus, it fails.
    void remoteControl_data()
    {
        test::columns<QString, QString, int, QString, QByteArray>(
            { "command", "instance", "exitCode", "requests", "err" });
        row("toggle", "toggle", "running", 0, "toggle", QByteArray());
        row("start", "start", "running", 0, "start", QByteArray());
        row("stop", "stop", "running", 0, "stop", QByteArray());
        row("cancel", "cancel", "running", 0, "cancel", QByteArray());
        row("show", "show", "running", 0, "showWindow", QByteArray());
        row("not running", "toggle", "none", 1, "", QByteArray("kavo-voice: Kavo Voice is not running.\n"));
        row("no session bus", "show", "no bus", 1, "",
            QByteArray("kavo-voice: Kavo Voice cannot be reached: there is no D-Bus session bus.\n"));
    }

    void remoteControl()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        const auto [command, instance] = test::fetch<QString, QString>({ "command", "instance" });
        // The remote control of the row before gives the name back as it goes.
        QTRY_VERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(applicationID));
        QStringList requests;
        RemoteControl control(QDBusConnection::sessionBus());
        test::recordRequests(control, requests);
        if (instance != "none")
            QVERIFY(QCoro::waitFor(control.claim()));
        QProcessEnvironment extra;
        if (instance == "no bus")
            extra.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + path("no-bus"));
        const test::CommandResult result = test::runKavoVoice({ command }, m_data, extra);
        QTEST(result.exitCode, "exitCode");
        QTEST(result.err, "err");
        QVERIFY(result.out.isEmpty());
        QTEST(requests.join(' '), "requests");
    }

    void dictateRecordsTranscribesAndKeepsTheEntry()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        m_gemini->answerModelLookups(true);
        const QString speech = path("speech.wav");
        QCOMPARE(test::makeSpeechWav(speech, "One dictation from the command line"), QString());
        test::VirtualMicrophone microphone;
        QVERIFY(microphone.setWavFile(speech));
        m_gemini->enqueue(FakeGemini::text("One dictation from the command line"));

        const test::MicrophoneLock quiet;
        const auto speak = [&](QProcess&) { // once the program records
            QVERIFY(QTest::qWaitFor(
                [&] { return test::readFile(path("kavo.log")).contains("recording started (mac)"); }, 10000));
            QVERIFY(microphone.start());
        };
        const test::CommandResult result = run({ "dictate", "--seconds", "3" }, "test-key", speak);
        QVERIFY2(result.exitCode == 0, result.err.constData());
        QCOMPARE(result.out, "One dictation from the command line\n");
        const std::optional<History> history = History::decode(test::readFile(History::filePath()));
        QVERIFY(history && history->entries.size() == 1);
        const HistoryEntry& entry = history->entries.first();
        QCOMPARE(QString(entry.source + ' ' + rawValue(entry.status)), "mac done");
        QVERIFY(qAbs(entry.duration - 3) < 0.3 && !entry.latency);
    }

    // The phone link without the desktop: the addresses and the QR code are printed, an upload's transcript is
    // printed and kept in History, and Ctrl+C or SIGTERM ends it in order.
    void serveTranscribesUploadsUntilStopped()
    {
        m_gemini->answerModelLookups(true);
        m_gemini->enqueue(FakeGemini::text("Sent from the phone"));
        QByteArray reply;
        const auto upload = [&](QProcess& program) {
            const QRegularExpression listening("phone server \\(http\\) listening on (\\d+)");
            QRegularExpressionMatch match;
            QVERIFY(QTest::qWaitFor(
                [&] { return (match = listening.match(test::readFile(path("kavo.log")))).hasMatch(); }, 30000));
            QNetworkAccessManager network;
            QNetworkRequest request(QUrl("http://127.0.0.1:" + match.captured(1) + "/audio?t=phone7"));
            request.setHeader(QNetworkRequest::ContentTypeHeader, "audio/wav");
            QNetworkReply* sent = network.post(request, test::readFile(toneWav()));
            QVERIFY(QTest::qWaitFor([&] { return sent->isFinished(); }, 30000));
            reply = sent->readAll();
            delete sent;
            ::kill(pid_t(program.processId()), SIGTERM);
        };
        const test::CommandResult result
            = run({ "serve", "--port", "0", "--plain-port", "0", "--token", "phone7" }, "test-key", upload);
        QCOMPARE(reply, R"({"text":"Sent from the phone"})");
        QVERIFY2(result.exitCode == 0, result.err.constData());
        QVERIFY(result.out.contains("Phone server listening on port "));
        QVERIFY(result.out.endsWith("Press Ctrl+C to stop.\nSent from the phone\n"));
        const std::optional<History> history = History::decode(test::readFile(History::filePath()));
        QVERIFY(history && history->entries.size() == 1);
        QCOMPARE(history->entries.first().text, "Sent from the phone");
        QCOMPARE(history->entries.first().source, "phone");
    }

    void servePortInUse()
    {
        QTcpServer taken;
        QVERIFY(taken.listen(QHostAddress::Any, 0));
        const QString port = QString::number(taken.serverPort());
        const test::CommandResult result = run({ "serve", "--port", port, "--token", "phone7" });
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.err, "Port " + port.toUtf8() + " is already in use.\n");
    }

    // Each file's transcript, its snippets expanded, on a JSON line of its own. The recording goes as M4A, and once
    // more as the WAV of the recording format when the service refuses the M4A.
    void transcribeWritesAJsonLinePerFile()
    {
        m_gemini->enqueue(FakeGemini::text("one"));
        m_gemini->enqueue(FakeGemini::error(400, "Request contains an invalid argument: audio"));
        m_gemini->enqueue(FakeGemini::text("Write to my mail today"));
        const test::CommandResult result = run({ "transcribe", "--json", toneWav(), toneWav() });
        QCOMPARE(result.exitCode, 0);
        const QList<QByteArray> lines = result.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 2);
        const QJsonObject second = QJsonDocument::fromJson(lines[1]).object();
        QCOMPARE(QString(second["text"].toString() + " | " + second["model"].toString()),
            "Write to aziz@kavo.uz today | gemini-3.8-flash");
        QVERIFY(second["seconds"].toDouble() >= 0);
        QCOMPARE(m_gemini->requests().size(), 3);
        const FakeGemini::Request request = m_gemini->requests().first();
        QCOMPARE(request.path + ' ' + request.header("x-goog-api-key"),
            "/v1beta/models/gemini-3.8-flash:generateContent test-key");
        const auto [mimeType, bytes] = request.audio();
        QCOMPARE(QString(mimeType + ' ' + bytes.mid(4, 4)), "audio/mp4 ftyp");
        const auto [resentType, resent] = m_gemini->requests().last().audio();
        QCOMPARE(resentType, "audio/wav");
        QCOMPARE(resent.size(), 44 + 8000 * 2); // 16 kHz mono 16-bit
        QVERIFY(test::readFile(path("kavo.log")).contains("Gemini refused m4a with 400; sending WAV"));
    }

    void transcribeClassifiesANote()
    {
        m_gemini->enqueue(FakeGemini::text(
            R"({"text":"We agreed on the budget.","kind":"Meeting","title":"Budget review","folder":"Work"})"));
        const test::CommandResult result = run({ "transcribe", "--note", toneWav() });
        QCOMPARE(result.exitCode, 0);
        const QStringList lines = QString::fromUtf8(result.out).split(u'\n');
        QCOMPARE(lines.mid(0, 2), QStringList({ "We agreed on the budget.", "kind: meeting" }));
        QVERIFY2(lines.value(2).startsWith("title: Meeting 1 · "), qPrintable(lines.value(2)));
        QCOMPARE(lines.value(3), "folder: Work");
        const QJsonObject config = m_gemini->requests().first().json()["generationConfig"].toObject();
        QCOMPARE(config["responseMimeType"].toString(), "application/json");
    }

    // A refusal other than one of the audio is not sent again as WAV.
    void transcribeFailures_data()
    {
        test::columns<QString, QString, bool, QByteArray, int>({ "key", "refusal", "readable", "err", "requests" });
        row("no key", "", "", true, QByteArray("No API key. Add it in Settings, or set GEMINI_API_KEY.\n"), 0);
        row("key refused", "bad-key", "API key not valid.", true,
            QByteArray("Gemini returned 400: API key not valid.\n"), 1);
        row("thinking refused", "test-key", "Thinking level is not supported", true,
            QByteArray("Gemini returned 400: Thinking level is not supported\n"), 1);
        row("unreadable audio", "test-key", "", false, QByteArray("could not read the audio: "), 0);
    }

    void transcribeFailures()
    {
        const auto [key, refusal, readable, err]
            = test::fetch<QString, QString, bool, QByteArray>({ "key", "refusal", "readable", "err" });
        const QString audio = toneWav();
        if (!readable)
            test::writeFile(audio, "not audio at all");
        if (!refusal.isEmpty())
            m_gemini->enqueue(FakeGemini::error(400, refusal));
        m_gemini->enqueue(FakeGemini::text("Sent as WAV"));
        const test::CommandResult result = run({ "transcribe", audio }, key);
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.err.startsWith(err) && result.err.count('\n') == 1, result.err.constData());
        QVERIFY(result.out.isEmpty());
        QTEST(int(m_gemini->requests().size()), "requests");
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
