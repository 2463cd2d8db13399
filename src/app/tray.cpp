#include "tray.h"

#include "ui/kavo/icon_provider.h"
#include "ui/kavo/tokens.h"

#include <QGuiApplication>
#include <QPalette>

namespace kavo {

Tray::Tray(const Tokens& tokens, QObject* parent)
    : QObject(parent)
    , m_tokens(tokens)
{
    m_icon.setToolTip(QStringLiteral("Kavo Voice"));
    m_icon.setContextMenu(&m_menu);
    connect(&m_menu, &QMenu::aboutToShow, this, &Tray::menuAboutToShow);
    connect(&m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            Q_EMIT activated();
    });
}

void Tray::refresh(const StatusMenu::State& state)
{
    m_icon.setIcon(iconFor(StatusMenu::icon(state)));
    qDeleteAll(m_menu.findChildren<QMenu*>(Qt::FindDirectChildrenOnly));
    m_menu.clear();
    fill(m_menu, StatusMenu::build(state));
}

void Tray::fill(QMenu& menu, const QList<StatusMenuItem>& items)
{
    for (const StatusMenuItem& item : items) {
        if (item.isSeparator()) {
            menu.addSeparator();
            continue;
        }
        if (!item.submenu.isEmpty()) {
            QMenu* submenu = menu.addMenu(item.text);
            fill(*submenu, item.submenu);
            continue;
        }
        QAction* action = menu.addAction(item.text);
        action->setEnabled(item.enabled);
        action->setCheckable(item.checked || item.action == StatusMenuItem::Action::pickMicrophone);
        action->setChecked(item.checked);
        action->setShortcut(QKeySequence(item.shortcut, QKeySequence::PortableText));
        if (item.action != StatusMenuItem::Action::none) {
            connect(action, &QAction::triggered, this,
                [this, command = item.action, device = item.deviceID] { Q_EMIT triggered(command, device); });
        }
    }
}

QIcon Tray::iconFor(const StatusMenu::Icon& icon)
{
    // Without a tone the glyph takes the text colour of the desktop's palette, as the panel's own icons do.
    const QColor color
        = icon.tone ? m_tokens.foreground(*icon.tone) : QGuiApplication::palette().color(QPalette::WindowText);
    const QString id = icon.glyph + QStringLiteral("?color=") + color.name(QColor::HexArgb);
    QIcon& drawn = m_icons[id];
    if (drawn.isNull()) {
        IconProvider provider;
        for (const int size : { 16, 22, 24, 32, 48, 64 })
            drawn.addPixmap(QPixmap::fromImage(provider.requestImage(id, nullptr, QSize(size, size))));
    }
    return drawn;
}

} // namespace kavo
