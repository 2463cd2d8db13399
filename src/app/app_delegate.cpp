#include "app_delegate.h"

#include "phone/local_addresses.h"
#include "phone/phone_token.h"
#include "platform/session_backends.h"
#include "platform/x11/x11_floating_window.h"
#include "session/desktop_session.h"
#include "session/login_item.h"
#include "state/config_diff.h"
#include "store/interface_language.h"
#include "store/log.h"
#include "ui/kavo/qml_engine.h"
#include "ui/kavo/typeface.h"
#include "ui/main/permissions_view.h"
#include "ui/onboarding/onboarding_view.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QUrl>

// Generated with the module; calling it links the module's type registrations into the program.
void qml_register_types_Kavo_History();
void qml_register_types_Kavo_Main();
void qml_register_types_Kavo_Notes();
void qml_register_types_Kavo_Onboarding();
void qml_register_types_Kavo_Phone();
void qml_register_types_Kavo_Settings();
void qml_register_types_Kavo_Vocabulary();
void qml_register_types_Kavo_Pill();

namespace kavo {

AppDelegate::AppDelegate(std::unique_ptr<RemoteControl> remoteControl, QObject* parent)
    : QObject(parent)
    , m_injector(SessionBackends::injectionBackend())
    , m_media(SessionBackends::mediaControl())
    , m_frontApplication(SessionBackends::frontApplication())
    , m_flow(m_stores, m_toasts, m_recorder, m_injector)
    , m_phoneLink(m_stores.settings, m_phoneStatus, m_phoneServer, LocalAddresses::current)
    , m_feedback(m_flow)
    , m_hotkey(SessionBackends::hotkeySource)
    , m_micTest(m_micMeter, m_stores.settings, m_flow.state(), m_toasts)
    , m_updater(m_notifier)
    , m_inputAccess(SessionBackends::hasInputAccess)
    , m_appearance(&m_settingsPortal)
    , m_tokens(m_appearance)
    , m_tray(m_tokens)
    , m_mainView(m_navigation, m_flow.state(), m_stores.settings)
    , m_historyView(m_stores.history, m_flow.state(), m_stores.settings, m_toasts)
    , m_notesView(m_stores.notes, m_flow.state(), m_toasts)
    , m_vocabularyView(m_stores.settings, m_dataActions, m_toasts)
    , m_phoneView(m_phoneStatus, m_stores.settings, m_stores.history, m_toasts)
    , m_floatingWindows(X11FloatingWindowSystem::create())
    , m_pillView(m_flow.state(), m_stores.settings, m_inputAccess)
    , m_pillPanel(m_pillView, m_floatingWindows.get())
    , m_remoteControl(std::move(remoteControl))
{
    m_stores.load();
    m_flow.setFrontApplication(m_frontApplication.get());
    m_flow.setMediaControl(m_media.get());
    m_flow.setKeyCheck(&m_keyCheck);
    m_phoneServer.reportPhaseOf(m_flow.state());
    // The server goes before the flow.
    m_phoneServer.setAudioHandler([&flow = m_flow](QByteArray data, QString contentType) {
        return flow.transcribeFromPhone(std::move(data), std::move(contentType));
    });
    Tokens::setInstance(&m_tokens);
}

AppDelegate::~AppDelegate()
{
    shutDown();
}

void AppDelegate::launch()
{
    Typeface::registerFaces();
    m_settingsPortal.start();

    // What the windows, the tray and the remote control ask of the dictation.
    connect(&m_mainView, &MainView::dictationToggled, this,
        [this] { m_flow.toggleRecording(DictationTarget::frontApp()); });
    if (m_remoteControl) {
        connect(m_remoteControl.get(), &RemoteControl::toggleRequested, this,
            [this] { m_flow.toggleRecording(DictationTarget::frontApp()); });
        connect(m_remoteControl.get(), &RemoteControl::startRequested, this,
            [this] { m_flow.startRecording(DictationSource::computer, DictationTarget::frontApp()); });
        connect(m_remoteControl.get(), &RemoteControl::stopRequested, &m_flow, &DictationFlow::finishRecording);
        connect(m_remoteControl.get(), &RemoteControl::cancelRequested, &m_flow, &DictationFlow::cancelRecording);
        connect(m_remoteControl.get(), &RemoteControl::showWindowRequested, this, [this] { openMainWindow(); });
    }
    // What the main window's screens ask of the application.
    connect(&m_mainView, &MainView::searchChanged, this, [this] { m_historyView.setSearch(m_mainView.search()); });
    connect(&m_historyView, &HistoryView::retryRequested, &m_flow, &DictationFlow::retry);
    connect(&m_notesView, &NotesView::dictationToggled, this,
        [this](const QUuid& note) { m_flow.toggleRecording(DictationTarget::note(note)); });
    connect(&m_navigation, &Navigation::noteRequested, &m_notesView, &NotesView::openNote);
    connect(&m_mainView, &MainView::screenLeft, this, [this](Navigation::Screen screen) {
        if (screen == Navigation::Screen::notes)
            m_notesView.leave();
    });
    connect(&m_phoneView, &PhoneView::newCodeRequested, this, &AppDelegate::newPhoneCode);
    // What the settings panel asks of the application.
    m_settingsView.setLaunchAtLogin(LoginItem::isEnabled());
    connect(&m_settingsView, &SettingsView::launchAtLoginChanged, this, [this](bool on) {
        LoginItem::set(on, QCoreApplication::applicationFilePath());
        m_settingsView.setLaunchAtLogin(LoginItem::isEnabled());
    });
    connect(&m_settingsView, &SettingsView::keyCheckRequested, this, &AppDelegate::checkKey);
    connect(&m_settingsView, &SettingsView::micTestToggled, &m_micTest, &MicTest::toggle);
    connect(&m_micTest, &MicTest::levelChanged, this, [this] {
        m_settingsView.setMicTesting(m_micTest.isRunning());
        m_settingsView.setLevel(m_micTest.levelOrZero());
    });
    connect(&m_settingsView, &SettingsView::languageChangeRequested, this, [](const QString& code) {
        const std::optional<QString> choice = code.isEmpty() ? std::nullopt : std::optional(code);
        if (InterfaceLanguage::chooseAndRelaunch(choice, QCoreApplication::applicationFilePath()))
            QCoreApplication::quit();
    });
    // A recording needs the microphone to itself.
    connect(&m_flow, &DictationFlow::recordingStarting, &m_micTest, &MicTest::stop);
    connect(&m_navigation, &Navigation::screenRequested, this, [this] { openMainWindow(); });
    connect(&m_navigation, &Navigation::noteRequested, this, [this] { openMainWindow(); });
    connect(&m_navigation, &Navigation::settingsRequested, this, [this] { openMainWindow(); });
    connect(&m_terminationSignals, &TerminationSignals::received, qApp, &QCoreApplication::quit);

    m_stores.history.change(
        [this](History& history) { history.prune(m_stores.settings.historyDays(), QDateTime::currentDateTime()); });

    // The tray follows everything its menu shows.
    const DictationState& dictation = m_flow.state();
    for (const auto changed : { &DictationState::phaseChanged, &DictationState::messageChanged })
        connect(&dictation, changed, this, &AppDelegate::refreshStatusItem);
    connect(&m_inputAccess, &InputAccess::grantedChanged, this, &AppDelegate::refreshStatusItem);
    connect(&m_inputAccess, &InputAccess::grantedChanged, this, &AppDelegate::refreshHotkeyProblem);
    connect(&m_stores.history, &HistoryManager::lastTranscriptChanged, this, &AppDelegate::refreshStatusItem);
    connect(&m_tray, &Tray::triggered, this, &AppDelegate::menuTriggered);
    connect(&m_tray, &Tray::activated, this, [this] { openMainWindow(); });
    connect(&m_tray, &Tray::menuAboutToShow, this, &AppDelegate::readInputs);
    readInputs();
    m_tray.show();
    setUpPill();
    applyConfig();

    m_settingsObserver = std::make_unique<SettingsObserver>(m_stores.settings);
    connect(m_settingsObserver.get(), &SettingsObserver::applyRequested, this, &AppDelegate::applyConfig);
    m_flow.attachHotkey(m_hotkey);
    connect(&m_networkMonitor, &NetworkMonitor::changed, &m_phoneLink, &PhoneLink::networkChanged);
    connect(&m_inputAccess, &InputAccess::accessGranted, &m_hotkey, &HotkeyMonitor::start);

    checkInputAccess();
    if (!m_stores.settings.onboardingDone()) {
        openOnboardingWindow();
        return;
    }
    QStringList missing;
    if (m_inputs.isEmpty())
        missing << QStringLiteral("microphone");
    if (!m_inputAccess.isGranted())
        missing << QStringLiteral("accessibility");
    if (m_stores.settings.config().resolvedApiKey().isEmpty()) {
        m_flow.showHint(tr("Add your Gemini API key in Settings."));
        openMainWindow(std::nullopt, Navigation::SettingsTab::ai);
    }
    if (!missing.isEmpty()) {
        Log::write(
            QStringLiteral("permissions missing after setup: [\"%1\"]").arg(missing.join(QStringLiteral("\", \""))));
        openPermissionsWindow();
    }
}

void AppDelegate::applyConfig()
{
    const Config& config = m_stores.settings.config();
    const ConfigDiff diff = ConfigDiff::between(m_applied, config);
    m_applied = config;

    m_hotkey.kind = config.hotkey;
    m_hotkey.mode = config.hotkeyMode;
    m_hotkey.holdThreshold = config.holdThresholdMs / 1000.0;
    if (diff.hotkey && m_hotkey.hasInputAccess())
        m_hotkey.start();
    m_appearance.setTheme(config.theme);
    applyPill(config);
    if (diff.phoneServer)
        m_phoneLink.apply();
    if (diff.historyDays) {
        m_stores.history.change(
            [&config](History& history) { history.prune(config.historyDays, QDateTime::currentDateTime()); });
    }
    if (diff.apiKey) {
        m_keyCheck.setStatus(KeyCheck::Status::unknown);
        if (!config.resolvedApiKey().isEmpty())
            checkKey();
    }
    if (config.noiseReduction && diff.noiseReduction)
        m_recorder.prepareNoiseReduction(config.inputDeviceID);
    if (m_micTest.isRunning() && diff.microphone) {
        m_micTest.stop();
        m_micTest.toggle();
    }
    refreshStatusItem();
}

void AppDelegate::setUpPill()
{
    connect(
        &m_pillView, &PillView::toggleRequested, this, [this] { m_flow.toggleRecording(DictationTarget::frontApp()); });
    connect(&m_pillView, &PillView::submitRequested, &m_flow, &DictationFlow::finishRecording);
    connect(&m_pillView, &PillView::cancelRequested, &m_flow, &DictationFlow::cancelRecording);
    connect(&m_settingsPortal, &SettingsPortal::reduceMotionChanged, this,
        [this] { m_pillView.setReduceMotion(m_settingsPortal.reduceMotion()); });
    connect(&m_pillPanel, &PillPanel::moved, this, [this](QPointF anchor) {
        m_stores.settings.setHudX(anchor.x());
        m_stores.settings.setHudY(anchor.y());
    });
    std::unique_ptr<QQuickWindow> window = createWindow(QStringLiteral("Pill/Pill"),
        { { QStringLiteral("view"), QVariant::fromValue(&m_pillView) },
            { QStringLiteral("panel"), QVariant::fromValue(&m_pillPanel) } });
    if (window)
        m_pillPanel.attach(std::move(window));
}

void AppDelegate::applyPill(const Config& config)
{
    m_pillPanel.restorePosition(config.hudX, config.hudY);
    if (config.hudVisible)
        m_pillPanel.show();
    else
        m_pillPanel.hide();
}

void AppDelegate::newPhoneCode()
{
    m_phoneStatus.setLastSeen({});
    m_stores.settings.setPhoneToken(PhoneToken::make());
    m_stores.settings.setPhoneServerEnabled(true);
    m_stores.settings.save();
    m_applied.reset();
    m_phoneLink.apply();
}

void AppDelegate::checkKey()
{
    m_keyCheck.check(m_stores.settings);
}

void AppDelegate::checkInputAccess()
{
    m_inputAccess.check();
    refreshHotkeyProblem();
    if (!m_inputAccess.isGranted())
        m_flow.showHint(InputAccess::waitingMessage());
    connect(
        &m_inputAccess, &InputAccess::accessGranted, this,
        [this] {
            if (m_flow.state().message() == InputAccess::waitingMessage())
                m_flow.showHint({});
        },
        Qt::SingleShotConnection);
}

// What the Shortcuts tab tells while the hotkey cannot see the keyboard.
void AppDelegate::refreshHotkeyProblem()
{
    QString problem;
    if (!m_inputAccess.isGranted()) {
        problem = SessionBackends::inputProblem();
        if (problem.isEmpty())
            problem = InputAccess::waitingMessage();
    }
    m_settingsView.setHotkeyProblem(problem);
}

void AppDelegate::refreshStatusItem()
{
    const Config& config = m_stores.settings.config();
    StatusMenu::State state { .phase = m_flow.state().phase(),
        .inputAccess = m_inputAccess.isGranted(),
        .hotkey = config.hotkey,
        .hotkeyMode = config.hotkeyMode,
        .message = m_flow.state().message(),
        .inputDeviceID = config.inputDeviceID,
        .inputDeviceName = AudioRecorder::name(config.inputDeviceID, m_inputs),
        .hudVisible = config.hudVisible,
        .lastTranscript = m_stores.history.lastTranscript(),
        .version = QStringLiteral(KAVO_VERSION),
        .build = QStringLiteral(KAVO_BUILD) };
    for (const AudioRecorder::Input& input : m_inputs)
        state.inputs.append({ input.id, input.name });
    m_tray.refresh(state);
}

void AppDelegate::menuTriggered(StatusMenuItem::Action action, const QString& deviceID)
{
    using Action = StatusMenuItem::Action;
    switch (action) {
    case Action::pickMicrophone:
        pickMicrophone(deviceID);
        break;
    case Action::showMainWindow:
        openMainWindow();
        break;
    case Action::showSettings:
        openMainWindow(std::nullopt, m_mainView.settingsTab());
        break;
    case Action::showOnboarding:
        openOnboardingWindow();
        break;
    case Action::toggleHUD:
        m_stores.settings.setHudVisible(!m_stores.settings.hudVisible());
        break;
    case Action::copyLast:
        QGuiApplication::clipboard()->clear();
        QGuiApplication::clipboard()->setText(m_stores.history.lastTranscript());
        break;
    case Action::insertLast:
        m_flow.insert(m_stores.history.lastTranscript());
        break;
    case Action::checkForUpdates:
        m_updater.checkForUpdates();
        break;
    case Action::openLog:
        QDesktopServices::openUrl(QUrl::fromLocalFile(Log::filePath()));
        break;
    case Action::quit:
        QCoreApplication::quit();
        break;
    case Action::none:
        break;
    }
}

void AppDelegate::pickMicrophone(const QString& deviceID)
{
    m_stores.settings.setInputDeviceID(deviceID);
    Log::write(QStringLiteral("microphone set to ") + AudioRecorder::name(deviceID, m_inputs));
    refreshStatusItem();
}

void AppDelegate::readInputs()
{
    m_inputs = AudioRecorder::inputs();
    QList<AudioInput> inputs;
    for (const AudioRecorder::Input& input : std::as_const(m_inputs))
        inputs.append({ input.id, input.name });
    m_settingsView.setInputs(inputs);
    refreshStatusItem();
}

void AppDelegate::openMainWindow(std::optional<Navigation::Screen> screen, std::optional<Navigation::SettingsTab> tab)
{
    if (screen)
        m_mainView.setScreen(*screen);
    if (tab)
        m_mainView.openSettings(*tab);
    if (!m_mainWindow) {
        m_mainWindow = createWindow(QStringLiteral("Main/MainWindow"),
            { { QStringLiteral("view"), QVariant::fromValue(&m_mainView) },
                { QStringLiteral("toasts"), QVariant::fromValue(&m_toasts) },
                { QStringLiteral("history"), QVariant::fromValue(&m_historyView) },
                { QStringLiteral("notes"), QVariant::fromValue(&m_notesView) },
                { QStringLiteral("vocabulary"), QVariant::fromValue(&m_vocabularyView) },
                { QStringLiteral("phone"), QVariant::fromValue(&m_phoneView) },
                { QStringLiteral("settings"), QVariant::fromValue(&m_settingsView) } });
        if (!m_mainWindow)
            return;
        // A window closed or minimized stops the microphone test and the settings panel, and leaves the Notes
        // screen.
        connect(m_mainWindow.get(), &QWindow::visibilityChanged, this, [this](QWindow::Visibility visibility) {
            if (visibility != QWindow::Hidden && visibility != QWindow::Minimized)
                return;
            m_micTest.stop();
            m_mainView.setSettingsOpen(false);
            if (m_mainView.screen() == Navigation::Screen::notes)
                m_notesView.leave();
        });
    }
    present(*m_mainWindow);
}

void AppDelegate::openPermissionsWindow()
{
    if (!m_permissionsWindow) {
        m_permissionsView = std::make_unique<PermissionsView>(
            m_inputAccess, [] { return !AudioRecorder::inputs().isEmpty(); },
            desktopSession() == DesktopSession::wayland);
        m_permissionsWindow = createWindow(QStringLiteral("Main/PermissionsWindow"),
            { { QStringLiteral("view"), QVariant::fromValue(m_permissionsView.get()) } });
        if (!m_permissionsWindow)
            return;
        m_permissionsView->watchMicrophone(PermissionsView::microphonePoll);
        connect(m_permissionsView.get(), &PermissionsView::finished, this, [this] {
            m_permissionsWindow.release()->deleteLater();
            m_permissionsView.release()->deleteLater();
        });
    }
    present(*m_permissionsWindow);
}

void AppDelegate::openOnboardingWindow()
{
    if (!m_onboardingWindow) {
        m_onboardingView = std::make_unique<OnboardingView>(
            m_stores.settings, m_keyCheck, m_inputAccess, m_flow.state(),
            [] { return !AudioRecorder::inputs().isEmpty(); }, desktopSession() == DesktopSession::wayland);
        m_onboardingWindow = createWindow(QStringLiteral("Onboarding/OnboardingWindow"),
            { { QStringLiteral("view"), QVariant::fromValue(m_onboardingView.get()) } });
        if (!m_onboardingWindow)
            return;
        connect(m_onboardingView.get(), &OnboardingView::finished, this, [this] {
            m_onboardingWindow.release()->deleteLater();
            m_onboardingView.release()->deleteLater();
        });
    }
    present(*m_onboardingWindow);
}

QQmlEngine& AppDelegate::qmlEngine()
{
    if (!m_qmlEngine) {
        m_qmlEngine = std::make_unique<QQmlEngine>();
        prepareQmlEngine(*m_qmlEngine);
        qml_register_types_Kavo_History();
        qml_register_types_Kavo_Main();
        qml_register_types_Kavo_Notes();
        qml_register_types_Kavo_Onboarding();
        qml_register_types_Kavo_Phone();
        qml_register_types_Kavo_Settings();
        qml_register_types_Kavo_Vocabulary();
        qml_register_types_Kavo_Pill();
    }
    return *m_qmlEngine;
}

std::unique_ptr<QQuickWindow> AppDelegate::createWindow(const QString& file, const QVariantMap& properties)
{
    QQmlComponent component(&qmlEngine(), QUrl(QStringLiteral("qrc:/qt/qml/Kavo/%1.qml").arg(file)));
    // Qt 6.4 crashes when a component that did not load is asked for an object.
    std::unique_ptr<QObject> object(component.isReady() ? component.createWithInitialProperties(properties) : nullptr);
    if (!qobject_cast<QQuickWindow*>(object.get())) {
        Log::write(QStringLiteral("the window %1 could not be made: %2")
                       .arg(file, component.errorString().trimmed().replace(u'\n', QStringLiteral("; "))));
        return nullptr;
    }
    return std::unique_ptr<QQuickWindow>(static_cast<QQuickWindow*>(object.release()));
}

void AppDelegate::present(QQuickWindow& window)
{
    if (window.visibility() == QWindow::Minimized)
        window.showNormal();
    else
        window.show();
    window.raise();
    window.requestActivate();
}

void AppDelegate::shutDown()
{
    if (std::exchange(m_shutDown, true))
        return;
    m_hotkey.stop();
    m_flow.resumeMediaNow();
    m_recorder.release();
    m_micTest.stop();
    m_notesView.leave();
    m_phoneServer.stop();
    if (m_settingsObserver)
        m_settingsObserver->flush();
    m_stores.settings.save();
    Log::write(QStringLiteral("quit"));
    Log::flush();
}

} // namespace kavo
