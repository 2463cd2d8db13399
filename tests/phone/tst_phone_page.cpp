#include "phone/phone_page.h"
#include "phone/phone_server.h"

#include "support/command_runner.h"
#include "support/data_folder.h"
#include "support/table_rows.h"

#include <QCoroTimer>
#include <QDeadlineTimer>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTime>
#include <QUrlQuery>
#include <QtEndian>

#include <sched.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <functional>
#include <stdexcept>

using namespace kavo;
using namespace std::chrono_literals;
using test::row;

namespace {

const QString token = QStringLiteral("Pg7token");
// A computer name that is markup if the page lets it through.
const QString markupName = QStringLiteral("<b>Aziz's \"Lab\" & Co</b>");

// The clip as the page should have made it: 16 kHz mono 16-bit PCM, its samples as read back.
struct Wav
{
    QList<qint16> samples;
    QString problem;
};

Wav readWav(const QByteArray& bytes)
{
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
    const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(bytes.constData() + at); };
    if (bytes.size() < 44)
        return { {}, QStringLiteral("%1 bytes, shorter than a WAV header").arg(bytes.size()) };
    const quint32 data = u32(40);
    const QList<std::pair<const char*, bool>> fields {
        { "RIFF tag", bytes.first(4) == "RIFF" },
        { "RIFF size", u32(4) == 36 + data },
        { "WAVE tag", bytes.mid(8, 4) == "WAVE" },
        { "fmt tag", bytes.mid(12, 4) == "fmt " },
        { "fmt size", u32(16) == 16 },
        { "PCM", u16(20) == 1 },
        { "one channel", u16(22) == 1 },
        { "16000 Hz", u32(24) == 16000 },
        { "byte rate", u32(28) == 32000 },
        { "block align", u16(32) == 2 },
        { "16 bits", u16(34) == 16 },
        { "data tag", bytes.mid(36, 4) == "data" },
        { "data size", data == quint32(bytes.size() - 44) && data % 2 == 0 },
    };
    for (const auto& [field, right] : fields) {
        if (!right)
            return { {}, QStringLiteral("wrong %1").arg(QLatin1String(field)) };
    }
    Wav wav;
    for (qsizetype at = 44; at < bytes.size(); at += 2)
        wav.samples.append(qFromLittleEndian<qint16>(bytes.constData() + at));
    return wav;
}

QString minutesSeconds(double seconds)
{
    const int whole = int(seconds);
    return QStringLiteral("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
}

QStringList strings(const QJsonValue& value)
{
    QStringList list;
    for (const auto& item : value.toArray())
        list.append(item.toString());
    return list;
}

// Whether anything still accepts connections on the port.
bool listening(quint16 port)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    return socket.waitForConnected(1000);
}

// The page's sound and time arithmetic on chosen input: script expressions and their values as JSON.
const QList<std::array<QString, 3>> pageCalculations {
    { "48 kHz: each sample the mean of three",
        "Array.from(resample(Float32Array.from({ length: 48 }, (_, i) => i), 48000))",
        "[1,4,7,10,13,16,19,22,25,28,31,34,37,40,43,46]" },
    { "48 kHz: 48000 samples become 16000", "resample(new Float32Array(48000), 48000).length", "16000" },
    { "44.1 kHz: two or three inputs to a sample",
        "Array.from(resample(Float32Array.from({ length: 12 }, (_, i) => i), 44100))", "[0.5,3,6,9]" },
    { "16 kHz: unchanged", "Array.from(resample(Float32Array.of(0.5, -0.25), 16000))", "[0.5,-0.25]" },
    { "WAV samples: scaled by sign, clamped, cut toward zero",
        "encodeWav(Float32Array.of(-1, 1, 0.5, -0.5, 2, -2, 0.00005)).arrayBuffer().then(b => Array.from(new "
        "Int16Array(b, 44)))",
        "[-32768,32767,16383,-16384,32767,-32768,1]" },
    { "bars: loudness against the loudest slice",
        "barHeights(Float32Array.from({ length: 72 }, (_, i) => i < 36 ? 0.25 : 1))",
        "[14,14,14,14,14,14,14,14,14,14,14,14,14,14,14,14,14,14,32,32,32,32,32,32,32,32,32,32,32,32,32,32,32,32,32,"
        "32]" },
    { "bars: silence", "barHeights(new Float32Array(100))",
        "[5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5]" },
    { "M:SS", "[-3, 0, 59.9, 61, 600].map(minutesSeconds)", R"(["0:00","0:00","0:59","1:01","10:00"])" },
};

} // namespace

class TestPhonePage : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;
    QString m_speech;
    PhoneServer* m_server = nullptr;
    QList<std::pair<QByteArray, QString>> m_uploads;
    // What the desktop answers the next uploads, in order: a transcript, or "!" and the error it fails with.
    QStringList m_replies;
    std::chrono::milliseconds m_transcribing = 0ms;
    QJsonArray m_values;

    QCoro::Task<QString> transcribe(QByteArray body, QString contentType)
    {
        m_uploads.append({ body, contentType });
        const QString reply = m_replies.isEmpty() ? QStringLiteral("!no reply planned") : m_replies.takeFirst();
        if (m_transcribing > 0ms)
            co_await QCoro::sleepFor(m_transcribing);
        if (reply.startsWith(u'!'))
            throw std::runtime_error(reply.sliced(1).toStdString());
        co_return reply;
    }

    void startServer(const QString& serverToken)
    {
        m_server->start(m_server->port(), std::nullopt, serverToken);
        QTRY_VERIFY_WITH_TIMEOUT(m_server->isRunning(), 30000);
    }

    // Plays the actions of phone_page.mjs on the page the server gives for `pageToken` (two minutes at most), doing
    // the server's steps in between, and returns what the page showed. Fails the test when the actions fail or the
    // page throws.
    QJsonObject play(const QString& pageToken, const QStringList& actions)
    {
        const QJsonObject options {
            { "url", QStringLiteral("https://127.0.0.1:%1/?t=%2").arg(m_server->port()).arg(pageToken) },
            { "speech", m_speech }, { "shots", KAVO_SCREENSHOT_DIR }, { "actions", QJsonArray::fromStringList(actions) }
        };
        QProcess node;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("KAVO_PLAYWRIGHT", KAVO_PLAYWRIGHT);
        node.setProcessEnvironment(environment);
        QByteArray pending;
        QStringList steps;
        QStringList problems;
        QJsonObject result;
        const auto read = [&] {
            pending += node.readAllStandardOutput();
            for (qsizetype end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1)) {
                const QJsonObject line = QJsonDocument::fromJson(pending.first(end)).object();
                if (line.contains("step"))
                    steps.append(line.value("step").toString());
                else if (line.contains("error") || !line.contains("result"))
                    problems.append(QString::fromUtf8(pending.first(end)));
                result = line.value("result").toObject(result);
            }
        };
        connect(&node, &QProcess::readyReadStandardOutput, this, read);
        node.start(KAVO_NODE, { KAVO_PHONE_PAGE_SCRIPT, QJsonDocument(options).toJson(QJsonDocument::Compact) });
        const QDeadlineTimer deadline(120s);
        while (QTest::qWaitFor([&] { return node.state() == QProcess::NotRunning || !steps.isEmpty(); },
                   int(deadline.remainingTime()))
            && !steps.isEmpty()) {
            // "stop", or "start:TOKEN".
            const QString step = steps.takeFirst();
            if (step == "stop") {
                const quint16 port = m_server->port();
                m_server->stop();
                [&] { QTRY_VERIFY_WITH_TIMEOUT(!listening(port), 10000); }();
            } else {
                startServer(step.section(u':', 1));
            }
            node.write("done\n");
        }
        if (node.state() != QProcess::NotRunning) {
            node.kill();
            problems.append(QStringLiteral("the actions did not end within two minutes"));
        }
        node.waitForFinished();
        read();
        if (const QString errors = QString::fromUtf8(node.readAllStandardError()).trimmed(); !errors.isEmpty())
            problems.append(errors);
        [&] { QVERIFY2(problems.isEmpty() && !result.isEmpty(), qPrintable(problems.join(u'\n'))); }();
        return result;
    }

    // A clip as the desktop got it: a WAV of the page's own format, exactly as long as what the microphone gave,
    // with the speech in it, and the player's time and bars drawn from it.
    void checkClip(const QByteArray& bytes, const QJsonObject& capture, const QJsonObject& recorded)
    {
        const Wav wav = readWav(bytes);
        QVERIFY2(wav.problem.isEmpty(), qPrintable(wav.problem));
        // Blocks of 4096 samples at the capture's rate, rate / 16000 of them to each sample of the clip.
        const double rate = capture.value("rate").toDouble();
        const double captured = capture.value("blocks").toDouble() * 4096;
        QCOMPARE(wav.samples.size(), qsizetype(rate == 16000 ? captured : std::floor(captured / (rate / 16000))));
        double energy = 0;
        for (const qint16 sample : wav.samples)
            energy += double(sample) * sample;
        QVERIFY2(std::sqrt(energy / wav.samples.size()) > 300, "the clip is silent");
        QCOMPARE(recorded.value("clipTime").toString(), minutesSeconds(wav.samples.size() / 16000.0));
        // The bars of speech: the loudest slice full height, the others between.
        QList<int> bars;
        for (const auto& bar : recorded.value("bars").toArray())
            bars.append(bar.toInt());
        QCOMPARE(bars.size(), 36);
        QCOMPARE(*std::max_element(bars.begin(), bars.end()), 32);
        QVERIFY2(*std::min_element(bars.begin(), bars.end()) >= 5 && bars.count(32) < 36,
            qPrintable(QDebug::toString(bars)));
    }

    // Screen, chip, device line, error and sent rows, the empty ones left out.
    static QString summary(const QJsonObject& read)
    {
        QStringList parts { read.value("screen").toString(), read.value("chip").toString(),
            read.value("deviceLine").toString(), read.value("error").toString(),
            strings(read.value("rows")).join(", ") };
        parts.removeAll(QString());
        return parts.join(" | ");
    }

private Q_SLOTS:
    void initTestCase()
    {
        test::useTemporaryDataFolder();
        QVERIFY2(QFileInfo::exists(KAVO_PLAYWRIGHT), "playwright-core is missing: run scripts/setup");
        m_speech = m_folder.filePath("speech.wav");
        const QString spoken
            = test::makeSpeechWav(m_speech, "Kavo Voice takes dictation from the phone in the pocket.");
        QVERIFY2(spoken.isEmpty(), qPrintable(spoken));
        QDir().mkpath(KAVO_SCREENSHOT_DIR);

        // In a host-name namespace of this process (allowed to root) the computer gets a name with markup; the server
        // made below reads it on its own thread, which inherits the namespace.
        const QByteArray name = markupName.toUtf8();
        if (unshare(CLONE_NEWUTS) != 0 || sethostname(name.constData(), size_t(name.size())) != 0)
            qInfo("no host-name namespace: the page shows this computer's own name");
        m_server = new PhoneServer(ServerIdentity(), this);
        m_server->setAudioHandler([this](QByteArray body, QString type) { return transcribe(body, type); });
        m_server->start(0, std::nullopt, token);
        QTRY_VERIFY_WITH_TIMEOUT(m_server->isRunning(), 30000);
    }

    void init()
    {
        m_uploads.clear();
        if (!m_server->isRunning() || m_server->token() != token)
            startServer(token);
    }

    void flows_data()
    {
        test::columns<QString, QStringList, QStringList, int, QStringList>(
            { "serverToken", "actions", "replies", "transcribingMs", "reads" });
        const QString on = " | Ulandi | Kompyuterga ulandi";
        const QString off = " | Uzildi | Aloqa yo'q";
        const QString connecting = "connecting | Ulanmoqda | Ulanish tekshirilmoqda…";
        const QString failure = "Gemini <i>overloaded</i> & \"busy\"";
        const QString refused
            = " | Mikrofonga ruxsat berilmadi. Brauzer sozlamalarida bu sahifa uchun mikrofonni yoqing.";
        const QStringList ask { "open:ask", "wait:permission", "tap:permission", "error", "read", "grant",
            "tap:permission", "wait:ready" };
        row("record, send, the text comes after a while", token,
            QStringList { "open", "wait:ready", "read", "record:2.5", "read", "tap:recorded",
                "text:Matnga o'girilmoqda…", "wait:sent|recorded|disconnected", "read" },
            QStringList { "Salom" }, 1500,
            QStringList { "ready" + on, "recorded" + on, "sent" + on + " | Audio yozuv HH:MM · 0:02" });
        row("a new token while the clip waits", token,
            QStringList { "open", "wait:ready", "record:1", "read", "step:start:Other7token", "tap:recorded",
                "wait:disconnected|recorded|sent", "read" },
            QStringList(), 0, QStringList { "recorded" + on, "disconnected" + off });
        row("the desktop fails to transcribe, the clip goes again", token,
            QStringList { "open", "wait:ready", "record:1", "tap:recorded", "wait:recorded|sent|disconnected", "read",
                "tap:recorded", "wait:sent|recorded|disconnected", "read" },
            QStringList { "!" + failure, "Salom" }, 0,
            QStringList { "recorded" + on + " | Kompyuter matnga o'gira olmadi: " + failure,
                "sent" + on + " | Audio yozuv HH:MM · 0:01" });
        // Whole blocks of 4096 samples at 44.1 or 48 kHz: 0.46 or 0.43 s, and 0.56 or 0.51 s.
        row("microphone refused, then allowed; 0.4 s is too short", token, ask + QStringList { "record:0.4", "read" },
            QStringList(), 0,
            QStringList { "permission" + on + refused,
                "ready" + on + " | Yozuv juda qisqa. Mikrofonni bosib, gapirib, keyin yana bosing." });
        row("microphone refused, then allowed; 0.5 s is kept", token, ask + QStringList { "record:0.5", "read" },
            QStringList(), 0, QStringList { "permission" + on + refused, "recorded" + on });
        // The page's requests carry the token without the characters a script string must not get, which the
        // server does not know.
        row("a token that needs escaping", QString("Ab-3_x9"),
            QStringList { "open", "wait:disconnected|ready", "read" }, QStringList(), 0,
            QStringList { "disconnected" + off });
        // Two failed checks cut the page off, five reconnection attempts give up, then the desktop is back.
        row("the desktop goes away and comes back", token,
            QStringList { "open:clock", "wait:ready", "step:stop", "tick:10000:2", "read", "tick:10000:3", "read",
                "tap:disconnected", "tick:0:4", "read", "tick:2000:5", "read", "tick:2000:6", "read", "tick:2000:7",
                "read", "tick:2000:8", "read", "step:start:" + token, "tap:disconnected", "wait:ready", "tick:0:9",
                "read" },
            QStringList(), 0,
            QStringList { "ready" + on, "disconnected" + off, connecting, connecting, connecting, connecting,
                "disconnected" + off, "ready" + on });
    }

    void flows()
    {
        const auto [serverToken, actions, replies, transcribingMs, reads]
            = test::fetch<QString, QStringList, QStringList, int, QStringList>(
                { "serverToken", "actions", "replies", "transcribingMs", "reads" });
        if (serverToken != token)
            startServer(serverToken);
        m_replies = replies;
        m_transcribing = std::chrono::milliseconds(transcribingMs);
        const QJsonObject result = play(serverToken, actions);

        QStringList shown;
        for (const auto& read : result.value("reads").toArray()) {
            QString text = summary(read.toObject());
            // The send time is the phone's clock.
            const QRegularExpressionMatch sent = QRegularExpression("(\\d\\d:\\d\\d) · ").match(text);
            if (sent.hasMatch()
                && std::abs(QTime::fromString(sent.captured(1), "HH:mm").secsTo(QTime::currentTime())) < 120)
                text.replace(sent.capturedStart(1), 5, "HH:MM");
            shown.append(text);
            QCOMPARE(read.toObject().value("deviceName").toString(), PhonePage::computerName());
        }
        QCOMPARE(shown, reads);

        for (const QString& address : strings(result.value("requests"))) {
            const QUrl url(address);
            if (url.path() != "/" && !url.path().startsWith("/font/"))
                QCOMPARE(QUrlQuery(url).queryItemValue("t"), QString(serverToken).remove(u'-').remove(u'_'));
        }
        QCOMPARE(m_uploads.size(), replies.size());
        QVERIFY(m_replies.isEmpty());
        for (const auto& [bytes, contentType] : std::as_const(m_uploads)) {
            QCOMPARE(contentType, "audio/wav");
            QVERIFY(bytes == m_uploads[0].first);
            const auto recorded
                = std::find_if(shown.begin(), shown.end(), [](auto& text) { return text.startsWith("recorded"); });
            checkClip(bytes, result.value("captures").toArray().last().toObject(),
                result.value("reads").toArray()[recorded - shown.begin()].toObject());
        }
        if (PhonePage::computerName() != markupName)
            qInfo("the computer's own name was shown instead of one with markup");
    }

    void sampleScreens_data()
    {
        test::columns<QString, QString>({ "header", "stage" });
        const QString on = "Ulandi | Kompyuterga ulandi";
        row("connecting", QString("Ulanmoqda | Ulanish tekshirilmoqda…"),
            QString("Kompyuterga ulanmoqda… Kompyuterda Kavo Voice ochiq tursin."));
        row("permission", on,
            QString("Mikrofonga ruxsat bering Brauzer so'raganda «Ruxsat berish» ni bosing. Ovoz faqat sizning "
                    "kompyuteringizga yuboriladi."));
        row("ready", on,
            QString("Bosing va gapiring Tugatgach, audio kompyuteringizga yuboriladi va u yerda matnga o'giriladi."));
        row("rec", on, QString("Eshityapman… 0:14 To'xtatish uchun bosing"));
        row("recorded", on, QString("Yozuv tayyor 0:23"));
        row("sending", on, QString("Yuborilmoqda 0:23 Yuborilmoqda… 64%"));
        row("sent", on + " | Audio yozuv 09:38 · 0:23, Audio yozuv 09:31 · 0:41",
            QString("Kompyuterga yuborildi Matn kompyuterda, Tarix bo'limida paydo bo'ladi. BU SEANSDA Audio yozuv "
                    "09:38 · 0:23 Audio yozuv 09:31 · 0:41"));
        row("disconnected", QString("Uzildi | Aloqa yo'q"),
            QString(
                "Ulanish uzildi Kompyuterda Kavo Voice → Telefondan bo'limini oching va QR kodni qayta skanerlang."));
    }

    // Each sample screen, light and dark, asks the server for nothing but the fonts; the screenshots are for people
    // to look at.
    void sampleScreens()
    {
        const auto [header, stage] = test::fetch<QString, QString>({ "header", "stage" });
        const QString name = QTest::currentDataTag();
        const QJsonObject result = play(token,
            { "open:#state=" + name, "shot:" + name + "-light", "read", "open:dark:#state=" + name,
                "shot:" + name + "-dark", "read" });
        const QJsonArray reads = result.value("reads").toArray();
        QCOMPARE(reads.size(), 2);
        const QList<int> sampleBars { 5, 9, 14, 8, 18, 24, 16, 28, 20, 12, 22, 30, 26, 14, 10, 18, 24, 32, 22, 16, 12,
            20, 26, 18, 10, 14, 22, 28, 18, 12, 8, 16, 20, 12, 7, 5 };
        for (const QString background : { "rgb(245, 247, 250)", "rgb(13, 17, 24)" }) {
            const QJsonObject read = reads[background.contains("245") ? 0 : 1].toObject();
            QCOMPARE(summary(read), name + " | " + header);
            QCOMPARE(read.value("stage").toString(), stage);
            QCOMPARE(read.value("background").toString(), background);
            QCOMPARE(read.value("font").toString(), "14px/20px true");
            QList<int> bars;
            for (const auto& bar : read.value("bars").toArray())
                bars.append(bar.toInt());
            QCOMPARE(bars, name == "recorded" || name == "sending" ? sampleBars : QList<int>());
        }
        for (const QString& address : strings(result.value("requests")))
            QVERIFY2(QUrl(address).path() == "/" || QUrl(address).path().startsWith("/font/"), qPrintable(address));
    }

    void calculations_data()
    {
        test::columns<int>({ "index" });
        for (int index = 0; index < pageCalculations.size(); ++index)
            row(qPrintable(pageCalculations[index][0]), index);
    }

    void calculations()
    {
        const auto [index] = test::fetch<int>({ "index" });
        if (m_values.isEmpty()) {
            QStringList actions { "open:#state=ready" };
            for (const auto& calculation : pageCalculations)
                actions.append("value:" + calculation[1]);
            m_values = play(token, actions).value("values").toArray();
        }
        QCOMPARE(QJsonDocument(QJsonArray { m_values[index] }).toJson(QJsonDocument::Compact),
            "[" + pageCalculations[index][2].toUtf8() + "]");
    }

    void cleanupTestCase() { delete m_server; }
};

QTEST_GUILESS_MAIN(TestPhonePage)
#include "tst_phone_page.moc"
