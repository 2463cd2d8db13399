#pragma once

#include "mic_test.h"
#include "tray.h"
#include "updater.h"

#include "delivery/text_injector.h"
#include "dictation/dictation_flow.h"
#include "hotkey/hotkey_monitor.h"
#include "phone/phone_link.h"
#include "phone/phone_server.h"
#include "platform/dbus/remote_control.h"
#include "platform/dbus/settings_portal.h"
#include "platform/desktop_feedback.h"
#include "platform/netlink/network_monitor.h"
#include "platform/pulse/audio_recorder.h"
#include "platform/pulse/mic_level_meter.h"
#include "session/termination_signals.h"
#include "state/input_access.h"
#include "state/key_check.h"
#include "state/navigation.h"
#include "state/phone_status.h"
#include "state/toasts.h"
#include "store/data_actions.h"
#include "store/data_stores.h"
#include "store/settings_observer.h"
#include "ui/history/history_view.h"
#include "ui/kavo/appearance.h"
#include "ui/kavo/tokens.h"
#include "ui/main/main_view.h"
#include "ui/notes/notes_view.h"
#include "ui/phone/phone_view.h"
#include "ui/pill/pill_panel.h"
#include "ui/pill/pill_view.h"
#include "ui/settings/data_view.h"
#include "ui/settings/settings_view.h"
#include "ui/vocabulary/vocabulary_view.h"

#include <QPointer>
#include <QQmlEngine>
#include <QQuickWindow>

namespace kavo {

class OnboardingView;
class PermissionsView;

/// The desktop application: owns the running objects, starts them in order, applies settings changes to them,
/// keeps the tray up to date, opens the windows and stops everything in order at quit.
class AppDelegate : public QObject
{
    Q_OBJECT

public:
    /// `remoteControl` is this instance's name on the session bus, or null without a bus.
    explicit AppDelegate(std::unique_ptr<RemoteControl> remoteControl, QObject* parent = nullptr);
    ~AppDelegate() override;

    /// Everything that happens once the application runs: History's pruning, the tray, the first apply
    /// of the settings, the hotkey and the checks of input access and the API key.
    void launch();
    /// Pushes the settings into the running objects; restarts only what the settings changed since the last apply
    /// concern.
    void applyConfig();
    /// Stops the hotkey, plays media a recording paused, releases the microphone and writes the settings.
    void shutDown();

    /// Shows the main window, created on first use, on `screen` and with the settings on `tab` when given.
    void openMainWindow(std::optional<Navigation::Screen> screen = std::nullopt,
        std::optional<Navigation::SettingsTab> tab = std::nullopt);
    void openPermissionsWindow();
    /// Shows the set-up window, made on first use; its Done marks set-up as done.
    void openOnboardingWindow();
    void checkKey();
    void newPhoneCode();
    void refreshStatusItem();

    const DataStores& stores() const { return m_stores; }

private:
    void checkInputAccess();
    void refreshHotkeyProblem();
    void menuTriggered(StatusMenuItem::Action action, const QString& deviceID);
    void pickMicrophone(const QString& deviceID);
    void readInputs();
    void setUpPill();
    void applyPill(const Config& config);
    QQmlEngine& qmlEngine();
    /// Makes the window of a module's QML file, "Main/MainWindow" for example.
    std::unique_ptr<QQuickWindow> createWindow(const QString& file, const QVariantMap& properties);
    static void present(QQuickWindow& window);

    DataStores m_stores;
    DataActions m_dataActions { m_stores };
    Toasts m_toasts;
    Navigation m_navigation;
    KeyCheck m_keyCheck;
    PhoneStatus m_phoneStatus;
    AudioRecorder m_recorder;
    TextInjector m_injector;
    std::unique_ptr<MediaControl> m_media;
    std::unique_ptr<FrontAppSource> m_frontApplication;
    DictationFlow m_flow;
    PhoneServer m_phoneServer;
    PhoneLink m_phoneLink;
    DesktopFeedback m_feedback;
    HotkeyMonitor m_hotkey;
    MicLevelMeter m_micMeter;
    MicTest m_micTest;
    Notifier m_notifier;
    NetworkMonitor m_networkMonitor;
    Updater m_updater;
    InputAccess m_inputAccess;
    SettingsPortal m_settingsPortal;
    Appearance m_appearance;
    Tokens m_tokens;
    Tray m_tray;
    MainView m_mainView;
    HistoryView m_historyView;
    NotesView m_notesView;
    VocabularyView m_vocabularyView;
    PhoneView m_phoneView;
    DataView m_dataView { m_dataActions, m_toasts };
    SettingsView m_settingsView { m_stores.settings, m_keyCheck, m_phoneStatus, m_dataView };
    // Windows made from QML go before their engine.
    std::unique_ptr<QQmlEngine> m_qmlEngine;
    std::unique_ptr<FloatingWindowSystem> m_floatingWindows;
    PillView m_pillView;
    PillPanel m_pillPanel;
    TerminationSignals m_terminationSignals;
    std::unique_ptr<SettingsObserver> m_settingsObserver;
    std::unique_ptr<RemoteControl> m_remoteControl;
    std::unique_ptr<QQuickWindow> m_mainWindow;
    std::unique_ptr<PermissionsView> m_permissionsView;
    std::unique_ptr<QQuickWindow> m_permissionsWindow;
    std::unique_ptr<OnboardingView> m_onboardingView;
    std::unique_ptr<QQuickWindow> m_onboardingWindow;
    std::optional<Config> m_applied;
    /// The microphones as the menu lists them, read at launch and whenever the menu opens, so that a phase change
    /// does not ask the sound server.
    QList<AudioRecorder::Input> m_inputs;
    bool m_shutDown = false;
};

} // namespace kavo
