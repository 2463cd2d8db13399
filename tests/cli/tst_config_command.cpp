#include "store/config.h"
#include "support/command_runner.h"
#include "support/data_folder.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace kavo;

class TestConfigCommand : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_data;

    QString configPath() const { return m_data.filePath(QStringLiteral("config.json")); }

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }

    void init()
    {
        QDir(m_data.path()).removeRecursively();
        QDir().mkpath(m_data.path());
    }

    void missingSettingsAreWrittenAndPrinted()
    {
        const auto result = test::runKavoVoice({ QStringLiteral("config") }, m_data.path());
        QCOMPARE(result.exitCode, 0);
        const QJsonObject printed = QJsonDocument::fromJson(result.out).object();
        QCOMPARE(printed.value(QStringLiteral("model")).toString(), QStringLiteral("gemini-3.8-flash"));
        QCOMPARE(printed.value(QStringLiteral("defaultsVersion")).toInt(), 2);
        QVERIFY(QFile::exists(configPath()));
        QVERIFY(result.err.contains("API key: not set"));
    }

    void keyIsMaskedUnlessAsked_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("printedKey");

        QTest::newRow("masked") << QStringList { QStringLiteral("config") } << QStringLiteral("AIza…wxyz");
        QTest::newRow("shown") << QStringList { QStringLiteral("config"), QStringLiteral("--show-key") }
                               << QStringLiteral("AIzaSyA-secret-part-wxyz");
    }

    void keyIsMaskedUnlessAsked()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, printedKey);
        test::writeFile(configPath(), R"({"apiKey":"AIzaSyA-secret-part-wxyz","sounds":false})");
        const auto result = test::runKavoVoice(arguments, m_data.path());
        QCOMPARE(result.exitCode, 0);
        const QJsonObject printed = QJsonDocument::fromJson(result.out).object();
        QCOMPARE(printed.value(QStringLiteral("apiKey")).toString(), printedKey);
        QCOMPARE(printed.value(QStringLiteral("sounds")).toBool(true), false);
        // Printing never rewrites a readable file.
        QCOMPARE(test::readFile(configPath()), QByteArray(R"({"apiKey":"AIzaSyA-secret-part-wxyz","sounds":false})"));
    }

    void damagedSettingsAreSetAside()
    {
        test::writeFile(configPath(), "{ not json");
        const auto result = test::runKavoVoice({ QStringLiteral("config") }, m_data.path());
        QCOMPARE(result.exitCode, 0);
        const QStringList broken = QDir(m_data.path()).entryList({ QStringLiteral("config.json.broken-*") });
        QCOMPARE(broken.size(), 1);
        QCOMPARE(test::readFile(QDir(m_data.path()).filePath(broken.first())), QByteArray("{ not json"));
        QVERIFY(Config::decode(test::readFile(configPath())));
    }

    void badArgumentsPrintUsage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("unknown command") << QStringList { QStringLiteral("frobnicate") };
        QTest::newRow("unknown option") << QStringList { QStringLiteral("config"), QStringLiteral("--verbose") };
    }

    void badArgumentsPrintUsage()
    {
        QFETCH(QStringList, arguments);
        const auto result = test::runKavoVoice(arguments, m_data.path());
        QCOMPARE(result.exitCode, 2);
        QVERIFY(result.err.contains("Usage: kavo-voice"));
        QVERIFY(result.out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestConfigCommand)
#include "tst_config_command.moc"
