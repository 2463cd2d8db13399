#include "session/desktop_session.h"
#include "session/login_item.h"
#include "session/termination_signals.h"

#include "support/data_folder.h"
#include "support/table_rows.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace kavo;
using namespace kavo::test;

class TestDesktopSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decidesFromTheEnvironment_data()
    {
        columns<QString, DesktopSession>({ "variables", "session" });
        row("x11 by type", "XDG_SESSION_TYPE=x11 DISPLAY=:0 WAYLAND_DISPLAY=wayland-0", DesktopSession::x11);
        row("wayland by type", "XDG_SESSION_TYPE=wayland DISPLAY=:0 WAYLAND_DISPLAY=wayland-0",
            DesktopSession::wayland);
        row("wayland by display", "DISPLAY=:0 WAYLAND_DISPLAY=wayland-0", DesktopSession::wayland);
        row("x11 by display", "DISPLAY=:0", DesktopSession::x11);
        row("console with an empty Wayland display", "XDG_SESSION_TYPE=tty WAYLAND_DISPLAY= DISPLAY=:1",
            DesktopSession::x11);
        row("nothing set", "", DesktopSession::none);
    }

    void decidesFromTheEnvironment()
    {
        QFETCH(QString, variables);
        QProcessEnvironment environment;
        for (const QString& variable : variables.split(u' ', Qt::SkipEmptyParts))
            environment.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
        QTEST(desktopSession(environment), "session");
    }

    void loginItem()
    {
        test::useTemporaryDataFolder();
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        QCOMPARE(LoginItem::filePath(), config.filePath(u"autostart/kavo-voice.desktop"_qs));
        QVERIFY(LoginItem::set(true, u"/opt/Kavo \"Voice\"/kavo-voice"_qs));
        QVERIFY(test::readFile(LoginItem::filePath()).contains("Exec=\"/opt/Kavo \\\"Voice\\\"/kavo-voice\""));
        QVERIFY(!LoginItem::set(false, {}) && !QFile::exists(LoginItem::filePath()));
        // The user may have turned the entry off in the desktop's own autostart settings.
        test::writeFile(LoginItem::filePath(), "[Desktop Entry]\nExec=kavo-voice\nHidden=true\n");
        QVERIFY(!LoginItem::isEnabled());

        QVERIFY(QDir(config.path()).removeRecursively());
        test::writeFile(config.filePath(u"autostart"_qs), "a file where the folder should be");
        QVERIFY(!LoginItem::set(true, u"kavo-voice"_qs));
        QVERIFY(test::logText().startsWith(u"login item register failed: "_qs));
    }

    // Ctrl+C and SIGTERM arrive as one signal on the main thread instead of ending the process, until the object goes.
    void terminationSignals()
    {
        {
            TerminationSignals termination;
            QSignalSpy received(&termination, &TerminationSignals::received);
            QCOMPARE(::raise(SIGTERM), 0);
            QCOMPARE(::raise(SIGINT), 0);
            QVERIFY(received.wait(5000));
            QTest::qWait(50);
            QCOMPARE(received.count(), 1);
        }
        struct sigaction current
        { };
        QCOMPARE(sigaction(SIGTERM, nullptr, &current), 0);
        QVERIFY(current.sa_handler == SIG_DFL);
    }
};

QTEST_GUILESS_MAIN(TestDesktopSession)
#include "tst_desktop_session.moc"
