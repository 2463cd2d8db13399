#include "support/data_folder.h"
#include "support/test_services.h"
#include "support/virtual_microphone.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;
using kavo::test::TestServices;
using kavo::test::VirtualMicrophone;

namespace {

constexpr qsizetype bytesPerSecond = VirtualMicrophone::sampleRate * 2;

// How a stream's bytes came in over time: after each read, the milliseconds since the start and the total so far.
struct Arrivals
{
    QList<std::pair<qint64, qsizetype>> marks;

    void add(qint64 elapsed, qsizetype total) { marks.append({ elapsed, total }); }

    // When the stream had delivered `count` bytes; -1 when it never did.
    qint64 timeOfByte(qsizetype count) const
    {
        const auto mark = std::find_if(marks.cbegin(), marks.cend(), [count](auto m) { return m.second >= count; });
        return mark == marks.cend() ? -1 : mark->first;
    }
};

QByteArray littleEndianBytes(const std::vector<qint16>& samples)
{
    QByteArray bytes(qsizetype(samples.size() * 2), Qt::Uninitialized);
    for (std::size_t index = 0; index < samples.size(); ++index)
        qToLittleEndian<qint16>(samples[index], bytes.data() + 2 * index);
    return bytes;
}

std::vector<qint16> samplesOf(const QByteArray& bytes)
{
    std::vector<qint16> samples(std::size_t(bytes.size() / 2));
    for (std::size_t index = 0; index < samples.size(); ++index)
        samples[index] = qFromLittleEndian<qint16>(bytes.constData() + 2 * index);
    return samples;
}

std::vector<qint16> ramp(std::size_t count)
{
    std::vector<qint16> samples(count);
    for (std::size_t index = 0; index < count; ++index)
        samples[index] = qint16(index % 20000 - 10000);
    return samples;
}

// First and last 20 ms window whose loudness reaches a tenth of the loudest window, in samples.
std::pair<std::size_t, std::size_t> speechSpan(const std::vector<qint16>& samples)
{
    const std::size_t window = VirtualMicrophone::samplesPerChunk;
    std::vector<double> loudness;
    for (std::size_t start = 0; start + window <= samples.size(); start += window) {
        double sum = 0;
        for (std::size_t index = start; index < start + window; ++index)
            sum += double(samples[index]) * samples[index];
        loudness.push_back(std::sqrt(sum / window));
    }
    const double loudest = loudness.empty() ? 0 : *std::max_element(loudness.cbegin(), loudness.cend());
    const auto loud = [loudest](double value) { return loudest > 0 && value >= loudest / 10; };
    const auto first = std::find_if(loudness.cbegin(), loudness.cend(), loud);
    const auto last = std::find_if(loudness.crbegin(), loudness.crend(), loud);
    if (first == loudness.cend())
        return { 0, 0 };
    return { std::size_t(first - loudness.cbegin()) * window, std::size_t(loudness.crend() - last) * window };
}

QByteArray wavChunk(const char* id, const QByteArray& body)
{
    QByteArray chunk(id, 4);
    chunk.append(4, '\0');
    qToLittleEndian<quint32>(quint32(body.size()), chunk.data() + 4);
    chunk.append(body);
    if (body.size() % 2 == 1)
        chunk.append('\0');
    return chunk;
}

QByteArray formatBody(quint16 tag, quint16 channels, quint32 rate, quint16 bits)
{
    QByteArray body(16, '\0');
    qToLittleEndian<quint16>(tag, body.data());
    qToLittleEndian<quint16>(channels, body.data() + 2);
    qToLittleEndian<quint32>(rate, body.data() + 4);
    qToLittleEndian<quint32>(rate * channels * bits / 8, body.data() + 8);
    qToLittleEndian<quint16>(quint16(channels * bits / 8), body.data() + 12);
    qToLittleEndian<quint16>(bits, body.data() + 14);
    return body;
}

QByteArray extensibleBody(quint16 subFormat)
{
    QByteArray body = formatBody(0xFFFE, 1, 16000, 16);
    QByteArray extension(24, '\0');
    qToLittleEndian<quint16>(22, extension.data());
    qToLittleEndian<quint16>(16, extension.data() + 2);
    qToLittleEndian<quint16>(subFormat, extension.data() + 8);
    return body + extension;
}

QByteArray riff(const QByteArray& chunks)
{
    QByteArray file("RIFF\0\0\0\0WAVE", 12);
    qToLittleEndian<quint32>(quint32(chunks.size() + 4), file.data() + 4);
    return file + chunks;
}

const QByteArray fourSamples = littleEndianBytes({ 1, -2, 32767, -32768 });
const QByteArray pcmFormat = wavChunk("fmt ", formatBody(1, 1, 16000, 16));

QString runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(60'000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QStringLiteral("FAILED: %1 %2").arg(process.errorString(), QString::fromLocal8Bit(process.readAll()));
    return QString::fromLocal8Bit(process.readAll());
}

// Reads a FIFO this test created until `count` bytes arrived or the time is up, noting when each read came in.
QByteArray readFifo(
    int fd, qsizetype count, std::chrono::milliseconds timeout, Arrivals& arrivals, const QElapsedTimer& clock)
{
    QByteArray received;
    char buffer[4096];
    while (received.size() < count && clock.elapsed() < timeout.count()) {
        pollfd readable { fd, POLLIN, 0 };
        if (::poll(&readable, 1, 100) <= 0)
            continue;
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0)
            break;
        received.append(buffer, got);
        arrivals.add(clock.elapsed(), received.size());
    }
    return received;
}

} // namespace

class TestServicesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void readsWavChunks_data();
    void readsWavChunks();
    void microphoneRefusesWithoutReader_data();
    void microphoneRefusesWithoutReader();
    void microphonePacesChunks_data();
    void microphonePacesChunks();
    void microphoneKeepsSilenceUntilStopped();
    void servicesArePrivate_data();
    void servicesArePrivate();
    void servicesAnswer_data();
    void servicesAnswer();
    void pipeSourceKeepsReadingWithoutRecorder();
    void speechComesBackInRealTime();
};

void TestServicesTest::initTestCase()
{
    kavo::test::useTemporaryDataFolder();
}

void TestServicesTest::readsWavChunks_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QList<qint16>>("samples");
    QTest::addColumn<QString>("error");

    const QList<qint16> expected { 1, -2, 32767, -32768 };
    QTest::newRow("plain") << riff(pcmFormat + wavChunk("data", fourSamples)) << expected << QString();
    QTest::newRow("LIST chunk before the data") << riff(
        pcmFormat + wavChunk("LIST", QByteArray("INFOISFT\x0e\0\0\0Lavf59.27.100", 26)) + wavChunk("data", fourSamples))
                                                << expected << QString();
    QTest::newRow("odd-sized chunk is padded")
        << riff(wavChunk("junk", "abc") + pcmFormat + wavChunk("data", fourSamples)) << expected << QString();
    QTest::newRow("extensible PCM") << riff(wavChunk("fmt ", extensibleBody(1)) + wavChunk("data", fourSamples))
                                    << expected << QString();
    QByteArray streamed = riff(pcmFormat + wavChunk("data", fourSamples));
    qToLittleEndian<quint32>(0xFFFFFFFF, streamed.data() + streamed.size() - fourSamples.size() - 4);
    QTest::newRow("data size beyond the end of a streamed file") << streamed << expected << QString();
    QTest::newRow("half a sample at the end is dropped")
        << riff(pcmFormat + wavChunk("data", fourSamples + "\x07")) << expected << QString();

    QTest::newRow("stereo") << riff(wavChunk("fmt ", formatBody(1, 2, 16000, 16)) + wavChunk("data", fourSamples))
                            << QList<qint16>() << QStringLiteral("2 channels, not mono");
    QTest::newRow("44.1 kHz") << riff(wavChunk("fmt ", formatBody(1, 1, 44100, 16)) + wavChunk("data", fourSamples))
                              << QList<qint16>() << QStringLiteral("44100 Hz, not 16000 Hz");
    QTest::newRow("8-bit") << riff(wavChunk("fmt ", formatBody(1, 1, 16000, 8)) + wavChunk("data", fourSamples))
                           << QList<qint16>() << QStringLiteral("8-bit samples, not 16-bit");
    QTest::newRow("float") << riff(wavChunk("fmt ", formatBody(3, 1, 16000, 32)) + wavChunk("data", fourSamples))
                           << QList<qint16>() << QStringLiteral("format 3 is not integer PCM");
    QTest::newRow("extensible float") << riff(wavChunk("fmt ", extensibleBody(3)) + wavChunk("data", fourSamples))
                                      << QList<qint16>() << QStringLiteral("format 3 is not integer PCM");
    QTest::newRow("short fmt chunk") << riff(wavChunk("fmt ", QByteArray(14, '\1')) + wavChunk("data", fourSamples))
                                     << QList<qint16>() << QStringLiteral("the fmt chunk is 14 bytes, too short");
    QTest::newRow("no data chunk") << riff(pcmFormat) << QList<qint16>() << QStringLiteral("no data chunk");
    QTest::newRow("data before fmt") << riff(wavChunk("data", fourSamples) + pcmFormat) << QList<qint16>()
                                     << QStringLiteral("no fmt chunk before the samples");
    QTest::newRow("not RIFF") << QByteArray("RIFX\0\0\0\0WAVE", 12) + pcmFormat << QList<qint16>()
                              << QStringLiteral("not a RIFF WAVE file");
}

void TestServicesTest::readsWavChunks()
{
    QFETCH(QByteArray, file);
    QFETCH(QList<qint16>, samples);
    QFETCH(QString, error);

    const kavo::test::WavSamples wav = kavo::test::readWav(file);
    QCOMPARE(wav.error, error);
    QCOMPARE(QList<qint16>(wav.samples.cbegin(), wav.samples.cend()), samples);
}

void TestServicesTest::microphoneRefusesWithoutReader_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing path") << QStringLiteral("missing");
    QTest::newRow("regular file") << QStringLiteral("file");
    QTest::newRow("FIFO nothing reads") << QStringLiteral("fifo");
}

void TestServicesTest::microphoneRefusesWithoutReader()
{
    QFETCH(QString, kind);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("microphone"));
    if (kind == QLatin1String("file"))
        kavo::test::writeFile(path, "not a pipe");
    if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);

    VirtualMicrophone microphone(path);
    microphone.setSilence(200ms);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!microphone.start());
    QVERIFY2(clock.elapsed() < 5000, "start() must not wait for a reader");
    QVERIFY(!microphone.errorString().isEmpty());
    QVERIFY(!microphone.isRunning());
    QVERIFY(!microphone.wait(100ms));
}

void TestServicesTest::microphonePacesChunks_data()
{
    QTest::addColumn<int>("sampleCount");
    QTest::newRow("whole chunks") << 16000;
    QTest::newRow("short last chunk") << 16000 + 170;
}

void TestServicesTest::microphonePacesChunks()
{
    QFETCH(int, sampleCount);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("microphone"));
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    const int reader = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    QVERIFY(reader >= 0);
    const auto closeReader = qScopeGuard([reader] { ::close(reader); });

    VirtualMicrophone microphone(path);
    microphone.setSamples(ramp(std::size_t(sampleCount)));
    const QByteArray expected = littleEndianBytes(microphone.samples());
    const qint64 duration = qint64(sampleCount) * 1000 / VirtualMicrophone::sampleRate;

    QElapsedTimer clock;
    clock.start();
    QVERIFY2(microphone.start(), qPrintable(microphone.errorString()));
    Arrivals arrivals;
    const QByteArray received = readFifo(reader, expected.size(), 30s, arrivals, clock);
    QVERIFY2(microphone.wait(30s), qPrintable(microphone.errorString()));
    const qint64 finishedAt = clock.elapsed();

    QCOMPARE(received.size(), expected.size());
    QVERIFY(received == expected);
    // Written in real time, the second half cannot have arrived before most of the duration passed; the upper
    // bounds only keep a stuck writer from passing on a busy machine.
    QVERIFY2(arrivals.timeOfByte(expected.size() / 2) >= duration * 4 / 10,
        qPrintable(QStringLiteral("half the audio arrived after %1 ms").arg(arrivals.timeOfByte(expected.size() / 2))));
    QVERIFY2(arrivals.timeOfByte(expected.size()) >= duration * 9 / 10 - 20,
        qPrintable(QStringLiteral("all audio arrived after %1 ms").arg(arrivals.timeOfByte(expected.size()))));
    QVERIFY2(finishedAt >= duration && finishedAt < duration + 10'000,
        qPrintable(QStringLiteral("finished after %1 ms of %2 ms").arg(finishedAt).arg(duration)));
    QVERIFY(microphone.isFinished());
}

void TestServicesTest::microphoneKeepsSilenceUntilStopped()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("microphone"));
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    const int reader = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    QVERIFY(reader >= 0);
    const auto closeReader = qScopeGuard([reader] { ::close(reader); });

    VirtualMicrophone microphone(path);
    microphone.setSamples(ramp(3200));
    microphone.setAfterContent(VirtualMicrophone::AfterContent::Silence);
    QVERIFY2(microphone.start(), qPrintable(microphone.errorString()));
    QVERIFY2(microphone.wait(30s), qPrintable(microphone.errorString()));
    QVERIFY(microphone.isRunning());

    QElapsedTimer clock;
    clock.start();
    Arrivals arrivals;
    const QByteArray content = littleEndianBytes(microphone.samples());
    const QByteArray received = readFifo(reader, content.size() + bytesPerSecond / 2, 30s, arrivals, clock);
    QVERIFY(received.startsWith(content));
    const QByteArray tail = received.sliced(content.size());
    QVERIFY(tail.size() >= bytesPerSecond / 2);
    QCOMPARE(tail.count('\0'), tail.size());

    clock.restart();
    microphone.stop();
    QVERIFY(!microphone.isRunning());
    QVERIFY2(clock.elapsed() < 2000, "stop() must not wait for the silence to end");
    // The writer end is closed: whatever is still buffered drains, then the reader sees the end of the stream.
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(reader, buffer, sizeof buffer)) > 0) { }
    QCOMPARE(got, ssize_t(0));
}

void TestServicesTest::servicesArePrivate_data()
{
    KAVO_REQUIRE_TEST_SERVICES();
    QTest::addColumn<QString>("variable");
    for (const char* name : { "PULSE_SERVER", "PULSE_CLIENTCONFIG", "PULSE_RUNTIME_PATH", "KAVO_TEST_MIC_FIFO",
             "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR", "XAUTHORITY" })
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestServicesTest::servicesArePrivate()
{
    QFETCH(QString, variable);
    const QString directory = TestServices::directory();
    QVERIFY(QFileInfo(directory).isDir());
    const QString value = qEnvironmentVariable(variable.toLatin1().constData());
    QVERIFY2(value.contains(QString(directory + QLatin1Char('/'))),
        qPrintable(QStringLiteral("%1=%2 is outside %3").arg(variable, value, directory)));
}

void TestServicesTest::servicesAnswer_data()
{
    KAVO_REQUIRE_TEST_SERVICES();
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected");

    const QString pactl = QStringLiteral("pactl");
    QTest::newRow("PulseAudio is the private server")
        << pactl << QStringList { QStringLiteral("info") }
        << QStringLiteral("Server String: %1\n").arg(TestServices::pulseServer());
    QTest::newRow("default source is the virtual microphone")
        << pactl << QStringList { QStringLiteral("get-default-source") }
        << QString(TestServices::microphoneSource() + '\n');
    QTest::newRow("default sink is the null sink")
        << pactl << QStringList { QStringLiteral("get-default-sink") } << QString(TestServices::sink() + '\n');
    QTest::newRow("virtual microphone records 16 kHz mono s16le")
        << pactl << QStringList { QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sources") }
        << QString(TestServices::microphoneSource() + QStringLiteral("\tmodule-pipe-source.c\ts16le 1ch 16000Hz"));
    QTest::newRow("Xvfb answers with its screen")
        << QStringLiteral("xdpyinfo") << QStringList() << QStringLiteral("dimensions:    1280x800 pixels");
    QTest::newRow("Xvfb keyboard") << QStringLiteral("xset") << QStringList { QStringLiteral("-q") }
                                   << QStringLiteral("Keyboard Control:");
    QTest::newRow("session bus answers") << QStringLiteral("dbus-send")
                                         << QStringList { QStringLiteral("--session"), QStringLiteral("--print-reply"),
                                                QStringLiteral("--dest=org.freedesktop.DBus"),
                                                QStringLiteral("/org/freedesktop/DBus"),
                                                QStringLiteral("org.freedesktop.DBus.ListNames") }
                                         << QStringLiteral("string \"org.freedesktop.DBus\"");
}

void TestServicesTest::servicesAnswer()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(QString, expected);

    const QString output = runTool(program, arguments);
    QVERIFY2(output.contains(expected), qPrintable(output));
}

void TestServicesTest::pipeSourceKeepsReadingWithoutRecorder()
{
    KAVO_REQUIRE_TEST_SERVICES();
    // The pipe source reads its FIFO only while something records; the services keep a recorder on it so that,
    // with no test recording, the FIFO still drains instead of filling after two seconds and stalling the feed.
    VirtualMicrophone microphone;
    microphone.setSilence(3s);
    QElapsedTimer clock;
    clock.start();
    QVERIFY2(microphone.start(), qPrintable(microphone.errorString()));
    QVERIFY2(microphone.wait(60s), qPrintable(microphone.errorString()));
    QVERIFY2(clock.elapsed() >= 2900, qPrintable(QStringLiteral("3 s played in %1 ms").arg(clock.elapsed())));
}

void TestServicesTest::speechComesBackInRealTime()
{
    KAVO_REQUIRE_TEST_SERVICES();
    QTemporaryDir folder;
    const QString speech = folder.filePath(QStringLiteral("speech.wav"));
    const QString error
        = kavo::test::makeSpeechWav(speech, QStringLiteral("The quick brown fox jumps over the lazy dog."));
    QVERIFY2(error.isEmpty(), qPrintable(error));

    kavo::test::MicrophoneLock lock;
    QVERIFY2(lock.isLocked(), qPrintable(lock.errorString()));
    VirtualMicrophone microphone;
    QVERIFY2(microphone.setWavFile(speech), qPrintable(microphone.errorString()));
    microphone.setAfterContent(VirtualMicrophone::AfterContent::Silence);
    const auto [speechStart, speechEnd] = speechSpan(microphone.samples());
    QVERIFY2(speechEnd - speechStart > std::size_t(VirtualMicrophone::sampleRate), "espeak-ng produced no speech");
    const QByteArray sent = littleEndianBytes(microphone.samples());
    const qint64 duration = microphone.contentDuration().count();

    QProcess recorder;
    QByteArray captured;
    Arrivals arrivals;
    QElapsedTimer clock;
    clock.start();
    connect(&recorder, &QProcess::readyReadStandardOutput, this, [&] {
        captured += recorder.readAllStandardOutput();
        arrivals.add(clock.elapsed(), captured.size());
    });
    recorder.start(QStringLiteral("parec"),
        { QStringLiteral("--raw"), QStringLiteral("--format=s16le"), QStringLiteral("--rate=16000"),
            QStringLiteral("--channels=1"), QStringLiteral("--latency-msec=20"),
            QStringLiteral("--device=") + TestServices::microphoneSource() });
    QVERIFY2(recorder.waitForStarted(30'000), qPrintable(recorder.errorString()));
    const auto stopRecorder = qScopeGuard([&recorder] {
        recorder.terminate();
        if (!recorder.waitForFinished(10'000))
            recorder.kill();
    });
    // Audio fed before parec's stream is connected would be lost, so wait until the server lists the stream.
    const QString recorderStream = QStringLiteral("application.process.id = \"%1\"").arg(recorder.processId());
    QTRY_VERIFY_WITH_TIMEOUT(
        runTool(QStringLiteral("pactl"), { QStringLiteral("list"), QStringLiteral("source-outputs") })
            .contains(recorderStream),
        30'000);

    QVERIFY2(microphone.start(), qPrintable(microphone.errorString()));
    QTRY_VERIFY_WITH_TIMEOUT(microphone.isFinished() || !microphone.isRunning(), int(duration) + 60'000);
    QVERIFY2(microphone.errorString().isEmpty(), qPrintable(microphone.errorString()));
    // Found by its first spoken words, since silence would match anywhere.
    const qsizetype spoken = qsizetype(speechStart) * 2;
    const qsizetype found = captured.indexOf(sent.sliced(spoken, bytesPerSecond / 10));
    QVERIFY2(found >= spoken, "the speech never came back");
    const qsizetype at = found - spoken;
    QTRY_VERIFY_WITH_TIMEOUT(captured.size() >= at + sent.size() + bytesPerSecond / 2, 30'000);

    // Same format at full volume: the pipe source hands on every sample unchanged and in order.
    QVERIFY2(captured.sliced(at, sent.size()) == sent, "the captured audio differs from what was fed");
    const std::vector<qint16> samples = samplesOf(captured.sliced(at, sent.size()));
    const auto [capturedStart, capturedEnd] = speechSpan(samples);
    QCOMPARE(capturedStart, speechStart);
    QCOMPARE(capturedEnd, speechEnd);

    // It came in as a microphone delivers it: spread over the speech's duration, not in one burst.
    const qint64 spread = arrivals.timeOfByte(at + sent.size()) - arrivals.timeOfByte(at + 640);
    QVERIFY2(spread >= duration * 8 / 10 && spread <= duration + 5000,
        qPrintable(QStringLiteral("%1 ms of speech came back over %2 ms").arg(duration).arg(spread)));

    // After the speech the microphone keeps the recorder fed with silence.
    const QByteArray after = captured.sliced(at + sent.size());
    QCOMPARE(after.count('\0'), after.size());
}

QTEST_GUILESS_MAIN(TestServicesTest)
#include "tst_test_services.moc"
