#pragma once

#include <QString>

#include <array>
#include <optional>
#include <utility>

namespace kavo {

/// Each stored enumeration specialises this with its cases and raw values, in declaration order.
template <typename Enum> struct RawValues;

template <typename Enum> QString rawValue(Enum value)
{
    for (const auto& [candidate, raw] : RawValues<Enum>::table) {
        if (candidate == value)
            return QString::fromLatin1(raw);
    }
    return {};
}

template <typename Enum> std::optional<Enum> fromRawValue(const QString& raw)
{
    for (const auto& [candidate, name] : RawValues<Enum>::table) {
        if (raw == QLatin1String(name))
            return candidate;
    }
    return std::nullopt;
}

} // namespace kavo
