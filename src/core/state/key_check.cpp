#include "key_check.h"

#include "store/settings.h"
#include "transcription/gemini_client.h"
#include "transcription/gemini_error.h"

#include <QPointer>

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

QCoro::Task<> KeyCheck::check(Settings& settings)
{
    const QPointer self(this);
    const QPointer<Settings> liveSettings(&settings);
    const QString key = settings.config().resolvedApiKey();
    if (key.isEmpty()) {
        setStatus(Status::unknown);
        co_return;
    }
    setStatus(Status::checking);
    const GeminiClient client = GeminiClient::fromConfig(settings.config());
    QStringList names;
    std::exception_ptr failure;
    try {
        names = co_await client.listModels();
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self || !liveSettings || liveSettings->config().resolvedApiKey() != key)
        co_return;
    if (failure) {
        setStatus(Status::failed, errorDescription(failure));
        co_return;
    }
    QStringList models;
    for (const QString& name : std::as_const(names)) {
        if (name.contains(QLatin1String("gemini")) && !name.contains(QLatin1String("embedding")))
            models.append(name);
    }
    setModels(models);
    const QString current = liveSettings->model();
    if (const std::optional<QString> picked = GeminiClient::pickModel(models, current); picked && *picked != current)
        liveSettings->setModel(*picked);
    setStatus(Status::ok);
}

} // namespace kavo
