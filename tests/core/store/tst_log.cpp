#include "store/config.h"
#include "store/log.h"
#include "support/data_folder.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

using namespace kavo;

class TestLog : public QObject
{
    Q_OBJECT

private:
    static QStringList lines()
    {
        Log::flush();
        return QString::fromUtf8(test::readFile(Log::filePath())).split(u'\n', Qt::SkipEmptyParts);
    }

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }

    void init()
    {
        Log::reset();
        Log::flush();
    }

    void lineFormat()
    {
        const QTime before = QTime::currentTime();
        Log::write(QStringLiteral("launched, bundle=kavo-voice"));
        const QStringList written = lines();
        QCOMPARE(written.size(), 1);
        const auto match
            = QRegularExpression(QStringLiteral("^(\\d{2}:\\d{2}:\\d{2}\\.\\d{3}) launched, bundle=kavo-voice$"))
                  .match(written.first());
        QVERIFY2(match.hasMatch(), qPrintable(written.first()));
        const QTime stamped = QTime::fromString(match.captured(1), QStringLiteral("HH:mm:ss.zzz"));
        QVERIFY(stamped.isValid());
        QVERIFY(qAbs(before.msecsTo(stamped)) < 60 * 1000);
        QVERIFY(test::readFile(Log::filePath()).endsWith('\n'));
    }

    void messagesAreWrittenUnchanged()
    {
        Log::write(QStringLiteral("first line\nsecond line"));
        Log::write(QStringLiteral("Oʻzbek — “quoted” ✓"));
        const QStringList written = lines();
        QCOMPARE(written.size(), 3);
        QVERIFY(written.at(0).endsWith(QStringLiteral(" first line")));
        QCOMPARE(written.at(1), QStringLiteral("second line"));
        QVERIFY(written.at(2).endsWith(QStringLiteral(" Oʻzbek — “quoted” ✓")));
    }

    void resetEmptiesTheFile()
    {
        Log::write(QStringLiteral("old run"));
        Log::reset();
        Log::write(QStringLiteral("new run"));
        const QStringList written = lines();
        QCOMPARE(written.size(), 1);
        QVERIFY(written.first().endsWith(QStringLiteral(" new run")));
    }

    void linesFromManyThreadsStayWhole()
    {
        constexpr int threads = 8;
        constexpr int perThread = 200;
        QList<QThread*> writers;
        for (int t = 0; t < threads; ++t) {
            writers.append(QThread::create([t] {
                for (int i = 0; i < perThread; ++i)
                    Log::write(QStringLiteral("writer %1 line %2 ").arg(t).arg(i) + QString(40, QChar(u'a' + t)));
            }));
        }
        for (QThread* writer : writers)
            writer->start();
        for (QThread* writer : writers) {
            writer->wait();
            delete writer;
        }

        const QStringList written = lines();
        QCOMPARE(written.size(), threads * perThread);
        const QRegularExpression whole(
            QStringLiteral("^\\d{2}:\\d{2}:\\d{2}\\.\\d{3} writer (\\d) line (\\d+) ([a-h]{40})$"));
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

    void deletedDataFolderIsRecreated()
    {
        QVERIFY(QDir(Config::directory()).removeRecursively());
        Log::write(QStringLiteral("after the folder went away"));
        const QStringList written = lines();
        QCOMPARE(written.size(), 1);
        QVERIFY(written.first().endsWith(QStringLiteral(" after the folder went away")));
    }
};

QTEST_GUILESS_MAIN(TestLog)
#include "tst_log.moc"
