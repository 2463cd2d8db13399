#pragma once

#include "settings_options.h"

#include <QObject>
#include <QStringList>
#include <QtQmlIntegration/qqmlintegration.h>

#include <functional>

namespace kavo {

/// One drop-down or segmented control of the settings panel: its options' labels, the one the settings hold, and
/// choosing one, which writes the settings.
class SettingChoice : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The settings view makes its choices")
    Q_PROPERTY(QStringList labels READ labels NOTIFY changed)
    Q_PROPERTY(int currentIndex READ currentIndex NOTIFY changed)

public:
    using Options = std::function<QList<SettingOption>()>;
    using Current = std::function<QVariant()>;
    using Apply = std::function<void(const QVariant&)>;

    SettingChoice(Options options, Current current, Apply apply, QObject* parent = nullptr);

    const QList<SettingOption>& options() const { return m_options; }
    QStringList labels() const;
    /// The option holding the current value; -1 when none does.
    int currentIndex() const { return m_currentIndex; }
    /// Applies the option's value unless it is the current one.
    Q_INVOKABLE void choose(int index);
    /// Builds the options and finds the current one again, announcing only a real change.
    void refresh();

Q_SIGNALS:
    void changed();

private:
    Options m_build;
    Current m_current;
    Apply m_apply;
    QList<SettingOption> m_options;
    int m_currentIndex = -1;
};

} // namespace kavo
