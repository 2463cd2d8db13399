#pragma once

#include <QString>
#include <QTest>

#include <chrono>

namespace kavo::test {

/// The private PulseAudio, Xvfb display and D-Bus session bus that scripts/test-services starts for a test run,
/// as its environment describes them.
class TestServices
{
public:
    /// True when the test runs inside `scripts/test-services run` (or with its environment file sourced).
    static bool available();
    /// The runtime folder holding every service's sockets, logs and the microphone FIFO.
    static QString directory();
    /// The FIFO the PulseAudio pipe source reads as the virtual microphone.
    static QString microphoneFifo();
    /// The PulseAudio source name of the virtual microphone, also the default source.
    static QString microphoneSource();
    /// Why a test that needs the services skips when they are absent.
    static const char* skipReason();

    /// Stops the private PulseAudio and starts it again in the same folder, with its virtual microphone and the
    /// microphone's drain, as a restart of a desktop's sound server would: every client loses its connection, and
    /// audio fed meanwhile is lost. Holds the microphone lock throughout. Returns what went wrong, if anything.
    /// Only for test programs that CTest runs alone: any other program using the server at the time would fail.
    static QString restartPulseAudio();
};

/// Holds a microphone FIFO for this process, so test programs that CTest runs in parallel never feed or record the
/// shared virtual microphone at the same time. Locks on the same FIFO nest inside one process.
class MicrophoneLock
{
public:
    explicit MicrophoneLock(const QString& fifoPath = TestServices::microphoneFifo(),
        std::chrono::milliseconds timeout = std::chrono::minutes(4));
    ~MicrophoneLock();
    MicrophoneLock(const MicrophoneLock&) = delete;
    MicrophoneLock& operator=(const MicrophoneLock&) = delete;

    bool isLocked() const { return m_locked; }
    QString errorString() const { return m_error; }

private:
    QString m_lockPath;
    bool m_locked = false;
    QString m_error;
};

/// Holds the private X server's keyboard for this process: test programs that press keys there would otherwise see
/// each other's keys. The lock is a file in the services' folder, locked like a microphone FIFO.
class KeyboardLock : public MicrophoneLock
{
public:
    KeyboardLock()
        : MicrophoneLock(TestServices::directory() + QLatin1String("/keyboard"))
    { }
};

} // namespace kavo::test

/// Skips the current test function when it runs outside scripts/test-services.
#define KAVO_REQUIRE_TEST_SERVICES()                                                                                   \
    do {                                                                                                               \
        if (!kavo::test::TestServices::available())                                                                    \
            QSKIP(kavo::test::TestServices::skipReason());                                                             \
    } while (false)
