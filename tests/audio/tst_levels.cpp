#include "audio/level_smoother.h"
#include "audio/mic_engine.h"

#include <QElapsedTimer>
#include <QTest>
#include <QThread>

#include <cmath>
#include <numbers>
#include <thread>

using namespace kavo;
using namespace std::chrono_literals;

namespace {

QList<float> repeated(float sample, qsizetype count)
{
    return QList<float>(count, sample);
}

QList<float> sine(double frequency, double sampleRate, qsizetype frames)
{
    QList<float> samples;
    for (qsizetype i = 0; i < frames; ++i)
        samples.append(static_cast<float>(std::sin(2 * std::numbers::pi * frequency * i / sampleRate)));
    return samples;
}

QList<float> interleaved(float left, float right, qsizetype frames)
{
    QList<float> samples;
    for (qsizetype i = 0; i < frames; ++i)
        samples << left << right;
    return samples;
}

MicEngine::Buffer bufferOf(const QList<float>& samples, int channelCount, double sampleRate)
{
    return { std::span(samples.constData(), samples.size()), channelCount, sampleRate };
}

} // namespace

class TestLevels : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void windowDecibels_data()
    {
        QTest::addColumn<QList<float>>("samples");
        QTest::addColumn<int>("channelCount");
        QTest::addColumn<double>("sampleRate");
        QTest::addColumn<QList<float>>("expected");

        QTest::newRow("no frames") << QList<float>() << 1 << 16000.0 << QList<float>();
        QTest::newRow("no sample rate") << repeated(0.1f, 800) << 1 << 0.0 << QList<float>();
        QTest::newRow("digital silence") << repeated(0, 1600) << 1 << 16000.0 << QList<float> { -160, -160 };
        // 50 whole cycles per window: RMS 1/sqrt(2).
        QTest::newRow("full-scale sine") << sine(1000, 48000, 4800) << 1 << 48000.0
                                         << QList<float> { -3.0103f, -3.0103f };
        QTest::newRow("loud then quiet") << repeated(0.1f, 800) + repeated(0.01f, 800) << 1 << 16000.0
                                         << QList<float> { -20, -40 };
        QTest::newRow("channel 0 of stereo") << interleaved(0.1f, 1, 1600) << 2 << 16000.0 << QList<float> { -20, -20 };
        QTest::newRow("shorter than a window") << repeated(0.5f, 10) << 1 << 16000.0 << QList<float> { -6.0206f };
        // 2.5 windows round up to 3 of ceil(2000 / 3) = 667 frames; the last one is shorter.
        QTest::newRow("half a window rounds up")
            << repeated(0.1f, 667) + repeated(0.01f, 1333) << 1 << 16000.0 << QList<float> { -20, -40, -40 };
    }

    void windowDecibels()
    {
        QFETCH(QList<float>, samples);
        QFETCH(int, channelCount);
        QFETCH(double, sampleRate);
        QFETCH(QList<float>, expected);
        const QList<float> levels = MicEngine::windowDecibels(bufferOf(samples, channelCount, sampleRate), 0.05);
        QCOMPARE(levels.size(), expected.size());
        for (qsizetype i = 0; i < levels.size(); ++i)
            QVERIFY2(std::abs(levels[i] - expected[i]) < 0.01, qPrintable(QString::number(levels[i])));
    }

    void displayValue_data()
    {
        QTest::addColumn<double>("decibels");
        QTest::addColumn<double>("expected");
        QTest::newRow("silence") << -160.0 << 0.0;
        QTest::newRow("below the floor") << -60.0 << 0.0;
        QTest::newRow("floor") << -50.0 << 0.0;
        QTest::newRow("middle") << -25.0 << 0.5;
        QTest::newRow("full-scale sine") << -3.0103 << 0.939794;
        QTest::newRow("full scale") << 0.0 << 1.0;
        QTest::newRow("above full scale") << 6.0 << 1.0;
        QTest::newRow("not a number") << std::nan("") << 0.0;
    }

    void displayValue()
    {
        QFETCH(double, decibels);
        QFETCH(double, expected);
        QVERIFY(std::abs(MicEngine::displayValue(decibels) - expected) < 1e-6);
    }

    void tapFrames_data()
    {
        QTest::addColumn<double>("sampleRate");
        QTest::addColumn<quint32>("expected");
        QTest::newRow("16 kHz") << 16000.0 << 1600u;
        QTest::newRow("44.1 kHz") << 44100.0 << 4410u;
        QTest::newRow("48 kHz") << 48000.0 << 4800u;
        QTest::newRow("truncated") << 11025.0 << 1102u;
        QTest::newRow("at least one") << 5.0 << 1u;
    }

    void tapFrames()
    {
        QFETCH(double, sampleRate);
        QFETCH(quint32, expected);
        QCOMPARE(MicEngine::tapFrames(sampleRate), expected);
    }

    void deliverSpacedPlaysOutOverTheBuffer_data()
    {
        QTest::addColumn<bool>("fromAudioThread");
        QTest::newRow("from a thread Qt did not start") << true;
        QTest::newRow("from the main thread") << false;
    }

    void deliverSpacedPlaysOutOverTheBuffer()
    {
        QFETCH(bool, fromAudioThread);
        const QList<float> samples(4800); // 0.3 s at 16 kHz: six levels 50 ms apart
        const QList<float> levels { -60, -50, -40, -30, -20, -10 };
        QObject receiver;
        QList<float> received;
        QList<qint64> arrivals;
        bool allOnMainThread = true;
        QElapsedTimer clock;
        clock.start();
        const auto deliver = [&] {
            MicEngine::deliverSpaced(levels, bufferOf(samples, 1, 16000), &receiver, [&](float level) {
                allOnMainThread &= QThread::currentThread() == thread();
                received.append(level);
                arrivals.append(clock.elapsed());
            });
        };
        if (fromAudioThread)
            std::thread(deliver).join();
        else
            deliver();
        QTRY_COMPARE_WITH_TIMEOUT(received.size(), levels.size(), 10000);
        QCOMPARE(received, levels);
        QVERIFY(allOnMainThread);
        // The last level is due 250 ms after the first; a busy machine may only make them later.
        QVERIFY2(
            arrivals.last() - arrivals.first() >= 200, qPrintable(QString::number(arrivals.last() - arrivals.first())));
    }

    void deliverSpacedStopsWithItsReceiver_data()
    {
        QTest::addColumn<int>("destroyAfter");
        QTest::newRow("before the first level") << 0;
        QTest::newRow("by the first delivery") << 1;
        QTest::newRow("midway") << 3;
    }

    void deliverSpacedStopsWithItsReceiver()
    {
        QFETCH(int, destroyAfter);
        const QList<float> samples(1600); // 0.1 s: five levels 20 ms apart
        auto* receiver = new QObject;
        int received = 0;
        MicEngine::deliverSpaced({ 1, 2, 3, 4, 5 }, bufferOf(samples, 1, 16000), receiver, [&](float) {
            if (++received == destroyAfter)
                delete receiver;
        });
        if (destroyAfter == 0)
            delete receiver;
        QTest::qWait(400);
        QCOMPARE(received, destroyAfter);
    }

    void smootherCrossesHalfway_data()
    {
        QTest::addColumn<double>("target");
        QTest::addColumn<int>("frames");
        QTest::newRow("rising, 0.06 s") << 1.0 << 3;
        QTest::newRow("falling, 0.18 s") << 0.0 << 8;
    }

    void smootherCrossesHalfway()
    {
        QFETCH(double, target);
        QFETCH(int, frames);
        LevelSmoother smoother;
        LevelSmoother::Clock::time_point now;
        if (target == 0) {
            for (int i = 0; i < 30; ++i)
                smoother.step(1, now += 100ms);
            QVERIFY(smoother.value() > 0.999999);
        }
        QCOMPARE(smoother.step(target, now), 1 - target); // no time has passed
        const auto frame = std::chrono::microseconds(16'667);
        const bool rising = target == 1;
        for (int i = 1; i < frames; ++i)
            QVERIFY((smoother.step(target, now += frame) < 0.5) == rising);
        QVERIFY((smoother.step(target, now += frame) > 0.5) == rising);
    }

    void smootherStepAfterAGap_data()
    {
        QTest::addColumn<int>("gapMs");
        QTest::addColumn<double>("expected");
        const double tenthOfASecond = 1 - std::exp(-0.1 / 0.06);
        QTest::newRow("a frame") << 50 << 1 - std::exp(-0.05 / 0.06);
        QTest::newRow("the longest step") << 100 << tenthOfASecond;
        QTest::newRow("a pause of 2 s") << 2000 << tenthOfASecond;
        QTest::newRow("time went backwards") << -1000 << 0.0;
    }

    void smootherStepAfterAGap()
    {
        QFETCH(int, gapMs);
        QFETCH(double, expected);
        LevelSmoother smoother;
        const LevelSmoother::Clock::time_point start;
        QCOMPARE(smoother.step(1, start), 0.0); // the first step has no previous time
        QVERIFY(std::abs(smoother.step(1, start + std::chrono::milliseconds(gapMs)) - expected) < 1e-9);
    }
};

QTEST_GUILESS_MAIN(TestLevels)
#include "tst_levels.moc"
