#pragma once

#include <QFont>
#include <QStringList>

#include <array>

namespace kavo {

/// The Onest type family: its four faces, compiled in as resources and registered at launch, and the face a text
/// of each weight draws with.
class Typeface
{
public:
    struct Face
    {
        QFont::Weight weight;
        QLatin1StringView name;
        QLatin1StringView resource;
    };

    static constexpr QLatin1StringView family { "Onest" };
    static constexpr std::array<Face, 4> faces { {
        { QFont::Normal, QLatin1StringView("Onest-Regular"), QLatin1StringView(":/fonts/Onest_400Regular.ttf") },
        { QFont::Medium, QLatin1StringView("Onest-Medium"), QLatin1StringView(":/fonts/Onest_500Medium.ttf") },
        { QFont::DemiBold, QLatin1StringView("Onest-SemiBold"), QLatin1StringView(":/fonts/Onest_600SemiBold.ttf") },
        { QFont::Bold, QLatin1StringView("Onest-Bold"), QLatin1StringView(":/fonts/Onest_700Bold.ttf") },
    } };

    /// The face for a weight (a QFont::Weight value); any weight without a face of its own draws regular.
    static const Face& face(int weight);
    /// The family at the weight of the face for `weight`, so that the font database never picks a nearer face.
    static QFont font(int weight, int pixelSize);
    /// Adds the four faces to the application's font database. Returns the resources that could not be added,
    /// each also logged as a warning; texts then draw with the desktop's font.
    static QStringList registerFaces();
};

} // namespace kavo
