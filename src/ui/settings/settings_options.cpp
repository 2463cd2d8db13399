#include "settings_options.h"

#include "hotkey/hotkey_kind.h"
#include "store/interface_language.h"

#include <algorithm>

namespace kavo {

namespace {

constexpr std::array fixedHoldTimesMs { 150, 200, 300, 400, 500, 600 };
constexpr std::array fixedHistoryDays { 0, 90, 30, 7 };

qsizetype tablePosition(const QString& code)
{
    const QList<SpokenLanguage>& table = SpokenLanguage::all();
    const auto found = std::find_if(
        table.begin(), table.end(), [&](const SpokenLanguage& language) { return language.code == code; });
    return found - table.begin();
}

} // namespace

QString SettingsOptions::modelLabel(const QString& identifier)
{
    QStringList pieces = identifier.split(u'-');
    for (QString& piece : pieces) {
        if (!piece.isEmpty() && piece.front().isLetter())
            piece.front() = piece.front().toUpper();
    }
    return pieces.join(u' ');
}

QList<SettingOption> SettingsOptions::models(const QStringList& offered, const QString& configured)
{
    QStringList identifiers = offered;
    if (!identifiers.contains(configured))
        identifiers.prepend(configured);
    QList<SettingOption> options;
    for (const QString& identifier : identifiers)
        options << SettingOption { identifier, modelLabel(identifier) };
    return options;
}

QStringList SettingsOptions::sortedLanguages(QStringList codes)
{
    std::stable_sort(codes.begin(), codes.end(),
        [](const QString& left, const QString& right) { return tablePosition(left) < tablePosition(right); });
    return codes;
}

QStringList SettingsOptions::toggledLanguage(QStringList codes, const QString& code)
{
    if (codes.contains(code))
        codes.removeAll(code);
    else
        codes << code;
    return sortedLanguages(codes);
}

QList<SettingOption> SettingsOptions::addableLanguages(const QStringList& selected)
{
    QList<SettingOption> options;
    for (const SpokenLanguage& language : SpokenLanguage::all()) {
        if (!selected.contains(language.code))
            options << SettingOption { language.code, SpokenLanguage::chipLabel(language.code) };
    }
    return options;
}

QList<SettingOption> SettingsOptions::holdTimes(int currentMs)
{
    QList<int> times(fixedHoldTimesMs.begin(), fixedHoldTimesMs.end());
    if (!times.contains(currentMs))
        times << currentMs;
    std::sort(times.begin(), times.end());
    QList<SettingOption> options;
    for (const int ms : times)
        options << SettingOption { ms, tr("%1 ms").arg(ms) };
    return options;
}

QList<SettingOption> SettingsOptions::historyDays(int current)
{
    QList<int> days(fixedHistoryDays.begin(), fixedHistoryDays.end());
    if (!days.contains(current))
        days << current;
    QList<SettingOption> options;
    for (const int count : days)
        options << SettingOption { count, count == 0 ? tr("Forever") : tr("%n days", nullptr, count) };
    return options;
}

QList<SettingOption> SettingsOptions::microphones(const QList<AudioInput>& inputs, const QString& configured)
{
    QList<SettingOption> options { { QString(), tr("System default") } };
    bool configuredPresent = configured.isEmpty();
    for (const AudioInput& input : inputs) {
        options << SettingOption { input.id, input.name };
        configuredPresent = configuredPresent || input.id == configured;
    }
    if (!configuredPresent)
        options << SettingOption { configured, tr("Microphone not connected") };
    return options;
}

QString SettingsOptions::keyStatus(KeyCheck::Status status)
{
    switch (status) {
    case KeyCheck::Status::unknown:
        return tr("Not checked");
    case KeyCheck::Status::checking:
        return tr("Checking");
    case KeyCheck::Status::ok:
        return tr("Connected");
    case KeyCheck::Status::failed:
        return tr("Error");
    }
    Q_UNREACHABLE();
}

QList<SettingOption> SettingsOptions::themes()
{
    return { { QVariant::fromValue(ThemeMode::light), tr("Light") },
        { QVariant::fromValue(ThemeMode::dark), tr("Dark") },
        { QVariant::fromValue(ThemeMode::automatic), tr("Auto") } };
}

QList<SettingOption> SettingsOptions::hotkeys()
{
    QList<SettingOption> options;
    for (const HotkeyKind kind : { HotkeyKind::controlAlt, HotkeyKind::controlSuper, HotkeyKind::control,
             HotkeyKind::rightSuper, HotkeyKind::super })
        options << SettingOption { QVariant::fromValue(kind), HotkeyKinds::label(kind) };
    return options;
}

QList<SettingOption> SettingsOptions::hotkeyModes()
{
    return { { QVariant::fromValue(HotkeyMode::hold), tr("Hold") },
        { QVariant::fromValue(HotkeyMode::toggle), tr("Press once") } };
}

QList<SettingOption> SettingsOptions::insertMethods()
{
    return { { QVariant::fromValue(InsertMethod::paste), tr("Paste (Ctrl+V)") },
        { QVariant::fromValue(InsertMethod::type), tr("Type it out") } };
}

QList<SettingOption> SettingsOptions::newlineModes()
{
    return { { QVariant::fromValue(NewlineMode::shiftReturn), tr("Shift + Return (does not send)") },
        { QVariant::fromValue(NewlineMode::altReturn), tr("Alt + Return") },
        { QVariant::fromValue(NewlineMode::returnKey), tr("Return") },
        { QVariant::fromValue(NewlineMode::space), tr("A space instead") } };
}

QList<SettingOption> SettingsOptions::thinkingLevels()
{
    return { { QString(), tr("Model default") }, { QStringLiteral("low"), tr("Low (fastest)") },
        { QStringLiteral("high"), tr("High") } };
}

QList<SettingOption> SettingsOptions::interfaceLanguages()
{
    QList<SettingOption> options;
    for (const InterfaceLanguage::Choice& choice : InterfaceLanguage::choices())
        options << SettingOption { choice.code.value_or(QString()), choice.name };
    return options;
}

} // namespace kavo
