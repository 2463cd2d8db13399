#include "store/calendar.h"
#include "store/config.h"
#include "store/history.h"
#include "store/history_manager.h"
#include "store/json_support.h"
#include "support/data_folder.h"
#include "support/list_rows.h"
#include "support/table_rows.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace kavo;
using Status = HistoryEntry::Status;

namespace {

const QTimeZone tashkent(5 * 3600);
const auto at = [](const QString& text) { return QDateTime::fromString(text + "+05:00", Qt::ISODate); };
const auto audioPath = [](const QString& name) { return QDir(Config::audioDirectory()).filePath(name); };
const auto recordingExists = [](const HistoryEntry& entry) { return QFile::exists(audioPath(*entry.audioFile)); };
const auto one = [](const char* members) -> QByteArray { return "{\"entries\":[{" + QByteArray(members) + "}]}"; };

HistoryEntry entry(const QDateTime& date, const QString& text = {}, Status status = Status::done)
{
    HistoryEntry result;
    std::tie(result.id, result.date, result.text, result.status) = std::tuple(QUuid::createUuid(), date, text, status);
    return result;
}

HistoryEntry withRecording(HistoryEntry entry)
{
    entry.audioFile = entry.id.toString(QUuid::WithoutBraces).toUpper() + ".wav";
    test::writeFile(audioPath(*entry.audioFile), "RIFF");
    return entry;
}

const auto entriesOnDisk
    = [] { return History::decode(test::readFile(History::filePath())).value_or(History {}).entries; };

} // namespace

class TestHistory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }
    void init() { test::emptyDataFolder(); }

    void loadKeepsGoodFilesAndSetsBadOnesAside_data()
    {
        // Source, status and offline of the entry, or where decoding failed; tst_command_line reads more bad fields.
        test::columns<QByteArray, QString>({ "bytes", "expected" });
        QTest::newRow("empty object") << one("") << "mac done 0";
        QTest::newRow("nulls") << one(R"("id":null,"date":null,"status":null,"latency":null)") << "mac done 0";
        QTest::newRow("set") << one(R"("source":"phone","status":"discarded","offline":true)") << "phone discarded 1";
        QTest::newRow("unknown status") << one(R"("status":"archived")") << "mac done 0";
        QTest::newRow("status not a string") << one(R"("status":1)") << "mac done 0";
        QTest::newRow("not JSON") << QByteArray(R"({"entries": [)") << "not JSON";
        QTest::newRow("no entries") << QByteArray("{}") << "\"entries\"";
        QTest::newRow("second entry bad") << QByteArray(R"({"entries":[{},{"model":2}]})") << "entries[1]";
        QTest::newRow("offline as string") << one(R"("offline":"true")") << "\"offline\"";
        QTest::newRow("latency as string") << one(R"("latency":"1")") << "\"latency\"";
        QTest::newRow("appName as number") << one(R"("appName":1)") << "\"appName\"";
        QTest::newRow("id not a UUID") << one(R"("id":"abc")") << "\"id\"";
    }

    void loadKeepsGoodFilesAndSetsBadOnesAside()
    {
        const auto [bytes, expected] = test::fetch<QByteArray, QString>({ "bytes", "expected" });
        test::writeFile(History::filePath(), bytes);
        const QDateTime before = json::now();
        const QList<HistoryEntry> loaded = History::load().entries;
        QString error;
        if (!History::decode(bytes, &error)) {
            QVERIFY2(error.contains(expected) && loaded.isEmpty(), qPrintable(error));
            const QStringList files = QDir(Config::directory()).entryList({ "history.json*" });
            QVERIFY(files.size() == 1 && files[0].startsWith("history.json.broken-"));
            QCOMPARE(test::readFile(QDir(Config::directory()).filePath(files[0])), bytes);
            return;
        }
        QCOMPARE(test::readFile(History::filePath()), bytes);
        const HistoryEntry read = loaded.size() == 1 ? loaded.first() : HistoryEntry();
        QCOMPARE(read.source + ' ' + rawValue(read.status) + ' ' + QString::number(read.offline), expected);
        QVERIFY(!read.id.isNull() && read.date >= before && read.date <= json::now());
        QCOMPARE(History::decode(History { { read } }.encode())->entries, loaded);
        QVERIFY(read.text.isEmpty() && read.duration == 0 && !read.latency && !read.appName && !read.audioFile);
    }

    // The file and toJson() are written by hand; both must read back as the same entries. Dates go in UTC, in whole
    // seconds.
    void encodingRoundTrips()
    {
        const QDateTime tashkent(QDate(2026, 12, 5), QTime(4, 17, 17, 900), QTimeZone("Asia/Tashkent"));
        QCOMPARE(json::dateText(tashkent), QStringLiteral("2026-12-04T23:17:17Z"));
        HistoryEntry full = entry(at("2026-12-04T23:17:17"), QStringLiteral("\n\r\t\x01\b\f\x1F\x7F"), Status::failed);
        full.error = full.model = full.source = QStringLiteral("\"a\\\"b\\\\\" \\u0041 \\");
        full.appName = full.appID = full.audioFile = QStringLiteral("Привет 👋🏽 𝄞 a/b");
        std::tie(full.duration, full.latency, full.offline) = std::tuple(1.0 / 3, 1e21, true);
        const History history { { full, entry(full.date), entry({}) } }; // undated must not make the file unreadable
        const auto decoded = History::decode(history.encode());
        QVERIFY(decoded && !history.encode().contains('\x1F')); // JSON allows no raw control characters
        QCOMPARE(decoded->entries.mid(0, 2), history.entries.mid(0, 2));
        QCOMPARE(HistoryEntry::fromJson(full.toJson()), std::optional(full));
        QCOMPARE(history.entries[1].toJson().size(), 8); // no optional key is written when unset
    }

    void addKeepsTheNewestThousand()
    {
        for (const int stored : { History::limit, History::limit + 3 }) {
            History history;
            for (int index = 0; index < stored; ++index)
                history.entries.append(withRecording(entry(at("2026-12-04T12:00:00").addSecs(-60 * index))));
            const QList<HistoryEntry> before = history.entries;
            history.add(entry(at("2026-12-05T12:00:00")));
            QCOMPARE(history.entries.mid(1), before.mid(0, History::limit - 1)); // and so exactly the limit
            for (int index = History::limit - 2; index < stored; ++index)
                QCOMPARE(recordingExists(before.at(index)), index < History::limit - 1);
            QCOMPARE(entriesOnDisk(), history.entries);
        }
    }

    // Calendar days, not multiples of 24 hours: the week before this moment in Berlin has one hour less.
    void pruneRemovesOnlyOlderEntries_data()
    {
        test::columns<int, QString, bool>({ "days", "date", "removed" });
        QTest::newRow("exactly seven days") << 7 << "2026-03-26T12:00:00+01:00" << false;
        QTest::newRow("a second older") << 7 << "2026-03-26T11:59:59+01:00" << true;
        QTest::newRow("zero keeps all") << 0 << "2016-01-01T00:00:00Z" << false;
        QTest::newRow("negative keeps all") << -3 << "2016-01-01T00:00:00Z" << false;
    }

    void pruneRemovesOnlyOlderEntries()
    {
        const auto [days, date, removed] = test::fetch<int, QString, bool>({ "days", "date", "removed" });
        const QDateTime now = QDateTime::fromString("2026-04-02T12:00:00+02:00", Qt::ISODate);
        const HistoryEntry target = withRecording(entry(QDateTime::fromString(date, Qt::ISODate)));
        History history { { entry(now), target } };
        test::writeFile(History::filePath(), "untouched");
        history.prune(days, now, Calendar { QTimeZone("Europe/Berlin"), Qt::Monday });
        QCOMPARE(history.entries.size(), removed ? 1 : 2);
        QCOMPARE(recordingExists(target), !removed);
        QCOMPARE(test::readFile(History::filePath()) == "untouched", !removed); // saved only when something went
    }

    void updateRemoveAndClearSave()
    {
        const HistoryEntry kept = withRecording(entry(at("2026-12-04T12:00:00")));
        HistoryEntry escaping = entry(kept.date);
        escaping.audioFile = "../outside.wav"; // the name comes from a file the user can edit
        test::writeFile(audioPath(*escaping.audioFile), "not a recording of ours");
        History history { { kept, escaping } };
        history.update(entry(kept.date, "no such id"));
        QVERIFY(!QFile::exists(History::filePath()));
        escaping.text = "transcribed again";
        history.update(escaping);
        QCOMPARE(entriesOnDisk(), QList({ kept, escaping }));
        const HistoryEntry removed = withRecording(entry(kept.date, "removed"));
        history.entries.insert(1, removed);
        history.remove(QUuid::createUuid());
        QCOMPARE(history.entries.size(), 3);
        history.remove(removed.id);
        QCOMPARE(entriesOnDisk(), QList({ kept, escaping }));
        QVERIFY(!recordingExists(removed) && recordingExists(kept));
        history.clear();
        QVERIFY(history.entries.isEmpty() && test::readFile(History::filePath()) == History().encode());
        QVERIFY(!recordingExists(kept) && recordingExists(escaping)); // clearing stays inside the audio folder
    }

    // A list that replays what the manager announces, as a list model would, ends up as the History itself.
    void managerAnnouncesEachEntry_data()
    {
        // The newest entry failed and the next was discarded: the last transcript is the newest one done.
        test::columns<int, bool, QString>({ "changedRows", "cleared", "lastTranscript" });
        test::row("add", 0, false, "newest");
        test::row("add beyond the limit", 0, false, "newest");
        test::row("add and prune", 0, false, "newest");
        test::row("update", 1, false, "2");
        test::row("add and update", 1, false, "newest");
        test::row("remove the newest done", 0, false, "3");
        test::row("add and remove", 0, false, "newest");
        test::row("clear", 0, true, "");
        test::row("reorder", 0, true, "3");
    }

    void managerAnnouncesEachEntry()
    {
        const QString change = QTest::currentDataTag();
        QFETCH(int, changedRows);
        const int stored = change == "add beyond the limit" ? History::limit : 5;
        History initial;
        for (int index = 0; index < stored; ++index)
            initial.entries.append(entry(at("2026-12-04T12:00:00").addDays(-index), QString::number(index),
                index == 0       ? Status::failed
                    : index == 1 ? Status::discarded
                                 : Status::done));
        initial.save();
        HistoryManager manager;
        manager.load();

        test::ListRows rows { test::idsOf(manager.entries()) };
        rows.follow(manager, &HistoryManager::entryAdded, &HistoryManager::entryChanged, &HistoryManager::entryRemoved);
        bool cleared = false;
        connect(&manager, &HistoryManager::cleared, [&] { cleared = true; });
        manager.change([&](History& history) {
            if (change.startsWith("add"))
                history.add(entry(at("2026-12-05T12:00:00"), "newest"));
            if (change == "add and prune")
                history.prune(2, at("2026-12-05T13:00:00"), Calendar { tashkent, Qt::Monday });
            if (change.endsWith("update")) {
                HistoryEntry second = history.entries[1];
                second.text = "transcribed again";
                history.update(second);
            }
            if (change == "remove the newest done")
                history.remove(history.entries[2].id);
            if (change == "add and remove")
                history.remove(history.entries[4].id);
            if (change == "clear")
                history.clear();
            if (change == "reorder")
                std::swap(history.entries[0], history.entries[3]);
        });
        QTEST(cleared, "cleared");
        QTEST(manager.lastTranscript(), "lastTranscript");
        if (cleared)
            return;
        QCOMPARE(rows.ids, test::idsOf(manager.entries()));
        QCOMPARE(rows.changes, changedRows);
    }

    void keepAudioMovesTheRecording()
    {
        const QString recording = QDir(Config::directory()).filePath("kavo.phone.M4A");
        test::writeFile(recording, "new audio");
        const QUuid id(QStringLiteral("6f1c2a9e-3b7d-4e55-9a0c-1d2e3f4a5b6c"));
        const QString name = "6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6C.M4A";
        test::writeFile(audioPath(name), "an earlier try");
        QCOMPARE(History::keepAudio(recording, id), name);
        QCOMPARE(test::readFile(audioPath(name)), "new audio");
        QVERIFY(!History::keepAudio(recording, id)); // moved, so nothing is left to keep
        QVERIFY(test::logText().contains("could not keep the audio: "));
    }

    void groupsAreNotResorted()
    {
        const QList<HistoryEntry> entries { entry(at("2026-12-04T10:00:00")), entry(at("2026-12-04T04:30:00").toUTC()),
            entry(at("2026-12-03T18:00:00")), entry(at("2026-12-04T08:00:00")) };
        const auto groups = History::groups(entries, Calendar { tashkent, Qt::Monday });
        QStringList summary; // day and size of each group
        for (const History::DayGroup& group : groups)
            summary << group.day.toTimeZone(tashkent).toString("dd HH:mm ") + QString::number(group.entries.size());
        QCOMPARE(summary, QStringList({ "04 00:00 2", "03 00:00 1", "04 00:00 1" }));
        QCOMPARE(groups[0].entries, entries.mid(0, 2));
    }

    void wordCountSplitsAtAnyWhiteSpace()
    {
        QCOMPARE(History::wordCount("   salom    dunyo  \n"), 2);
        QCOMPARE(History::wordCount(QStringLiteral("a\u00A0b\u3000c\u2028d\u0085e\r\nf\tg")), 7);
        QCOMPARE(History::wordCount(QStringLiteral("zero\u200Bwidth 👋🏽 Привет")), 3);
    }

    // Weeks in the calendar's zone, from its first day of the week; 2026-12-06 is a Sunday.
    void statsCountDoneWordsOfDayAndWeek_data()
    {
        test::columns<QString, int, int, int>({ "now", "firstDayOfWeek", "today", "week" });
        test::row("last day of the week", "2026-12-06T12:00:00", int(Qt::Monday), 3, 6);
        test::row("first moment of the week", "2026-11-30T00:00:00", int(Qt::Monday), 1, 6);
        test::row("last second of the week before", "2026-11-29T23:59:59", int(Qt::Monday), 4, 4);
        test::row("Saturday, weeks from Sunday", "2026-12-05T12:00:00", int(Qt::Sunday), 2, 7);
    }

    void statsCountDoneWordsOfDayAndWeek()
    {
        const auto [now, firstDayOfWeek] = test::fetch<QString, int>({ "now", "firstDayOfWeek" });
        const History history { { entry(at("2026-12-06T09:00:00"), "one two three"),
            entry(at("2026-12-06T08:00:00"), "a b c d e f g h", Status::failed),
            entry(at("2026-12-06T07:00:00"), "a b c d e f g h", Status::discarded),
            entry(at("2026-12-05T20:00:00"), "four five"), entry(at("2026-11-30T00:00:00"), "six"),
            entry(at("2026-11-29T23:59:59"), "seven eight nine ten") } };
        const auto stats = history.stats(at(now).toUTC(), Calendar { tashkent, Qt::DayOfWeek(firstDayOfWeek) });
        QTEST(stats.today, "today");
        QTEST(stats.week, "week");
    }

    // Dates are whole seconds in UTC, identifiers UUIDs without braces; what is read is written back in capitals.
    void parsing_data()
    {
        test::columns<QString, QString, bool>({ "kind", "text", "accepted" });
        test::row("whole seconds in UTC", "date", "2026-12-04T23:17:17Z", true);
        test::row("leap day", "date", "2024-02-29T00:00:00Z", true);
        test::row("fractional seconds", "date", "2026-12-04T23:17:17.250Z", false);
        test::row("offset instead of Z", "date", "2026-12-04T23:17:17+00:00", false);
        test::row("no zone", "date", "2026-12-04T23:17:17", false);
        test::row("lower-case z", "date", "2026-12-04T23:17:17z", false);
        test::row("space instead of T", "date", "2026-12-04 23:17:17Z", false);
        test::row("no such day", "date", "2026-02-30T10:00:00Z", false);
        test::row("no such hour", "date", "2026-12-04T24:00:00Z", false);
        test::row("trailing space", "date", "2026-12-04T23:17:17Z ", false);
        test::row("upper case", "uuid", "6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6C", true);
        test::row("lower case", "uuid", "6f1c2a9e-3b7d-4e55-9a0c-1d2e3f4a5b6c", true);
        test::row("braces", "uuid", "{6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6C}", false);
        test::row("no hyphens", "uuid", "6F1C2A9E3B7D4E559A0C1D2E3F4A5B6C", false);
        test::row("too short", "uuid", "6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6", false);
        test::row("not hexadecimal", "uuid", "6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6G", false);
    }

    void parsing()
    {
        const auto [kind, text, accepted] = test::fetch<QString, QString, bool>({ "kind", "text", "accepted" });
        std::optional<QString> written;
        if (const auto date = json::parseDate(text); kind == "date" && date)
            written = json::dateText(*date);
        if (const auto id = json::parseUuid(text); kind == "uuid" && id)
            written = json::uuidText(*id);
        QCOMPARE(written, accepted ? std::optional(text.toUpper()) : std::nullopt);
    }

    // Days of a zone whose clocks change: the night the clocks went back lasts 25 hours, and half past midnight of
    // Santiago's 2024-09-08 does not exist.
    void calendarDaysAcrossDaylightSaving()
    {
        const Calendar berlin { QTimeZone("Europe/Berlin"), Qt::Monday };
        const QDateTime earlyOnTheChangeDay(QDate(2026, 10, 25), QTime(0, 10), berlin.timeZone);
        QVERIFY(berlin.isSameDay(QDateTime(QDate(2026, 10, 25), QTime(22, 30), Qt::UTC), earlyOnTheChangeDay));
        QVERIFY(!berlin.isSameDay(QDateTime(QDate(2026, 10, 25), QTime(23, 30), Qt::UTC), earlyOnTheChangeDay));
        const Calendar santiago { QTimeZone("America/Santiago"), Qt::Monday };
        const QDateTime nextNight(QDate(2024, 9, 9), QTime(0, 30), santiago.timeZone);
        QCOMPARE(santiago.addingDays(nextNight, -1).toTimeZone(santiago.timeZone).date(), QDate(2024, 9, 8));
    }
};

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_history.moc"
