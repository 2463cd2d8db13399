#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace kavo {

/// The language of the user interface: "uz", "en" or "ru", chosen in the preferences or taken from the system.
class InterfaceLanguage
{
public:
    /// The languages the interface is translated into; English is the source language.
    static const QStringList& supported();

    /// $XDG_CONFIG_HOME/kavo-voice/preferences.ini
    static QString preferencesFile();
    /// The stored choice, or nothing for the system language.
    static std::optional<QString> storedChoice();
    /// Stores a choice; nothing removes it so that the system language applies.
    static void storeChoice(const std::optional<QString>& code);

    /// The stored choice, else the first supported language among the system's, else "en".
    static QString resolve(const QStringList& systemLanguages);

    /// The language in effect for texts and formats of this process ("en" until one is installed).
    static QString current();
    /// Makes the language current and installs its translation into the application.
    static void install(const QString& code);
};

} // namespace kavo
