#pragma once

#include "state/toasts.h"
#include "store/settings.h"

#include <QtQml/qqml.h>

namespace kavo {

// Types of the core that views name in QML; the core itself does not depend on Qt Quick.
struct ToastsForeign
{
    Q_GADGET
    QML_FOREIGN(kavo::Toasts)
    QML_NAMED_ELEMENT(Toasts)
    QML_UNCREATABLE("The application owns its toasts")
};

struct SettingsForeign
{
    Q_GADGET
    QML_FOREIGN(kavo::Settings)
    QML_NAMED_ELEMENT(Settings)
    QML_UNCREATABLE("The application owns the settings")
};

} // namespace kavo
