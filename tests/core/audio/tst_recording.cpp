#include "audio/codec/wav_reader.h"
#include "audio/codec/wav_writer.h"
#include "audio/levels/level_smoother.h"
#include "audio/levels/mic_engine.h"
#include "store/log.h"
#include "support/data_folder.h"
#include "support/table_rows.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>
#include <QtEndian>

#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <numbers>
#include <numeric>
#include <thread>

using namespace kavo;
using namespace std::chrono_literals;
using test::row;
using Formats = QList<kavo::AudioFormat>;
using Floats = QList<float>;
constexpr auto f32 = kavo::SampleFormat::float32, s16 = kavo::SampleFormat::int16;

Q_DECLARE_METATYPE(kavo::AudioFormat)
Q_DECLARE_METATYPE(kavo::WavFormat)

namespace {

/// Feeds buffers of `chunk` frames of `format`: a 1 kHz tone in channel 0, halved in its second half; silence
/// elsewhere.
void feedTone(WavWriter& writer, const AudioFormat& format, qsizetype frames, qsizetype chunk, double amplitude = 0.5)
{
    const int sampleBytes = bytesPerSample(format.sampleFormat);
    const qsizetype frameBytes = sampleBytes * (format.interleaved ? format.channelCount : 1);
    std::vector<QByteArray> planes(format.interleaved ? 1 : format.channelCount, QByteArray(frames * frameBytes, 0));
    for (qsizetype frame = 0; frame < frames && format.sampleRate > 0; ++frame) {
        const double level = frame < frames / 2 ? amplitude : amplitude / 2;
        const double value = level * std::sin(2 * std::numbers::pi * 1000 * double(frame) / format.sampleRate);
        char* at = planes[0].data() + frame * frameBytes;
        sampleBytes == 4 ? qToUnaligned(float(value), at) : qToUnaligned(qint16(std::lround(value * 32767)), at);
    }
    for (qsizetype offset = 0; offset < frames; offset += chunk) {
        std::vector<const void*> pointers;
        for (const QByteArray& plane : planes)
            pointers.push_back(plane.constData() + offset * frameBytes);
        writer.append(AudioBuffer { format, std::min(chunk, frames - offset), pointers.data() });
    }
}

template <typename T> QByteArray littleEndian(std::initializer_list<T> values)
{
    QByteArray bytes(qsizetype(values.size() * sizeof(T)), Qt::Uninitialized);
    qToLittleEndian<T>(values.begin(), qsizetype(values.size()), bytes.data());
    return bytes;
}

QByteArray chunk(const char* id, const QByteArray& body)
{
    return id + littleEndian<quint32>({ quint32(body.size()) }) + body + QByteArray(body.size() % 2, 0);
}

/// A 16 kHz RIFF/WAVE file: a format chunk (WAVE_FORMAT_EXTENSIBLE when `guid` is given), then `chunks`.
QByteArray wav(quint16 tag, quint16 channels, quint16 bits, const QByteArray& chunks, const char* guid = nullptr)
{
    QByteArray format = littleEndian<quint16>({ tag, channels })
        + littleEndian<quint32>({ 16000, 2000u * channels * bits })
        + littleEndian<quint16>({ quint16(channels * bits / 8), bits });
    if (guid)
        format += littleEndian<quint16>({ 22, 0 }) + QByteArray(4, 0) + QByteArray::fromHex(guid);
    return chunk("RIFF", "WAVE" + chunk("fmt ", format) + chunks);
}

/// A "data" chunk of `samples` as 16-bit integers, or as floats when `bits` is 32.
QByteArray data(int bits, const QList<float>& samples)
{
    QByteArray bytes;
    for (float sample : samples)
        bytes += bits == 16 ? littleEndian<qint16>({ qint16(sample * 32768) }) : littleEndian<float>({ sample });
    return chunk("data", bytes);
}

// Subformats of WAVE_FORMAT_EXTENSIBLE: PCM, float and one that is neither (its last byte differs).
constexpr auto pcmGuid = "0100000000001000800000aa00389b71", floatGuid = "0300000000001000800000aa00389b71",
               otherGuid = "0100000000001000800000aa00389b72";

} // namespace

// What becomes of the recorded buffers: the WAV file, and the levels of the meter.
class TestRecording : public QObject
{
    Q_OBJECT

    QString m_path;

private Q_SLOTS:
    void initTestCase() { m_path = QDir(test::useTemporaryDataFolder()).filePath(QStringLiteral("recording.wav")); }

    void writesCanonicalFiles()
    {
        WavWriter writer(m_path);
        const void* planes[] = { nullptr };
        writer.append(AudioBuffer { { 48000, 1, f32, true }, 0, planes });
        QCOMPARE(writer.finish(), 0);
        QCOMPARE(test::readFile(m_path), wav(1, 1, 16, data(16, {}))); // 44 bytes, 16 kHz mono 16-bit
        writeWav(m_path, { 16000, 2, s16 }, { { 0.5f, -0.25f }, { -1.0f, 32767 / 32768.0f } });
        QCOMPARE(test::readFile(m_path), wav(1, 2, 16, data(16, { 0.5f, -1.0f, -0.25f, 32767 / 32768.0f })));
        writeWav(m_path, { 16000, 1, f32 }, { { 0.75f, -1.5f } });
        QCOMPARE(test::readFile(m_path), wav(3, 1, 32, data(32, { 0.75f, -1.5f })));
    }

    void recordsChannelZero_data()
    {
        // 2 s of each format in turn in buffers of `chunkMs`, each second half as loud as the one before.
        test::columns<Formats, int>({ "formats", "chunkMs" });
        row("48 kHz float planar", Formats { { 48000, 2, f32, false } }, 10);
        row("44.1 kHz int16 stereo", Formats { { 44100, 2, s16, true } }, 10);
        row("16 kHz int16 mono", Formats { { 16000, 1, s16, true } }, 10);
        row("one buffer beyond the scratch", Formats { { 48000, 4, f32, false } }, 2000);
        row("format change", Formats { { 48000, 2, f32, true }, { 44100, 1, s16, true } }, 10);
    }

    void recordsChannelZero()
    {
        const auto [formats, chunkMs] = test::fetch<Formats, int>({ "formats", "chunkMs" });
        WavWriter writer(m_path);
        for (qsizetype part = 0; part < formats.size(); ++part)
            feedTone(writer, formats[part], 2 * formats[part].sampleRate, formats[part].sampleRate * chunkMs / 1000,
                0.5 / (1 << 2 * part));
        const qint64 frames = writer.finish();
        // Drained at the end and at each change of format, the resampler's delay loses nothing.
        QVERIFY2(qAbs(frames - 32000 * formats.size()) <= 1, qPrintable(QString::number(frames)));

        const WavAudio audio = readWav(m_path);
        QCOMPARE(audio.frameCount(), frames);
        QCOMPARE(qFromLittleEndian<quint32>(test::readFile(m_path).constData() + 40), quint32(2 * frames));
        // Each second keeps its level: a down-mix would halve it, a lost or repeated buffer would move it.
        for (int second = 0; second < 2 * formats.size(); ++second) {
            const auto from = audio.channels[0].begin() + 16000 * second + 800;
            const double rms = std::sqrt(std::inner_product(from, from + 14400, from, 0.0) / 14400);
            QVERIFY2(qAbs(rms - 0.5 / (1 << second) / std::sqrt(2.0)) < 0.01, qPrintable(QString::number(rms)));
        }
    }

    void failureStopsWriting_data()
    {
        test::columns<int, int, int, QString>({ "sampleRate", "fileSizeLimit", "framesBefore", "logLine" });
        row("write error", 16000, 44 + 1000, 480, "could not write the recording: File too large");
        row("unconvertible format", 0, 0, 0, "cannot convert 0 Hz, 1 channel, 16-bit integer, interleaved to 16 kHz");
    }

    void failureStopsWriting()
    {
        const auto [sampleRate, fileSizeLimit, framesBefore, logLine]
            = test::fetch<int, int, int, QString>({ "sampleRate", "fileSizeLimit", "framesBefore", "logLine" });
        Log::reset();
        WavWriter writer(m_path);
        rlimit original {};
        getrlimit(RLIMIT_FSIZE, &original);
        const rlimit limited { fileSizeLimit > 0 ? rlim_t(fileSizeLimit) : original.rlim_cur, original.rlim_max };
        std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        feedTone(writer, { sampleRate, 1, s16, true }, 16000, 160);
        setrlimit(RLIMIT_FSIZE, &original);
        feedTone(writer, { 16000, 1, s16, true }, 16000, 160);
        QCOMPARE(writer.finish(), qint64(framesBefore));

        QCOMPARE(test::logText(), logLine + '\n');
        QCOMPARE(readWav(m_path).frameCount(), qsizetype(framesBefore));
    }

    void readsRecordingFiles_data()
    {
        // Expected samples are interleaved; files of no format are rejected.
        test::columns<QByteArray, WavFormat, QList<float>>({ "bytes", "format", "samples" });
        const WavFormat s16Stereo { 16000, 2, s16 }, s16Mono { 16000, 1, s16 }, f32Mono { 16000, 1, f32 }, rejected {};
        const QList<float> stereo { 0.5f, -1.0f, -0.25f, 32767 / 32768.0f }, mono { 0.75f, -1.5f }, none;
        row("odd chunk before data", wav(1, 2, 16, chunk("LIST", "INFOabc") + data(16, stereo)), s16Stereo, stereo);
        row("data size beyond the end", wav(1, 2, 16, data(16, stereo).chopped(2)), s16Stereo, stereo.first(2));
        row("float mono", wav(3, 1, 32, data(32, mono)), f32Mono, mono);
        row("extensible int16", wav(0xFFFE, 1, 16, data(16, stereo), pcmGuid), s16Mono, stereo);
        row("extensible float", wav(0xFFFE, 1, 32, data(32, mono), floatGuid), f32Mono, mono);
        row("not RIFF", QByteArray("ID3\x03 some mp3 bytes that are long enough"), rejected, none);
        row("24-bit PCM", wav(1, 1, 24, data(16, stereo)), rejected, none);
        row("A-law", wav(6, 1, 16, data(16, stereo)), rejected, none);
        row("extensible, unknown subformat", wav(0xFFFE, 1, 16, data(16, stereo), otherGuid), rejected, none);
        row("no data chunk", wav(1, 1, 16, chunk("LIST", "INFO")), rejected, none);
        row("data before format", chunk("RIFF", "WAVE" + data(16, stereo) + wav(1, 1, 16, {}).mid(12)), rejected, none);
        row("empty file", QByteArray(), rejected, none);
    }

    void readsRecordingFiles()
    {
        const auto [bytes, format, samples]
            = test::fetch<QByteArray, WavFormat, QList<float>>({ "bytes", "format", "samples" });
        test::writeFile(m_path, bytes);
        if (format == WavFormat {}) {
            QVERIFY_THROWS_EXCEPTION(WavError, readWav(m_path));
            return;
        }
        const WavAudio audio = readWav(m_path);
        QCOMPARE(audio.format, format);
        QList<float> interleaved;
        for (qsizetype frame = 0; frame < audio.frameCount(); ++frame)
            for (const std::vector<float>& channel : audio.channels)
                interleaved.append(channel[frame]);
        QCOMPARE(interleaved, samples);
    }

    void windowDecibels_data()
    {
        test::columns<Floats, int, double, Floats>({ "samples", "channels", "sampleRate", "expected" });
        Floats sine; // full scale at a quarter of the sample rate, RMS 1/sqrt(2); as stereo, channel 0 is silent
        for (int i = 0; i < 400; ++i)
            sine << 0 << 1 << 0 << -1;
        row("no frames", Floats(), 1, 16000.0, Floats());
        row("no sample rate", Floats(800, 0.1f), 1, 0.0, Floats());
        row("digital silence", Floats(1600, 0), 1, 16000.0, Floats { -160, -160 });
        row("full-scale sine", sine, 1, 16000.0, Floats { -3.0103f, -3.0103f });
        row("loud then quiet", Floats(800, 0.1f) + Floats(800, 0.01f), 1, 16000.0, Floats { -20, -40 });
        row("channel 0 of stereo", sine, 2, 16000.0, Floats { -160 });
        row("shorter than a window", Floats(10, 0.5f), 1, 16000.0, Floats { -6.0206f });
        // 2.5 windows round up to 3 of ceil(2000 / 3) = 667 frames; the last one is shorter.
        row("2.5 windows are 3", Floats(667, 0.1f) + Floats(1333, 0.01f), 1, 16000.0, Floats { -20, -40, -40 });
    }

    void windowDecibels()
    {
        const auto [samples, channels, sampleRate, expected]
            = test::fetch<Floats, int, double, Floats>({ "samples", "channels", "sampleRate", "expected" });
        const Floats levels = MicEngine::windowDecibels({ samples, channels, sampleRate }, 0.05);
        QCOMPARE(levels.size(), expected.size());
        for (qsizetype i = 0; i < levels.size(); ++i)
            QVERIFY2(std::abs(levels[i] - expected[i]) < 0.01, qPrintable(QString::number(levels[i])));
    }

    void displayValueAndTapFrames()
    {
        // Clamped at -50 dB and at full scale; a level from broken samples (NaN) shows as silence.
        for (const auto& [decibels, display] : { std::pair { -160.0, 0.0 }, { -50.0, 0.0 }, { -25.0, 0.5 },
                 { -3.0103, 0.939794 }, { 0.0, 1.0 }, { 6.0, 1.0 }, { std::nan(""), 0.0 } })
            QCOMPARE(MicEngine::displayValue(decibels), display);
        // 100 ms of audio, truncated, at least one frame.
        for (const auto& [sampleRate, frames] : { std::pair { 16000.0, 1600u }, { 11025.0, 1102u }, { 5.0, 1u } })
            QCOMPARE(MicEngine::tapFrames(sampleRate), frames);
    }

    void deliverSpaced_data()
    {
        test::columns<bool, int>({ "fromAudioThread", "destroyAfter" }); // -1: the receiver lives on
        row("from a thread Qt did not start", true, -1);
        row("from the main thread", false, -1);
        row("receiver gone before the first level", true, 0);
        row("receiver gone by a delivery", false, 3);
    }

    void deliverSpaced()
    {
        const auto [fromAudioThread, destroyAfter] = test::fetch<bool, int>({ "fromAudioThread", "destroyAfter" });
        const Floats samples(4800), levels { -60, -50, -40, -30, -20, -10 }; // 0.3 s at 16 kHz: 50 ms apart
        auto receiver = std::make_unique<QObject>();
        Floats received;
        QList<qint64> arrivals;
        QElapsedTimer clock;
        clock.start();
        const auto deliver = [&] {
            MicEngine::deliverSpaced(levels, { { samples.data(), 4800 }, 1, 16000 }, receiver.get(), [&](float level) {
                QVERIFY(QThread::currentThread() == thread());
                received.append(level);
                arrivals.append(clock.elapsed());
                if (received.size() == destroyAfter)
                    receiver.reset();
            });
        };
        fromAudioThread ? std::thread(deliver).join() : deliver();
        if (destroyAfter == 0)
            receiver.reset();
        const qsizetype expected = destroyAfter < 0 ? levels.size() : destroyAfter;
        QTRY_COMPARE_WITH_TIMEOUT(received.size(), expected, 10000);
        QTest::qWait(300); // time for any level that should not come
        QCOMPARE(received, levels.first(expected));
        // Level i is due 50 ms * i after the call; a busy machine may only make them later.
        QVERIFY(expected == 0 || arrivals.last() >= (expected - 1) * 50 - 2);
    }

    void smoother_data()
    {
        // Steps of `frameUs` toward `target` from the other end (0 or 1), after a first step that moves nothing.
        test::columns<double, int, int, double, double>({ "target", "frameUs", "frames", "low", "high" });
        row("rising: under half after two frames", 1.0, 16667, 2, 0.0, 0.5);
        row("rising: past half after three", 1.0, 16667, 3, 0.5, 1.0);
        row("falling: over half after seven", 0.0, 16667, 7, 0.5, 1.0);
        row("falling: under half after eight", 0.0, 16667, 8, 0.0, 0.5);
        row("a 2 s pause counts as 0.1 s", 1.0, 2'000'000, 1, 0.81, 0.82); // 1 - e^(-0.1 / 0.06)
        row("time going back moves nothing", 1.0, -1'000'000, 1, 0.0, 0.0);
    }

    void smoother()
    {
        const auto [target, frameUs, frames, low, high]
            = test::fetch<double, int, int, double, double>({ "target", "frameUs", "frames", "low", "high" });
        LevelSmoother smoother;
        LevelSmoother::Clock::time_point now;
        for (int i = 0; target == 0 && i < 30; ++i)
            smoother.step(1, now += 100ms);
        QCOMPARE(smoother.step(target, now), 1 - target);
        for (int i = 0; i < frames; ++i)
            smoother.step(target, now += std::chrono::microseconds(frameUs));
        QVERIFY2(smoother.value() >= low && smoother.value() <= high, qPrintable(QString::number(smoother.value())));
    }
};

QTEST_GUILESS_MAIN(TestRecording)
#include "tst_recording.moc"
