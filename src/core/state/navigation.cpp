#include "navigation.h"

namespace kavo {

QString Navigation::settingsTabTitle(SettingsTab tab)
{
    switch (tab) {
    case SettingsTab::general:
        return tr("General");
    case SettingsTab::shortcuts:
        return tr("Shortcuts");
    case SettingsTab::ai:
        return tr("AI and languages");
    case SettingsTab::microphone:
        return tr("Microphone");
    case SettingsTab::advanced:
        return tr("Advanced");
    }
    return {};
}

} // namespace kavo
