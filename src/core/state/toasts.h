#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <QUuid>
#include <QtQmlIntegration/qqmlintegration.h>

#include <chrono>
#include <optional>

namespace kavo {

/// The short message on screen that goes away by itself; a newer one takes its place. Main thread only.
class Toasts : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns its toasts")
    Q_PROPERTY(bool visible READ isVisible NOTIFY toastChanged)
    Q_PROPERTY(QString title READ title NOTIFY toastChanged)
    Q_PROPERTY(QString detail READ detail NOTIFY toastChanged)
    Q_PROPERTY(Tone tone READ tone NOTIFY toastChanged)

public:
    enum class Tone { success, danger, warning, info };
    Q_ENUM(Tone)

    /// One toast; a new id for every one shown, so that a view can tell two equal texts apart.
    struct Toast
    {
        QUuid id;
        QString title;
        QString detail;
        Tone tone = Tone::info;

        bool operator==(const Toast&) const = default;
    };

    static constexpr auto duration = std::chrono::milliseconds(2600);

    explicit Toasts(QObject* parent = nullptr);

    const std::optional<Toast>& current() const { return m_current; }
    /// Shows a new toast in place of the one on screen, and removes it `duration` later.
    void show(const QString& title, const QString& detail, Tone tone);

Q_SIGNALS:
    void toastChanged();

private:
    bool isVisible() const { return m_current.has_value(); }
    QString title() const { return m_current ? m_current->title : QString(); }
    QString detail() const { return m_current ? m_current->detail : QString(); }
    Tone tone() const { return m_current ? m_current->tone : Tone::info; }

    std::optional<Toast> m_current;
    QTimer m_timer;
};

} // namespace kavo
