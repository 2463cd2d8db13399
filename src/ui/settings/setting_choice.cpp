#include "setting_choice.h"

#include <algorithm>

namespace kavo {

SettingChoice::SettingChoice(Options options, Current current, Apply apply, QObject* parent)
    : QObject(parent)
    , m_build(std::move(options))
    , m_current(std::move(current))
    , m_apply(std::move(apply))
{
    refresh();
}

QStringList SettingChoice::labels() const
{
    QStringList labels;
    for (const SettingOption& option : m_options)
        labels << option.label;
    return labels;
}

void SettingChoice::choose(int index)
{
    if (index >= 0 && index < m_options.size() && index != m_currentIndex)
        m_apply(m_options[index].value);
}

void SettingChoice::refresh()
{
    QList<SettingOption> options = m_build();
    const QVariant current = m_current();
    const auto found = std::find_if(
        options.cbegin(), options.cend(), [&](const SettingOption& option) { return option.value == current; });
    const int index = found == options.cend() ? -1 : int(found - options.cbegin());
    if (options == m_options && index == m_currentIndex)
        return;
    m_options = std::move(options);
    m_currentIndex = index;
    Q_EMIT changed();
}

} // namespace kavo
