#include "interface_language.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTranslator>

#include <memory>

namespace kavo {
namespace {

const QString languageKey = QStringLiteral("language");

QString& currentCode()
{
    static QString code = QStringLiteral("en");
    return code;
}

QString baseLanguage(const QString& tag)
{
    return tag.section(u'-', 0, 0).section(u'_', 0, 0).toLower();
}

} // namespace

const QStringList& InterfaceLanguage::supported()
{
    static const QStringList codes { QStringLiteral("uz"), QStringLiteral("en"), QStringLiteral("ru") };
    return codes;
}

QString InterfaceLanguage::preferencesFile()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("kavo-voice/preferences.ini"));
}

std::optional<QString> InterfaceLanguage::storedChoice()
{
    const QSettings settings(preferencesFile(), QSettings::IniFormat);
    const QString code = settings.value(languageKey).toString();
    if (!supported().contains(code))
        return std::nullopt;
    return code;
}

QList<InterfaceLanguage::Choice> InterfaceLanguage::choices()
{
    return { { std::nullopt, QCoreApplication::translate("InterfaceLanguage", "System") },
        { QStringLiteral("uz"), QStringLiteral("Oʻzbekcha") }, { QStringLiteral("en"), QStringLiteral("English") },
        { QStringLiteral("ru"), QStringLiteral("Русский") } };
}

bool InterfaceLanguage::chooseAndRelaunch(const std::optional<QString>& code, const QString& program)
{
    storeChoice(code);
    // The shell outlives this process, which must be gone before the copy starts and finds no running instance.
    return QProcess::startDetached(
        QStringLiteral("/bin/sh"), { QStringLiteral("-c"), QStringLiteral("sleep 1; exec \"$0\""), program });
}

void InterfaceLanguage::storeChoice(const std::optional<QString>& code)
{
    QSettings settings(preferencesFile(), QSettings::IniFormat);
    if (code)
        settings.setValue(languageKey, *code);
    else
        settings.remove(languageKey);
    settings.sync();
}

QString InterfaceLanguage::resolve(const QStringList& systemLanguages)
{
    if (const auto stored = storedChoice())
        return *stored;
    for (const QString& tag : systemLanguages) {
        QString language = baseLanguage(tag);
        if (supported().contains(language))
            return language;
    }
    return QStringLiteral("en");
}

QString InterfaceLanguage::current()
{
    return currentCode();
}

void InterfaceLanguage::install(const QString& code)
{
    static std::unique_ptr<QTranslator> translator;
    if (translator) {
        QCoreApplication::removeTranslator(translator.get());
        translator.reset();
    }
    currentCode() = supported().contains(code) ? code : QStringLiteral("en");
    if (currentCode() == QLatin1String("en"))
        return;
    translator = std::make_unique<QTranslator>();
    if (translator->load(QStringLiteral(":/i18n/kavo_") + currentCode() + QStringLiteral(".qm")))
        QCoreApplication::installTranslator(translator.get());
    else
        translator.reset();
}

} // namespace kavo
