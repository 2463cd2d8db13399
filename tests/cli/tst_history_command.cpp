#include "store/history.h"
#include "support/data_folder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTest>

using namespace kavo;

namespace {

const QString historyFile = test::useTemporaryDataFolder() + "/history.json";

const QByteArray storedFile = R"({"entries": [
    {"id":"6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B60","date":"2026-12-04T23:17:17Z","text":"Salom\r\ndunyo"},
    {"id":"6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B61","date":"2026-12-01T10:30:00Z","text":"bitta","status":"discarded"},
    {"id":"6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B62","date":"2026-12-05T08:00:00Z","status":"failed"}]})";
const QList<HistoryEntry> stored = History::decode(storedFile).value_or(History {}).entries; // not in date order

std::tuple<int, QByteArray, QByteArray> runHistory(const QStringList& arguments, const QByteArray& file)
{
    test::writeFile(historyFile, file);
    QProcess process;
    process.start(KAVO_VOICE_BINARY, QStringList { "history" } + arguments);
    process.waitForFinished(30000); // a crash shows as the signal number, a hang as a missing output
    return { process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError() };
}

} // namespace

class TestHistoryCommand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("TZ", "Asia/Tashkent"); }
    void init() { test::emptyDataFolder(); }

    void listsNewestFirst_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("lines");
        const QString failed = "2026-12-05 13:00  failed     0 words";
        const QString done = "2026-12-05 04:17  done       2 words  Salom dunyo";
        const QString discarded = "2026-12-01 15:30  discarded  1 word  bitta";
        QTest::newRow("all") << QStringList() << QStringList { failed, done, discarded, "" };
        QTest::newRow("limit 2") << QStringList { "--limit", "2" } << QStringList { failed, done, "" };
        QTest::newRow("limit 50") << QStringList { "--limit", "50" } << QStringList { failed, done, discarded, "" };
    }

    void listsNewestFirst()
    {
        QFETCH(QStringList, arguments);
        const auto [exitCode, out, err] = runHistory(arguments, storedFile);
        QVERIFY(exitCode == 0 && err.isEmpty());
        QTEST(QString::fromUtf8(out).split('\n'), "lines");
    }

    void jsonListsEntriesAsStored()
    {
        const auto [exitCode, out, err] = runHistory({ "--json", "--limit", "2" }, storedFile);
        QVERIFY(exitCode == 0 && stored.size() == 3);
        QCOMPARE(QJsonDocument::fromJson(out).array(), QJsonArray({ stored[2].toJson(), stored[0].toJson() }));
    }

    void failuresLeaveTheFileAlone_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("limit without value") << QStringList { "--limit" } << storedFile;
        QTest::newRow("limit zero") << QStringList { "--limit", "0" } << storedFile;
        QTest::newRow("unknown option") << QStringList { "--verbose" } << storedFile;
        QTest::newRow("duration as string") << QStringList() << QByteArray(storedFile).replace("text", "duration");
        QTest::newRow("fractional seconds") << QStringList() << QByteArray(storedFile).replace("17Z", "17.5Z");
    }

    void failuresLeaveTheFileAlone()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, file);
        const auto [exitCode, out, err] = runHistory(arguments, file);
        QCOMPARE(exitCode, file == storedFile ? 2 : 1); // bad arguments, or a file that cannot be read
        QVERIFY(out.isEmpty() && err.startsWith("kavo-voice"));
        QCOMPARE(test::readFile(historyFile), file);
    }
};

QTEST_GUILESS_MAIN(TestHistoryCommand)
#include "tst_history_command.moc"
