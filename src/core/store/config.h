#pragma once

#include "raw_value.h"
#include "snippet.h"
#include "vocabulary_word.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace kavo {

/// The choices a setting offers, known to the meta-object system so that views can bind to them.
namespace SettingChoices {
Q_NAMESPACE
enum class HotkeyKind { control, controlSuper, super, rightSuper, controlAlt };
Q_ENUM_NS(HotkeyKind)
enum class HotkeyMode { hold, toggle };
Q_ENUM_NS(HotkeyMode)
enum class ThemeMode { light, dark, automatic };
Q_ENUM_NS(ThemeMode)
/// How text reaches the focused application: pasted through the clipboard, or typed key by key.
enum class InsertMethod { paste, type };
Q_ENUM_NS(InsertMethod)
/// How a line break is typed: Shift+Return, Alt+Return, Return, or a space.
enum class NewlineMode { shiftReturn, altReturn, returnKey, space };
Q_ENUM_NS(NewlineMode)
} // namespace SettingChoices

using SettingChoices::HotkeyKind;
using SettingChoices::HotkeyMode;
using SettingChoices::InsertMethod;
using SettingChoices::NewlineMode;
using SettingChoices::ThemeMode;

template <> struct RawValues<HotkeyKind>
{
    static constexpr std::array<std::pair<HotkeyKind, const char*>, 5> table { {
        { HotkeyKind::control, "control" },
        { HotkeyKind::controlSuper, "controlFn" },
        { HotkeyKind::super, "fn" },
        { HotkeyKind::rightSuper, "rightCommand" },
        { HotkeyKind::controlAlt, "controlOption" },
    } };
};

template <> struct RawValues<HotkeyMode>
{
    static constexpr std::array<std::pair<HotkeyMode, const char*>, 2> table { {
        { HotkeyMode::hold, "hold" },
        { HotkeyMode::toggle, "toggle" },
    } };
};

template <> struct RawValues<ThemeMode>
{
    static constexpr std::array<std::pair<ThemeMode, const char*>, 3> table { {
        { ThemeMode::light, "light" },
        { ThemeMode::dark, "dark" },
        { ThemeMode::automatic, "auto" },
    } };
};

template <> struct RawValues<InsertMethod>
{
    static constexpr std::array<std::pair<InsertMethod, const char*>, 2> table { {
        { InsertMethod::paste, "paste" },
        { InsertMethod::type, "type" },
    } };
};

template <> struct RawValues<NewlineMode>
{
    static constexpr std::array<std::pair<NewlineMode, const char*>, 4> table { {
        { NewlineMode::shiftReturn, "shiftReturn" },
        { NewlineMode::altReturn, "optionReturn" },
        { NewlineMode::returnKey, "return" },
        { NewlineMode::space, "space" },
    } };
};

/// One of the spoken languages the user can choose for transcription.
struct SpokenLanguage
{
    QString code;
    QString englishName;
    QString nativeName;

    /// The fixed table of the 13 languages, in display order.
    static const QList<SpokenLanguage>& all();
    static std::optional<SpokenLanguage> find(const QString& code);
    /// The label of a language chip: the native name, "O'zbek" for Uzbek, the code itself when unknown.
    static QString chipLabel(const QString& code);
};

/// The persisted settings record, passed by value. Also owns the data folder and its paths.
struct Config
{
    static inline const QString defaultModel = QStringLiteral("gemini-3.8-flash");
    static inline const QString defaultPrompt = QStringLiteral(
        "You are transcribing a voice message. Write technical terms, product names, file paths and code "
        "identifiers in Latin script. Use normal punctuation and capitalization.");
    static constexpr int currentDefaultsVersion = 2;

    QString apiKey;
    QString model = defaultModel;
    bool removeFillers = true;
    bool punctuation = true;
    bool resolveCorrections = true;
    QStringList languageCodes;
    QList<VocabularyWord> vocabulary;
    QList<Snippet> snippets;
    QString prompt = defaultPrompt;
    QString thinkingLevel = QStringLiteral("low");
    InsertMethod insertMethod = InsertMethod::paste;
    NewlineMode newlineMode = NewlineMode::shiftReturn;
    HotkeyKind hotkey = HotkeyKind::controlSuper;
    HotkeyMode hotkeyMode = HotkeyMode::hold;
    int holdThresholdMs = 300;
    int minRecordingMs = 400;
    bool hudVisible = true;
    std::optional<double> hudX;
    std::optional<double> hudY;
    QString inputDeviceID;
    bool trimSilence = true;
    double keepSilenceSeconds = 0.25;
    bool noiseReduction = false;
    bool phoneServerEnabled = false;
    int phonePort = 8765;
    int phonePlainPort = 8766;
    bool phonePlainEnabled = false;
    QString phoneToken;
    bool phoneInserts = true;
    ThemeMode theme = ThemeMode::light;
    bool sounds = true;
    bool pauseMedia = false;
    bool notificationsOff = false;
    int historyDays = 0;
    bool keepAudio = false;
    bool onboardingDone = false;
    int defaultsVersion = currentDefaultsVersion;

    bool operator==(const Config&) const = default;

    /// The API key in use: apiKey, else GEMINI_API_KEY when set (even if empty), else empty.
    QString resolvedApiKey() const;

    /// Decodes leniently key by key; gives nothing only when the document is not a JSON object.
    static std::optional<Config> decode(const QByteArray& bytes);
    /// Indented JSON with sorted keys; legacy keys are never written.
    QByteArray encode() const;
    /// Writes atomically with permissions 0600; logs "could not save …" and returns false on failure.
    bool save(const QString& path = filePath()) const;

    /// Loads as at launch: defaults (saved at once) when the file cannot be read,
    /// the file set aside and defaults saved when it cannot be decoded.
    static Config load(const QString& path = filePath());

    /// KAVO_DATA_DIR when set and not empty, else $XDG_DATA_HOME/kavo-voice; fixed at first use.
    static QString directory();
    static QString filePath();
    static QString audioDirectory();

    /// Moves an unreadable data file aside as NAME.broken-STAMP and logs it.
    static void setAside(const QString& path);
};

} // namespace kavo
