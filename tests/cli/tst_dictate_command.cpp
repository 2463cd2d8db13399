#include "store/history.h"

#include "support/command_runner.h"
#include "support/data_folder.h"
#include "support/fake_gemini.h"
#include "support/test_services.h"
#include "support/virtual_microphone.h"

#include <QTemporaryDir>
#include <QTest>

using namespace kavo;
using test::FakeGemini;

class TestDictateCommand : public QObject
{
    Q_OBJECT

    QTemporaryDir m_data;
    FakeGemini m_gemini;

    // Starts the program and, once it records, lets the virtual microphone speak.
    test::CommandResult run(const QStringList& arguments, test::VirtualMicrophone* microphone = nullptr)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("KAVO_DATA_DIR"), m_data.path());
        environment.insert(QStringLiteral("KAVO_GEMINI_BASE_URL"), m_gemini.baseUrl().toString());
        environment.insert(QStringLiteral("GEMINI_API_KEY"), QStringLiteral("test-key"));
        environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
        const QString log = m_data.filePath(QStringLiteral("kavo.log"));
        return test::runKavoVoiceServed(QStringList { QStringLiteral("dictate") } + arguments, environment, [&] {
            if (microphone) {
                QVERIFY(
                    QTest::qWaitFor([&] { return test::readFile(log).contains("recording started (mac)"); }, 10000));
                QVERIFY(microphone->start());
            }
        });
    }

private Q_SLOTS:
    void initTestCase()
    {
        test::useTemporaryDataFolder();
        QVERIFY(m_gemini.start());
        m_gemini.answerModelLookups(true);
    }

    void recordsTranscribesAndKeepsTheEntry()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        const QString speech = m_data.filePath(QStringLiteral("speech.wav"));
        QCOMPARE(test::makeSpeechWav(speech, QStringLiteral("One dictation from the command line")), QString());
        test::VirtualMicrophone microphone;
        QVERIFY(microphone.setWavFile(speech));
        microphone.setAfterContent(test::VirtualMicrophone::AfterContent::Silence);
        m_gemini.enqueue(FakeGemini::text(QStringLiteral("One dictation from the command line")));

        const test::MicrophoneLock quiet;
        const test::CommandResult result = run({ QStringLiteral("--seconds"), QStringLiteral("3") }, &microphone);
        QVERIFY2(result.exitCode == 0, result.err.constData());
        QCOMPARE(result.out, QByteArray("One dictation from the command line\n"));
        const std::optional<History> history
            = History::decode(test::readFile(m_data.filePath(QStringLiteral("history.json"))));
        QVERIFY(history && history->entries.size() == 1);
        const HistoryEntry& entry = history->entries.first();
        QCOMPARE(entry.source, QStringLiteral("mac"));
        QCOMPARE(entry.status, HistoryEntry::Status::done);
        QVERIFY(qAbs(entry.duration - 3) < 0.3);
        QVERIFY(!entry.latency);
    }

    void refusesBadArguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("no seconds") << QStringList { u"--seconds"_qs, u"soon"_qs } << 2
                                    << QByteArray("positive number");
        QTest::newRow("no note ID") << QStringList { u"--note"_qs, u"x"_qs } << 2 << QByteArray("note ID");
        QTest::newRow("unknown note") << QStringList { u"--note"_qs, QUuid::createUuid().toString() } << 1
                                      << QByteArray("there is no note");
        QTest::newRow("both targets") << QStringList { u"--type"_qs, u"--note"_qs, QUuid::createUuid().toString() } << 2
                                      << QByteArray("exclude each other");
    }
    void refusesBadArguments()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, message);
        const test::CommandResult result = run(arguments);
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY2(result.err.contains(message), result.err.constData());
    }
};

QTEST_GUILESS_MAIN(TestDictateCommand)
#include "tst_dictate_command.moc"
