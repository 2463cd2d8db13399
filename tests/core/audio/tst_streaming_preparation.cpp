#include "audio/codec/aac_encoder.h"
#include "audio/codec/wav_reader.h"
#include "audio/preparation/audio_trimmer.h"
#include "audio/preparation/silence_rules.h"
#include "audio/preparation/streaming_preparation.h"
#include "audio/preparation/streaming_trimmer.h"
#include "store/log.h"
#include "support/command_runner.h"
#include "support/data_folder.h"
#include "support/table_rows.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>

#include <sys/resource.h>

#include <cmath>
#include <csignal>

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

// The recording's samples as the recorder writes them.
std::vector<qint16> recorded(const std::vector<float>& samples)
{
    std::vector<qint16> pcm;
    for (const float sample : samples)
        pcm.push_back(qint16(std::clamp(std::nearbyint(sample * 32768.0f), -32768.0f, 32767.0f)));
    return pcm;
}

Channels asChannels(const std::vector<qint16>& pcm)
{
    std::vector<float> samples;
    for (const qint16 sample : pcm)
        samples.push_back(float(sample) / 32768.0f);
    return { samples };
}

// Feeds the recording to a streaming preparation in the recorder's 20 ms runs, with `between` called after each.
std::optional<QString> streamed(StreamingPreparation& preparation, const std::vector<qint16>& pcm,
    const std::function<void(qsizetype)>& between = {})
{
    for (size_t start = 0; start < pcm.size(); start += 320) {
        preparation.push(pcm.data() + start, int(std::min<size_t>(320, pcm.size() - start)));
        if (between)
            between(qsizetype(start));
    }
    return preparation.finish(qsizetype(pcm.size()));
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

    // The M4A made while recording is the file that shortening and encoding the finished recording makes; where
    // that would send the recording itself, it makes none.
    void makesTheUploadOfTheFinishedRecording_data()
    {
        QTest::addColumn<Channels>("audio");
        QTest::addColumn<std::optional<double>>("keepSeconds");
        QTest::addColumn<bool>("made");
        std::vector<float> spoken = m_speech;
        spoken.insert(spoken.end(), size_t(rate) * 2, 0.0f);
        spoken.insert(spoken.end(), m_speech.begin(), m_speech.end());
        QTest::addRow("pauses shortened") << Channels { spoken } << std::optional(0.25) << true;
        QTest::addRow("pauses kept") << Channels { spoken } << std::optional<double>() << true;
        QTest::addRow("nothing to shorten") << Channels { m_speech } << std::optional(0.25) << true;
        QTest::addRow("silence only, no margin") << pieces({ -32000 }) << std::optional(0.0) << false;
    }
    void makesTheUploadOfTheFinishedRecording()
    {
        const auto [audio, keepSeconds, made]
            = test::fetch<Channels, std::optional<double>, bool>({ "audio", "keepSeconds", "made" });
        const QString wav = QDir(m_folder).filePath(u"kavo-rec.wav"_qs);
        const std::vector<qint16> pcm = recorded(audio.front());
        Log::reset();
        writeWav(wav, WavFormat { rate, 1, SampleFormat::int16 }, asChannels(pcm));
        const std::optional<QString> trimmed
            = keepSeconds ? AudioTrimmer::trimSilence(wav, *keepSeconds) : std::nullopt;
        const QByteArray whole = test::readFile(AACEncoder::m4a(trimmed.value_or(wav)));
        const auto withoutTimes = [] { return test::logText().replace(QRegularExpression(u"\\d+ms"_qs), u"Nms"_qs); };
        const QString wholeLog = withoutTimes();
        Log::reset();

        const QString path = QDir(m_folder).filePath(u"kavo-stream.m4a"_qs);
        std::optional<QString> result;
        {
            StreamingPreparation preparation(path, keepSeconds);
            result = streamed(preparation, pcm);
        }
        QCOMPARE(result.has_value(), made);
        QCOMPARE(QFile::exists(path), made);
        if (made)
            QVERIFY(test::readFile(path) == whole);
        if (made)
            QCOMPARE(withoutTimes(), wholeLog);
    }

    // When the encoder fails halfway, as on a full disk, the preparation gives up with one log line and leaves no
    // file; so does one that saw other samples than the recording holds.
    void givesUpOnFailure_data()
    {
        test::columns<QString, QString>({ "failure", "logLine" });
        row("disk full halfway", "disk full",
            "^the upload could not be prepared while recording, preparing it "
            "afterwards: could not (write|finish) the M4A file.*$");
        row("recording started over", "started over",
            "^the upload could not be prepared while recording, preparing "
            "it afterwards: the recording started over$");
    }
    void givesUpOnFailure()
    {
        const auto [failure, logLine] = test::fetch<QString, QString>({ "failure", "logLine" });
        Log::reset();
        std::vector<float> long_;
        for (int repeat = 0; repeat < 4; ++repeat)
            long_.insert(long_.end(), m_speech.begin(), m_speech.end());
        const std::vector<qint16> pcm = recorded(long_);
        const QString path = QDir(m_folder).filePath(u"kavo-stream.m4a"_qs);
        rlimit original {};
        getrlimit(RLIMIT_FSIZE, &original);
        std::signal(SIGXFSZ, SIG_IGN);
        std::optional<QString> result;
        {
            StreamingPreparation preparation(path, 0.25);
            bool struck = false;
            result = streamed(preparation, pcm, [&](qsizetype at) {
                if (at < qsizetype(pcm.size()) / 2 || std::exchange(struck, true))
                    return;
                if (failure == u"disk full") {
                    const rlimit limited { 1000, original.rlim_max };
                    setrlimit(RLIMIT_FSIZE, &limited);
                } else {
                    preparation.push(nullptr, 0);
                }
            });
        }
        setrlimit(RLIMIT_FSIZE, &original);
        QCOMPARE(result, std::nullopt);
        QVERIFY(!QFile::exists(path));
        const QStringList lines = test::logText().split(u'\n', Qt::SkipEmptyParts);
        QVERIFY2(lines.size() == 1 && QRegularExpression(logLine).match(lines.value(0)).hasMatch(),
            qPrintable(lines.join(u'\n')));
    }
};

QTEST_GUILESS_MAIN(TestStreamingPreparation)
#include "tst_streaming_preparation.moc"
