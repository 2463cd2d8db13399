#include "store/history.h"
#include "support/data_folder.h"
#include "ui/app_glyph.h"

#include <QTest>

using namespace kavo;

namespace {

const QString computer = QStringLiteral("mac");
const QString phone = QStringLiteral("phone");

} // namespace

class AppGlyphTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }

    void icon_data()
    {
        QTest::addColumn<bool>("hasID");
        QTest::addColumn<QString>("bundleID");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<Tone>("tone");

        const auto add = [](const char* name, const QString& id, const QString& source, const char* icon, Tone tone) {
            QTest::newRow(name) << true << id << source << QString::fromLatin1(icon) << tone;
        };

        QTest::newRow("no ID") << false << QString() << computer << "app-window" << Tone::neutral;
        QTest::newRow("phone without ID") << false << QString() << phone << "smartphone" << Tone::green;
        add("phone wins over ID", QStringLiteral("org.telegram.desktop"), phone, "smartphone", Tone::green);
        add("empty ID", QString(), computer, "app-window", Tone::neutral);
        add("unknown", QStringLiteral("com.example.ledger"), computer, "app-window", Tone::neutral);

        // macOS bundle identifiers, matched by prefix whatever their letter case.
        add("chrome canary", QStringLiteral("Com.Google.Chrome.Canary"), computer, "globe", Tone::neutral);
        add("telegram by org prefix", QStringLiteral("org.telegram.desktop"), computer, "send", Tone::blue);
        add("slack mac", QStringLiteral("com.tinyspeck.slackmacgap"), computer, "message-square", Tone::purple);
        add("claude", QStringLiteral("com.anthropic.claudefordesktop"), computer, "sparkles", Tone::purple);
        add("xcode", QStringLiteral("com.apple.dt.Xcode"), computer, "code", Tone::teal);
        add("iterm", QStringLiteral("com.googlecode.iterm2"), computer, "terminal", Tone::teal);
        add("apple mail", QStringLiteral("com.apple.mail"), computer, "mail", Tone::pink);
        add("pages", QStringLiteral("com.apple.iWork.Pages"), computer, "file-text", Tone::blue);

        // Linux desktop-file IDs and WM_CLASS names.
        add("telegram class", QStringLiteral("TelegramDesktop"), computer, "send", Tone::blue);
        add("slack flatpak", QStringLiteral("com.slack.Slack"), computer, "message-square", Tone::purple);
        add("slack", QStringLiteral("slack"), computer, "message-square", Tone::purple);
        add("discord", QStringLiteral("discord"), computer, "message-circle", Tone::green);
        add("zoom flatpak", QStringLiteral("us.zoom.Zoom"), computer, "message-circle", Tone::green);
        add("vs code", QStringLiteral("code"), computer, "code", Tone::teal);
        add("code oss", QStringLiteral("code-oss"), computer, "code", Tone::teal);
        add("vscodium flatpak", QStringLiteral("com.vscodium.codium"), computer, "code", Tone::teal);
        add("intellij", QStringLiteral("jetbrains-idea"), computer, "code", Tone::teal);
        add("gnome terminal", QStringLiteral("org.gnome.Terminal"), computer, "terminal", Tone::teal);
        add("gnome terminal class", QStringLiteral("gnome-terminal-server"), computer, "terminal", Tone::teal);
        add("konsole", QStringLiteral("org.kde.konsole"), computer, "terminal", Tone::teal);
        add("ghostty", QStringLiteral("com.mitchellh.ghostty"), computer, "terminal", Tone::teal);
        add("firefox snap", QStringLiteral("firefox_firefox"), computer, "globe", Tone::neutral);
        add("chrome", QStringLiteral("google-chrome"), computer, "globe", Tone::neutral);
        add("edge flatpak", QStringLiteral("com.microsoft.Edge"), computer, "globe", Tone::neutral);
        add("thunderbird", QStringLiteral("thunderbird"), computer, "mail", Tone::pink);
        add("thunderbird flatpak", QStringLiteral("org.mozilla.Thunderbird"), computer, "globe", Tone::neutral);
        add("evolution", QStringLiteral("org.gnome.Evolution"), computer, "mail", Tone::pink);
        add("writer", QStringLiteral("libreoffice-writer"), computer, "file-text", Tone::blue);
        add("text editor", QStringLiteral("org.gnome.TextEditor"), computer, "file-text", Tone::blue);
        add("itself", QString(AppGlyph::ownApplicationID), computer, "mic", Tone::blue);

        // Applications whose IDs merely resemble those of the table.
        add("teamviewer", QStringLiteral("teamviewer"), computer, "app-window", Tone::neutral);
        add("files", QStringLiteral("org.gnome.Nautilus"), computer, "app-window", Tone::neutral);
        add("dolphin", QStringLiteral("org.kde.dolphin"), computer, "app-window", Tone::neutral);
        add("telegram web", QStringLiteral("web.telegram.org"), computer, "app-window", Tone::neutral);
    }

    void icon()
    {
        QFETCH(bool, hasID);
        QFETCH(QString, bundleID);
        QFETCH(QString, source);
        QFETCH(QString, icon);
        QFETCH(Tone, tone);
        const AppGlyph::Icon glyph = AppGlyph::icon(hasID ? std::optional(bundleID) : std::nullopt, source);
        QCOMPARE(glyph.name, icon);
        QCOMPARE(rawValue(glyph.tone), rawValue(tone));
    }

    void name_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("hasName");
        QTest::addColumn<QString>("appName");
        QTest::addColumn<QString>("expected");

        QTest::newRow("application") << computer << true << "Telegram"
                                     << "Telegram";
        QTest::newRow("phone wins over name") << phone << true << "Telegram"
                                              << "From phone";
        QTest::newRow("phone") << phone << false << QString() << "From phone";
        QTest::newRow("no name") << computer << false << QString() << "Kavo Voice";
        QTest::newRow("empty name") << computer << true << QString() << "Kavo Voice";
    }

    void name()
    {
        QFETCH(QString, source);
        QFETCH(bool, hasName);
        QFETCH(QString, appName);
        QFETCH(QString, expected);
        HistoryEntry entry;
        entry.source = source;
        if (hasName)
            entry.appName = appName;
        QCOMPARE(AppGlyph::name(entry), expected);
    }
};

QTEST_GUILESS_MAIN(AppGlyphTest)
#include "tst_app_glyph.moc"
