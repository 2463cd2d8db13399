#include "audio/codec/wav_reader.h"
#include "phone/phone_audio.h"
#include "store/log.h"
#include "support/command_runner.h"
#include "support/data_folder.h"
#include "support/table_rows.h"

#include <QDir>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <numeric>

using namespace kavo;
using test::row;

namespace {

/// How alike two signals are at the same instants: 1 for equal shapes, near 0 for shifted or unrelated ones.
double correlation(const std::vector<float>& a, const std::vector<float>& b)
{
    const auto dot = [n = std::min(a.size(), b.size())](const std::vector<float>& x, const std::vector<float>& y) {
        return std::inner_product(x.begin(), x.begin() + qsizetype(n), y.begin(), 0.0);
    };
    return dot(a, b) / std::sqrt(dot(a, a) * dot(b, b));
}

} // namespace

class TestPhoneAudio : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder; // the fixtures, and the temporary folder of the conversion
    WavAudio m_speech;

    QString path(const QString& name) const { return m_folder.filePath(name); }
    QStringList leftovers() const { return QDir(m_folder.path()).entryList({ "kavo-phone-*" }, QDir::Files); }

private Q_SLOTS:
    void initTestCase()
    {
        test::useTemporaryDataFolder();
        qputenv("TMPDIR", m_folder.path().toUtf8());
        QCOMPARE(test::makeSpeechWav(path("speech.wav"), "Please send the report to the team by Friday."), QString());
        m_speech = readWav(path("speech.wav"));
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
        row("text without a type", text, QString(), unreadable, 0);
        row("WAV cut in its header", emptyWav.left(30), "Audio/WAV", unreadable, 0);
    }

    void convertsToTheRecordingFormat()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, contentType);
        QFETCH(qsizetype, frames);
        QFETCH(int, tolerance);
        Log::reset();
        const std::optional<QString> output = PhoneAudio::convertToWav(bytes, contentType);
        Log::flush();
        const QStringList lines = QString::fromUtf8(test::readFile(Log::filePath())).split('\n', Qt::SkipEmptyParts);
        if (frames < 0) { // one line with the content type and the reason; no file left behind
            const QString prefix = " could not read the phone audio (" + contentType + "): ";
            QVERIFY2(lines.size() == 1 && lines[0].contains(prefix) && !lines[0].endsWith(prefix),
                qPrintable(lines.join('\n')));
            QCOMPARE(output, std::nullopt);
            QCOMPARE(leftovers(), QStringList());
            return;
        }
        QVERIFY2(output && lines.isEmpty(), qPrintable(lines.join('\n')));
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
        row("AAC", "audio/aac", "aac");
        row("AAC in CAF: the earlier rule wins", "audio/x-caf; codecs=aac", "aac");
        row("CAF", "audio/x-caf", "caf");
        row("MPEG", "audio/mpeg", "mp3");
        row("MP3", "audio/mp3", "mp3");
        row("MP4", "audio/mp4", "m4a");
        row("empty", QString(), "m4a");
    }

    void extensionFollowsTheContentType()
    {
        QFETCH(QString, contentType);
        QTEST(PhoneAudio::fileExtension(contentType), "extension");
    }
};

QTEST_GUILESS_MAIN(TestPhoneAudio)
#include "tst_phone_audio.moc"
