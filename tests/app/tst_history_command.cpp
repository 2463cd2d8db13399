#include "store/history.h"
#include "support/data_folder.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTest>

using namespace kavo;

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run runHistory(const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("KAVO_DATA_DIR", test::useTemporaryDataFolder());
    environment.insert("TZ", "Asia/Tashkent");
    process.setProcessEnvironment(environment);
    process.start(KAVO_VOICE_BINARY, QStringList { "history" } + arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return { process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError() };
}

QString historyFile()
{
    return QDir(test::useTemporaryDataFolder()).filePath("history.json");
}

HistoryEntry entry(const char* date, const QString& text, HistoryEntry::Status status)
{
    HistoryEntry result;
    result.id = QUuid::createUuid();
    result.date = QDateTime::fromString(date, Qt::ISODate);
    result.text = text;
    result.status = status;
    return result;
}

// Stored out of order on purpose: the command lists by date, newest first.
const QList<HistoryEntry> stored {
    entry("2026-12-04T23:17:17Z", "Salom\r\ndunyo", HistoryEntry::Status::done),
    entry("2026-12-01T10:30:00Z", "bitta", HistoryEntry::Status::discarded),
    entry("2026-12-05T08:00:00Z", "", HistoryEntry::Status::failed),
};

} // namespace

class TestHistoryCommand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }
    void init() { test::emptyDataFolder(); }

    void listsNewestFirst_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("lines");

        const QString failed = "2026-12-05 13:00  failed     0 words";
        const QString done = "2026-12-05 04:17  done       2 words  Salom dunyo";
        const QString discarded = "2026-12-01 15:30  discarded  1 word  bitta";
        QTest::newRow("all") << QStringList() << QStringList { failed, done, discarded };
        QTest::newRow("limit 2") << QStringList { "--limit", "2" } << QStringList { failed, done };
        QTest::newRow("limit above size") << QStringList { "--limit", "50" } << QStringList { failed, done, discarded };
    }

    void listsNewestFirst()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, lines);
        test::writeFile(historyFile(), History { stored }.encode());

        const Run run = runHistory(arguments);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(QString::fromUtf8(run.out), lines.join('\n') + '\n');
    }

    void jsonListsEntriesInFileFormat()
    {
        test::writeFile(historyFile(), History { stored }.encode());

        const Run run = runHistory({ "--limit", "2", "--json" });
        QCOMPARE(run.exitCode, 0);
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(run.out, &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        const QJsonArray array = document.array();
        QCOMPARE(array.size(), 2);
        QCOMPARE(HistoryEntry::fromJson(array[0].toObject()), std::optional(stored[2]));
        QCOMPARE(HistoryEntry::fromJson(array[1].toObject()), std::optional(stored[0]));
        QCOMPARE(array[1].toObject().value("date").toString(), "2026-12-04T23:17:17Z");
    }

    void missingFileListsNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("output");
        QTest::newRow("plain") << QStringList() << QByteArray();
        QTest::newRow("json") << QStringList { "--json" } << QByteArray("[\n]\n");
    }

    void missingFileListsNothing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, output);
        const Run run = runHistory(arguments);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, output);
        QVERIFY(!QFile::exists(historyFile()));
    }

    void badArgumentsExitWithUsage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("limit without value") << QStringList { "--limit" };
        QTest::newRow("limit zero") << QStringList { "--limit", "0" };
        QTest::newRow("negative limit") << QStringList { "--limit", "-1" };
        QTest::newRow("fractional limit") << QStringList { "--limit", "1.5" };
        QTest::newRow("limit not a number") << QStringList { "--limit", "ten" };
        QTest::newRow("limit too large for a number") << QStringList { "--limit", "99999999999999999999" };
        QTest::newRow("unknown option") << QStringList { "--verbose" };
        QTest::newRow("stray word") << QStringList { "--json", "all" };
    }

    void badArgumentsExitWithUsage()
    {
        QFETCH(QStringList, arguments);
        test::writeFile(historyFile(), History { stored }.encode());
        const Run run = runHistory(arguments);
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.out, QByteArray());
        QVERIFY2(
            run.err.startsWith("kavo-voice history: ") && run.err.contains("Usage: kavo-voice"), run.err.constData());
    }

    void brokenFileIsReportedAndLeftAlone_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("not JSON") << QByteArray(R"({"entries": [)");
        QTest::newRow("duration as string") << QByteArray(R"({"entries":[{"duration":"3"}]})");
        QTest::newRow("fractional seconds") << QByteArray(R"({"entries":[{"date":"2026-12-04T23:17:17.5Z"}]})");
    }

    void brokenFileIsReportedAndLeftAlone()
    {
        QFETCH(QByteArray, bytes);
        test::writeFile(historyFile(), bytes);

        const Run run = runHistory({});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QByteArray());
        QVERIFY2(run.err.startsWith(QByteArray("kavo-voice: cannot read " + historyFile().toUtf8() + ": ")),
            run.err.constData());
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY(run.err.endsWith('\n'));
        QCOMPARE(test::readFile(historyFile()), bytes);
        QCOMPARE(QDir(test::useTemporaryDataFolder()).entryList(QDir::Files), QStringList { "history.json" });
    }
};

QTEST_GUILESS_MAIN(TestHistoryCommand)
#include "tst_history_command.moc"
