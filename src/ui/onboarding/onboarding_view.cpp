#include "onboarding_view.h"

#include "dictation/dictation_state.h"
#include "hotkey/hotkey_kind.h"
#include "state/input_access.h"
#include "state/key_check.h"
#include "store/settings.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>

#include <algorithm>
#include <array>

namespace kavo {

namespace {

constexpr std::array hotkeyKinds {
    HotkeyKind::control,
    HotkeyKind::controlSuper,
    HotkeyKind::super,
    HotkeyKind::rightSuper,
    HotkeyKind::controlAlt,
};

// The permissions window's own words, so that both windows read (and are translated) alike.
QString permissionText(const char* context, const char* text)
{
    return QCoreApplication::translate(context, text);
}

} // namespace

OnboardingView::OnboardingView(Settings& settings, KeyCheck& keyCheck, InputAccess& inputAccess,
    const DictationState& dictation, MicrophoneProbe microphone, bool wayland, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_keyCheck(keyCheck)
    , m_inputAccess(inputAccess)
    , m_dictation(dictation)
    , m_wayland(wayland)
    , m_permissions(inputAccess, std::move(microphone), wayland)
    , m_languages(settings)
{
    connect(&settings, &Settings::hotkeyModeChanged, this, &OnboardingView::textsChanged);
    connect(&settings, &Settings::hotkeyChanged, this, &OnboardingView::hotkeyIndexChanged);
    connect(&settings, &Settings::apiKeyChanged, this, &OnboardingView::apiKeyChanged);
    connect(&settings, &Settings::languageCodesChanged, this, &OnboardingView::primaryEnabledChanged);
    connect(&m_permissions, &PermissionsView::microphoneChanged, this, &OnboardingView::micAllowedChanged);
    connect(&m_permissions, &PermissionsView::microphoneChanged, this, &OnboardingView::primaryEnabledChanged);
    connect(&m_permissions, &PermissionsView::inputChanged, this, &OnboardingView::inputChanged);
    connect(&m_permissions, &PermissionsView::inputChanged, this, &OnboardingView::primaryEnabledChanged);
    connect(&keyCheck, &KeyCheck::statusChanged, this, &OnboardingView::keyChanged);
    connect(&keyCheck, &KeyCheck::statusChanged, this, &OnboardingView::primaryEnabledChanged);
    connect(&settings, &Settings::modelChanged, this, &OnboardingView::keyChanged);
    connect(&dictation, &DictationState::phaseChanged, this, &OnboardingView::listeningChanged);
}

void OnboardingView::setInfoOpen(bool open)
{
    if (open == m_infoOpen)
        return;
    m_infoOpen = open;
    Q_EMIT infoOpenChanged();
}

QString OnboardingView::title() const
{
    switch (m_step) {
    case Step::languages:
        return tr("Which languages do you speak?");
    case Step::microphone:
        return tr("Microphone");
    case Step::accessibility:
        return tr("Keyboard access");
    case Step::gemini:
        return tr("Gemini API key");
    case Step::tryIt:
        return tr("Try it");
    }
    Q_UNREACHABLE();
}

QString OnboardingView::line() const
{
    switch (m_step) {
    case Step::languages:
        return tr("You can pick more than one.");
    case Step::microphone:
        return isHold() ? tr("Records only while you hold the key.")
                        : tr("Records only from one key press to the next.");
    case Step::accessibility:
        return tr("Needed to type the text where your cursor is.");
    case Step::gemini:
        return tr("Turning speech into text needs a free key.");
    case Step::tryIt:
        return isHold() ? tr("Hold the keys, talk, and let go.") : tr("Press the keys, talk, and press them again.");
    }
    Q_UNREACHABLE();
}

QString OnboardingView::info() const
{
    switch (m_step) {
    case Step::languages:
        return tr("Even if you mix languages in one sentence, Kavo Voice writes each word in the language it was "
                  "said in.");
    case Step::microphone:
        return tr("It also records when you press the floating button on the screen. The microphone is not used at "
                  "any other time.");
    case Step::accessibility:
        return tr("Linux asks for this so Kavo Voice can notice the keys and type text in any app. What you type is "
                  "never saved or sent anywhere.");
    case Step::gemini:
        return tr("Getting a key takes about a minute. The free tier has a daily limit, and Google may use the "
                  "requests to improve its products. With billing turned on, neither applies.");
    case Step::tryIt:
        return tr("The text appears where the cursor is — here now, and in any app later. You can also talk with the "
                  "floating button at the bottom of the screen. Everything you say is kept in History.");
    }
    Q_UNREACHABLE();
}

QString OnboardingView::primaryText() const
{
    return m_step == Step::tryIt ? tr("Done") : tr("Next");
}

bool OnboardingView::isPrimaryEnabled() const
{
    switch (m_step) {
    case Step::languages:
        return !m_settings.languageCodes().isEmpty();
    case Step::microphone:
        return isMicAllowed();
    case Step::accessibility:
        return isInputGranted();
    case Step::gemini:
        return isKeyChecked();
    case Step::tryIt:
        return true;
    }
    Q_UNREACHABLE();
}

QString OnboardingView::micStatus() const
{
    return isMicAllowed() ? permissionText("PermissionRow", "Allowed") : permissionText("PermissionRow", "Not allowed");
}

QString OnboardingView::micHelp() const
{
    return permissionText(
        "PermissionsWindow", "Connect a microphone, or check that the sound server (PulseAudio or PipeWire) runs.");
}

QString OnboardingView::inputStatus() const
{
    return isInputGranted() ? permissionText("PermissionRow", "Allowed")
                            : permissionText("PermissionRow", "Not allowed");
}

QString OnboardingView::inputHelp() const
{
    if (isInputGranted()) {
        return m_wayland ? tr("Kavo Voice can read the keys and type in this session.")
                         : tr("In an X11 session Kavo Voice can read the keys and type right away: there is nothing "
                              "to turn on.");
    }
    return m_permissions.inputHelp();
}

QString OnboardingView::waitingText() const
{
    return !isInputGranted() && m_inputAccess.isWaiting() ? tr("Waiting for permission…") : QString();
}

QString OnboardingView::apiKey() const
{
    return m_settings.apiKey();
}

bool OnboardingView::isKeyChecked() const
{
    return m_keyCheck.status() == KeyCheck::Status::ok;
}

bool OnboardingView::isChecking() const
{
    return m_keyCheck.status() == KeyCheck::Status::checking;
}

QString OnboardingView::checkText() const
{
    return isChecking() ? tr("Checking…") : tr("Check");
}

QString OnboardingView::keyResult() const
{
    switch (m_keyCheck.status()) {
    case KeyCheck::Status::ok:
        return tr("The key works · ") + m_settings.model();
    case KeyCheck::Status::failed:
        return m_keyCheck.failure();
    case KeyCheck::Status::unknown:
    case KeyCheck::Status::checking:
        return {};
    }
    Q_UNREACHABLE();
}

QString OnboardingView::tryHeading() const
{
    return isHold() ? tr("Hold the keys and talk") : tr("Press the keys and talk");
}

QString OnboardingView::listeningText() const
{
    return m_dictation.phase() == DictationState::Phase::recording ? tr("Listening…") : QString();
}

QStringList OnboardingView::hotkeyLabels() const
{
    QStringList labels;
    for (const HotkeyKind kind : hotkeyKinds)
        labels.append(HotkeyKinds::label(kind));
    return labels;
}

int OnboardingView::hotkeyIndex() const
{
    return int(std::find(hotkeyKinds.begin(), hotkeyKinds.end(), m_settings.hotkey()) - hotkeyKinds.begin());
}

void OnboardingView::setHotkeyIndex(int index)
{
    if (index >= 0 && index < int(hotkeyKinds.size()))
        m_settings.setHotkey(hotkeyKinds.at(index));
}

void OnboardingView::next()
{
    if (!isPrimaryEnabled())
        return;
    if (m_step == Step::tryIt)
        done();
    else
        setStep(Step(int(m_step) + 1));
}

void OnboardingView::back()
{
    if (m_step != Step::languages)
        setStep(Step(int(m_step) - 1));
}

void OnboardingView::done()
{
    m_settings.setOnboardingDone(true);
    Q_EMIT finished();
}

void OnboardingView::checkKey(const QString& key)
{
    m_settings.setApiKey(key.trimmed());
    m_keyCheck.check(m_settings);
}

void OnboardingView::openKeyPage() const
{
    QDesktopServices::openUrl(keyPage());
}

// The microphone is looked at every second only while its step shows; the input access is asked for when its step
// opens without it, which starts the wait that "Waiting for permission…" tells of.
void OnboardingView::setStep(Step step)
{
    m_step = step;
    setInfoOpen(false);
    if (step == Step::microphone)
        m_permissions.watchMicrophone(microphonePoll);
    else
        m_permissions.stopWatchingMicrophone();
    if (step == Step::accessibility && !isInputGranted() && !m_inputAccess.isWaiting()) {
        m_inputAccess.check();
        Q_EMIT inputChanged();
    }
    Q_EMIT stepChanged();
    Q_EMIT textsChanged();
    Q_EMIT primaryEnabledChanged();
}

bool OnboardingView::isHold() const
{
    return m_settings.hotkeyMode() == HotkeyMode::hold;
}

} // namespace kavo
