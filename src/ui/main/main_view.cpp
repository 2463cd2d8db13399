#include "main_view.h"

#include "dictation/dictation_state.h"
#include "store/settings.h"

#include <pwd.h>
#include <unistd.h>

namespace kavo {

using Phase = DictationState::Phase;

MainView::MainView(
    const Navigation& navigation, const DictationState& dictation, const Settings& settings, QObject* parent)
    : QObject(parent)
    , m_dictation(dictation)
    , m_settings(settings)
{
    connect(&navigation, &Navigation::screenRequested, this, &MainView::setScreen);
    connect(&navigation, &Navigation::noteRequested, this, [this] { setScreen(Navigation::Screen::notes); });
    connect(
        &navigation, &Navigation::settingsRequested, this, qOverload<Navigation::SettingsTab>(&MainView::openSettings));
    connect(&dictation, &DictationState::phaseChanged, this, &MainView::dictationChanged);
    connect(&settings, &Settings::hotkeyModeChanged, this, &MainView::dictationChanged);
}

void MainView::setScreen(Navigation::Screen screen)
{
    if (screen == m_screen)
        return;
    const Navigation::Screen left = std::exchange(m_screen, screen);
    Q_EMIT screenLeft(left);
    Q_EMIT screenChanged();
}

QString MainView::screenName(Navigation::Screen screen)
{
    switch (screen) {
    case Navigation::Screen::history:
        return tr("History");
    case Navigation::Screen::notes:
        return tr("Notes");
    case Navigation::Screen::vocabulary:
        return tr("Vocabulary");
    case Navigation::Screen::phone:
        return tr("From phone");
    }
    return {};
}

void MainView::setSearch(const QString& search)
{
    if (search == m_search)
        return;
    m_search = search;
    Q_EMIT searchChanged();
}

void MainView::focusSearch()
{
    ++m_searchFocus;
    Q_EMIT searchFocusChanged();
}

void MainView::setSettingsOpen(bool open)
{
    if (open == m_settingsOpen)
        return;
    m_settingsOpen = open;
    Q_EMIT settingsChanged();
}

void MainView::openSettings(Navigation::SettingsTab tab)
{
    m_settingsTab = tab;
    m_settingsOpen = true;
    Q_EMIT settingsChanged();
}

bool MainView::isRecording() const
{
    return m_dictation.phase() == Phase::recording;
}

bool MainView::hasFailed() const
{
    return m_dictation.phase() == Phase::failed;
}

QString MainView::dictationStatus() const
{
    switch (m_dictation.phase()) {
    case Phase::recording:
        return tr("Listening…");
    case Phase::failed:
        return tr("Error");
    case Phase::idle:
    case Phase::working:
        break;
    }
    return tr("Ready");
}

QString MainView::dictationHint() const
{
    return m_settings.hotkeyMode() == HotkeyMode::toggle
        ? tr("Press once and talk. Press again and the text is typed.")
        : tr("Hold and talk. When you let go, the text is typed where the cursor is.");
}

QString MainView::dictationButton() const
{
    return isRecording() ? tr("Stop") : tr("Try it");
}

QString MainView::userName()
{
    if (const passwd* entry = getpwuid(getuid())) {
        const QString gecos = QString::fromLocal8Bit(entry->pw_gecos).section(u',', 0, 0).trimmed();
        return gecos.isEmpty() ? QString::fromLocal8Bit(entry->pw_name) : gecos;
    }
    return qEnvironmentVariable("USER");
}

} // namespace kavo
