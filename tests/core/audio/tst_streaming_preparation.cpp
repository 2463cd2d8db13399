#include "audio/codec/wav_reader.h"
#include "audio/preparation/audio_trimmer.h"
#include "audio/preparation/silence_rules.h"
#include "audio/preparation/streaming_trimmer.h"
#include "support/command_runner.h"
#include "support/data_folder.h"
#include "support/table_rows.h"

#include <QDir>
#include <QTest>

#include <cmath>

using namespace kavo;
using test::row;
using Channels = std::vector<std::vector<float>>;

Q_DECLARE_METATYPE(Channels)

namespace {

constexpr int rate = 16000;

/// Pieces of a recording: a positive length is that many frames of a loud tone, a negative one that many of silence.
Channels pieces(std::initializer_list<qsizetype> lengths)
{
    std::vector<float> samples;
    for (const qsizetype length : lengths) {
        for (qsizetype frame = 0; frame < std::abs(length); ++frame)
            samples.push_back(length > 0 ? 0.4f * float(std::sin(0.13 * double(samples.size()))) : 0.0f);
    }
    return { samples };
}

Channels firstFrames(const Channels& channels, qsizetype count)
{
    Channels first;
    for (const auto& channel : channels)
        first.emplace_back(channel.begin(), channel.begin() + std::min(count, qsizetype(channel.size())));
    return first;
}

// The frames the whole-file trimmer sends for `audio`: its shortened copy, or the recording when it cut nothing.
Channels trimmedWhole(const QString& folder, const Channels& audio, double keepSeconds, int sampleRate = rate)
{
    const QString path = QDir(folder).filePath(u"kavo-whole.wav"_qs);
    writeWav(path, WavFormat { sampleRate, int(audio.size()), SampleFormat::float32 }, audio);
    const std::optional<QString> trimmed = AudioTrimmer::trimSilence(path, keepSeconds);
    const Channels sent = readWav(trimmed.value_or(path)).channels;
    if (trimmed)
        QFile::remove(*trimmed);
    return sent;
}

// The frames the streaming trimmer passes on when fed `audio` in pieces of `chunk` frames; the recording when it
// kept nothing, as its user then sends the recording.
Channels trimmedStreaming(const Channels& audio, double keepSeconds, qsizetype chunk, int sampleRate = rate)
{
    Channels kept(audio.size());
    StreamingTrimmer trimmer(sampleRate, int(audio.size()), keepSeconds, [&kept](const Channels& frames) {
        for (size_t channel = 0; channel < kept.size(); ++channel)
            kept[channel].insert(kept[channel].end(), frames[channel].begin(), frames[channel].end());
    });
    const auto total = qsizetype(audio.front().size());
    for (qsizetype offset = 0; offset < total; offset += chunk) {
        Channels piece;
        for (const auto& channel : audio)
            piece.emplace_back(channel.begin() + offset, channel.begin() + std::min(offset + chunk, total));
        trimmer.push(piece);
    }
    trimmer.finish();
    if (trimmer.framesIn() != total || trimmer.framesKept() != qsizetype(kept.front().size()))
        qFatal("the trimmer miscounted its frames");
    return kept.front().empty() ? audio : kept;
}

} // namespace

class TestStreamingPreparation : public QObject
{
    Q_OBJECT

    QString m_folder;
    std::vector<float> m_speech;

private Q_SLOTS:
    void initTestCase()
    {
        m_folder = test::useTemporaryDataFolder();
        const QString speech = QDir(m_folder).filePath(u"speech.wav"_qs);
        QCOMPARE(test::makeSpeechWav(speech, u"Send the report today. Then call the office about the parcel."_qs),
            QString());
        m_speech = readWav(speech).channels.front();
    }

    // Fed in any pieces, the streaming trimmer keeps the frames the whole-file trimmer keeps, for every margin.
    void keepsWhatTheWholeFileTrimmerKeeps_data()
    {
        QTest::addColumn<Channels>("audio");
        QTest::addColumn<double>("keepSeconds");
        QTest::addColumn<int>("rate");
        const std::vector<float> quiet(size_t(rate) * 3 / 2, 0.0f), breath(size_t(rate) / 4, 0.0f);
        std::vector<float> spoken = m_speech;
        spoken.insert(spoken.end(), quiet.begin(), quiet.end());
        spoken.insert(spoken.end(), m_speech.begin(), m_speech.end());
        spoken.insert(spoken.end(), breath.begin(), breath.end());
        spoken.insert(spoken.end(), m_speech.begin(), m_speech.end());
        const std::pair<const char*, Channels> recordings[] {
            { "speech with short and long pauses", { spoken } },
            { "tones with short and long pauses", pieces({ 8000, -4000, 8000, -20000, 8123, -9000, 4000 }) },
            { "silence at the start and the end", pieces({ -30000, 16000, -30100 }) },
            { "all silence", pieces({ -48000 }) },
            { "no silence", pieces({ 40000 }) },
        };
        for (const auto& [name, audio] : recordings) {
            for (const double keep : { 0.0, 0.25, 2.0, -1.0 })
                QTest::addRow("%s, margin %g", name, keep) << audio << keep << rate;
        }
        // 11025 Hz: windows of 220 frames (220.5 truncated), and a margin of 3307 frames that does not halve evenly.
        Channels stereo = pieces({ 8000, -4000, 8000, -20000, 8123, -9000, 4000 });
        stereo.push_back(pieces({ 61123 }).front());
        QTest::addRow("11025 Hz, stereo, margin 0.3") << stereo << 0.3 << 11025;
    }
    void keepsWhatTheWholeFileTrimmerKeeps()
    {
        const auto [audio, keepSeconds, sampleRate]
            = test::fetch<Channels, double, int>({ "audio", "keepSeconds", "rate" });
        const Channels whole = trimmedWhole(m_folder, audio, keepSeconds, sampleRate);
        for (const qsizetype chunk :
            { qsizetype(1), qsizetype(137), qsizetype(320), qsizetype(4096), qsizetype(audio.front().size()) }) {
            QVERIFY2(trimmedStreaming(audio, keepSeconds, chunk, sampleRate) == whole,
                qPrintable(u"in pieces of %1"_qs.arg(chunk)));
        }
    }

    // A recording may stop anywhere in a pause: short of a long one, exactly at its length, or deep inside it.
    void stopsAnywhereInAPause_data()
    {
        QTest::addColumn<double>("keepSeconds");
        QTest::addColumn<qsizetype>("stop");
        const qsizetype window = SilenceRules::windowFrames(rate);
        for (const double keep : { 0.0, 0.25, -1.0 }) {
            const auto longRun = qsizetype(SilenceRules::minimumRunWindows(keep)) * window;
            const std::pair<const char*, qsizetype> stops[] {
                { "in the first window", 100 },
                { "inside a short run", longRun - window - 7 },
                { "one frame short of a long run", longRun - 1 },
                { "at the length of a long run", longRun },
                { "one frame into a long run", longRun + 1 },
                { "deep inside a long run", longRun + 5 * rate + 33 },
            };
            for (const auto& [name, stop] : stops)
                QTest::addRow("margin %g, %s", keep, name) << keep << stop;
        }
    }
    void stopsAnywhereInAPause()
    {
        const auto [keepSeconds, stop] = test::fetch<double, qsizetype>({ "keepSeconds", "stop" });
        const Channels audio = firstFrames(pieces({ 16000, -200000 }), 16000 + stop);
        QCOMPARE(trimmedStreaming(audio, keepSeconds, 333), trimmedWhole(m_folder, audio, keepSeconds));
    }
};

QTEST_GUILESS_MAIN(TestStreamingPreparation)
#include "tst_streaming_preparation.moc"
