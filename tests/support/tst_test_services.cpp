#include "support/data_folder.h"
#include "support/table_rows.h"
#include "support/test_services.h"
#include "support/virtual_microphone.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

#include <numeric>
#include <sys/stat.h>

using namespace kavo::test;
using namespace Qt::Literals::StringLiterals;

namespace {

QString run(const QString& command)
{
    QProcess process;
    process.startCommand(command);
    process.waitForFinished(30'000);
    return QString::fromLocal8Bit(process.readAllStandardOutput() + process.readAllStandardError());
}

} // namespace

class TestServicesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useTemporaryDataFolder(); }

    void readsWav_data()
    {
        columns<QByteArray, bool>({ "bytes", "valid" }); // the size in the RIFF header is not read
        const QByteArray head
            = "RIFF\0\0\0\0WAVEfmt \x10\0\0\0\1\0\1\0\x80\x3E\0\0\0\x7D\0\0\2\0\x10\0"_ba; // 16 kHz mono 16-bit
        const QByteArray samples = "\1\0\xFE\xFF\xFF\x7F\0\x80"_ba, data = "data\x08\0\0\0"_ba + samples;
        const QByteArray list = "LIST\7\0\0\0INFOabc\0"_ba, espeakRate = "\x22\x56\0\0\x44\xAC\0\0"_ba; // 22.05 kHz
        row("odd-size chunk before data", QByteArray(head + list + data), true);
        row("streamed data size", QByteArray(head + "data\xff\xff\xff\xff" + samples), true);
        row("espeak-ng's 22.05 kHz", QByteArray(QByteArray(head).replace(24, 8, espeakRate) + data), false);
        row("no data chunk", QByteArray(head + list), false);
    }

    void readsWav()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, valid);
        const WavSamples wav = readWav(bytes);
        QVERIFY2(wav.isValid() == valid, qPrintable(wav.error));
        QVERIFY(wav.samples == (valid ? std::vector<qint16> { 1, -2, 32767, -32768 } : std::vector<qint16> {}));
    }

    void servicesAreThePrivateOnes_data()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        columns<QString, QString>({ "command", "expected" }); // rows: the variable naming the private place
        row("PULSE_SERVER", "pactl info", QString("Server String: " + TestServices::pulseServer() + '\n'));
        row("KAVO_TEST_MIC_FIFO", "pactl get-default-source", "kavo_test_mic\n");
        row("XAUTHORITY", "xset -q", "Keyboard Control:");
        row("DBUS_SESSION_BUS_ADDRESS",
            "dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.ListNames",
            "string \"org.freedesktop.DBus\"");
    }

    void servicesAreThePrivateOnes()
    {
        QFETCH(QString, command);
        QFETCH(QString, expected);
        const QString value = qEnvironmentVariable(QTest::currentDataTag()), folder = TestServices::directory() + '/';
        QVERIFY2(folder.startsWith('/') && value.contains(folder), qPrintable(value + " is outside " + folder));
        const QString output = run(command);
        QVERIFY2(output.contains(expected), qPrintable(command + ": " + output));
    }

    void microphoneFeedsThePrivatePulseAudio()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        const QString unread = useTemporaryDataFolder() + "/unread.fifo";
        QVERIFY(::mkfifo(QFile::encodeName(unread).constData(), 0600) == 0 && !VirtualMicrophone(unread).start());
        std::vector<qint16> ramp(VirtualMicrophone::sampleRate + 170); // ends in a short chunk
        std::iota(ramp.begin(), ramp.end(), qint16(1));
        VirtualMicrophone microphone;
        microphone.setSamples(ramp);
        microphone.setAfterContent(VirtualMicrophone::AfterContent::Silence);

        QByteArray captured; // outlives the recorder, whose last output may still come in while it is destroyed
        QProcess recorder;
        connect(&recorder, &QProcess::readyReadStandardOutput, [&] { captured += recorder.readAllStandardOutput(); });
        recorder.startCommand("parec --raw --format=s16le --rate=16000 --channels=1 --latency-msec=20 --device="
            + TestServices::microphoneSource());
        const auto stopRecorder = qScopeGuard([&recorder] { recorder.close(); });
        // Audio fed before parec's stream is connected would be lost.
        const QString stream = QStringLiteral("application.process.id = \"%1\"").arg(recorder.processId());
        QTRY_VERIFY_WITH_TIMEOUT(run("pactl list source-outputs").contains(stream), 10'000);
        QVERIFY2(microphone.start(), qPrintable(microphone.errorString()));

        // The pipe source hands on every sample unchanged: the whole ramp, in real time, then half a second of silence.
        const QByteArray sent(reinterpret_cast<const char*>(ramp.data()), qsizetype(ramp.size() * 2)); // little-endian
        qsizetype at = -1;
        QTRY_VERIFY_WITH_TIMEOUT((at = captured.indexOf(sent.first(640))) >= 0, 10'000);
        QElapsedTimer clock;
        clock.start();
        QTRY_VERIFY_WITH_TIMEOUT(captured.size() >= at + sent.size() + 16000, 20'000);
        const qint64 took = clock.elapsed(), duration = microphone.contentDuration().count() + 500;
        QVERIFY2(took >= duration * 8 / 10 && took <= duration * 3 / 2, qPrintable(QString::number(took)));
        QVERIFY2(captured.sliced(at, sent.size()) == sent, "the ramp came back altered");
        QCOMPARE(captured.sliced(at + sent.size()).count('\0'), captured.size() - at - sent.size());
    }
};

QTEST_GUILESS_MAIN(TestServicesTest)
#include "tst_test_services.moc"
