#include "config.h"

#include "json_support.h"
#include "log.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardPaths>

namespace kavo {

const QList<SpokenLanguage>& SpokenLanguage::all()
{
    static const QList<SpokenLanguage> languages {
        { QStringLiteral("uz-UZ"), QStringLiteral("Uzbek"), QStringLiteral("Oʻzbekcha") },
        { QStringLiteral("ru-RU"), QStringLiteral("Russian"), QStringLiteral("Русский") },
        { QStringLiteral("en-US"), QStringLiteral("English"), QStringLiteral("English") },
        { QStringLiteral("kk-KZ"), QStringLiteral("Kazakh"), QStringLiteral("Қазақша") },
        { QStringLiteral("ky-KG"), QStringLiteral("Kyrgyz"), QStringLiteral("Кыргызча") },
        { QStringLiteral("tg-TJ"), QStringLiteral("Tajik"), QStringLiteral("Тоҷикӣ") },
        { QStringLiteral("tr-TR"), QStringLiteral("Turkish"), QStringLiteral("Türkçe") },
        { QStringLiteral("de-DE"), QStringLiteral("German"), QStringLiteral("Deutsch") },
        { QStringLiteral("fr-FR"), QStringLiteral("French"), QStringLiteral("Français") },
        { QStringLiteral("es-ES"), QStringLiteral("Spanish"), QStringLiteral("Español") },
        { QStringLiteral("ar-SA"), QStringLiteral("Arabic"), QStringLiteral("العربية") },
        { QStringLiteral("zh-CN"), QStringLiteral("Chinese"), QStringLiteral("中文") },
        { QStringLiteral("ko-KR"), QStringLiteral("Korean"), QStringLiteral("한국어") },
    };
    return languages;
}

std::optional<SpokenLanguage> SpokenLanguage::find(const QString& code)
{
    for (const SpokenLanguage& language : all()) {
        if (language.code == code)
            return language;
    }
    return std::nullopt;
}

QString SpokenLanguage::chipLabel(const QString& code)
{
    if (code == QLatin1String("uz-UZ"))
        return QStringLiteral("O'zbek");
    const auto language = find(code);
    return language ? language->nativeName : code;
}

QString Config::resolvedApiKey() const
{
    if (!apiKey.isEmpty())
        return apiKey;
    return qEnvironmentVariable("GEMINI_API_KEY");
}

namespace {

template <typename Enum> void readEnum(const QJsonObject& object, const QString& key, Enum& out)
{
    QString raw;
    if (json::readString(object, key, raw) == json::Field::Valid) {
        if (const auto value = fromRawValue<Enum>(raw))
            out = *value;
    }
}

void readStringList(const QJsonObject& object, const QString& key, QStringList& out)
{
    const QJsonValue value = object.value(key);
    if (!value.isArray())
        return;
    QStringList result;
    for (const auto& item : value.toArray()) {
        if (!item.isString())
            return;
        result.append(item.toString());
    }
    out = result;
}

// One record that fails to decode makes the whole list keep its default.
template <typename Record> void readRecords(const QJsonObject& object, const QString& key, QList<Record>& out)
{
    const QJsonValue value = object.value(key);
    if (!value.isArray())
        return;
    QList<Record> result;
    for (const auto& item : value.toArray()) {
        const auto record = item.isObject() ? Record::fromJson(item.toObject()) : std::nullopt;
        if (!record)
            return;
        result.append(*record);
    }
    out = result;
}

template <typename Record> QJsonArray recordsToJson(const QList<Record>& records)
{
    QJsonArray array;
    for (const Record& record : records)
        array.append(record.toJson());
    return array;
}

} // namespace

std::optional<Config> Config::decode(const QByteArray& bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();

    Config c;
    json::readString(object, QStringLiteral("apiKey"), c.apiKey);
    json::readString(object, QStringLiteral("model"), c.model);
    json::readBool(object, QStringLiteral("removeFillers"), c.removeFillers);
    json::readBool(object, QStringLiteral("punctuation"), c.punctuation);
    json::readBool(object, QStringLiteral("resolveCorrections"), c.resolveCorrections);
    readStringList(object, QStringLiteral("languageCodes"), c.languageCodes);
    readRecords(object, QStringLiteral("vocabulary"), c.vocabulary);
    readRecords(object, QStringLiteral("snippets"), c.snippets);
    json::readString(object, QStringLiteral("prompt"), c.prompt);
    const bool hasThinkingLevel
        = json::readString(object, QStringLiteral("thinkingLevel"), c.thinkingLevel) == json::Field::Valid;
    // Any method but "type" pastes and an unknown line break is Shift+Return: the defaults.
    readEnum(object, QStringLiteral("insertMethod"), c.insertMethod);
    readEnum(object, QStringLiteral("newlineMode"), c.newlineMode);
    readEnum(object, QStringLiteral("hotkey"), c.hotkey);
    readEnum(object, QStringLiteral("hotkeyMode"), c.hotkeyMode);
    json::readInt(object, QStringLiteral("holdThresholdMs"), c.holdThresholdMs);
    json::readInt(object, QStringLiteral("minRecordingMs"), c.minRecordingMs);
    json::readBool(object, QStringLiteral("hudVisible"), c.hudVisible);
    json::readOptionalNumber(object, QStringLiteral("hudX"), c.hudX);
    json::readOptionalNumber(object, QStringLiteral("hudY"), c.hudY);
    json::readString(object, QStringLiteral("inputDeviceID"), c.inputDeviceID);
    json::readBool(object, QStringLiteral("trimSilence"), c.trimSilence);
    json::readNumber(object, QStringLiteral("keepSilenceSeconds"), c.keepSilenceSeconds);
    json::readBool(object, QStringLiteral("noiseReduction"), c.noiseReduction);
    json::readBool(object, QStringLiteral("phoneServerEnabled"), c.phoneServerEnabled);
    json::readInt(object, QStringLiteral("phonePort"), c.phonePort);
    json::readInt(object, QStringLiteral("phonePlainPort"), c.phonePlainPort);
    json::readBool(object, QStringLiteral("phonePlainEnabled"), c.phonePlainEnabled);
    json::readString(object, QStringLiteral("phoneToken"), c.phoneToken);
    json::readBool(object, QStringLiteral("phoneInserts"), c.phoneInserts);
    readEnum(object, QStringLiteral("theme"), c.theme);
    json::readBool(object, QStringLiteral("sounds"), c.sounds);
    json::readBool(object, QStringLiteral("pauseMedia"), c.pauseMedia);
    json::readBool(object, QStringLiteral("notificationsOff"), c.notificationsOff);
    json::readInt(object, QStringLiteral("historyDays"), c.historyDays);
    json::readBool(object, QStringLiteral("keepAudio"), c.keepAudio);
    json::readBool(object, QStringLiteral("onboardingDone"), c.onboardingDone);
    int storedDefaultsVersion = 0;
    json::readInt(object, QStringLiteral("defaultsVersion"), storedDefaultsVersion);

    // Records from before version 2 that chose "gemini-3.7-flash" with the model's default thinking
    // move to the current model and its low thinking level.
    if (storedDefaultsVersion < currentDefaultsVersion && c.model == QLatin1String("gemini-3.7-flash")
        && hasThinkingLevel && c.thinkingLevel.isEmpty()) {
        c.model = defaultModel;
        c.thinkingLevel = QStringLiteral("low");
    }

    if (!object.contains(QStringLiteral("removeFillers"))) {
        QString mode;
        if (json::readString(object, QStringLiteral("transcriptionMode"), mode) == json::Field::Valid
            && mode == QLatin1String("verbatim")) {
            c.removeFillers = false;
            c.resolveCorrections = false;
        }
    }
    if (!object.contains(QStringLiteral("vocabulary"))) {
        QStringList words;
        readStringList(object, QStringLiteral("customVocabulary"), words);
        for (const QString& word : std::as_const(words))
            c.vocabulary.append(VocabularyWord { QUuid::createUuid(), word, QString() });
    }

    c.defaultsVersion = currentDefaultsVersion;
    return c;
}

QByteArray Config::encode() const
{
    QJsonObject object {
        { QStringLiteral("apiKey"), apiKey },
        { QStringLiteral("model"), model },
        { QStringLiteral("removeFillers"), removeFillers },
        { QStringLiteral("punctuation"), punctuation },
        { QStringLiteral("resolveCorrections"), resolveCorrections },
        { QStringLiteral("languageCodes"), QJsonArray::fromStringList(languageCodes) },
        { QStringLiteral("vocabulary"), recordsToJson(vocabulary) },
        { QStringLiteral("snippets"), recordsToJson(snippets) },
        { QStringLiteral("prompt"), prompt },
        { QStringLiteral("thinkingLevel"), thinkingLevel },
        { QStringLiteral("insertMethod"), rawValue(insertMethod) },
        { QStringLiteral("newlineMode"), rawValue(newlineMode) },
        { QStringLiteral("hotkey"), rawValue(hotkey) },
        { QStringLiteral("hotkeyMode"), rawValue(hotkeyMode) },
        { QStringLiteral("holdThresholdMs"), holdThresholdMs },
        { QStringLiteral("minRecordingMs"), minRecordingMs },
        { QStringLiteral("hudVisible"), hudVisible },
        { QStringLiteral("inputDeviceID"), inputDeviceID },
        { QStringLiteral("trimSilence"), trimSilence },
        { QStringLiteral("keepSilenceSeconds"), keepSilenceSeconds },
        { QStringLiteral("noiseReduction"), noiseReduction },
        { QStringLiteral("phoneServerEnabled"), phoneServerEnabled },
        { QStringLiteral("phonePort"), phonePort },
        { QStringLiteral("phonePlainPort"), phonePlainPort },
        { QStringLiteral("phonePlainEnabled"), phonePlainEnabled },
        { QStringLiteral("phoneToken"), phoneToken },
        { QStringLiteral("phoneInserts"), phoneInserts },
        { QStringLiteral("theme"), rawValue(theme) },
        { QStringLiteral("sounds"), sounds },
        { QStringLiteral("pauseMedia"), pauseMedia },
        { QStringLiteral("notificationsOff"), notificationsOff },
        { QStringLiteral("historyDays"), historyDays },
        { QStringLiteral("keepAudio"), keepAudio },
        { QStringLiteral("onboardingDone"), onboardingDone },
        { QStringLiteral("defaultsVersion"), defaultsVersion },
    };
    if (hudX)
        object.insert(QStringLiteral("hudX"), *hudX);
    if (hudY)
        object.insert(QStringLiteral("hudY"), *hudY);
    // QJsonObject keeps its keys sorted, so the document comes out in name order.
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

bool Config::save(const QString& path) const
{
    const QFileInfo info(path);
    std::optional<QString> error;
    if (!QDir().mkpath(info.absolutePath()))
        error = QStringLiteral("could not create the folder %1").arg(info.absolutePath());
    else
        error = writeFileAtomically(path, encode(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (error) {
        Log::write(QStringLiteral("could not save ") + info.fileName() + QStringLiteral(": ") + *error);
        return false;
    }
    return true;
}

Config Config::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Config defaults;
        defaults.save(path);
        return defaults;
    }
    const QByteArray bytes = file.readAll();
    file.close();
    if (auto decoded = decode(bytes))
        return *decoded;
    setAside(path);
    Config defaults;
    defaults.save(path);
    return defaults;
}

QString Config::directory()
{
    static const QString path = [] {
        const QString overridden = qEnvironmentVariable("KAVO_DATA_DIR");
        if (!overridden.isEmpty())
            return QDir::cleanPath(QDir(overridden).absolutePath());
        QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        // Without a home folder there is nowhere per-user; keep working from the temporary folder.
        if (base.isEmpty())
            base = QDir::tempPath();
        return QDir(base).filePath(QStringLiteral("kavo-voice"));
    }();
    return path;
}

QString Config::filePath()
{
    static const QString path = QDir(directory()).filePath(QStringLiteral("config.json"));
    return path;
}

QString Config::audioDirectory()
{
    static const QString path = QDir(directory()).filePath(QStringLiteral("audio"));
    return path;
}

void Config::setAside(const QString& path)
{
    const QFileInfo info(path);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHHmmss")).remove(u':');
    const QString stamped = info.fileName() + QStringLiteral(".broken-") + stamp;
    // A file set aside earlier in the same second keeps its name; this one takes the next free one.
    QString newName = stamped;
    for (int copy = 2; info.dir().exists(newName); ++copy)
        newName = stamped + u'-' + QString::number(copy);
    QFile::rename(path, info.dir().filePath(newName));
    Log::write(QStringLiteral("could not read ") + info.fileName() + QStringLiteral("; kept it as ") + newName);
}

} // namespace kavo
