#pragma once

#include "dictation/dictation_state.h"
#include "format/app_glyph.h"
#include "store/config.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

namespace kavo {

/// One entry of the tray icon's menu: a separator, a line of text, a command, or a submenu.
struct StatusMenuItem
{
    enum class Action {
        none,
        pickMicrophone,
        showMainWindow,
        showSettings,
        showOnboarding,
        toggleHUD,
        copyLast,
        insertLast,
        checkForUpdates,
        openLog,
        quit,
    };

    QString text {}; ///< empty for a separator
    Action action = Action::none;
    bool enabled = true;
    bool checked = false; ///< shown with a check mark
    QString shortcut {}; ///< a key sequence in portable text, such as "Ctrl+Q"
    QString deviceID {}; ///< for pickMicrophone: the device, empty for the system default
    QList<StatusMenuItem> submenu {};

    bool isSeparator() const { return text.isEmpty(); }
    friend bool operator==(const StatusMenuItem&, const StatusMenuItem&) = default;
};

/// What the tray menu shows, top to bottom, for the application's state at one moment.
class StatusMenu
{
    Q_DECLARE_TR_FUNCTIONS(StatusMenu)

public:
    struct Input
    {
        QString id;
        QString name;
    };

    struct State
    {
        DictationState::Phase phase = DictationState::Phase::idle;
        bool inputAccess = true;
        HotkeyKind hotkey = HotkeyKind::controlSuper;
        HotkeyMode hotkeyMode = HotkeyMode::hold;
        QString message {};
        QString inputDeviceID {}; ///< the chosen microphone, empty for the system default
        QString inputDeviceName {}; ///< its name as the recorder tells it
        QList<Input> inputs {};
        bool hudVisible = true;
        QString lastTranscript {};
        QString version {}; ///< empty when unknown
        QString build {}; ///< empty when unknown
    };

    static constexpr qsizetype messageLineLength = 60;
    static constexpr qsizetype lastTextLength = 48;

    /// The tray icon: a Lucide glyph, tinted in a tone, or without one in the panel's own text colour.
    struct Icon
    {
        QString glyph;
        std::optional<Tone> tone {};
        friend bool operator==(const Icon&, const Icon&) = default;
    };

    static QList<StatusMenuItem> build(const State& state);
    static Icon icon(const State& state);
    /// The status line at the top: what the application is doing, or how to start.
    static QString statusLine(const State& state);
    /// `text` broken at spaces into lines of at most `width` characters; a longer word is split.
    static QStringList wrapped(const QString& text, qsizetype width);
};

} // namespace kavo
