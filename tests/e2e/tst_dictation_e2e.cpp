#include "audio/codec/wav_reader.h"
#include "audio/preparation/audio_trimmer.h"
#include "delivery/text_injector.h"
#include "dictation/dictation_flow.h"
#include "hotkey/hotkey_monitor.h"
#include "platform/desktop_feedback.h"
#include "platform/pulse/audio_recorder.h"
#include "platform/session_backends.h"
#include "state/toasts.h"
#include "store/data_stores.h"
#include "store/log.h"

#include "support/command_runner.h"
#include "support/data_folder.h"
#include "support/fake_gemini.h"
#include "support/notification_server.h"
#include "support/test_services.h"
#include "support/text_target.h"
#include "support/virtual_microphone.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#undef Status

using namespace kavo;
using test::FakeGemini;
using Phase = DictationState::Phase;

namespace {

constexpr unsigned controlKey = 37;
constexpr unsigned leftSuperKey = 133;

// Presses or releases the default hotkey, Control + left Super, as the user's keyboard would.
void pressHotkey(Display* display, bool press)
{
    for (const unsigned key : { controlKey, leftSuperKey })
        XTestFakeKeyEvent(display, key, press, CurrentTime);
    XFlush(display);
}

double wavSeconds(const QString& path)
{
    const WavAudio audio = readWav(path);
    return double(audio.frameCount()) / audio.format.sampleRate;
}

} // namespace

class TestDictationEndToEnd : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_temporary;
    QTemporaryDir m_work;
    FakeGemini m_gemini;
    std::optional<test::KeyboardLock> m_keyboard;
    std::unique_ptr<test::TextTarget> m_target;
    Display* m_display = nullptr;
    QString m_speech;

    struct Application
    {
        DataStores stores;
        Toasts toasts;
        AudioRecorder recorder;
        TextInjector injector { SessionBackends::injectionBackend() };
        HotkeyMonitor hotkey { SessionBackends::hotkeySource };
        std::unique_ptr<FrontAppSource> front = SessionBackends::frontApplication();
        DictationFlow flow { stores, toasts, recorder, injector };
        const DictationState& state = flow.state();
        DesktopFeedback feedback { flow };
        QString recordingCopy;

        explicit Application(const QString& copyTo)
        {
            stores.load();
            Config config = stores.settings.config();
            config.apiKey = u"test-key"_qs;
            config.snippets = { Snippet { QUuid::createUuid(), u"my address"_qs, u"12 Navoi Street, Tashkent"_qs } };
            stores.settings.setConfig(config);
            flow.setFrontApplication(front.get());
            flow.attachHotkey(hotkey);
            hotkey.start();
            // The recording is complete once its upload goes out; a copy tells what the upload should hold.
            QObject::connect(&state, &DictationState::stageChanged, &state, [this, copyTo] {
                const QStringList recordings = QDir::temp().entryList({ u"kavo-*.wav"_qs }, QDir::Files, QDir::Time);
                if (state.stage() == DictationStage::transcribing && !recordings.isEmpty()) {
                    QFile::remove(copyTo);
                    QFile::copy(QDir::temp().filePath(recordings.last()), copyTo);
                    recordingCopy = copyTo;
                }
            });
        }
    };

    // Holds the hotkey while the microphone speaks, lets go and waits for the dictation to end.
    bool dictate(Application& app)
    {
        // Held from before the recording starts, so no other test program feeds the microphone meanwhile.
        const test::MicrophoneLock quiet;
        test::VirtualMicrophone microphone;
        if (!microphone.setWavFile(m_speech))
            return false;
        pressHotkey(m_display, true);
        if (!QTest::qWaitFor([&] { return app.state.phase() == Phase::recording; }, 3000))
            return false;
        if (!microphone.start() || !microphone.wait())
            return false;
        QTest::qWait(300);
        pressHotkey(m_display, false);
        return QTest::qWaitFor(
            [&] { return app.state.phase() == Phase::idle || app.state.phase() == Phase::failed; }, 20000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        qputenv("TMPDIR", m_temporary.path().toLocal8Bit());
        test::useTemporaryDataFolder();
        QVERIFY(m_gemini.start());
        m_gemini.answerModelLookups(true);
        qputenv("KAVO_GEMINI_BASE_URL", m_gemini.baseUrl().toString().toUtf8());

        // Two phrases with a long pause between them, which the upload leaves out.
        m_speech = m_work.filePath(u"speech.wav"_qs);
        QCOMPARE(test::makeSpeechWav(m_speech, u"to my address"_qs), QString());
        const std::vector<float> tail = readWav(m_speech).channels.front();
        QCOMPARE(test::makeSpeechWav(m_speech, u"Please send the parcel"_qs), QString());
        WavAudio speech = readWav(m_speech);
        speech.channels.front().resize(speech.channels.front().size() + 24000);
        speech.channels.front().insert(speech.channels.front().end(), tail.begin(), tail.end());
        writeWav(m_speech, speech.format, speech.channels);
        m_keyboard.emplace();
        QVERIFY(m_keyboard->isLocked());
        m_display = XOpenDisplay(nullptr);
        QVERIFY(m_display);
        m_target = std::make_unique<test::TextTarget>(QStringLiteral(KAVO_TEXT_TARGET));
        QCOMPARE(m_target->start(), QString());
        QVERIFY(m_target->focus());
    }

    void cleanupTestCase()
    {
        m_target.reset();
        if (m_display) {
            XDeleteProperty(
                m_display, DefaultRootWindow(m_display), XInternAtom(m_display, "_NET_ACTIVE_WINDOW", False));
            XCloseDisplay(m_display);
        }
    }

    void init()
    {
        test::emptyDataFolder();
        m_target->clear();
    }

    void deliversTheTranscript()
    {
        const QString expanded = u"Please send the parcel to 12 Navoi Street, Tashkent."_qs;
        m_gemini.enqueue(FakeGemini::text(u"Please send the parcel to my address."_qs));
        const qsizetype before = m_gemini.requests().size();
        Application app(m_work.filePath(u"recording.wav"_qs));
        const FrontApp front = SessionBackends::frontApplication()->current();
        QVERIFY(front.name);
        QVERIFY(dictate(app));

        QCOMPARE(app.state.phase(), Phase::idle);
        QCOMPARE(m_target->waitForText(expanded), expanded);
        const HistoryEntry& entry = app.stores.history.entries().value(0);
        QCOMPARE(QStringList({ rawValue(entry.status), entry.text, entry.model, entry.appName.value_or(u"-"_qs) }),
            QStringList({ "done", expanded, Config::defaultModel, *front.name }));
        QVERIFY(entry.duration > 1.5 && entry.latency && *entry.latency > 0 && *entry.latency < 5);

        // The upload is the M4A of the trimmed recording.
        QList<FakeGemini::Request> posts = m_gemini.requests().mid(before);
        posts.removeIf([](const FakeGemini::Request& request) { return request.method != "POST"; });
        QCOMPARE(posts.size(), 1);
        const QString m4a = m_work.filePath(u"sent.m4a"_qs);
        test::writeFile(m4a, posts.first().audio().second);
        const QString decoded = m_work.filePath(u"sent.wav"_qs);
        QCOMPARE(test::runFfmpeg({ "-i", m4a, "-ar", "16000", "-ac", "1", decoded }), QString());
        QVERIFY(!app.recordingCopy.isEmpty());
        const std::optional<QString> trimmed = AudioTrimmer::trimSilence(app.recordingCopy, 0.25);
        QVERIFY2(trimmed, "the spoken pause was not shortened");
        QVERIFY(wavSeconds(*trimmed) < entry.duration - 0.5);
        // The ffmpeg program drops the encoder's priming but decodes the last AAC frame whole.
        const double sent = wavSeconds(decoded), expected = wavSeconds(*trimmed);
        QVERIFY2(sent > expected - 0.001 && sent < expected + 1024.0 / 16000,
            qPrintable(u"sent %1 s, trimmed %2 s"_qs.arg(sent).arg(expected)));
        QCOMPARE(QDir::temp().entryList({ u"kavo-*"_qs }, QDir::Files), QStringList());
        // The upload was made while the microphone spoke.
        QVERIFY(!test::logText().contains(u"could not be prepared while recording"_qs));
    }

    // A refusal keeps the audio for a retry and shows a notification on the desktop.
    void refusal()
    {
        test::NotificationServer notifications;
        QVERIFY(notifications.isRegistered());
        m_gemini.enqueue(FakeGemini::error(403, u"Permission denied"_qs));
        Application app(m_work.filePath(u"recording.wav"_qs));
        QVERIFY(dictate(app));
        QCOMPARE(app.state.phase(), Phase::failed);
        const HistoryEntry& entry = app.stores.history.entries().value(0);
        QVERIFY(entry.status == HistoryEntry::Status::failed && !entry.offline);
        QVERIFY(QFile::exists(Config::audioDirectory() + u'/' + entry.audioFile.value()));
        QVERIFY(notifications.waitForNotifications(1));
        const test::ReceivedNotification notification = notifications.notifications().first();
        QCOMPARE(notification.summary + u'|' + notification.body,
            "Not transcribed|The audio is saved. Try again from History.");
        QCOMPARE(m_target->text(), QString());
    }
};

QTEST_GUILESS_MAIN(TestDictationEndToEnd)
#include "tst_dictation_e2e.moc"
