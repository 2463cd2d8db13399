#include "phone_fonts.h"

#include <QHash>
#include <QResource>

namespace kavo {

namespace {

// The names the page asks for, and the resources of those faces.
const QHash<QString, QString> resources {
    { QStringLiteral("Onest-Regular.ttf"), QStringLiteral(":/fonts/Onest_400Regular.ttf") },
    { QStringLiteral("Onest-Medium.ttf"), QStringLiteral(":/fonts/Onest_500Medium.ttf") },
    { QStringLiteral("Onest-SemiBold.ttf"), QStringLiteral(":/fonts/Onest_600SemiBold.ttf") },
    { QStringLiteral("Onest-Bold.ttf"), QStringLiteral(":/fonts/Onest_700Bold.ttf") },
};

} // namespace

std::optional<QByteArray> PhoneFonts::font(const QString& name)
{
    const auto path = resources.constFind(name);
    if (path == resources.constEnd())
        return std::nullopt;
    const QResource resource(*path);
    if (!resource.isValid())
        return std::nullopt;
    // Uncompressed resources are part of the program's image: every connection shares those bytes.
    if (resource.compressionAlgorithm() == QResource::NoCompression)
        return QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()), resource.size());
    return resource.uncompressedData();
}

} // namespace kavo
