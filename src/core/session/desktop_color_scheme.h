#pragma once

#include <QObject>

namespace kavo {

/// The desktop's light or dark preference, as a desktop service reports it and while it changes.
class DesktopColorScheme : public QObject
{
    Q_OBJECT

public:
    enum class Preference { none, dark, light };

    using QObject::QObject;

    /// `none` while the desktop states no preference or none could be read.
    virtual Preference preference() const = 0;

Q_SIGNALS:
    void preferenceChanged();
};

} // namespace kavo
