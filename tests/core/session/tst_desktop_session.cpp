#include "session/desktop_session.h"

#include "support/table_rows.h"

#include <QTest>

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
        row("startx from a console", "XDG_SESSION_TYPE=tty DISPLAY=:0", DesktopSession::x11);
        row("console with an empty Wayland display", "XDG_SESSION_TYPE=tty WAYLAND_DISPLAY= DISPLAY=:1",
            DesktopSession::x11);
        row("console", "XDG_SESSION_TYPE=tty", DesktopSession::none);
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
};

QTEST_GUILESS_MAIN(TestDesktopSession)
#include "tst_desktop_session.moc"
