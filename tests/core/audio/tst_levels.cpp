#include "audio/levels/level_smoother.h"
#include "audio/levels/mic_engine.h"
#include "support/table_rows.h"

#include <QElapsedTimer>
#include <QTest>
#include <QThread>

#include <cmath>
#include <thread>

using namespace kavo;
using namespace std::chrono_literals;
using test::row;
using Floats = QList<float>;

class TestLevels : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void windowDecibels_data()
    {
        test::columns<Floats, int, double, Floats>({ "samples", "channels", "sampleRate", "expected" });
        Floats sine; // full scale at a quarter of the sample rate, RMS 1/sqrt(2); as stereo, channel 0 is silent
        for (int i = 0; i < 400; ++i)
            sine << 0 << 1 << 0 << -1;
        row("no frames", Floats(), 1, 16000.0, Floats());
        row("no sample rate", Floats(800, 0.1f), 1, 0.0, Floats());
        row("digital silence", Floats(1600, 0), 1, 16000.0, Floats { -160, -160 });
        row("full-scale sine", sine, 1, 16000.0, Floats { -3.0103f, -3.0103f });
        row("loud then quiet", Floats(800, 0.1f) + Floats(800, 0.01f), 1, 16000.0, Floats { -20, -40 });
        row("channel 0 of stereo", sine, 2, 16000.0, Floats { -160 });
        row("shorter than a window", Floats(10, 0.5f), 1, 16000.0, Floats { -6.0206f });
        // 2.5 windows round up to 3 of ceil(2000 / 3) = 667 frames; the last one is shorter.
        row("2.5 windows are 3", Floats(667, 0.1f) + Floats(1333, 0.01f), 1, 16000.0, Floats { -20, -40, -40 });
    }

    void windowDecibels()
    {
        QFETCH(Floats, samples);
        QFETCH(int, channels);
        QFETCH(double, sampleRate);
        QFETCH(Floats, expected);
        const Floats levels = MicEngine::windowDecibels({ samples, channels, sampleRate }, 0.05);
        QCOMPARE(levels.size(), expected.size());
        for (qsizetype i = 0; i < levels.size(); ++i)
            QVERIFY2(std::abs(levels[i] - expected[i]) < 0.01, qPrintable(QString::number(levels[i])));
    }

    void displayValueAndTapFrames()
    {
        // Clamped at -50 dB and at full scale; a level from broken samples (NaN) shows as silence.
        for (const auto& [decibels, display] : { std::pair { -160.0, 0.0 }, { -50.0, 0.0 }, { -25.0, 0.5 },
                 { -3.0103, 0.939794 }, { 0.0, 1.0 }, { 6.0, 1.0 }, { std::nan(""), 0.0 } })
            QCOMPARE(MicEngine::displayValue(decibels), display);
        // 100 ms of audio, truncated, at least one frame.
        for (const auto& [sampleRate, frames] : { std::pair { 16000.0, 1600u }, { 11025.0, 1102u }, { 5.0, 1u } })
            QCOMPARE(MicEngine::tapFrames(sampleRate), frames);
    }

    void deliverSpaced_data()
    {
        test::columns<bool, int>({ "fromAudioThread", "destroyAfter" }); // -1: the receiver lives on
        row("from a thread Qt did not start", true, -1);
        row("from the main thread", false, -1);
        row("receiver gone before the first level", true, 0);
        row("receiver gone by a delivery", false, 3);
    }

    void deliverSpaced()
    {
        QFETCH(bool, fromAudioThread);
        QFETCH(int, destroyAfter);
        const Floats samples(4800), levels { -60, -50, -40, -30, -20, -10 }; // 0.3 s at 16 kHz: 50 ms apart
        auto receiver = std::make_unique<QObject>();
        Floats received;
        QList<qint64> arrivals;
        QElapsedTimer clock;
        clock.start();
        const auto deliver = [&] {
            MicEngine::deliverSpaced(levels, { { samples.data(), 4800 }, 1, 16000 }, receiver.get(), [&](float level) {
                QVERIFY(QThread::currentThread() == thread());
                received.append(level);
                arrivals.append(clock.elapsed());
                if (received.size() == destroyAfter)
                    receiver.reset();
            });
        };
        fromAudioThread ? std::thread(deliver).join() : deliver();
        if (destroyAfter == 0)
            receiver.reset();
        const qsizetype expected = destroyAfter < 0 ? levels.size() : destroyAfter;
        QTRY_COMPARE_WITH_TIMEOUT(received.size(), expected, 10000);
        QTest::qWait(300); // time for any level that should not come
        QCOMPARE(received, levels.first(expected));
        // Level i is due 50 ms * i after the first; a busy machine may only make them later.
        QVERIFY(expected < 2 || arrivals.last() - arrivals.first() >= (expected - 2) * 50);
    }

    void smoother_data()
    {
        // Steps of `frameUs` toward `target` from the other end (0 or 1), after a first step that moves nothing.
        test::columns<double, int, int, double, double>({ "target", "frameUs", "frames", "low", "high" });
        row("rising: under half after two frames", 1.0, 16667, 2, 0.0, 0.5);
        row("rising: past half after three", 1.0, 16667, 3, 0.5, 1.0);
        row("falling: over half after seven", 0.0, 16667, 7, 0.5, 1.0);
        row("falling: under half after eight", 0.0, 16667, 8, 0.0, 0.5);
        row("a 2 s pause counts as 0.1 s", 1.0, 2'000'000, 1, 0.81, 0.82); // 1 - e^(-0.1 / 0.06)
        row("time going back moves nothing", 1.0, -1'000'000, 1, 0.0, 0.0);
    }

    void smoother()
    {
        QFETCH(double, target);
        QFETCH(int, frameUs);
        QFETCH(int, frames);
        QFETCH(double, low);
        QFETCH(double, high);
        LevelSmoother smoother;
        LevelSmoother::Clock::time_point now;
        for (int i = 0; target == 0 && i < 30; ++i)
            smoother.step(1, now += 100ms);
        QCOMPARE(smoother.step(target, now), 1 - target);
        for (int i = 0; i < frames; ++i)
            smoother.step(target, now += std::chrono::microseconds(frameUs));
        QVERIFY2(smoother.value() >= low && smoother.value() <= high, qPrintable(QString::number(smoother.value())));
    }
};

QTEST_GUILESS_MAIN(TestLevels)
#include "tst_levels.moc"
