#include "app/mic_test.h"
#include "dictation/dictation_state.h"
#include "platform/pulse/mic_level_meter.h"
#include "state/toasts.h"
#include "store/settings.h"
#include "support/data_folder.h"
#include "support/test_services.h"
#include "support/virtual_microphone.h"

#include <QSignalSpy>
#include <QTest>

using namespace kavo;

class TestMicTest : public QObject
{
    Q_OBJECT

    MicLevelMeter m_meter;
    Settings m_settings;
    DictationState m_dictation;
    Toasts m_toasts;

private Q_SLOTS:
    void initTestCase()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        test::useTemporaryDataFolder();
    }

    // The level of what the microphone hears while the test runs, none once it stops; nothing starts while a
    // dictation records.
    void levelsWhileRunning()
    {
        MicTest test(m_meter, m_settings, m_dictation, m_toasts);
        m_dictation.setPhase(DictationState::Phase::recording);
        test.toggle();
        QVERIFY(!test.isRunning() && !m_meter.isRunning());
        m_dictation.setPhase(DictationState::Phase::idle);

        const test::MicrophoneLock quiet;
        test::VirtualMicrophone microphone;
        microphone.setSamples(std::vector<qint16>(16000, 12000));
        test.toggle();
        QCOMPARE(test.level(), 0.0);
        QVERIFY2(microphone.start(), qPrintable(microphone.errorString()));
        QTRY_VERIFY_WITH_TIMEOUT(test.level().value_or(0) > 0.3, 5000);
        test.toggle();
        QCOMPARE(test.level(), std::nullopt);
        QVERIFY(!m_meter.isRunning());
    }

    void microphoneThatDoesNotStart()
    {
        MicTest test(m_meter, m_settings, m_dictation, m_toasts);
        m_settings.setInputDeviceID(u"no-such-microphone"_qs);
        test.toggle();
        QVERIFY(!test.isRunning());
        const Toasts::Toast toast = m_toasts.current().value();
        QCOMPARE(toast.title + u'|' + QString::number(int(toast.tone)),
            u"The microphone did not start|%1"_qs.arg(int(Toasts::Tone::danger)));
        QVERIFY(!toast.detail.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestMicTest)
#include "tst_mic_test.moc"
