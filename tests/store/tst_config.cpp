#include "store/config.h"
#include "store/log.h"
#include "support/data_folder.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTest>

using namespace kavo;

class TestConfig : public QObject
{
    Q_OBJECT

private:
    static Config decoded(const QByteArray& json)
    {
        const auto config = Config::decode(json);
        if (!config)
            qFatal("fixture did not decode: %s", json.constData());
        return *config;
    }

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }
    void init() { test::emptyDataFolder(); }

    void emptyObjectGivesDefaults()
    {
        const Config config = decoded("{}");
        QCOMPARE(config, Config {});
        QCOMPARE(config.defaultsVersion, 2);
        QCOMPARE(config.model, QStringLiteral("gemini-3.8-flash"));
        QCOMPARE(config.prompt.size(), 167);
        QCOMPARE(config.hotkey, HotkeyKind::controlFn);
    }

    void badValueKeepsItsDefaultOnly_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("key");

        QTest::newRow("unknown hotkey") << QByteArray(R"({"hotkey":"capsLock","sounds":false})") << "hotkey";
        QTest::newRow("port as string") << QByteArray(R"({"phonePort":"8000","sounds":false})") << "phonePort";
        QTest::newRow("fractional integer")
            << QByteArray(R"({"holdThresholdMs":300.5,"sounds":false})") << "holdThresholdMs";
        QTest::newRow("null bool") << QByteArray(R"({"trimSilence":null,"sounds":false})") << "trimSilence";
        QTest::newRow("number as bool") << QByteArray(R"({"keepAudio":1,"sounds":false})") << "keepAudio";
        QTest::newRow("enum not listed") << QByteArray(R"({"theme":"Dark","sounds":false})") << "theme";
        QTest::newRow("mixed language list")
            << QByteArray(R"({"languageCodes":["uz-UZ",7],"sounds":false})") << "languageCodes";
        QTest::newRow("bool as string") << QByteArray(R"({"hudVisible":"true","sounds":false})") << "hudVisible";
        QTest::newRow("hud position as string") << QByteArray(R"({"hudX":"12","sounds":false})") << "hudX";
        QTest::newRow("model as number") << QByteArray(R"({"model":3.8,"sounds":false})") << "model";
    }

    void badValueKeepsItsDefaultOnly()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, key);
        const Config config = decoded(json);
        // The good key beside the bad one survives, and the bad key reads as its default.
        QCOMPARE(config.sounds, false);
        const QJsonObject encoded = QJsonDocument::fromJson(config.encode()).object();
        const QJsonObject defaults = QJsonDocument::fromJson(Config {}.encode()).object();
        QCOMPARE(encoded.value(key), defaults.value(key));
    }

    void storedValuesAreRead()
    {
        const Config config = decoded(R"({
            "apiKey": "k", "hotkey": "rightCommand", "hotkeyMode": "toggle", "theme": "auto",
            "phonePort": 9000, "holdThresholdMs": 250.0, "hudX": 10.5, "hudY": -3,
            "languageCodes": ["ru-RU", "uz-UZ"], "keepSilenceSeconds": 0.5, "historyDays": 30
        })");
        QCOMPARE(config.apiKey, QStringLiteral("k"));
        QCOMPARE(config.hotkey, HotkeyKind::rightCommand);
        QCOMPARE(config.hotkeyMode, HotkeyMode::toggle);
        QCOMPARE(config.theme, ThemeMode::automatic);
        QCOMPARE(config.phonePort, 9000);
        QCOMPARE(config.holdThresholdMs, 250);
        QCOMPARE(config.hudX, std::optional<double>(10.5));
        QCOMPARE(config.hudY, std::optional<double>(-3));
        QCOMPARE(config.languageCodes, QStringList({ "ru-RU", "uz-UZ" }));
        QCOMPARE(config.keepSilenceSeconds, 0.5);
        QCOMPARE(config.historyDays, 30);
    }

    void notAnObjectFailsAsAWhole_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("array") << QByteArray("[]");
        QTest::newRow("string") << QByteArray("\"config\"");
        QTest::newRow("not json") << QByteArray("apiKey=1");
        QTest::newRow("truncated") << QByteArray(R"({"apiKey": "k")");
        QTest::newRow("empty") << QByteArray();
    }

    void notAnObjectFailsAsAWhole()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(!Config::decode(bytes));
    }

    void modelUpgrade_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("thinkingLevel");

        QTest::newRow("old record with model default thinking")
            << QByteArray(R"({"model":"gemini-3.7-flash","thinkingLevel":""})") << "gemini-3.8-flash"
            << "low";
        QTest::newRow("old record, version 1")
            << QByteArray(R"({"model":"gemini-3.7-flash","thinkingLevel":"","defaultsVersion":1})")
            << "gemini-3.8-flash"
            << "low";
        QTest::newRow("unreadable version counts as old")
            << QByteArray(R"({"model":"gemini-3.7-flash","thinkingLevel":"","defaultsVersion":"2"})")
            << "gemini-3.8-flash"
            << "low";
        QTest::newRow("current record keeps its choice")
            << QByteArray(R"({"model":"gemini-3.7-flash","thinkingLevel":"","defaultsVersion":2})")
            << "gemini-3.7-flash"
            << "";
        QTest::newRow("no thinking level key") << QByteArray(R"({"model":"gemini-3.7-flash"})") << "gemini-3.7-flash"
                                               << "low";
        QTest::newRow("chosen thinking level")
            << QByteArray(R"({"model":"gemini-3.7-flash","thinkingLevel":"high"})") << "gemini-3.7-flash"
            << "high";
        QTest::newRow("other model") << QByteArray(R"({"model":"gemini-3.7-pro","thinkingLevel":""})")
                                     << "gemini-3.7-pro"
                                     << "";
        QTest::newRow("thinking level of wrong type")
            << QByteArray(R"({"model":"gemini-3.7-flash","thinkingLevel":0})") << "gemini-3.7-flash"
            << "low";
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

    void legacyTranscriptionMode_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("removeFillers");
        QTest::addColumn<bool>("resolveCorrections");

        QTest::newRow("verbatim alone") << QByteArray(R"({"transcriptionMode":"verbatim"})") << false << false;
        QTest::newRow("verbatim beside removeFillers")
            << QByteArray(R"({"transcriptionMode":"verbatim","removeFillers":true})") << true << true;
        QTest::newRow("verbatim beside a null removeFillers")
            << QByteArray(R"({"transcriptionMode":"verbatim","removeFillers":null})") << true << true;
        QTest::newRow("clean mode") << QByteArray(R"({"transcriptionMode":"clean"})") << true << true;
        QTest::newRow("verbatim overrides a stored resolveCorrections")
            << QByteArray(R"({"transcriptionMode":"verbatim","resolveCorrections":true})") << false << false;
    }

    void legacyTranscriptionMode()
    {
        QFETCH(QByteArray, json);
        QFETCH(bool, removeFillers);
        QFETCH(bool, resolveCorrections);
        const Config config = decoded(json);
        QCOMPARE(config.removeFillers, removeFillers);
        QCOMPARE(config.resolveCorrections, resolveCorrections);
        QCOMPARE(config.punctuation, true);
        QVERIFY(!config.encode().contains("transcriptionMode"));
    }

    void legacyCustomVocabulary_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QStringList>("words");

        QTest::newRow("two words") << QByteArray(R"({"customVocabulary":["Kavo","Toshkent"]})")
                                   << QStringList { "Kavo", "Toshkent" };
        QTest::newRow("empty list") << QByteArray(R"({"customVocabulary":[]})") << QStringList {};
        QTest::newRow("vocabulary key wins, even empty")
            << QByteArray(R"({"customVocabulary":["Kavo"],"vocabulary":[]})") << QStringList {};
        QTest::newRow("malformed vocabulary still wins")
            << QByteArray(R"({"customVocabulary":["Kavo"],"vocabulary":[{"word":"x"}]})") << QStringList {};
    }

    void legacyCustomVocabulary()
    {
        QFETCH(QByteArray, json);
        QFETCH(QStringList, words);
        const Config config = decoded(json);
        QStringList decodedWords;
        QSet<QUuid> ids;
        for (const VocabularyWord& word : config.vocabulary) {
            decodedWords.append(word.word);
            QVERIFY(word.language.isEmpty());
            QVERIFY(!word.id.isNull());
            ids.insert(word.id);
        }
        QCOMPARE(decodedWords, words);
        QCOMPARE(ids.size(), words.size());
        QVERIFY(!config.encode().contains("customVocabulary"));
    }

    void recordLists_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<int>("vocabulary");
        QTest::addColumn<int>("snippets");

        const QByteArray word = R"({"id":"6f1c2a9e-3b7d-4e55-9a0c-1d2e3f4a5b6c","word":"Kavo","language":"uz-UZ"})";
        const QByteArray snippet
            = R"({"id":"6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6D","trigger":"my mail","text":"a@b.uz"})";
        QTest::newRow("good records") << "{\"vocabulary\":[" + word + "," + word + "],\"snippets\":[" + snippet + "]}"
                                      << 2 << 1;
        QTest::newRow("word without language empties the vocabulary only") << "{\"vocabulary\":[" + word
                + R"(,{"id":"6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6C","word":"x"}],"snippets":[)" + snippet
                + "]}" << 0 << 1;
        QTest::newRow("snippet with a bad id empties the snippets only")
            << "{\"vocabulary\":[" + word + R"(],"snippets":[{"id":"not-a-uuid","trigger":"a","text":"b"}]})" << 1 << 0;
        QTest::newRow("braced id is not a canonical UUID") << QByteArray(
            R"({"vocabulary":[{"id":"{6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6C}","word":"a","language":""}]})")
                                                           << 0 << 0;
        QTest::newRow("list of strings") << QByteArray(R"({"vocabulary":["Kavo"]})") << 0 << 0;
    }

    void recordLists()
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
        QTest::newRow("from the environment") << QString() << std::optional<QByteArray>("env-key") << "env-key";
        QTest::newRow("empty environment value") << QString() << std::optional<QByteArray>("") << QString();
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
        else
            qunsetenv("GEMINI_API_KEY");
        Config config;
        config.apiKey = apiKey;
        QCOMPARE(config.resolvedApiKey(), resolved);
        qunsetenv("GEMINI_API_KEY");
    }

    void encodingIsSortedAndRoundTrips()
    {
        Config config;
        config.apiKey = QStringLiteral("key/with/slashes");
        config.vocabulary = { { QUuid::createUuid(), QStringLiteral("Oʻzbekiston"), QStringLiteral("uz-UZ") } };
        config.snippets = { { QUuid::createUuid(), QStringLiteral("sig"), QStringLiteral("Best,\nAziz") } };
        config.theme = ThemeMode::automatic;

        const QByteArray bytes = config.encode();
        QVERIFY(!bytes.contains("hudX"));
        QVERIFY(!bytes.contains("hudY"));
        QVERIFY(bytes.contains("\n    \"")); // indented for people to read
        QVERIFY(bytes.contains("\"theme\": \"auto\""));

        QRegularExpression topLevelKey(QStringLiteral("^    \"(\\w+)\":"), QRegularExpression::MultilineOption);
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
        const Config withPosition = decoded(config.encode());
        QCOMPARE(withPosition.hudX, std::optional<double>(120));
        QCOMPARE(withPosition.hudY, std::optional<double>(40.5));
    }

    void uuidsAreWrittenUpperCase()
    {
        Config config;
        const QUuid id = QUuid::fromString(QStringLiteral("6f1c2a9e-3b7d-4e55-9a0c-1d2e3f4a5b6c"));
        config.vocabulary = { { id, QStringLiteral("a"), QString() } };
        QVERIFY(config.encode().contains("6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6C"));
    }

    void saveIsPrivateAndCreatesTheFolder()
    {
        const QString path = QDir(test::useTemporaryDataFolder()).filePath(QStringLiteral("nested/deeper/config.json"));
        Config config;
        config.apiKey = QStringLiteral("secret");
        QVERIFY(config.save(path));
        // Owner, group and other bits; the "user" bits only mirror whichever of them applies to us.
        const int unixBits = QFile::permissions(path) & 0x7077;
        QCOMPARE(unixBits, int(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QCOMPARE(decoded(test::readFile(path)).apiKey, QStringLiteral("secret"));

        // A file that others could read is made private by the next save.
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
        QVERIFY(config.save(path));
        QCOMPARE(int(QFile::permissions(path) & 0x7077), int(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    }

    void failedSaveIsLogged()
    {
        const QString blocker = QDir(test::useTemporaryDataFolder()).filePath(QStringLiteral("blocker"));
        test::writeFile(blocker, "a file where a folder should be");
        QVERIFY(!Config {}.save(blocker + QStringLiteral("/config.json")));
        Log::flush();
        QVERIFY(test::readFile(Log::fileURL()).contains(" could not save config.json: "));
    }

    void loadWritesDefaultsWhenMissing()
    {
        QVERIFY(!QFile::exists(Config::fileURL()));
        QCOMPARE(Config::load(), Config {});
        QVERIFY(QFile::exists(Config::fileURL()));
        QCOMPARE(decoded(test::readFile(Config::fileURL())), Config {});
    }

    void loadDoesNotRewriteADecodedFile()
    {
        const QByteArray stored = R"({"model":"gemini-3.7-flash","thinkingLevel":"","customVocabulary":["a"]})";
        test::writeFile(Config::fileURL(), stored);
        const Config config = Config::load();
        QCOMPARE(config.model, QStringLiteral("gemini-3.8-flash"));
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
        QVERIFY(test::readFile(Log::fileURL())
                    .contains(
                        QByteArray(QByteArray(" could not read config.json; kept it as ") + broken.first().toUtf8())));
    }

    void spokenLanguages()
    {
        const auto& all = SpokenLanguage::all();
        QCOMPARE(all.size(), 13);
        QCOMPARE(all.first().code, QStringLiteral("uz-UZ"));
        QCOMPARE(all.last().code, QStringLiteral("ko-KR"));
        QCOMPARE(SpokenLanguage::find(QStringLiteral("uz-UZ"))->nativeName, QStringLiteral("O\u02BBzbekcha"));
        QCOMPARE(SpokenLanguage::chipLabel(QStringLiteral("uz-UZ")), QStringLiteral("O'zbek"));
        QCOMPARE(SpokenLanguage::chipLabel(QStringLiteral("ru-RU")), QStringLiteral("Русский"));
        QCOMPARE(SpokenLanguage::chipLabel(QStringLiteral("xx-XX")), QStringLiteral("xx-XX"));
    }

    void enumerationRawValues()
    {
        QCOMPARE(rawValue(HotkeyKind::controlOption), QStringLiteral("controlOption"));
        QCOMPARE(rawValue(ThemeMode::automatic), QStringLiteral("auto"));
        QCOMPARE(rawValue(NewlineMode::returnKey), QStringLiteral("return"));
        QCOMPARE(fromRawValue<NewlineMode>(QStringLiteral("optionReturn")), NewlineMode::optionReturn);
        QCOMPARE(fromRawValue<HotkeyMode>(QStringLiteral("Hold")), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
