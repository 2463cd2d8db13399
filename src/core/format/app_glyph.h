#pragma once

#include "store/raw_value.h"

#include <QCoreApplication>
#include <QString>

#include <optional>

namespace kavo {

struct HistoryEntry;

/// The tint palette of icons, known to the meta-object system so that views can pass a tone to the design tokens.
namespace Tones {
Q_NAMESPACE
enum class Tone { blue, green, red, amber, purple, teal, pink, neutral, white, brand };
Q_ENUM_NS(Tone)
} // namespace Tones

using Tones::Tone;

template <> struct RawValues<Tone>
{
    static constexpr std::array<std::pair<Tone, const char*>, 10> table { {
        { Tone::blue, "blue" },
        { Tone::green, "green" },
        { Tone::red, "red" },
        { Tone::amber, "amber" },
        { Tone::purple, "purple" },
        { Tone::teal, "teal" },
        { Tone::pink, "pink" },
        { Tone::neutral, "neutral" },
        { Tone::white, "white" },
        { Tone::brand, "brand" },
    } };
};

/// The icon, tint and display name of the application a dictation was typed into.
class AppGlyph
{
    Q_DECLARE_TR_FUNCTIONS(AppGlyph)

public:
    /// A line icon by name and its tint.
    struct Icon
    {
        QString name;
        Tone tone = Tone::neutral;

        bool operator==(const Icon&) const = default;
    };

    /// The icon for a dictation from the source ("phone" or the computer) into the application with that ID
    /// (a desktop-file ID, a lower-cased WM_CLASS or a macOS bundle identifier; letter case does not matter).
    static Icon icon(const std::optional<QString>& appID, const QString& source);

    /// "From phone" for the phone, else the application's name, else this application's name.
    static QString name(const HistoryEntry& entry);
};

} // namespace kavo
