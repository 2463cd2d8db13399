#include "audio/codec/wav_reader.h"
#include "audio/preparation/audio_trimmer.h"
#include "store/log.h"
#include "support/data_folder.h"
#include "support/table_rows.h"

#include <QRegularExpression>
#include <QTest>

#include <cmath>

using namespace kavo;
using test::row;

/// Frame ranges [start, end), as pairs of bounds.
using Spans = QList<qsizetype>;
Q_DECLARE_METATYPE(kavo::WavFormat)

namespace {

const WavFormat mono { 16000, 1, SampleFormat::int16 }, lowRate { 11025, 1, SampleFormat::int16 };

/// Channel 0 is a loud tone with a -51 dB hum in `pauses`; the others are loud throughout, so only channel 0 places
/// cuts.
std::vector<std::vector<float>> recording(const WavFormat& format, qsizetype frames, const Spans& pauses)
{
    std::vector<std::vector<float>> channels(format.channelCount, std::vector<float>(size_t(frames)));
    for (int channel = 0; channel < format.channelCount; ++channel)
        for (qsizetype frame = 0; frame < frames; ++frame)
            channels[channel][frame] = 0.5f * float(std::sin(0.17 * (channel + 1) * frame));
    for (qsizetype i = 0; i < pauses.size(); i += 2)
        for (qsizetype frame = pauses[i]; frame < pauses[i + 1]; ++frame)
            channels[0][frame] *= 0.008f;
    return channels;
}

/// The log without its lines' time stamps.
QString logText()
{
    Log::flush();
    return QString::fromUtf8(test::readFile(Log::filePath())).remove(QRegularExpression("(?m)^\\S+ "));
}

} // namespace

class TestAudioTrimmer : public QObject
{
    Q_OBJECT

    QString m_input;
    QString output() const { return m_input.chopped(4) + ".trimmed.wav"; }

private Q_SLOTS:
    void initTestCase() { m_input = test::useTemporaryDataFolder() + "/kavo-1.wav"; }

    void init() { Log::reset(); }

    void cutsTheMiddleOfLongPauses_data()
    {
        // The recording ends with the last kept frame; without one it lasts 2 s.
        test::columns<WavFormat, double, Spans, Spans>({ "format", "keepSeconds", "pauses", "kept" });
        const Spans twoSeconds { 32000, 64000 }, quarterKept { 0, 34000, 62000, 80000 };
        row("quarter second kept", mono, 0.25, twoSeconds, quarterKept);
        row("nothing kept", mono, 0.0, twoSeconds, Spans { 0, 32000, 64000, 80000 });
        // Negative margin: nothing kept, and 20 windows make a long pause but 19 do not. At the end: a last window of
        // 100 frames. 11025 Hz: 220-frame windows (220.5 truncated); a 3307-frame margin keeps 1653 before, 1654 after.
        row("negative margin", mono, -0.5, Spans { 8000, 14080, 24000, 30400 }, Spans { 0, 24000, 30400, 48000 });
        row("pause at the end", mono, 0.25, Spans { 16000, 48100 }, Spans { 0, 18000, 46100, 48100 });
        row("11025 Hz", lowRate, 0.3, Spans { 22000, 44000 }, Spans { 0, 23653, 42346, 55125 });
        row("stereo", WavFormat { 16000, 2, SampleFormat::int16 }, 0.25, twoSeconds, quarterKept);
        row("float", WavFormat { 16000, 1, SampleFormat::float32 }, 0.25, twoSeconds, quarterKept);
        row("pause one window short", mono, 0.25, Spans { 16000, 24640 }, Spans {});
        row("silence only, nothing kept", mono, 0.0, Spans { 0, 32000 }, Spans {});
    }

    void cutsTheMiddleOfLongPauses()
    {
        QFETCH(WavFormat, format);
        QFETCH(double, keepSeconds);
        QFETCH(Spans, pauses);
        QFETCH(Spans, kept);
        const qsizetype frames = kept.isEmpty() ? 32000 : kept.last();
        QFile::remove(output());
        writeWav(m_input, format, recording(format, frames, pauses));
        const std::optional<QString> trimmed = AudioTrimmer::trimSilence(m_input, keepSeconds);
        if (kept.isEmpty()) { // nothing cut: no file and no log line
            QVERIFY(!trimmed && !QFile::exists(output()) && logText().isEmpty());
            return;
        }
        QCOMPARE(trimmed, std::optional(output()));
        const WavAudio in = readWav(m_input), after = readWav(output());
        std::vector<std::vector<float>> cut(format.channelCount);
        for (int c = 0; c < format.channelCount; ++c)
            for (qsizetype i = 0; i < kept.size(); i += 2)
                cut[c].insert(cut[c].end(), in.channels[c].data() + kept[i], in.channels[c].data() + kept[i + 1]);
        QVERIFY(after.format == format && after.channels == cut);
        QCOMPARE(logText().replace(QRegularExpression("\\d+ms"), "Nms"),
            QString("trimmed silence in Nms, %1% shorter\n").arg(100 - qsizetype(cut[0].size()) * 100 / frames));
    }

    void logsUnreadableInput_data()
    {
        test::columns<QByteArray>({ "bytes" });
        row("not a WAV file", QByteArray("RIFF....WAVEjunk"));
        row("no frames", wavHeader(mono, 0));
    }

    void logsUnreadableInput()
    {
        QFETCH(QByteArray, bytes);
        test::writeFile(m_input, bytes);
        QCOMPARE(AudioTrimmer::trimSilence(m_input, 0.25), std::nullopt);
        QCOMPARE(logText(), "could not read the audio, sending it untrimmed\n");
    }
};

QTEST_GUILESS_MAIN(TestAudioTrimmer)
#include "tst_audio_trimmer.moc"
