#include "format/app_glyph.h"
#include "store/history.h"
#include "support/data_folder.h"
#include "support/table_rows.h"

#include <QTest>

using namespace kavo;
using kavo::test::row;

class AppGlyphTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }

    // IDs are matched by prefix, whatever their letter case: GNOME's Decoder is no code editor.
    void icon_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("ids"); // separated by spaces; "-" for no ID at all
        QTest::addColumn<QString>("icon");
        row("phone, with or without ID", "phone", "- org.telegram.desktop", "smartphone green");
        row("none, unknown, look-alike", "mac", "- com.example.x org.gnome.Decoder", "app-window neutral");
        row("send", "mac", "org.telegram.desktop TelegramDesktop", "send blue");
        row("message-square", "mac", "com.tinyspeck.slackmacgap slack", "message-square purple");
        row("message-circle", "mac", "net.whatsapp.WhatsApp discord", "message-circle green");
        row("sparkles", "mac", "com.anthropic.claudefordesktop", "sparkles purple");
        row("code", "mac", "com.apple.dt.Xcode code-oss jetbrains-idea", "code teal");
        row("terminal", "mac", "com.googlecode.iterm2 org.gnome.Terminal", "terminal teal");
        row("globe", "mac", "Com.Google.Chrome.Canary firefox", "globe neutral");
        row("mail", "mac", "com.apple.mail thunderbird", "mail pink");
        row("file-text", "mac", "com.apple.iWork.Pages libreoffice-writer", "file-text blue");
        row("mic", "mac", "kavo-voice", "mic blue");
    }

    void icon()
    {
        QFETCH(QString, source);
        QFETCH(QString, ids);
        QFETCH(QString, icon);
        for (const QString& id : ids.split(u' ')) {
            const AppGlyph::Icon chosen = AppGlyph::icon(id == u"-"_qs ? std::nullopt : std::optional(id), source);
            QCOMPARE(QString(id + u": " + chosen.name + u' ' + rawValue(chosen.tone)), QString(id + u": " + icon));
        }
    }

    void name()
    {
        HistoryEntry entry;
        QCOMPARE(AppGlyph::name(entry), u"Kavo Voice"_qs);
        entry.appName = QString();
        QCOMPARE(AppGlyph::name(entry), u"Kavo Voice"_qs);
        entry.appName = u"Telegram"_qs;
        QCOMPARE(AppGlyph::name(entry), u"Telegram"_qs);
        entry.source = u"phone"_qs;
        QCOMPARE(AppGlyph::name(entry), u"From phone"_qs);
    }
};

QTEST_GUILESS_MAIN(AppGlyphTest)
#include "tst_app_glyph.moc"
