#include "store/interface_language.h"
#include "support/data_folder.h"
#include "support/table_rows.h"

#include <QCoreApplication>
#include <QTest>

using namespace kavo;
using test::row;

class TestInterfaceLanguage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }
    void init() { InterfaceLanguage::storeChoice(std::nullopt); }
    void cleanup() { InterfaceLanguage::install(QStringLiteral("en")); }

    void resolve_data()
    {
        test::columns<QString, QStringList, QString>({ "stored", "system", "expected" });
        row("system Russian", QString(), QStringList { "ru-RU", "en-US" }, "ru");
        row("first supported system language", QString(), QStringList { "de-DE", "uz-Latn-UZ", "ru" }, "uz");
        row("underscore tags", QString(), QStringList { "ru_RU" }, "ru");
        row("nothing supported", QString(), QStringList { "de-DE", "fr" }, "en");
        row("no system languages", QString(), QStringList {}, "en");
        row("stored choice wins", "uz", QStringList { "ru-RU" }, "uz");
        row("unknown stored value is ignored", "de", QStringList { "ru-RU" }, "ru");
    }

    void resolve()
    {
        QFETCH(QString, stored);
        QFETCH(QStringList, system);
        if (!stored.isEmpty())
            InterfaceLanguage::storeChoice(stored);
        QTEST(InterfaceLanguage::resolve(system), "expected");
    }

    void choiceIsStoredInThePreferencesFile()
    {
        InterfaceLanguage::storeChoice(QStringLiteral("ru"));
        QVERIFY(InterfaceLanguage::preferencesFile().endsWith(QStringLiteral("/kavo-voice/preferences.ini")));
        QVERIFY(test::readFile(InterfaceLanguage::preferencesFile()).contains("language=ru"));
        InterfaceLanguage::storeChoice(std::nullopt);
        QCOMPARE(InterfaceLanguage::storedChoice(), std::nullopt);
        QVERIFY(!test::readFile(InterfaceLanguage::preferencesFile()).contains("language"));
    }

    void installingTranslatesTexts_data()
    {
        test::columns<QString, QString, QString>({ "code", "current", "personal" });
        row("Uzbek", "uz", "uz", "Shaxsiy");
        row("Russian", "ru", "ru", "Личное");
        row("unsupported falls back to English", "de", "en", "Personal");
    }

    void installingTranslatesTexts()
    {
        QFETCH(QString, code);
        InterfaceLanguage::install(code);
        QTEST(InterfaceLanguage::current(), "current");
        QTEST(QCoreApplication::translate("NotesStore", "Personal"), "personal");
    }
};

QTEST_GUILESS_MAIN(TestInterfaceLanguage)
#include "tst_interface_language.moc"
