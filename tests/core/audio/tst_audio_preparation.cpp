#include "audio/codec/aac_encoder.h"
#include "audio/codec/wav_reader.h"
#include "audio/preparation/audio_trimmer.h"
#include "audio/preparation/upload.h"
#include "phone/phone_audio.h"
#include "store/log.h"
#include "support/command_runner.h"
#include "support/data_folder.h"
#include "support/table_rows.h"

#include <QDir>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>

#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <numeric>

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

/// How alike two signals are at the same instants: 1 for equal shapes, near 0 for shifted or unrelated ones.
double correlation(const std::vector<float>& a, const std::vector<float>& b)
{
    const auto dot = [n = std::min(a.size(), b.size())](const std::vector<float>& x, const std::vector<float>& y) {
        return std::inner_product(x.begin(), x.begin() + qsizetype(n), y.begin(), 0.0);
    };
    return dot(a, b) / std::sqrt(dot(a, a) * dot(b, b));
}

} // namespace

class TestAudioPreparation : public QObject
{
    Q_OBJECT

    QString m_folder; // also the temporary folder of the phone audio's conversion
    WavAudio m_speech;

    QString path(const QString& name) const { return QDir(m_folder).filePath(name); }
    QStringList leftovers() const { return QDir(m_folder).entryList({ "kavo-phone-*" }, QDir::Files); }

private Q_SLOTS:
    void initTestCase()
    {
        m_folder = test::useTemporaryDataFolder();
        qputenv("TMPDIR", m_folder.toUtf8());
        QCOMPARE(test::makeSpeechWav(path("speech.wav"), "Please send the report to the team by Friday."), QString());
        m_speech = readWav(path("speech.wav"));
    }

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
        const auto [format, keepSeconds, pauses, kept]
            = test::fetch<WavFormat, double, Spans, Spans>({ "format", "keepSeconds", "pauses", "kept" });
        const qsizetype frames = kept.isEmpty() ? 32000 : kept.last();
        QFile::remove(path("kavo-1.trimmed.wav"));
        writeWav(path("kavo-1.wav"), format, recording(format, frames, pauses));
        const std::optional<QString> trimmed = AudioTrimmer::trimSilence(path("kavo-1.wav"), keepSeconds);
        if (kept.isEmpty()) { // nothing cut: no file and no log line
            QVERIFY(!trimmed && !QFile::exists(path("kavo-1.trimmed.wav")) && test::logText().isEmpty());
            return;
        }
        QCOMPARE(trimmed, std::optional(path("kavo-1.trimmed.wav")));
        const WavAudio in = readWav(path("kavo-1.wav")), after = readWav(path("kavo-1.trimmed.wav"));
        std::vector<std::vector<float>> cut(format.channelCount);
        for (int c = 0; c < format.channelCount; ++c)
            for (qsizetype i = 0; i < kept.size(); i += 2)
                cut[c].insert(cut[c].end(), in.channels[c].data() + kept[i], in.channels[c].data() + kept[i + 1]);
        QVERIFY(after.format == format && after.channels == cut);
        QCOMPARE(test::logText().replace(QRegularExpression("\\d+ms"), "Nms"),
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
        test::writeFile(path("kavo-1.wav"), bytes);
        QCOMPARE(AudioTrimmer::trimSilence(path("kavo-1.wav"), 0.25), std::nullopt);
        QCOMPARE(test::logText(), "could not read the audio, sending it untrimmed\n");
    }

    // A tone at `rate`, with silence in a second channel if there is one. A full disk cuts the encoding short; an
    // encoder that writes something else than an M4A fails as well: the WAV is sent instead.
    void encodesM4a_data()
    {
        test::columns<int, int, QString, QString>({ "rate", "channels", "failure", "logLine" });
        row("mono 16 kHz", 16000, 1, "", "");
        row("stereo 44.1 kHz", 44100, 2, "", "");
        row("disk full while writing", 16000, 1, "disk full", "^AAC failed \\(.+\\); sending WAV$");
        row("output not an M4A", 16000, 1, "other output", "^AAC output is not an M4A \\(12 bytes\\); sending WAV$");
    }

    void encodesM4a()
    {
        const auto [rate, channels, failure, logLine]
            = test::fetch<int, int, QString, QString>({ "rate", "channels", "failure", "logLine" });
        const QString tone
            = QString("sine=f=440:r=%1:d=%2,pan=%3|c0=c0")
                  .arg(QString::number(rate), failure == "disk full" ? "10" : "0.5", channels == 1 ? "mono" : "stereo");
        QCOMPARE(test::runFfmpeg({ "-f", "lavfi", "-i", tone, "-c:a", "pcm_s16le", path("rec.wav") }), QString());
        test::writeFile(path("rec.m4a"), QByteArray(200'000, 'x')); // stale: replaced, or removed on failure
        rlimit original {};
        getrlimit(RLIMIT_FSIZE, &original);
        const rlimit limited { failure == "disk full" ? 8192 : original.rlim_cur, original.rlim_max };
        std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        QStringList lines;
        const auto encode = [&](const QString& wav) {
            if (failure != "other output")
                return AACEncoder::m4a(wav);
            test::writeFile(path("rec.m4a"), QByteArray("RIFF\0\0\0\0WAVE", 12));
            return path("rec.m4a");
        };
        const Upload upload = Upload::of(path("rec.wav"), encode, [&](const QString& line) { lines << line; });
        setrlimit(RLIMIT_FSIZE, &original);
        QCOMPARE(upload.path, path("rec." + rawValue(upload.format)));
        QCOMPARE(upload.format, failure.isEmpty() ? Upload::Format::m4a : Upload::Format::wav);
        QCOMPARE(QFile::exists(path("rec.m4a")), failure.isEmpty());
        QVERIFY2(failure.isEmpty() ? lines.isEmpty()
                                   : lines.size() == 1 && QRegularExpression(logLine).match(lines[0]).hasMatch(),
            qPrintable(lines.join('\n')));
        if (!failure.isEmpty())
            return;
        const QByteArray bytes = test::readFile(path("rec.m4a"));
        QVERIFY2(bytes.mid(4, 4) == "ftyp" && bytes.size() < 3600, qPrintable(QString::number(bytes.size())));
        QCOMPARE(test::runFfmpeg({ "-i", path("rec.m4a"), "-c:a", "pcm_f32le", path("decoded.wav") }), QString());
        const WavAudio decoded = readWav(path("decoded.wav"));
        QCOMPARE(decoded.format, (WavFormat { rate, channels, SampleFormat::float32 }));
        QVERIFY2(qAbs(decoded.frameCount() - rate / 2) <= 1024, qPrintable(QString::number(decoded.frameCount())));
        const auto rms
            = [](auto& s) { return std::sqrt(std::inner_product(s.begin(), s.end(), s.begin(), 0.0) / s.size()); };
        QVERIFY(qAbs(rms(decoded.channels[0]) - 0.125 / std::sqrt(2.0)) < 0.01); // ffmpeg's tone has amplitude 1/8
        QVERIFY(channels == 1 || rms(decoded.channels[1]) < 0.005);
    }

    void convertsToTheRecordingFormat_data()
    {
        // Lengths may differ by the resampler's rounding or raw AAC's priming and padding; a negative tolerance: the
        // audio may be shifted as much (raw AAC has no container to say where it starts).
        test::columns<QByteArray, QString, qsizetype, int>({ "bytes", "contentType", "frames", "tolerance" });
        const auto encoded = [this](const QString& ffmpeg) { // ffmpeg's options, then the fixture's name
            QStringList arguments = QStringList { "-i", path("speech.wav") } + ffmpeg.split(' ');
            arguments.last() = path(arguments.last());
            const QString error = test::runFfmpeg(arguments);
            QTest::qVerify(error.isEmpty(), "ffmpeg", qPrintable(error), __FILE__, __LINE__);
            return test::readFile(arguments.last());
        };
        const qsizetype speech = m_speech.frameCount(), unreadable = -1;
        const QByteArray emptyWav = wavHeader({ 44100, 2, SampleFormat::int16 }, 0);
        const QByteArray text = "This is a text file, not a recording.\n";
        row("16 kHz mono WAV", test::readFile(path("speech.wav")), "audio/wav", speech, 0);
        row("44.1 kHz stereo WAV", encoded("-ar 44100 -ac 2 stereo.wav"), "audio/x-wav", speech, 2);
        row("M4A", encoded("-c:a aac speech.m4a"), "audio/x-m4a", speech, 16);
        row("ADTS AAC", encoded("-c:a aac -f adts speech.aac"), "audio/aac", speech, -2048);
        row("MP3", encoded("-ar 44100 -ac 2 -c:a libmp3lame speech.mp3"), "audio/mpeg", speech, 2);
        row("CAF PCM", encoded("-c:a pcm_s16le pcm.caf"), "audio/x-caf", speech, 0);
        row("WAV without frames", emptyWav, "audio/wav", qsizetype(0), 0);
        row("zero bytes", QByteArray(), "audio/x-m4a", unreadable, 0);
        row("text as MP3", text.repeated(100), "audio/mpeg", unreadable, 0);
        row("text as raw AAC", text.repeated(100), "audio/aac", unreadable, 0);
        row("WAV cut in its header", emptyWav.left(30), "Audio/WAV", unreadable, 0);
    }

    void convertsToTheRecordingFormat()
    {
        const auto [bytes, contentType, frames, tolerance]
            = test::fetch<QByteArray, QString, qsizetype, int>({ "bytes", "contentType", "frames", "tolerance" });
        Log::reset();
        const std::optional<QString> output = PhoneAudio::convertToWav(bytes, contentType);
        const QString log = test::logText();
        if (frames < 0) { // one line with the content type and the reason; no file left behind
            const QString prefix = "could not read the phone audio (" + contentType + "): ";
            QVERIFY2(log.startsWith(prefix) && log.count('\n') == 1 && log.size() > prefix.size() + 1, qPrintable(log));
            QCOMPARE(output, std::nullopt);
            QCOMPARE(leftovers(), QStringList());
            return;
        }
        QVERIFY2(output && log.isEmpty(), qPrintable(log));
        const auto remove = qScopeGuard([&] { QFile::remove(*output); });
        const QString name = QFileInfo(*output).fileName();
        QCOMPARE(leftovers(), QStringList(name));
        static const QRegularExpression pattern("^kavo-phone-[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\.wav$");
        QVERIFY2(pattern.match(name).hasMatch(), qPrintable(name));
        const QByteArray written = test::readFile(*output);
        QCOMPARE(written.left(44), wavHeader({ 16000, 1, SampleFormat::int16 }, quint32(written.size() - 44)));
        const WavAudio audio = readWav(*output);
        QVERIFY2(qAbs(audio.frameCount() - frames) <= qAbs(tolerance), qPrintable(QString::number(audio.frameCount())));
        if (tolerance == 0 && frames > 0)
            QCOMPARE(audio.channels[0], m_speech.channels[0]);
        QVERIFY2(frames == 0 || tolerance < 0 || correlation(audio.channels[0], m_speech.channels[0]) > 0.9,
            "the sound changed");
    }

    void extensionFollowsTheContentType_data()
    {
        test::columns<QString, QString>({ "contentType", "extension" });
        row("WAV, upper case", "Audio/X-WAV", "wav");
        row("AAC in CAF: the earlier rule wins", "audio/x-caf; codecs=aac", "aac");
        row("MPEG", "audio/mpeg", "mp3");
        row("empty", QString(), "m4a");
    }

    void extensionFollowsTheContentType()
    {
        QFETCH(QString, contentType);
        QTEST(PhoneAudio::fileExtension(contentType), "extension");
    }
};

QTEST_GUILESS_MAIN(TestAudioPreparation)
#include "tst_audio_preparation.moc"
