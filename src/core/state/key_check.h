#pragma once

#include <QCoroTask>
#include <QObject>
#include <QStringList>
#include <QtQmlIntegration/qqmlintegration.h>

namespace kavo {

class Settings;

/// What the API key gives access to: the result of its last check and the models the service offers with it.
/// Main thread only.
class KeyCheck : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application checks the key")
    Q_PROPERTY(Status status READ status NOTIFY statusChanged)
    Q_PROPERTY(QString failure READ failure NOTIFY statusChanged)
    Q_PROPERTY(QStringList models READ models NOTIFY modelsChanged)

public:
    enum class Status { failed, unknown, checking, ok };
    Q_ENUM(Status)

    using QObject::QObject;

    Status status() const { return m_status; }
    /// Why the last check failed; empty unless the status is `failed`.
    QString failure() const { return m_failure; }
    void setStatus(Status status, const QString& failure = QString());
    /// The model names the last successful check listed.
    QStringList models() const { return m_models; }
    void setModels(const QStringList& models);

    /// Checks the key in use by listing the models it offers: the Gemini models among them become `models`, and the
    /// `model` setting moves to one of them when it is not offered. Without a key the status is `unknown` and
    /// nothing is asked. A result for a key that changed meanwhile is dropped.
    QCoro::Task<> check(Settings& settings);

Q_SIGNALS:
    void statusChanged();
    void modelsChanged();

private:
    Status m_status = Status::unknown;
    QString m_failure;
    QStringList m_models;
};

} // namespace kavo
