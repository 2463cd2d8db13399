#include "platform/x11/x11_front_application.h"

#include "support/data_folder.h"
#include "support/table_rows.h"
#include "support/test_services.h"

#include <QTemporaryDir>
#include <QTest>

using namespace kavo;

namespace {

const QList<DesktopEntry> entries {
    { u"org.telegram.desktop"_qs, u"Telegram"_qs, u"TelegramDesktop"_qs, u"Telegram"_qs },
    { u"org.gnome.Nautilus"_qs, u"Files"_qs, {}, u"nautilus"_qs },
    { u"firefox-esr"_qs, u"Firefox ESR"_qs, {}, u"firefox-esr"_qs },
    { u"code"_qs, u"Visual Studio Code"_qs, u"Code"_qs, u"code"_qs },
};

void writeEntry(const QString& path, const QByteArray& body)
{
    test::writeFile(path, "[Desktop Entry]\nType=Application\n" + body + "\n[Desktop Action new]\nName=New window\n");
}

} // namespace

class FrontApplicationTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        test::useTemporaryDataFolder();
        QVERIFY(m_data.isValid());
        qputenv("XDG_DATA_HOME", m_data.filePath(u"home"_qs).toUtf8());
        qputenv("XDG_DATA_DIRS", m_data.filePath(u"system"_qs).toUtf8());
        writeEntry(m_data.filePath(u"home/applications/kavo-test-editor.desktop"_qs),
            "Name=Test Editor\nName[uz]=Sinov muharriri\nStartupWMClass=KavoTestEditor\nExec=\"/opt/editor/bin/edit\" "
            "%F");
        writeEntry(m_data.filePath(u"system/applications/kde/org.kde.kate.desktop"_qs), "Name=Kate\nExec=kate -b %U");
        writeEntry(m_data.filePath(u"system/applications/kavo-test-editor.desktop"_qs), "Name=Shadowed Editor");
    }

    void identifiesTheApplication_data()
    {
        test::columns<QString, QString, QString, QString, QString, QString>(
            { "instance", "windowClass", "executable", "launchedFrom", "name", "appID" });
        test::row("launched from a desktop file", "telegram-desktop", "TelegramDesktop", "",
            "/usr/share/applications/org.gnome.Nautilus.desktop", "Files", "org.gnome.Nautilus");
        test::row("StartupWMClass", "telegram-desktop", "TelegramDesktop", "Telegram", "", "Telegram",
            "org.telegram.desktop");
        test::row("reverse-domain ID", "nautilus", "Org.gnome.Nautilus", "", "", "Files", "org.gnome.Nautilus");
        test::row("program", "Navigator", "firefox-esr", "firefox-esr", "", "Firefox ESR", "firefox-esr");
        test::row("unknown application", "xterm", "XTerm", "xterm", "", "XTerm", "xterm");
        test::row("no class", "", "", "", "", "", "");
    }

    void identifiesTheApplication()
    {
        const auto [instance, windowClass, executable, launchedFrom, name, appID]
            = test::fetch<QString, QString, QString, QString, QString, QString>(
                { "instance", "windowClass", "executable", "launchedFrom", "name", "appID" });
        const FrontApp app = FrontApplication::identify(instance, windowClass, executable, launchedFrom, entries);
        QCOMPARE(app.name.value_or(QString()), name);
        QCOMPARE(app.appID.value_or(QString()), appID);
    }

    void readsInstalledEntries()
    {
        const QList<DesktopEntry>& installed = FrontApplication::installedEntries();
        // The user's own entry hides the system's of the same ID; actions' names are not the application's.
        QStringList read;
        for (const DesktopEntry& entry : installed)
            read << QStringList { entry.id, entry.name, entry.startupWMClass, entry.executable }.join(u'|');
        QCOMPARE(
            read, QStringList({ "kavo-test-editor|Test Editor|KavoTestEditor|edit", "kde-org.kde.kate|Kate||kate" }));
    }

    // Reading the active window's class is part of every end-to-end dictation; here, the lack of one.
    void noActiveWindowIsNoApplication()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        const test::KeyboardLock sharedDisplay; // the end-to-end test sets the active window while it holds this
        QCOMPARE(X11FrontApplication().current(), FrontApp {});
    }

private:
    QTemporaryDir m_data;
};

QTEST_GUILESS_MAIN(FrontApplicationTest)
#include "tst_front_application.moc"
