#include "support/data_folder.h"
#include "support/fake_gemini.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace kavo;
using namespace std::chrono_literals;
using test::FakeGemini;

class TestFakeGemini : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FakeGemini> m_fake;
    std::unique_ptr<QNetworkAccessManager> m_network;

    QNetworkReply* get(const QString& path)
    {
        return m_network->get(QNetworkRequest(m_fake->baseUrl().resolved(QUrl(path))));
    }

    static bool finishes(QNetworkReply* reply)
    {
        QSignalSpy finished(reply, &QNetworkReply::finished);
        return reply->isFinished() || finished.wait(20000);
    }

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }

    void init()
    {
        m_fake = std::make_unique<FakeGemini>();
        QVERIFY(m_fake->start());
        QVERIFY(m_fake->port() != 0);
        m_network = std::make_unique<QNetworkAccessManager>();
    }

    void cleanup()
    {
        m_network.reset();
        m_fake.reset();
    }

    void delayIsHonouredWithoutBlocking()
    {
        m_fake->enqueue({ .body = "slow", .delay = 400ms });
        m_fake->enqueue({ .body = "fast" });
        QSignalSpy received(m_fake.get(), &FakeGemini::requestReceived);
        QElapsedTimer clock;
        clock.start();
        QNetworkReply* slow = get(QStringLiteral("/slow"));
        QVERIFY(received.wait(20000));
        QNetworkReply* fast = get(QStringLiteral("/fast"));
        QVERIFY(finishes(fast));
        QCOMPARE(fast->readAll(), QByteArrayLiteral("fast"));
        QVERIFY(!slow->isFinished());
        QVERIFY(finishes(slow));
        QVERIFY2(clock.elapsed() >= 400, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(slow->readAll(), QByteArrayLiteral("slow"));
    }

    void emptyScriptAnswers500()
    {
        QNetworkReply* reply = get(QStringLiteral("/forgotten"));
        QVERIFY(finishes(reply));
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 500);
        const QJsonObject error = QJsonDocument::fromJson(reply->readAll()).object()[u"error"].toObject();
        QCOMPARE(error[u"code"].toInt(), 500);
        QVERIFY(error[u"message"].toString().contains(QStringLiteral("no scripted reply")));
    }
};

QTEST_GUILESS_MAIN(TestFakeGemini)
#include "tst_fake_gemini.moc"
