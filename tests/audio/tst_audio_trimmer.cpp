#include "audio/audio_trimmer.h"
#include "audio/wav_reader.h"
#include "store/log.h"
#include "support/data_folder.h"
#include "support/table_rows.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>

#include <cmath>
#include <numbers>

using namespace kavo;

namespace {

/// Frame ranges [start, end).
using Spans = QList<std::pair<qsizetype, qsizetype>>;

const WavFormat monoInt16 { 16000, 1, SampleFormat::int16 };

/// Channel 0 is a loud tone with a hum at about -51 dB, under the silence threshold, in `pauses`; the other
/// channels are loud all through, so only channel 0 can place the cuts.
std::vector<std::vector<float>> recording(const WavFormat& format, qsizetype frames, const Spans& pauses)
{
    std::vector<std::vector<float>> channels(format.channelCount, std::vector<float>(size_t(frames)));
    for (int channel = 0; channel < format.channelCount; ++channel) {
        for (qsizetype frame = 0; frame < frames; ++frame)
            channels[channel][frame]
                = 0.5f * float(std::sin(2 * std::numbers::pi * 437 * (channel + 1) * frame / format.sampleRate));
    }
    for (const auto& [start, end] : pauses) {
        for (qsizetype frame = start; frame < end; ++frame)
            channels[0][frame] *= 0.008f;
    }
    return channels;
}

/// The log's lines without their time stamps.
QStringList logLines()
{
    Log::flush();
    QStringList lines = QString::fromUtf8(test::readFile(Log::fileURL())).split('\n', Qt::SkipEmptyParts);
    for (QString& line : lines)
        line = line.section(' ', 1);
    return lines;
}

} // namespace

Q_DECLARE_METATYPE(kavo::WavFormat)

class TestAudioTrimmer : public QObject
{
    Q_OBJECT

private:
    QString m_input;
    QString m_output;

private Q_SLOTS:
    void initTestCase()
    {
        const QDir folder(test::useTemporaryDataFolder());
        m_input = folder.filePath(QStringLiteral("kavo-1.wav"));
        m_output = folder.filePath(QStringLiteral("kavo-1.trimmed.wav"));
    }

    void init()
    {
        test::emptyDataFolder();
        Log::reset();
        Log::flush();
    }

    void cutsTheMiddleOfLongPauses_data()
    {
        test::columns<WavFormat, double, qsizetype, Spans, Spans, int>(
            { "format", "keepSeconds", "frames", "pauses", "kept", "percentShorter" });
        const Spans twoSeconds { { 32000, 64000 } };
        const Spans quarterKept { { 0, 34000 }, { 62000, 80000 } };
        test::row("quarter second kept", monoInt16, 0.25, qsizetype(80000), twoSeconds, quarterKept, 35);
        test::row(
            "nothing kept", monoInt16, 0.0, qsizetype(80000), twoSeconds, Spans { { 0, 32000 }, { 64000, 80000 } }, 40);
        // A negative margin keeps nothing and takes 20 windows as a long pause; 19 are not.
        test::row("negative margin", monoInt16, -0.5, qsizetype(48000), Spans { { 8000, 14080 }, { 24000, 30400 } },
            Spans { { 0, 24000 }, { 30400, 48000 } }, 14);
        // 150 whole windows and a last one of 100 frames, silent to the end.
        test::row("pause at the end", monoInt16, 0.25, qsizetype(48100), Spans { { 16000, 48100 } },
            Spans { { 0, 18000 }, { 46100, 48100 } }, 59);
        // 220-frame windows (220.5 frames truncated); the margin of 3307 frames keeps 1653 before, 1654 after.
        test::row("11025 Hz", WavFormat { 11025, 1, SampleFormat::int16 }, 0.3, qsizetype(55125),
            Spans { { 22000, 44000 } }, Spans { { 0, 23653 }, { 42346, 55125 } }, 34);
        test::row(
            "stereo", WavFormat { 16000, 2, SampleFormat::int16 }, 0.25, qsizetype(80000), twoSeconds, quarterKept, 35);
        test::row("float", WavFormat { 16000, 1, SampleFormat::float32 }, 0.25, qsizetype(80000), twoSeconds,
            quarterKept, 35);
        // Nothing cut: no file and no log line.
        test::row("no pause", monoInt16, 0.25, qsizetype(32000), Spans {}, Spans {}, 0);
        test::row("pause one window short", monoInt16, 0.25, qsizetype(32000), Spans { { 16000, 24640 } }, Spans {}, 0);
        test::row("silence only, nothing kept", monoInt16, 0.0, qsizetype(32000), Spans { { 0, 32000 } }, Spans {}, 0);
    }

    void cutsTheMiddleOfLongPauses()
    {
        QFETCH(WavFormat, format);
        QFETCH(double, keepSeconds);
        QFETCH(qsizetype, frames);
        QFETCH(Spans, pauses);
        QFETCH(Spans, kept);
        QFETCH(int, percentShorter);
        writeWav(m_input, format, recording(format, frames, pauses));

        const std::optional<QString> trimmed = AudioTrimmer::trimSilence(m_input, keepSeconds);
        if (kept.isEmpty()) {
            QCOMPARE(trimmed, std::nullopt);
            QVERIFY(!QFile::exists(m_output));
            QCOMPARE(logLines(), QStringList());
            return;
        }
        QCOMPARE(trimmed, std::optional(m_output));
        const WavAudio input = readWav(m_input);
        std::vector<std::vector<float>> expected(format.channelCount);
        for (int channel = 0; channel < format.channelCount; ++channel) {
            for (const auto& [start, end] : kept)
                expected[channel].insert(expected[channel].end(), input.channels[channel].begin() + start,
                    input.channels[channel].begin() + end);
        }
        const WavAudio result = readWav(m_output);
        QCOMPARE(result.format, format);
        QVERIFY(result.channels == expected);
        const QStringList lines = logLines();
        const QRegularExpression line(QStringLiteral("^trimmed silence in \\d+ms, %1% shorter$").arg(percentShorter));
        QVERIFY2(lines.size() == 1 && line.match(lines.first()).hasMatch(), qPrintable(lines.join('\n')));
    }

    void logsUnreadableInput_data()
    {
        test::columns<QByteArray>({ "bytes" });
        test::row("missing file", QByteArray());
        test::row("not a WAV file", QByteArray("RIFF....WAVEjunk"));
        test::row("no frames", wavHeader(monoInt16, 0));
    }

    void logsUnreadableInput()
    {
        QFETCH(QByteArray, bytes);
        if (!bytes.isEmpty())
            test::writeFile(m_input, bytes);
        QCOMPARE(AudioTrimmer::trimSilence(m_input, 0.25), std::nullopt);
        QCOMPARE(logLines(), QStringList { QStringLiteral("could not read the audio, sending it untrimmed") });
    }
};

QTEST_GUILESS_MAIN(TestAudioTrimmer)
#include "tst_audio_trimmer.moc"
