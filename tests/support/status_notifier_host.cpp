#include "status_notifier_host.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDateTime>

namespace kavo::test {

namespace {

const QString connectionName = QStringLiteral("status notifier host");
const QString serviceName = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString menuInterface = QStringLiteral("com.canonical.dbusmenu");
// An application under a sanitizer may take seconds to answer while it builds a window.
constexpr int callTimeoutMs = 20000;

// One menu node of com.canonical.dbusmenu's layout: (ia{sv}av), each child a variant holding a node.
struct MenuNode
{
    int id = 0;
    QVariantMap properties;
    QList<MenuNode> children;
};

MenuNode readNode(const QDBusArgument& argument)
{
    MenuNode node;
    argument.beginStructure();
    argument >> node.id >> node.properties;
    argument.beginArray();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        node.children.append(readNode(child.variant().value<QDBusArgument>()));
    }
    argument.endArray();
    argument.endStructure();
    return node;
}

void appendLines(const MenuNode& node, const QString& indent, QStringList& lines, QHash<QString, int>* ids)
{
    for (const MenuNode& child : node.children) {
        if (!child.properties.value(QStringLiteral("visible"), true).toBool())
            continue;
        if (child.properties.value(QStringLiteral("type")) == QLatin1String("separator")) {
            lines.append(indent + u'-');
            continue;
        }
        // dbusmenu marks the access key with an underscore.
        const QString text = child.properties.value(QStringLiteral("label")).toString().remove(u'_');
        QString line = indent + text;
        if (!child.properties.value(QStringLiteral("enabled"), true).toBool())
            line += QStringLiteral(" [disabled]");
        if (child.properties.value(QStringLiteral("toggle-state")).toInt() == 1)
            line += QStringLiteral(" [checked]");
        lines.append(line);
        if (ids)
            ids->insert(text, child.id);
        appendLines(child, indent + QStringLiteral("  "), lines, ids);
    }
}

} // namespace

StatusNotifierHost::StatusNotifierHost()
    : m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName))
{
    if (!m_bus.isConnected())
        m_error = QStringLiteral("no session bus");
    else if (!m_bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), this,
                 QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals
                     | QDBusConnection::ExportAllProperties))
        m_error = QStringLiteral("cannot export the watcher: ") + m_bus.lastError().message();
    else if (!m_bus.registerService(serviceName))
        m_error = QStringLiteral("another program owns ") + serviceName;
}

StatusNotifierHost::~StatusNotifierHost()
{
    m_bus.unregisterService(serviceName);
    m_bus.unregisterObject(QStringLiteral("/StatusNotifierWatcher"));
    QDBusConnection::disconnectFromBus(connectionName);
}

void StatusNotifierHost::RegisterStatusNotifierItem(const QString& service)
{
    // An item may give its object path instead of a name: then it is the caller's.
    const QString name = service.startsWith(u'/') ? QDBusContext::message().service() : service;
    m_items.append(name);
    Q_EMIT StatusNotifierItemRegistered(name);
}

void StatusNotifierHost::RegisterStatusNotifierHost(const QString&)
{ }

QString StatusNotifierHost::menuPath() const
{
    QDBusMessage get = QDBusMessage::createMethodCall(m_items.last(), QStringLiteral("/StatusNotifierItem"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.kde.StatusNotifierItem") << QStringLiteral("Menu");
    const QDBusMessage reply = m_bus.call(get, QDBus::Block, callTimeoutMs);
    return reply.arguments().value(0).value<QDBusVariant>().variant().value<QDBusObjectPath>().path();
}

StatusNotifierHost::MenuLines StatusNotifierHost::readMenu(QHash<QString, int>* ids)
{
    if (m_items.isEmpty())
        return {};
    QDBusMessage call
        = QDBusMessage::createMethodCall(m_items.last(), menuPath(), menuInterface, QStringLiteral("GetLayout"));
    call << 0 << -1 << QStringList();
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, callTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() < 2)
        return {};
    QStringList lines;
    appendLines(readNode(reply.arguments().at(1).value<QDBusArgument>()), QString(), lines, ids);
    return lines;
}

bool StatusNotifierHost::openMenu()
{
    QDBusMessage call
        = QDBusMessage::createMethodCall(m_items.last(), menuPath(), menuInterface, QStringLiteral("AboutToShow"));
    call << 0;
    return m_bus.call(call, QDBus::Block, callTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

bool StatusNotifierHost::click(const QString& text)
{
    QHash<QString, int> ids;
    readMenu(&ids);
    for (auto entry = ids.cbegin(); entry != ids.cend(); ++entry) {
        if (!entry.key().startsWith(text))
            continue;
        QDBusMessage event
            = QDBusMessage::createMethodCall(m_items.last(), menuPath(), menuInterface, QStringLiteral("Event"));
        event << entry.value() << QStringLiteral("clicked") << QVariant::fromValue(QDBusVariant(0))
              << uint(QDateTime::currentSecsSinceEpoch());
        return m_bus.call(event, QDBus::Block, callTimeoutMs).type() == QDBusMessage::ReplyMessage;
    }
    return false;
}

} // namespace kavo::test
