#include "settings.h"

#include <type_traits>

namespace kavo {

namespace {

// Numbers, switches and choices are passed by value, the rest by reference, as the header declares them.
template <typename Value> using Parameter = std::conditional_t<std::is_scalar_v<Value>, Value, const Value&>;

} // namespace

// Every setting: its type, its name in the record and in the setter.
#define KAVO_SETTINGS(X)                                                                                               \
    X(QString, apiKey, ApiKey)                                                                                         \
    X(QString, model, Model)                                                                                           \
    X(bool, removeFillers, RemoveFillers)                                                                              \
    X(bool, punctuation, Punctuation)                                                                                  \
    X(bool, resolveCorrections, ResolveCorrections)                                                                    \
    X(QStringList, languageCodes, LanguageCodes)                                                                       \
    X(QList<VocabularyWord>, vocabulary, Vocabulary)                                                                   \
    X(QList<Snippet>, snippets, Snippets)                                                                              \
    X(QString, prompt, Prompt)                                                                                         \
    X(QString, thinkingLevel, ThinkingLevel)                                                                           \
    X(InsertMethod, insertMethod, InsertMethod)                                                                        \
    X(NewlineMode, newlineMode, NewlineMode)                                                                           \
    X(HotkeyKind, hotkey, Hotkey)                                                                                      \
    X(HotkeyMode, hotkeyMode, HotkeyMode)                                                                              \
    X(int, holdThresholdMs, HoldThresholdMs)                                                                           \
    X(int, minRecordingMs, MinRecordingMs)                                                                             \
    X(bool, hudVisible, HudVisible)                                                                                    \
    X(std::optional<double>, hudX, HudX)                                                                               \
    X(std::optional<double>, hudY, HudY)                                                                               \
    X(QString, inputDeviceID, InputDeviceID)                                                                           \
    X(bool, trimSilence, TrimSilence)                                                                                  \
    X(double, keepSilenceSeconds, KeepSilenceSeconds)                                                                  \
    X(bool, noiseReduction, NoiseReduction)                                                                            \
    X(bool, phoneServerEnabled, PhoneServerEnabled)                                                                    \
    X(int, phonePort, PhonePort)                                                                                       \
    X(int, phonePlainPort, PhonePlainPort)                                                                             \
    X(bool, phonePlainEnabled, PhonePlainEnabled)                                                                      \
    X(QString, phoneToken, PhoneToken)                                                                                 \
    X(bool, phoneInserts, PhoneInserts)                                                                                \
    X(ThemeMode, theme, Theme)                                                                                         \
    X(bool, sounds, Sounds)                                                                                            \
    X(bool, pauseMedia, PauseMedia)                                                                                    \
    X(bool, notificationsOff, NotificationsOff)                                                                        \
    X(int, historyDays, HistoryDays)                                                                                   \
    X(bool, keepAudio, KeepAudio)                                                                                      \
    X(bool, onboardingDone, OnboardingDone)

Settings::Settings(QObject* parent)
    : QObject(parent)
    , m_path(Config::filePath())
{ }

void Settings::load(const QString& path)
{
    m_path = path;
    setConfig(Config::load(path));
}

bool Settings::save() const
{
    return m_config.save(m_path);
}

void Settings::setConfig(const Config& config)
{
    if (config == m_config)
        return;
    const Config old = std::exchange(m_config, config);
#define KAVO_ANNOUNCE(Type, name, Name)                                                                                \
    if (old.name != m_config.name)                                                                                     \
        Q_EMIT name##Changed();
    KAVO_SETTINGS(KAVO_ANNOUNCE)
#undef KAVO_ANNOUNCE
    Q_EMIT changed();
}

template <typename Value> void Settings::assign(Value Config::*field, const Value& value, void (Settings::*changed)())
{
    if (m_config.*field == value)
        return;
    m_config.*field = value;
    Q_EMIT(this->*changed)();
    Q_EMIT this->changed();
}

#define KAVO_DEFINE_SETTER(Type, name, Name)                                                                           \
    void Settings::set##Name(Parameter<Type> value)                                                                    \
    {                                                                                                                  \
        assign(&Config::name, value, &Settings::name##Changed);                                                        \
    }
KAVO_SETTINGS(KAVO_DEFINE_SETTER)
#undef KAVO_DEFINE_SETTER
#undef KAVO_SETTINGS

} // namespace kavo
