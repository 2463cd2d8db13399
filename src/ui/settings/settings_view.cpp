#include "settings_view.h"

#include "hotkey/hotkey_kind.h"
#include "state/key_check.h"
#include "state/phone_status.h"
#include "store/interface_language.h"
#include "ui/settings/data_view.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QStandardPaths>

#include <cmath>

namespace kavo {

namespace {

QVariantList asMaps(const QList<SettingOption>& options, const char* valueName)
{
    QVariantList maps;
    for (const SettingOption& option : options)
        maps << QVariantMap { { QString::fromLatin1(valueName), option.value }, { u"label"_qs, option.label } };
    return maps;
}

} // namespace

SettingsView::SettingsView(
    Settings& settings, const KeyCheck& keyCheck, const PhoneStatus& phone, DataView& data, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_keyCheck(keyCheck)
    , m_phone(phone)
    , m_data(data)
    , m_theme(
          &SettingsOptions::themes, [this] { return QVariant::fromValue(m_settings.theme()); },
          [this](const QVariant& value) { m_settings.setTheme(value.value<ThemeMode>()); })
    , m_interfaceLanguage(
          &SettingsOptions::interfaceLanguages,
          [] { return QVariant(InterfaceLanguage::storedChoice().value_or(QString())); },
          [this](const QVariant& value) { Q_EMIT languageChangeRequested(value.toString()); })
    , m_hotkey(
          &SettingsOptions::hotkeys, [this] { return QVariant::fromValue(m_settings.hotkey()); },
          [this](const QVariant& value) { m_settings.setHotkey(value.value<HotkeyKind>()); })
    , m_hotkeyMode(
          &SettingsOptions::hotkeyModes, [this] { return QVariant::fromValue(m_settings.hotkeyMode()); },
          [this](const QVariant& value) { m_settings.setHotkeyMode(value.value<HotkeyMode>()); })
    , m_holdTime([this] { return SettingsOptions::holdTimes(m_settings.holdThresholdMs()); },
          [this] { return QVariant(m_settings.holdThresholdMs()); },
          [this](const QVariant& value) { m_settings.setHoldThresholdMs(value.toInt()); })
    , m_model([this] { return SettingsOptions::models(m_keyCheck.models(), m_settings.model()); },
          [this] { return QVariant(m_settings.model()); },
          [this](const QVariant& value) { m_settings.setModel(value.toString()); })
    , m_microphone([this] { return SettingsOptions::microphones(m_inputs, m_settings.inputDeviceID()); },
          [this] { return QVariant(m_settings.inputDeviceID()); },
          [this](const QVariant& value) { m_settings.setInputDeviceID(value.toString()); })
    , m_insertMethod(
          &SettingsOptions::insertMethods, [this] { return QVariant::fromValue(m_settings.insertMethod()); },
          [this](const QVariant& value) { m_settings.setInsertMethod(value.value<InsertMethod>()); })
    , m_newlineMode(
          &SettingsOptions::newlineModes, [this] { return QVariant::fromValue(m_settings.newlineMode()); },
          [this](const QVariant& value) { m_settings.setNewlineMode(value.value<NewlineMode>()); })
    , m_historyDays([this] { return SettingsOptions::historyDays(m_settings.historyDays()); },
          [this] { return QVariant(m_settings.historyDays()); },
          [this](const QVariant& value) { m_settings.setHistoryDays(value.toInt()); })
    , m_thinkingLevel(
          &SettingsOptions::thinkingLevels, [this] { return QVariant(m_settings.thinkingLevel()); },
          [this](const QVariant& value) { m_settings.setThinkingLevel(value.toString()); })
{
    connect(&settings, &Settings::themeChanged, &m_theme, &SettingChoice::refresh);
    connect(&settings, &Settings::hotkeyChanged, &m_hotkey, &SettingChoice::refresh);
    connect(&settings, &Settings::hotkeyModeChanged, &m_hotkeyMode, &SettingChoice::refresh);
    connect(&settings, &Settings::holdThresholdMsChanged, &m_holdTime, &SettingChoice::refresh);
    connect(&settings, &Settings::modelChanged, &m_model, &SettingChoice::refresh);
    connect(&keyCheck, &KeyCheck::modelsChanged, &m_model, &SettingChoice::refresh);
    connect(&settings, &Settings::inputDeviceIDChanged, &m_microphone, &SettingChoice::refresh);
    connect(&settings, &Settings::insertMethodChanged, &m_insertMethod, &SettingChoice::refresh);
    connect(&settings, &Settings::newlineModeChanged, &m_newlineMode, &SettingChoice::refresh);
    connect(&settings, &Settings::historyDaysChanged, &m_historyDays, &SettingChoice::refresh);
    connect(&settings, &Settings::thinkingLevelChanged, &m_thinkingLevel, &SettingChoice::refresh);
    connect(&settings, &Settings::hotkeyChanged, this, &SettingsView::shortcutChanged);
    connect(&settings, &Settings::hotkeyModeChanged, this, &SettingsView::shortcutChanged);
    connect(&settings, &Settings::languageCodesChanged, this, &SettingsView::languagesChanged);
    connect(&keyCheck, &KeyCheck::statusChanged, this, &SettingsView::keyStatusChanged);
    connect(&settings, &Settings::apiKeyChanged, this, [this] { m_keyEdited = true; });
    connect(&phone, &PhoneStatus::shortcutURLsChanged, this, &SettingsView::shortcutAddressChanged);
    connect(&settings, &Settings::phoneServerEnabledChanged, this, &SettingsView::shortcutAddressChanged);

    m_deleteConfirm.setSingleShot(true);
    connect(&m_deleteConfirm, &QTimer::timeout, this, &SettingsView::deleteArmedChanged);
    m_exported.setSingleShot(true);
    connect(&m_exported, &QTimer::timeout, this, &SettingsView::exportedChanged);
    m_copied.setSingleShot(true);
    connect(&m_copied, &QTimer::timeout, this, &SettingsView::copiedChanged);
}

void SettingsView::setLaunchAtLogin(bool on)
{
    if (on == m_launchAtLogin)
        return;
    m_launchAtLogin = on;
    Q_EMIT launchAtLoginChanged(on);
}

void SettingsView::setInputs(const QList<AudioInput>& inputs)
{
    m_inputs = inputs;
    m_microphone.refresh();
}

QStringList SettingsView::hotkeyKeys() const
{
    return HotkeyKinds::label(m_settings.hotkey()).split(u" + "_qs);
}

QString SettingsView::dictationDescription() const
{
    return m_settings.hotkeyMode() == HotkeyMode::hold ? tr("Hold and talk") : tr("Press once, talk, press again");
}

QString SettingsView::modeDescription() const
{
    return m_settings.hotkeyMode() == HotkeyMode::hold ? tr("Recording stops when you let go")
                                                       : tr("Recording stops when you press again");
}

QVariantList SettingsView::languageChips() const
{
    QList<SettingOption> chips;
    for (const QString& code : m_settings.languageCodes())
        chips << SettingOption { code, SpokenLanguage::chipLabel(code) };
    return asMaps(chips, "code");
}

QVariantList SettingsView::addableLanguages() const
{
    return asMaps(SettingsOptions::addableLanguages(m_settings.languageCodes()), "code");
}

void SettingsView::toggleLanguage(const QString& code)
{
    m_settings.setLanguageCodes(SettingsOptions::toggledLanguage(m_settings.languageCodes(), code));
}

QString SettingsView::keyStatus() const
{
    return SettingsOptions::keyStatus(m_keyCheck.status());
}

Tone SettingsView::keyStatusTone() const
{
    switch (m_keyCheck.status()) {
    case KeyCheck::Status::unknown:
        return Tone::neutral;
    case KeyCheck::Status::checking:
        return Tone::amber;
    case KeyCheck::Status::ok:
        return Tone::green;
    case KeyCheck::Status::failed:
        return Tone::red;
    }
    Q_UNREACHABLE();
}

void SettingsView::finishKeyEdit()
{
    if (!m_keyEdited)
        return;
    m_keyEdited = false;
    Q_EMIT keyCheckRequested();
}

void SettingsView::setMicTesting(bool testing)
{
    if (testing == m_micTesting)
        return;
    m_micTesting = testing;
    Q_EMIT micTestingChanged();
    setLevel(0);
}

void SettingsView::setLevel(double level)
{
    const int before = litBars();
    m_level = std::clamp(level, 0.0, 1.0);
    if (litBars() != before)
        Q_EMIT levelChanged();
}

QString SettingsView::soundLevelDescription() const
{
    return m_micTesting ? tr("Speak — the green bars follow your voice.") : tr("Press Test and say a few words.");
}

QString SettingsView::micTestButtonText() const
{
    return m_micTesting ? tr("Stop") : tr("Test");
}

int SettingsView::litBars() const
{
    return int(std::lround(m_level * levelBars));
}

QString SettingsView::shortcutAddress() const
{
    return m_phone.shortcutURLs().value(0);
}

QString SettingsView::shortcutAddressNote() const
{
    if (!shortcutAddress().isEmpty())
        return {};
    return m_settings.phoneServerEnabled() ? tr("The address appears once this computer is on Wi-Fi")
                                           : tr("The address appears once the phone server is on");
}

void SettingsView::setHotkeyProblem(const QString& problem)
{
    if (problem == m_hotkeyProblem)
        return;
    m_hotkeyProblem = problem;
    Q_EMIT hotkeyProblemChanged();
}

QString SettingsView::toggleCommand(const QString& program)
{
    const QString found = QStandardPaths::findExecutable(QStringLiteral("kavo-voice"));
    QString command = program;
    if (!found.isEmpty() && QFileInfo(found).canonicalFilePath() == QFileInfo(program).canonicalFilePath())
        command = QStringLiteral("kavo-voice");
    else if (!QRegularExpression(QStringLiteral("^[A-Za-z0-9_./+-]+$")).match(program).hasMatch())
        command = u'\'' + QString(program).replace(u'\'', QStringLiteral("'\\''")) + u'\'';
    return command + QStringLiteral(" toggle");
}

void SettingsView::copyToggleCommand()
{
    QGuiApplication::clipboard()->setText(toggleCommand());
    showFor(m_copied, doneMoment, &SettingsView::copiedChanged);
}

void SettingsView::copyShortcutAddress()
{
    if (shortcutAddress().isEmpty())
        return;
    QGuiApplication::clipboard()->setText(shortcutAddress());
    showFor(m_copied, doneMoment, &SettingsView::copiedChanged);
}

void SettingsView::pressDelete()
{
    if (m_deleteConfirm.isActive()) {
        m_deleteConfirm.stop();
        Q_EMIT deleteArmedChanged();
        m_data.wipe();
        return;
    }
    showFor(m_deleteConfirm, confirmWindow, &SettingsView::deleteArmedChanged);
}

QString SettingsView::archiveName()
{
    return DataView::archiveName();
}

void SettingsView::exportAll(const QUrl& destination)
{
    if (m_data.exportAll(destination))
        showFor(m_exported, doneMoment, &SettingsView::exportedChanged);
}

void SettingsView::openDataFolder()
{
    DataView::openFolder();
}

void SettingsView::showFor(QTimer& timer, std::chrono::milliseconds length, void (SettingsView::*changed)())
{
    const bool wasActive = timer.isActive();
    timer.start(length);
    if (!wasActive)
        Q_EMIT(this->*changed)();
}

} // namespace kavo
