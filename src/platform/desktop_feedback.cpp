#include "desktop_feedback.h"

#include "dictation/dictation_flow.h"

namespace kavo {

DesktopFeedback::DesktopFeedback(DictationFlow& flow, QObject* parent)
    : QObject(parent)
{
    connect(&flow, &DictationFlow::soundRequested, this, [this](EventSound sound) { m_sounds.play(sound); });
    connect(&flow, &DictationFlow::notificationRequested, &m_notifier, &Notifier::post);
}

} // namespace kavo
