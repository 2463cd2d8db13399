#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace kavo {

/// The phone page's four Onest faces, served as they are stored in the compiled-in resources, on any thread.
class PhoneFonts
{
public:
    /// The file called `name` ("Onest-Regular.ttf", "Onest-Medium.ttf", "Onest-SemiBold.ttf" or "Onest-Bold.ttf");
    /// none for any other name.
    static std::optional<QByteArray> font(const QString& name);
};

} // namespace kavo
