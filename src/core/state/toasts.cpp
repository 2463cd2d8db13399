#include "toasts.h"

namespace kavo {

Toasts::Toasts(QObject* parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    // A coarse timer may fire 5 % early; the toast's time on screen is fixed.
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(duration);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_current.reset();
        Q_EMIT toastChanged();
    });
}

void Toasts::show(const QString& title, const QString& detail, Tone tone)
{
    m_current = Toast { QUuid::createUuid(), title, detail, tone };
    Q_EMIT toastChanged();
    m_timer.start();
}

} // namespace kavo
