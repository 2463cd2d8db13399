#include "app_glyph.h"

#include "apps/application_id.h"
#include "store/history.h"

#include <vector>

namespace kavo {
namespace {

struct Row
{
    const char* icon;
    Tone tone;
    std::vector<const char*> prefixes;
};

// Searched from the top; within a row the prefixes are tried in order. Each row holds the macOS bundle
// identifiers of its applications and then their Linux IDs (desktop-file IDs, Flatpak IDs and lower-cased
// WM_CLASS names). The first matching prefix decides, so a broad prefix of an earlier row wins: Thunderbird's
// Flatpak "org.mozilla.thunderbird" falls under the browsers' "org.mozilla." and shows the globe, as the Mozilla
// bundle identifier does on macOS, while its distribution package "thunderbird" shows the mail icon.
const Row table[] = {
    { "send", Tone::blue,
        { "ru.keepcoder.telegram", "org.telegram", "com.tdesktop", "telegramdesktop", "telegram-desktop" } },
    { "message-square", Tone::purple, { "com.tinyspeck.slackmacgap", "com.slack.slack", "slack" } },
    { "message-circle", Tone::green,
        { "net.whatsapp", "com.apple.mobilesms", "com.hnc.discord", "com.microsoft.teams", "us.zoom", "whatsapp",
            "com.github.eneshecan.whatsappforlinux", "io.github.mimbrero.whatsappdesktop", "com.discordapp.discord",
            "discord", "teams-for-linux", "com.github.ismaelmartinez.teams_for_linux", "microsoft teams", "zoom" } },
    { "sparkles", Tone::purple, { "com.anthropic.", "com.openai." } },
    { "code", Tone::teal,
        { "com.todesktop.230313mzl4w4u92", "com.microsoft.vscode", "com.apple.dt.xcode", "dev.zed.", "com.jetbrains.",
            "com.sublimetext.", "com.exafunction.windsurf", "code", "codium", "com.visualstudio.code",
            "com.vscodium.codium", "jetbrains-", "sublime_text", "cursor", "windsurf" } },
    { "terminal", Tone::teal,
        { "com.apple.terminal", "com.googlecode.iterm2", "dev.warp.", "com.mitchellh.ghostty", "org.gnome.terminal",
            "gnome-terminal", "org.gnome.console", "kgx", "org.gnome.ptyxis", "org.kde.konsole", "konsole", "kitty",
            "alacritty", "org.wezfurlong.wezterm", "foot", "xterm", "xfce4-terminal", "tilix", "com.gexperts.tilix",
            "terminator", "ghostty" } },
    { "globe", Tone::neutral,
        { "com.google.chrome", "com.apple.safari", "company.thebrowser.", "org.mozilla.", "com.microsoft.edgemac",
            "com.brave.", "com.operasoftware.", "com.vivaldi.", "google-chrome", "chromium", "org.chromium.chromium",
            "firefox", "brave-browser", "com.microsoft.edge", "microsoft-edge", "com.opera.", "opera", "vivaldi" } },
    { "mail", Tone::pink,
        { "com.apple.mail", "com.microsoft.outlook", "com.readdle.smartemail", "com.superhuman.", "thunderbird",
            "net.thunderbird.", "org.gnome.evolution", "evolution", "org.gnome.geary", "geary", "org.kde.kmail",
            "kmail" } },
    { "file-text", Tone::blue,
        { "com.microsoft.word", "com.apple.iwork.pages", "com.apple.notes", "com.apple.textedit", "md.obsidian",
            "notion.id", "com.google.docs", "libreoffice-writer", "org.libreoffice.", "obsidian", "notion",
            "org.gnome.texteditor", "gedit", "org.gnome.gedit", "org.kde.kate", "kate", "org.xfce.mousepad",
            "mousepad" } },
    // This application: its desktop-file ID, or its WM_CLASS when it runs without its desktop file installed.
    { "mic", Tone::blue, { applicationID.data(), "kavo-voice" } },
};

} // namespace

AppGlyph::Icon AppGlyph::icon(const std::optional<QString>& appID, const QString& source)
{
    if (source == DictationSource::phone)
        return { QStringLiteral("smartphone"), Tone::green };
    if (appID) {
        for (const Row& row : table) {
            for (const char* prefix : row.prefixes) {
                if (appID->startsWith(QLatin1StringView(prefix), Qt::CaseInsensitive))
                    return { QString::fromLatin1(row.icon), row.tone };
            }
        }
    }
    return { QStringLiteral("app-window"), Tone::neutral };
}

QString AppGlyph::name(const HistoryEntry& entry)
{
    if (entry.source == DictationSource::phone)
        return tr("From phone");
    // A recorded but empty name would leave the row unlabelled.
    if (entry.appName && !entry.appName->isEmpty())
        return *entry.appName;
    return QStringLiteral("Kavo Voice");
}

} // namespace kavo
