#include "store/config.h"
#include "support/command_runner.h"
#include "support/data_folder.h"
#include "support/table_rows.h"

#include <QTest>

using namespace kavo;
using kavo::test::row;

class TestSnippetsCommand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        test::useTemporaryDataFolder();
        Config config;
        config.snippets = { Snippet { QUuid::createUuid(), u"addr"_qs, u"A\nB"_qs },
            Snippet { QUuid::createUuid(), u"mening manzilim"_qs, u"Toshkent"_qs } };
        QVERIFY(config.save(Config::filePath()));
    }

    void snippets_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("out"); // nothing when the arguments are refused
        row("whole dictation", QStringList { "expand", "Addr." }, "A\nB\n");
        row("inside, over lines", QStringList { "expand", "To addr, MENING\nmanzilim." }, "To A\nB, Toshkent.\n");
        row("no match keeps white space", QStringList { "expand", "  hello  " }, "  hello  \n");
        row("empty text", QStringList { "expand", "" }, "\n");
        row("text like an option", QStringList { "expand", "--help" }, "--help\n");
        row("no subcommand", QStringList {}, "");
        row("unknown subcommand", QStringList { "shrink", "addr" }, "");
        row("no text", QStringList { "expand" }, "");
        row("two texts", QStringList { "expand", "my", "addr" }, "");
    }

    void snippets()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, out);
        const test::CommandResult result
            = test::runKavoVoice(QStringList { "snippets" } + arguments, test::useTemporaryDataFolder());
        QCOMPARE(QString::fromUtf8(result.out), out);
        QCOMPARE(result.exitCode, out.isEmpty() ? 2 : 0);
        QVERIFY2(out.isEmpty() ? result.err.contains("Usage: kavo-voice") : result.err.isEmpty(), result.err);
    }
};

QTEST_GUILESS_MAIN(TestSnippetsCommand)
#include "tst_snippets_command.moc"
