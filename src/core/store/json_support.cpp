#include "json_support.h"

#include <QJsonValue>
#include <QRegularExpression>
#include <QSaveFile>

#include <cmath>
#include <limits>

namespace kavo {
namespace json {

QString dateText(const QDateTime& date)
{
    return date.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + QLatin1Char('Z');
}

std::optional<QDateTime> parseDate(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}:\\d{2}Z$"));
    if (!form.match(text).hasMatch())
        return std::nullopt;
    // The form is fixed, so the fields are read by position (this runs for every stored date), and
    // date and time stay apart so that no local-time rule can shift a UTC clock reading.
    const QStringView view(text);
    const QDate day(view.mid(0, 4).toInt(), view.mid(5, 2).toInt(), view.mid(8, 2).toInt());
    const QTime time(view.mid(11, 2).toInt(), view.mid(14, 2).toInt(), view.mid(17, 2).toInt());
    if (!day.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(day, time, Qt::UTC);
}

QDateTime now()
{
    return QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch(), Qt::UTC);
}

QString uuidText(const QUuid& id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

std::optional<QUuid> parseUuid(const QString& text)
{
    static const QRegularExpression form(
        QStringLiteral("^[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}$"));
    if (!form.match(text).hasMatch())
        return std::nullopt;
    return QUuid::fromString(text);
}

namespace {
// Swift-style optional decoding: an explicit null reads like an absent key.
std::optional<QJsonValue> present(const QJsonObject& object, const QString& key)
{
    const auto it = object.constFind(key);
    if (it == object.constEnd() || it->isNull())
        return std::nullopt;
    return *it;
}
} // namespace

Field readString(const QJsonObject& object, const QString& key, QString& out)
{
    const auto value = present(object, key);
    if (!value)
        return Field::Absent;
    if (!value->isString())
        return Field::Invalid;
    out = value->toString();
    return Field::Valid;
}

Field readBool(const QJsonObject& object, const QString& key, bool& out)
{
    const auto value = present(object, key);
    if (!value)
        return Field::Absent;
    if (!value->isBool())
        return Field::Invalid;
    out = value->toBool();
    return Field::Valid;
}

Field readNumber(const QJsonObject& object, const QString& key, double& out)
{
    const auto value = present(object, key);
    if (!value)
        return Field::Absent;
    if (!value->isDouble())
        return Field::Invalid;
    out = value->toDouble();
    return Field::Valid;
}

Field readInt(const QJsonObject& object, const QString& key, int& out)
{
    double number = 0;
    const Field field = readNumber(object, key, number);
    if (field != Field::Valid)
        return field;
    if (std::trunc(number) != number || number < std::numeric_limits<int>::min()
        || number > std::numeric_limits<int>::max())
        return Field::Invalid;
    out = static_cast<int>(number);
    return Field::Valid;
}

Field readUuid(const QJsonObject& object, const QString& key, QUuid& out)
{
    QString text;
    const Field field = readString(object, key, text);
    if (field != Field::Valid)
        return field;
    const auto id = parseUuid(text);
    if (!id)
        return Field::Invalid;
    out = *id;
    return Field::Valid;
}

Field readDate(const QJsonObject& object, const QString& key, QDateTime& out)
{
    QString text;
    const Field field = readString(object, key, text);
    if (field != Field::Valid)
        return field;
    const auto date = parseDate(text);
    if (!date)
        return Field::Invalid;
    out = *date;
    return Field::Valid;
}

namespace {
template <typename Value, typename Reader>
Field readOptional(const QJsonObject& object, const QString& key, std::optional<Value>& out, Reader read)
{
    Value value {};
    const Field field = read(object, key, value);
    if (field == Field::Valid)
        out = value;
    return field;
}
} // namespace

Field readOptionalString(const QJsonObject& object, const QString& key, std::optional<QString>& out)
{
    return readOptional(object, key, out, readString);
}

Field readOptionalNumber(const QJsonObject& object, const QString& key, std::optional<double>& out)
{
    return readOptional(object, key, out, readNumber);
}

Field readOptionalInt(const QJsonObject& object, const QString& key, std::optional<int>& out)
{
    return readOptional(object, key, out, readInt);
}

} // namespace json

std::optional<QString> writeFileAtomically(
    const QString& path, const QByteArray& bytes, std::optional<QFileDevice::Permissions> permissions)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (permissions)
        file.setPermissions(*permissions);
    if (file.write(bytes) != bytes.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

} // namespace kavo
