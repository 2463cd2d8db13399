#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace kavo {

/// The language of the user interface: "uz", "en" or "ru", chosen in the preferences or taken from the system.
class InterfaceLanguage
{
public:
    struct Choice
    {
        std::optional<QString> code; ///< none for the system's language
        QString name; ///< in its own language; "System" in the current one
    };
    /// The languages the interface is translated into; English is the source language.
    static const QStringList& supported();

    /// $XDG_CONFIG_HOME/kavo-voice/preferences.ini
    static QString preferencesFile();
    /// The stored choice, or nothing for the system language.
    static std::optional<QString> storedChoice();
    /// Stores a choice; nothing removes it so that the system language applies.
    static void storeChoice(const std::optional<QString>& code);

    /// What the user can pick, in order: the system's language, then Uzbek, English and Russian.
    static QList<Choice> choices();
    /// Stores a choice and starts a copy of `program` a second from now, so that the caller can quit and the
    /// application comes back in the new language. Returns whether the copy was started.
    static bool chooseAndRelaunch(const std::optional<QString>& code, const QString& program);

    /// The stored choice, else the first supported language among the system's, else "en".
    static QString resolve(const QStringList& systemLanguages);

    /// The language in effect for texts and formats of this process ("en" until one is installed).
    static QString current();
    /// Makes the language current and installs its translation into the application.
    static void install(const QString& code);
};

} // namespace kavo
