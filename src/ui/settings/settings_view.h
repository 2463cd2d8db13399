#pragma once

#include "format/app_glyph.h"
#include "setting_choice.h"
#include "settings_options.h"
#include "store/settings.h"

#include <QCoreApplication>
#include <QObject>
#include <QTimer>
#include <QUrl>
#include <QVariantList>
#include <QtQmlIntegration/qqmlintegration.h>

#include <chrono>

namespace kavo {

class DataView;
class KeyCheck;
class PhoneStatus;

/// The settings panel's state: every row's value, options and texts, read from the settings and written back
/// through them. What only the application can do is asked for by signals.
class SettingsView : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns the settings panel's state")
    Q_PROPERTY(kavo::Settings* settings READ settings CONSTANT)
    Q_PROPERTY(kavo::SettingChoice* theme READ theme CONSTANT)
    Q_PROPERTY(kavo::SettingChoice* interfaceLanguage READ interfaceLanguage CONSTANT)
    Q_PROPERTY(kavo::SettingChoice* hotkey READ hotkey CONSTANT)
    Q_PROPERTY(kavo::SettingChoice* hotkeyMode READ hotkeyMode CONSTANT)
    Q_PROPERTY(kavo::SettingChoice* holdTime READ holdTime CONSTANT)
    Q_PROPERTY(kavo::SettingChoice* model READ model CONSTANT)
    Q_PROPERTY(kavo::SettingChoice* microphone READ microphone CONSTANT)
    Q_PROPERTY(kavo::SettingChoice* insertMethod READ insertMethod CONSTANT)
    Q_PROPERTY(kavo::SettingChoice* newlineMode READ newlineMode CONSTANT)
    Q_PROPERTY(kavo::SettingChoice* historyDays READ historyDays CONSTANT)
    Q_PROPERTY(kavo::SettingChoice* thinkingLevel READ thinkingLevel CONSTANT)
    Q_PROPERTY(bool launchAtLogin READ launchAtLogin WRITE setLaunchAtLogin NOTIFY launchAtLoginChanged)
    Q_PROPERTY(QStringList hotkeyKeys READ hotkeyKeys NOTIFY shortcutChanged)
    Q_PROPERTY(QString dictationDescription READ dictationDescription NOTIFY shortcutChanged)
    Q_PROPERTY(QString modeDescription READ modeDescription NOTIFY shortcutChanged)
    Q_PROPERTY(QString hotkeyProblem READ hotkeyProblem NOTIFY hotkeyProblemChanged)
    Q_PROPERTY(QString toggleCommand READ toggleCommand CONSTANT)
    Q_PROPERTY(QVariantList languageChips READ languageChips NOTIFY languagesChanged)
    Q_PROPERTY(QVariantList addableLanguages READ addableLanguages NOTIFY languagesChanged)
    Q_PROPERTY(QString keyStatus READ keyStatus NOTIFY keyStatusChanged)
    Q_PROPERTY(kavo::Tone keyStatusTone READ keyStatusTone NOTIFY keyStatusChanged)
    Q_PROPERTY(bool micTesting READ isMicTesting WRITE setMicTesting NOTIFY micTestingChanged)
    Q_PROPERTY(QString soundLevelDescription READ soundLevelDescription NOTIFY micTestingChanged)
    Q_PROPERTY(QString micTestButtonText READ micTestButtonText NOTIFY micTestingChanged)
    Q_PROPERTY(int levelBarCount READ levelBarCount CONSTANT)
    Q_PROPERTY(int litBars READ litBars NOTIFY levelChanged)
    Q_PROPERTY(QString shortcutAddress READ shortcutAddress NOTIFY shortcutAddressChanged)
    Q_PROPERTY(QString shortcutAddressNote READ shortcutAddressNote NOTIFY shortcutAddressChanged)
    Q_PROPERTY(bool deleteArmed READ isDeleteArmed NOTIFY deleteArmedChanged)
    Q_PROPERTY(bool exported READ isExported NOTIFY exportedChanged)
    Q_PROPERTY(bool copied READ isCopied NOTIFY copiedChanged)

public:
    /// How long "Delete" stays armed for its confirming second press.
    static constexpr auto confirmWindow = std::chrono::seconds(3);
    /// How long "Exported" and "Copied" stay on their buttons.
    static constexpr auto doneMoment = std::chrono::seconds(2);
    static constexpr int levelBars = 12;

    SettingsView(Settings& settings, const KeyCheck& keyCheck, const PhoneStatus& phone, DataView& data,
        QObject* parent = nullptr);

    Settings* settings() { return &m_settings; }
    SettingChoice* theme() { return &m_theme; }
    SettingChoice* interfaceLanguage() { return &m_interfaceLanguage; }
    SettingChoice* hotkey() { return &m_hotkey; }
    SettingChoice* hotkeyMode() { return &m_hotkeyMode; }
    SettingChoice* holdTime() { return &m_holdTime; }
    SettingChoice* model() { return &m_model; }
    SettingChoice* microphone() { return &m_microphone; }
    SettingChoice* insertMethod() { return &m_insertMethod; }
    SettingChoice* newlineMode() { return &m_newlineMode; }
    SettingChoice* historyDays() { return &m_historyDays; }
    SettingChoice* thinkingLevel() { return &m_thinkingLevel; }

    /// Whether the login item is in effect; the application sets what it found, the switch asks for a change.
    bool launchAtLogin() const { return m_launchAtLogin; }
    void setLaunchAtLogin(bool on);
    /// The microphones the recorder offers, from the application.
    void setInputs(const QList<AudioInput>& inputs);

    QStringList hotkeyKeys() const;
    QString dictationDescription() const;
    QString modeDescription() const;
    /// Why the hotkey cannot read the keyboard and how to allow it; empty while it can. Set by the application.
    QString hotkeyProblem() const { return m_hotkeyProblem; }
    void setHotkeyProblem(const QString& problem);
    /// The command that starts or stops a dictation, for a keyboard shortcut of the desktop's own: the bare program
    /// name when the shell finds `program` under it, else its path, quoted for the shell where it needs to be.
    static QString toggleCommand(const QString& program = QCoreApplication::applicationFilePath());
    Q_INVOKABLE void copyToggleCommand();

    QVariantList languageChips() const;
    QVariantList addableLanguages() const;
    Q_INVOKABLE void toggleLanguage(const QString& code);

    QString keyStatus() const;
    kavo::Tone keyStatusTone() const;
    /// Editing the key field ended: a key typed since the last check is checked.
    Q_INVOKABLE void finishKeyEdit();

    /// Whether the microphone test runs, and its sound level from 0 to 1; both fed by the application.
    bool isMicTesting() const { return m_micTesting; }
    void setMicTesting(bool testing);
    void setLevel(double level);
    QString soundLevelDescription() const;
    QString micTestButtonText() const;
    int levelBarCount() const { return levelBars; }
    int litBars() const;
    Q_INVOKABLE void toggleMicTest() { Q_EMIT micTestToggled(); }

    /// The first automation-shortcut address; empty while there is none.
    QString shortcutAddress() const;
    /// Why there is no address yet; empty when there is one.
    QString shortcutAddressNote() const;
    Q_INVOKABLE void copyShortcutAddress();
    bool isCopied() const { return m_copied.isActive(); }

    bool isDeleteArmed() const { return m_deleteConfirm.isActive(); }
    /// The first press arms "Delete"; a second one within the confirm window wipes all data.
    Q_INVOKABLE void pressDelete();

    Q_INVOKABLE static QString archiveName();
    Q_INVOKABLE void exportAll(const QUrl& destination);
    bool isExported() const { return m_exported.isActive(); }
    Q_INVOKABLE static void openDataFolder();

Q_SIGNALS:
    /// The switch asks for the login item to be registered or removed; the application reports the outcome back
    /// through setLaunchAtLogin.
    void launchAtLoginChanged(bool on);
    /// The application checks the API key in use.
    void keyCheckRequested();
    /// The application starts or stops the microphone test.
    void micTestToggled();
    /// The user chose another interface language (empty for the system's): the application stores it and
    /// relaunches.
    void languageChangeRequested(const QString& code);
    void shortcutChanged();
    void hotkeyProblemChanged();
    void languagesChanged();
    void keyStatusChanged();
    void micTestingChanged();
    void levelChanged();
    void shortcutAddressChanged();
    void deleteArmedChanged();
    void exportedChanged();
    void copiedChanged();

private:
    void showFor(QTimer& timer, std::chrono::milliseconds length, void (SettingsView::*changed)());

    Settings& m_settings;
    const KeyCheck& m_keyCheck;
    const PhoneStatus& m_phone;
    DataView& m_data;
    QList<AudioInput> m_inputs;
    QString m_hotkeyProblem;
    bool m_launchAtLogin = false;
    bool m_keyEdited = false;
    bool m_micTesting = false;
    double m_level = 0;
    QTimer m_deleteConfirm;
    QTimer m_exported;
    QTimer m_copied;
    SettingChoice m_theme;
    SettingChoice m_interfaceLanguage;
    SettingChoice m_hotkey;
    SettingChoice m_hotkeyMode;
    SettingChoice m_holdTime;
    SettingChoice m_model;
    SettingChoice m_microphone;
    SettingChoice m_insertMethod;
    SettingChoice m_newlineMode;
    SettingChoice m_historyDays;
    SettingChoice m_thinkingLevel;
};

} // namespace kavo
