#include "app_state.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

#include <pwd.h>
#include <unistd.h>

namespace kavo {
namespace {

constexpr auto firstWait = std::chrono::seconds(4);
constexpr auto secondWait = std::chrono::seconds(8);
constexpr auto alternation = std::chrono::seconds(4);

// The GECOS field holds the full name before its first comma.
QString fullUserName()
{
    if (const passwd* entry = getpwuid(getuid())) {
        QString name = QString::fromLocal8Bit(entry->pw_gecos).section(u',', 0, 0).trimmed();
        if (!name.isEmpty())
            return name;
        return QString::fromLocal8Bit(entry->pw_name);
    }
    return qEnvironmentVariable("USER");
}

QString transcribingMessage(std::chrono::milliseconds elapsed)
{
    if (elapsed < firstWait)
        return QCoreApplication::translate("DictationStage", "Turning speech into text…");
    if (elapsed < secondWait)
        return QCoreApplication::translate("DictationStage", "Waiting for the transcript…");
    const auto round = elapsed / alternation;
    return round % 2 == 0 ? QCoreApplication::translate("DictationStage", "Still processing your audio…")
                          : QCoreApplication::translate("DictationStage", "Waiting for the transcript…");
}

} // namespace

QString dictationStageMessage(DictationStage stage, std::chrono::milliseconds elapsed)
{
    switch (stage) {
    case DictationStage::preparing:
        return QCoreApplication::translate("DictationStage", "Preparing audio…");
    case DictationStage::trimming:
        return QCoreApplication::translate("DictationStage", "Shortening silence…");
    case DictationStage::transcribing:
        return transcribingMessage(elapsed);
    case DictationStage::retrying:
        return QCoreApplication::translate("DictationStage", "Trying again…");
    case DictationStage::organizing:
        return QCoreApplication::translate("DictationStage", "Organizing your note…");
    case DictationStage::finishing:
        return QCoreApplication::translate("DictationStage", "Preparing the result…");
    }
    return {};
}

AppState::AppState(QObject* parent)
    : QObject(parent)
    , userName(fullUserName())
    , m_config(Config::load())
    , m_history(History::load())
    , m_notes(NotesStore::load())
    , m_launchAtLogin(loginItemEnabled())
{
    m_toastTimer.setSingleShot(true);
    m_toastTimer.setInterval(toastDuration);
    connect(&m_toastTimer, &QTimer::timeout, this,
        [this] { assign(m_toast, std::optional<Toast>(), &AppState::toastChanged); });
}

AppState::~AppState() = default;

template <typename T> void AppState::assign(T& member, const T& value, void (AppState::*changed)())
{
    if (member == value)
        return;
    member = value;
    Q_EMIT(this->*changed)();
}

void AppState::setPhase(Phase phase)
{
    if (m_phase == phase)
        return;
    m_phase = phase;
    setProcessing(DictationStage::preparing, phase == Phase::working ? QDateTime::currentDateTime() : QDateTime());
    Q_EMIT phaseChanged();
}

void AppState::setProcessingStage(DictationStage stage, const QDateTime& date)
{
    if (m_phase != Phase::working || stage == m_processingStage)
        return;
    setProcessing(stage, date);
}

void AppState::setProcessing(DictationStage stage, const QDateTime& started)
{
    assign(m_processingStarted, started, &AppState::processingStartedChanged);
    assign(m_processingStage, stage, &AppState::processingStageChanged);
}

QString AppState::processingMessage(const QDateTime& now) const
{
    const qint64 elapsed = m_processingStarted.isValid() ? std::max<qint64>(m_processingStarted.msecsTo(now), 0) : 0;
    return dictationStageMessage(m_processingStage, std::chrono::milliseconds(elapsed));
}

void AppState::setLevel(double level)
{
    assign(m_level, level, &AppState::levelChanged);
}
void AppState::setMessage(const QString& message)
{
    assign(m_message, message, &AppState::messageChanged);
}
void AppState::setAccessibilityGranted(bool granted)
{
    assign(m_accessibilityGranted, granted, &AppState::accessibilityGrantedChanged);
}
void AppState::setConfig(const Config& config)
{
    assign(m_config, config, &AppState::configChanged);
}

void AppState::updateHistory(const std::function<void(History&)>& change)
{
    change(m_history);
    Q_EMIT historyChanged();
}

void AppState::updateNotes(const std::function<void(NotesStore&)>& change)
{
    change(m_notes);
    Q_EMIT notesChanged();
}

void AppState::setSource(const QString& source)
{
    assign(m_source, source, &AppState::sourceChanged);
}
void AppState::setTarget(const Target& target)
{
    assign(m_target, target, &AppState::targetChanged);
}
void AppState::setRecordingStarted(const QDateTime& started)
{
    assign(m_recordingStarted, started, &AppState::recordingStartedChanged);
}
void AppState::setDoneText(const std::optional<QString>& text)
{
    assign(m_doneText, text, &AppState::doneTextChanged);
}
void AppState::setRetrying(const QSet<QUuid>& ids)
{
    assign(m_retrying, ids, &AppState::retryingChanged);
}
void AppState::setScreen(Screen screen)
{
    assign(m_screen, screen, &AppState::screenChanged);
}
void AppState::setSearch(const QString& search)
{
    assign(m_search, search, &AppState::searchChanged);
}
void AppState::setSearchFocus(int focus)
{
    assign(m_searchFocus, focus, &AppState::searchFocusChanged);
}
void AppState::setSettingsOpen(bool open)
{
    assign(m_settingsOpen, open, &AppState::settingsOpenChanged);
}
void AppState::setSettingsTab(SettingsTab tab)
{
    assign(m_settingsTab, tab, &AppState::settingsTabChanged);
}

QString AppState::settingsTabTitle(SettingsTab tab)
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

void AppState::showToast(const QString& title, const QString& detail, Toast::Tone tone)
{
    m_toast = Toast { QUuid::createUuid(), title, detail, tone };
    Q_EMIT toastChanged();
    m_toastTimer.start();
}

void AppState::setKeyStatus(const KeyStatus& status)
{
    assign(m_keyStatus, status, &AppState::keyStatusChanged);
}
void AppState::setModels(const QStringList& models)
{
    assign(m_models, models, &AppState::modelsChanged);
}
void AppState::setMicTestLevel(std::optional<double> level)
{
    assign(m_micTestLevel, level, &AppState::micTestLevelChanged);
}
void AppState::setLaunchAtLogin(bool enabled)
{
    assign(m_launchAtLogin, enabled, &AppState::launchAtLoginChanged);
}
void AppState::setPhoneRunning(bool running)
{
    assign(m_phoneRunning, running, &AppState::phoneRunningChanged);
}
void AppState::setPhoneURLs(const QStringList& urls)
{
    assign(m_phoneURLs, urls, &AppState::phoneURLsChanged);
}
void AppState::setShortcutURLs(const QStringList& urls)
{
    assign(m_shortcutURLs, urls, &AppState::shortcutURLsChanged);
}
void AppState::setPhoneError(const QString& error)
{
    assign(m_phoneError, error, &AppState::phoneErrorChanged);
}
void AppState::setPhoneLastSeen(const QDateTime& date)
{
    assign(m_phoneLastSeen, date, &AppState::phoneLastSeenChanged);
}

QString AppState::lastTranscript() const
{
    for (const HistoryEntry& entry : m_history.entries) {
        if (entry.status == HistoryEntry::Status::done)
            return entry.text;
    }
    return {};
}

bool AppState::phoneConnected(const QDateTime& now) const
{
    return m_phoneLastSeen.isValid()
        && m_phoneLastSeen.msecsTo(now) < std::chrono::milliseconds(phoneContactWindow).count();
}

bool AppState::loginItemEnabled()
{
    return QFileInfo::exists(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/autostart/kavo-voice.desktop"));
}

} // namespace kavo
