#include "store/config.h"
#include "support/data_folder.h"

#include <QProcess>
#include <QTest>

using kavo::Config;
using kavo::Snippet;

namespace {

struct Outcome
{
    int exitCode = -1;
    QString out;
    QString err;
};

Outcome runSnippets(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(KAVO_VOICE_BINARY), QStringList { QStringLiteral("snippets") } + arguments);
    Outcome outcome;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return outcome;
    outcome.exitCode = process.exitCode();
    outcome.out = QString::fromUtf8(process.readAllStandardOutput());
    outcome.err = QString::fromUtf8(process.readAllStandardError());
    return outcome;
}

} // namespace

class TestSnippetsCommand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        kavo::test::useTemporaryDataFolder();
        Config config;
        config.snippets = {
            Snippet { QUuid::createUuid(), u"addr"_qs, u"221B Baker Street\nLondon"_qs },
            Snippet { QUuid::createUuid(), u"mening manzilim"_qs, u"Toshkent, Chilonzor 5"_qs },
            Snippet { QUuid::createUuid(), u"   "_qs, u"never"_qs },
        };
        QVERIFY(config.save(Config::fileURL()));
    }

    void expand_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("whole dictation") << u"Addr."_qs << u"221B Baker Street\nLondon\n"_qs;
        QTest::newRow("inside a sentence")
            << u"Send it to addr, please."_qs << u"Send it to 221B Baker Street\nLondon, please.\n"_qs;
        QTest::newRow("Uzbek across a line break")
            << u"Bu MENING\nmanzilim edi"_qs << u"Bu Toshkent, Chilonzor 5 edi\n"_qs;
        QTest::newRow("no match keeps white space") << u"  hello  "_qs << u"  hello  \n"_qs;
        QTest::newRow("empty text") << QString() << u"\n"_qs;
        QTest::newRow("text that looks like an option") << u"--help"_qs << u"--help\n"_qs;
    }

    void expand()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const Outcome outcome = runSnippets({ u"expand"_qs, text });
        QCOMPARE(outcome.err, QString());
        QCOMPARE(outcome.out, expected);
        QCOMPARE(outcome.exitCode, 0);
    }

    void badArguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no subcommand") << QStringList {};
        QTest::newRow("unknown subcommand") << QStringList { u"shrink"_qs, u"addr"_qs };
        QTest::newRow("no text") << QStringList { u"expand"_qs };
        QTest::newRow("two texts") << QStringList { u"expand"_qs, u"my"_qs, u"addr"_qs };
    }

    void badArguments()
    {
        QFETCH(QStringList, arguments);
        const Outcome outcome = runSnippets(arguments);
        QCOMPARE(outcome.exitCode, 2);
        QCOMPARE(outcome.out, QString());
        QVERIFY2(outcome.err.contains(u"Usage: kavo-voice"_qs), qPrintable(outcome.err));
    }
};

QTEST_GUILESS_MAIN(TestSnippetsCommand)
#include "tst_snippets_command.moc"
