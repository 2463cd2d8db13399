#include "store/config.h"
#include "store/log.h"
#include "support/data_folder.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTest>

using namespace kavo;

namespace {

Config decoded(const QByteArray& json)
{
    const auto config = Config::decode(json);
    if (!config)
        qFatal("fixture did not decode: %s", json.constData());
    return *config;
}

QJsonObject encodedObject(const Config& config)
{
    return QJsonDocument::fromJson(config.encode()).object();
}

int unixPermissions(const QString& path)
{
    // Owner, group and other bits; the "user" bits only mirror whichever of them applies to us.
    return QFile::permissions(path) & 0x7077;
}

} // namespace

class TestConfig : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }
    void init() { test::emptyDataFolder(); }

    void emptyObjectGivesDefaults()
    {
        QCOMPARE(decoded("{}"), Config {});
        QCOMPARE(Config {}.prompt.size(), 167);
        QCOMPARE(Config {}.defaultsVersion, 2);
    }

    void badValueKeepsItsDefaultOnly_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("key");
        QTest::newRow("unknown hotkey") << QByteArray(R"({"hotkey":"capsLock","sounds":false})") << "hotkey";
        QTest::newRow("port as string") << QByteArray(R"({"phonePort":"8000","sounds":false})") << "phonePort";
        QTest::newRow("fractional integer")
            << QByteArray(R"({"holdThresholdMs":300.5,"sounds":false})") << "holdThresholdMs";
        QTest::newRow("null") << QByteArray(R"({"trimSilence":null,"sounds":false})") << "trimSilence";
        QTest::newRow("number as bool") << QByteArray(R"({"keepAudio":1,"sounds":false})") << "keepAudio";
        QTest::newRow("raw value in wrong case") << QByteArray(R"({"theme":"Dark","sounds":false})") << "theme";
        QTest::newRow("mixed list") << QByteArray(R"({"languageCodes":["uz-UZ",7],"sounds":false})") << "languageCodes";
        QTest::newRow("position as string") << QByteArray(R"({"hudX":"12","sounds":false})") << "hudX";
    }

    void badValueKeepsItsDefaultOnly()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, key);
        const Config config = decoded(json);
        QCOMPARE(config.sounds, false);
        QCOMPARE(encodedObject(config).value(key), encodedObject(Config {}).value(key));
    }

    void notAnObjectFailsAsAWhole()
    {
        for (const QByteArray bytes : { "[]", "\"config\"", "apiKey=1", R"({"apiKey": "k")", "" })
            QVERIFY2(!Config::decode(bytes), bytes.constData());
    }

    void modelUpgrade_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("thinkingLevel");
        QTest::newRow("old record") << QByteArray(R"({"model":"gemini-3.7-flash","thinkingLevel":""})")
                                    << "gemini-3.8-flash"
                                    << "low";
        QTest::newRow("unreadable version")
            << QByteArray(R"({"model":"gemini-3.7-flash","thinkingLevel":"","defaultsVersion":"2"})")
            << "gemini-3.8-flash"
            << "low";
        QTest::newRow("current record") << QByteArray(
            R"({"model":"gemini-3.7-flash","thinkingLevel":"","defaultsVersion":2})")
                                        << "gemini-3.7-flash"
                                        << "";
        QTest::newRow("no thinking level") << QByteArray(R"({"model":"gemini-3.7-flash"})") << "gemini-3.7-flash"
                                           << "low";
        QTest::newRow("chosen level") << QByteArray(R"({"model":"gemini-3.7-flash","thinkingLevel":"high"})")
                                      << "gemini-3.7-flash"
                                      << "high";
        QTest::newRow("other model") << QByteArray(R"({"model":"gemini-3.7-pro","thinkingLevel":""})")
                                     << "gemini-3.7-pro"
                                     << "";
    }

    void modelUpgrade()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, model);
        QFETCH(QString, thinkingLevel);
        const Config config = decoded(json);
        QCOMPARE(config.model, model);
        QCOMPARE(config.thinkingLevel, thinkingLevel);
        QCOMPARE(config.defaultsVersion, 2);
    }

    void legacyKeys_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("cleanUp");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("verbatim") << QByteArray(R"({"transcriptionMode":"verbatim"})") << false << QStringList {};
        QTest::newRow("removeFillers present")
            << QByteArray(R"({"transcriptionMode":"verbatim","removeFillers":true})") << true << QStringList {};
        QTest::newRow("null removeFillers is present")
            << QByteArray(R"({"transcriptionMode":"verbatim","removeFillers":null})") << true << QStringList {};
        QTest::newRow("word list") << QByteArray(R"({"customVocabulary":["Kavo","Toshkent"]})") << true
                                   << QStringList { "Kavo", "Toshkent" };
        QTest::newRow("vocabulary key wins")
            << QByteArray(R"({"customVocabulary":["Kavo"],"vocabulary":[]})") << true << QStringList {};
    }

    void legacyKeys()
    {
        QFETCH(QByteArray, json);
        QFETCH(bool, cleanUp);
        QFETCH(QStringList, words);
        const Config config = decoded(json);
        QCOMPARE(config.removeFillers, cleanUp);
        QCOMPARE(config.resolveCorrections, cleanUp);
        QCOMPARE(config.punctuation, true);
        QStringList decodedWords;
        for (const VocabularyWord& word : config.vocabulary) {
            decodedWords.append(word.word);
            QVERIFY(word.language.isEmpty() && !word.id.isNull());
        }
        QCOMPARE(decodedWords, words);
        const QByteArray encoded = config.encode();
        QVERIFY(!encoded.contains("transcriptionMode") && !encoded.contains("customVocabulary"));
    }

    void oneBadRecordEmptiesItsListOnly_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<int>("vocabulary");
        QTest::addColumn<int>("snippets");
        const QByteArray word = R"({"id":"6f1c2a9e-3b7d-4e55-9a0c-1d2e3f4a5b6c","word":"Kavo","language":"uz-UZ"})";
        const QByteArray snippet = R"({"id":"6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6D","trigger":"a","text":"b"})";
        QTest::newRow("good") << "{\"vocabulary\":[" + word + "," + word + "],\"snippets\":[" + snippet + "]}" << 2
                              << 1;
        QTest::newRow("word without language") << "{\"vocabulary\":[" + word
                + R"(,{"id":"6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6C","word":"x"}],"snippets":[)" + snippet
                + "]}" << 0 << 1;
        const QByteArray bracedSnippet = R"({"id":"{6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6D}","trigger":"a","text":"b"})";
        QTest::newRow("braced id") << "{\"vocabulary\":[" + word + "],\"snippets\":[" + bracedSnippet + "]}" << 1 << 0;
    }

    void oneBadRecordEmptiesItsListOnly()
    {
        QFETCH(QByteArray, json);
        QFETCH(int, vocabulary);
        QFETCH(int, snippets);
        const Config config = decoded(json);
        QCOMPARE(config.vocabulary.size(), vocabulary);
        QCOMPARE(config.snippets.size(), snippets);
    }

    void resolvedApiKey_data()
    {
        QTest::addColumn<QString>("apiKey");
        QTest::addColumn<std::optional<QByteArray>>("environment");
        QTest::addColumn<QString>("resolved");
        QTest::newRow("nothing anywhere") << QString() << std::optional<QByteArray>() << QString();
        QTest::newRow("environment") << QString() << std::optional<QByteArray>("env-key") << "env-key";
        QTest::newRow("stored key wins") << "stored" << std::optional<QByteArray>("env-key") << "stored";
        QTest::newRow("not trimmed") << " stored " << std::optional<QByteArray>() << " stored ";
    }

    void resolvedApiKey()
    {
        QFETCH(QString, apiKey);
        QFETCH(std::optional<QByteArray>, environment);
        QFETCH(QString, resolved);
        if (environment)
            qputenv("GEMINI_API_KEY", *environment);
        Config config;
        config.apiKey = apiKey;
        QCOMPARE(config.resolvedApiKey(), resolved);
        qunsetenv("GEMINI_API_KEY");
    }

    void encodingIsSortedAndRoundTrips()
    {
        Config config;
        config.vocabulary = { { QUuid::fromString(QStringLiteral("6f1c2a9e-3b7d-4e55-9a0c-1d2e3f4a5b6c")),
            QStringLiteral("Oʻzbekiston"), QStringLiteral("uz-UZ") } };
        config.snippets = { { QUuid::createUuid(), QStringLiteral("sig"), QStringLiteral("Best,\nAziz") } };
        config.theme = ThemeMode::automatic;
        config.holdThresholdMs = 250;

        const QByteArray bytes = config.encode();
        QVERIFY(!bytes.contains("hudX") && !bytes.contains("hudY"));
        QVERIFY(bytes.contains("\"theme\": \"auto\""));
        QVERIFY(bytes.contains("6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6C"));
        const QRegularExpression topLevelKey(QStringLiteral("^    \"(\\w+)\":"), QRegularExpression::MultilineOption);
        QStringList keys;
        for (auto it = topLevelKey.globalMatch(QString::fromUtf8(bytes)); it.hasNext();)
            keys.append(it.next().captured(1));
        QStringList sorted = keys;
        sorted.sort();
        QCOMPARE(keys, sorted);
        QCOMPARE(keys.size(), 35);
        QCOMPARE(decoded(bytes), config);

        config.hudX = 120;
        config.hudY = 40.5;
        QCOMPARE(decoded(config.encode()), config);
    }

    void saveIsPrivateAndCreatesTheFolder()
    {
        const QString path = QDir(test::useTemporaryDataFolder()).filePath(QStringLiteral("nested/deeper/config.json"));
        QVERIFY(Config {}.save(path));
        QCOMPARE(unixPermissions(path), int(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        // A file that others could read is made private by the next save.
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
        QVERIFY(Config {}.save(path));
        QCOMPARE(unixPermissions(path), int(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    }

    void failedSaveIsLogged()
    {
        const QString blocker = QDir(test::useTemporaryDataFolder()).filePath(QStringLiteral("blocker"));
        test::writeFile(blocker, "a file where a folder should be");
        QVERIFY(!Config {}.save(blocker + QStringLiteral("/config.json")));
        Log::flush();
        QVERIFY(test::readFile(Log::fileURL()).contains(" could not save config.json: "));
    }

    void loading()
    {
        QCOMPARE(Config::load(), Config {});
        QCOMPARE(decoded(test::readFile(Config::fileURL())), Config {});

        // A decoded file is upgraded in memory only.
        const QByteArray stored = R"({"model":"gemini-3.7-flash","thinkingLevel":""})";
        test::writeFile(Config::fileURL(), stored);
        QCOMPARE(Config::load().model, QStringLiteral("gemini-3.8-flash"));
        QCOMPARE(test::readFile(Config::fileURL()), stored);
    }

    void loadSetsADamagedFileAside()
    {
        test::writeFile(Config::fileURL(), "[1, 2, 3]");
        QCOMPARE(Config::load(), Config {});
        const QStringList broken = QDir(Config::directory()).entryList({ QStringLiteral("config.json.broken-*") });
        QCOMPARE(broken.size(), 1);
        QVERIFY2(QRegularExpression(QStringLiteral("^config\\.json\\.broken-\\d{4}-\\d{2}-\\d{2}T\\d{6}$"))
                     .match(broken.first())
                     .hasMatch(),
            qPrintable(broken.first()));
        QCOMPARE(test::readFile(QDir(Config::directory()).filePath(broken.first())), QByteArray("[1, 2, 3]"));
        QCOMPARE(decoded(test::readFile(Config::fileURL())), Config {});
        Log::flush();
        QVERIFY(QString::fromUtf8(test::readFile(Log::fileURL()))
                    .contains(QStringLiteral(" could not read config.json; kept it as ") + broken.first()));
    }

    void languageChipLabels()
    {
        QCOMPARE(SpokenLanguage::all().size(), 13);
        QCOMPARE(SpokenLanguage::find(QStringLiteral("uz-UZ"))->nativeName, QStringLiteral("O\u02BBzbekcha"));
        QCOMPARE(SpokenLanguage::chipLabel(QStringLiteral("uz-UZ")), QStringLiteral("O'zbek"));
        QCOMPARE(SpokenLanguage::chipLabel(QStringLiteral("xx-XX")), QStringLiteral("xx-XX"));
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
