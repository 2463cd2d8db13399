#include "support/data_folder.h"
#include "support/test_services.h"
#include "support/virtual_microphone.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <fcntl.h>
#include <numeric>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kavo::test;

namespace {

constexpr qsizetype bytesPerSecond = VirtualMicrophone::sampleRate * 2;

template <typename T> QByteArray littleEndian(T value)
{
    QByteArray bytes(sizeof(T), '\0');
    qToLittleEndian<T>(value, bytes.data());
    return bytes;
}

QByteArray bytesOf(const std::vector<qint16>& samples)
{
    QByteArray bytes(qsizetype(samples.size() * 2), Qt::Uninitialized);
    if (!samples.empty())
        qToLittleEndian<qint16>(samples.data(), qsizetype(samples.size()), bytes.data());
    return bytes;
}

QByteArray wavChunk(const char* id, const QByteArray& body)
{
    return id + littleEndian(quint32(body.size())) + body + QByteArray(body.size() % 2, '\0');
}

QByteArray pcm16FormatChunk(quint16 channels, quint32 rate)
{
    return wavChunk("fmt ",
        littleEndian(quint16(1)) + littleEndian(channels) + littleEndian(rate) + littleEndian(rate * channels * 2)
            + littleEndian(quint16(channels * 2)) + littleEndian(quint16(16)));
}

QString run(const QStringList& command)
{
    QProcess process;
    process.start(command.first(), command.mid(1));
    process.waitForFinished(30'000);
    return QString::fromLocal8Bit(process.readAllStandardOutput() + process.readAllStandardError());
}

// A stream's bytes with the time each piece came in, which tells audio paced in real time from a burst.
struct Capture
{
    QElapsedTimer clock;
    QByteArray bytes;
    QMap<qsizetype, qint64> arrivals; // bytes so far -> milliseconds since the start

    Capture() { clock.start(); }
    void add(const QByteArray& more) { arrivals.insert((bytes += more).size(), clock.elapsed()); }
    qint64 timeOf(qsizetype count) const { return arrivals.lowerBound(count).value(); }
};

} // namespace

class TestServicesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useTemporaryDataFolder(); }

    void readsWav_data()
    {
        QTest::addColumn<QByteArray>("chunks");
        QTest::addColumn<bool>("valid");
        const QByteArray samples = bytesOf({ 1, -2, 32767, -32768 }), pcm = pcm16FormatChunk(1, 16000);
        const QByteArray data = wavChunk("data", samples), list = wavChunk("LIST", "INFOISFT");
        QTest::newRow("plain") << QByteArray(pcm + data) << true;
        QTest::newRow("LIST before data") << QByteArray(pcm + list + data) << true;
        QTest::newRow("odd-size chunk padded") << QByteArray(pcm + wavChunk("odd ", "abc") + data) << true;
        QTest::newRow("streamed data size") << QByteArray(pcm + "data\xff\xff\xff\xff" + samples) << true;
        QTest::newRow("espeak-ng's 22.05 kHz") << QByteArray(pcm16FormatChunk(1, 22050) + data) << false;
        QTest::newRow("no data chunk") << QByteArray(pcm + list) << false;
    }

    void readsWav()
    {
        QFETCH(QByteArray, chunks);
        QFETCH(bool, valid);
        const WavSamples wav = readWav(wavChunk("RIFF", "WAVE" + chunks));
        QVERIFY2(wav.isValid() == valid, qPrintable(wav.error));
        QCOMPARE(bytesOf(wav.samples), valid ? bytesOf({ 1, -2, 32767, -32768 }) : QByteArray());
    }

    void pacesChunksInRealTime()
    {
        const QByteArray path = QFile::encodeName(useTemporaryDataFolder() + "/microphone.fifo");
        QCOMPARE(::mkfifo(path.constData(), 0600), 0);
        VirtualMicrophone microphone(QFile::decodeName(path));
        std::vector<qint16> ramp(VirtualMicrophone::sampleRate + 170); // ends in a short chunk
        std::iota(ramp.begin(), ramp.end(), qint16(1));
        microphone.setSamples(ramp);
        QVERIFY2(!microphone.start() && !microphone.isRunning(), "started on a FIFO nothing reads");

        const int reader = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        const auto closeReader = qScopeGuard([reader] { ::close(reader); });
        const QByteArray content = bytesOf(ramp);
        const qint64 duration = microphone.contentDuration().count();
        Capture capture;
        QVERIFY2(microphone.start(), qPrintable(microphone.errorString()));
        for (char buffer[4096]; capture.bytes.size() < content.size() && capture.clock.elapsed() < 30'000;)
            if (pollfd readable { reader, POLLIN, 0 }; ::poll(&readable, 1, 100) > 0)
                capture.add(QByteArray(buffer, std::max<ssize_t>(0, ::read(reader, buffer, sizeof buffer))));
        QVERIFY2(capture.bytes == content, "the content did not arrive intact");
        const qint64 halfAt = capture.timeOf(content.size() / 2), allAt = capture.timeOf(content.size());
        QVERIFY2(halfAt >= duration * 4 / 10 && allAt >= duration * 9 / 10 - 20 && allAt <= duration * 3 / 2,
            qPrintable(QStringLiteral("half in %1 ms, all in %2 ms").arg(halfAt).arg(allAt)));
        QVERIFY2(microphone.wait(std::chrono::seconds(5)), qPrintable(microphone.errorString()));
    }

    void servicesAreThePrivateOnes_data()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        QTest::addColumn<QStringList>("command"); // rows: the variable naming the service's private place
        QTest::addColumn<QString>("expected");
        QTest::newRow("PULSE_SERVER") << QStringList { "pactl", "info" }
                                      << QString("Server String: " + TestServices::pulseServer() + '\n');
        QTest::newRow("KAVO_TEST_MIC_FIFO")
            << QStringList { "pactl", "get-default-source" } << QStringLiteral("kavo_test_mic\n");
        QTest::newRow("XAUTHORITY") << QStringList { "xset", "-q" } << QStringLiteral("Keyboard Control:");
        QTest::newRow("DBUS_SESSION_BUS_ADDRESS") << QStringList { "dbus-send", "--session", "--print-reply",
            "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.ListNames" }
                                                  << QStringLiteral("string \"org.freedesktop.DBus\"");
    }

    void servicesAreThePrivateOnes()
    {
        QFETCH(QStringList, command);
        QFETCH(QString, expected);
        const QString value = qEnvironmentVariable(QTest::currentDataTag()), folder = TestServices::directory() + '/';
        QVERIFY2(folder.startsWith('/') && value.contains(folder), qPrintable(value + " is outside " + folder));
        const QString output = run(command);
        QVERIFY2(output.contains(expected), qPrintable(command.join(' ') + ": " + output));
    }

    void speechComesBackInRealTime()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        const QString speech = useTemporaryDataFolder() + "/speech.wav";
        const QString error = makeSpeechWav(speech, "The quick brown fox jumps over the lazy dog.");
        QVERIFY2(error.isEmpty(), qPrintable(error));
        VirtualMicrophone microphone;
        QVERIFY2(microphone.setWavFile(speech), qPrintable(microphone.errorString()));
        microphone.setAfterContent(VirtualMicrophone::AfterContent::Silence);
        const auto& samples = microphone.samples();
        const double energy = std::inner_product(samples.cbegin(), samples.cend(), samples.cbegin(), 0.0);
        QVERIFY2(energy / double(samples.size()) > 1000.0 * 1000, "espeak-ng produced too little speech"); // RMS

        Capture capture; // outlives the recorder, whose last output may still come in while it is destroyed
        QProcess recorder;
        connect(&recorder, &QProcess::readyReadStandardOutput, [&] { capture.add(recorder.readAllStandardOutput()); });
        const QString parec = "--raw --format=s16le --rate=16000 --channels=1 --latency-msec=20 --device=";
        recorder.start(QStringLiteral("parec"), QString(parec + TestServices::microphoneSource()).split(' '));
        const auto stopRecorder = qScopeGuard([&recorder] { recorder.close(); });
        // Audio fed before parec's stream is connected would be lost.
        const QString stream = QStringLiteral("application.process.id = \"%1\"").arg(recorder.processId());
        QTRY_VERIFY_WITH_TIMEOUT(run({ "pactl", "list", "source-outputs" }).contains(stream), 10'000);
        QVERIFY2(microphone.start(), qPrintable(microphone.errorString()));

        // Found by its first loud sample, since silence would match anywhere; the pipe source hands on every
        // sample unchanged, so the whole speech must come back, followed by silence.
        const QByteArray sent = bytesOf(samples);
        const auto isLoud = [](qint16 value) { return qAbs(value) > 1000; };
        const qsizetype spoken = 2 * (std::find_if(samples.cbegin(), samples.cend(), isLoud) - samples.cbegin());
        qsizetype at = -1;
        QTRY_VERIFY2_WITH_TIMEOUT((at = capture.bytes.indexOf(sent.mid(spoken, bytesPerSecond / 50)) - spoken) >= 0
                && capture.bytes.size() >= at + sent.size() + bytesPerSecond / 2,
            qPrintable("the speech did not come back " + microphone.errorString()), 20'000);
        QVERIFY2(capture.bytes.sliced(at, sent.size()) == sent, "the speech came back altered");
        QCOMPARE(capture.bytes.sliced(at + sent.size()).count('\0'), capture.bytes.size() - at - sent.size());
        const qint64 duration = microphone.contentDuration().count();
        const qint64 spread = capture.timeOf(at + sent.size()) - capture.timeOf(at + bytesPerSecond / 50);
        QVERIFY2(spread >= duration * 8 / 10 && spread <= duration * 3 / 2,
            qPrintable(QStringLiteral("%1 ms of speech came back over %2 ms").arg(duration).arg(spread)));
    }
};

QTEST_GUILESS_MAIN(TestServicesTest)
#include "tst_test_services.moc"
