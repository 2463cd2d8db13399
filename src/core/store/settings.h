#pragma once

#include "store/config.h"

#include <QObject>
#include <QtQmlIntegration/qqmlintegration.h>

namespace kavo {

/// The settings record behind typed properties, each announcing its changes, and the one writer of config.json.
/// Main thread only.
class Settings : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns the settings")

    Q_PROPERTY(QString apiKey READ apiKey WRITE setApiKey NOTIFY apiKeyChanged)
    Q_PROPERTY(QString model READ model WRITE setModel NOTIFY modelChanged)
    Q_PROPERTY(bool removeFillers READ removeFillers WRITE setRemoveFillers NOTIFY removeFillersChanged)
    Q_PROPERTY(bool punctuation READ punctuation WRITE setPunctuation NOTIFY punctuationChanged)
    Q_PROPERTY(
        bool resolveCorrections READ resolveCorrections WRITE setResolveCorrections NOTIFY resolveCorrectionsChanged)
    Q_PROPERTY(QStringList languageCodes READ languageCodes WRITE setLanguageCodes NOTIFY languageCodesChanged)
    Q_PROPERTY(QString prompt READ prompt WRITE setPrompt NOTIFY promptChanged)
    Q_PROPERTY(QString thinkingLevel READ thinkingLevel WRITE setThinkingLevel NOTIFY thinkingLevelChanged)
    Q_PROPERTY(kavo::SettingChoices::InsertMethod insertMethod READ insertMethod WRITE setInsertMethod NOTIFY
            insertMethodChanged)
    Q_PROPERTY(
        kavo::SettingChoices::NewlineMode newlineMode READ newlineMode WRITE setNewlineMode NOTIFY newlineModeChanged)
    Q_PROPERTY(kavo::SettingChoices::HotkeyKind hotkey READ hotkey WRITE setHotkey NOTIFY hotkeyChanged)
    Q_PROPERTY(kavo::SettingChoices::HotkeyMode hotkeyMode READ hotkeyMode WRITE setHotkeyMode NOTIFY hotkeyModeChanged)
    Q_PROPERTY(int holdThresholdMs READ holdThresholdMs WRITE setHoldThresholdMs NOTIFY holdThresholdMsChanged)
    Q_PROPERTY(int minRecordingMs READ minRecordingMs WRITE setMinRecordingMs NOTIFY minRecordingMsChanged)
    Q_PROPERTY(bool hudVisible READ hudVisible WRITE setHudVisible NOTIFY hudVisibleChanged)
    Q_PROPERTY(QString inputDeviceID READ inputDeviceID WRITE setInputDeviceID NOTIFY inputDeviceIDChanged)
    Q_PROPERTY(bool trimSilence READ trimSilence WRITE setTrimSilence NOTIFY trimSilenceChanged)
    Q_PROPERTY(
        double keepSilenceSeconds READ keepSilenceSeconds WRITE setKeepSilenceSeconds NOTIFY keepSilenceSecondsChanged)
    Q_PROPERTY(bool noiseReduction READ noiseReduction WRITE setNoiseReduction NOTIFY noiseReductionChanged)
    Q_PROPERTY(
        bool phoneServerEnabled READ phoneServerEnabled WRITE setPhoneServerEnabled NOTIFY phoneServerEnabledChanged)
    Q_PROPERTY(int phonePort READ phonePort WRITE setPhonePort NOTIFY phonePortChanged)
    Q_PROPERTY(int phonePlainPort READ phonePlainPort WRITE setPhonePlainPort NOTIFY phonePlainPortChanged)
    Q_PROPERTY(bool phonePlainEnabled READ phonePlainEnabled WRITE setPhonePlainEnabled NOTIFY phonePlainEnabledChanged)
    Q_PROPERTY(QString phoneToken READ phoneToken WRITE setPhoneToken NOTIFY phoneTokenChanged)
    Q_PROPERTY(bool phoneInserts READ phoneInserts WRITE setPhoneInserts NOTIFY phoneInsertsChanged)
    Q_PROPERTY(kavo::SettingChoices::ThemeMode theme READ theme WRITE setTheme NOTIFY themeChanged)
    Q_PROPERTY(bool sounds READ sounds WRITE setSounds NOTIFY soundsChanged)
    Q_PROPERTY(bool pauseMedia READ pauseMedia WRITE setPauseMedia NOTIFY pauseMediaChanged)
    Q_PROPERTY(bool notificationsOff READ notificationsOff WRITE setNotificationsOff NOTIFY notificationsOffChanged)
    Q_PROPERTY(int historyDays READ historyDays WRITE setHistoryDays NOTIFY historyDaysChanged)
    Q_PROPERTY(bool keepAudio READ keepAudio WRITE setKeepAudio NOTIFY keepAudioChanged)
    Q_PROPERTY(bool onboardingDone READ onboardingDone WRITE setOnboardingDone NOTIFY onboardingDoneChanged)

public:
    explicit Settings(QObject* parent = nullptr);

    /// Reads `path` as at launch: the defaults (written at once) when it cannot be read, the file set aside and the
    /// defaults written when it cannot be decoded. Later saves go to the same file.
    void load(const QString& path = Config::filePath());
    /// Writes the settings atomically, private to the user; false (after a log line) when that failed.
    bool save() const;

    /// A copy to read a whole job's settings from.
    const Config& config() const { return m_config; }
    /// Replaces every setting, announcing each one that changed.
    void setConfig(const Config& config);

    QString apiKey() const { return m_config.apiKey; }
    void setApiKey(const QString& value);
    QString model() const { return m_config.model; }
    void setModel(const QString& value);
    bool removeFillers() const { return m_config.removeFillers; }
    void setRemoveFillers(bool value);
    bool punctuation() const { return m_config.punctuation; }
    void setPunctuation(bool value);
    bool resolveCorrections() const { return m_config.resolveCorrections; }
    void setResolveCorrections(bool value);
    QStringList languageCodes() const { return m_config.languageCodes; }
    void setLanguageCodes(const QStringList& value);
    const QList<VocabularyWord>& vocabulary() const { return m_config.vocabulary; }
    void setVocabulary(const QList<VocabularyWord>& value);
    const QList<Snippet>& snippets() const { return m_config.snippets; }
    void setSnippets(const QList<Snippet>& value);
    QString prompt() const { return m_config.prompt; }
    void setPrompt(const QString& value);
    QString thinkingLevel() const { return m_config.thinkingLevel; }
    void setThinkingLevel(const QString& value);
    kavo::InsertMethod insertMethod() const { return m_config.insertMethod; }
    void setInsertMethod(kavo::InsertMethod value);
    kavo::NewlineMode newlineMode() const { return m_config.newlineMode; }
    void setNewlineMode(kavo::NewlineMode value);
    kavo::HotkeyKind hotkey() const { return m_config.hotkey; }
    void setHotkey(kavo::HotkeyKind value);
    kavo::HotkeyMode hotkeyMode() const { return m_config.hotkeyMode; }
    void setHotkeyMode(kavo::HotkeyMode value);
    int holdThresholdMs() const { return m_config.holdThresholdMs; }
    void setHoldThresholdMs(int value);
    int minRecordingMs() const { return m_config.minRecordingMs; }
    void setMinRecordingMs(int value);
    bool hudVisible() const { return m_config.hudVisible; }
    void setHudVisible(bool value);
    const std::optional<double>& hudX() const { return m_config.hudX; }
    void setHudX(const std::optional<double>& value);
    const std::optional<double>& hudY() const { return m_config.hudY; }
    void setHudY(const std::optional<double>& value);
    QString inputDeviceID() const { return m_config.inputDeviceID; }
    void setInputDeviceID(const QString& value);
    bool trimSilence() const { return m_config.trimSilence; }
    void setTrimSilence(bool value);
    double keepSilenceSeconds() const { return m_config.keepSilenceSeconds; }
    void setKeepSilenceSeconds(double value);
    bool noiseReduction() const { return m_config.noiseReduction; }
    void setNoiseReduction(bool value);
    bool phoneServerEnabled() const { return m_config.phoneServerEnabled; }
    void setPhoneServerEnabled(bool value);
    int phonePort() const { return m_config.phonePort; }
    void setPhonePort(int value);
    int phonePlainPort() const { return m_config.phonePlainPort; }
    void setPhonePlainPort(int value);
    bool phonePlainEnabled() const { return m_config.phonePlainEnabled; }
    void setPhonePlainEnabled(bool value);
    QString phoneToken() const { return m_config.phoneToken; }
    void setPhoneToken(const QString& value);
    bool phoneInserts() const { return m_config.phoneInserts; }
    void setPhoneInserts(bool value);
    kavo::ThemeMode theme() const { return m_config.theme; }
    void setTheme(kavo::ThemeMode value);
    bool sounds() const { return m_config.sounds; }
    void setSounds(bool value);
    bool pauseMedia() const { return m_config.pauseMedia; }
    void setPauseMedia(bool value);
    bool notificationsOff() const { return m_config.notificationsOff; }
    void setNotificationsOff(bool value);
    int historyDays() const { return m_config.historyDays; }
    void setHistoryDays(int value);
    bool keepAudio() const { return m_config.keepAudio; }
    void setKeepAudio(bool value);
    bool onboardingDone() const { return m_config.onboardingDone; }
    void setOnboardingDone(bool value);

Q_SIGNALS:
    /// Any setting changed.
    void changed();
    void apiKeyChanged();
    void modelChanged();
    void removeFillersChanged();
    void punctuationChanged();
    void resolveCorrectionsChanged();
    void languageCodesChanged();
    void vocabularyChanged();
    void snippetsChanged();
    void promptChanged();
    void thinkingLevelChanged();
    void insertMethodChanged();
    void newlineModeChanged();
    void hotkeyChanged();
    void hotkeyModeChanged();
    void holdThresholdMsChanged();
    void minRecordingMsChanged();
    void hudVisibleChanged();
    void hudXChanged();
    void hudYChanged();
    void inputDeviceIDChanged();
    void trimSilenceChanged();
    void keepSilenceSecondsChanged();
    void noiseReductionChanged();
    void phoneServerEnabledChanged();
    void phonePortChanged();
    void phonePlainPortChanged();
    void phonePlainEnabledChanged();
    void phoneTokenChanged();
    void phoneInsertsChanged();
    void themeChanged();
    void soundsChanged();
    void pauseMediaChanged();
    void notificationsOffChanged();
    void historyDaysChanged();
    void keepAudioChanged();
    void onboardingDoneChanged();

private:
    template <typename Value> void assign(Value Config::*field, const Value& value, void (Settings::*changed)());

    Config m_config;
    QString m_path;
};

} // namespace kavo
