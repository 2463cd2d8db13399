#include "audio/aac_encoder.h"
#include "audio/ffmpeg_support.h"
#include "audio/upload.h"
#include "audio/wav_reader.h"
#include "support/command_runner.h"
#include "support/data_folder.h"
#include "support/table_rows.h"
#include "transcription/gemini_error.h"

#include <QDir>
#include <QScopeGuard>
#include <QTest>

#include <sys/resource.h>

#include <cmath>
#include <csignal>

using namespace kavo;
using test::row;

using Encode = std::function<QString(const QString&)>;
using Error = std::shared_ptr<const std::exception>;
Q_DECLARE_METATYPE(Encode)
Q_DECLARE_METATYPE(Error)

namespace {

double rms(const std::vector<float>& samples)
{
    double sum = 0;
    for (float sample : samples)
        sum += double(sample) * sample;
    return std::sqrt(sum / double(samples.size()));
}

} // namespace

class TestUpload : public QObject
{
    Q_OBJECT

    QString m_folder;
    QString path(const QString& name) const { return QDir(m_folder).filePath(name); }

private Q_SLOTS:
    void initTestCase() { m_folder = test::useTemporaryDataFolder(); }
    void init() { test::emptyDataFolder(); }

    void encodesAtTheSourceFormat_data()
    {
        test::columns<int, int, int>({ "rate", "channels", "staleBytes" });
        row("mono 16 kHz", 16000, 1, 0);
        row("stereo 44.1 kHz", 44100, 2, 0);
        row("over a stale M4A", 16000, 1, 200'000);
    }

    void encodesAtTheSourceFormat()
    {
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(int, staleBytes);
        // A 440 Hz tone of amplitude 1/8 in the first channel, silence in the second.
        QCOMPARE(test::runFfmpeg({ "-f", "lavfi", "-i", QString("sine=f=440:r=%1:d=0.5").arg(rate), "-af",
                     channels == 1 ? "pan=mono|c0=c0" : "pan=stereo|c0=c0", "-c:a", "pcm_s16le", path("tone.wav") }),
            QString());
        if (staleBytes > 0)
            test::writeFile(path("tone.m4a"), QByteArray(staleBytes, 'x'));

        QCOMPARE(AACEncoder::m4a(path("tone.wav")), path("tone.m4a"));
        const QByteArray bytes = test::readFile(path("tone.m4a"));
        QCOMPARE(bytes.mid(4, 4), "ftyp");
        QVERIFY2(bytes.size() < 10'000, qPrintable(QString::number(bytes.size())));
        QCOMPARE(test::runFfmpeg({ "-i", path("tone.m4a"), "-c:a", "pcm_f32le", path("decoded.wav") }), QString());
        const WavAudio decoded = readWav(path("decoded.wav"));
        QCOMPARE(decoded.format.sampleRate, rate);
        QCOMPARE(decoded.format.channelCount, channels);
        QVERIFY2(qAbs(decoded.frameCount() - rate / 2) <= 1024, qPrintable(QString::number(decoded.frameCount())));
        QVERIFY(qAbs(rms(decoded.channels[0]) - 0.125 / std::sqrt(2.0)) < 0.01);
        QVERIFY(channels == 1 || rms(decoded.channels[1]) < 0.005);
    }

    void failureLeavesNoM4a_data()
    {
        test::columns<QString, int>({ "source", "fileSizeLimit" });
        row("not a WAV", QString(), 0);
        row("disk full while writing", QString("anoisesrc=d=10:r=16000"), 8192);
    }

    void failureLeavesNoM4a()
    {
        QFETCH(QString, source);
        QFETCH(int, fileSizeLimit);
        if (source.isEmpty())
            test::writeFile(path("rec.wav"), "plain text");
        else
            QCOMPARE(test::runFfmpeg({ "-f", "lavfi", "-i", source, "-c:a", "pcm_s16le", path("rec.wav") }), QString());
        test::writeFile(path("rec.m4a"), "stale");
        rlimit original {};
        getrlimit(RLIMIT_FSIZE, &original);
        const auto restore = qScopeGuard([&] { setrlimit(RLIMIT_FSIZE, &original); });
        if (fileSizeLimit > 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limited = original;
            limited.rlim_cur = rlim_t(fileSizeLimit);
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        }
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, AACEncoder::m4a(path("rec.wav")));
        QVERIFY(!QFile::exists(path("rec.m4a")));
    }

    void choosesTheUpload_data()
    {
        test::columns<Encode, QString, QString>({ "encode", "format", "logLine" });
        const Encode emptyOutput = [](const QString& wav) {
            const QString m4a = QString(wav).replace(".wav", ".m4a");
            test::writeFile(m4a, {});
            return m4a;
        };
        row("M4A", Encode([](const QString& wav) { return AACEncoder::m4a(wav); }), QString("m4a"), QString());
        row("empty output", emptyOutput, QString("wav"), QString("AAC output is not an M4A (0 bytes); sending WAV"));
        row("encoder error", Encode([](const QString&) -> QString { throw AudioCodecError("no encoder"); }),
            QString("wav"), QString("AAC failed (no encoder); sending WAV"));
    }

    void choosesTheUpload()
    {
        QFETCH(Encode, encode);
        QFETCH(QString, format);
        QFETCH(QString, logLine);
        writeWav(path("rec.wav"), { 16000, 1, SampleFormat::int16 }, { std::vector<float>(8000, 0.25f) });
        QStringList lines;
        const Upload upload = Upload::of(path("rec.wav"), encode, [&](const QString& line) { lines << line; });
        QCOMPARE(rawValue(upload.format), format);
        QCOMPARE(upload.url, path("rec." + format));
        QCOMPARE(lines, logLine.isEmpty() ? QStringList() : QStringList { logLine });
        QCOMPARE(QFile::exists(path("rec.m4a")), format == "m4a");
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
        QCOMPARE(Upload::resendsAsWav(*error), resends);
    }
};

QTEST_GUILESS_MAIN(TestUpload)
#include "tst_upload.moc"
