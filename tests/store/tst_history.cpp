#include "store/config.h"
#include "store/history.h"
#include "store/json_support.h"
#include "store/log.h"
#include "support/data_folder.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace kavo;
using Status = HistoryEntry::Status;

namespace {

const QTimeZone tashkent(5 * 3600);

QDateTime at(const QString& text, const QTimeZone& zone = tashkent)
{
    return QDateTime(QDate::fromString(text.left(10), Qt::ISODate), QTime::fromString(text.mid(11), Qt::ISODate), zone);
}

HistoryEntry entry(const QDateTime& date, const QString& text = {}, Status status = Status::done)
{
    HistoryEntry result;
    result.id = QUuid::createUuid();
    result.date = date;
    result.text = text;
    result.status = status;
    return result;
}

// Gives the entry a kept recording on disk.
HistoryEntry withRecording(HistoryEntry entry)
{
    entry.audioFile = json::uuidText(entry.id) + QStringLiteral(".wav");
    test::writeFile(QDir(Config::audioDirectory()).filePath(*entry.audioFile), "RIFF");
    return entry;
}

bool recordingExists(const HistoryEntry& entry)
{
    return QFile::exists(QDir(Config::audioDirectory()).filePath(entry.audioFile.value()));
}

History historyOnDisk()
{
    const auto history = History::decode(test::readFile(History::fileURL()));
    return history ? *history : History {};
}

QByteArray logText()
{
    Log::flush();
    return test::readFile(Log::fileURL());
}

} // namespace

class TestHistory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }
    void init()
    {
        Log::flush();
        test::emptyDataFolder();
    }

    void absentKeysTakeDefaults_data()
    {
        QTest::addColumn<QByteArray>("object");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("offline");

        QTest::newRow("empty object") << QByteArray("{}") << "mac"
                                      << "done" << false;
        QTest::newRow("nulls") << QByteArray(R"({"id":null,"date":null,"text":null,"duration":null,"source":null,
            "status":null,"offline":null,"appName":null,"latency":null})")
                               << "mac"
                               << "done" << false;
        QTest::newRow("phone, failed, offline")
            << QByteArray(R"({"source":"phone","status":"failed","offline":true})") << "phone"
            << "failed" << true;
        QTest::newRow("discarded") << QByteArray(R"({"status":"discarded"})") << "mac"
                                   << "discarded" << false;
        QTest::newRow("unknown status") << QByteArray(R"({"status":"archived"})") << "mac"
                                        << "done" << false;
        QTest::newRow("status in other case") << QByteArray(R"({"status":"Failed"})") << "mac"
                                              << "done" << false;
        QTest::newRow("status not a string") << QByteArray(R"({"status":1})") << "mac"
                                             << "done" << false;
    }

    void absentKeysTakeDefaults()
    {
        QFETCH(QByteArray, object);
        QFETCH(QString, source);
        QFETCH(QString, status);
        QFETCH(bool, offline);

        const QDateTime before = QDateTime::currentDateTimeUtc();
        const auto history = History::decode("{\"entries\":[" + object + "]}");
        QVERIFY(history);
        QCOMPARE(history->entries.size(), 1);
        const HistoryEntry& decoded = history->entries.first();
        QVERIFY(!decoded.id.isNull());
        QVERIFY(decoded.date >= before && decoded.date <= QDateTime::currentDateTimeUtc());
        QCOMPARE(decoded.text, QString());
        QCOMPARE(decoded.duration, 0.0);
        QCOMPARE(decoded.source, source);
        QCOMPARE(rawValue(decoded.status), status);
        QCOMPARE(decoded.offline, offline);
        QVERIFY(!decoded.appName && !decoded.appBundleID && !decoded.audioFile && !decoded.error && !decoded.latency);
    }

    void undecodableFileIsRejected_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");

        const auto one
            = [](const char* members) -> QByteArray { return "{\"entries\":[{" + QByteArray(members) + "}]}"; };
        QTest::newRow("not JSON") << QByteArray(R"({"entries": [)") << "not JSON";
        QTest::newRow("empty file") << QByteArray() << "not JSON";
        QTest::newRow("top-level array") << QByteArray("[]") << "top level";
        QTest::newRow("no entries") << QByteArray("{}") << "\"entries\" is missing";
        QTest::newRow("entries null") << QByteArray(R"({"entries":null})") << "\"entries\"";
        QTest::newRow("entries object") << QByteArray(R"({"entries":{}})") << "\"entries\"";
        QTest::newRow("entry not an object") << QByteArray(R"({"entries":[1]})") << "entries[0]";
        QTest::newRow("duration as string") << one(R"("duration":"3.5")") << "\"duration\"";
        QTest::newRow("text as number") << one(R"("text":5)") << "\"text\"";
        QTest::newRow("offline as string") << one(R"("offline":"true")") << "\"offline\"";
        QTest::newRow("latency as string") << one(R"("latency":"1")") << "\"latency\"";
        QTest::newRow("appName as number") << one(R"("appName":1)") << "\"appName\"";
        QTest::newRow("audioFile as array") << one(R"("audioFile":[])") << "\"audioFile\"";
        QTest::newRow("error as bool") << one(R"("error":false)") << "\"error\"";
        QTest::newRow("id not a UUID") << one(R"("id":"abc")") << "\"id\"";
        QTest::newRow("id in braces") << one(R"("id":"{6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6C}")") << "\"id\"";
        QTest::newRow("fractional seconds") << one(R"("date":"2026-12-04T23:17:17.250Z")") << "\"date\"";
        QTest::newRow("offset instead of Z") << one(R"("date":"2026-12-04T23:17:17+00:00")") << "\"date\"";
        QTest::newRow("no seconds") << one(R"("date":"2026-12-04T23:17Z")") << "\"date\"";
        QTest::newRow("date as number") << one(R"("date":1796426237)") << "\"date\"";
        QTest::newRow("second entry bad") << QByteArray(R"({"entries":[{},{"model":2}]})") << "entries[1]";
    }

    void undecodableFileIsRejected()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QString error;
        QVERIFY(!History::decode(bytes, &error));
        QVERIFY2(error.contains(reason), qPrintable(error));
    }

    void entriesSurviveEncoding()
    {
        HistoryEntry full = entry(QDateTime(QDate(2026, 12, 4), QTime(23, 17, 17), Qt::UTC),
            QStringLiteral("\"Salom\"\n\tdunyo \\ \x01\b\f\x7F Привет 👋🏽 a/b"));
        full.duration = 3.25;
        full.model = "gemini-3.8-flash";
        full.source = "phone";
        full.appName = "Telegram";
        full.appBundleID = "org.telegram.desktop";
        full.status = Status::failed;
        full.audioFile = json::uuidText(full.id) + ".m4a";
        full.error = "No internet";
        full.offline = true;
        full.latency = 1.5;
        const HistoryEntry minimal = entry(full.date);
        const History history { { full, minimal } };

        const auto decoded = History::decode(history.encode());
        QVERIFY(decoded);
        QCOMPARE(decoded->entries, history.entries);
        const QStringList optionalKeys { "appName", "appBundleID", "audioFile", "error", "latency" };
        for (const QString& key : optionalKeys)
            QVERIFY2(!minimal.toJson().contains(key), qPrintable(key));
        QCOMPARE(full.toJson().value("date").toString(), "2026-12-04T23:17:17Z");
        QCOMPARE(full.toJson().value("text").toString(), full.text);

        // An entry nobody dated must not make the file unreadable.
        HistoryEntry undated = minimal;
        undated.date = QDateTime();
        QVERIFY(History::decode(History { { undated } }.encode()));
    }

    void uuidIsReadInEitherCaseAndWrittenUpperCase()
    {
        const auto history = History::decode(R"({"entries":[{"id":"6f1c2a9e-3b7d-4e55-9a0c-1d2e3f4a5b6c"}]})");
        QVERIFY(history);
        QCOMPARE(history->entries.first().id, QUuid::fromString(u"6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6C"));
        QCOMPARE(history->entries.first().toJson().value("id").toString(), "6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6C");
    }

    void addKeepsTheNewestThousand_data()
    {
        QTest::addColumn<int>("stored");
        QTest::newRow("full list") << 1000;
        QTest::newRow("over-long file") << 1003;
    }

    void addKeepsTheNewestThousand()
    {
        QFETCH(int, stored);
        History history;
        const QDateTime start = at("2026-12-04 12:00:00");
        for (int index = 0; index < stored; ++index) {
            HistoryEntry old = entry(start.addSecs(-60 * index));
            history.entries.append(index >= stored - 5 ? withRecording(old) : old);
        }
        const QList<HistoryEntry> before = history.entries;

        const HistoryEntry newest = entry(start.addSecs(60));
        history.add(newest);

        QCOMPARE(history.entries.size(), History::limit);
        QCOMPARE(history.entries.first(), newest);
        QCOMPARE(history.entries.last(), before.at(History::limit - 2));
        for (int index = stored - 5; index < stored; ++index)
            QCOMPARE(recordingExists(before.at(index)), index < History::limit - 1);
        QCOMPARE(historyOnDisk().entries, history.entries);
    }

    void saveCreatesTheDataFolder()
    {
        QVERIFY(QDir(Config::directory()).removeRecursively());
        History history;
        history.add(entry(at("2026-12-04 12:00:00"), "salom"));
        QCOMPARE(historyOnDisk().entries, history.entries);
    }

    void pruneRemovesOnlyOlderEntries_data()
    {
        QTest::addColumn<int>("days");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("date");
        QTest::addColumn<bool>("removed");

        const QDateTime now = at("2026-12-04 12:00:00");
        QTest::newRow("exactly seven days") << 7 << now << now.addDays(-7) << false;
        QTest::newRow("a second older") << 7 << now << now.addDays(-7).addSecs(-1) << true;
        QTest::newRow("zero keeps all") << 0 << now << now.addYears(-10) << false;
        QTest::newRow("negative keeps all") << -3 << now << now.addYears(-10) << false;
        QTest::newRow("one day") << 1 << now << now.addSecs(-86401) << true;

        // Calendar days, not multiples of 24 hours: the week before this moment has one hour less.
        const QTimeZone berlin("Europe/Berlin");
        const QDateTime afterSwitch = at("2026-04-02 12:00:00", berlin);
        QTest::newRow("same clock time across DST") << 7 << afterSwitch << at("2026-03-26 12:00:00", berlin) << false;
        QTest::newRow("under 168 hours but earlier clock time")
            << 7 << afterSwitch << at("2026-03-26 11:30:00", berlin) << true;
    }

    void pruneRemovesOnlyOlderEntries()
    {
        QFETCH(int, days);
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, date);
        QFETCH(bool, removed);
        QVERIFY(now.isValid() && date.isValid());

        const Calendar calendar { now.timeZone(), Qt::Monday };
        const HistoryEntry recent = entry(now);
        const HistoryEntry target = withRecording(entry(date));
        History history { { recent, target } };
        const QByteArray untouched = R"({"entries":[]})";
        test::writeFile(History::fileURL(), untouched);

        history.prune(days, now, calendar);

        const QList<HistoryEntry> expected = removed ? QList { recent } : QList { recent, target };
        QCOMPARE(history.entries, expected);
        QCOMPARE(recordingExists(target), !removed);
        if (removed)
            QCOMPARE(historyOnDisk().entries, expected);
        else
            QCOMPARE(test::readFile(History::fileURL()), untouched);
    }

    void clearDeletesEveryRecording()
    {
        const QDateTime now = at("2026-12-04 12:00:00");
        History history { { withRecording(entry(now)), entry(now), withRecording(entry(now)) } };
        const QList<HistoryEntry> before = history.entries;
        history.clear();
        QVERIFY(history.entries.isEmpty());
        QVERIFY(!recordingExists(before.at(0)) && !recordingExists(before.at(2)));
        QVERIFY(historyOnDisk().entries.isEmpty());
        QVERIFY(QFile::exists(History::fileURL()));
    }

    void updateReplacesTheEntryWithTheSameId()
    {
        const QDateTime now = at("2026-12-04 12:00:00");
        History history { { entry(now, "first"), entry(now, "second", Status::failed) } };
        history.update(entry(now, "stranger"));
        QVERIFY(!QFile::exists(History::fileURL()));

        HistoryEntry retried = history.entries.at(1);
        retried.text = "second, transcribed";
        retried.status = Status::done;
        history.update(retried);
        QCOMPARE(history.entries.at(1), retried);
        QCOMPARE(historyOnDisk().entries, history.entries);
    }

    void keepAudioMovesTheRecording_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("extension");
        QTest::newRow("wav") << "kavo-1.wav"
                             << "wav";
        QTest::newRow("upper-case extension") << "kavo-2.M4A"
                                              << "M4A";
        QTest::newRow("several dots") << "kavo.phone.wav"
                                      << "wav";
    }

    void keepAudioMovesTheRecording()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, extension);
        QTemporaryDir temporary;
        const QString recording = temporary.filePath(fileName);
        test::writeFile(recording, "new audio");
        const QUuid id = QUuid::createUuid();
        const QString expected = json::uuidText(id) + '.' + extension;
        test::writeFile(QDir(Config::audioDirectory()).filePath(expected), "stale audio from an earlier try");

        QCOMPARE(History::keepAudio(recording, id), expected);
        QVERIFY(!QFile::exists(recording));
        QCOMPARE(test::readFile(QDir(Config::audioDirectory()).filePath(expected)), "new audio");
    }

    void keepAudioFailureIsLogged_data()
    {
        QTest::addColumn<bool>("folderBlocked");
        QTest::newRow("missing recording") << false;
        QTest::newRow("audio folder blocked by a file") << true;
    }

    void keepAudioFailureIsLogged()
    {
        QFETCH(bool, folderBlocked);
        QTemporaryDir temporary;
        const QString recording = temporary.filePath("kavo-1.wav");
        if (folderBlocked) {
            test::writeFile(recording, "audio");
            test::writeFile(Config::audioDirectory(), "not a folder");
        }
        QVERIFY(!History::keepAudio(recording, QUuid::createUuid()));
        QVERIFY(logText().contains(" could not keep the audio: "));
        QCOMPARE(QFile::exists(recording), folderBlocked);
    }

    void deleteAudioStaysInTheAudioFolder()
    {
        HistoryEntry escaping = entry(QDateTime::currentDateTimeUtc());
        escaping.audioFile = "../history.json";
        test::writeFile(History::fileURL(), "{}");
        History::deleteAudio(escaping);
        QVERIFY(QFile::exists(History::fileURL()));

        const HistoryEntry kept = withRecording(entry(QDateTime::currentDateTimeUtc()));
        History::deleteAudio(kept);
        QVERIFY(!recordingExists(kept));
    }

    void groupsFollowListOrder_data()
    {
        QTest::addColumn<QTimeZone>("zone");
        QTest::addColumn<QList<QDateTime>>("dates");
        QTest::addColumn<QStringList>("days");
        QTest::addColumn<QList<int>>("sizes");

        QTest::newRow("out of order") << tashkent
                                      << QList { at("2026-12-04 10:00:00"), at("2026-12-04 09:00:00"),
                                             at("2026-12-03 18:00:00"), at("2026-12-04 08:00:00") }
                                      << QStringList { "2026-12-04", "2026-12-03", "2026-12-04" } << QList { 2, 1, 1 };
        const QList<QDateTime> aroundMidnight { QDateTime(QDate(2026, 12, 4), QTime(19, 30), Qt::UTC),
            QDateTime(QDate(2026, 12, 4), QTime(18, 30), Qt::UTC) };
        QTest::newRow("local midnight splits")
            << tashkent << aroundMidnight << QStringList { "2026-12-05", "2026-12-04" } << QList { 1, 1 };
        QTest::newRow("same day in UTC") << QTimeZone::utc() << aroundMidnight << QStringList { "2026-12-04" }
                                         << QList { 2 };
        QTest::newRow("empty") << tashkent << QList<QDateTime>() << QStringList() << QList<int>();
    }

    void groupsFollowListOrder()
    {
        QFETCH(QTimeZone, zone);
        QFETCH(QList<QDateTime>, dates);
        QFETCH(QStringList, days);
        QFETCH(QList<int>, sizes);

        QList<HistoryEntry> entries;
        for (const QDateTime& date : dates)
            entries.append(entry(date));
        const auto groups = History::groups(entries, Calendar { zone, Qt::Monday });

        QCOMPARE(groups.size(), days.size());
        qsizetype next = 0;
        for (qsizetype index = 0; index < groups.size(); ++index) {
            QCOMPARE(groups[index].day, QDate::fromString(days[index], Qt::ISODate).startOfDay(zone));
            QCOMPARE(groups[index].entries, entries.mid(next, sizes[index]));
            next += sizes[index];
        }
    }

    void wordCount_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("words");

        QTest::newRow("empty") << "" << 0;
        QTest::newRow("only white space") << " \t\n " << 0;
        QTest::newRow("padded two words") << "   salom    dunyo  \n" << 2;
        QTest::newRow("line breaks") << "a\nb\r\nc\rd" << 4;
        QTest::newRow("no-break space") << QStringLiteral("bir\u00A0ikki") << 2;
        QTest::newRow("ideographic space") << QStringLiteral("一\u3000二") << 2;
        QTest::newRow("line separator and NEL") << QStringLiteral("one\u2028two\u0085three") << 3;
        QTest::newRow("zero-width space joins") << QStringLiteral("one\u200Btwo") << 1;
        QTest::newRow("emoji and Cyrillic") << QStringLiteral("Привет 👋🏽 мир") << 3;
    }

    void wordCount()
    {
        QFETCH(QString, text);
        QFETCH(int, words);
        QCOMPARE(History::wordCount(text), words);
    }

    void statsCountDoneWordsOfTodayAndWeek_data()
    {
        QTest::addColumn<int>("firstDayOfWeek");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<int>("today");
        QTest::addColumn<int>("week");

        const QDateTime sunday = at("2026-12-06 12:00:00");
        QTest::newRow("week from Monday") << int(Qt::Monday) << sunday << 3 << 6;
        QTest::newRow("week from Sunday") << int(Qt::Sunday) << sunday << 3 << 3;
        QTest::newRow("week from Saturday") << int(Qt::Saturday) << sunday << 3 << 5;
        QTest::newRow("later days of the week count") << int(Qt::Monday) << at("2026-11-30 00:00:00") << 1 << 6;
        QTest::newRow("last second of the week before") << int(Qt::Monday) << at("2026-11-29 23:59:59") << 4 << 4;
        QTest::newRow("now given in UTC") << int(Qt::Monday) << sunday.toUTC() << 3 << 6;
    }

    void statsCountDoneWordsOfTodayAndWeek()
    {
        QFETCH(int, firstDayOfWeek);
        QFETCH(QDateTime, now);
        QFETCH(int, today);
        QFETCH(int, week);

        const QString longText = QStringLiteral("word ").repeated(50);
        const History history { {
            entry(at("2026-12-06 09:00:00"), "one two three"),
            entry(at("2026-12-06 08:00:00"), longText, Status::failed),
            entry(at("2026-12-06 07:00:00"), longText, Status::discarded),
            entry(at("2026-12-05 20:00:00"), "four five"),
            entry(at("2026-11-30 00:00:00"), "six"),
            entry(at("2026-11-29 23:59:59"), "seven eight nine ten"),
        } };
        const auto stats = history.stats(now, Calendar { tashkent, Qt::DayOfWeek(firstDayOfWeek) });
        QCOMPARE(stats.today, today);
        QCOMPARE(stats.week, week);
    }

    void loadSetsABrokenFileAside()
    {
        const QByteArray broken = R"({"entries":[{"duration":"3"}]})";
        test::writeFile(History::fileURL(), broken);

        QVERIFY(History::load().entries.isEmpty());

        QVERIFY(!QFile::exists(History::fileURL()));
        const QStringList aside = QDir(Config::directory()).entryList({ "history.json.broken-*" }, QDir::Files);
        QCOMPARE(aside.size(), 1);
        QVERIFY2(QRegularExpression(R"(^history\.json\.broken-\d{4}-\d{2}-\d{2}T\d{6}$)").match(aside[0]).hasMatch(),
            qPrintable(aside[0]));
        QCOMPARE(test::readFile(QDir(Config::directory()).filePath(aside[0])), broken);
        QVERIFY(logText().contains(QByteArray(" could not read history.json; kept it as " + aside[0].toUtf8() + "\n")));
    }

    void loadNeverWrites()
    {
        QVERIFY(History::load().entries.isEmpty());
        QVERIFY(!QFile::exists(History::fileURL()));

        const QByteArray stored = R"({"entries":[{"text":"salom","date":"2026-12-04T23:17:17Z"}],"extra":1})";
        test::writeFile(History::fileURL(), stored);
        const History history = History::load();
        QCOMPARE(history.entries.size(), 1);
        QCOMPARE(history.entries.first().text, "salom");
        QCOMPARE(test::readFile(History::fileURL()), stored);
    }
};

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_history.moc"
