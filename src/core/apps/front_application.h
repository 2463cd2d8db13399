#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace kavo {

/// The application a dictation's text goes to: its display name and application ID, each absent when unknown.
struct FrontApp
{
    std::optional<QString> name;
    std::optional<QString> appID; ///< the desktop-file ID (e.g. "org.telegram.desktop"), else WM_CLASS lower-cased

    friend bool operator==(const FrontApp&, const FrontApp&) = default;
};

/// One installed application's desktop entry, as far as recognising its windows needs it.
struct DesktopEntry
{
    QString id; ///< the file name without ".desktop"
    QString name;
    QString startupWMClass;
    QString executable; ///< the file name of Exec's program
};

/// Tells which application has the keyboard focus; a platform service.
class FrontAppSource
{
public:
    virtual ~FrontAppSource() = default;
    /// The focused window's application; none/none when there is none or it cannot be told.
    virtual FrontApp current() = 0;
};

/// Names the application a window belongs to, from the desktop entries installed.
class FrontApplication
{
public:
    /// The application of a window with this WM_CLASS, whose process (when known) tells its program and the desktop
    /// file it was launched from.
    static FrontApp ofWindow(const QString& wmInstance, const QString& wmClass, std::optional<qint64> pid);

    /// The application of a window: from the desktop file its process was launched from (`launchedFrom`, a path),
    /// else the desktop entry whose StartupWMClass, ID or program matches the window, else the window's class.
    static FrontApp identify(const QString& wmInstance, const QString& wmClass, const QString& executable,
        const QString& launchedFrom, const QList<DesktopEntry>& entries);

    /// The desktop entries of XDG_DATA_HOME and XDG_DATA_DIRS, read once per process.
    static const QList<DesktopEntry>& installedEntries();
    /// The entries of the .desktop files in one folder (subfolders give IDs joined with "-").
    static QList<DesktopEntry> readEntries(const QString& applicationsFolder);
};

} // namespace kavo
