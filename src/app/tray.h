#pragma once

#include "state/status_menu.h"

#include <QHash>
#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

namespace kavo {

class Tokens;

/// The application's icon in the panel's tray (a StatusNotifierItem where the desktop has a tray host) and its
/// menu, drawn from what `StatusMenu` says for the moment. Its commands come out as `triggered`.
class Tray : public QObject
{
    Q_OBJECT

public:
    explicit Tray(const Tokens& tokens, QObject* parent = nullptr);

    void show() { m_icon.show(); }
    void hide() { m_icon.hide(); }
    /// Redraws the icon and rebuilds the menu for `state`.
    void refresh(const StatusMenu::State& state);

Q_SIGNALS:
    /// A menu command; `deviceID` is the microphone picked, for `pickMicrophone`.
    void triggered(kavo::StatusMenuItem::Action action, const QString& deviceID);
    /// The icon itself was clicked.
    void activated();
    /// The menu is about to open: a moment to read what it lists afresh.
    void menuAboutToShow();

private:
    void fill(QMenu& menu, const QList<StatusMenuItem>& items);
    /// Drawn once per glyph and colour: the icon changes at every phase of a dictation.
    QIcon iconFor(const StatusMenu::Icon& icon);

    const Tokens& m_tokens;
    QHash<QString, QIcon> m_icons; ///< drawn icons by glyph and colour
    QMenu m_menu;
    QSystemTrayIcon m_icon;
};

} // namespace kavo
