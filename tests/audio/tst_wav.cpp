#include "audio/wav_reader.h"
#include "audio/wav_writer.h"
#include "store/log.h"
#include "support/data_folder.h"

#include <QDir>
#include <QScopeGuard>
#include <QTest>
#include <QtEndian>

#include <sys/resource.h>

#include <cmath>
#include <csignal>

using namespace kavo;

Q_DECLARE_METATYPE(kavo::AudioFormat)
Q_DECLARE_METATYPE(kavo::WavFormat)

namespace {

constexpr double pi = 3.14159265358979323846;

/// Captured audio in any layout: a `frequency` tone in channel 0 and silence in the others.
class Capture
{
public:
    Capture(const AudioFormat& format, qsizetype frames, double frequency = 1000, double amplitude = 0.5)
        : m_format(format)
        , m_frames(frames)
    {
        const int planes = format.interleaved ? 1 : format.channelCount;
        const qsizetype planeSamples = format.interleaved ? frames * format.channelCount : frames;
        for (int plane = 0; plane < planes; ++plane)
            m_planes.emplace_back(planeSamples * bytesPerSample(format.sampleFormat), '\0');
        for (qsizetype frame = 0; frame < frames; ++frame) {
            const double value = format.sampleRate > 0
                ? amplitude * std::sin(2 * pi * frequency * double(frame) / format.sampleRate)
                : 0.0;
            const qsizetype index = format.interleaved ? frame * format.channelCount : frame;
            if (format.sampleFormat == SampleFormat::float32)
                reinterpret_cast<float*>(m_planes[0].data())[index] = float(value);
            else
                reinterpret_cast<qint16*>(m_planes[0].data())[index] = qint16(std::lround(value * 32767));
        }
    }

    /// Appends the capture as the audio thread would, `chunk` frames at a time.
    void feed(WavWriter& writer, qsizetype chunk) const
    {
        const qsizetype frameBytes
            = bytesPerSample(m_format.sampleFormat) * (m_format.interleaved ? m_format.channelCount : 1);
        for (qsizetype offset = 0; offset < m_frames; offset += chunk) {
            std::vector<const void*> pointers;
            for (const std::string& plane : m_planes)
                pointers.push_back(plane.data() + offset * frameBytes);
            writer.append(AudioBuffer { m_format, std::min(chunk, m_frames - offset), pointers.data() });
        }
    }

private:
    AudioFormat m_format;
    qsizetype m_frames;
    std::vector<std::string> m_planes;
};

double rms(const std::vector<float>& samples, qsizetype from, qsizetype to)
{
    double sum = 0;
    for (qsizetype index = from; index < to; ++index)
        sum += double(samples[index]) * samples[index];
    return std::sqrt(sum / double(to - from));
}

int signChanges(const std::vector<float>& samples, qsizetype from, qsizetype to)
{
    int changes = 0;
    for (qsizetype index = from + 1; index < to; ++index)
        changes += (samples[index - 1] < 0) != (samples[index] < 0);
    return changes;
}

QByteArray chunk(const char* id, const QByteArray& body)
{
    QByteArray bytes(id, 4);
    bytes.append(4, '\0');
    qToLittleEndian<quint32>(quint32(body.size()), bytes.data() + 4);
    bytes.append(body);
    if (body.size() % 2 == 1)
        bytes.append('\0');
    return bytes;
}

QByteArray riff(const QByteArray& chunks)
{
    return "RIFF" + QByteArray(4, '\0') + "WAVE" + chunks;
}

QByteArray fmtBody(quint16 tag, quint16 channels, quint16 bits, const QByteArray& extension = {})
{
    QByteArray body(16, '\0');
    qToLittleEndian<quint16>(tag, body.data());
    qToLittleEndian<quint16>(channels, body.data() + 2);
    qToLittleEndian<quint32>(16000, body.data() + 4);
    qToLittleEndian<quint32>(16000u * channels * bits / 8, body.data() + 8);
    qToLittleEndian<quint16>(quint16(channels * bits / 8), body.data() + 12);
    qToLittleEndian<quint16>(bits, body.data() + 14);
    return body + extension;
}

QByteArray extensible(quint16 subformat)
{
    QByteArray extension(24, '\0');
    qToLittleEndian<quint16>(22, extension.data());
    qToLittleEndian<quint16>(subformat, extension.data() + 8);
    extension.replace(10, 14, QByteArray("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14));
    return extension;
}

QByteArray int16Samples(std::initializer_list<qint16> values)
{
    QByteArray bytes;
    for (qint16 value : values)
        bytes.append(reinterpret_cast<const char*>(&value), 2);
    return bytes;
}

QByteArray floatSamples(std::initializer_list<float> values)
{
    QByteArray bytes;
    for (float value : values)
        bytes.append(reinterpret_cast<const char*>(&value), 4);
    return bytes;
}

} // namespace

class TestWav : public QObject
{
    Q_OBJECT

private:
    QString m_path;

private Q_SLOTS:
    void initTestCase()
    {
        test::useTemporaryDataFolder();
        m_path = QDir(test::useTemporaryDataFolder()).filePath(QStringLiteral("recording.wav"));
    }

    void init()
    {
        Log::reset();
        Log::flush();
    }

    void emptyRecordingIsTheBareHeader()
    {
        WavWriter writer(m_path);
        const float sample = 0.5f;
        const void* planes[] = { &sample };
        writer.append(AudioBuffer { { 48000, 1, SampleFormat::float32, true }, 0, planes });
        QCOMPARE(writer.finish(), 0);
        const QByteArray expected(
            "RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x80\x3E\0\0\0\x7D\0\0\x02\0\x10\0data\0\0\0\0", 44);
        QCOMPARE(test::readFile(m_path), expected);
    }

    void recordsChannelZero_data()
    {
        QTest::addColumn<AudioFormat>("format");
        QTest::addColumn<int>("chunk");
        QTest::newRow("48 kHz float stereo, 10 ms buffers")
            << AudioFormat { 48000, 2, SampleFormat::float32, true } << 480;
        QTest::newRow("48 kHz float stereo planar") << AudioFormat { 48000, 2, SampleFormat::float32, false } << 480;
        QTest::newRow("44.1 kHz int16 stereo") << AudioFormat { 44100, 2, SampleFormat::int16, true } << 441;
        QTest::newRow("16 kHz int16 mono, unchanged") << AudioFormat { 16000, 1, SampleFormat::int16, true } << 160;
        QTest::newRow("one buffer longer than the scratch buffer")
            << AudioFormat { 48000, 4, SampleFormat::float32, false } << 3 * 48000;
    }

    void recordsChannelZero()
    {
        QFETCH(AudioFormat, format);
        QFETCH(int, chunk);
        const int seconds = 3;
        WavWriter writer(m_path);
        Capture(format, qsizetype(seconds) * format.sampleRate).feed(writer, chunk);
        const qint64 frames = writer.finish();
        QVERIFY2(qAbs(frames - seconds * 16000) <= 16, qPrintable(QString::number(frames)));

        const WavAudio audio = readWav(m_path);
        QCOMPARE(audio.format, (WavFormat { 16000, 1, SampleFormat::int16 }));
        QCOMPARE(audio.frameCount(), frames);
        QCOMPARE(qFromLittleEndian<quint32>(test::readFile(m_path).constData() + 40), quint32(2 * frames));
        // A 0.5 tone keeps its level (a down-mix would halve it) and its pitch (1000 cycles a second).
        const std::vector<float>& samples = audio.channels[0];
        QVERIFY2(qAbs(rms(samples, 1600, frames - 1600) - 0.5 / std::sqrt(2.0)) < 0.01,
            qPrintable(QString::number(rms(samples, 1600, frames - 1600))));
        QVERIFY(qAbs(signChanges(samples, 8000, 24000) - 2000) <= 2);
    }

    void formatChangeKeepsBothParts()
    {
        WavWriter writer(m_path);
        Capture({ 48000, 2, SampleFormat::float32, true }, 48000).feed(writer, 480);
        Capture({ 44100, 1, SampleFormat::int16, true }, 44100, 1000, 0.25).feed(writer, 441);
        const qint64 frames = writer.finish();
        QVERIFY2(qAbs(frames - 32000) <= 16, qPrintable(QString::number(frames)));
        const WavAudio audio = readWav(m_path);
        const std::vector<float>& samples = audio.channels[0];
        QVERIFY(qAbs(rms(samples, 2000, 14000) - 0.5 / std::sqrt(2.0)) < 0.01);
        QVERIFY(qAbs(rms(samples, 18000, 30000) - 0.25 / std::sqrt(2.0)) < 0.01);
    }

    void failureStopsWriting_data()
    {
        QTest::addColumn<AudioFormat>("format");
        QTest::addColumn<qint64>("fileSizeLimit");
        QTest::addColumn<qint64>("framesBeforeFailure");
        QTest::addColumn<QString>("logLine");
        QTest::newRow("write error") << AudioFormat { 16000, 1, SampleFormat::int16, true } << qint64(44 + 1000)
                                     << qint64(480) << "could not write the recording: File too large";
        QTest::newRow("unconvertible format") << AudioFormat { 0, 1, SampleFormat::int16,
            true } << qint64(0) << qint64(0) << "cannot convert 0 Hz, 1 channel, 16-bit integer, interleaved to 16 kHz";
    }

    void failureStopsWriting()
    {
        QFETCH(AudioFormat, format);
        QFETCH(qint64, fileSizeLimit);
        QFETCH(qint64, framesBeforeFailure);
        QFETCH(QString, logLine);
        WavWriter writer(m_path);
        {
            rlimit original {};
            getrlimit(RLIMIT_FSIZE, &original);
            const auto restore = qScopeGuard([&] { setrlimit(RLIMIT_FSIZE, &original); });
            if (fileSizeLimit > 0) {
                std::signal(SIGXFSZ, SIG_IGN);
                rlimit limited = original;
                limited.rlim_cur = rlim_t(fileSizeLimit);
                QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
            }
            Capture(format, 16000).feed(writer, 160);
        }
        Capture({ 16000, 1, SampleFormat::int16, true }, 16000).feed(writer, 160);
        QCOMPARE(writer.finish(), framesBeforeFailure);

        Log::flush();
        const QStringList lines = QString::fromUtf8(test::readFile(Log::fileURL())).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().endsWith(' ' + logLine), qPrintable(lines.first()));
        QCOMPARE(readWav(m_path).frameCount(), framesBeforeFailure);
    }

    void readsRecordingFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<WavFormat>("format");
        QTest::addColumn<QList<float>>("channel0");
        QTest::addColumn<QList<float>>("channel1");
        const WavFormat int16Stereo { 16000, 2, SampleFormat::int16 };
        const QByteArray stereo = int16Samples({ 16384, -32768, -8192, 32767 });
        QTest::newRow("int16 stereo") << riff(chunk("fmt ", fmtBody(1, 2, 16)) + chunk("data", stereo)) << int16Stereo
                                      << QList<float> { 0.5f, -0.25f } << QList<float> { -1.0f, 32767 / 32768.0f };
        QTest::newRow("odd chunk before data")
            << riff(chunk("fmt ", fmtBody(1, 2, 16)) + chunk("LIST", "INFOabc") + chunk("data", stereo)) << int16Stereo
            << QList<float> { 0.5f, -0.25f } << QList<float> { -1.0f, 32767 / 32768.0f };
        QTest::newRow("data size beyond the end")
            << riff(chunk("fmt ", fmtBody(1, 2, 16)) + chunk("data", stereo).chopped(2)) << int16Stereo
            << QList<float> { 0.5f } << QList<float> { -1.0f };
        QTest::newRow("float mono") << riff(
            chunk("fmt ", fmtBody(3, 1, 32)) + chunk("data", floatSamples({ 0.75f, -1.5f })))
                                    << WavFormat { 16000, 1, SampleFormat::float32 } << QList<float> { 0.75f, -1.5f }
                                    << QList<float> {};
        QTest::newRow("extensible int16")
            << riff(chunk("fmt ", fmtBody(0xFFFE, 1, 16, extensible(1))) + chunk("data", int16Samples({ -16384 })))
            << WavFormat { 16000, 1, SampleFormat::int16 } << QList<float> { -0.5f } << QList<float> {};
        QTest::newRow("extensible float")
            << riff(chunk("fmt ", fmtBody(0xFFFE, 1, 32, extensible(3))) + chunk("data", floatSamples({ 0.125f })))
            << WavFormat { 16000, 1, SampleFormat::float32 } << QList<float> { 0.125f } << QList<float> {};
    }

    void readsRecordingFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(WavFormat, format);
        QFETCH(QList<float>, channel0);
        QFETCH(QList<float>, channel1);
        test::writeFile(m_path, bytes);
        const WavAudio audio = readWav(m_path);
        QCOMPARE(audio.format, format);
        QCOMPARE(QList<float>(audio.channels[0].begin(), audio.channels[0].end()), channel0);
        if (format.channelCount > 1)
            QCOMPARE(QList<float>(audio.channels[1].begin(), audio.channels[1].end()), channel1);
    }

    void rejectsOtherFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray samples = int16Samples({ 1, 2 });
        QTest::newRow("not RIFF") << QByteArray("ID3\x03 some mp3 bytes that are long enough");
        QTest::newRow("24-bit PCM") << riff(chunk("fmt ", fmtBody(1, 1, 24)) + chunk("data", samples));
        QTest::newRow("A-law") << riff(chunk("fmt ", fmtBody(6, 1, 16)) + chunk("data", samples));
        QTest::newRow("extensible, unknown subformat") << riff(
            chunk("fmt ", fmtBody(0xFFFE, 1, 16, extensible(1).replace(23, 1, "\x72"))) + chunk("data", samples));
        QTest::newRow("no data chunk") << riff(chunk("fmt ", fmtBody(1, 1, 16)) + chunk("LIST", "INFO"));
        QTest::newRow("data before format") << riff(chunk("data", samples) + chunk("fmt ", fmtBody(1, 1, 16)));
        QTest::newRow("empty file") << QByteArray();
    }

    void rejectsOtherFiles()
    {
        QFETCH(QByteArray, bytes);
        test::writeFile(m_path, bytes);
        try {
            readWav(m_path);
            QFAIL("the file was read");
        } catch (const WavError& error) {
            QVERIFY(!error.message().isEmpty());
        }
    }

    void writesTheInputFormat_data()
    {
        QTest::addColumn<WavFormat>("format");
        QTest::newRow("16 kHz mono int16") << WavFormat { 16000, 1, SampleFormat::int16 };
        QTest::newRow("44.1 kHz stereo float") << WavFormat { 44100, 2, SampleFormat::float32 };
    }

    void writesTheInputFormat()
    {
        QFETCH(WavFormat, format);
        std::vector<std::vector<float>> channels(format.channelCount);
        for (int frame = 0; frame < 1000; ++frame) {
            for (int channel = 0; channel < format.channelCount; ++channel)
                channels[channel].push_back(float((frame * 37 + channel * 1001) % 65536 - 32768) / 32768.0f);
        }
        writeWav(m_path, format, channels);
        QCOMPARE(test::readFile(m_path).size(), 44 + 1000 * format.channelCount * bytesPerSample(format.sampleFormat));
        const WavAudio audio = readWav(m_path);
        QCOMPARE(audio.format, format);
        QVERIFY(audio.channels == channels);
    }
};

QTEST_GUILESS_MAIN(TestWav)
#include "tst_wav.moc"
