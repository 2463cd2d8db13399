#include "store/interface_language.h"
#include "support/data_folder.h"

#include <QCoreApplication>
#include <QFile>
#include <QTest>

using namespace kavo;

class TestInterfaceLanguage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }
    void init() { InterfaceLanguage::storeChoice(std::nullopt); }
    void cleanup() { InterfaceLanguage::install(QStringLiteral("en")); }

    void resolve_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("system");
        QTest::addColumn<QString>("expected");

        QTest::newRow("system Russian") << QString() << QStringList { "ru-RU", "en-US" } << "ru";
        QTest::newRow("first supported system language")
            << QString() << QStringList { "de-DE", "uz-Latn-UZ", "ru" } << "uz";
        QTest::newRow("underscore tags") << QString() << QStringList { "ru_RU" } << "ru";
        QTest::newRow("nothing supported") << QString() << QStringList { "de-DE", "fr" } << "en";
        QTest::newRow("no system languages") << QString() << QStringList {} << "en";
        QTest::newRow("stored choice wins") << "uz" << QStringList { "ru-RU" } << "uz";
        QTest::newRow("unknown stored value is ignored") << "de" << QStringList { "ru-RU" } << "ru";
    }

    void resolve()
    {
        QFETCH(QString, stored);
        QFETCH(QStringList, system);
        QFETCH(QString, expected);
        if (!stored.isEmpty())
            InterfaceLanguage::storeChoice(stored);
        QCOMPARE(InterfaceLanguage::resolve(system), expected);
    }

    void choiceIsStoredInThePreferencesFile()
    {
        InterfaceLanguage::storeChoice(QStringLiteral("ru"));
        QVERIFY(InterfaceLanguage::preferencesFile().endsWith(QStringLiteral("/kavo-voice/preferences.ini")));
        QVERIFY(test::readFile(InterfaceLanguage::preferencesFile()).contains("language=ru"));
        QCOMPARE(InterfaceLanguage::storedChoice(), std::optional<QString>(QStringLiteral("ru")));
        InterfaceLanguage::storeChoice(std::nullopt);
        QCOMPARE(InterfaceLanguage::storedChoice(), std::nullopt);
        QVERIFY(!test::readFile(InterfaceLanguage::preferencesFile()).contains("language"));
    }

    void installingTranslatesTexts_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("personal");

        QTest::newRow("Uzbek") << "uz" << QStringLiteral("Shaxsiy");
        QTest::newRow("Russian") << "ru" << QStringLiteral("Личное");
        QTest::newRow("English") << "en" << QStringLiteral("Personal");
        QTest::newRow("unsupported falls back to English") << "de" << QStringLiteral("Personal");
    }

    void installingTranslatesTexts()
    {
        QFETCH(QString, code);
        QFETCH(QString, personal);
        InterfaceLanguage::install(code);
        QCOMPARE(InterfaceLanguage::current(), code == QLatin1String("de") ? QStringLiteral("en") : code);
        QCOMPARE(QCoreApplication::translate("NotesStore", "Personal"), personal);
    }
};

QTEST_GUILESS_MAIN(TestInterfaceLanguage)
#include "tst_interface_language.moc"
