#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QHash>
#include <QObject>
#include <QStringList>

namespace kavo::test {

/// A panel's tray on the test session bus: the StatusNotifierWatcher that tray icons register with, reporting a host
/// so that Qt shows its icons there, and a reader of a registered item's menu over com.canonical.dbusmenu. Owns
/// org.kde.StatusNotifierWatcher while it lives; a tray icon made before it exists uses no watcher.
class StatusNotifierHost : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)

public:
    /// One entry of a menu as "text", followed by " [disabled]" and " [checked]" where they apply; a separator is
    /// "-", and a submenu's entries follow it indented by two spaces.
    using MenuLines = QStringList;

    StatusNotifierHost();
    ~StatusNotifierHost() override;

    bool isRegistered() const { return m_error.isEmpty(); }
    QString errorString() const { return m_error; }

    bool isHostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    /// The bus names of the items registered.
    QStringList items() const { return m_items; }

    /// The menu of the item registered last; empty when it cannot be read.
    MenuLines menu() { return readMenu(nullptr); }
    /// Tells the item that its menu opens, as a panel does before it shows the menu; false when it did not answer.
    bool openMenu();
    /// Clicks the entry of the item's menu whose text starts with `text`; false when there is none.
    bool click(const QString& text);

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString& service);
    void RegisterStatusNotifierHost(const QString& service);

Q_SIGNALS:
    void StatusNotifierItemRegistered(const QString& service);

private:
    QString menuPath() const;
    /// The menu's lines, and the entries' ids by their text in `ids` when given.
    MenuLines readMenu(QHash<QString, int>* ids);

    QDBusConnection m_bus;
    QStringList m_items;
    QString m_error;
};

} // namespace kavo::test
