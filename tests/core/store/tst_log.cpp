#include "store/config.h"
#include "store/log.h"
#include "support/data_folder.h"
#include "support/table_rows.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>
#include <QTime>

#include <thread>

using namespace kavo;
using test::row;

class TestLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }

    void init()
    {
        Log::reset();
        Log::flush();
    }

    // Steps are messages, "reset" or "remove folder"; the log as written, with each time stamp replaced by "T".
    void writing_data()
    {
        test::columns<QStringList, QString>({ "steps", "log" });
        row("messages unchanged", QStringList { "first line\nsecond line", "Oʻzbek — “quoted” ✓" },
            "T first line\nsecond line\nT Oʻzbek — “quoted” ✓\n");
        row("reset empties the file", QStringList { "old run", "reset", "new run" }, "T new run\n");
        row("a deleted data folder is made again", QStringList { "remove folder", "after" }, "T after\n");
    }

    void writing()
    {
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

    void linesFromManyThreadsStayWhole()
    {
        constexpr int threads = 8;
        constexpr int perThread = 200;
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

QTEST_GUILESS_MAIN(TestLog)
#include "tst_log.moc"
