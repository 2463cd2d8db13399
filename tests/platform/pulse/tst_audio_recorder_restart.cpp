#include "audio/codec/wav_reader.h"
#include "platform/pulse/audio_recorder.h"
#include "platform/pulse/mic_level_meter.h"
#include "store/log.h"

#include "support/command_runner.h"
#include "support/data_folder.h"
#include "support/table_rows.h"
#include "support/test_services.h"
#include "support/virtual_microphone.h"

#include <QTemporaryDir>
#include <QTest>

using namespace kavo;
using Recording = AudioRecorder::Recording;

// The sound server going away and coming back, as when PulseAudio or PipeWire restarts under a running application.
// CTest runs this program alone: every other client of the private server loses its connection too.
class AudioRecorderRestartTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_temporary;
    QString m_speech = m_temporary.filePath("speech.wav");

    // Records the speech with the recorder while the meter listens too; both must hear it.
    void recordAndMeterSpeech(AudioRecorder& recorder, MicLevelMeter& meter, bool noiseReduction)
    {
        double loudest = 0;
        const QObject listening;
        connect(&meter, &MicLevelMeter::levelChanged, &listening,
            [&](double level) { loudest = std::max(loudest, level); });
        QVERIFY_THROWS_NO_EXCEPTION(recorder.start(QString(), noiseReduction));
        QVERIFY_THROWS_NO_EXCEPTION(meter.start(QString(), noiseReduction));
        test::VirtualMicrophone microphone;
        QVERIFY(microphone.setWavFile(m_speech));
        QVERIFY2(microphone.start(), qPrintable(microphone.errorString()));
        QTRY_VERIFY_WITH_TIMEOUT(microphone.isFinished(), 30'000); // the meter's values arrive meanwhile
        meter.stop();
        std::optional<Recording> recording;
        QCoro::connect(recorder.stop(), this, [&](std::optional<Recording> result) { recording = std::move(result); });
        QTRY_VERIFY(recording);
        const double match
            = test::envelopeCorrelation(readWav(m_speech).channels.front(), readWav(recording->path).channels.front());
        QFile::remove(recording->path);
        QVERIFY2(match > 0.8, qPrintable(QStringLiteral("envelope correlation %1").arg(match)));
        QVERIFY2(loudest > 0.5, qPrintable(QStringLiteral("the meter's loudest value was %1").arg(loudest)));
    }

private Q_SLOTS:
    void initTestCase()
    {
        test::useTemporaryDataFolder();
        KAVO_REQUIRE_TEST_SERVICES();
        QVERIFY(test::makeSpeechWav(m_speech, "Please send the report by Friday.").isEmpty());
        qputenv("TMPDIR", QFile::encodeName(m_temporary.path())); // recordings go to the test's own folder
    }

    void init() { Log::reset(); }

    void recordsAgainAfterTheServerRestarts_data()
    {
        test::columns<bool>({ "noiseReduction" });
        test::row("plain path", false);
        test::row("noise reduction", true);
    }

    void recordsAgainAfterTheServerRestarts()
    {
        QFETCH(bool, noiseReduction);
        const test::MicrophoneLock quiet;
        AudioRecorder recorder;
        MicLevelMeter meter;
        // The first recording leaves the recorder with a stream, or a noise-reduction engine, on the first server.
        recordAndMeterSpeech(recorder, meter, noiseReduction);
        if (QTest::currentTestFailed())
            return;
        const QString restart = test::TestServices::restartPulseAudio();
        QVERIFY2(restart.isEmpty(), qPrintable(restart));
        recordAndMeterSpeech(recorder, meter, noiseReduction);
        if (QTest::currentTestFailed())
            return;
        // Noise reduction came back by itself rather than through the fallback to the plain path.
        Log::flush();
        const QString log = QString::fromUtf8(test::readFile(Log::filePath()));
        QCOMPARE(log.count("recording with noise reduction, 16000 Hz, 1 ch"), noiseReduction ? 2 : 0);
    }
};

QTEST_GUILESS_MAIN(AudioRecorderRestartTest)
#include "tst_audio_recorder_restart.moc"
