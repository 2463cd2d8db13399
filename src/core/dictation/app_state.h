#pragma once

#include "notes/notes_store.h"
#include "store/config.h"
#include "store/history.h"
#include "store/raw_value.h"

#include <QDateTime>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QUuid>

#include <chrono>
#include <functional>
#include <optional>

namespace kavo {

/// What the `working` phase of a dictation is busy with.
enum class DictationStage { preparing, trimming, transcribing, retrying, organizing, finishing };

/// The progress text of a stage that began `elapsed` ago, in the interface language.
QString dictationStageMessage(DictationStage stage, std::chrono::milliseconds elapsed);

/// Where a dictation's text goes: a note, the application with the text cursor, or History alone.
struct DictationTarget
{
    enum class Kind { note, frontApp, historyOnly };

    Kind kind = Kind::frontApp;
    QUuid noteID; ///< only for `note`

    static DictationTarget note(const QUuid& id) { return { Kind::note, id }; }
    static DictationTarget frontApp() { return { Kind::frontApp, {} }; }
    static DictationTarget historyOnly() { return { Kind::historyOnly, {} }; }

    friend bool operator==(const DictationTarget& a, const DictationTarget& b)
    {
        return a.kind == b.kind && (a.kind != Kind::note || a.noteID == b.noteID);
    }
};

/// A short message that shows for a moment and goes away by itself.
struct Toast
{
    enum class Tone { success, danger, warning, info };

    QUuid id; ///< new for every toast, so a view can tell two equal texts apart
    QString title;
    QString detail;
    Tone tone = Tone::info;

    bool operator==(const Toast&) const = default;
};

/// The result of the last API-key check; `message` is the reason of a failed one.
struct KeyStatus
{
    enum class Kind { failed, unknown, checking, ok };

    Kind kind = Kind::unknown;
    QString message;

    bool operator==(const KeyStatus&) const = default;
};

/// The callbacks through which views reach the application; each does nothing until the application installs it.
struct AppActions
{
    std::function<void(const DictationTarget&)> toggleDictation = [](const DictationTarget&) {};
    std::function<void()> cancelDictation = [] {};
    std::function<void(const QUuid&)> retry = [](const QUuid&) {};
    std::function<void(const QString&)> insert = [](const QString&) {};
    std::function<void()> checkKey = [] {};
    std::function<void()> toggleMicTest = [] {};
    std::function<void()> newPhoneCode = [] {};
    std::function<void()> openOnboarding = [] {};
};

/// Everything the interface shows and the dictation flow decides on, in one observable object: the phase and stage
/// of the dictation, the input level, the settings, History and notes, the main window's navigation, toasts and
/// the phone server's status. Main thread only; every property announces its changes.
class AppState : public QObject
{
    Q_OBJECT

    Q_PROPERTY(Phase phase READ phase WRITE setPhase NOTIFY phaseChanged)
    Q_PROPERTY(QDateTime processingStarted READ processingStarted NOTIFY processingStartedChanged)
    Q_PROPERTY(double level READ level WRITE setLevel NOTIFY levelChanged)
    Q_PROPERTY(QString message READ message WRITE setMessage NOTIFY messageChanged)
    Q_PROPERTY(bool accessibilityGranted READ accessibilityGranted WRITE setAccessibilityGranted NOTIFY
            accessibilityGrantedChanged)
    Q_PROPERTY(QString source READ source WRITE setSource NOTIFY sourceChanged)
    Q_PROPERTY(
        QDateTime recordingStarted READ recordingStarted WRITE setRecordingStarted NOTIFY recordingStartedChanged)
    Q_PROPERTY(Screen screen READ screen WRITE setScreen NOTIFY screenChanged)
    Q_PROPERTY(QString search READ search WRITE setSearch NOTIFY searchChanged)
    Q_PROPERTY(int searchFocus READ searchFocus WRITE setSearchFocus NOTIFY searchFocusChanged)
    Q_PROPERTY(bool settingsOpen READ settingsOpen WRITE setSettingsOpen NOTIFY settingsOpenChanged)
    Q_PROPERTY(SettingsTab settingsTab READ settingsTab WRITE setSettingsTab NOTIFY settingsTabChanged)
    Q_PROPERTY(QStringList models READ models WRITE setModels NOTIFY modelsChanged)
    Q_PROPERTY(bool launchAtLogin READ launchAtLogin WRITE setLaunchAtLogin NOTIFY launchAtLoginChanged)
    Q_PROPERTY(bool phoneRunning READ phoneRunning WRITE setPhoneRunning NOTIFY phoneRunningChanged)
    Q_PROPERTY(QStringList phoneURLs READ phoneURLs WRITE setPhoneURLs NOTIFY phoneURLsChanged)
    Q_PROPERTY(QStringList shortcutURLs READ shortcutURLs WRITE setShortcutURLs NOTIFY shortcutURLsChanged)
    Q_PROPERTY(QString phoneError READ phoneError WRITE setPhoneError NOTIFY phoneErrorChanged)
    Q_PROPERTY(QDateTime phoneLastSeen READ phoneLastSeen WRITE setPhoneLastSeen NOTIFY phoneLastSeenChanged)

public:
    enum class Phase { idle, recording, working, failed };
    Q_ENUM(Phase)
    enum class Screen { history, notes, vocabulary, phone };
    Q_ENUM(Screen)
    enum class SettingsTab { general, shortcuts, ai, microphone, advanced };
    Q_ENUM(SettingsTab)
    using Target = DictationTarget;

    static constexpr auto toastDuration = std::chrono::milliseconds(2600);
    /// How long after its last contact the phone still counts as connected.
    static constexpr auto phoneContactWindow = std::chrono::seconds(45);

    /// Reads the settings, History and notes files; damaged ones are set aside, and missing or damaged settings
    /// are replaced by the defaults, written at once.
    explicit AppState(QObject* parent = nullptr);
    ~AppState() override;

    /// Changing the phase starts the `preparing` stage, timed from now when the phase becomes `working`.
    Phase phase() const { return m_phase; }
    void setPhase(Phase phase);
    DictationStage processingStage() const { return m_processingStage; }
    /// When the current stage began; invalid outside `working`.
    QDateTime processingStarted() const { return m_processingStarted; }
    /// Moves a `working` dictation on to `stage`, begun at `date`; nothing in other phases or for the same stage.
    void setProcessingStage(DictationStage stage, const QDateTime& date = QDateTime::currentDateTime());
    /// The progress text of the current stage.
    QString processingMessage(const QDateTime& now = QDateTime::currentDateTime()) const;

    double level() const { return m_level; }
    void setLevel(double level);
    QString message() const { return m_message; }
    void setMessage(const QString& message);
    bool accessibilityGranted() const { return m_accessibilityGranted; }
    void setAccessibilityGranted(bool granted);

    const Config& config() const { return m_config; }
    void setConfig(const Config& config);
    const History& history() const { return m_history; }
    /// Applies `change` to History and announces it.
    void updateHistory(const std::function<void(History&)>& change);
    const NotesStore& notes() const { return m_notes; }
    void updateNotes(const std::function<void(NotesStore&)>& change);

    QString source() const { return m_source; }
    void setSource(const QString& source);
    const Target& target() const { return m_target; }
    void setTarget(const Target& target);
    QDateTime recordingStarted() const { return m_recordingStarted; }
    void setRecordingStarted(const QDateTime& started);
    const std::optional<QString>& doneText() const { return m_doneText; }
    void setDoneText(const std::optional<QString>& text);
    const QSet<QUuid>& retrying() const { return m_retrying; }
    void setRetrying(const QSet<QUuid>& ids);

    Screen screen() const { return m_screen; }
    void setScreen(Screen screen);
    /// The note open on the Notes screen; not announced.
    std::optional<QUuid> openNoteID;
    QString search() const { return m_search; }
    void setSearch(const QString& search);
    int searchFocus() const { return m_searchFocus; }
    void setSearchFocus(int focus);
    bool settingsOpen() const { return m_settingsOpen; }
    void setSettingsOpen(bool open);
    SettingsTab settingsTab() const { return m_settingsTab; }
    void setSettingsTab(SettingsTab tab);
    static QString settingsTabTitle(SettingsTab tab);

    const std::optional<Toast>& toast() const { return m_toast; }
    /// Shows a new toast in place of the one on screen, and removes it after `toastDuration`.
    void showToast(const QString& title, const QString& detail, Toast::Tone tone);

    const KeyStatus& keyStatus() const { return m_keyStatus; }
    void setKeyStatus(const KeyStatus& status);
    QStringList models() const { return m_models; }
    void setModels(const QStringList& models);
    std::optional<double> micTestLevel() const { return m_micTestLevel; }
    void setMicTestLevel(std::optional<double> level);
    bool launchAtLogin() const { return m_launchAtLogin; }
    void setLaunchAtLogin(bool enabled);

    bool phoneRunning() const { return m_phoneRunning; }
    void setPhoneRunning(bool running);
    QStringList phoneURLs() const { return m_phoneURLs; }
    void setPhoneURLs(const QStringList& urls);
    QStringList shortcutURLs() const { return m_shortcutURLs; }
    void setShortcutURLs(const QStringList& urls);
    QString phoneError() const { return m_phoneError; }
    void setPhoneError(const QString& error);
    QDateTime phoneLastSeen() const { return m_phoneLastSeen; }
    void setPhoneLastSeen(const QDateTime& date);

    /// The text of the newest done entry in History; empty when there is none.
    QString lastTranscript() const;
    /// The phone page was in contact less than `phoneContactWindow` before `now`.
    bool phoneConnected(const QDateTime& now = QDateTime::currentDateTime()) const;

    AppActions actions;
    /// The user's full name from the account database, else the login name.
    const QString userName;

    /// Whether the autostart entry that starts the application at login exists.
    static bool loginItemEnabled();

Q_SIGNALS:
    void phaseChanged();
    void processingStageChanged();
    void processingStartedChanged();
    void levelChanged();
    void messageChanged();
    void accessibilityGrantedChanged();
    void configChanged();
    void historyChanged();
    void notesChanged();
    void sourceChanged();
    void targetChanged();
    void recordingStartedChanged();
    void doneTextChanged();
    void retryingChanged();
    void screenChanged();
    void searchChanged();
    void searchFocusChanged();
    void settingsOpenChanged();
    void settingsTabChanged();
    void toastChanged();
    void keyStatusChanged();
    void modelsChanged();
    void micTestLevelChanged();
    void launchAtLoginChanged();
    void phoneRunningChanged();
    void phoneURLsChanged();
    void shortcutURLsChanged();
    void phoneErrorChanged();
    void phoneLastSeenChanged();

private:
    template <typename T> void assign(T& member, const T& value, void (AppState::*changed)());
    void setProcessing(DictationStage stage, const QDateTime& started);

    Phase m_phase = Phase::idle;
    DictationStage m_processingStage = DictationStage::preparing;
    QDateTime m_processingStarted;
    double m_level = 0;
    QString m_message;
    bool m_accessibilityGranted = false;
    Config m_config;
    History m_history;
    NotesStore m_notes;
    QString m_source = QStringLiteral("mac");
    Target m_target;
    QDateTime m_recordingStarted;
    std::optional<QString> m_doneText;
    QSet<QUuid> m_retrying;
    Screen m_screen = Screen::history;
    QString m_search;
    int m_searchFocus = 0;
    bool m_settingsOpen = false;
    SettingsTab m_settingsTab = SettingsTab::general;
    std::optional<Toast> m_toast;
    QTimer m_toastTimer;
    KeyStatus m_keyStatus;
    QStringList m_models;
    std::optional<double> m_micTestLevel;
    bool m_launchAtLogin;
    bool m_phoneRunning = false;
    QStringList m_phoneURLs;
    QStringList m_shortcutURLs;
    QString m_phoneError;
    QDateTime m_phoneLastSeen;
};

template <> struct RawValues<AppState::Screen>
{
    static constexpr std::array<std::pair<AppState::Screen, const char*>, 4> table { {
        { AppState::Screen::history, "history" },
        { AppState::Screen::notes, "notes" },
        { AppState::Screen::vocabulary, "vocabulary" },
        { AppState::Screen::phone, "phone" },
    } };
};

template <> struct RawValues<AppState::SettingsTab>
{
    static constexpr std::array<std::pair<AppState::SettingsTab, const char*>, 5> table { {
        { AppState::SettingsTab::general, "general" },
        { AppState::SettingsTab::shortcuts, "shortcuts" },
        { AppState::SettingsTab::ai, "ai" },
        { AppState::SettingsTab::microphone, "microphone" },
        { AppState::SettingsTab::advanced, "advanced" },
    } };
};

} // namespace kavo
