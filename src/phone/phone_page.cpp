#include "phone_page.h"

#include <QFile>
#include <QHostInfo>
#include <QResource>

namespace kavo {

namespace {

const QByteArray& pageTemplate()
{
    static const QByteArray text = QResource(QStringLiteral(":/phone/page.html")).uncompressedData();
    return text;
}

// A value of an environment-style file: KEY=value, KEY="value" or KEY='value', with backslash escapes in double
// quotes, as systemd writes /etc/machine-info.
QString unquoted(QByteArray value)
{
    value = value.trimmed();
    if (value.size() >= 2 && value.front() == '\'' && value.back() == '\'')
        return QString::fromUtf8(value.sliced(1, value.size() - 2));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        QByteArray text;
        for (qsizetype index = 1; index < value.size() - 1; ++index) {
            if (value[index] == '\\' && index + 1 < value.size() - 1)
                ++index;
            text += value[index];
        }
        return QString::fromUtf8(text);
    }
    return QString::fromUtf8(value);
}

} // namespace

QByteArray PhonePage::html(const QString& token, const QString& computerName)
{
    QByteArray page = pageTemplate();
    page.replace("__TOKEN__", jsEscaped(token).toUtf8());
    page.replace("__MAC_NAME__", htmlEscaped(computerName).toUtf8());
    return page;
}

QString PhonePage::jsEscaped(const QString& token)
{
    QString kept;
    for (const QChar character : token) {
        if (character.unicode() < 0x80 && character.isLetterOrNumber())
            kept += character;
    }
    return kept;
}

QString PhonePage::htmlEscaped(const QString& text)
{
    QString escaped = text;
    escaped.replace(u'&', QStringLiteral("&amp;"));
    escaped.replace(u'<', QStringLiteral("&lt;"));
    escaped.replace(u'>', QStringLiteral("&gt;"));
    escaped.replace(u'"', QStringLiteral("&quot;"));
    escaped.replace(u'\'', QStringLiteral("&#39;"));
    return escaped;
}

QString PhonePage::computerName()
{
    QFile machineInfo(QStringLiteral("/etc/machine-info"));
    return computerName(
        machineInfo.open(QIODevice::ReadOnly) ? machineInfo.readAll() : QByteArray(), QHostInfo::localHostName());
}

QString PhonePage::computerName(const QByteArray& machineInfo, const QString& hostName)
{
    for (const QByteArray& line : machineInfo.split('\n')) {
        if (line.startsWith("PRETTY_HOSTNAME=")) {
            QString pretty = unquoted(line.sliced(16)).trimmed();
            if (!pretty.isEmpty())
                return pretty;
        }
    }
    return hostName.isEmpty() ? QStringLiteral("Linux") : hostName;
}

} // namespace kavo
