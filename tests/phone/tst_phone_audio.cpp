#include "audio/wav_reader.h"
#include "phone/phone_audio.h"
#include "store/log.h"
#include "support/command_runner.h"
#include "support/data_folder.h"
#include "support/table_rows.h"
#include "support/virtual_microphone.h"

#include <QDir>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace kavo;
using test::columns;
using test::row;

namespace {

constexpr WavFormat recordingFormat { 16000, 1, SampleFormat::int16 };

/// How alike two signals are at the same instants: 1 for equal shapes, near 0 for shifted or unrelated ones.
double correlation(const std::vector<float>& a, const std::vector<float>& b)
{
    double ab = 0, aa = 0, bb = 0;
    for (size_t index = 0; index < std::min(a.size(), b.size()); ++index) {
        ab += double(a[index]) * b[index];
        aa += double(a[index]) * a[index];
        bb += double(b[index]) * b[index];
    }
    return ab / std::sqrt(aa * bb);
}

} // namespace

class TestPhoneAudio : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_fixtures;
    QTemporaryDir m_temporary;
    WavAudio m_speech;

    QString fixture(const QString& name) const { return m_fixtures.filePath(name); }

    QStringList leftovers() const
    {
        return QDir(m_temporary.path()).entryList({ QStringLiteral("kavo-phone-*") }, QDir::Files);
    }

    /// Reads the one file the conversion left, after checking its name and header, and deletes it.
    void takeOutput(const std::optional<QString>& output, WavAudio& audio)
    {
        QVERIFY(output);
        const auto remove = qScopeGuard([&] { QFile::remove(*output); });
        const QFileInfo file(*output);
        QCOMPARE(leftovers(), QStringList(file.fileName()));
        static const QRegularExpression name(
            QStringLiteral("^kavo-phone-[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\.wav$"));
        QVERIFY2(name.match(file.fileName()).hasMatch(), qPrintable(file.fileName()));
        const QByteArray bytes = test::readFile(*output);
        QCOMPARE(bytes.left(44), wavHeader(recordingFormat, quint32(bytes.size() - 44)));
        audio = readWav(*output);
    }

    QStringList logLines() const
    {
        Log::flush();
        return QString::fromUtf8(test::readFile(Log::fileURL())).split('\n', Qt::SkipEmptyParts);
    }

private Q_SLOTS:
    void initTestCase()
    {
        test::useTemporaryDataFolder();
        qputenv("TMPDIR", m_temporary.path().toUtf8());
        QCOMPARE(test::makeSpeechWav(fixture("speech.wav"),
                     QStringLiteral("Please send the quarterly report to the whole team by Friday afternoon.")),
            QString());
        const QString speech = fixture("speech.wav");
        m_speech = readWav(speech);
        const QList<QStringList> encodings {
            { "-ar", "44100", "-ac", "2", fixture("stereo.wav") },
            { "-c:a", "aac", fixture("speech.m4a") },
            { "-c:a", "aac", "-f", "adts", fixture("speech.aac") },
            { "-ar", "44100", "-ac", "2", "-c:a", "libmp3lame", fixture("speech.mp3") },
            { "-c:a", "pcm_s16le", fixture("pcm.caf") },
            { "-ar", "44100", "-c:a", "alac", fixture("alac.caf") },
            { "-c:a", "adpcm_ima_qt", fixture("ima4.caf") },
        };
        for (const QStringList& encoding : encodings)
            QCOMPARE(test::runFfmpeg(QStringList { "-i", speech } + encoding), QString());
    }

    void init()
    {
        Log::reset();
        Log::flush();
    }

    void convertsToTheRecordingFormat_data()
    {
        // Lengths may differ from the source's by the resampler's rounding, raw AAC by the encoder's priming and
        // padding (it has no container to say where the audio starts and ends), IMA4 by its 64-frame packets.
        columns<QString, QString, int, bool>({ "file", "contentType", "frameTolerance", "aligned" });
        row("16 kHz mono WAV", QStringLiteral("speech.wav"), QStringLiteral("audio/wav"), 0, true);
        row("44.1 kHz stereo WAV", QStringLiteral("stereo.wav"), QStringLiteral("audio/x-wav"), 2, true);
        row("M4A", QStringLiteral("speech.m4a"), QStringLiteral("audio/x-m4a"), 16, true);
        row("ADTS AAC", QStringLiteral("speech.aac"), QStringLiteral("audio/aac"), 2048, false);
        row("MP3", QStringLiteral("speech.mp3"), QStringLiteral("audio/mpeg"), 2, true);
        row("CAF PCM", QStringLiteral("pcm.caf"), QStringLiteral("audio/x-caf"), 0, true);
        row("CAF ALAC", QStringLiteral("alac.caf"), QStringLiteral("audio/x-caf"), 2, true);
        row("CAF IMA4", QStringLiteral("ima4.caf"), QStringLiteral("audio/x-caf"), 64, true);
    }

    void convertsToTheRecordingFormat()
    {
        QFETCH(QString, file);
        QFETCH(QString, contentType);
        QFETCH(int, frameTolerance);
        QFETCH(bool, aligned);
        WavAudio audio;
        takeOutput(PhoneAudio::convertToWav(test::readFile(fixture(file)), contentType), audio);
        if (QTest::currentTestFailed())
            return;
        const qsizetype extra = audio.frameCount() - m_speech.frameCount();
        QVERIFY2(
            qAbs(extra) <= frameTolerance, qPrintable(QStringLiteral("%1 frames more than the source").arg(extra)));
        if (frameTolerance == 0)
            QCOMPARE(audio.channels[0], m_speech.channels[0]);
        if (aligned) {
            const double similarity = correlation(audio.channels[0], m_speech.channels[0]);
            QVERIFY2(similarity > 0.9, qPrintable(QString::number(similarity)));
        }
        QCOMPARE(logLines(), QStringList());
    }

    void readableFileWithoutFramesGivesAnEmptyRecording()
    {
        WavAudio audio;
        takeOutput(PhoneAudio::convertToWav(wavHeader({ 44100, 2, SampleFormat::int16 }, 0), "audio/wav"), audio);
        QCOMPARE(audio.frameCount(), 0);
    }

    void unreadableAudioFails_data()
    {
        columns<QByteArray, QString, QString>({ "bytes", "contentType", "failure" });
        const QByteArray text = "This is a text file, not a recording.\n";
        row("zero bytes", QByteArray(), QStringLiteral("audio/x-m4a"), QStringLiteral("could not open the audio: "));
        row("text as MP3", text.repeated(100), QStringLiteral("audio/mpeg"), QString());
        row("text as raw AAC", text.repeated(100), QStringLiteral("audio/aac"), QString());
        row("text without a type", text, QString(), QString());
        row("WAV cut in its header", wavHeader(recordingFormat, 0).left(30), QStringLiteral("Audio/WAV"), QString());
    }

    void unreadableAudioFails()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, contentType);
        QFETCH(QString, failure);
        QCOMPARE(PhoneAudio::convertToWav(bytes, contentType), std::nullopt);
        QCOMPARE(leftovers(), QStringList());
        const QStringList lines = logLines();
        QCOMPARE(lines.size(), 1);
        const QString prefix = " could not read the phone audio (" + contentType + "): " + failure;
        QVERIFY2(lines.first().contains(prefix) && !lines.first().endsWith(prefix), qPrintable(lines.first()));
    }

    void extensionFollowsTheContentType_data()
    {
        columns<QString, QString>({ "contentType", "extension" });
        row("WAV, upper case", QStringLiteral("Audio/X-WAV"), QStringLiteral("wav"));
        row("AAC", QStringLiteral("audio/aac"), QStringLiteral("aac"));
        row("AAC in CAF: the earlier rule wins", QStringLiteral("audio/x-caf; codecs=aac"), QStringLiteral("aac"));
        row("CAF", QStringLiteral("audio/x-caf"), QStringLiteral("caf"));
        row("MPEG", QStringLiteral("audio/mpeg"), QStringLiteral("mp3"));
        row("MP3", QStringLiteral("audio/mp3"), QStringLiteral("mp3"));
        row("MP4", QStringLiteral("audio/mp4"), QStringLiteral("m4a"));
        row("empty", QString(), QStringLiteral("m4a"));
    }

    void extensionFollowsTheContentType()
    {
        QFETCH(QString, contentType);
        QFETCH(QString, extension);
        QCOMPARE(PhoneAudio::fileExtension(contentType), extension);
    }
};

QTEST_GUILESS_MAIN(TestPhoneAudio)
#include "tst_phone_audio.moc"
