#pragma once

#include "platform/canberra/event_sounds.h"
#include "platform/dbus/notifier.h"

#include <QObject>

namespace kavo {

class DictationFlow;

/// What the desktop makes of a dictation's moments: the event sounds it asks for, played from the sound theme, and
/// the notifications it posts, shown by the desktop's notification service.
class DesktopFeedback : public QObject
{
    Q_OBJECT

public:
    explicit DesktopFeedback(DictationFlow& flow, QObject* parent = nullptr);

private:
    EventSounds m_sounds;
    Notifier m_notifier;
};

} // namespace kavo
