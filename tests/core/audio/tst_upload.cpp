#include "audio/codec/aac_encoder.h"
#include "audio/codec/wav_reader.h"
#include "audio/preparation/upload.h"
#include "dictation/transcript_request.h"
#include "support/command_runner.h"
#include "support/data_folder.h"
#include "support/table_rows.h"
#include "transcription/gemini_error.h"

#include <QDir>
#include <QTest>

#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <numeric>

using namespace kavo;
using test::row;

using Error = std::shared_ptr<const std::exception>;
Q_DECLARE_METATYPE(Error)

class TestUpload : public QObject
{
    Q_OBJECT

    QString m_folder;
    QString path(const QString& name) const { return QDir(m_folder).filePath(name); }

private Q_SLOTS:
    void initTestCase() { m_folder = test::useTemporaryDataFolder(); }

    void encodesM4a_data()
    {
        // A tone at `rate`, with silence in a second channel if there is one. A full disk cuts the encoding short.
        test::columns<int, int, bool>({ "rate", "channels", "diskFull" });
        row("mono 16 kHz", 16000, 1, false);
        row("stereo 44.1 kHz", 44100, 2, false);
        row("disk full while writing", 16000, 1, true);
    }

    void encodesM4a()
    {
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(bool, diskFull);
        const QString tone
            = QString("sine=f=440:r=%1:d=%2,pan=%3|c0=c0")
                  .arg(QString::number(rate), diskFull ? "10" : "0.5", channels == 1 ? "mono" : "stereo");
        QCOMPARE(test::runFfmpeg({ "-f", "lavfi", "-i", tone, "-c:a", "pcm_s16le", path("rec.wav") }), QString());
        test::writeFile(path("rec.m4a"), QByteArray(200'000, 'x')); // stale: replaced, or removed on failure
        rlimit original {};
        getrlimit(RLIMIT_FSIZE, &original);
        const rlimit limited { diskFull ? 8192 : original.rlim_cur, original.rlim_max };
        std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        QStringList lines;
        const Upload upload = Upload::of(
            path("rec.wav"), [](const QString& wav) { return AACEncoder::m4a(wav); },
            [&](const QString& line) { lines << line; });
        setrlimit(RLIMIT_FSIZE, &original);
        QCOMPARE(upload.format, diskFull ? Upload::Format::wav : Upload::Format::m4a);
        QCOMPARE(upload.path, path("rec." + rawValue(upload.format)));
        QCOMPARE(lines.size(), qsizetype(diskFull));
        QVERIFY(!diskFull || (lines[0].startsWith("AAC failed (") && lines[0].endsWith("); sending WAV")));
        QCOMPARE(QFile::exists(path("rec.m4a")), !diskFull);
        if (diskFull)
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

    void sendsTheWavWhenTheOutputIsNoM4a()
    {
        writeWav(path("rec.wav"), { 16000, 1, SampleFormat::int16 }, { std::vector<float>(8000, 0.25f) });
        QStringList lines;
        const auto emptyOutput = [this](const QString&) {
            test::writeFile(path("rec.m4a"), {});
            return path("rec.m4a");
        };
        const Upload upload = Upload::of(path("rec.wav"), emptyOutput, [&](const QString& line) { lines << line; });
        QCOMPARE(upload.format, Upload::Format::wav);
        QCOMPARE(upload.path, path("rec.wav"));
        QCOMPARE(lines, QStringList { "AAC output is not an M4A (0 bytes); sending WAV" });
        QVERIFY(!QFile::exists(path("rec.m4a")));
    }

    void resendsAsWav_data()
    {
        test::columns<Error, bool>({ "error", "resends" });
        const auto http = [](int status, const char* message) {
            return Error(std::make_shared<GeminiError>(GeminiError::http(status, message)));
        };
        row("400 about the audio", http(400, "Unsupported audio: could not decode the file"), true);
        row("400 about the API key", http(400, "API key not valid. Please pass a valid API key."), false);
        row("400 about thinking", http(400, "THINKING level is not supported for this model"), false);
        row("500", http(500, "Internal error encountered."), false);
        row("network", Error(std::make_shared<TransportError>(TransportError::Kind::connectionLost, "lost")), false);
    }

    void resendsAsWav()
    {
        QFETCH(Error, error);
        QFETCH(bool, resends);
        QCOMPARE(TranscriptRequest::resendsAsWav(*error), resends);
    }
};

QTEST_GUILESS_MAIN(TestUpload)
#include "tst_upload.moc"
