#pragma once

#include "state/key_check.h"
#include "store/config.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace kavo {

/// One entry of a settings control: the value stored in the settings and the label shown for it.
struct SettingOption
{
    QVariant value;
    QString label;

    bool operator==(const SettingOption&) const = default;
};

/// A microphone the recorder can record from.
struct AudioInput
{
    QString id;
    QString name;

    bool operator==(const AudioInput&) const = default;
};

/// The rules behind the settings panel's choices: which options a control offers, in which order, and their labels.
class SettingsOptions
{
    Q_DECLARE_TR_FUNCTIONS(SettingsOptions)

public:
    /// "gemini-3.8-flash" → "Gemini 3.8 Flash": pieces split at "-", a leading letter upper-cased.
    static QString modelLabel(const QString& identifier);
    /// The offered models, with the configured one first when it is not among them.
    static QList<SettingOption> models(const QStringList& offered, const QString& configured);

    /// The codes in the order of the language table, codes the table does not know after all that it knows.
    static QStringList sortedLanguages(QStringList codes);
    /// Removes a present code or appends an absent one, then sorts.
    static QStringList toggledLanguage(QStringList codes, const QString& code);
    /// The table's languages that are not selected, as code and chip label.
    static QList<SettingOption> addableLanguages(const QStringList& selected);

    static QList<SettingOption> holdTimes(int currentMs);
    static QList<SettingOption> historyDays(int current);
    /// "System default", the inputs, and "Microphone not connected" for a configured input that is gone.
    static QList<SettingOption> microphones(const QList<AudioInput>& inputs, const QString& configured);

    static QString keyStatus(KeyCheck::Status status);

    static QList<SettingOption> themes();
    static QList<SettingOption> hotkeys();
    static QList<SettingOption> hotkeyModes();
    static QList<SettingOption> insertMethods();
    static QList<SettingOption> newlineModes();
    static QList<SettingOption> thinkingLevels();
    /// The interface languages; the system's language has the empty code.
    static QList<SettingOption> interfaceLanguages();
};

} // namespace kavo
