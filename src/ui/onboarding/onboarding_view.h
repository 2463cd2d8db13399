#pragma once

#include "language_chips_model.h"
#include "ui/main/permissions_view.h"

#include <QObject>
#include <QStringList>
#include <QUrl>
#include <QtQmlIntegration/qqmlintegration.h>

#include <chrono>
#include <functional>

namespace kavo {

class DictationState;
class InputAccess;
class KeyCheck;
class Settings;

/// The first-run window, one step at a time: the spoken languages, the microphone, the input access, the API key
/// and a first dictation. Every text and whether the window may move on are decided here; the settings change
/// through `Settings` as the user chooses.
class OnboardingView : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application opens the onboarding window")

    Q_PROPERTY(Step step READ step NOTIFY stepChanged)
    Q_PROPERTY(int stepCount READ stepCount CONSTANT)
    Q_PROPERTY(bool infoOpen READ isInfoOpen WRITE setInfoOpen NOTIFY infoOpenChanged)
    Q_PROPERTY(QString title READ title NOTIFY stepChanged)
    Q_PROPERTY(QString line READ line NOTIFY textsChanged)
    Q_PROPERTY(QString info READ info NOTIFY stepChanged)
    Q_PROPERTY(bool backVisible READ isBackVisible NOTIFY stepChanged)
    Q_PROPERTY(QString primaryText READ primaryText NOTIFY stepChanged)
    Q_PROPERTY(bool primaryEnabled READ isPrimaryEnabled NOTIFY primaryEnabledChanged)
    Q_PROPERTY(kavo::LanguageChipsModel* languages READ languages CONSTANT)

    Q_PROPERTY(bool micAllowed READ isMicAllowed NOTIFY micAllowedChanged)
    Q_PROPERTY(QString micStatus READ micStatus NOTIFY micAllowedChanged)
    Q_PROPERTY(QString micHelp READ micHelp CONSTANT)

    Q_PROPERTY(bool inputGranted READ isInputGranted NOTIFY inputChanged)
    Q_PROPERTY(QString inputStatus READ inputStatus NOTIFY inputChanged)
    Q_PROPERTY(QString inputHelp READ inputHelp NOTIFY inputChanged)
    Q_PROPERTY(QString command READ command CONSTANT)
    Q_PROPERTY(QString waitingText READ waitingText NOTIFY inputChanged)

    Q_PROPERTY(QString apiKey READ apiKey NOTIFY apiKeyChanged)
    Q_PROPERTY(bool keyChecked READ isKeyChecked NOTIFY keyChanged)
    Q_PROPERTY(bool checking READ isChecking NOTIFY keyChanged)
    Q_PROPERTY(QString checkText READ checkText NOTIFY keyChanged)
    Q_PROPERTY(QString keyResult READ keyResult NOTIFY keyChanged)
    Q_PROPERTY(QUrl keyPage READ keyPage CONSTANT)

    Q_PROPERTY(QString tryHeading READ tryHeading NOTIFY textsChanged)
    Q_PROPERTY(QString listeningText READ listeningText NOTIFY listeningChanged)
    Q_PROPERTY(QStringList hotkeyLabels READ hotkeyLabels CONSTANT)
    Q_PROPERTY(int hotkeyIndex READ hotkeyIndex WRITE setHotkeyIndex NOTIFY hotkeyIndexChanged)

public:
    enum class Step { languages, microphone, accessibility, gemini, tryIt };
    Q_ENUM(Step)

    using MicrophoneProbe = std::function<bool()>;
    /// How often the microphone step looks at the microphone again while it shows.
    static constexpr std::chrono::seconds microphonePoll { 1 };

    /// `microphone` tells whether a microphone can record now; `wayland` whether the session is a Wayland one,
    /// where the input access takes the user's action.
    OnboardingView(Settings& settings, KeyCheck& keyCheck, InputAccess& inputAccess, const DictationState& dictation,
        MicrophoneProbe microphone, bool wayland, QObject* parent = nullptr);

    Step step() const { return m_step; }
    int stepCount() const { return int(Step::tryIt) + 1; }
    bool isInfoOpen() const { return m_infoOpen; }
    void setInfoOpen(bool open);
    QString title() const;
    QString line() const;
    QString info() const;
    bool isBackVisible() const { return m_step != Step::languages; }
    QString primaryText() const;
    /// Whether the step's condition for moving on holds.
    bool isPrimaryEnabled() const;
    LanguageChipsModel* languages() { return &m_languages; }

    bool isMicAllowed() const { return m_permissions.isMicrophoneGranted(); }
    QString micStatus() const;
    QString micHelp() const;

    bool isInputGranted() const { return m_permissions.isInputGranted(); }
    QString inputStatus() const;
    /// What gives the input access; in an X11 session that has it, that nothing is left to do.
    QString inputHelp() const;
    QString command() const { return m_permissions.command(); }
    /// "Waiting for permission…" while the access is missing and looked for; empty otherwise.
    QString waitingText() const;

    QString apiKey() const;
    /// The key in use passed its check.
    bool isKeyChecked() const;
    bool isChecking() const;
    QString checkText() const;
    /// "The key works · " and the model after a passed check, the failure after a failed one; empty otherwise.
    QString keyResult() const;
    static QUrl keyPage() { return QUrl(QStringLiteral("https://aistudio.google.com/app/apikey")); }

    QString tryHeading() const;
    /// "Listening…" while a dictation records; empty otherwise.
    QString listeningText() const;
    QStringList hotkeyLabels() const;
    int hotkeyIndex() const;
    void setHotkeyIndex(int index);

    /// The primary button: on to the following step when the step's condition holds, `done()` on the last one.
    Q_INVOKABLE void next();
    /// Back to the previous step.
    Q_INVOKABLE void back();
    /// Marks the onboarding as done and closes the window.
    Q_INVOKABLE void done();
    Q_INVOKABLE void checkMicrophone() { m_permissions.checkMicrophone(); }
    Q_INVOKABLE void copyCommand() const { m_permissions.copyCommand(); }
    /// Stores `key` as the API key and checks it against the service.
    Q_INVOKABLE void checkKey(const QString& key);
    /// Opens the page where the service hands out keys.
    Q_INVOKABLE void openKeyPage() const;

Q_SIGNALS:
    void stepChanged();
    void infoOpenChanged();
    /// The texts that follow the hotkey mode.
    void textsChanged();
    void primaryEnabledChanged();
    void micAllowedChanged();
    void inputChanged();
    void apiKeyChanged();
    void keyChanged();
    void listeningChanged();
    void hotkeyIndexChanged();
    /// The onboarding is done: the application closes the window and goes on as after any launch.
    void finished();

private:
    void setStep(Step step);
    bool isHold() const;

    Settings& m_settings;
    KeyCheck& m_keyCheck;
    InputAccess& m_inputAccess;
    const DictationState& m_dictation;
    bool m_wayland;
    PermissionsView m_permissions;
    LanguageChipsModel m_languages;
    Step m_step = Step::languages;
    bool m_infoOpen = false;
};

} // namespace kavo
