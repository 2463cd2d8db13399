#include "key_check.h"

namespace kavo {

void KeyCheck::setStatus(Status status, const QString& failure)
{
    const QString reason = status == Status::failed ? failure : QString();
    if (status == m_status && reason == m_failure)
        return;
    m_status = status;
    m_failure = reason;
    Q_EMIT statusChanged();
}

void KeyCheck::setModels(const QStringList& models)
{
    if (models == m_models)
        return;
    m_models = models;
    Q_EMIT modelsChanged();
}

} // namespace kavo
