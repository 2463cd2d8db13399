#include "store/config.h"
#include "support/command_runner.h"
#include "support/data_folder.h"
#include "support/fake_gemini.h"
#include "support/status_notifier_host.h"
#include "support/test_services.h"
#include "support/text_target.h"
#include "support/virtual_microphone.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QScopeGuard>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <csignal>

using namespace kavo;
using namespace std::chrono_literals;
using test::FakeGemini;

namespace {

// Longer than the menu shows of the last text.
const QString transcript = QStringLiteral("Please send the parcel to the office before noon tomorrow.");

// Presses or releases Control + left Super, the default hotkey.
void pressHotkey(Display* display, bool press)
{
    for (const unsigned key : { 37u, 133u })
        XTestFakeKeyEvent(display, key, press, CurrentTime);
    XFlush(display);
}

} // namespace

class TestApplication : public QObject
{
    Q_OBJECT

    QTemporaryDir m_work;
    QString m_data;
    FakeGemini m_gemini;
    std::optional<test::KeyboardLock> m_keyboard;
    std::unique_ptr<test::TextTarget> m_target;
    std::unique_ptr<test::StatusNotifierHost> m_tray;
    Display* m_display = nullptr;
    QString m_speech;
    quint16 m_phonePlainPort = 0;
    QProcess m_application;

    static QProcessEnvironment environment()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
        // Under a sanitizer the program is checked for leaks by the suites of its parts: its windows leave Qt Quick's
        // textures behind, which only slow whole-stack leak checking can tell from ours.
        environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        return environment;
    }

    // The tray menu's status line (a disabled entry), once it reads `expected`.
    bool menuShows(const QString& expected, std::chrono::milliseconds timeout = 10s)
    {
        if (QTest::qWaitFor([&] { return m_tray->menu().value(0) == expected + u" [disabled]"; }, int(timeout.count())))
            return true;
        qWarning().noquote() << "The tray menu reads:" << m_tray->menu().join(u'\n');
        return false;
    }

    // Speaks into the microphone between two requests to the running application.
    bool speak(const std::function<void()>& start, const std::function<void()>& stop)
    {
        const test::MicrophoneLock quiet;
        test::VirtualMicrophone microphone;
        if (!microphone.setWavFile(m_speech))
            return false;
        start();
        if (!menuShows(u"Recording... (Esc to cancel)"_qs) || !microphone.start() || !microphone.wait())
            return false;
        stop();
        return true;
    }

    static int remote(const QString& command)
    {
        return QProcess::execute(QStringLiteral(KAVO_VOICE_BINARY), { command });
    }

    // A port nothing listens on now.
    static quint16 freePort()
    {
        QTcpServer probe;
        return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
    }

private Q_SLOTS:
    void initTestCase()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        m_data = test::useTemporaryDataFolder();
        Config config;
        config.apiKey = QStringLiteral("test-key");
        config.onboardingDone = true;
        config.phoneServerEnabled = true;
        config.phonePlainEnabled = true;
        config.phonePort = freePort();
        config.phonePlainPort = m_phonePlainPort = freePort();
        QVERIFY(config.save());
        QVERIFY(m_gemini.start());
        m_gemini.answerModelLookups(true);
        qputenv("KAVO_GEMINI_BASE_URL", m_gemini.baseUrl().toString().toUtf8());
        m_speech = m_work.filePath(QStringLiteral("speech.wav"));
        QCOMPARE(test::makeSpeechWav(m_speech, QStringLiteral("Please send the parcel")), QString());

        m_keyboard.emplace();
        QVERIFY(m_keyboard->isLocked());
        m_display = XOpenDisplay(nullptr);
        QVERIFY(m_display);
        m_target = std::make_unique<test::TextTarget>(QStringLiteral(KAVO_TEXT_TARGET));
        QCOMPARE(m_target->start(), QString());
        QVERIFY(m_target->focus());

        m_tray = std::make_unique<test::StatusNotifierHost>();
        QVERIFY2(m_tray->isRegistered(), qPrintable(m_tray->errorString()));
        m_application.setProcessEnvironment(environment());
        m_application.setProcessChannelMode(QProcess::ForwardedChannels);
        m_application.start(QStringLiteral(KAVO_VOICE_BINARY), {});
        QVERIFY(m_application.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(m_tray->items().size(), 1, 10000);
        // The launch checks the key by listing the models; the replies the tests script are for what comes after.
        const auto keyChecked = [this] {
            const QList<FakeGemini::Request> requests = m_gemini.requests();
            return std::ranges::any_of(requests, [](const FakeGemini::Request& request) {
                return request.method == "GET" && request.path.startsWith("/v1beta/models?");
            });
        };
        QTRY_VERIFY_WITH_TIMEOUT(keyChecked(), 10000);
    }

    void cleanupTestCase()
    {
        if (m_application.state() != QProcess::NotRunning) {
            m_application.kill();
            m_application.waitForFinished();
        }
        m_target.reset();
        if (m_display)
            XCloseDisplay(m_display);
    }

    // The launch in its order, and the menu as the tray shows it when nothing happens: how to start, the
    // microphones, the commands.
    void launchAndIdleMenu()
    {
        // The log is written by a thread of its own, so its lines may come after the tray icon.
        const auto launchedInOrder = [this] {
            const QString log = QString::fromUtf8(test::readFile(m_data + u"/kavo.log"_qs));
            const qsizetype launched = log.indexOf(u"launched, bundle=" KAVO_VOICE_BINARY ""_qs);
            const qsizetype access = log.indexOf(u"accessibility granted=true"_qs);
            return launched >= 0 && launched < access && access < log.indexOf(u"hotkey monitor starting"_qs);
        };
        QTRY_VERIFY_WITH_TIMEOUT(launchedInOrder(), 5000);
        QVERIFY(m_tray->openMenu()); // the microphones are read again
        QVERIFY(menuShows(u"Hold Control + Super to talk"_qs));
        const QStringList menu = m_tray->menu();
        QCOMPARE(menu.mid(0, 5).join(u'|'),
            u"Hold Control + Super to talk [disabled]|-|Microphone: System default|  System default [checked]|"
            "  Unix FIFO source %1"_qs.arg(test::TestServices::microphoneFifo()));
        QVERIFY(menu.contains(u"Hide button"_qs));
        QVERIFY(!menu.join(u'\n').contains(u"Last text"_qs));
        QCOMPARE(menu.mid(menu.size() - 3), QStringList({ "Check for updates", "Open logs", "Quit" }));
    }

    // Two `toggle` requests dictate into the focused window; the menu follows each phase and then offers the text.
    void toggleDictates()
    {
        FakeGemini::Reply slow = FakeGemini::text(transcript);
        slow.delay = 1500ms;
        m_gemini.enqueue(slow);
        QVERIFY(speak([] { QCOMPARE(remote(u"toggle"_qs), 0); }, [] { QCOMPARE(remote(u"toggle"_qs), 0); }));
        QVERIFY(menuShows(u"Transcribing..."_qs));
        QVERIFY2(m_target->waitForText(transcript, 10s) == transcript, test::readFile(m_data + u"/kavo.log"_qs));
        QVERIFY(menuShows(u"Hold Control + Super to talk"_qs));
        QVERIFY(m_tray->menu().contains(u"Last text: %1... "_qs.arg(transcript.first(48)).trimmed()));
    }

    void hotkeyDictates()
    {
        m_target->clear();
        m_gemini.enqueue(FakeGemini::text(u"Hello."_qs));
        QVERIFY(speak([this] { pressHotkey(m_display, true); }, [this] { pressHotkey(m_display, false); }));
        QCOMPARE(m_target->waitForText(u"Hello."_qs, 10s), u"Hello."_qs);
    }

    // Hovering the pill and dragging it start nothing; a click on it starts a dictation and a second one ends it. The
    // text lands in the focused window, which keeps the keyboard focus throughout.
    void pillClickDictates()
    {
        m_target->clear();
        m_gemini.enqueue(FakeGemini::text(u"Clicked."_qs));
        QList<unsigned long> pill;
        QTRY_COMPARE_WITH_TIMEOUT((pill = test::windowsOfClass(u"kavo-voice"_qs)).size(), 1, 5000);
        Window focused = 0;
        int revert = 0;
        XGetInputFocus(m_display, &focused, &revert);
        int drag = 0;
        const auto click = [this, &drag, window = pill.constFirst()] {
            XWindowAttributes attributes;
            QVERIFY(XGetWindowAttributes(m_display, window, &attributes));
            // The pill's middle: its surface (the wave while listening), away from the buttons at its right end.
            const int x = attributes.x + attributes.width / 2;
            const int y = attributes.y + 16 + 26;
            XTestFakeMotionEvent(m_display, -1, x, y, CurrentTime);
            XTestFakeButtonEvent(m_display, 1, True, CurrentTime);
            XTestFakeMotionEvent(m_display, -1, x + drag, y, CurrentTime);
            XTestFakeButtonEvent(m_display, 1, False, CurrentTime);
            XFlush(m_display);
        };
        drag = 40;
        click();
        QTest::qWait(1000); // the tooltip shows
        QVERIFY(menuShows(u"Hold Control + Super to talk"_qs));
        drag = 0;
        QVERIFY(speak(click, click));
        QVERIFY2(
            m_target->waitForText(u"Clicked."_qs, 10s) == u"Clicked."_qs, test::readFile(m_data + u"/kavo.log"_qs));
        Window now = 0;
        XGetInputFocus(m_display, &now, &revert);
        QCOMPARE(now, focused);
    }

    void failureShowsInTheMenu()
    {
        m_gemini.enqueue(FakeGemini::error(400, u"bad audio"_qs));
        QVERIFY(speak([] { remote(u"start"_qs); }, [] { remote(u"stop"_qs); }));
        QVERIFY(menuShows(u"Something went wrong"_qs));
        QVERIFY(menuShows(u"Hold Control + Super to talk"_qs));
    }

    // The phone link runs with the application: its token made and saved at launch, an upload transcribed and typed
    // into the focused window, and the text sent back to the phone. The paste leaves the interface free: the hidden
    // pill after the next test shows it.
    void phoneUploadIsTyped()
    {
        const QString token
            = QJsonDocument::fromJson(test::readFile(m_data + u"/config.json"_qs))[u"phoneToken"].toString();
        QCOMPARE(token.size(), 16);
        QTRY_VERIFY(test::readFile(m_data + u"/kavo.log"_qs).contains("phone server (http) listening on"));
        m_target->clear();
        m_gemini.enqueue(FakeGemini::text(u"From the phone."_qs));
        QNetworkAccessManager network;
        QNetworkRequest request(QUrl(u"http://127.0.0.1:%1/audio?t=%2"_qs.arg(m_phonePlainPort).arg(token)));
        request.setHeader(QNetworkRequest::ContentTypeHeader, u"audio/wav"_qs);
        const std::unique_ptr<QNetworkReply> reply(network.post(request, test::readFile(m_speech)));
        QTRY_VERIFY_WITH_TIMEOUT(reply->isFinished(), 20000);
        QCOMPARE(reply->readAll(), R"({"text":"From the phone."})");
        QCOMPARE(m_target->waitForText(u"From the phone."_qs, 10s), u"From the phone."_qs);
    }

    // A second start shows the first one's window and ends.
    void secondStartShowsTheWindow()
    {
        QCOMPARE(test::windowsOfClass(u"kavo-voice"_qs).size(), 1); // the pill
        QProcess second;
        second.setProcessEnvironment(environment());
        second.start(QStringLiteral(KAVO_VOICE_BINARY), {});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(test::windowsOfClass(u"kavo-voice"_qs).size(), 2, 5000);
    }

    // "Hide button" hides the pill; SIGTERM ends the application in order: a setting changed a moment before is
    // written.
    void terminationWritesTheSettings()
    {
        QVERIFY2(m_tray->click(u"Hide button"_qs), qPrintable(m_tray->menu().join(u'\n')));
        QTRY_COMPARE(test::windowsOfClass(u"kavo-voice"_qs).size(), 1); // the main window, without the pill
        ::kill(pid_t(m_application.processId()), SIGTERM);
        QVERIFY(m_application.waitForFinished(10000));
        QCOMPARE(m_application.exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_application.exitCode(), 0);
        const QJsonObject saved = QJsonDocument::fromJson(test::readFile(m_data + u"/config.json"_qs)).object();
        QCOMPARE(saved[u"hudVisible"].toBool(true), false);
        QVERIFY(saved.contains(u"hudX") && saved.contains(u"hudY")); // where the pill was dragged to
    }

    // A data file left damaged is set aside at launch with its bytes intact, and the application starts all the same.
    void damagedFileIsSetAside_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("settings") << u"config.json"_qs;
        QTest::newRow("history") << u"history.json"_qs;
        QTest::newRow("notes") << u"notes.json"_qs;
    }

    void damagedFileIsSetAside()
    {
        QFETCH(QString, name);
        const QByteArray damaged = "{\"entries\": [{\"id\": \"0F3C"; // cut short
        test::writeFile(m_data + u'/' + name, damaged);
        QProcess application;
        application.setProcessEnvironment(environment());
        application.start(QStringLiteral(KAVO_VOICE_BINARY), {});
        const auto endOnFailure = qScopeGuard([&] {
            application.kill();
            application.waitForFinished();
        });
        QVERIFY(application.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!test::windowsOfClass(u"kavo-voice"_qs).isEmpty(), 10000);

        const QStringList setAside = QDir(m_data).entryList({ name + u".broken-*" });
        QCOMPARE(setAside.size(), 1);
        QCOMPARE(test::readFile(m_data + u'/' + setAside[0]), damaged);
        QTRY_VERIFY(test::logText().contains(u"could not read " + name + u"; kept it as " + setAside[0]));
        ::kill(pid_t(application.processId()), SIGTERM);
        QVERIFY(application.waitForFinished(10000));
        QCOMPARE(application.exitCode(), 0);
        QVERIFY(QFile::remove(m_data + u'/' + setAside[0]));
    }
};

QTEST_GUILESS_MAIN(TestApplication)
#include "tst_application.moc"
