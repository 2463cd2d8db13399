#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFileDevice>
#include <QJsonObject>
#include <QString>
#include <QUuid>

#include <optional>

namespace kavo {

/// Helpers shared by the data files: strict date and UUID text forms, atomic writes.
namespace json {

/// ISO 8601 in UTC with whole seconds and "Z", e.g. 2026-12-04T23:17:17Z.
QString dateText(const QDateTime& date);
/// Accepts exactly the form dateText() writes; anything else gives nothing.
std::optional<QDateTime> parseDate(const QString& text);
/// The current time in whole seconds in UTC, the precision the data files keep, so that a date made now reads back
/// from its file unchanged.
QDateTime now();

/// Canonical 36-character form with upper-case hexadecimal digits.
QString uuidText(const QUuid& id);
/// Accepts the 36-character hyphenated form in either case; no braces.
std::optional<QUuid> parseUuid(const QString& text);

/// Result of reading one JSON field of a strictly decoded record.
enum class Field { Absent, Valid, Invalid };

Field readString(const QJsonObject& object, const QString& key, QString& out);
Field readBool(const QJsonObject& object, const QString& key, bool& out);
Field readNumber(const QJsonObject& object, const QString& key, double& out);
/// Integers must be whole numbers within the range of int.
Field readInt(const QJsonObject& object, const QString& key, int& out);
Field readUuid(const QJsonObject& object, const QString& key, QUuid& out);
Field readDate(const QJsonObject& object, const QString& key, QDateTime& out);

/// Optional fields: set only when the key holds a valid value.
Field readOptionalString(const QJsonObject& object, const QString& key, std::optional<QString>& out);
Field readOptionalNumber(const QJsonObject& object, const QString& key, std::optional<double>& out);
Field readOptionalInt(const QJsonObject& object, const QString& key, std::optional<int>& out);

} // namespace json

/// Writes bytes through a temporary file that replaces the target, so a crash never leaves half a file.
/// Permissions, when given, are set on the temporary file before it takes the target's place; failing to
/// set them does not fail the write. Returns the error description on failure.
std::optional<QString> writeFileAtomically(
    const QString& path, const QByteArray& bytes, std::optional<QFileDevice::Permissions> permissions = std::nullopt);

} // namespace kavo
