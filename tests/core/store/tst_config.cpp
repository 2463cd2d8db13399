#include "store/config.h"
#include "store/data_stores.h"
#include "store/interface_language.h"
#include "store/log.h"
#include "store/snippet.h"
#include "store/vocabulary_word.h"
#include "support/data_folder.h"
#include "support/table_rows.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTime>

#include <algorithm>
#include <atomic>
#include <thread>

using namespace kavo;
using test::row;

namespace {

/// The encoded record without the identifiers of its vocabulary words and snippets.
QJsonObject comparable(const Config& config)
{
    static const QRegularExpression id(u"\"id\": \"[0-9A-F-]{36}\","_qs);
    return QJsonDocument::fromJson(QString::fromUtf8(config.encode()).remove(id).toUtf8()).object();
}

// "word" or "word,language" for each word, joined by "|", when every word has an id of its own.
QString described(const QList<VocabularyWord>& words)
{
    QStringList result;
    QSet<QUuid> ids { QUuid() };
    for (const VocabularyWord& word : words) {
        result.append(word.language.isEmpty() ? word.word : word.word + u',' + word.language);
        ids.insert(word.id);
    }
    return ids.size() == words.size() + 1 ? result.join(u'|') : u"<ids not fresh>"_qs;
}

enum How { parse, typed, list, newFromList, exported };

QList<VocabularyWord> wordsOf(const QString& described)
{
    QList<VocabularyWord> words;
    for (const QString& word : described.split(u'|', Qt::SkipEmptyParts))
        words.append(VocabularyWord { QUuid::createUuid(), word.section(u',', 0, 0), word.section(u',', 1) });
    return words;
}

// Trigger, text, trigger, text...
QList<Snippet> snippetsOf(const QStringList& pairs)
{
    QList<Snippet> snippets;
    for (qsizetype index = 0; index + 1 < pairs.size(); index += 2)
        snippets.append(Snippet { QUuid::createUuid(), pairs[index], pairs[index + 1] });
    return snippets;
}

// Expansion's expression in its plain form, one flat list of alternatives, longest first, for generated
// triggers that are single-spaced and have one code unit per character.
QString expandedByFlatExpression(const QString& text, QList<Snippet> snippets)
{
    std::stable_sort(snippets.begin(), snippets.end(),
        [](const Snippet& left, const Snippet& right) { return left.trigger.size() > right.trigger.size(); });
    const QString apostrophe = u'[' + Snippet::apostrophes + u']';
    const QString guard = u"[\\p{L}\\p{N}"_qs + Snippet::apostrophes + u']';
    QStringList alternatives;
    for (const Snippet& snippet : snippets)
        alternatives.append(u'(' + QRegularExpression::escape(Snippet::plainApostrophes(snippet.trigger)) + u')');
    const QString flat = alternatives.join(u'|').replace(u"\\ "_qs, u"\\s+"_qs).replace(u"\\'"_qs, apostrophe);
    const QRegularExpression expression(u"(?<!"_qs + guard + u")(?:"_qs + flat + u")(?!"_qs + guard + u')',
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    QString result;
    qsizetype copied = 0;
    for (const QRegularExpressionMatch& match : expression.globalMatch(text)) {
        result += text.mid(copied, match.capturedStart() - copied) + snippets[match.lastCapturedIndex() - 1].text;
        copied = match.capturedEnd();
    }
    return result + text.mid(copied);
}

} // namespace

class TestConfig : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }
    void cleanup() { InterfaceLanguage::install(QStringLiteral("en")); }

    // The preferences file lives outside the data folder.
    void init()
    {
        test::emptyDataFolder();
        InterfaceLanguage::storeChoice(std::nullopt);
    }

    void decoding_data()
    {
        // `json` decodes to the defaults changed by `changes`; to nothing when `changes` is empty.
        test::columns<QString, QString>({ "json", "changes" });
        row("empty", "{}", "{}");
        for (const char* notAnObject : { "[]", "\"config\"", "apiKey=1", R"({"apiKey": "k")", "" })
            QTest::addRow("not an object: %s", notAnObject) << QString(notAnObject) << QString();
        row("wrong types", R"({"phonePort":"8000","holdThresholdMs":300.5,"keepAudio":1,"hudX":"12","sounds":false})",
            R"({"sounds":false})");
        row("wrong values",
            R"({"hotkey":"capsLock","theme":"Dark","trimSilence":null,"languageCodes":["uz-UZ",7],"sounds":false})",
            R"({"sounds":false})");
        // Any method but "type" pastes, and a line break it does not know is Shift+Return: the defaults.
        row("delivery", R"({"insertMethod":"type","newlineMode":"space"})",
            R"({"insertMethod":"type","newlineMode":"space"})");
        row("unknown delivery", R"({"insertMethod":"Type","newlineMode":"Return"})", "{}");
        row("old version", R"({"defaultsVersion":1,"sounds":false})", R"({"sounds":false})");

        row("old model", R"({"model":"gemini-3.7-flash","thinkingLevel":""})", "{}");
        row("unreadable version", R"({"model":"gemini-3.7-flash","thinkingLevel":"","defaultsVersion":"2"})", "{}");
        row("current record", R"({"model":"gemini-3.7-flash","thinkingLevel":"","defaultsVersion":2})",
            R"({"model":"gemini-3.7-flash","thinkingLevel":""})");
        row("no thinking level", R"({"model":"gemini-3.7-flash"})", R"({"model":"gemini-3.7-flash"})");
        row("chosen level", R"({"model":"gemini-3.7-flash","thinkingLevel":"high"})",
            R"({"model":"gemini-3.7-flash","thinkingLevel":"high"})");
        row("other model", R"({"model":"gemini-3.7-pro","thinkingLevel":""})",
            R"({"model":"gemini-3.7-pro","thinkingLevel":""})");

        row("verbatim", R"({"transcriptionMode":"verbatim"})", R"({"removeFillers":false,"resolveCorrections":false})");
        row("removeFillers present", R"({"transcriptionMode":"verbatim","removeFillers":true})", "{}");
        row("null removeFillers", R"({"transcriptionMode":"verbatim","removeFillers":null})", "{}");
        row("word list", R"({"customVocabulary":["Kavo","Toshkent"]})",
            R"({"vocabulary":[{"word":"Kavo","language":""},{"word":"Toshkent","language":""}]})");
        row("vocabulary key wins", R"({"customVocabulary":["Kavo"],"vocabulary":[]})", "{}");

        // One record that fails to decode empties its own list only.
        row("word without language",
            R"({"vocabulary":[{"id":"6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6C","word":"y","language":""},)"
            R"({"id":"6f1c2a9e-3b7d-4e55-9a0c-1d2e3f4a5b6c","word":"x"}],)"
            R"("snippets":[{"id":"6f1c2a9e-3b7d-4e55-9a0c-1d2e3f4a5b6d","trigger":"a","text":"b"}]})",
            R"({"snippets":[{"trigger":"a","text":"b"}]})");
        row("braced snippet id",
            R"({"snippets":[{"id":"{6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6D}","trigger":"a","text":"b"}]})", "{}");
    }

    void decoding()
    {
        const auto [json, changes] = test::fetch<QString, QString>({ "json", "changes" });
        const std::optional<Config> decoded = Config::decode(json.toUtf8());
        QCOMPARE(decoded.has_value(), !changes.isEmpty());
        if (!decoded)
            return;
        QJsonObject expected = comparable(Config {});
        const QJsonObject changed = QJsonDocument::fromJson(changes.toUtf8()).object();
        for (auto it = changed.begin(); it != changed.end(); ++it)
            expected.insert(it.key(), it.value());
        QCOMPARE(QJsonDocument(comparable(*decoded)).toJson(), QJsonDocument(expected).toJson());
    }

    void resolvedApiKey()
    {
        Config config;
        QCOMPARE(config.resolvedApiKey(), QString());
        qputenv("GEMINI_API_KEY", " env-key ");
        QCOMPARE(config.resolvedApiKey(), QStringLiteral(" env-key "));
        config.apiKey = QStringLiteral("stored");
        QCOMPARE(config.resolvedApiKey(), QStringLiteral("stored"));
        qunsetenv("GEMINI_API_KEY");
    }

    void encodingIsSortedAndRoundTrips()
    {
        QVERIFY(!Config {}.encode().contains("hudX") && !Config {}.encode().contains("hudY"));
        Config config;
        config.vocabulary = { { QUuid::fromString(QStringLiteral("6f1c2a9e-3b7d-4e55-9a0c-1d2e3f4a5b6c")),
            QStringLiteral("Oʻzbekiston"), QStringLiteral("uz-UZ") } };
        config.snippets = { { QUuid::createUuid(), QStringLiteral("sig"), QStringLiteral("Best,\nAziz") } };
        config.theme = ThemeMode::automatic;
        config.hudX = 120;
        config.hudY = 40.5;
        const QByteArray bytes = config.encode();
        QVERIFY(bytes.contains("\"theme\": \"auto\"") && bytes.contains("6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6C"));
        const QRegularExpression topLevelKey(QStringLiteral("^    \"(\\w+)\":"), QRegularExpression::MultilineOption);
        QStringList keys;
        for (auto it = topLevelKey.globalMatch(QString::fromUtf8(bytes)); it.hasNext();)
            keys.append(it.next().captured(1));
        QCOMPARE(keys, QJsonDocument::fromJson(bytes).object().keys()); // in sorted order
        QCOMPARE(keys.size(), 37);
        QCOMPARE(Config::decode(bytes).value(), config);
    }

    void saving()
    {
        const QString path = QDir(test::useTemporaryDataFolder()).filePath(QStringLiteral("nested/deeper/config.json"));
        // Owner, group and other bits; the "user" bits only mirror whichever of them applies to us.
        const auto isPrivate
            = [&] { return (QFile::permissions(path) & 0x7077) == (QFile::ReadOwner | QFile::WriteOwner); };
        QVERIFY(Config {}.save(path) && isPrivate());
        // A file that others could read is made private by the next save.
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
        QVERIFY(Config {}.save(path) && isPrivate());

        const QString blocker = QDir(test::useTemporaryDataFolder()).filePath(QStringLiteral("blocker"));
        test::writeFile(blocker, "a file where a folder should be");
        QVERIFY(!Config {}.save(blocker + QStringLiteral("/config.json")));
        QVERIFY(test::logText().contains("could not save config.json: "));
    }

    // A decoded file is upgraded in memory only.
    void loading()
    {
        const QByteArray stored = R"({"model":"gemini-3.7-flash","thinkingLevel":""})";
        test::writeFile(Config::filePath(), stored);
        QCOMPARE(Config::load().model, u"gemini-3.8-flash"_qs);
        QCOMPARE(test::readFile(Config::filePath()), stored);
    }

    // Each setting announces its own change, and a whole record the settings that differ; a value set again is no
    // change. What is saved is what was set.
    void settingsAnnounceChanges()
    {
        Settings settings;
        settings.load();
        QSignalSpy changed(&settings, &Settings::changed), model(&settings, &Settings::modelChanged),
            sounds(&settings, &Settings::soundsChanged), hudX(&settings, &Settings::hudXChanged);
        settings.setModel(settings.model());
        settings.setConfig(settings.config());
        QCOMPARE(changed.count(), 0);
        settings.setModel(QStringLiteral("gemini-other"));
        Config config = settings.config();
        config.sounds = false;
        config.hudX = 12;
        settings.setConfig(config);
        QCOMPARE(
            QList({ changed.count(), model.count(), sounds.count(), hudX.count() }), QList<qsizetype>({ 2, 1, 1, 1 }));
        QVERIFY(settings.save());
        QCOMPARE(Config::decode(test::readFile(Config::filePath())).value(), settings.config());
    }

    // A launch reads the three files: missing settings are written at once, a missing History and notes file are
    // not; damaged files are set aside.
    void storesLoadAsAtLaunch()
    {
        {
            DataStores fresh;
            fresh.load();
            QCOMPARE(fresh.settings.config(), Config {});
            QCOMPARE(Config::decode(test::readFile(Config::filePath())), std::optional(Config {}));
            QVERIFY(!QFile::exists(History::filePath()) && !QFile::exists(NotesStore::filePath()));
            QCOMPARE(fresh.notes.store().folders.size(), 2);
        }
        test::writeFile(Config::filePath(), "[1, 2, 3]");
        test::writeFile(History::filePath(), "[1, 2");
        test::writeFile(NotesStore::filePath(), "{}");
        DataStores damaged;
        damaged.load();
        QCOMPARE(QDir(Config::directory()).entryList({ QStringLiteral("*.broken-*") }, QDir::Files).size(), 3);
        const QStringList broken = QDir(Config::directory()).entryList({ QStringLiteral("config.json.broken-*") });
        const QRegularExpression stamped(QStringLiteral("^config\\.json\\.broken-\\d{4}-\\d{2}-\\d{2}T\\d{6}$"));
        QVERIFY2(stamped.match(broken.value(0)).hasMatch(), qPrintable(broken.value(0)));
        QCOMPARE(test::readFile(QDir(Config::directory()).filePath(broken.first())), QByteArray("[1, 2, 3]"));
        QVERIFY(test::logText().contains("could not read config.json; kept it as " + broken.first()));
        QCOMPARE(damaged.settings.config(), Config {});
        QCOMPARE(Config::decode(test::readFile(Config::filePath())), std::optional(Config {}));
        QVERIFY(damaged.history.entries().isEmpty());
        QCOMPARE(damaged.notes.store().folders.size(), 2);

        // Damaged again within the second: the file set aside before keeps its bytes.
        test::writeFile(Config::filePath(), "[4]");
        DataStores again;
        again.load();
        const QStringList both = QDir(Config::directory()).entryList({ QStringLiteral("config.json.broken-*") });
        QCOMPARE(both.size(), 2);
        QCOMPARE(test::readFile(QDir(Config::directory()).filePath(both.first())), QByteArray("[1, 2, 3]"));
        QCOMPARE(test::readFile(QDir(Config::directory()).filePath(both.last())), QByteArray("[4]"));
    }

    void languageChipLabels()
    {
        QCOMPARE(SpokenLanguage::chipLabel(QStringLiteral("uz-UZ")), QStringLiteral("O'zbek"));
        QCOMPARE(SpokenLanguage::chipLabel(QStringLiteral("ru-RU")), QStringLiteral("Русский"));
        QCOMPARE(SpokenLanguage::chipLabel(QStringLiteral("xx-XX")), QStringLiteral("xx-XX"));
    }

    // Typed input, word lists and the words of either not present yet (typed ones in the chosen language); exports.
    void reading_data()
    {
        test::columns<How, QString, QString, QString>({ "how", "existing", "input", "expected" });
        row("parse", parse, "", " Gemini ,,New  York,\t\n, ,b", "Gemini|New  York|b");
        row("typed, in order", typed, "", "Kavo, Gemini", "Kavo,uz-UZ|Gemini,uz-UZ");
        row("typed, case duplicates", typed, "gemini|Москва", "Kavo, GEMINI, kavo, МОСКВА, Ok", "Kavo,uz-UZ|Ok,uz-UZ");
        row("typed, commas and spaces only", typed, "", " ,, , ", "");
        row("list, first wins", newFromList, "KAVO", "kavo\nGemini\ngemini,en-US\nOk,uz-UZ", "Gemini|Ok,uz-UZ");
        row("list, trimmed, empty skipped", list, "", " \tKavo Voice ,\t uz-UZ \n,uz-UZ\n   \n\t,", "Kavo Voice,uz-UZ");
        row("list, other codes dropped", list, "", "P,fr-FR\nB,EN-US\nR,en\nO,\na,b,en-US", "P|B|R|O|a");
        row("list, line breaks", list, "", "A\r\nB\rC\u2028D", "A|B|C|D");
        row("export", exported, "", "Kavo,uz-UZ|Gemini|Ташкент,ru-RU|Word,en-US",
            "Kavo,uz-UZ\nGemini\nТашкент,ru-RU\nWord,en-US\n");
        row("export nothing", exported, "", "", "\n");
    }

    void reading()
    {
        const auto [how, existing, input] = test::fetch<How, QString, QString>({ "how", "existing", "input" });
        QTEST(how == parse        ? VocabularyWord::parse(input).join(u'|')
                : how == typed    ? described(VocabularyWord::adding(input, u"uz-UZ"_qs, wordsOf(existing)))
                : how == list     ? described(VocabularyWord::importList(input))
                : how == exported ? VocabularyWord::exportList(wordsOf(input))
                                  : described(VocabularyWord::newWords(input, wordsOf(existing))),
            "expected");
    }

    void resolve_data()
    {
        test::columns<QString, QStringList, QString>({ "stored", "system", "expected" });
        // A stored choice comes right before rows without one, which it must not reach.
        row("unknown stored value is ignored", "de", QStringList { "ru-RU" }, "ru");
        row("stored choice wins", "uz", QStringList { "ru-RU" }, "uz");
        row("first supported system language", QString(), QStringList { "de-DE", "uz-Latn-UZ", "ru" }, "uz");
        row("underscore tags", QString(), QStringList { "ru_RU" }, "ru");
        row("nothing supported", QString(), QStringList { "de-DE", "fr" }, "en");
        row("no system languages", QString(), QStringList {}, "en");
    }

    void resolve()
    {
        const auto [stored, system] = test::fetch<QString, QStringList>({ "stored", "system" });
        if (!stored.isEmpty())
            InterfaceLanguage::storeChoice(stored);
        QTEST(InterfaceLanguage::resolve(system), "expected");
    }

    // The choice is stored, then the program starts again a second later, once this process is gone.
    void choiceIsStoredAndTheProgramRelaunched()
    {
        const QString marker = QDir(Config::directory()).filePath(u"relaunched"_qs);
        const QString program = QDir(Config::directory()).filePath(u"fake program"_qs);
        test::writeFile(program, "#!/bin/sh\ntouch \"$(dirname \"$0\")/relaunched\"\n");
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(InterfaceLanguage::chooseAndRelaunch(u"ru"_qs, program));
        QVERIFY(InterfaceLanguage::preferencesFile().endsWith(QStringLiteral("/kavo-voice/preferences.ini")));
        QVERIFY(test::readFile(InterfaceLanguage::preferencesFile()).contains("language=ru"));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 10000);
        QVERIFY(clock.elapsed() >= 1000);
        QVERIFY(InterfaceLanguage::chooseAndRelaunch(std::nullopt, u"/nonexistent"_qs));
        QCOMPARE(InterfaceLanguage::storedChoice(), std::nullopt);
        QCOMPARE(InterfaceLanguage::choices().first().name, u"System"_qs);
    }

    void installingTranslatesTexts_data()
    {
        test::columns<QString, QString, QString>({ "code", "current", "personal" });
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

    void plainApostrophes() { QCOMPARE(Snippet::plainApostrophes(u"o'ʻʼ’‘`z “q” ´a"_qs), u"o''''''z “q” ´a"_qs); }

    void expand_data()
    {
        test::columns<QStringList, QString, QString>({ "snippets", "input", "expected" });
        const auto row = [](const char* name, const QStringList& snippets, const QString& input,
                             const QString& expected) { QTest::newRow(name) << snippets << input << expected; };
        const QStringList addr { "addr", "A\nB" };

        row("whole: case and final full stop", addr, "Addr.", "A\nB");
        row("whole: white space and punctuation trimmed", addr, " \taddr?!… \n", "A\nB");
        row("whole: other leading marks stay", addr, "  ¿addr!…\n", "  ¿A\nB!…\n");
        row("whole: diacritics ignored", { "cafe", "X" }, "Café.", "X");
        row("whole: any apostrophe", { "o'zbek", "X" }, "Oʻzbek.", "X");
        row("whole: own spacing, else inside", { "best regards", "Bye" }, "Best  regards.", "Bye.");
        row("inside: diacritics count", { "cafe", "X" }, "one café please", "one café please");

        row("letters, digits or apostrophes next to it", addr, " myaddr addrs addr2 2addr l'addr addr’s\n",
            " myaddr addrs addr2 2addr l'addr addr’s\n");
        row("every occurrence, any case, comma after", { "brb", "X" }, "BRB, brb.\nbrb", "X, X.\nX");
        row("Cyrillic", { "мой", "1", "мой адрес", "2" }, "Вот МОЙ  Адрес: мойка", "Вот 2: мойка");

        row("U+0027 triggers, U+02BB and U+2019 text", { "o'zbek", "X", "'bout", "Y" }, "oʻzbek ’bout", "X Y");
        row("U+2019 trigger, U+0027 and ` text", { "rock’n’roll", "R" }, "play rock'n`roll", "play R");

        row("line break between words", { "best regards", "Bye" }, "thanks\nbest\nregards", "thanks\nBye");
        row("spaces, tab between words", { "best  regards", "Bye" }, "best \t regards bestregards", "Bye bestregards");
        row("Unicode spaces between words", { "best regards", "Bye" }, "ok best\u00A0\u3000regards", "ok Bye");

        row("longest trigger wins", { "sign", "S", "sign off", "Bye" }, "sign off now, sign here", "Bye now, S here");
        row("equal lengths keep stored order", { "abc", "1", "ABC", "2" }, "x Abc y", "x 1 y");
        row("length in user-perceived characters", { "cafe", "1", "cafe\u0301", "2" }, "Café", "1");
        row("texts not expanded again", { "brb", "be right back", "back", "B" }, "brb, back", "be right back, B");

        row("blank trigger ignored", { "  \n", "X", "addr", "Y" }, " . \n", " . \n");
        row("trigger trimmed", { "  addr \n", "X" }, "go addr go", "go X go");
        row("empty list", {}, "  Hello.\n", "  Hello.\n");

        row("dot, bracket, plus", { "e.g.", "1", "[x]", "2", "a+b", "3" }, "exgx e.g. [x] aab a+b", "exgx 1 2 aab 3");
        row("backslash and dollar, texts literal", { "\\d$", "$1 \\1 ${0} $&" }, "1 \\d$!", "1 $1 \\1 ${0} $&!");

        row("surrogate pairs", { "addr", "A", "👍 ok", "F" }, "😀addr👍🏽 𝐀addr 👍 ok👍",
            "😀A👍🏽 𝐀addr F👍");
    }

    void expand()
    {
        const auto [snippets, input] = test::fetch<QStringList, QString>({ "snippets", "input" });
        QTEST(Snippet::expand(input, snippetsOf(snippets)), "expected");
    }

    // Alternatives are gathered by first character; the result must be that of one flat list.
    void expandMatchesFlatExpression()
    {
        const QStringList pieces { "sign", "SIGN", "ſign", "off", "o'k", "oʻk", "ok", "мой", "Мой", "x.y", "’s", "9" };
        const QStringList glue { " ", "  ", "\n", ", ", "", "'", " the " };
        QRandomGenerator random(20261206);
        const auto pick = [&](const QStringList& list) { return list[random.bounded(int(list.size()))]; };
        for (int round = 0; round < 300; ++round) {
            QList<Snippet> snippets;
            for (int index = random.bounded(1, 30); index > 0; --index) {
                const QStringList words { pick(pieces), pick(pieces), pick(pieces) };
                snippets.append(Snippet {
                    QUuid(), words.first(random.bounded(1, 4)).join(u' '), u'<' + QString::number(index) + u'>' });
            }
            QString text = u"zz"_qs;
            for (int word = 0; word < 30; ++word)
                text += pick(glue) + pick(pieces);
            QCOMPARE(Snippet::expand(text, snippets), expandedByFlatExpression(text, snippets));
        }
    }

    // Compiled triggers are reused between calls, and kept per thread: changed texts, order or triggers must show
    // at once, on any number of threads.
    void expandFollowsChangedSnippets()
    {
        const QList<Snippet> lists[] { snippetsOf({ "one", "1", "two", "2" }), snippetsOf({ "one", "I", "two", "2" }),
            snippetsOf({ "two", "2", "one", "I" }), snippetsOf({ "two", "2", "three", "I" }) };
        const QString expected[] { u"1 2 three"_qs, u"I 2 three"_qs, u"I 2 three"_qs, u"one 2 I"_qs };
        std::atomic<int> wrong = 0;
        const auto work = [&](int first) {
            for (int round = first; round < first + 400; ++round)
                wrong += Snippet::expand(u"one two three"_qs, lists[round % 4]) != expected[round % 4];
        };
        {
            std::jthread a(work, 0), b(work, 1), c(work, 2), d(work, 3);
        }
        QCOMPARE(wrong.load(), 0);
    }

    // The log. Steps are messages, "reset" or "remove folder"; the log as written, each time stamp replaced by "T".
    void logWriting_data()
    {
        test::columns<QStringList, QString>({ "steps", "log" });
        row("messages unchanged", QStringList { "first line\nsecond line", "Oʻzbek — “quoted” ✓" },
            "T first line\nsecond line\nT Oʻzbek — “quoted” ✓\n");
        row("reset empties the file", QStringList { "old run", "reset", "new run" }, "T new run\n");
        row("a deleted data folder is made again", QStringList { "remove folder", "after" }, "T after\n");
    }

    void logWriting()
    {
        Log::reset();
        QFETCH(QStringList, steps);
        const QTime before = QTime::currentTime();
        for (const QString& step : steps) {
            if (step == "reset")
                Log::reset();
            else if (step == "remove folder")
                QVERIFY(QDir(Config::directory()).removeRecursively());
            else
                Log::write(step);
        }
        Log::flush();
        QString log = QString::fromUtf8(test::readFile(Log::filePath()));
        static const QRegularExpression stamp(QStringLiteral("(?m)^(\\d{2}:\\d{2}:\\d{2}\\.\\d{3}) "));
        for (const QRegularExpressionMatch& match : stamp.globalMatch(log))
            QVERIFY(qAbs(before.msecsTo(QTime::fromString(match.captured(1), "HH:mm:ss.zzz"))) < 60 * 1000);
        QTEST(log.replace(stamp, "T "), "log");
    }

    void logLinesFromManyThreadsStayWhole()
    {
        Log::reset();
        constexpr int threads = 8, perThread = 200;
        {
            std::vector<std::jthread> writers;
            for (int t = 0; t < threads; ++t) {
                writers.emplace_back([t] {
                    for (int i = 0; i < perThread; ++i)
                        Log::write(QStringLiteral("writer %1 line %2 ").arg(t).arg(i) + QString(40, QChar(u'a' + t)));
                });
            }
        }
        const QStringList written = test::logText().split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(written.size(), threads * perThread);
        const QRegularExpression whole(QStringLiteral("^writer (\\d) line (\\d+) ([a-h]{40})$"));
        QList<int> nextLine(threads, 0);
        for (const QString& line : written) {
            const auto match = whole.match(line);
            QVERIFY2(match.hasMatch(), qPrintable(line));
            const int writer = match.captured(1).toInt();
            QCOMPARE(match.captured(3), QString(40, QChar(u'a' + writer)));
            // One thread's lines keep the order in which that thread wrote them.
            QCOMPARE(match.captured(2).toInt(), nextLine[writer]++);
        }
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
